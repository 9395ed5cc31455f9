#include "editor/linecodec.h"

#include "app/module1.h"
#include "app/numbers.h"
#include "catalog/catalog.h"
#include "link/frame.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// A program line holds at most this many bytes; longer hand-written lines are cut here.
constexpr size_t MaxLineBytes = 21;

std::optional<int64_t> Nearest(double v, double lo, double hi) {
    if (!std::isfinite(v)) return std::nullopt;
    double n = RoundHalfEven(v);
    if (n < lo || n > hi) return std::nullopt;
    return static_cast<int64_t>(n);
}

bool AppendByte(std::string& out, double v) {
    auto n = Nearest(v, 0, 255);
    if (!n) return false;
    out += static_cast<char>(*n);
    return true;
}

bool AppendTwoBytes(std::string& out, double v) {
    // Both bytes come from the rounded value, so 255.6 gives 01 00 and never 00 00.
    auto n = Nearest(v, 0, 65535);
    if (!n) return false;
    out += static_cast<char>(*n >> 8);
    out += static_cast<char>(*n & 0xFF);
    return true;
}

bool AppendFourBytes(std::string& out, double v) {
    auto n = Nearest(v, -2147483648.0, 2147483647.0);
    if (!n) return false;
    const auto u = static_cast<uint32_t>(static_cast<int32_t>(*n)); // two's complement
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((u >> shift) & 0xFF);
    return true;
}

// The value bytes of a line; false when a value does not fit its bytes.
bool DataBytes(std::string& out, double p1, double p2, int tipo, int ntx) {
    switch (ntx) {
    case 2:
        if (tipo == 0) return AppendByte(out, p1);
        if (tipo == 2) return AppendByte(out, p2);
        return true;
    case 3:
        return AppendTwoBytes(out, p1);
    case 5:
        return AppendFourBytes(out, p1);
    case 6:
        if (tipo == 3) return AppendByte(out, p2) && AppendFourBytes(out, p1);
        return true;
    default: // 1, and 4 which no command uses: the code alone
        return true;
    }
}

std::string SignedForm(long long n) {
    return SignedText(n);
}

// " - Inputs: 0101 Levels: 0010": inputs are bits 3..0, levels bits 7..4.
std::string InputsAndLevels(unsigned b, bool italian) {
    const std::string bits = Module1::DecBin(static_cast<int>(b));
    return (italian ? " - Ingressi: " : " - Inputs: ") + bits.substr(4) +
           (italian ? " Livelli: " : " Levels: ") + bits.substr(0, 4);
}

// " -1000", " 25600": a blank, the sign, the value of four bytes.
std::string FourByteValue(const std::string& bytes, size_t first) {
    uint32_t v = 0;
    for (size_t k = first; k < first + 4; ++k)
        v = v << 8 | static_cast<unsigned char>(bytes[k]);
    if (v > 2147483647u) return " -" + std::to_string(4294967296ull - v);
    return " " + std::to_string(v);
}

std::string Appended(const std::string& bytes, bool italian) {
    auto b = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    const int code = static_cast<int>(b(0));
    switch (bytes.size()) {
    case 2:
        switch (code) {
        case 38: {
            static const char* const steps[] = {" 1/1", " 1/2", " 1/4", " 1/8", " 1/16"};
            return b(1) <= 4 ? steps[b(1)] : "";
        }
        case 39: {
            static const char* const reduction[] = {"100 %", "0 %", "25 %", "50 %"};
            return SignedForm((b(1) & 63) * 32) + " ms, Ired=I*" + reduction[b(1) >> 6];
        }
        case 41:
        case 42:
        case 44:
        case 175:
        case 176:
        case 177:
        case 204:
        case 212:
            return InputsAndLevels(b(1), italian);
        case 50:
            if (b(1) < 128) return italian ? " - Senso orario" : " - CW";
            return italian ? " - Senso antiorario" : " - CCW";
        case 202:
            return " - Byte: " + HexText(bytes.substr(1, 1));
        default:
            return SignedForm(b(1));
        }
    case 3:
        if (code == 198) return " Vmin=" + std::to_string(b(1)) + " dV, Vmax=" + std::to_string(b(2)) + " dV";
        return SignedForm(b(1) * 256 + b(2));
    case 5:
        return FourByteValue(bytes, 1);
    case 6:
        if (code == 160)
            return InputsAndLevels(b(1), italian) + (italian ? " Quota =" : " Quote =") +
                   FourByteValue(bytes, 2);
        return {};
    default:
        return {};
    }
}

} // namespace

std::string StringaCmd(int comando, double parametro1, double parametro2, int tipoComando, int ntx) {
    if (comando < 0 || comando > 255) return {};
    std::string bytes(1, static_cast<char>(comando));
    if (!DataBytes(bytes, parametro1, parametro2, tipoComando, ntx)) return {};
    return HexText(bytes);
}

std::string DecodeCommand(const std::string& cmdStrHex, int& nbytesCmd) {
    if (cmdStrHex.empty()) return {};
    const std::string bytes = BytesOfHexText(cmdStrHex, MaxLineBytes);
    const int slot = Module1::TrovaComando(static_cast<unsigned char>(bytes[0]));
    if (slot < 0) return "ERROR - WRONG COMMAND";
    nbytesCmd = Module1::NtxCmd[slot];
    return CommandDescription(slot, Module1::Lingua) + Appended(bytes, Module1::Lingua == 1);
}

std::string DecodeCommand(const std::string& s) {
    int n = 0;
    return DecodeCommand(s, n);
}
