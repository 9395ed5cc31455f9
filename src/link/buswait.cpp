#include "link/buswait.h"

#include "link/serialport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {

bool g_busy = false;
BusUse g_use = BusUse::Command;
int g_waiting = 0; // operations waiting for the monitor to step aside
bool g_aborted = false;

// Quits every nested wait loop when the program ends; tells who waits that the line is free.
class AbortHub : public QObject {
    Q_OBJECT
  signals:
    void aborted();
    void freed();
};

AbortHub& Hub() {
    static AbortHub hub;
    return hub;
}

int Milliseconds(double seconds) {
    double ms = seconds * WaitScale * 1000.0;
    if (ms < 0) ms = 0;
    if (ms > 24.0 * 3600 * 1000) ms = 24.0 * 3600 * 1000;
    return static_cast<int>(ms + 0.5);
}

} // namespace

namespace {

// A nested event loop until `done()` holds after `progress` fires, the deadline passes, the link
// is lost or the program quits.
template <typename Signal>
WaitEnd WaitOnPort(SerialPort& port, Signal progress, const std::function<bool()>& done, int milliseconds) {
    if (g_aborted) return WaitEnd::Aborted;
    if (done()) return WaitEnd::Ready;
    if (!port.isOpen()) return WaitEnd::LinkLost;

    QEventLoop loop;
    WaitEnd end = WaitEnd::Deadline;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        end = WaitEnd::Deadline;
        loop.quit();
    });
    QObject::connect(&port, progress, &loop, [&] {
        if (done()) {
            end = WaitEnd::Ready;
            loop.quit();
        }
    });
    QObject::connect(&port, &SerialPort::linkLost, &loop, [&] {
        end = WaitEnd::LinkLost;
        loop.quit();
    });
    QObject::connect(&Hub(), &AbortHub::aborted, &loop, [&] {
        end = WaitEnd::Aborted;
        loop.quit();
    });
    timer.start(milliseconds);
    loop.exec();
    return end;
}

} // namespace

WaitEnd WaitForBytes(SerialPort& port, int count, double seconds) {
    if (WaitRecorder) WaitRecorder(seconds);
    return WaitOnPort(
        port, &SerialPort::readyRead, [&] { return port.bytesWaiting() >= count; }, Milliseconds(seconds));
}

WaitEnd WaitForWritten(SerialPort& port, double seconds) {
    // Not scaled: it bounds the port, not the drive, and a scaled-down bound would be too short.
    return WaitOnPort(
        port, &SerialPort::bytesWritten, [&] { return port.bytesToWrite() == 0; },
        static_cast<int>(seconds * 1000.0 + 0.5));
}

WaitEnd WaitSeconds(double seconds) {
    if (WaitRecorder) WaitRecorder(seconds);
    if (g_aborted) return WaitEnd::Aborted;
    QEventLoop loop;
    WaitEnd end = WaitEnd::Deadline;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&Hub(), &AbortHub::aborted, &loop, [&] {
        end = WaitEnd::Aborted;
        loop.quit();
    });
    timer.start(Milliseconds(seconds));
    loop.exec();
    return end;
}

void AbortAllWaits() {
    g_aborted = true;
    emit Hub().aborted();
}

bool WaitsAborted() {
    return g_aborted;
}

namespace {

// Until the monitor's transaction has ended (or the bound passes, or the program quits).
void AwaitMonitor() {
    ++g_waiting;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&Hub(), &AbortHub::freed, &loop, &QEventLoop::quit);
    QObject::connect(&Hub(), &AbortHub::aborted, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(MonitorYieldSeconds * 1000));
    if (!g_aborted) loop.exec();
    --g_waiting;
}

} // namespace

BusOperation::BusOperation(BusUse use) {
    if (use == BusUse::Monitor) {
        if (g_busy || g_waiting > 0) return;
    } else if (g_busy && g_use == BusUse::Monitor && g_waiting == 0) {
        AwaitMonitor();
    }
    if (!g_busy) {
        g_busy = true;
        g_use = use;
        acquired_ = true;
    }
}

BusOperation::~BusOperation() {
    if (!acquired_) return;
    g_busy = false;
    emit Hub().freed();
}

bool BusOperation::busy() {
    return g_busy;
}

BusUse BusOperation::holder() {
    return g_use;
}

void BusOperation::WhenFreed(QObject* context, std::function<void()> freed) {
    QObject::connect(&Hub(), &AbortHub::freed, context, std::move(freed), Qt::QueuedConnection);
}

#include "buswait.moc"
