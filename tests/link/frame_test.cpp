#include "app/numbers.h"
#include "link/frame.h"

#include <cfloat>
#include <gtest/gtest.h>

using namespace Module1;

namespace {
std::string H(const std::string& s) {
    return StringaHex(s);
}
} // namespace

TEST(Frame, KnownFramesOfTheProtocol) {
    EXPECT_EQ(H(MakeCommandFrame(1, 0x01, 0, 0, 1, 0).frame), " FC 21 01 E1");
    EXPECT_EQ(H(MakeCommandFrame(99, 0x11, 0, 0, 1, 0).frame), " FC 00 01 11 F1");
    EXPECT_EQ(H(MakeCommandFrame(3, 0x30, -1000, 0, 5, 0).frame), " FC A3 30 FF FF FC 18 1E");
    EXPECT_EQ(H(MakeCommandFrame(2, 0xEE, 2, 0, 2, 0).frame), " FC 42 EE 02 D1");
    EXPECT_EQ(H(MakeCommandFrame(1, 168, 3000, 0, 3, 0).frame), " FC 61 A8 0B B8 37");
    EXPECT_EQ(H(MakeCommandFrame(0, 50, 255, 0, 2, 0).frame), " FC 40 32 FF 92");
}

TEST(Frame, HeadersAndValueBytes) {
    EXPECT_EQ(H(ByteHeader("12345", 31)), " BF");
    EXPECT_EQ(H(ByteHeader("1", 0)), " 20");
    EXPECT_EQ(H(ValueBytes(3, 0, 3200, 0).bytes), " 0C 80");
    EXPECT_EQ(H(ValueBytes(5, 0, 0, 0).bytes), " 00 00 00 00");
    EXPECT_EQ(H(ValueBytes(5, 0, -1, 0).bytes), " FF FF FF FF");
    EXPECT_EQ(H(ValueBytes(5, 0, 25600, 0).bytes), " 00 00 64 00");
    EXPECT_EQ(H(ValueBytes(2, 0, 2.5, 0).bytes), " 02");
    EXPECT_EQ(H(ValueBytes(3, 0, 255.6, 0).bytes), " 01 00");
    EXPECT_EQ(H(ValueBytes(3, 0, 65535, 0).bytes), " FF FF");
    EXPECT_EQ(H(ValueBytes(2, 2, 99, 37).bytes), " 25");
    EXPECT_EQ(H(ValueBytes(6, 3, -1000, 37).bytes), " 25 FF FF FC 18");
    EXPECT_EQ(ValueBytes(4, 0, 7, 0).bytes, "");
    EXPECT_EQ(ValueBytes(6, 0, 7, 0).bytes, "");
}

TEST(Frame, ValuesThatDoNotFitAreRefusedNotWrapped) {
    EXPECT_TRUE(ValueBytes(2, 0, 256, 0).error);
    EXPECT_TRUE(ValueBytes(2, 0, -1, 0).error);
    EXPECT_TRUE(ValueBytes(3, 0, 65536, 0).error);
    EXPECT_TRUE(ValueBytes(3, 0, -5, 0).error);
    EXPECT_TRUE(ValueBytes(5, 0, 2147483648.0, 0).error);
    EXPECT_TRUE(ValueBytes(5, 0, 1e300, 0).error);
    EXPECT_FALSE(ValueBytes(5, 0, -2147483648.0, 0).error);
    EXPECT_TRUE(MakeCommandFrame(1, 49, 3e9, 0, 5, 0).error);
    EXPECT_EQ(MakeCommandFrame(1, 49, 3e9, 0, 5, 0).frame, "");
}

TEST(Frame, SharedRoutines) {
    EXPECT_EQ(CheckSum(std::string("\xFC\x21\x01", 3)), 0xE1);
    EXPECT_EQ(DecBin(5), "00000101");
    EXPECT_EQ(DecBin(0x181), "10000001");
    EXPECT_EQ(BinDec(" 00000101 "), 5);
    EXPECT_EQ(BinDec("1"), 128);
    EXPECT_EQ(StringaHex(std::string("\x00\x0A", 2)), " 00 0A");
    EXPECT_EQ(HexText(std::string("\xA8\x0F\xA0")), "A8 0F A0");
    EXPECT_EQ(StringaHex(BytesOfHexText("A8 0F A0 ")), " A8 0F A0");
    EXPECT_EQ(StringaHex(BytesOfHexText("AZ G1")), " 0A 00");
}

TEST(Numbers, ReadingTypedTexts) {
    EXPECT_EQ(Val("3000"), 3000);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("&HFF"), 255);
    EXPECT_EQ(Val("&hff"), 255);
    EXPECT_EQ(Val(" 1 2 "), 12);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("-12.5xyz"), -12.5);
    EXPECT_EQ(Val("1000abc"), 1000);
    EXPECT_EQ(Val("2e"), 2);
    EXPECT_EQ(Val("\t-\t4"), -4);
    // Numbers beyond a double stay beyond every range instead of reading as 0.
    EXPECT_EQ(Val("1e999"), DBL_MAX);
    EXPECT_EQ(Val("-1e999"), -DBL_MAX);
    EXPECT_EQ(Val("&H" + std::string(400, 'F')), DBL_MAX);
    EXPECT_EQ(Val(""), 0);
}

TEST(Numbers, RoundingHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(12.4), 12);
    EXPECT_EQ(*ToInt16(32767.4), 32767);
    EXPECT_FALSE(ToInt16(38400));
    EXPECT_FALSE(ToInt16(-32769));
    EXPECT_FALSE(ToInt32(2147483648.0));
    EXPECT_EQ(*ToInt32(-2147483648.0), INT32_MIN);
    EXPECT_EQ(IntPart(-0.5), -1);
    EXPECT_EQ(SignedText(5), " 5");
    EXPECT_EQ(SignedText(-5), "-5");
    EXPECT_EQ(SignedText(0), " 0");
}
