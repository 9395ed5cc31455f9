// The reply scanner of "read all programs", fed whole, cut, and with garbage.
#include "catalog/catalog.h"
#include "editor/transfer_scan.h"

#include <gtest/gtest.h>
#include <random>

namespace {

class Scan : public ::testing::Test {
  protected:
    void SetUp() override { Module1::InitComandi(); }
};

using Lines = std::vector<std::string>;

} // namespace

// Whole replies, cut ones and the last-byte rule are seen through "read all programs"; these
// are the cases a drive's reply does not easily produce.
TEST_F(Scan, LongLinesUnknownBytesAndCutCommands) {
    // A zero-at-flight line (six bytes) and a four-byte value keep their bytes together.
    ProgramScan s = ScanProgramReply("A0 25 FF FF FC 18 31 00 00 03 E8 00");
    EXPECT_EQ(s.lines, (Lines{"A0 25 FF FF FC 18 ", "31 00 00 03 E8 "}));
    EXPECT_TRUE(s.ready());
    // Unknown bytes (00 matches the blank slots, not a command) are stepped over and decide the
    // verdict when last.
    s = ScanProgramReply("03 11 00 FF");
    EXPECT_EQ(s.lines, (Lines{"11 "}));
    EXPECT_FALSE(s.ready());
    EXPECT_TRUE(ScanProgramReply("03 00 11 FF").ready());
    // A8 needs three bytes; the reply ends after two (the closing byte is missing as well).
    s = ScanProgramReply("11 A8 0F");
    EXPECT_EQ(s.lines, (Lines{"11 ", "A8 0F"}));
    EXPECT_TRUE(s.cutShort);
    EXPECT_FALSE(s.ready());
    EXPECT_FALSE(ScanProgramReply("").ready());
}

// Random replies, whole or cut anywhere, well formed or not: the scanner stays inside the
// text, every line is a piece of it, and the pieces never overlap.
TEST_F(Scan, RandomRepliesStayInsideTheText) {
    std::mt19937 rng(7);
    const char* hex = "0123456789ABCDEF";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 40);
        const bool garbled = round % 3 == 0;
        for (int i = 0; i < n; ++i) {
            if (i) text += garbled && rng() % 7 == 0 ? static_cast<char>(rng() % 256) : ' ';
            text += hex[rng() % 16];
            text += garbled && rng() % 5 == 0 ? static_cast<char>(rng() % 256) : hex[rng() % 16];
        }
        if (round % 2) text.resize(rng() % (text.size() + 1));
        const ProgramScan s = ScanProgramReply(text);
        size_t total = 0;
        for (const std::string& line : s.lines) {
            ASSERT_FALSE(line.empty());
            ASSERT_LE(line.size(), 18u);
            total += line.size();
        }
        ASSERT_LE(total, text.size());
    }
}
