#include "kmd_sim_alarm.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

double MonotonicSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

Alarm::Alarm(std::function<void()> ring) : ring_(std::move(ring)) {
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            uint64_t expirations = 0;
            if (::read(fd_, &expirations, sizeof expirations) > 0) ring_();
        });
    } else {
        fallback_.setTimerType(Qt::PreciseTimer);
        fallback_.setSingleShot(true);
        connect(&fallback_, &QTimer::timeout, this, [this] { ring_(); });
    }
}

Alarm::~Alarm() {
    delete notifier_; // before its descriptor goes
    if (fd_ >= 0) ::close(fd_);
}

void Alarm::at(double seconds) {
    if (fd_ < 0) {
        const double ms = std::ceil((seconds - MonotonicSeconds()) * 1000.0);
        fallback_.start(static_cast<int>(std::clamp(ms, 0.0, 24.0 * 3600 * 1000)));
        return;
    }
    seconds = std::max(seconds, 0.0);
    const double whole = std::floor(seconds);
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(whole);
    when.it_value.tv_nsec = std::min(static_cast<long>((seconds - whole) * 1e9), 999999999L);
    if (when.it_value.tv_sec == 0 && when.it_value.tv_nsec == 0) when.it_value.tv_nsec = 1; // 0 disarms
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME, &when, nullptr);
}

void Alarm::cancel() {
    if (fd_ < 0) {
        fallback_.stop();
        return;
    }
    itimerspec never{};
    ::timerfd_settime(fd_, 0, &never, nullptr);
    uint64_t expirations = 0; // one that rang but was not read yet
    while (::read(fd_, &expirations, sizeof expirations) > 0) {
    }
}
