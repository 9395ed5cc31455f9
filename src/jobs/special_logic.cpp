#include "jobs/special_logic.h"

#include "base/numbers.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <string>

namespace {

// The hexadecimal value of the two characters at 1-based position `pos`, 0 when the text is short.
int HexPairAt(std::string_view text, size_t pos) {
    if (text.size() < pos) return 0;
    std::string pair(text.substr(pos - 1, 2));
    return static_cast<int>(Val("&H" + pair));
}

} // namespace

int AnalogOfReply(std::string_view replyText) {
    return HexPairAt(replyText, 10) * 256 + HexPairAt(replyText, 13);
}

long long LoopPosition(int analog) {
    return static_cast<long long>(IntPart(analog * 25600.0 / 1010.0));
}

bool StatusBit0(std::string_view replyText) {
    // The reply read as one hexadecimal number; its bit 0 is that of its last digit, which also
    // holds for a reply too long to fit a 16-bit number.
    std::string s;
    for (char c : replyText)
        if (c != ' ' && c != '\t') s += c;
    size_t n = 0;
    while (n < s.size() && std::isxdigit(static_cast<unsigned char>(s[n])))
        ++n;
    if (n == 0) return false;
    int digit = static_cast<int>(Val("&H" + s.substr(n - 1, 1)));
    return (digit & 1) != 0;
}

float StepRandom::next() {
    // 24 random bits: every value is exact in a float and below 1.
    return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f);
}

uint32_t StepRandom::ClockSeed() {
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(ticks ^ (ticks >> 32));
}

StepMove DrawMove(StepRandom& random) {
    const float ramp = random.next();
    const float fmax = random.next();
    const float distance = random.next();
    return MoveOfDraws(ramp, fmax, distance, random.next());
}

StepMove MoveOfDraws(float ramp, float fmax, float distance, float direction) {
    StepMove m;
    m.ramp = static_cast<int>(IntPart(ramp * 5.0 + 5.0));
    m.fmax = static_cast<int>(IntPart(fmax * 38000.0 + 2000.0));
    const double steps = IntPart(distance * 51184.0 + 16.0);
    m.distance = static_cast<int>(IntPart(steps / 16.0) * 16.0);
    if (IntPart(direction * 255.0) > 127) m.distance = -m.distance;
    return m;
}
