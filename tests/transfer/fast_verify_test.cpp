// Fast transfers, reading back what was sent, progress and cancel: what the drive ends up
// holding, what the status box says, and what the caller is told.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/buswait.h"
#include "transfer_support.h"

TEST(CompareProgram, ByteForByteWithTheDrivesClosingByte) {
    Module1::InitComandi();
    Program p{};
    p[0] = "A8 0F A0";
    p[1] = "26 02 "; // as read back from a drive
    p[2] = "11";
    Program none{};
    struct Case {
        const Program& lines;
        const char* reply;
        const char* text;
    } cases[] = {
        {p, "A8 0F A0 26 02 11 5C", "PRG. N.4 VERIFIED\r\n"},
        {none, "15", "PRG. N.4 VERIFIED\r\n"},
        {p, "A8 0F A0 26 03 11 5C", "PRG. N.4 MISMATCH line 1\r\n  sent: 26 02\r\n  read: 26 03\r\n"},
        {p, "15", "PRG. N.4 MISMATCH line 0\r\n  sent: A8 0F A0\r\n  read: (none)\r\n"},
        {none, "11 5C", "PRG. N.4 MISMATCH line 0\r\n  sent: (none)\r\n  read: 11\r\n"},
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

TEST_F(TransferTest, FastSendWithVerifyCatchesTheAlteredLine) {
    rec.io.options = {true, true};
    store[0] = {"A8 0F A0", "26 02"};
    store[5] = {"11", "F4 0A", "20 00 64", "F5"};
    bus->setFault(DriveBus::Fault::Altered); // acknowledges all, stores line 2 as 20 00 65
    rec.answers = {true};
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\n"
                         "PRG. N.0.....OK\r\nPRG. N.0 VERIFIED\r\n"
                         "PRG. N.5.......ERROR\r\nPRG. N.5 MISMATCH line 2\r\n"
                         "  sent: 20 00 64\r\n  read: 20 00 65\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.sent, std::vector<int>{0});
    ASSERT_EQ(r.checks.size(), 2u);
    EXPECT_EQ(r.checks[1].line, 2);

    // The verify button compares every program and changes nothing.
    const PrgStore mine = store;
    bus->setFault(DriveBus::Fault::None);
    r = VerifyPrg(store, rec.io);
    EXPECT_EQ(store, mine);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.checks.size(), 17u);
    EXPECT_EQ(rec.text1.substr(0, 70),
              "Verifying programs on drive...\r\nPRG. N.0 VERIFIED\r\nPRG. N.1 VERIFIED\r\n");
    EXPECT_NE(rec.text1.find("PRG. N.5 MISMATCH line 2\r\n"), std::string::npos);
    bus->setProgram(1, 5, {Bytes("11"), Bytes("F4 0A"), Bytes("20 00 64"), Bytes("F5")});
    EXPECT_TRUE(VerifyPrg(store, rec.io).ok);
}

TEST_F(TransferTest, ProgressCountsEveryCommand) {
    std::vector<std::pair<int, int>> seen;
    rec.io.progress = [&](int done, int total) { seen.emplace_back(done, total); };
    rec.io.options.verify = true;
    store[1] = {"11", "11", "11"};
    store[2] = {"11"};
    // F0 of program 1 refused: its lines, F1 and read-back are counted as done at once.
    ReplyPort& rp = useReplyPort();
    rp.answer = [](const std::string& f) {
        return std::optional<std::string>(Hex(f) == FrameTo(1, "F0 01") ? "\x15" : "\x06");
    };
    rec.answers = {true};
    SendAllPrg(store, rec.io);
    // F9; program 1: F0 + 3 lines + F1 + F2; program 2: F0 + 1 line + F1 + F2.
    const std::vector<std::pair<int, int>> want = {{0, 11}, {1, 11}, {2, 11},  {7, 11},
                                                   {8, 11}, {9, 11}, {10, 11}, {11, 11}};
    EXPECT_EQ(seen, want);
}

TEST_F(TransferTest, CancelClosesTheProgramBeingWritten) {
    store[0] = {"11", "11", "11", "11"};
    store[1] = {"11"};
    int asked = 0;
    rec.io.cancelled = [&] { return ++asked == 5; }; // before the erase, program 0, lines 0, 1, 2
    rec.answers = {true};
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\n"
                         "PRG. N.0.....CANCELLED\r\nTransfer cancelled\r\n");
    EXPECT_EQ(framesHex(), (Frames{" FC 21 F9 E9", " FC 41 F0 00 D2", FrameTo(1, "11"), FrameTo(1, "11"),
                                   " FC 21 F1 F1"}));
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.sent.empty());

    // Reading stops before the next program; what was read stays.
    bus->setProgram(1, 0, {Bytes("26 02")});
    PrgStore got{};
    asked = 0;
    rec.io.cancelled = [&] { return ++asked == 2; };
    rec.answers = {true};
    r = ReadAllPrg(got, rec.io);
    EXPECT_EQ(rec.text1, "Reading programs from drive...\r\nPRG 00 - READY     \r\nTransfer cancelled\r\n");
    EXPECT_EQ(got[0][0], "26 02 ");
    EXPECT_TRUE(r.cancelled);
}

// Silence in fast mode gets the same eleven looks as at the specified pacing (the faults
// themselves are tried over a pseudo-terminal in the fault tests).
TEST_F(TransferTest, FastModeWaitsForASilentDriveAsLongAsEver) {
    rec.io.options = {true, true};
    std::vector<double> waits, eleven;
    for (int i = 0; i < 11; ++i)
        eleven.insert(eleven.end(), {0.05, 2.0});
    WaitRecorder = [&](double s) { waits.push_back(s); };
    bus->setFault(DriveBus::Fault::Silent);
    rec.answers = {true};
    DeleteAllPrg(rec.io);
    WaitRecorder = nullptr;
    EXPECT_EQ(waits, eleven);
    EXPECT_EQ(rec.text1, "Erasing all programs...ERROR\r\n");
}

// A read-back that pauses longer than the quiet gap is cut short: reported as such, and its
// late rest is not taken for the next program's answers.
TEST_F(TransferTest, FastReadCutByAPauseLeavesTheNextProgramAlone) {
    WaitScale = 1.0;
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
