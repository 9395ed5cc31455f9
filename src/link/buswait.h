#pragma once
// Event-driven waits on the monotonic clock, and the guard that lets one drive operation run
// at a time across all windows.
#include <functional>

class QObject;
class SerialPort;

// Every wait is multiplied by this; tests may speed the suite up. The program keeps 1.
inline double WaitScale = 1.0;
// Told the length of every wait as asked (before scaling), so tests can pin the schedule
// without depending on the machine's speed.
inline std::function<void(double seconds)> WaitRecorder;

enum class WaitEnd { Ready, Deadline, LinkLost, Aborted };

// Until `count` bytes are waiting at the port, `seconds` have passed, or the link is lost.
// The window keeps handling its events; no CPU is used while nothing happens.
WaitEnd WaitForBytes(SerialPort& port, int count, double seconds);
// Until every written byte has been handed to the system, `seconds` have passed, or the link is
// lost.
WaitEnd WaitForWritten(SerialPort& port, double seconds);
// A fixed wait of `seconds`; ends early only when the program is quitting.
WaitEnd WaitSeconds(double seconds);

// Ends every wait at once (the program is quitting).
void AbortAllWaits();
bool WaitsAborted();

// What an operation on the bus is, so that a background user can tell the operator why it waits.
enum class BusUse { Command, Transfer, Test, Scan, Monitor };

// One drive operation at a time. A second one is refused; the first is never disturbed.
// The monitor is the exception that makes room: it holds the line for one transaction at a time
// and never waits inside it, so an operation that finds the monitor on the line waits (events
// keep running) for that transaction to end and then goes first. Only one may wait so; the
// monitor takes the line again only once nobody holds or awaits it.
class BusOperation {
  public:
    explicit BusOperation(BusUse use = BusUse::Command);
    ~BusOperation();
    BusOperation(const BusOperation&) = delete;
    BusOperation& operator=(const BusOperation&) = delete;
    bool acquired() const { return acquired_; }
    static bool busy();
    // The use of the operation that holds the line (meaningful while busy()).
    static BusUse holder();
    // Calls `freed` (in `context`'s thread, after the current event) whenever the line is
    // released; ends with `context`.
    static void WhenFreed(QObject* context, std::function<void()> freed);

  private:
    bool acquired_ = false;
};

// How long an operation waits for the monitor's transaction to end before it is refused.
constexpr double MonitorYieldSeconds = 3.0;
