#include "drivebus.h"

#include "protocol/frame.h"

#include <chrono>
#include <cstdlib>

namespace {

constexpr char Ack = '\x06';
constexpr char Nak = '\x15';
constexpr size_t MaxProgramLines = 255; // the drive's EEPROM is finite; past this it refuses

// Bytes of code + data for every command a drive knows; 0 for a code it does not know.
int CommandLength(unsigned char code) {
    switch (code) {
    case 1:
    case 166:
    case 2:
    case 17:
    case 18:
    case 19:
    case 171:
    case 172:
    case 20:
    case 16:
    case 245:
    case 210:
    case 0xF1:
    case 0xF9:
        return 1;
    case 238:
    case 39:
    case 34:
    case 38:
    case 173:
    case 50:
    case 41:
    case 42:
    case 177:
    case 44:
    case 175:
    case 176:
    case 40:
    case 43:
    case 203:
    case 192:
    case 193:
    case 194:
    case 244:
    case 212:
    case 202:
    case 181:
    case 246:
    case 237:
    case 209:
    case 206:
    case 207:
    case 204:
    case 255:
    case 0xF0:
    case 0xF2:
    case 0xF3:
        return 2;
    case 168:
    case 32:
    case 33:
    case 189:
    case 199:
    case 200:
    case 197:
    case 198:
    case 213:
    case 214:
    case 215:
        return 3;
    case 49:
    case 48:
    case 170:
    case 182:
    case 174:
    case 35:
    case 201:
    case 211:
        return 5;
    case 160:
        return 6;
    default:
        return 0;
    }
}

int32_t FourByteValue(const std::string& data, size_t at) {
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(data[i]);
    return static_cast<int32_t>(v);
}

// FC, header (length of code + data, address), code, data, checksum.
std::string ReadReply(int address, unsigned char code, const std::string& data) {
    std::string body = std::string(1, static_cast<char>(code)) + data;
    std::string reply = "\xFC" + Module1::ByteHeader(body, address) + body;
    reply += static_cast<char>(Module1::CheckSum(reply) & 0xFF);
    return reply;
}

double MoveSeconds(int64_t distance) {
    return 0.02 + static_cast<double>(std::llabs(distance)) / 200000.0;
}

} // namespace

struct DriveBus::Drive {
    // Motion: the position runs from `from` to `to` between `start` and `end`.
    int32_t from = 0, to = 0;
    double start = 0, end = 0;
    bool endless = false;
    int32_t loaded = 0; // quote loaded by 170/182, run by 2
    bool loadedRelative = false;
    int analog = 0;
    int inputs = 0;
    int statusBits = 0;
    double replyDelay = 0; // set by code 40
    int writing = -1;      // program being written after F0, or -1
    std::vector<std::string> programs[ProgramCount];

    int32_t position(double t) const {
        if (endless || t >= end) return to; // stop() leaves from == to
        double f = (t - start) / (end - start);
        return static_cast<int32_t>(from + static_cast<int64_t>((static_cast<double>(to) - from) * f));
    }
    bool moving(double t) const { return endless || t < end; }
    void stop(double t) {
        from = to = position(t);
        end = t;
        endless = false;
    }
    void moveTo(double t, int32_t target) {
        int32_t here = position(t);
        endless = false;
        from = here;
        to = target;
        start = t;
        end = t + MoveSeconds(static_cast<int64_t>(target) - here);
    }
    // A 32-bit position register wraps like the drive's own.
    void moveBy(double t, int32_t distance) {
        int32_t here = position(t);
        int32_t target = static_cast<int32_t>(static_cast<uint32_t>(here) + static_cast<uint32_t>(distance));
        moveTo(t, target);
        end = t + MoveSeconds(distance);
    }
};

DriveBus::DriveBus(std::set<int> addresses) : addresses_(std::move(addresses)) {}
DriveBus::~DriveBus() = default;

