// Any typed text: the numeric value and the integer conversions never crash or wrap.
#include "base/numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    double v = Val(text);
    if (std::isnan(v)) std::abort();
    if (auto i = ToInt16(v); i && std::fabs(*i - v) > 0.5) std::abort();
    if (auto i = ToInt32(v); i && std::fabs(*i - v) > 0.5) std::abort();
    (void)SignedText(static_cast<long long>(RoundHalfEven(std::fmod(v, 1e15))));
    return 0;
}
