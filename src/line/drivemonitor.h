#pragma once
// The live monitor's polling: the current address is asked in turn for its position, status,
// I/O byte and analog input, at a set rate. It holds the line for one transaction at a time and
// never waits inside a call (it runs on the port's signals and timers), so any other operation
// gets the line between two of its transactions.
#include "line/driveline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>

// The four reads, in polling order.
enum MonitorRead { ReadPosition, ReadStatus, ReadInputs, ReadAnalog, ReadCount };
struct MonitorCommand {
    int code;
    int nrx;
};
constexpr MonitorCommand MonitorCommands[ReadCount] = {{18, 8}, {171, 5}, {19, 5}, {210, 6}};

struct MonitorSample {
    long long ms = 0; // since the recording began (start after a clear)
    int address = 0;
    std::array<std::optional<long long>, ReadCount> value; // empty: not asked, or no usable reply
    std::array<bool, ReadCount> missed{};                  // asked, and no usable reply came
};

// The value a read's reply carries; nothing when the reply has not the expected length.
std::optional<long long> MonitorValue(MonitorRead read, const std::string& reply);

// The samples as CSV: a header line, then time in ms, address, position, status, inputs, analog
// (decimal; an empty field for a value not read or not answered), CR LF line ends.
std::string MonitorCsv(const std::deque<MonitorSample>& samples);

class DriveMonitor : public QObject {
    Q_OBJECT
  public:
    // Polls per second the operator can choose.
    static constexpr int Rates[] = {1, 2, 5, 10, 20};
    // Samples kept for the export (over an hour at 20 polls per second).
    static constexpr size_t Capacity = 100000;

    explicit DriveMonitor(DriveLine& line, QObject* parent = nullptr);
    ~DriveMonitor() override;

    void setRead(MonitorRead read, bool on) { enabled_[read] = on; }
    bool read(MonitorRead read) const { return enabled_[read]; }
    // Polls per second; 0 polls as fast as the line allows.
    void setRate(double pollsPerSecond);
    double rate() const { return rate_; }

    enum class Refusal { None, Broadcast, NothingToRead };
    // Starts polling `address` through `to`; nothing starts when it is refused.
    Refusal start(const LineTarget& to, int address);
    // No further transaction starts; one on the line ends first (a reply must not meet the
    // next frame).
    void stop();
    bool running() const { return running_; }
    int address() const { return address_; }
    // The address of the polls to come (the current address changed); the broadcast address is
    // not taken.
    void setAddress(int address);
    // The port and rate of the polls to come (the serial settings changed).
    void setTarget(const LineTarget& to) { target_ = to; }
    // Forgets the samples and the misses; the time starts again at 0.
    void clear();

    const std::deque<MonitorSample>& samples() const { return samples_; }
    int misses() const { return misses_; }
    // Polls completed per second, over the last seconds.
    double achievedRate() const;
    // The last reply of a read (bytes), for the decoded display; empty before the first.
    const std::string& lastReply(MonitorRead read) const { return lastReply_[read]; }
    // True while a transfer, a diagnostics test or a scan holds the line.
    bool paused() const { return paused_; }

  signals:
    void sampleAdded();
    void pausedChanged(bool paused, BusUse holder);
    // It stopped by itself (port cannot be opened, link lost); `error` says why.
    void failed(Outcome outcome, const QString& error);

  private:
    void tick();
    void beginPoll();
    void next();
    void onReadyRead();
    void endTransaction(const Exchange& ex);
    void finishPoll();
    void fail(const Exchange& ex);
    void setPaused(bool paused, BusUse holder);
    void closeIdlePort();

    DriveLine& line_;
    LineTarget target_;
    int address_ = 0;
    std::array<bool, ReadCount> enabled_{true, true, true, true};
    double rate_ = 5;
    bool running_ = false;
    bool polling_ = false; // a poll is under way
    bool due_ = false;     // the timer ticked during a poll: the next one starts at its end
    bool waitingForLine_ = false;
    bool paused_ = false;
    int current_ = -1; // read on the line, or the last one asked in this poll
    MonitorSample sample_;
    LineLease lease_;     // held while a read is on the line
    bool onLine_ = false; // a read of ours is on the line
    QTimer pollTimer_;
    QElapsedTimer clock_;
    std::deque<MonitorSample> samples_;
    std::deque<long long> completed_; // ms of the recent completed polls
    int misses_ = 0;
    std::array<std::string, ReadCount> lastReply_;
};
