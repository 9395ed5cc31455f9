#include "base/numbers.h"
#include "protocol/frame.h"

#include <cfloat>
#include <gtest/gtest.h>

using namespace Module1;

namespace {
std::string H(const std::string& s) {
    return StringaHex(s);
}
} // namespace

// Whole frames are also checked through the main window; these are the pieces.
TEST(Frame, KnownFramesHeadersAndValueBytes) {
    EXPECT_EQ(H(MakeCommandFrame(1, 0x01, 0, 0, 1, 0).frame), " FC 21 01 E1");
    EXPECT_EQ(H(MakeCommandFrame(99, 0x11, 0, 0, 1, 0).frame), " FC 00 01 11 F1");
    EXPECT_EQ(H(MakeCommandFrame(3, 0x30, -1000, 0, 5, 0).frame), " FC A3 30 FF FF FC 18 1E");
    EXPECT_EQ(CheckSum(std::string("\xFC\x21\x01", 3)), 0xE1);
    EXPECT_EQ(H(ByteHeader("12345", 31)), " BF");
    EXPECT_EQ(H(ByteHeader("1", 0)), " 20");
    EXPECT_EQ(H(ValueBytes(3, 0, 3200, 0).bytes), " 0C 80");
    EXPECT_EQ(H(ValueBytes(5, 0, -1, 0).bytes), " FF FF FF FF");
    EXPECT_EQ(H(ValueBytes(2, 0, 2.5, 0).bytes), " 02");
    EXPECT_EQ(H(ValueBytes(3, 0, 255.6, 0).bytes), " 01 00");
    EXPECT_EQ(H(ValueBytes(3, 0, 65535, 0).bytes), " FF FF");
    EXPECT_EQ(ValueBytes(4, 0, 7, 0).bytes + ValueBytes(6, 0, 7, 0).bytes, "");
    EXPECT_EQ(DecBin(5) + DecBin(0x181), "0000010110000001");
    EXPECT_EQ(std::pair(BinDec(" 00000101 "), BinDec("1")), std::pair(5, 128));
    EXPECT_EQ(HexText(BytesOfHexText("A8 0f A0 ")) + "|" + HexText(BytesOfHexText("AZ G1")),
              "A8 0F A0|0A 00");
}

TEST(Frame, ValuesThatDoNotFitAreRefusedNotWrapped) {
    for (auto [count, value] : std::initializer_list<std::pair<int, double>>{
             {2, 256}, {2, -1}, {3, 65536}, {3, -5}, {5, 2147483648.0}, {5, 1e300}})
        EXPECT_TRUE(ValueBytes(count, 0, value, 0).error) << count << " " << value;
    EXPECT_FALSE(ValueBytes(5, 0, -2147483648.0, 0).error);
    EXPECT_EQ(MakeCommandFrame(1, 49, 3e9, 0, 5, 0).frame, "");
    EXPECT_EQ(ValueBytes(5, 0, 1.5e19, 0).error->what,
              "1.5e+19 does not fit four bytes (-2147483648..2147483647)");
}

TEST(Numbers, ReadingTypedTexts) {
    // Numbers beyond a double stay beyond every range instead of reading as 0.
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"3000", 3000},    {"1e3", 1000},   {"&HFF", 255},      {"&hff", 255},        {" 1 2 ", 12},
        {"abc", 0},        {"-", 0},        {"", 0},            {"2e", 2},            {"-12.5xyz", -12.5},
        {"1000abc", 1000}, {"\t-\t4", -4}, {"1e999", DBL_MAX}, {"-1e999", -DBL_MAX},
        {"3.5", 3.5},      {"1.5e3", 1500}, {"255.6", 255.6},   {"+.5", 0.5},         {"3,5", 3},
        {"&H" + std::string(400, 'F'), DBL_MAX}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Val(text), value) << text;
}
