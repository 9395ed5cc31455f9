#pragma once
// What the parameter dialogs make of their entries, apart from the widgets. Each function gives
// nothing when the entries must block OK.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Trigger byte from the six boxes in the order IN1, IN2, IN3, LEV1, LEV2, LEV3. Every box must
// hold exactly "0" or "1".
std::optional<int> TriggerMaskOf(const std::array<std::string, 6>& boxes);

// Zero-at-flight quota from the combo text: "-" means none chosen; otherwise its leading number.
std::optional<double> ZFlyQuotaOf(const std::string& text);

// Stand-still current reduction byte: (code mod 4) * 64 + (time mod 64). The time must round
// to 0..1023, the range the packing is defined for.
std::optional<int16_t> CurrentRedValueOf(const std::string& tempo, const std::string& percentuale);

struct SpotLevels {
    double min = 0;  // SpotMin
    int16_t max = 0; // SpotMax
};
// Spot levels: both must be whole levels 0..255 (the maximum after rounding), so that
// min * 256 + max splits back into the two bytes chosen.
std::optional<SpotLevels> SpotLevelsOf(const std::string& vmin, const std::string& vmax);
