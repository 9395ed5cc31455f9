#include "jobs/special_tests.h"

#include "base/numbers.h"
#include "jobs/special_logic.h"
#include "line/serialport.h"
#include "protocol/frame.h"

namespace {

const std::string CrLf = "\r\n";

// Every test ends this way: the drive operation is given back and the line is freed for others.
class TestScope {
  public:
    TestScope(DriveLine& line, bool& running, bool& stopRequested, bool& wrote)
        : line_(line), lease_(line.lease(BusUse::Test)), running_(running) {
        if (!lease_) return;
        running_ = true;
        stopRequested = false;
        wrote = false;
    }
    ~TestScope() {
        if (!lease_) return;
        running_ = false;
        line_.closeIdle();
    }
    TestScope(const TestScope&) = delete;
    TestScope& operator=(const TestScope&) = delete;
    bool acquired() const { return static_cast<bool>(lease_); }

  private:
    DriveLine& line_;
    LineLease lease_;
    bool& running_;
};

} // namespace

SpecialTests::SpecialTests(DriveLine& line, std::function<void(const std::string&)> onText)
    : line_(line), onText_(std::move(onText)) {}

void SpecialTests::requestStop() {
    if (running_) stopRequested_ = true;
}

void SpecialTests::setText(const std::string& text) {
    text_ = text;
    wroteThisTest_ = true;
    if (onText_) onText_(text_);
}

// The first line of a test replaces what an earlier test left; later ones go below.
void SpecialTests::appendLine(const std::string& line) {
    std::string before;
    if (wroteThisTest_) {
        before = text_;
        bool endsInCrLf = before.size() >= 2 && before.compare(before.size() - 2, 2, CrLf) == 0;
        if (!before.empty() && !endsInCrLf) before += CrLf;
    }
    setText(before + line + CrLf);
}

std::optional<std::string> SpecialTests::Failure(Outcome outcome, const std::string& frame,
                                                 const std::string& error, bool gotSomething) {
    const std::string stopped = " - test stopped";
    switch (outcome) {
    case Outcome::Reply:
    case Outcome::Broadcast:
    case Outcome::Aborted:
        return std::nullopt;
    case Outcome::Timeout:
        return (gotSomething ? "Incomplete reply to" : "No reply to") + Module1::StringaHex(frame) + stopped;
    case Outcome::OpenFailed:
        return "Cannot open " + error + stopped;
    case Outcome::LinkLost:
        return "Link lost" + (error.empty() ? std::string() : ": " + error) + stopped;
    case Outcome::BadValue:
        return "Value refused: " + error + stopped;
    }
    return std::nullopt;
}

SpecialTests::End SpecialTests::stopWith(const std::string& line) {
    appendLine(line);
    return End::Failed;
}

// A transaction was cut short: the program is quitting, or every drive was stopped (the test
// ends as by its Stop button).
SpecialTests::End SpecialTests::cut() {
    return line_.aborted() ? End::Aborted : ending(End::Stopped);
}

SpecialTests::End SpecialTests::ending(End end) {
    if (end == End::Stopped) appendLine("Test stopped");
    return end;
}

Exchange SpecialTests::TxRxSerialeX(int add, int comando, double parametro1, double parametro2, int ntx,
                                    int nrx, int tipoComando) {
    return line_.counted(target_, add, comando, parametro1, parametro2, ntx, nrx, tipoComando);
}

PolledExchange SpecialTests::TxRxCMDSTRING(int add, const std::string& cmdString, std::string& instring,
                                           double timeoutSeriale) {
    PolledExchange ex = line_.polled(target_, add, cmdString, timeoutSeriale, instring);
    instring = ex.instring;
    return ex;
}

SpecialTests::StatusEnd SpecialTests::WaitStatusBit0Low(int add, PolledExchange* last) {
    for (;;) {
        std::string status;
        PolledExchange ex = TxRxCMDSTRING(add, std::string(1, '\xAC'), status, 0.2);
        if (last) *last = ex;
        if (ex.outcome != Outcome::Reply && ex.outcome != Outcome::Broadcast) return StatusEnd::NoReply;
        if (!StatusBit0(status)) return StatusEnd::Low;
        if (stopRequested_) return StatusEnd::Stopped;
    }
}

