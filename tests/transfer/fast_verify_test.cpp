// Reading back what was sent, cancel and fast reads: what the status box says and what the caller
// is told.
#include "transfer_support.h"

TEST(CompareProgram, ByteForByteWithTheDrivesClosingByte) {
    Module1::InitComandi();
    const Program p{"A8 0F A0", "26 02 ", "11"}, none{}; // the second as read back from a drive
    struct Case {
        const Program& lines;
        const char* reply;
        const char* text;
    } cases[] = {
        {p, "A8 0F A0 26 02 11 5C", "PRG. N.4 VERIFIED\r\n"},
        {none, "15", "PRG. N.4 VERIFIED\r\n"},
        {p, "A8 0F A0 26 03 11 5C", "PRG. N.4 MISMATCH line 1\r\n  sent: 26 02\r\n  read: 26 03\r\n"},
        {p, "15", "PRG. N.4 MISMATCH line 0\r\n  sent: A8 0F A0\r\n  read: (none)\r\n"},
        // One command more on the drive than in the store.
        {p, "A8 0F A0 26 02 11 26 05 7E", "PRG. N.4 MISMATCH line 3\r\n  sent: (none)\r\n  read: 26 05\r\n"},
        {p, "A8 0F A0 26 02 11", "PRG. N.4 NOT VERIFIED - incomplete answer\r\n"},
        {p, "A8 0F A0 26", "PRG. N.4 NOT VERIFIED - incomplete answer\r\n"},
        {p, "", "PRG. N.4 NOT VERIFIED - no answer\r\n"},
        {none, "06", "PRG. N.4 MISMATCH line 0\r\n  sent: (none)\r\n  read: 06\r\n"},
    };
    for (const Case& c : cases) {
        ProgramCheck check = CompareProgram(4, c.lines, c.reply);
        EXPECT_EQ(CheckText(check), c.text) << c.reply;
        EXPECT_EQ(check.verified(), std::string(c.text).find("4 VERIFIED") != std::string::npos) << c.reply;
    }
}

// Cancelling a send is proven through the editor window. Reading stops before the next
// program; what was read stays.
TEST_F(TransferTest, CancelledReadKeepsWhatWasRead) {
    bus->setProgram(1, 0, {Bytes("26 02")});
    int asked = 0;
    rec.io.cancelled = [&] { return ++asked == 2; };
    rec.answers = {true};
    TransferResult r = ReadAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Reading programs from drive...\r\nPRG 00 - READY     \r\nTransfer cancelled\r\n");
    EXPECT_EQ(store[0][0], "26 02 ");
    EXPECT_TRUE(r.cancelled);
}

// A read-back that pauses longer than the quiet gap is cut short: reported as such, and its
// late rest is not taken for the next program's answers.
TEST_F(TransferTest, FastReadCutByAPauseLeavesTheNextProgramAlone) {
    line->setWaitScale(1.0);
    port->setReplyPieces(4, 0.08); // the rest of a read comes while the next answer is awaited
    bus->setSlowSeconds(0.04);
    bus->setFault(DriveBus::Fault::Slow);
    rec.io.options = {true, true};
    store[0] = store[1] = {"A8 0F A0", "26 02"};
    rec.answers = {true};
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\n"
                         "PRG. N.0.....ERROR\r\nPRG. N.0 NOT VERIFIED - incomplete answer\r\n"
                         "PRG. N.1.....ERROR\r\nPRG. N.1 NOT VERIFIED - incomplete answer\r\n");
    EXPECT_TRUE(r.sent.empty());
    EXPECT_EQ(bus->program(1, 1), (std::vector<std::string>{Bytes("A8 0F A0"), Bytes("26 02")}));
}
