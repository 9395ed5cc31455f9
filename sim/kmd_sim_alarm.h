#pragma once
// kmd-sim's clock and its alarm (Linux: timerfd). Not part of the simulation library: the
// library also serves the in-process tests on every platform.
#include <QObject>
#include <QTimer>

#include <functional>

class QSocketNotifier;

// Seconds of CLOCK_MONOTONIC: the drives' clock, the alarm's and the one --stamp prints.
double MonotonicSeconds();

// Rings at an exact time of the monotonic clock, without spinning. A QTimer counts whole
// milliseconds, which would hand every reply byte to the program up to 1 ms after the line
// delivered it and make every exchange look slower than the line is.
class Alarm : public QObject {
  public:
    explicit Alarm(std::function<void()> ring);
    ~Alarm() override;

    // Rings once at `seconds` of the monotonic clock (at once when that has passed); replaces
    // the time set before.
    void at(double seconds);
    void cancel();

  private:
    std::function<void()> ring_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer fallback_; // without timerfd: whole milliseconds, late rather than early
};
