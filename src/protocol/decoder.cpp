#include "protocol/decoder.h"

#include "protocol/frame.h"

#include <cstdint>
#include <string_view>

namespace {

enum class Form { Release, Position, Bits, DecimalWithBlank, Analog };

struct ReadReply {
    int code;
    size_t length;
    size_t firstByte; // 1-based position of the value in the reply
    Form form;
    const char* labelIta;
    const char* labelEng; // English and German
};

// The read commands and the exact length of their replies; labels keep their trailing blanks.
constexpr ReadReply Replies[] = {
    {16, 5, 4, Form::Release, "Versione software:", "Software release:"},
    {18, 8, 4, Form::Position, "Posizione attuale:           ", "Present position:            "},
    {19, 5, 4, Form::Bits, "Stato I/O (BIT 7..0):     ", "Drive I/O (BIT 7..0):     "},
    {20, 5, 4, Form::DecimalWithBlank, "Tipo driver:", "Pcb type:"},
    {171, 5, 4, Form::Bits, "Stato drive (BIT 7..0):     ", "Drive status(BIT 7..0):     "},
    {172, 1, 1, Form::Bits, "Stato drive (BIT 7..0):     ", "Drive status(BIT 7..0):     "},
    {210, 6, 4, Form::Analog, "AN_IN = ", "AN_IN = "},
};

unsigned Byte(const std::string& reply, size_t position) {
    return static_cast<unsigned char>(reply[position - 1]);
}

std::string Value(const ReadReply& r, const std::string& reply) {
    static const char hex[] = "0123456789ABCDEF";
    const unsigned b = Byte(reply, r.firstByte);
    switch (r.form) {
    case Form::Release:
        return {hex[b >> 4], '.', hex[b & 15]};
    case Form::Position: {
        uint32_t v = 0;
        for (size_t k = 0; k < 4; ++k)
            v = v << 8 | Byte(reply, r.firstByte + k);
        if (v > 2147483647u) return "-" + std::to_string(4294967296ull - v);
        return std::to_string(v);
    }
    case Form::Bits:
        return Module1::DecBin(static_cast<int>(b));
    case Form::DecimalWithBlank:
        return " " + std::to_string(b);
    case Form::Analog:
        return std::to_string(b * 256 + Byte(reply, r.firstByte + 1));
    }
    return {};
}

} // namespace

std::string DescribeReply(int code, const std::string& reply, int lingua) {
    if (lingua < 1 || lingua > 3) return {};
    for (const ReadReply& r : Replies) {
        if (r.code != code) continue;
        if (reply.size() != r.length) return {};
        return (lingua == 1 ? r.labelIta : r.labelEng) + Value(r, reply);
    }
    return {};
}
