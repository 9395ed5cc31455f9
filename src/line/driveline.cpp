#include "line/driveline.h"

#include "line/serialport.h"
#include "protocol/frame.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <utility>

// An exchange on the line: it waits for a quiet line when one is due (Settling), its frame is
// being handed to the system (Writing), then its reply is awaited (Awaiting). Only one exists at
// a time: the line is half duplex.
struct DriveLine::Pending {
    Pending(int address, std::string frame) : add(address) { ex.frame = std::move(frame); }
    enum Stage { Settling, Writing, Awaiting } stage = Writing;
    int add = 0;
    int nrx = 0;            // reply bytes awaited; 0 ends the exchange once the frame is out
    double timeout = 0;     // for the reply, in seconds before scaling
    bool keepOpen = false;  // the port stays open afterwards
    bool monitor = false;   // the monitor's traffic
    bool writeOnly = false; // ends once the frame is out (a polled transaction looks itself)
    double quiet = 0;       // Settling: the quiet time that ends it, before scaling
    int settleRounds = 0;   // Settling: times the line spoke again
    QElapsedTimer awaiting; // since the frame was out
    Exchange ex;
    std::function<void(const Exchange&)> done;
};

namespace {
// A line that keeps talking is waited out this many times its quiet bound at most.
constexpr int MaxSettleRounds = 8;
// Turnarounds beyond the longest reply time-out of the protocol are no drive's.
constexpr double LongestTurnaroundKept = 2.0;

// A character on the line: start bit, 8 data bits, stop bit.
double CharacterSeconds(int baud) { return 10.0 / (baud > 0 ? baud : 9600); }
} // namespace

double QuietGapSeconds(int baud) { return std::max(4 * CharacterSeconds(baud), 0.050); }

LineLease::LineLease(LineLease&& other) noexcept
    : line_(std::exchange(other.line_, nullptr)), id_(other.id_) {}

LineLease& LineLease::operator=(LineLease&& other) noexcept {
    if (this != &other) {
        release();
        line_ = std::exchange(other.line_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

LineLease::~LineLease() {
    release();
}

void LineLease::release() {
    if (line_) line_->releaseLease(id_);
    line_ = nullptr;
}

DriveLine::DriveLine(SerialPort& port, QObject* parent) : QObject(parent), port_(port) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (pending_ && pending_->stage == Pending::Settling)
            write();
        else
            finish(WaitEnd::Deadline);
    });
    connect(&port_, &SerialPort::readyRead, this, &DriveLine::advance);
    connect(&port_, &SerialPort::bytesWritten, this, &DriveLine::advance);
    connect(&port_, &SerialPort::linkLost, this, [this] { finish(WaitEnd::LinkLost); });
    stopTimer_.setSingleShot(true);
    stopTimer_.setTimerType(Qt::PreciseTimer);
    connect(&stopTimer_, &QTimer::timeout, this, [this] {
        if (stopsWritten_ < 2)
            writeStopWhenClear();
        else
            endStop(false); // the second frame could not be handed over in time
    });
    connect(&port_, &SerialPort::bytesWritten, this, [this] {
        if (stopping_ && stopsWritten_ == 2 && port_.bytesToWrite() == 0) endStop(true);
    });
    connect(&port_, &SerialPort::readyRead, this, [this] {
        lastByte_.start();
        if (stopping_ && stopsWritten_ == 0) {
            hold_.started = true;
            writeStopWhenClear();
        }
    });
}

DriveLine::~DriveLine() {
    // An exchange still on the line is dropped with the port's next opening; nobody awaits it.
    if (pending_) pending_->done = nullptr;
    if (port_.isOpen()) port_.close();
}

LineLease DriveLine::lease(BusUse use) {
    if (aborted_) return {};
    // The monitor holds the line only between two of its reads' ends: anyone else may take it,
    // and waits in its first transaction for the monitor's reply to end.
    if (busy() && (use == BusUse::Monitor || use_ != BusUse::Monitor)) return {};
    holder_ = nextLease_++;
    use_ = use;
    return LineLease(this, holder_);
}