SpecialTests::End SpecialTests::RunEncoderTest(const DriveAt& drive) {
    TestScope scope(line_, running_, stopRequested_, wroteThisTest_);
    if (!scope.acquired()) return End::Busy;
    const int add = drive.address;
    target_ = drive.line;
    if (add == BroadcastAddress) return refuseBroadcast();

    // Current 4000, encoder/motor ratio 1000, encoder mode 1, endless motion clockwise.
    const std::string commands[] = {std::string("\xA8\x0F\xA0", 3), std::string("\xC7\x03\xE8", 3),
                                    std::string("\xCB\x01", 2), std::string("\x32\x00", 2)};
    for (const std::string& command : commands) {
        if (stopRequested_) return ending(End::Stopped);
        std::string reply;
        PolledExchange ex = TxRxCMDSTRING(add, command, reply, 0);
        if (ex.outcome == Outcome::Aborted) return cut();
        if (auto line = Failure(ex.outcome, ex.frame, ex.error, false)) return stopWith(*line);
    }
    return End::Done;
}

SpecialTests::End SpecialTests::RunLoop(const DriveAt& drive) {
    TestScope scope(line_, running_, stopRequested_, wroteThisTest_);
    if (!scope.acquired()) return End::Busy;
    const int add = drive.address;
    target_ = drive.line;
    if (add == BroadcastAddress) return refuseBroadcast();

    for (;;) {
        if (stopRequested_) return ending(End::Stopped);
        std::string position;
        PolledExchange ex = TxRxCMDSTRING(add, std::string(1, '\x12'), position, 0);
        if (ex.outcome == Outcome::Aborted) return cut();
        setText("POSIZIONE=" + position + CrLf);
        if (auto line = Failure(ex.outcome, ex.frame, ex.error, false)) return stopWith(*line);

        if (stopRequested_) return ending(End::Stopped);
        std::string analog;
        ex = TxRxCMDSTRING(add, std::string(1, '\xD2'), analog, 0);
        if (ex.outcome == Outcome::Aborted) return cut();
        appendLine("AN-IN=" + analog);
        if (auto line = Failure(ex.outcome, ex.frame, ex.error, false)) return stopWith(*line);
        // Without an analog value there is nothing to copy: a stale value is never sent.
        if (analog.empty() || analog == " ") continue;

        long long value = LoopPosition(AnalogOfReply(analog));
        appendLine("valore=" + SignedText(value));
        if (stopRequested_) return ending(End::Stopped);
        Exchange sent = TxRxSerialeX(add, 211, static_cast<double>(value), 0, 5, 1, 0);
        if (sent.outcome == Outcome::Aborted) return cut();
        if (auto line = Failure(sent.outcome, sent.frame, sent.error, !sent.reply.empty()))
            return stopWith(*line);
    }
}

SpecialTests::End SpecialTests::RunStepTest(const DriveAt& drive) {
    TestScope scope(line_, running_, stopRequested_, wroteThisTest_);
    if (!scope.acquired()) return End::Busy;
    const int add = drive.address;
    target_ = drive.line;
    if (add == BroadcastAddress) return refuseBroadcast();

    StepRandom random(seed_ ? *seed_ : StepRandom::ClockSeed());
    seed_.reset();

    // One command answered by one byte; nullopt when it went through.
    std::optional<End> failed;
    auto send = [&](int code, double value, int ntx) {
        if (stopRequested_) {
            failed = ending(End::Stopped);
            return false;
        }
        Exchange ex = TxRxSerialeX(add, code, value, 0, ntx, 1, 0);
        if (ex.outcome == Outcome::Aborted) {
            failed = cut();
            return false;
        }
        if (auto line = Failure(ex.outcome, ex.frame, ex.error, !ex.reply.empty())) {
            failed = stopWith(*line);
            return false;
        }
        return true;
    };

    if (!send(38, 4, 2) || !send(32, 2000, 3)) return *failed;
    for (int nCicli = 0; nCicli < 100;) {
        StepMove move = DrawMove(random);
        if (!send(34, move.ramp, 2) || !send(33, move.fmax, 3) || !send(49, move.distance, 5)) return *failed;
        PolledExchange last;
        switch (WaitStatusBit0Low(add, &last)) {
        case StatusEnd::Low:
            break;
        case StatusEnd::Stopped:
            return ending(End::Stopped);
        case StatusEnd::NoReply:
            if (last.outcome == Outcome::Aborted) return cut();
            return stopWith(Failure(last.outcome, last.frame, last.error, false).value_or("No reply"));
        }
        ++nCicli;
        setText("NCicli=" + SignedText(nCicli));
    }
    // Back to the start; the program goes on (an end here would drop the editor's programs).
    if (!send(48, 0, 5)) return *failed;
    return End::Done;
}

SpecialTests::End SpecialTests::refuseBroadcast() {
    appendLine("Address switchall: the tests need one drive, address 0 to 31");
    return End::Refused;
}