double DriveBus::now() const {
    if (clock_) return clock_();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::vector<DriveBus::Reply> DriveBus::receive(const std::string& bytes) {
    double t = now();
    if (!pending_.empty() && t - lastByteTime_ > FrameGapSeconds) pending_.clear();
    if (!bytes.empty()) lastByteTime_ = t;
    pending_ += bytes;

    std::vector<Reply> out;
    for (;;) {
        size_t fc = pending_.find('\xFC');
        if (fc == std::string::npos) {
            pending_.clear();
            break;
        }
        pending_.erase(0, fc);
        if (pending_.size() < 2) break;
        auto header = static_cast<unsigned char>(pending_[1]);
        size_t dataAt = 2;
        size_t length = header >> 5;
        int address = header & 31;
        if (header == 0) {
            if (pending_.size() < 3) break;
            dataAt = 3;
            length = static_cast<unsigned char>(pending_[2]);
            address = 99;
        }
        if (length == 0 || length > 7) { // no such frame: look for the next start byte
            pending_.erase(0, 1);
            continue;
        }
        size_t total = dataAt + length + 1;
        if (pending_.size() < total) break;
        std::string frame = pending_.substr(0, total);
        if ((Module1::CheckSum(std::string_view(frame).substr(0, total - 1)) & 0xFF) !=
            static_cast<unsigned char>(frame.back())) {
            pending_.erase(0, 1); // a damaged frame is ignored, as a drive does
            continue;
        }
        pending_.erase(0, total);
        frames_.push_back(frame);
        for (Reply& r : handleFrame(address, frame.substr(dataAt, length)))
            out.push_back(std::move(r));
    }
    return out;
}

void DriveBus::dropPartialFrame() {
    pending_.clear();
}

std::vector<DriveBus::Reply> DriveBus::handleFrame(int address, const std::string& data) {
    Fault fault = fault_;
    if (fault != Fault::Vanished && fault != Fault::Altered &&
        data.compare(0, faultOnly_.size(), faultOnly_) != 0)
        fault = Fault::None; // not the command the fault is limited to
    if (fault == Fault::Vanished || fault == Fault::Silent) return {};
    if (address == 99) { // every drive acts, none answers
        if (fault == Fault::NakAll) return {};
        for (int a : addresses_)
            answer(drive(a), a, data);
        return {};
    }
    if (!addresses_.count(address)) return {};
    if (fault == Fault::NakAll) return {{std::string(1, Nak), 0}};
    Drive& d = drive(address);
    std::string reply = distort(answer(d, address, data), fault);
    if (reply.empty()) return {};
    return {{reply, d.replyDelay + (fault == Fault::Slow ? slowSeconds_ : 0.0)}};
}

std::string DriveBus::answer(Drive& d, int address, const std::string& data) {
    const std::string ack(1, Ack), nak(1, Nak);
    auto code = static_cast<unsigned char>(data[0]);
    double t = now();

    if (d.writing >= 0) { // program lines are stored, not executed
        if (code == 0xF1) {
            d.writing = -1;
            return ack;
        }
        std::vector<std::string>& lines = d.programs[d.writing];
        if (lines.size() >= MaxProgramLines) return nak;
        lines.push_back(data);
        if (fault_ == Fault::Altered && lines.size() == 3)
            lines.back().back() = static_cast<char>(data.back() + 1);
        return ack;
    }

    if (CommandLength(code) != static_cast<int>(data.size())) return nak;
    auto byte1 = data.size() > 1 ? static_cast<unsigned char>(data[1]) : 0;
    switch (code) {
    case 16:
        return ReadReply(address, code, std::string(1, static_cast<char>(SoftwareRelease)));
    case 18: {
        auto p = static_cast<uint32_t>(d.position(t));
        std::string v;
        for (int shift = 24; shift >= 0; shift -= 8)
            v += static_cast<char>((p >> shift) & 0xFF);
        return ReadReply(address, code, v);
    }
    case 19:
        return ReadReply(address, code, std::string(1, static_cast<char>(d.inputs)));
    case 20:
        return ReadReply(address, code, std::string(1, static_cast<char>(DriveType)));
    case 171:
        return ReadReply(address, code, std::string(1, static_cast<char>(statusByte(address))));
    case 172:
        return std::string(1, static_cast<char>(statusByte(address)));
    case 210:
        return ReadReply(
            address, code,
            std::string{static_cast<char>((d.analog >> 8) & 0xFF), static_cast<char>(d.analog & 0xFF)});
    case 1: // reset: motion ends, registers restart; the EEPROM keeps its programs
        d.stop(t);
        d.from = d.to = 0;
        d.replyDelay = 0;
        break;
    case 17:
        d.stop(t);
        break;
    case 50:
        d.stop(t);
        d.endless = true;
        break;
    case 48:
        d.moveTo(t, FourByteValue(data, 1));
        break;
    case 49:
        d.moveBy(t, FourByteValue(data, 1));
        break;
    case 166:
        d.moveTo(t, 0);
        break;
    case 170:
    case 182:
        d.loaded = FourByteValue(data, 1);
        d.loadedRelative = code == 170;
        break;
    case 2:
        if (d.loadedRelative)
            d.moveBy(t, d.loaded);
        else
            d.moveTo(t, d.loaded);
        break;
    case 174:
    case 211:
        d.stop(t);
        d.from = d.to = FourByteValue(data, 1);
        break;
    case 40:
        d.replyDelay = byte1 * 512e-6;
        break;
    case 0xF9:
        for (auto& p : d.programs)
            p.clear();
        break;
    case 0xF3:
        if (byte1 >= ProgramCount) return nak;
        d.programs[byte1].clear();
        break;
    case 0xF0:
        if (byte1 >= ProgramCount) return nak;
        d.programs[byte1].clear();
        d.writing = byte1;
        break;
    case 0xF2: {
        if (byte1 >= ProgramCount) return nak;
        if (d.programs[byte1].empty()) return nak;
        std::string all;
        for (const std::string& line : d.programs[byte1])
            all += line;
        all += static_cast<char>(Module1::CheckSum(all) & 0xFF); // the drive's trailing byte
        return all;
    }
    default:
        break;
    }
    return ack;
}

std::string DriveBus::distort(const std::string& reply, Fault fault) {
    if (reply.empty()) return reply;
    if (fault == Fault::CutShort) return reply.substr(0, reply.size() - 1);
    if (fault != Fault::Garbage) return reply;
    std::uniform_int_distribution<int> byte(0, 255);
    std::string g;
    do {
        g.clear();
        for (size_t i = 0; i < reply.size(); ++i)
            g += static_cast<char>(byte(garbage_));
    } while (g == reply || (g.size() == 1 && (g[0] == Ack || g[0] == Nak)));
    return g;
}

void DriveBus::setFault(Fault fault) {
    if (fault == fault_) return;
    fault_ = fault;
    auto listeners = faultListeners_; // a listener may remove itself
    for (auto& [id, listener] : listeners)
        listener(fault);
}
DriveBus::Fault DriveBus::fault() const {
    return fault_;
}
void DriveBus::setFaultOnly(std::string dataPrefix) {
    faultOnly_ = std::move(dataPrefix);
}
const std::string& DriveBus::faultOnly() const {
    return faultOnly_;
}
void DriveBus::setSlowSeconds(double s) {
    slowSeconds_ = s < 0 ? 0 : s;
}
double DriveBus::slowSeconds() const {
    return slowSeconds_;
}
int DriveBus::addFaultListener(std::function<void(Fault)> listener) {
    int id = nextListener_++;
    faultListeners_[id] = std::move(listener);
    return id;
}
void DriveBus::removeFaultListener(int id) {
    faultListeners_.erase(id);
}

void DriveBus::setAddresses(std::set<int> a) {
    addresses_ = std::move(a);
}
const std::set<int>& DriveBus::addresses() const {
    return addresses_;
}
const std::vector<std::string>& DriveBus::frames() const {
    return frames_;
}
void DriveBus::clearFrames() {
    frames_.clear();
}

DriveBus::Drive& DriveBus::drive(int address) {
    std::unique_ptr<Drive>& d = drives_[address];
    if (!d) d = std::make_unique<Drive>();
    return *d;
}
const DriveBus::Drive* DriveBus::findDrive(int address) const {
    auto it = drives_.find(address);
    return it == drives_.end() ? nullptr : it->second.get();
}

void DriveBus::setAnalogInput(int address, int value) {
    drive(address).analog = value < 0 ? 0 : (value > 0xFFFF ? 0xFFFF : value);
}
int DriveBus::analogInput(int address) const {
    const Drive* d = findDrive(address);
    return d ? d->analog : 0;
}
void DriveBus::setInputs(int address, int bits) {
    drive(address).inputs = bits & 0xFF;
}
void DriveBus::setStatusBits(int address, int bits) {
    drive(address).statusBits = bits & 0xFE;
}
int DriveBus::statusByte(int address) const {
    const Drive* d = findDrive(address);
    if (!d) return 0;
    return d->statusBits | (d->moving(now()) ? 1 : 0);
}
int32_t DriveBus::position(int address) const {
    const Drive* d = findDrive(address);
    return d ? d->position(now()) : 0;
}
bool DriveBus::moving(int address) const {
    const Drive* d = findDrive(address);
    return d && d->moving(now());
}
std::vector<std::string> DriveBus::program(int address, int p) const {
    const Drive* d = findDrive(address);
    if (!d || p < 0 || p >= ProgramCount) return {};
    return d->programs[p];
}
void DriveBus::setProgram(int address, int p, std::vector<std::string> commands) {
    if (p < 0 || p >= ProgramCount) return;
    drive(address).programs[p] = std::move(commands);
}
void DriveBus::setClock(std::function<double()> clock) {
    clock_ = std::move(clock);
}