void DriveLine::releaseLease(unsigned id) {
    if (id != holder_) return; // a monitor's lease that another operation took over
    holder_ = 0;
    use_ = BusUse::Command;
    emit freed();
}

int DriveLine::milliseconds(double seconds) const {
    double ms = seconds * waitScale_ * 1000.0;
    ms = std::clamp(ms, 0.0, 24.0 * 3600 * 1000);
    return static_cast<int>(ms + 0.5);
}

WaitEnd DriveLine::loopUntil(const std::function<bool()>& done, int ms) {
    if (aborted_) return WaitEnd::Aborted;
    if (done()) return WaitEnd::Ready;
    QEventLoop loop;
    WaitEnd end = WaitEnd::Deadline;
    const unsigned stops = stops_; // a stop cuts every wait in progress short
    auto check = [&] {
        if (aborted_ || stops_ != stops) {
            end = WaitEnd::Aborted;
            loop.quit();
        } else if (done()) {
            end = WaitEnd::Ready;
            loop.quit();
        }
    };
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, [&] {
        end = WaitEnd::Deadline;
        loop.quit();
    });
    connect(&port_, &SerialPort::readyRead, &loop, check);
    connect(&port_, &SerialPort::bytesWritten, &loop, check);
    connect(this, &DriveLine::wakeLoops, &loop, check);
    connect(&port_, &SerialPort::linkLost, &loop, [&] {
        check();
        if (end != WaitEnd::Ready) {
            end = WaitEnd::LinkLost;
            loop.quit();
        }
    });
    if (ms >= 0) timer.start(ms);
    loop.exec();
    return end;
}

WaitEnd DriveLine::waitForBytes(int count, double seconds) {
    if (recorder_) recorder_(seconds);
    if (!port_.isOpen() && port_.bytesWaiting() < count)
        return aborted_ ? WaitEnd::Aborted : WaitEnd::LinkLost;
    return loopUntil([&] { return port_.bytesWaiting() >= count; }, milliseconds(seconds));
}

WaitEnd DriveLine::waitSeconds(double seconds) {
    if (recorder_) recorder_(seconds);
    WaitEnd end = loopUntil([] { return false; }, milliseconds(seconds));
    return end == WaitEnd::Aborted ? end : WaitEnd::Deadline;
}

void DriveLine::closeIdle() {
    if (!pending_ && !stopping_ && port_.isOpen()) port_.close();
}

void DriveLine::forgetPending() {
    if (pending_) pending_->done = nullptr;
}

void DriveLine::abortAll() {
    aborted_ = true;
    finish(WaitEnd::Aborted);
    emit wakeLoops();
}

void DriveLine::setPortDevice(int comPort, const ChosenDevice& device) {
    if (device.path.empty())
        chosen_.erase(comPort);
    else
        chosen_[comPort] = device;
}

ChosenDevice DriveLine::chosenDevice(int comPort) const {
    auto it = chosen_.find(comPort);
    return it == chosen_.end() ? ChosenDevice() : it->second;
}

ResolvedPort DriveLine::resolvePort(int comPort) const {
    const ChosenDevice chosen = chosenDevice(comPort);
    auto known = foundAgain_.find(comPort);
    if (known != foundAgain_.end() && known->second.first == chosen && !PathPresent(chosen.path) &&
        PathPresent(known->second.second.device))
        return known->second.second;
    const ResolvedPort resolved = ResolveChosenPort(comPort, chosen);
    if (resolved.foundAgain)
        foundAgain_[comPort] = {chosen, resolved};
    else
        foundAgain_.erase(comPort);
    return resolved;
}

int DriveLine::addObserver(TrafficObserver observer) {
    int id = nextObserver_++;
    observers_[id] = std::move(observer);
    return id;
}

