#include "protocol/linecodec.h"

#include "base/numbers.h"
#include "protocol/catalog.h"
#include "protocol/frame.h"

#include <cstdint>

namespace {

// A program line holds at most this many bytes; longer hand-written lines are cut here.
constexpr size_t MaxLineBytes = 21;

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
    // The same bytes a frame of this command carries, so a line holds what would be sent.
    const ValueBytesResult value = ValueBytes(ntx, tipoComando, parametro1, parametro2);
    if (value.error) return {};
    return HexText(static_cast<char>(comando) + value.bytes);
}

std::string DecodeCommand(const std::string& cmdStrHex, int lingua, int& nbytesCmd) {
    if (cmdStrHex.empty()) return {};
    const std::string bytes = BytesOfHexText(cmdStrHex, MaxLineBytes);
    const int slot = Module1::TrovaComando(static_cast<unsigned char>(bytes[0]));
    if (slot < 0) return "ERROR - WRONG COMMAND";
    nbytesCmd = Module1::NtxCmd[slot];
    return CommandDescription(slot, lingua) + Appended(bytes, lingua == 1);
}

std::string DecodeCommand(const std::string& s, int lingua) {
    int n = 0;
    return DecodeCommand(s, lingua, n);
}
