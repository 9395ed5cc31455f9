#include "protocol/frame.h"

#include "base/numbers.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace Module1 {

int16_t CheckSum(std::string_view bytes) {
    unsigned sum = 0;
    for (unsigned char b : bytes)
        sum += b;
    return static_cast<int16_t>(255 - (sum % 256));
}

std::string DecBin(int value) {
    std::string bits(8, '0');
    for (int k = 0; k < 8; ++k)
        if (value & (1 << (7 - k))) bits[k] = '1';
    return bits;
}

int BinDec(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int value = 0;
    for (size_t k = 0; k < 8 && k < text.size(); ++k)
        value += static_cast<int>(Val(text.substr(k, 1))) * (1 << (7 - k));
    return value;
}

std::string ByteHeader(std::string_view data, int address) {
    std::string length = DecBin(static_cast<int>(data.size()));
    std::string addr = DecBin(address);
    return std::string(1, static_cast<char>(BinDec(length.substr(5, 3) + addr.substr(3, 5))));
}

std::string StringaHex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char b : bytes) {
        out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace Module1

std::string HexText(std::string_view bytes) {
    std::string s = Module1::StringaHex(bytes);
    return s.empty() ? s : s.substr(1);
}

std::string BytesOfHexText(std::string_view text, size_t maxBytes) {
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string bytes;
    for (size_t pos = 0; pos < text.size() && bytes.size() < maxBytes; pos += 3) {
        int value = 0;
        for (size_t k = pos; k < pos + 2 && k < text.size(); ++k) {
            int d = hexValue(text[k]);
            if (d < 0) break;
            value = value * 16 + d;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

namespace {

std::string ValueText(double v) {
    if (!std::isfinite(v)) return "not a number";
    if (std::fabs(v) < 9e18) return std::to_string(static_cast<long long>(RoundHalfEven(v)));
    return ::NumberText(v);
}

std::optional<ValueError> OneByte(double v, std::string& out) {
    double n = RoundHalfEven(v);
    if (!(n >= 0 && n <= 255)) return ValueError{ValueText(v) + " does not fit one byte (0..255)"};
    out += static_cast<char>(static_cast<int>(n));
    return std::nullopt;
}

} // namespace

std::optional<std::string> FourBytes(double value) {
    auto x = ToInt32(value);
    if (!x) return std::nullopt;
    uint32_t u = static_cast<uint32_t>(*x); // two's complement
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((u >> shift) & 0xFF);
    return out;
}

ValueBytesResult ValueBytes(int ntx, int tipo, double p1, double p2) {
    ValueBytesResult r;
    auto fourBytes = [&](double v) {
        if (auto b = FourBytes(v))
            r.bytes += *b;
        else
            r.error = ValueError{ValueText(v) + " does not fit four bytes (-2147483648..2147483647)"};
    };
    switch (ntx) {
    case 2:
        if (tipo == 0)
            r.error = OneByte(p1, r.bytes);
        else if (tipo == 2)
            r.error = OneByte(p2, r.bytes);
        break;
    case 3: {
        // Both bytes come from the rounded value, so 255.6 goes out as 01 00 (not 00 00).
        double n = RoundHalfEven(p1);
        if (!(n >= 0 && n <= 65535)) {
            r.error = ValueError{ValueText(p1) + " does not fit two bytes (0..65535)"};
            break;
        }
        r.bytes += static_cast<char>(static_cast<int>(n) / 256);
        r.bytes += static_cast<char>(static_cast<int>(n) % 256);
        break;
    }
    case 5:
        fourBytes(p1);
        break;
    case 6:
        if (tipo == 3) {
            r.error = OneByte(p2, r.bytes);
            if (!r.error) fourBytes(p1);
        }
        break;
    default:
        break;
    }
    if (r.error) r.bytes.clear();
    return r;
}

std::string BuildFrame(int address, std::string_view data) {
    std::string frame = "\xFC";
    if (address == 99) {
        frame += '\0';
        frame += static_cast<char>(data.size() & 0xFF);
    } else {
        frame += Module1::ByteHeader(data, address);
    }
    frame += data;
    frame += static_cast<char>(Module1::CheckSum(frame));
    return frame;
}

std::string BuildPolledFrame(int address, std::string_view data) {
    return address == 99 ? std::string() : BuildFrame(address, data);
}

CommandFrame MakeCommandFrame(int address, int code, double p1, double p2, int ntx, int tipo) {
    ValueBytesResult v = ValueBytes(ntx, tipo, p1, p2);
    if (v.error) return {std::string(), v.error};
    std::string data(1, static_cast<char>(code & 0xFF));
    data += v.bytes;
    return {BuildFrame(address, data), std::nullopt};
}