void DriveLine::removeObserver(int id) {
    observers_.erase(id);
}

void DriveLine::report(TrafficEvent event) {
    // A copy: an observer may remove itself.
    auto observers = observers_;
    for (auto& [id, observer] : observers)
        if (observers_.count(id)) observer(event);
}

std::string DriveLine::portText() const {
    return "COM" + std::to_string(std::get<0>(openedWith_)) + " (" + port_.deviceName() + ")";
}

// Close if open, apply the target, open, drop stale input. With `keepOpen` a port already open
// so stays open: reopening gains nothing and costs milliseconds (its lock file is written anew).
Outcome DriveLine::open(const LineTarget& to, const Pending& p, std::string& error) {
    const ResolvedPort resolved = resolvePort(to.comPort);
    const auto now = std::make_tuple(to.comPort, std::to_string(to.baud) + ",N,8,1", resolved.device);
    const bool reuse = p.keepOpen && port_.isOpen() && now == openedWith_;
    if (!reuse && port_.isOpen()) port_.close();
    port_.setPortNumber(to.comPort);
    port_.setSettings(std::get<1>(now));
    port_.setDevice(std::get<2>(now));
    openedWith_ = now;
    if (!reuse && (resolved.sameSerial || !port_.open())) {
        // Nothing is opened when the adapter cannot be told apart from another.
        error = resolved.sameSerial ? "COM" + std::to_string(to.comPort) + " (" + resolved.device +
                                          "): " + SameSerialText(chosenDevice(to.comPort), resolved)
                                    : portText() + ": " + port_.errorText();
        report({TrafficEvent::PortError, p.add, p.ex.frame, error, p.monitor});
        return Outcome::OpenFailed;
    }
    port_.readAll(); // a late reply to an earlier frame is not this frame's reply
    return Outcome::Reply;
}

double DriveLine::settleSeconds(int baud) const {
    return std::max({SettleQuietSeconds, QuietGapSeconds(baud), longestTurnaround_});
}

void DriveLine::noteTurnaround(double seconds) {
    const double unscaled = waitScale_ > 0 ? seconds / waitScale_ : seconds;
    longestTurnaround_ = std::max(longestTurnaround_, std::min(unscaled, LongestTurnaroundKept));
}

LeftWriting DriveLine::leftWriting(const DriveAt& drive) const {
    auto it = leftWriting_.find({drive.line.comPort, drive.address});
    return it == leftWriting_.end() ? LeftWriting{} : it->second;
}

void DriveLine::setLeftWriting(const DriveAt& drive, LeftWriting left) {
    if (left.any())
        leftWriting_[{drive.line.comPort, drive.address}] = left;
    else
        leftWriting_.erase({drive.line.comPort, drive.address});
}

void DriveLine::advance() {
    if (!pending_) return;
    Pending& p = *pending_;
    if (p.stage == Pending::Settling) {
        if (port_.bytesWaiting() == 0) return;
        port_.readAll(); // the line spoke: quiet starts again
        if (++p.settleRounds < MaxSettleRounds) timer_.start(milliseconds(p.quiet));
        return;
    }
    if (p.stage == Pending::Writing) {
        if (port_.bytesToWrite() > 0) return;
        report({TrafficEvent::Sent, p.add, p.ex.frame, std::string(), p.monitor});
        if (p.writeOnly || p.add == BroadcastAddress) {
            finish(WaitEnd::Ready);
            return;
        }
        p.stage = Pending::Awaiting;
        p.awaiting.start();
        if (recorder_) recorder_(p.timeout);
        timer_.start(milliseconds(p.timeout));
    }
    if (port_.bytesWaiting() >= p.nrx) finish(WaitEnd::Ready);
}

