#include "link/decoder.h"

#include <gtest/gtest.h>

namespace {

// A read reply as the drive sends it: three leading bytes, the data, a final byte.
std::string Reply(std::initializer_list<int> data) {
    std::string r("\x05\x21\x12", 3);
    for (int b : data)
        r += static_cast<char>(b);
    r += '\x7A';
    return r;
}

const std::string Pos = "Posizione attuale:           ";
const std::string PosEng = "Present position:            ";

} // namespace

TEST(DescribeReply, PresentPositionIsSignedThirtyTwoBits) {
    EXPECT_EQ(DescribeReply(18, Reply({0xFF, 0xFF, 0xFC, 0x18}), 1), Pos + "-1000");
    EXPECT_EQ(DescribeReply(18, Reply({0x00, 0x00, 0x64, 0x00}), 2), PosEng + "25600");
    EXPECT_EQ(DescribeReply(18, Reply({0x7F, 0xFF, 0xFF, 0xFF}), 2), PosEng + "2147483647");
    EXPECT_EQ(DescribeReply(18, Reply({0x80, 0x00, 0x00, 0x00}), 2), PosEng + "-2147483648");
    EXPECT_EQ(DescribeReply(18, Reply({0xFF, 0xFF, 0xFF, 0xFF}), 3), PosEng + "-1");
    EXPECT_EQ(DescribeReply(18, Reply({0, 0, 0, 0}), 1), Pos + "0");
}

TEST(DescribeReply, OtherReadCommandsInEachLanguage) {
    EXPECT_EQ(DescribeReply(16, Reply({0x12}), 1), "Versione software:1.2");
    EXPECT_EQ(DescribeReply(16, Reply({0x05}), 2), "Software release:0.5");
    EXPECT_EQ(DescribeReply(16, Reply({0xAF}), 3), "Software release:A.F");
    EXPECT_EQ(DescribeReply(20, Reply({3}), 1), "Tipo driver: 3");
    EXPECT_EQ(DescribeReply(20, Reply({3}), 2), "Pcb type: 3");
    EXPECT_EQ(DescribeReply(20, Reply({3}), 3), "Pcb type: 3");
    EXPECT_EQ(DescribeReply(20, Reply({255}), 2), "Pcb type: 255");
    EXPECT_EQ(DescribeReply(210, Reply({0x03, 0xFF}), 1), "AN_IN = 1023");
    EXPECT_EQ(DescribeReply(210, Reply({0xFF, 0xFF}), 3), "AN_IN = 65535");
    EXPECT_EQ(DescribeReply(19, Reply({0x81}), 1), "Stato I/O (BIT 7..0):     10000001");
    EXPECT_EQ(DescribeReply(19, Reply({0x0F}), 2), "Drive I/O (BIT 7..0):     00001111");
    EXPECT_EQ(DescribeReply(171, Reply({0x01}), 1), "Stato drive (BIT 7..0):     00000001");
    EXPECT_EQ(DescribeReply(171, Reply({0x01}), 3), "Drive status(BIT 7..0):     00000001");
    EXPECT_EQ(DescribeReply(172, std::string(1, '\x81'), 1), "Stato drive (BIT 7..0):     10000001");
    EXPECT_EQ(DescribeReply(172, std::string(1, '\x81'), 2), "Drive status(BIT 7..0):     10000001");
}

TEST(DescribeReply, NothingForWrongLengthsOtherCodesOrLanguages) {
    // An acknowledgement or error byte instead of data, a cut reply, an over-long one.
    EXPECT_EQ(DescribeReply(18, "\x06", 1), "");
    EXPECT_EQ(DescribeReply(18, Reply({0xFF, 0xFF, 0xFC}), 1), "");
    EXPECT_EQ(DescribeReply(18, Reply({0xFF, 0xFF, 0xFC, 0x18, 0}), 1), "");
    EXPECT_EQ(DescribeReply(16, "", 2), "");
    EXPECT_EQ(DescribeReply(210, Reply({3}), 2), "");
    EXPECT_EQ(DescribeReply(172, Reply({0x81}), 2), "");
    EXPECT_EQ(DescribeReply(171, "\x15", 2), "");
    // Commands that read nothing are never described.
    EXPECT_EQ(DescribeReply(168, Reply({1}), 2), "");
    EXPECT_EQ(DescribeReply(0, "", 2), "");
    EXPECT_EQ(DescribeReply(18, Reply({0, 0, 0, 1}), 0), "");
    EXPECT_EQ(DescribeReply(18, Reply({0, 0, 0, 1}), 4), "");
}
