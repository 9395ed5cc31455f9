#pragma once
// Reading numbers out of typed texts, and the integer conversions every window uses.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The numeric value of a text: blanks and tabs anywhere are ignored; the longest leading
// number is read (sign, digits, decimal point, exponent, or hexadecimal after "&H");
// a text without a number gives 0.
double Val(std::string_view text);

// The whole text as a number with "." as decimal point, whatever the desktop's locale
// (sign, digits, point, exponent); nullopt when it is anything else.
std::optional<double> ParseNumber(std::string_view text);

// A number with "." as decimal point, whatever the desktop's locale: up to `precision`
// significant digits, as printf's %g gives in the C locale.
std::string NumberText(double v, int precision = 6);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double x);

// Round-half-even conversions that report a value that does not fit instead of wrapping.
std::optional<int16_t> ToInt16(double x);
std::optional<int32_t> ToInt32(double x);

// Integer part, rounding down (floor).
double IntPart(double x);

// A number printed with a sign position: " 5", "-5".
std::string SignedText(long long n);