void DriveLine::finish(WaitEnd end) {
    if (!pending_) return;
    std::unique_ptr<Pending> p = std::move(pending_);
    timer_.stop();
    Exchange& ex = p->ex;
    if (p->stage != Pending::Awaiting && end != WaitEnd::Ready) {
        if (end == WaitEnd::Aborted) {
            ex.outcome = Outcome::Aborted;
        } else {
            ex.error = end == WaitEnd::Deadline
                           ? portText() + ": the frame could not be written within " +
                                 std::to_string(static_cast<int>(WriteTimeoutSeconds * 1000)) + " ms"
                           : port_.errorText();
            port_.close();
            ex.outcome = Outcome::LinkLost;
            report({TrafficEvent::LinkLost, p->add, ex.frame, ex.error, p->monitor});
        }
    } else if (p->stage == Pending::Writing) {
        ex.outcome = p->add == BroadcastAddress && !p->writeOnly ? Outcome::Broadcast : Outcome::Reply;
        if (ex.outcome == Outcome::Broadcast) {
            report({TrafficEvent::Broadcast, p->add, std::string(), std::string(), p->monitor});
            if (!p->keepOpen) port_.close();
        }
    } else {
        const std::string got = port_.isOpen() ? port_.readAll() : std::string();
        ex.reply = got.substr(0, static_cast<size_t>(std::max(p->nrx, 0)));
        // A reply short or long may go on arriving: the next frame waits for a quiet line.
        // Silence to a look shorter than a drive's reply bound (the bus scan's) is an absent
        // drive's, not a slow one's.
        const bool absent = got.empty() && p->timeout < ReplyTimeoutSeconds;
        if (static_cast<int>(got.size()) != p->nrx && !absent) unsettled_ = true;
        if (end == WaitEnd::Ready || static_cast<int>(ex.reply.size()) >= p->nrx) {
            if (end == WaitEnd::Ready) noteTurnaround(static_cast<double>(p->awaiting.nsecsElapsed()) / 1e9);
            ex.outcome = Outcome::Reply;
            report({TrafficEvent::Received, p->add, ex.reply, std::string(), p->monitor});
        } else if (end == WaitEnd::LinkLost) {
            ex.outcome = Outcome::LinkLost;
            ex.error = port_.errorText();
            report({TrafficEvent::LinkLost, p->add, ex.reply, ex.error, p->monitor});
        } else if (end == WaitEnd::Aborted) {
            ex.outcome = Outcome::Aborted;
        } else {
            ex.outcome = Outcome::Timeout;
            report({TrafficEvent::Timeout, p->add, ex.reply, std::string(), p->monitor});
        }
        if (!p->keepOpen) port_.close();
    }
    if (p->done) p->done(ex);
    emit wakeLoops();
}

Exchange DriveLine::counted(const LineTarget& to, int add, int code, double p1, double p2, int ntx, int nrx,
                            int tipo, double timeoutSeconds) {
    Exchange ex;
    CommandFrame cf = MakeCommandFrame(add, code, p1, p2, ntx, tipo);
    if (cf.error) {
        ex.outcome = Outcome::BadValue;
        ex.error = cf.error->what;
        report({TrafficEvent::Refused, add, std::string(), ex.error});
        return ex;
    }
    auto p = std::make_unique<Pending>(add, cf.frame);
    p->nrx = nrx;
    p->timeout = timeoutSeconds;
    return run(to, std::move(p));
}

void DriveLine::startCounted(const LineTarget& to, int add, int code, int nrx, bool monitor,
                             std::function<void(const Exchange&)> done) {
    if (pending_ || aborted_) return;
    if (stopping_) {
        afterStop_ = [=, this, done = std::move(done)]() mutable {
            startCounted(to, add, code, nrx, monitor, std::move(done));
        };
        return;
    }
    auto p = std::make_unique<Pending>(add, MakeCommandFrame(add, code, 0, 0, 1, 0).frame);
    p->nrx = nrx;
    p->timeout = ReplyTimeoutSeconds;
    p->keepOpen = true;
    p->monitor = monitor;
    p->done = std::move(done);
    launch(to, std::move(p));
}

