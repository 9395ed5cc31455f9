#include "link/drivemonitor.h"

#include "app/module1.h"
#include "link/frame.h"
#include "link/serialport.h"

#include <algorithm>

std::optional<long long> MonitorValue(MonitorRead read, const std::string& reply) {
    if (static_cast<int>(reply.size()) != MonitorCommands[read].nrx) return std::nullopt;
    auto byte = [&](size_t position) { return static_cast<unsigned char>(reply[position - 1]); };
    switch (read) {
    case ReadPosition: {
        uint32_t v = static_cast<uint32_t>(byte(4)) << 24 | byte(5) << 16 | byte(6) << 8 | byte(7);
        return static_cast<long long>(static_cast<int32_t>(v));
    }
    case ReadAnalog:
        return byte(4) * 256 + byte(5);
    default:
        return byte(4);
    }
}

std::string MonitorCsv(const std::deque<MonitorSample>& samples) {
    std::string csv = "time_ms,address,position,status,inputs,analog\r\n";
    for (const MonitorSample& s : samples) {
        csv += std::to_string(s.ms) + "," + std::to_string(s.address);
        for (const auto& v : s.value)
            csv += "," + (v ? std::to_string(*v) : std::string());
        csv += "\r\n";
    }
    return csv;
}

DriveMonitor::DriveMonitor(QObject* parent) : QObject(parent) {
    pollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pollTimer_, &QTimer::timeout, this, &DriveMonitor::tick);
    replyTimer_.setSingleShot(true);
    replyTimer_.setTimerType(Qt::PreciseTimer);
    connect(&replyTimer_, &QTimer::timeout, this, [this] { endTransaction(WaitEnd::Deadline); });
    // Whoever held the line is done: carry on (queued, so a waiting operation goes first).
    BusOperation::WhenFreed(this, [this] {
        if (waitingForLine_) next();
    });
    clock_.start();
}

DriveMonitor::~DriveMonitor() {
    disconnectPort();
    // A reply still due is dropped by the next transaction's opening.
    if (line_ && port_) port_->close();
    line_.reset();
    closeIdlePort();
}

void DriveMonitor::setRate(double pollsPerSecond) {
    rate_ = pollsPerSecond;
    if (running_ && rate_ > 0)
        pollTimer_.start(static_cast<int>(1000.0 / rate_ + 0.5));
    else
        pollTimer_.stop(); // unpaced: each poll starts when the last one ends
}

void DriveMonitor::setAddress(int address) {
    if (address != Module1::BroadcastAddress) address_ = address;
}

DriveMonitor::Refusal DriveMonitor::start(SerialPort* port, int address) {
    if (!port) return Refusal::NoPort;
    // A broadcast gets no reply: there is nothing to watch.
    if (address == Module1::BroadcastAddress) return Refusal::Broadcast;
    if (std::none_of(enabled_.begin(), enabled_.end(), [](bool on) { return on; }))
        return Refusal::NothingToRead;
    if (running_) return Refusal::None;
    port_ = port;
    address_ = address;
    running_ = true;
    if (samples_.empty() && !polling_) clock_.start();
    completed_.clear();
    setRate(rate_);
    if (!polling_) beginPoll();
    return Refusal::None;
}

void DriveMonitor::stop() {
    running_ = false;
    pollTimer_.stop();
    due_ = false;
    setPaused(false, BusUse::Command);
    if (!line_) {
        polling_ = false;
        waitingForLine_ = false;
        closeIdlePort();
    }
}

// The port is left as the other transactions leave it: closed.
void DriveMonitor::closeIdlePort() {
    if (port_ && !BusOperation::busy() && port_->isOpen()) port_->close();
}

void DriveMonitor::clear() {
    samples_.clear();
    completed_.clear();
    misses_ = 0;
    for (std::string& r : lastReply_)
        r.clear();
    clock_.start();
    sample_.ms = 0; // a poll under way belongs to the new recording
}

double DriveMonitor::achievedRate() const {
    if (completed_.size() < 2) return 0;
    const long long now = clock_.elapsed();
    // Over the last two seconds at least, or the last few polls at a slow rate.
    const long long window = std::max<long long>(2000, rate_ > 0 ? static_cast<long long>(5000 / rate_) : 0);
    long long first = -1;
    int count = 0;
    for (long long t : completed_)
        if (now - t <= window) {
            if (first < 0) first = t;
            ++count;
        }
    // A whole window of polls: their count over the window; a shorter run: over its own span.
    if (completed_.front() < now - window) return count * 1000.0 / static_cast<double>(window);
    if (count < 2) return 0;
    const long long span = std::max(now - first, completed_.back() - first);
    return span > 0 ? (count - 1) * 1000.0 / static_cast<double>(span) : 0;
}

void DriveMonitor::tick() {
    if (!running_) return;
    if (polling_) {
        due_ = true; // behind the rate: the next poll starts as soon as this one ends
        return;
    }
    beginPoll();
}

