#include "simulatedport.h"

#include "app/numbers.h"

#include <QTimer>

SimulatedPort::SimulatedPort(DriveBus& bus, QObject* parent) : SerialPort(parent), bus_(bus) {}

bool SimulatedPort::isOpen() const {
    return open_;
}

void SimulatedPort::close() {
    open_ = false;
    input_.clear();
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
    if (!openFailure_.empty()) {
        error_ = openFailure_;
        return false;
    }
    if (bus_.fault() == DriveBus::Fault::Vanished) {
        error_ = "no such device";
        return false;
    }
    open_ = true;
    ++openCount_;
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
    for (const DriveBus::Reply& reply : bus_.receive(bytes)) {
        unsigned generation = generation_;
        int ms = static_cast<int>(reply.delaySeconds * 1000.0 + 0.5);
        QTimer::singleShot(ms, this, [this, generation, bytes = reply.bytes] {
            if (generation != generation_ || !open_) return;
            input_ += bytes;
            emit readyRead();
        });
    }
    if (bus_.fault() == DriveBus::Fault::Vanished) QTimer::singleShot(0, this, [this] { pullPlug(); });
    return true;
}

int SimulatedPort::bytesWaiting() const {
    return static_cast<int>(input_.size());
}

std::string SimulatedPort::readAll() {
    std::string out;
    out.swap(input_);
    return out;
}

void SimulatedPort::setOpenFailure(const std::string& reason) {
    openFailure_ = reason;
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
