#pragma once
// The RS-485 line between the program and a DriveBus, in simulated time: every byte takes its
// line time in both directions, the drives answer after a turnaround, and the line is half
// duplex, so bytes sent while a reply is on it garble both. The caller supplies the clock (the
// same one the bus uses) and moves the line on with output().
#include "drivebus.h"

#include <deque>
#include <functional>
#include <string>

class PacedLine {
  public:
    explicit PacedLine(DriveBus& bus);

    // Start bit, 8 data bits, stop bit.
    void setBaud(int baud);
    void setTurnaroundSeconds(double seconds);
    // Bytes for the program are handed over only every `seconds` (a USB adapter's latency
    // timer); 0 hands each byte over once it has arrived.
    void setBurstSeconds(double seconds);
    double byteSeconds() const { return byteSeconds_; }

    // The program wrote these bytes at `now`: they go on the line after what it wrote before.
    void write(const std::string& bytes, double now);
    // Moves the line on to `now` and returns the bytes that reach the program now.
    std::string output(double now);
    // When the line next has something to do (infinity when it is idle).
    double nextEvent() const;
    // Everything on the line is lost (the device went away).
    void clear();

    // Called with every frame the drives take and the time its last byte arrived (the clock of
    // write()), for callers that time the line from outside.
    void setFrameTaken(std::function<void(const std::string& frame, double at)> taken) {
        taken_ = std::move(taken);
    }

    // Times bytes of the program and a drive's reply were on the line together.
    int collisions() const { return collisions_; }

  private:
    struct Byte {
        char value;
        double start, end;
        bool garbled = false;
    };
    void advance(double now);
    void deliver(const Byte& b);
    double queue(std::deque<Byte>& into, std::deque<Byte>& other, const std::string& bytes, double at);
    double due(const Byte& toProgram) const; // when the program gets it

    DriveBus& bus_;
    double byteSeconds_ = 10.0 / 9600;
    double turnaround_ = 0.002;
    double burst_ = 0;
    std::deque<Byte> toDrives_;  // on the line, not yet arrived
    std::deque<Byte> toProgram_; // on the line or arrived, not yet handed over
    double toDrivesFree_ = 0;    // when the program's transmitter has sent all it was given
    double toProgramFree_ = 0;   // when the drives have sent every reply due so far
    int collisions_ = 0;
    std::function<void(const std::string&, double)> taken_;
};