void DriveLine::launch(const LineTarget& to, std::unique_ptr<Pending> p) {
    p->ex.outcome = open(to, *p, p->ex.error);
    if (p->ex.outcome != Outcome::Reply) {
        if (p->done) p->done(p->ex);
        return;
    }
    pending_ = std::move(p);
    if (unsettled_) {
        // Waits until the line has been quiet long enough, dropping what comes meanwhile.
        unsettled_ = false;
        pending_->stage = Pending::Settling;
        pending_->quiet = settleSeconds(to.baud);
        if (recorder_) recorder_(pending_->quiet);
        timer_.start(milliseconds(pending_->quiet));
        QTimer::singleShot(0, this, &DriveLine::advance); // bytes may already wait
        return;
    }
    write();
}

void DriveLine::write() {
    pending_->stage = Pending::Writing;
    if (!port_.write(pending_->ex.frame)) {
        finish(WaitEnd::Deadline);
        return;
    }
    // Not scaled: it bounds the port, not the drive, and a scaled-down bound would be too short.
    timer_.start(static_cast<int>(WriteTimeoutSeconds * 1000.0 + 0.5));
    QTimer::singleShot(0, this, &DriveLine::advance); // a port without a buffer sends no signal
}

Exchange DriveLine::run(const LineTarget& to, std::unique_ptr<Pending> p) {
    Exchange ex = p->ex;
    // The monitor's read on the line (if any), and a stop's frames, end first.
    if (loopUntil([this] { return !pending_ && !stopping_; }, -1) == WaitEnd::Aborted) {
        ex.outcome = Outcome::Aborted;
        return ex;
    }
    bool finished = false;
    p->done = [&](const Exchange& e) {
        ex = e;
        finished = true;
    };
    launch(to, std::move(p));
    if (loopUntil([&] { return finished; }, -1) == WaitEnd::Aborted && !finished)
        ex.outcome = Outcome::Aborted;
    return ex;
}

