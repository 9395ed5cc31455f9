// The reply scanner of "read all programs", fed whole, cut, and with garbage.
#include "catalog/catalog.h"
#include "editor/transfer_scan.h"

#include <gtest/gtest.h>
#include <random>

namespace {

class Scan : public ::testing::Test {
  protected:
    void SetUp() override {
        Module1::InitComandi();
        if (Module1::TrovaComando(0xA8) < 0) GTEST_SKIP() << "command catalog not built yet";
    }
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(Scan, CommandsFollowedByTheClosingByte) {
    ProgramScan s = ScanProgramReply("A8 0F A0 26 02 11 5A");
    EXPECT_EQ(s.lines, (Lines{"A8 0F A0 ", "26 02 ", "11 "}));
    EXPECT_TRUE(s.ready());
    // A zero-at-flight line (six bytes) and a four-byte value keep their bytes together.
    s = ScanProgramReply("A0 25 FF FF FC 18 31 00 00 03 E8 00");
    EXPECT_EQ(s.lines, (Lines{"A0 25 FF FF FC 18 ", "31 00 00 03 E8 "}));
    EXPECT_TRUE(s.ready());
}

TEST_F(Scan, TheLastByteNeverStartsACommand) {
    ProgramScan s = ScanProgramReply("A8 0F A0 26 02 11");
    EXPECT_EQ(s.lines, (Lines{"A8 0F A0 ", "26 02 "}));
    EXPECT_TRUE(s.ready());
    EXPECT_TRUE(ScanProgramReply("11").lines.empty());
    EXPECT_FALSE(ScanProgramReply("11").ready()); // too short to examine anything
    EXPECT_FALSE(ScanProgramReply("").ready());
    EXPECT_FALSE(ScanProgramReply("06").ready());
}

TEST_F(Scan, UnknownBytesAreSteppedOverAndDecideTheVerdictWhenLast) {
    // 03 and 00 are no command (00 matches the blank slots, not a command).
    ProgramScan s = ScanProgramReply("03 11 00 FF");
    EXPECT_EQ(s.lines, (Lines{"11 "}));
    EXPECT_FALSE(s.ready());
    s = ScanProgramReply("03 00 11 FF");
    EXPECT_EQ(s.lines, (Lines{"11 "}));
    EXPECT_TRUE(s.ready());
}

TEST_F(Scan, ACommandRunningIntoTheEndMeansACutReply) {
    // A8 needs three bytes; the reply ends after two (the closing byte is missing as well).
    ProgramScan s = ScanProgramReply("11 A8 0F");
    EXPECT_EQ(s.lines, (Lines{"11 ", "A8 0F"}));
    EXPECT_TRUE(s.cutShort);
    EXPECT_FALSE(s.ready());
    // Whole command but no closing byte after it.
    s = ScanProgramReply("11 26 02");
    EXPECT_EQ(s.lines.back(), "26 02");
    EXPECT_FALSE(s.ready());
}

TEST(ScanStatus, TextsAre19Characters) {
    EXPECT_EQ(ReadStatusText(0, ReadStatus::Ready), "PRG 00 - READY     ");
    EXPECT_EQ(ReadStatusText(7, ReadStatus::Empty), "PRG 07 - EMPTY     ");
    EXPECT_EQ(ReadStatusText(16, ReadStatus::Error), "PRG 16 - ERROR     ");
}

// Random replies, whole or cut anywhere, well formed or not: the scanner stays inside the
// text, every line is a piece of it, and the pieces never overlap.
TEST_F(Scan, RandomRepliesStayInsideTheText) {
    std::mt19937 rng(7);
    const char* hex = "0123456789ABCDEF";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int n = static_cast<int>(rng() % 40);
        bool garbled = round % 3 == 0;
        for (int i = 0; i < n; ++i) {
            if (i) text += garbled && rng() % 7 == 0 ? static_cast<char>(rng() % 256) : ' ';
            text += hex[rng() % 16];
            text += garbled && rng() % 5 == 0 ? static_cast<char>(rng() % 256) : hex[rng() % 16];
        }
        if (round % 2) text.resize(rng() % (text.size() + 1));
        ProgramScan s = ScanProgramReply(text);
        size_t total = 0;
        for (const std::string& line : s.lines) {
            ASSERT_FALSE(line.empty());
            ASSERT_LE(line.size(), 18u);
            total += line.size();
        }
        ASSERT_LE(total, text.size());
    }
}
