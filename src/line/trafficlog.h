#pragma once
// A history of what went over the line, fed by the traffic observers of every transaction.
#include "line/driveline.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>

struct LogEntry {
    std::chrono::system_clock::time_point time;
    TrafficEvent::Kind kind;
    int address;
    std::string hex;      // bytes as hex text, without outer blanks
    std::string decoded;  // what the bytes mean, or the reason of an error
    bool monitor = false; // the live monitor's traffic
};

class TrafficLog {
  public:
    static constexpr size_t Capacity = 10000;

    // Starts recording what goes over `line`; stops in the destructor.
    explicit TrafficLog(DriveLine& line);
    ~TrafficLog();
    TrafficLog(const TrafficLog&) = delete;
    TrafficLog& operator=(const TrafficLog&) = delete;

    const std::deque<LogEntry>& entries() const { return entries_; }
    void clear();
    // The language replies are described in from now on (1 Italian, 2 English, 3 German).
    void setLanguage(int lingua) { lingua_ = lingua; }
    // Sequence numbers: every entry ever added has one; the front entry has firstSequence().
    unsigned long long firstSequence() const { return next_ - entries_.size(); }
    unsigned long long nextSequence() const { return next_; }

    // Adds an event as the observer would (public for tests and benchmarks).
    void record(const TrafficEvent& event);

  private:
    DriveLine& line_;
    int observer_ = 0;
    int lingua_ = 2;
    std::deque<LogEntry> entries_;
    int lastCode_ = -1; // code of the last frame sent, to describe its reply
    unsigned long long next_ = 0;
};

// "12:34:56.789" in local time.
std::string LogTime(std::chrono::system_clock::time_point time);
// "TX", "RX", or the name of the event ("TIMEOUT", "REFUSED", "PORT ERROR", "LINK LOST", "BROADCAST").
std::string LogDirection(TrafficEvent::Kind kind);
// One line of text: time, direction, address, bytes, meaning, separated by tabs.
std::string LogLine(const LogEntry& entry);
