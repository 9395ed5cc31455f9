#include "pacedline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool Overlap(double s1, double e1, double s2, double e2) {
    return s1 < e2 && s2 < e1;
}

} // namespace

PacedLine::PacedLine(DriveBus& bus) : bus_(bus) {}

void PacedLine::setBaud(int baud) {
    byteSeconds_ = 10.0 / (baud > 0 ? baud : 9600);
}
void PacedLine::setTurnaroundSeconds(double seconds) {
    turnaround_ = std::max(0.0, seconds);
}
void PacedLine::setBurstSeconds(double seconds) {
    burst_ = std::max(0.0, seconds);
}

void PacedLine::write(const std::string& bytes, double now) {
    advance(now);
    toDrivesFree_ = queue(toDrives_, toProgram_, bytes, std::max(now, toDrivesFree_));
}

// Puts `bytes` on the line one after another from `at` into `into`; a byte that overlaps one going
// the other way garbles both (half duplex). Returns when the last byte ends.
double PacedLine::queue(std::deque<Byte>& into, std::deque<Byte>& other, const std::string& bytes,
                        double at) {
    bool hit = false;
    for (char c : bytes) {
        Byte b{c, at, at + byteSeconds_};
        at = b.end;
        for (Byte& o : other)
            if (Overlap(b.start, b.end, o.start, o.end)) b.garbled = o.garbled = hit = true;
        into.push_back(b);
    }
    if (hit) ++collisions_;
    return at;
}

void PacedLine::advance(double now) {
    while (!toDrives_.empty() && toDrives_.front().end <= now) {
        Byte b = toDrives_.front();
        toDrives_.pop_front();
        deliver(b);
    }
}

// A byte has reached the drives; a frame it completes is answered after the turnaround.
void PacedLine::deliver(const Byte& b) {
    if (b.garbled) {
        bus_.dropPartialFrame();
        return;
    }
    const size_t framesBefore = bus_.frames().size();
    const std::vector<DriveBus::Reply> replies = bus_.receive(std::string(1, b.value));
    if (taken_ && bus_.frames().size() > framesBefore) taken_(bus_.frames().back(), b.end);
    for (const DriveBus::Reply& r : replies)
        toProgramFree_ = queue(toProgram_, toDrives_, r.bytes,
                               std::max(b.end + turnaround_ + r.delaySeconds, toProgramFree_));
}

std::string PacedLine::output(double now) {
    advance(now);
    std::string out;
    while (!toProgram_.empty() && due(toProgram_.front()) <= now) {
        const Byte& o = toProgram_.front();
        // Two transmitters at once: what the program's receiver makes of it is not the reply.
        out += o.garbled ? static_cast<char>(~o.value) : o.value;
        toProgram_.pop_front();
    }
    return out;
}

double PacedLine::due(const Byte& o) const {
    if (burst_ <= 0) return o.end;
    return std::ceil(o.end / burst_) * burst_;
}

double PacedLine::nextEvent() const {
    double next = std::numeric_limits<double>::infinity();
    if (!toDrives_.empty()) next = toDrives_.front().end;
    if (!toProgram_.empty()) next = std::min(next, due(toProgram_.front()));
    return next;
}

void PacedLine::clear() {
    toDrives_.clear();
    toProgram_.clear();
    bus_.dropPartialFrame();
}
