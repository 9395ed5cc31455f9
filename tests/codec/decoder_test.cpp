#include "protocol/decoder.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

// A read reply as the drive sends it: three leading bytes, the data, a final byte.
std::string Reply(std::initializer_list<int> data) {
    std::string r("\x05\x21\x12", 3);
    for (int b : data)
        r += static_cast<char>(b);
    return r + '\x7A';
}

const std::string Pos = "Posizione attuale:           ", PosEng = "Present position:            ";

TEST(DescribeReply, ReadRepliesInEachLanguageAndNothingForOtherReplies) {
    // The position is signed 32 bits. Nothing for an acknowledgement or error byte, a cut or
    // over-long reply, a command that reads nothing, or a language outside the three.
    using Case = std::tuple<int, std::string, int, std::string>; // code, reply, language, text
    const Case cases[] = {
        // clang-format off
        {18, Reply({0xFF, 0xFF, 0xFC, 0x18}), 1, Pos + "-1000"}, {18, Reply({0, 0, 0x64, 0}), 2, PosEng + "25600"},
        {18, Reply({0x7F, 0xFF, 0xFF, 0xFF}), 2, PosEng + "2147483647"},
        {18, Reply({0x80, 0, 0, 0}), 3, PosEng + "-2147483648"},
        {16, Reply({0x12}), 1, "Versione software:1.2"}, {16, Reply({0xAF}), 3, "Software release:A.F"},
        {20, Reply({3}), 1, "Tipo driver: 3"}, {20, Reply({255}), 3, "Pcb type: 255"},
        {210, Reply({0x03, 0xFF}), 1, "AN_IN = 1023"}, {210, Reply({0xFF, 0xFF}), 3, "AN_IN = 65535"},
        {19, Reply({0x81}), 1, "Stato I/O (BIT 7..0):     10000001"},
        {171, Reply({0x01}), 1, "Stato drive (BIT 7..0):     00000001"},
        {172, "\x81", 2, "Drive status(BIT 7..0):     10000001"},
        {18, "\x06", 1, ""}, {18, Reply({0xFF, 0xFF, 0xFC}), 1, ""}, {18, Reply({0xFF, 0xFF, 0xFC, 0x18, 0}), 1, ""},
        {210, Reply({3}), 2, ""}, {172, Reply({0x81}), 2, ""}, {168, Reply({1}), 2, ""},
        {18, Reply({0, 0, 0, 1}), 0, ""}, {18, Reply({0, 0, 0, 1}), 4, ""},
        // clang-format on
    };
    for (const auto& [code, reply, lingua, text] : cases)
        EXPECT_EQ(DescribeReply(code, reply, lingua), text) << code << " language " << lingua;
}

} // namespace
