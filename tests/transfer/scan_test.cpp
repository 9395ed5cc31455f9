// The reply scanner of "read all programs": the cases a drive's reply does not easily produce.
#include "catalog/catalog.h"
#include "editor/transfer_scan.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

TEST(Scan, LongLinesUnknownBytesAndCutCommands) {
    Module1::InitComandi();
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