PolledExchange DriveLine::polled(const LineTarget& to, int add, const std::string& cmdString,
                                 double timeoutSeriale, const std::string& instring, ReplyEnd end) {
    PolledExchange ex;
    ex.instring = instring;
    ex.frame = BuildPolledFrame(add, cmdString);
    auto stop = [&](Outcome outcome) {
        ex.outcome = outcome;
        return ex;
    };
    // The frame goes out (bounded) before the looks begin.
    auto p = std::make_unique<Pending>(add, ex.frame);
    p->writeOnly = true;
    p->keepOpen = true;
    const Exchange written = run(to, std::move(p));
    ex.error = written.error;
    if (written.outcome != Outcome::Reply) return stop(written.outcome);
    if (add == BroadcastAddress) return stop(Outcome::Broadcast);
    ex.instring.clear();
    // A stop meanwhile lets the answer end before its frame goes out.
    awaited_ = Awaited{ex.frame.size(), end == ReplyEnd::OneByte ? 1 : 0, {}};
    awaited_->since.start();
    const auto forget = qScopeGuard([this] { awaited_.reset(); });

    auto noAnswer = [&] {
        if (!port_.isOpen()) {
            ex.error = port_.errorText();
            report({TrafficEvent::LinkLost, add, std::string(), ex.error});
            return stop(Outcome::LinkLost);
        }
        report({TrafficEvent::Timeout, add, std::string(), std::string()});
        unsettled_ = true; // an answer may still come: not for the next frame
        return stop(Outcome::Timeout);
    };
    auto answered = [&](const std::string& reply) {
        // One byte was due: anything but 06 or 15h is no drive's answer, and may go on.
        if (end == ReplyEnd::OneByte && reply != "\x06" && reply != "\x15") unsettled_ = true;
        ex.instring = HexText(reply);
        report({TrafficEvent::Received, add, reply, std::string()});
        return ex;
    };

    if (end == ReplyEnd::Fixed) {
        for (int attempt = 0; attempt <= 10; ++attempt) {
            if (waitSeconds(0.05) == WaitEnd::Aborted) return stop(Outcome::Aborted);
            if (!port_.isOpen()) break;
            std::string reply = port_.readAll();
            if (reply.size() == 1 && reply[0] == '\x15') return answered(reply);
            if (waitSeconds(timeoutSeriale) == WaitEnd::Aborted) return stop(Outcome::Aborted);
            if (!port_.isOpen()) break;
            reply += port_.readAll();
            if (!reply.empty()) return answered(reply);
        }
        return noAnswer();
    }

    // The fast ends: the same attempts and bounds as the fixed looks, but each look ends as soon
    // as a byte is there, and the reply then ends at once (OneByte) or when the line falls quiet
    // (QuietGap, bounded by the attempt's own time).
    const double attemptSeconds = (0.05 + timeoutSeriale) * waitScale_;
    auto unscaled = [this](double s) { return waitScale_ > 0 ? s / waitScale_ : 0.0; };
    const double gap = QuietGapSeconds(to.baud);
    QElapsedTimer sinceWritten;
    sinceWritten.start();
    for (int attempt = 0; attempt <= 10; ++attempt) {
        QElapsedTimer clock;
        clock.start();
        WaitEnd got = waitForBytes(1, 0.05);
        if (got == WaitEnd::Deadline) got = waitForBytes(1, timeoutSeriale);
        if (got == WaitEnd::Aborted) return stop(Outcome::Aborted);
        if (!port_.isOpen()) break;
        if (port_.bytesWaiting() == 0) continue;
        noteTurnaround(static_cast<double>(sinceWritten.nsecsElapsed()) / 1e9);
        while (end == ReplyEnd::QuietGap) {
            const double left = attemptSeconds - static_cast<double>(clock.nsecsElapsed()) / 1e9;
            if (left <= 0) break;
            got = waitForBytes(port_.bytesWaiting() + 1, unscaled(std::min(gap, left)));
            if (got == WaitEnd::Aborted) return stop(Outcome::Aborted);
            if (got != WaitEnd::Ready) break; // quiet, or the link is gone (the bytes still count)
        }
        return answered(port_.readAll());
    }
    return noAnswer();
}

Exchange DriveLine::stopAll(const LineTarget& to) {
    Exchange ex;
    ex.frame = MakeCommandFrame(BroadcastAddress, StopCode, 0, 0, 1, 0).frame;
    ex.outcome = Outcome::Aborted;
    if (aborted_) return ex;
    ++stops_;
    // The exchange on the line ends here (whoever started it starts no other before the stop's
    // frames are out); its port stays open for the stop, and is closed after it.
    bool closeAfter = stopping_ && stopOpened_;
    stopping_ = true;
    stopOpened_ = false;
    // The answer a drive may be giving now: the first frame waits for it to end.
    const std::optional<Awaited> answer = awaitedAnswer();
    if (pending_) {
        closeAfter = !pending_->keepOpen;
        pending_->keepOpen = true;
    }
    const int waitingBefore = port_.bytesWaiting();
    finish(WaitEnd::Aborted); // may read what has come of the answer
    hold_ = StopHold{};
    hold_.sinceKey.start();
    hold_.character = CharacterSeconds(to.baud);
    if (answer) {
        // The drive's turnaround, and what the adapter and the system add, at most.
        constexpr double Turnaround = 0.003;
        const double firstByteEnd = static_cast<double>(answer->frameBytes + 1) * hold_.character;
        hold_.awaiting = true;
        hold_.started = waitingBefore > 0;
        hold_.startDue = firstByteEnd + Turnaround - static_cast<double>(answer->since.nsecsElapsed()) / 1e9;
        if (answer->bytes > 0) hold_.bytes = port_.bytesWaiting() + answer->bytes - waitingBefore;
    }
    if (!port_.isOpen()) {
        const bool unsettled = std::exchange(unsettled_, false); // no waiting for a quiet line now
        const Outcome opened = open(to, Pending(BroadcastAddress, ex.frame), ex.error);
        unsettled_ = unsettled;
        if (opened != Outcome::Reply) {
            ex.outcome = Outcome::OpenFailed;
            endStop(false);
            stopError_ = ex.error;
            return ex;
        }
        closeAfter = true;
    }
    stopOpened_ = closeAfter;
    stopsWritten_ = 0;
    unsettled_ = true; // the reply of the exchange cut short may still be on its way
    writeStopWhenClear();
    emit wakeLoops();
    ex.outcome = stopping_ ? Outcome::Broadcast : Outcome::LinkLost;
    if (!stopping_) ex.error = stopError_;
    return ex;
}

