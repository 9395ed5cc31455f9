#include "jobs/busscan.h"

#include <chrono>

ScanOutcome ScanBus(DriveLine& line, const LineTarget& to, const std::function<bool(int)>& progress) {
    ScanOutcome out;
    const unsigned stops = line.stops(); // a stop of every drive ends the scan
    for (int address = 0; address <= 31 && line.stops() == stops; ++address) {
        if (progress && !progress(address)) {
            out.cancelled = true;
            break;
        }
        auto start = std::chrono::steady_clock::now();
        Exchange type = line.counted(to, address, 20, 0, 0, 1, 5, 0, ScanTimeoutSeconds);
        auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start);
        if (type.outcome == Outcome::OpenFailed || type.outcome == Outcome::LinkLost) {
            out.portError = type.error;
            break;
        }
        if (type.outcome == Outcome::Aborted) break;
        if (type.outcome != Outcome::Reply || type.reply.size() != 5) continue;
        ScanHit hit{address, static_cast<unsigned char>(type.reply[3]), std::string(), elapsed.count()};
        Exchange release = line.counted(to, address, 16, 0, 0, 1, 5, 0, ScanTimeoutSeconds);
        if (release.outcome == Outcome::Reply && release.reply.size() == 5) {
            static const char digits[] = "0123456789ABCDEF";
            unsigned char b = static_cast<unsigned char>(release.reply[3]);
            hit.release = std::string{digits[b >> 4], '.', digits[b & 15]};
        }
        out.hits.push_back(hit);
    }
    return out;
}
