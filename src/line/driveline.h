#pragma once
// The one owner of the serial line: the port, what it was opened with, who holds the line, the
// observers of its traffic, the abort flag and the wait scale. Every transaction of the program
// (counted, polled, fast, the monitor's) goes through it. One is created in each program and
// passed by reference.
#include "line/portmap.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

class SerialPort;

// Where a request goes: the COM number (or the device chosen for it) and the baud rate.
struct LineTarget {
    int comPort = 1;
    int baud = 9600;
};

// A drive on the line: where the line goes and the drive's address (0..31, 99 for all).
struct DriveAt {
    LineTarget line;
    int address = 0;
};

// How long a counted transaction waits for its reply after the frame is written.
constexpr double ReplyTimeoutSeconds = 1.0;
// How long a frame may take to be handed to the system. A frame needs about 10 ms of line at
// 9600 baud; a port that takes ten times that is stuck.
constexpr double WriteTimeoutSeconds = 0.1;
// The least quiet time that ends the wait for a quiet line after a missed or malformed answer:
// well over the longest gap inside a reply (four characters at 9600 baud are 4 ms, a USB
// adapter's burst 16 ms), so a reply still arriving is waited out. Raised to the longest
// turnaround seen on the line.
constexpr double SettleQuietSeconds = 0.25;
// The address every drive listens to and none answers.
constexpr int BroadcastAddress = 99;

enum class WaitEnd { Ready, Deadline, LinkLost, Aborted };

enum class Outcome {
    Reply,      // the expected bytes arrived (counted) / something arrived (polled)
    Broadcast,  // address 99: nothing awaited
    Timeout,    // the bound passed; `reply` holds what did arrive
    OpenFailed, // the port could not be opened; nothing was sent
    LinkLost,   // the adapter vanished
    BadValue,   // the value does not fit its bytes; nothing was sent
    Aborted,    // cut short: the program is quitting, or every drive is being stopped
};

// The broadcast Stop (code 17 to every drive), and when it goes out a second time: a drive's
// reply colliding with the first on the half-duplex line cannot swallow both. The longest reply
// and its turnaround take about 11 ms at 9600 baud, so 20 ms later the line is clear.
constexpr int StopCode = 17;
constexpr int StopRepeatMilliseconds = 20;
// A Stop written while a drive answers collides with the answer and is lost: the first waits
// for the answer on its way to end, but never longer than this; the second goes out once the
// line is quiet, at the latest StopRepeatLatestMilliseconds after the first.
constexpr int StopHoldMilliseconds = 18;
constexpr int StopRepeatLatestMilliseconds = 50;

struct Exchange {
    Outcome outcome = Outcome::Reply;
    std::string frame; // bytes written
    std::string reply; // bytes received (counted: at most nrx)
    std::string error; // reason, for OpenFailed / LinkLost / BadValue
};

// A polled transaction: `instring` is the reply as hex text without outer blanks ("06", "15",
// "" for none).
struct PolledExchange {
    Outcome outcome = Outcome::Reply;
    std::string frame;
    std::string instring;
    std::string error;
};

// When a polled reply counts as complete. Fixed waits every look out in full; the two fast ends
// move on once the answer is there, and wait exactly as Fixed while nothing arrives.
enum class ReplyEnd {
    Fixed,    // 50 ms look, then the whole time-out, per attempt
    OneByte,  // the first byte is the whole answer (06, 15h, or a wrong byte)
    QuietGap, // the answer ends when the line stays quiet (QuietGapSeconds) or the attempt's time is up
};

// The quiet time that ends a QuietGap reply at `baud`: four characters of line time, and never
// below 50 ms: USB adapters hand bytes over in bursts up to 16 ms apart, and a busy computer
// may deliver them later still; a read cut short costs far more than the wait. Not scaled: it
// is a property of the line, not a wait of the protocol.
double QuietGapSeconds(int baud);

// What went over the line, for anyone who wants to watch (the communication log).
struct TrafficEvent {
    enum Kind { Sent, Received, Timeout, Broadcast, Refused, PortError, LinkLost };
    // The note of the broadcast Stop frames of stopAll.
    static constexpr const char* EmergencyStop = "EMERGENCY STOP";
    Kind kind;
    int address;
    std::string bytes;    // frame or reply
    std::string text;     // reason or note
    bool monitor = false; // sent or received by the live monitor
};
using TrafficObserver = std::function<void(const TrafficEvent&)>;

// What holds the line, so that the monitor can tell the operator why it waits.
enum class BusUse { Command, Transfer, Test, Scan, Monitor };

// A write a drive may have been left in: a begin (F0) with no acknowledged end (F1) since, and
// the program that may hold only part of its lines (-1: none).
struct LeftWriting {
    bool open = false;
    int program = -1;
    bool any() const { return open || program >= 0; }
};

class DriveLine;

