#pragma once
// Event-driven waits on the monotonic clock, and the guard that lets one drive operation run
// at a time across all windows.
#include <functional>

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

// One drive operation at a time. A second one is refused; the first is never disturbed.
class BusOperation {
  public:
    BusOperation();
    ~BusOperation();
    BusOperation(const BusOperation&) = delete;
    BusOperation& operator=(const BusOperation&) = delete;
    bool acquired() const { return acquired_; }
    static bool busy();

  private:
    bool acquired_ = false;
};
