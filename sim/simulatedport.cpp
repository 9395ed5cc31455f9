#include "simulatedport.h"

#include <QTimer>

namespace {
int Milliseconds(double seconds) {
    return seconds <= 0 ? 0 : static_cast<int>(seconds * 1000.0 + 0.5);
}
} // namespace

SimulatedPort::SimulatedPort(DriveBus& bus, QObject* parent) : SerialPort(parent), bus_(bus) {
    // A device that disappears while open is noticed at once, as a real adapter's removal is.
    faultListener_ = bus_.addFaultListener([this](DriveBus::Fault fault) {
        if (fault == DriveBus::Fault::Vanished && open_)
            QTimer::singleShot(0, this, &SimulatedPort::pullPlug);
    });
}

SimulatedPort::~SimulatedPort() {
    bus_.removeFaultListener(faultListener_);
}

bool SimulatedPort::isOpen() const {
    return open_;
}

void SimulatedPort::close() {
    open_ = false;
    input_.clear();
    output_.clear();
    ++generation_;
}

void SimulatedPort::setPortNumber(int comPort) {
    comPort_ = comPort;
}
void SimulatedPort::setSettings(const std::string& settings) {
    settings_ = settings;
}

bool SimulatedPort::open() {
    error_.clear();
    if (open_) return true;
    if (!openFailure_.empty()) {
        error_ = openFailure_;
        return false;
    }
    if (bus_.fault() == DriveBus::Fault::Vanished) {
        error_ = "No such file or directory";
        return false;
    }
    open_ = true;
    ++openCount_;
    input_.swap(heldAtOpen_);
    heldAtOpen_.clear();
    return true;
}

std::string SimulatedPort::errorText() const {
    return error_;
}
std::string SimulatedPort::deviceName() const {
    return "sim:com" + std::to_string(comPort_);
}

bool SimulatedPort::write(const std::string& bytes) {
    if (!open_) {
        error_ = "port not open";
        return false;
    }
    ++writeCount_;
    if (output_.empty()) QTimer::singleShot(0, this, &SimulatedPort::transmit);
    output_ += bytes;
    return true;
}

int SimulatedPort::bytesToWrite() const {
    return static_cast<int>(output_.size());
}

void SimulatedPort::transmit() {
    if (!open_ || output_.empty() || writeStalled_) return;
    std::string bytes;
    bytes.swap(output_);
    if (bus_.fault() == DriveBus::Fault::Vanished) {
        // The bytes are taken, as a driver's buffer takes them, and never reach the line.
        QTimer::singleShot(0, this, &SimulatedPort::pullPlug);
        emit bytesWritten();
        return;
    }
    for (const DriveBus::Reply& reply : bus_.receive(bytes))
        deliver(reply.bytes, reply.delaySeconds);
    emit bytesWritten();
}

void SimulatedPort::deliver(const std::string& bytes, double delaySeconds) {
    size_t step = pieceBytes_ > 0 ? static_cast<size_t>(pieceBytes_) : bytes.size();
    unsigned generation = generation_;
    double at = delaySeconds;
    for (size_t i = 0; i < bytes.size(); i += step, at += pieceSeconds_) {
        QTimer::singleShot(Milliseconds(at), Qt::PreciseTimer, this,
                           [this, generation, piece = bytes.substr(i, step)] {
                               if (generation != generation_ || !open_) return;
                               input_ += piece;
                               emit readyRead();
                           });
    }
}

void SimulatedPort::inject(const std::string& bytes) {
    deliver(bytes, 0);
}

int SimulatedPort::bytesWaiting() const {
    return static_cast<int>(input_.size());
}

std::string SimulatedPort::readAll() {
    std::string out;
    out.swap(input_);
    return out;
}

void SimulatedPort::holdAtOpen(const std::string& bytes) {
    heldAtOpen_ = bytes;
}

void SimulatedPort::setOpenFailure(const std::string& reason) {
    openFailure_ = reason;
}

void SimulatedPort::setWriteStalled(bool stalled) {
    writeStalled_ = stalled;
}

void SimulatedPort::setReplyPieces(int bytes, double secondsBetween) {
    pieceBytes_ = bytes < 0 ? 0 : bytes;
    pieceSeconds_ = secondsBetween < 0 ? 0 : secondsBetween;
}

void SimulatedPort::pullPlug() {
    if (!open_) return;
    close();
    error_ = "link lost: device removed";
    emit linkLost(QString::fromStdString(error_));
}

int SimulatedPort::portNumber() const {
    return comPort_;
}
const std::string& SimulatedPort::settings() const {
    return settings_;
}
int SimulatedPort::openCount() const {
    return openCount_;
}
int SimulatedPort::writeCount() const {
    return writeCount_;
}
