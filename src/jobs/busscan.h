#pragma once
// Finds the drives that answer on the line: asks each address for its type (code 20) and its
// software release (code 16) with a short time-out.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "line/driveline.h"

struct ScanHit {
    int address;
    int type;            // drive (board) type
    std::string release; // "2.1", or "" when the release did not answer
    double milliseconds; // response time of the type request
};

struct ScanOutcome {
    std::vector<ScanHit> hits;
    bool cancelled = false;
    std::string portError; // set when the port could not be opened or was lost
};

// Time-out per request: a drive answers well within it even at 9600 baud.
constexpr double ScanTimeoutSeconds = 0.15;

// Scans addresses 0..31 on `to` in order. `progress(address)` is called before each address and
// may return false to cancel. The caller holds the line's lease.
ScanOutcome ScanBus(DriveLine& line, const LineTarget& to, const std::function<bool(int address)>& progress);