// The right to use the line, for one operation. Empty when the line was refused. Released when
// it ends (or is moved from).
class LineLease {
  public:
    LineLease() = default;
    LineLease(LineLease&& other) noexcept;
    LineLease& operator=(LineLease&& other) noexcept;
    ~LineLease();
    explicit operator bool() const { return line_ != nullptr; }
    void release();

  private:
    friend class DriveLine;
    LineLease(DriveLine* line, unsigned id) : line_(line), id_(id) {}
    DriveLine* line_ = nullptr;
    unsigned id_ = 0;
};

class DriveLine : public QObject {
    Q_OBJECT
  public:
    explicit DriveLine(SerialPort& port, QObject* parent = nullptr);
    ~DriveLine() override;

    SerialPort& port() { return port_; }

    // --- Who holds the line. One operation at a time; a second one is refused and the first is
    // never disturbed. The monitor is the exception that makes room: a lease asked for while it
    // holds the line is granted at once, and its first transaction goes once the monitor's
    // transaction on the line has ended. The monitor gets the line only when nobody holds it.
    LineLease lease(BusUse use);
    bool busy() const { return holder_ != 0; }
    BusUse holder() const { return use_; }
    // An operation other than the monitor holds the line: a dialog the operator opens now would
    // stall it (its wait runs beneath the dialog), or change the line under it.
    bool held() const { return busy() && use_ != BusUse::Monitor; }

    // --- Transactions (the blocking front: they return when done; events keep running).
    // Frame of code + value bytes; waits (bounded) for nrx reply bytes; closes the port at the end.
    Exchange counted(const LineTarget& to, int add, int code, double parametro1, double parametro2, int ntx,
                     int nrx, int tipo, double timeoutSeconds = ReplyTimeoutSeconds);
    // Sends ready-made command bytes once, then polls up to 11 times: 50 ms, take what waits (a
    // lone 15h returns "15" at once), `timeoutSeriale` s, take more; returns at the first
    // non-empty answer. Address 99 sends nothing awaited and leaves `instring` as it was. The port
    // stays open; the next polled transaction reopens it only when the target changed.
    PolledExchange polled(const LineTarget& to, int add, const std::string& cmdString, double timeoutSeriale,
                          const std::string& instring = std::string(), ReplyEnd end = ReplyEnd::Fixed);
    // The same counted exchange without blocking (the monitor): `done` is called once (never when
    // another exchange is on the line). The port stays open for the next one. `monitor` marks
    // the traffic as the monitor's.
    void startCounted(const LineTarget& to, int add, int code, int nrx, bool monitor,
                      std::function<void(const Exchange&)> done);
    // True while an exchange is on the line (its frame written, its reply awaited).
    bool exchanging() const { return pending_ != nullptr; }
    // Whoever started the exchange on the line no longer wants its answer (it is going away).
    void forgetPending();
    // Closes the port unless an exchange or the stop of every drive still has bytes on it.
    void closeIdle();
    // The next frame waits for a quiet line (a late answer is not taken for the next one's).
    // Done by the line itself after a counted reply that is short or long, and after a polled
    // transaction that got nothing; callers that judge a reply malformed call it too.
    void unsettle() { unsettled_ = true; }
    // How long the line must stay quiet before the next frame when unsettled (before scaling).
    double settleSeconds(int baud) const;

    // --- What each drive may have been left doing (by COM number and address), so that the
    // next operation on it first closes the write and erases a half program.
    LeftWriting leftWriting(const DriveAt& drive) const;
    void setLeftWriting(const DriveAt& drive, LeftWriting left);

    // --- Waits. Every wait is multiplied by the scale (tests speed the suite up); the recorder,
    // when set, is told the length of every wait as asked, before scaling.
    double waitScale() const { return waitScale_; }
    void setWaitScale(double scale) { waitScale_ = scale; }
    void setWaitRecorder(std::function<void(double seconds)> recorder) { recorder_ = std::move(recorder); }
    // Until `count` bytes wait at the port, `seconds` have passed, or the link is lost.
    WaitEnd waitForBytes(int count, double seconds);
    // A fixed wait of `seconds`; ends early only when cut short.
    WaitEnd waitSeconds(double seconds);
    // Ends every wait and every exchange at once, for good (the program is quitting).
    void abortAll();
    bool aborted() const { return aborted_; }

    // --- Stop every drive, ahead of whoever holds the line: every wait in progress ends at once
    // (the exchange on the line as Aborted), the broadcast Stop is written at once (or once the
    // answer on its way has left the line, StopHoldMilliseconds at most), and again
    // StopRepeatMilliseconds later. The port is opened towards `to` when it is closed; an open
    // port is used as it is (it is the line the drives are on). No other frame goes out until
    // the second Stop has been handed to the system. Returns OpenFailed (nothing sent, `error`
    // says why), Aborted (the program is quitting) or Broadcast.
    Exchange stopAll(const LineTarget& to);
    bool stopping() const { return stopping_; }
    // Bumped by every stop: an operation compares it before and after to know it was stopped.
    unsigned stops() const { return stops_; }
    // Until the stop in progress has handed both frames to the system (bounded); false if it
    // could not.
    bool waitStopDone();
    // Stop frames the stop in progress (or the last one) has handed to the system, and why the
    // last one failed.
    int stopFramesWritten() const { return stopsWritten_; }
    const std::string& stopError() const { return stopError_; }

