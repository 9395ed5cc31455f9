#include "base/numbers.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>

double Val(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t') s += c;

    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        double v = 0;
        for (size_t i = 2; i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])); ++i) {
            char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
            v = v * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
        }
        return std::isfinite(v) ? v : DBL_MAX;
    }

    // Longest leading part of the form [sign] digits [. digits] [e [sign] digits].
    size_t i = 0;
    auto digits = [&](size_t& k) {
        size_t start = k;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
            ++k;
        return k - start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t mantissa = digits(i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        mantissa += digits(i);
    }
    if (mantissa == 0) return 0;
    size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t k = i + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (digits(k) > 0) end = k;
    }
    std::optional<double> v = ParseNumber(std::string_view(s).substr(0, end));
    // Too large for a double: keep it too large, so range checks refuse it instead of reading 0.
    if (!v) return s[0] == '-' ? -DBL_MAX : DBL_MAX;
    return *v;
}

// The C library reads and prints numbers by the desktop's LC_NUMERIC ("3,5" in Italy), which the
// toolkit sets at start; std::from_chars and std::to_chars always use ".".
std::optional<double> ParseNumber(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+') return std::nullopt;
    double v = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string NumberText(double v, int precision) {
    char buf[64];
    auto [end, error] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    return error == std::errc() ? std::string(buf, end) : std::string();
}

double RoundHalfEven(double x) {
    double r = std::round(x); // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
    return r;
}

std::optional<int16_t> ToInt16(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    double r = RoundHalfEven(x);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> ToInt32(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    double r = RoundHalfEven(x);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(r);
}

double IntPart(double x) {
    return std::floor(x);
}

std::string SignedText(long long n) {
    return (n < 0 ? "" : " ") + std::to_string(n);
}
