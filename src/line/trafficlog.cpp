#include "line/trafficlog.h"

#include "protocol/decoder.h"
#include "protocol/frame.h"
#include "protocol/linecodec.h"

#include <ctime>

TrafficLog::TrafficLog(DriveLine& line) : line_(line) {
    observer_ = line_.addObserver([this](const TrafficEvent& e) { record(e); });
}

TrafficLog::~TrafficLog() {
    line_.removeObserver(observer_);
}

void TrafficLog::clear() {
    entries_.clear();
}

void TrafficLog::record(const TrafficEvent& event) {
    LogEntry entry{std::chrono::system_clock::now(),
                   event.kind,
                   event.address,
                   HexText(event.bytes),
                   event.text,
                   event.monitor};
    if (event.kind == TrafficEvent::Sent && event.bytes.size() >= 3) {
        // The command data sit after the header (one byte, or 00 + length for a broadcast).
        size_t start = static_cast<unsigned char>(event.bytes[1]) == 0 ? 3 : 2;
        std::string data = event.bytes.substr(start, event.bytes.size() - start - 1);
        lastCode_ = data.empty() ? -1 : static_cast<unsigned char>(data[0]);
        entry.decoded = DecodeCommand(HexText(data), lingua_);
        if (!event.text.empty()) entry.decoded = event.text + " - " + entry.decoded; // the stop's mark
    } else if (event.kind == TrafficEvent::Received) {
        if (event.bytes == "\x06")
            entry.decoded = "ACK";
        else if (event.bytes == "\x15")
            entry.decoded = "NAK";
        else
            entry.decoded = DescribeReply(lastCode_, event.bytes, lingua_);
    }
    entries_.push_back(std::move(entry));
    ++next_;
    if (entries_.size() > Capacity) entries_.pop_front();
}

std::string LogTime(std::chrono::system_clock::time_point time) {
    std::time_t t = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms));
    return buf;
}

std::string LogDirection(TrafficEvent::Kind kind) {
    // In the order of TrafficEvent::Kind.
    static const char* const names[] = {"TX",      "RX",         "TIMEOUT",  "BROADCAST",
                                        "REFUSED", "PORT ERROR", "LINK LOST"};
    return kind >= 0 && kind < static_cast<int>(std::size(names)) ? names[kind] : "?";
}

std::string LogLine(const LogEntry& e) {
    std::string address = e.address == BroadcastAddress ? "switchall" : std::to_string(e.address);
    return LogTime(e.time) + "\t" + LogDirection(e.kind) + "\t" + address + "\t" + e.hex + "\t" + e.decoded;
}
