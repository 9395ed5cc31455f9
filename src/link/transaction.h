#pragma once
// The two kinds of drive transaction on the shared port. Windows wrap them (TxRxSeriale,
// TxRxSerialeX, TxRxCMDEEPROM, TxRxCMDSTRING) and show the outcome their own way.
#include "link/buswait.h"

#include <functional>
#include <string>

class SerialPort;

// The port every window uses (the line is half duplex: one port object for all).
SerialPort* SharedPort();
void SetSharedPort(SerialPort* port);

// How long a counted transaction waits for its reply after the frame is written.
constexpr double ReplyTimeoutSeconds = 1.0;
// How long a frame may take to be handed to the system. A frame needs about 10 ms of line at
// 9600 baud; a port that takes ten times that is stuck.
constexpr double WriteTimeoutSeconds = 0.1;

enum class Outcome {
    Reply,      // the expected bytes arrived (counted) / something arrived (polled)
    Broadcast,  // address 99: nothing awaited
    Timeout,    // the bound passed; `reply` holds what did arrive
    OpenFailed, // the port could not be opened; nothing was sent
    LinkLost,   // the adapter vanished
    BadValue,   // the value does not fit its bytes; nothing was sent
    Aborted,    // the program is quitting
};

struct Exchange {
    Outcome outcome = Outcome::Reply;
    std::string frame; // bytes written
    std::string reply; // bytes received (counted: at most nrx)
    std::string error; // reason, for OpenFailed / LinkLost / BadValue
};

// Frame of code + value bytes; waits (bounded) for nrx reply bytes; closes the port at the end.
Exchange CountedTransaction(SerialPort& port, int add, int code, double parametro1, double parametro2,
                            int ntx, int nrx, int tipo, double timeoutSeconds = ReplyTimeoutSeconds);

// The two halves of a counted transaction, for a caller that waits its own way (the monitor
// waits on the port's signals and never inside a call). OpenForFrame closes the port if open,
// opens it with the settings of the moment and drops stale input (Reply when ready); with
// `keepOpen` a port already open with the number, settings and device of the moment stays open. After the
// frame went out and the wait ended with `end`, FinishCounted takes at most nrx bytes, sets the
// outcome, tells the observers and closes the port (unless `keepOpen`).
Outcome OpenForFrame(SerialPort& port, int add, const std::string& frame, std::string& error,
                     bool keepOpen = false);
void FinishCounted(SerialPort& port, int add, int nrx, WaitEnd end, Exchange& ex, bool keepOpen = false);

// Sends ready-made command bytes once, then polls up to 11 times: 50 ms, take what waits (a lone
// 15h returns "15" at once), `timeoutSeriale` s, take more; returns at the first non-empty
// answer. `instring` is the reply as hex text without outer blanks ("06", "15", "" for none).
// Address 99 sends nothing and leaves `instring` as it was. The port stays open, and the next
// polled transaction reopens it only when the port number, settings or device changed.
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
PolledExchange PolledTransaction(SerialPort& port, int add, const std::string& cmdString,
                                 double timeoutSeriale, const std::string& instring = std::string(),
                                 ReplyEnd end = ReplyEnd::Fixed);
// The quiet time that ends a QuietGap reply at `baud`: four characters of line time, and never
// below 50 ms: USB adapters hand bytes over in bursts up to 16 ms apart, and a busy computer
// may deliver them later still; a read cut short costs far more than the wait. Not scaled by
// WaitScale: it is a property of the line, not a wait of the protocol.
double QuietGapSeconds(int baud);

// What went over the line, for anyone who wants to watch (the communication log).
struct TrafficEvent {
    enum Kind { Sent, Received, Timeout, Broadcast, Refused, PortError, LinkLost };
    Kind kind;
    int address;
    std::string bytes;    // frame or reply
    std::string text;     // reason or note
    bool monitor = false; // sent or received by the live monitor
};
using TrafficObserver = std::function<void(const TrafficEvent&)>;
// Returns an id for RemoveTrafficObserver.
int AddTrafficObserver(TrafficObserver observer);
void RemoveTrafficObserver(int id);
void ReportTraffic(const TrafficEvent& event);
// While one lives, reported traffic is marked as the monitor's (the log can hide it).
class MonitorTraffic {
  public:
    MonitorTraffic();
    ~MonitorTraffic();
    MonitorTraffic(const MonitorTraffic&) = delete;
    MonitorTraffic& operator=(const MonitorTraffic&) = delete;

  private:
    bool was_;
};