void DriveMonitor::beginPoll() {
    polling_ = true;
    due_ = false;
    current_ = -1;
    sample_ = MonitorSample{clock_.elapsed(), address_, {}, {}};
    next();
}

// The next enabled read of this poll, when the line is free; the end of the poll otherwise.
void DriveMonitor::next() {
    waitingForLine_ = false;
    if (!running_) {
        polling_ = false;
        closeIdlePort();
        return;
    }
    int read = current_ + 1;
    while (read < ReadCount && !enabled_[read])
        ++read;
    if (read >= ReadCount) {
        finishPoll();
        return;
    }
    auto line = std::make_unique<BusOperation>(BusUse::Monitor);
    if (!line->acquired()) {
        // Someone else's turn; BusOperation::WhenFreed brings us back.
        waitingForLine_ = true;
        if (BusOperation::busy())
            setPaused(BusOperation::holder() != BusUse::Command, BusOperation::holder());
        return;
    }
    line_ = std::move(line);
    if (paused_) {
        // The long operation is over: this poll's time is long past, begin afresh.
        setPaused(false, BusUse::Command);
        line_.reset();
        beginPoll();
        return;
    }
    current_ = read;
    const MonitorCommand cmd = MonitorCommands[read];
    exchange_ = Exchange{};
    const int add = sample_.address;
    exchange_.frame = MakeCommandFrame(add, cmd.code, 0, 0, 1, 0).frame;
    {
        MonitorTraffic tag;
        // Between its own transactions the monitor keeps the port open: opening a port takes
        // longer than a reply at 9600 baud. It opens afresh when the settings have changed.
        exchange_.outcome = OpenForFrame(*port_, add, exchange_.frame, exchange_.error, true);
        if (exchange_.outcome == Outcome::Reply && !port_->write(exchange_.frame)) {
            exchange_.outcome = Outcome::LinkLost;
            exchange_.error = port_->errorText();
            port_->close();
            ReportTraffic({TrafficEvent::LinkLost, add, exchange_.frame, exchange_.error});
        } else if (exchange_.outcome == Outcome::Reply) {
            ReportTraffic({TrafficEvent::Sent, add, exchange_.frame, std::string()});
        }
    }
    if (exchange_.outcome != Outcome::Reply) {
        line_.reset();
        fail(exchange_);
        return;
    }
    readyConnection_ = connect(port_, &SerialPort::readyRead, this, &DriveMonitor::onReadyRead);
    lostConnection_ =
        connect(port_, &SerialPort::linkLost, this, [this] { endTransaction(WaitEnd::LinkLost); });
    replyTimer_.start(static_cast<int>(ReplyTimeoutSeconds * WaitScale * 1000.0 + 0.5));
    // A port that had the reply at once gave its signal before we listened.
    if (port_->bytesWaiting() >= cmd.nrx) QTimer::singleShot(0, this, &DriveMonitor::onReadyRead);
}

void DriveMonitor::onReadyRead() {
    if (line_ && port_->bytesWaiting() >= MonitorCommands[current_].nrx) endTransaction(WaitEnd::Ready);
}

void DriveMonitor::endTransaction(WaitEnd end) {
    if (!line_) return;
    disconnectPort();
    replyTimer_.stop();
    {
        MonitorTraffic tag;
        FinishCounted(*port_, sample_.address, MonitorCommands[current_].nrx, end, exchange_, true);
    }
    line_.reset(); // the line is free: an operation waiting for it goes now
    if (exchange_.outcome == Outcome::LinkLost) {
        fail(exchange_);
        return;
    }
    const auto read = static_cast<MonitorRead>(current_);
    sample_.value[read] = MonitorValue(read, exchange_.reply);
    if (!sample_.value[read]) {
        sample_.missed[read] = true;
        ++misses_;
    }
    if (exchange_.outcome == Outcome::Reply) lastReply_[read] = exchange_.reply;
    next();
}

void DriveMonitor::finishPoll() {
    polling_ = false;
    if (std::any_of(enabled_.begin(), enabled_.end(), [](bool on) { return on; })) {
        samples_.push_back(sample_);
        if (samples_.size() > Capacity) samples_.pop_front();
        completed_.push_back(clock_.elapsed());
        while (completed_.size() > 400)
            completed_.pop_front();
        emit sampleAdded();
    }
    if (running_ && (due_ || rate_ <= 0))
        QTimer::singleShot(0, this, [this] {
            if (running_ && !polling_) beginPoll();
        });
}

void DriveMonitor::fail(const Exchange& ex) {
    stop();
    polling_ = false;
    port_ = nullptr;
    emit failed(ex.outcome, QString::fromStdString(ex.error));
}

void DriveMonitor::setPaused(bool paused, BusUse holder) {
    if (paused == paused_) return;
    paused_ = paused;
    emit pausedChanged(paused, holder);
}

void DriveMonitor::disconnectPort() {
    disconnect(readyConnection_);
    disconnect(lostConnection_);
}
