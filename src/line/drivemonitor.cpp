#include "line/drivemonitor.h"

#include "line/serialport.h"

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

DriveMonitor::DriveMonitor(DriveLine& line, QObject* parent) : QObject(parent), line_(line) {
    pollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pollTimer_, &QTimer::timeout, this, &DriveMonitor::tick);
    // Whoever held the line is done: carry on (queued, so a waiting operation goes first).
    connect(
        &line_, &DriveLine::freed, this,
        [this] {
            if (waitingForLine_) next();
        },
        Qt::QueuedConnection);
    clock_.start();
}

DriveMonitor::~DriveMonitor() {
    // A reply still due is dropped by the next transaction's opening.
    if (onLine_) line_.forgetPending();
    lease_.release();
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
    if (address != BroadcastAddress) address_ = address;
}

DriveMonitor::Refusal DriveMonitor::start(const LineTarget& to, int address) {
    // A broadcast gets no reply: there is nothing to watch.
    if (address == BroadcastAddress) return Refusal::Broadcast;
    if (std::none_of(enabled_.begin(), enabled_.end(), [](bool on) { return on; }))
        return Refusal::NothingToRead;
    if (running_) return Refusal::None;
    target_ = to;
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
    if (!onLine_) {
        polling_ = false;
        waitingForLine_ = false;
        closeIdlePort();
    }
}

// The port is left as the other transactions leave it: closed.
void DriveMonitor::closeIdlePort() {
    if (!line_.busy()) line_.closeIdle();
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
    LineLease lease = line_.lease(BusUse::Monitor);
    if (!lease || line_.exchanging()) {
        // Someone else's turn; the line's freed signal brings us back.
        waitingForLine_ = true;
        if (line_.busy()) setPaused(line_.holder() != BusUse::Command, line_.holder());
        return;
    }
    if (paused_) {
        // The long operation is over: this poll's time is long past, begin afresh.
        lease.release();
        setPaused(false, BusUse::Command);
        beginPoll();
        return;
    }
    lease_ = std::move(lease);
    current_ = read;
    onLine_ = true;
    // Between its own transactions the monitor keeps the port open: opening a port takes longer
    // than a reply at 9600 baud. It opens afresh when the settings have changed.
    line_.startCounted(target_, sample_.address, MonitorCommands[read].code, MonitorCommands[read].nrx, true,
                       [this](const Exchange& ex) { endTransaction(ex); });
}

void DriveMonitor::endTransaction(const Exchange& ex) {
    onLine_ = false;
    lease_.release(); // the line is free: an operation waiting for it goes now
    if (ex.outcome == Outcome::LinkLost || ex.outcome == Outcome::OpenFailed) {
        fail(ex);
        return;
    }
    const auto read = static_cast<MonitorRead>(current_);
    sample_.value[read] = MonitorValue(read, ex.reply);
    if (!sample_.value[read]) {
        sample_.missed[read] = true;
        ++misses_;
    }
    if (ex.outcome == Outcome::Reply) lastReply_[read] = ex.reply;
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
    emit failed(ex.outcome, QString::fromStdString(ex.error));
}

void DriveMonitor::setPaused(bool paused, BusUse holder) {
    if (paused == paused_) return;
    paused_ = paused;
    emit pausedChanged(paused, holder);
}