void DriveLine::writeStop() {
    const std::string frame = MakeCommandFrame(BroadcastAddress, StopCode, 0, 0, 1, 0).frame;
    if (!port_.isOpen() || !port_.write(frame)) {
        endStop(false);
        return;
    }
    if (++stopsWritten_ == 1) {
        hold_.sinceFirst.start();
        emit stopWritten();
    }
    report({TrafficEvent::Sent, BroadcastAddress, frame, TrafficEvent::EmergencyStop});
    if (stopsWritten_ == 1)
        writeStopWhenClear(); // the second frame
    else if (port_.bytesToWrite() == 0)
        endStop(true);
    else // the bound of its writing
        stopTimer_.start(static_cast<int>(WriteTimeoutSeconds * 1000.0 + 0.5));
}

std::optional<DriveLine::Awaited> DriveLine::awaitedAnswer() const {
    if (awaited_) return awaited_;
    if (!pending_ || pending_->stage == Pending::Settling || pending_->nrx <= 0 || pending_->writeOnly ||
        pending_->add == BroadcastAddress)
        return std::nullopt;
    Awaited a;
    a.frameBytes = pending_->ex.frame.size();
    a.bytes = pending_->nrx;
    if (pending_->stage == Pending::Awaiting)
        a.since = pending_->awaiting;
    else
        a.since.start(); // its frame is going out now
    return a;
}

void DriveLine::writeStopWhenClear() {
    const auto seconds = [](const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; };
    const double sinceByte = lastByte_.isValid() ? seconds(lastByte_) : 1e9;
    const double quietLeft = std::max(0.0, 3 * hold_.character - sinceByte);
    double left = 0;    // until the frame goes out whatever the line does
    double clearIn = 0; // until the line should be clear
    if (stopsWritten_ == 0) {
        const double now = seconds(hold_.sinceKey);
        left = StopHoldMilliseconds / 1000.0 - now;
        if (!hold_.awaiting)
            clearIn = quietLeft;
        else if (!hold_.started)
            clearIn = hold_.startDue - now;
        else
            clearIn = hold_.bytes > 0 && port_.bytesWaiting() >= hold_.bytes ? 0 : quietLeft;
    } else {
        const double now = seconds(hold_.sinceFirst);
        left = StopRepeatLatestMilliseconds / 1000.0 - now;
        clearIn = std::max(StopRepeatMilliseconds / 1000.0 - now, quietLeft);
    }
    const double wait = std::min(left, clearIn);
    if (wait <= 0) {
        writeStop();
        return;
    }
    stopTimer_.start(std::max(1, static_cast<int>(std::ceil(wait * 1000.0))));
}

void DriveLine::endStop(bool sent) {
    if (!sent) stopError_ = portText() + ": " + port_.errorText();
    stopTimer_.stop();
    stopping_ = false;
    stopSent_ = sent;
    if (stopOpened_ && port_.isOpen()) port_.close();
    stopOpened_ = false;
    if (auto after = std::exchange(afterStop_, nullptr)) after();
    emit stopDone(sent);
    emit wakeLoops();
}

bool DriveLine::waitStopDone() {
    if (stopping_) loopUntil([this] { return !stopping_; }, -1);
    return !stopping_ && stopSent_;
}
