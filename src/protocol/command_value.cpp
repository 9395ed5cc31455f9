#include "protocol/command_value.h"

#include "base/numbers.h"
#include "protocol/catalog.h"
#include "protocol/frame.h"

#include <charconv>
#include <cmath>

namespace {

using namespace Module1;

bool Whole(double v, double lo, double hi) {
    return v >= lo && v <= hi && v == std::floor(v);
}

// The value as typed: the shortest text that reads back as the same number ("4.6", "-1000").
std::string Plain(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
    char buf[64];
    auto [end, error] = std::to_chars(buf, buf + sizeof buf, v);
    return error == std::errc() ? std::string(buf, end) : std::to_string(v);
}

std::string Limits(int slot) {
    return std::to_string(MinCmd[slot]) + ".." + std::to_string(MaxCmd[slot]);
}

NumbersValue Refuse(std::string why) {
    return {std::nullopt, std::move(why)};
}

std::string Count(size_t n) {
    static const char* const words[] = {"no value", "one value", "two values"};
    return n < 3 ? words[n] : std::to_string(n) + " values";
}

} // namespace

bool InCommandLimits(int slot, double value) {
    if (slot < 0 || slot >= CatalogSlots) return false;
    return value >= MinCmd[slot] && value <= MaxCmd[slot];
}

CommandValue ValueOfTrigger(double triggerMask) {
    return {0, triggerMask, 2};
}

CommandValue ValueOfZeroAtFlight(double quota, double triggerMask) {
    return {quota, triggerMask, 3};
}

CommandValue ValueOfSpotLevels(double spotMin, double spotMax) {
    return {spotMin * 256 + spotMax, 0, 0};
}

CommandValue ValueOfCurrentRed(double value) {
    // The dialog's byte goes out as a plain value, not as a command kind of its own.
    return {value, 0, 0};
}

bool IsTriggerByte(double value) {
    return Whole(value, 0, 255) && (static_cast<int>(value) & 0x88) == 0;
}

NumbersValue CommandValueOfNumbers(int slot, const std::vector<double>& numbers) {
    if (slot < 0 || slot >= CatalogSlots || CodiceCmd[slot] == 0) return Refuse("not a command");
    const std::string code = "command " + std::to_string(CodiceCmd[slot]);
    auto wants = [&](const char* what) {
        return Refuse(code + " takes " + what + ", not " + Count(numbers.size()));
    };

    switch (TipoCmd[slot]) {
    case 0:
        if (NtxCmd[slot] <= 1) {
            if (!numbers.empty()) return wants("no value");
            return {CommandValue{}, {}};
        }
        if (numbers.size() != 1) return wants("one value");
        if (!InCommandLimits(slot, numbers[0]))
            return Refuse(code + ": " + Plain(numbers[0]) + " is outside " + Limits(slot));
        return {CommandValue{numbers[0], 0, 0}, {}};
    case 2:
        if (numbers.size() != 1) return wants("one value (the input byte)");
        if (!IsTriggerByte(numbers[0]))
            return Refuse(
                code + ": input byte " + Plain(numbers[0]) +
                " is not 0..119 with bits 3 and 7 clear (IN1=1 IN2=2 IN3=4 LEV1=16 LEV2=32 LEV3=64)");
        return {ValueOfTrigger(numbers[0]), {}};
    case 3:
        if (numbers.size() != 2) return wants("two values (the input byte, then the quota)");
        if (!IsTriggerByte(numbers[0]))
            return Refuse(
                code + ": input byte " + Plain(numbers[0]) +
                " is not 0..119 with bits 3 and 7 clear (IN1=1 IN2=2 IN3=4 LEV1=16 LEV2=32 LEV3=64)");
        if (!FourBytes(numbers[1]))
            return Refuse(code + ": quota " + Plain(numbers[1]) + " does not fit four bytes");
        return {ValueOfZeroAtFlight(numbers[1], numbers[0]), {}};
    case 4:
        if (numbers.size() == 1) {
            if (!InCommandLimits(slot, numbers[0]))
                return Refuse(code + ": " + Plain(numbers[0]) + " is outside " + Limits(slot));
            return {CommandValue{numbers[0], 0, 0}, {}};
        }
        if (numbers.size() != 2) return wants("two values (MIN and MAX)");
        if (!Whole(numbers[0], 0, 255) || !Whole(numbers[1], 0, 255))
            return Refuse(code + ": levels MIN and MAX must be whole numbers 0..255");
        return {ValueOfSpotLevels(numbers[0], numbers[1]), {}};
    case 5:
        if (numbers.size() != 1) return wants("one value (the reduction byte)");
        if (!Whole(numbers[0], 0, 255))
            return Refuse(code + ": reduction byte " + Plain(numbers[0]) + " is not a whole number 0..255");
        return {ValueOfCurrentRed(numbers[0]), {}};
    default:
        return Refuse(code + ": its value cannot be given");
    }
}