    // --- The device each COM number opens (a choice in the settings, else the usual mapping).
    // A chosen adapter whose path is gone is found again by its serial number (ResolveChosenPort).
    void setPortDevice(int comPort, const ChosenDevice& device);
    void setPortDevice(int comPort, const std::string& path) { setPortDevice(comPort, ChosenDevice{path}); }
    std::string portDevice(int comPort) const { return chosenDevice(comPort).path; }
    ChosenDevice chosenDevice(int comPort) const;
    ResolvedPort resolvePort(int comPort) const;

    int addObserver(TrafficObserver observer);
    void removeObserver(int id);
    void report(TrafficEvent event);

  signals:
    // The line was given back; whoever waits for it may try again (queued connections only).
    void freed();
    // A stop's frames have both been handed to the system (`sent`), or the stop failed.
    void stopDone(bool sent);
    // A stop's first frame has been handed to the system.
    void stopWritten();
    // Something a nested wait may be waiting for has happened.
    void wakeLoops();

  private:
    friend class LineLease;
    struct Pending;
    void releaseLease(unsigned id);
    int milliseconds(double seconds) const;
    // The one place that waits: a nested event loop until `done()` holds after an event, the
    // port's progress signal fires and `done()` holds, the time passes, the link goes or all is
    // aborted. `milliseconds` < 0 waits without a bound of its own.
    WaitEnd loopUntil(const std::function<bool()>& done, int milliseconds);
    Outcome open(const LineTarget& to, const Pending& p, std::string& error);
    // The exchange's frame goes out (after the quiet line, when one is due).
    void write();
    void noteTurnaround(double seconds);
    // Opens the port for the exchange and puts its frame on the line; its `done` is told the end.
    void launch(const LineTarget& to, std::unique_ptr<Pending> p);
    // The blocking front: once the exchange on the line (the monitor's) has ended, runs `p` to its end.
    Exchange run(const LineTarget& to, std::unique_ptr<Pending> p);
    void advance();
    void finish(WaitEnd end);
    std::string portText() const; // "COM1 (./com1)"
    void writeStop();
    void endStop(bool sent);

    SerialPort& port_;
    // The port number, settings and device the port was last opened with.
    std::tuple<int, std::string, std::string> openedWith_;
    std::map<int, ChosenDevice> chosen_;
    // Where a chosen adapter was found again, trusted while its path is there: the system's list
    // takes tens of milliseconds, too long to ask at every exchange.
    mutable std::map<int, std::pair<ChosenDevice, ResolvedPort>> foundAgain_;
    std::map<int, TrafficObserver> observers_;
    int nextObserver_ = 1;
    unsigned holder_ = 0, nextLease_ = 1;
    BusUse use_ = BusUse::Command;
    bool aborted_ = false;
    bool unsettled_ = false;
    double longestTurnaround_ = 0; // seconds before scaling, of the answers seen
    std::map<std::pair<int, int>, LeftWriting> leftWriting_;
    double waitScale_ = 1.0;
    std::function<void(double)> recorder_;
    std::unique_ptr<Pending> pending_;
    QTimer timer_; // the pending exchange's bound
    bool stopping_ = false;
    bool stopOpened_ = false; // the stop opened the port, and closes it after
    bool stopSent_ = false;   // the last stop handed both frames to the system
    int stopsWritten_ = 0;
    // An answer a drive is giving: its frame went out `since` ago; `bytes` of it are due (0: as
    // many as come until the line falls quiet).
    struct Awaited {
        size_t frameBytes = 0;
        int bytes = 0;
        QElapsedTimer since;
    };
    std::optional<Awaited> awaited_; // a polled exchange's, while it looks for its answer
    std::optional<Awaited> awaitedAnswer() const;
    // The stop's frames wait for a clear line, bounded: the first for the answer a drive is
    // giving to end (in full, or the line quiet once it began, or its first byte overdue), at
    // most StopHoldMilliseconds after the key; the second for a quiet line, between
    // StopRepeatMilliseconds and StopRepeatLatestMilliseconds after the first.
    struct StopHold {
        bool awaiting = false;  // an answer is due
        bool started = false;   // some of it has come
        int bytes = 0;          // it is in once the port holds this many (0: unknown)
        double startDue = 0;    // its first byte is overdue this long after the key
        double character = 0;
        QElapsedTimer sinceKey, sinceFirst;
    } hold_;
    QElapsedTimer lastByte_; // when the line last brought a byte
    void writeStopWhenClear();
    std::string stopError_;
    unsigned stops_ = 0;
    QTimer stopTimer_;                // the second frame, then the bound of its writing
    std::function<void()> afterStop_; // the monitor's exchange asked for during a stop
};
