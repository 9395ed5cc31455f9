#include "ui/dialogs/dialog_values.h"

#include "base/numbers.h"
#include "protocol/frame.h"

#include <cmath>

namespace {
constexpr const char* NoChoice = "-";
}

std::optional<int> TriggerMaskOf(const std::array<std::string, 6>& boxes) {
    static constexpr int Weights[6] = {1, 2, 4, 16, 32, 64};
    int mask = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i] == "1")
            mask += Weights[i];
        else if (boxes[i] != "0")
            return std::nullopt;
    }
    return mask;
}

std::optional<double> ZFlyQuotaOf(const std::string& text) {
    if (text == NoChoice) return std::nullopt;
    return Val(text);
}

std::optional<int16_t> CurrentRedValueOf(const std::string& tempo, const std::string& percentuale) {
    if (tempo == NoChoice || percentuale == NoChoice) return std::nullopt;
    const double n = RoundHalfEven(Val(tempo));
    if (!(n >= 0 && n <= 1023)) return std::nullopt;
    const double code = RoundHalfEven(Val(percentuale.substr(0, 1)));
    // Two bits of the code, six of the time, as the drive reads the byte.
    const std::string codeBits = Module1::DecBin(static_cast<int>(code));
    const std::string timeBits = Module1::DecBin(static_cast<int>(n));
    return static_cast<int16_t>(Module1::BinDec(codeBits.substr(6, 2) + timeBits.substr(2, 6)));
}

std::optional<SpotLevels> SpotLevelsOf(const std::string& vmin, const std::string& vmax) {
    if (vmin == NoChoice || vmax == NoChoice) return std::nullopt;
    const double min = Val(vmin);
    const double max = RoundHalfEven(Val(vmax));
    if (!(min >= 0 && min <= 255) || min != std::floor(min)) return std::nullopt;
    if (!(max >= 0 && max <= 255)) return std::nullopt;
    return SpotLevels{min, static_cast<int16_t>(max)};
}
