// Programs through the simulated drive and through kmd-sim on a pseudo-terminal: what the drive
// keeps, what comes back, bad replies.
#include "app/module1.h"
#include "kmdsim_process.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"
#include "transfer_support.h"

namespace {

// The store as a drive gives it back: every line ends in a blank.
PrgStore AsRead(PrgStore store) {
    for (Program& p : store)
        for (std::string& line : p)
            if (!line.empty()) line += ' ';
    return store;
}

} // namespace

TEST_F(TransferTest, ReplyCutShortLeavesTheStoreAsItWas) {
    WaitScale = 0.005;
    bus->setProgram(1, 0, {Bytes("11"), Bytes("A8 0F A0")});
    bus->setProgram(1, 1, {Bytes("26 02")});
    store[0] = {"F4 0A", "F5"};
    const PrgStore mine = store;
    bus->setFault(DriveBus::Fault::CutShort);
    rec.answers = {true};
    ReadAllPrg(store, rec.io);
    EXPECT_EQ(store, mine);
    EXPECT_EQ(rec.text1.find("READY"), std::string::npos) << rec.text1;
}

TEST_F(TransferTest, RoundTripThroughKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    SetSharedPort(&serial);
    Module1::ComPort = 1;
    WaitScale = 0.25; // real port: leave the replies time to cross the terminal

    PrgStore sent{};
    sent[0] = {"A8 0F A0", "26 02", "11", "31 FF FF FC 18"};
    sent[9] = {"A0 25 00 00 03 E8", "F4 0A", "F5"};
    store = sent;
    rec.answers = {true, true};
    SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\nSend programs to drive...\r\n"
                         "PRG. N.0.......OK\r\nPRG. N.9......OK\r\n");
    store = PrgStore{};
    ReadAllPrg(store, rec.io);
    EXPECT_NE(rec.text1.find("PRG 09 - READY     "), std::string::npos) << rec.text1;
    EXPECT_EQ(store, AsRead(sent));

    // A full store, sent fast and verified, then read back fast: identical.
    const char* lines[] = {"A8 0F A0", "26 02", "11", "31 FF FF FC 18", "A0 25 00 00 03 E8", "F4 0A"};
    for (int p = 0; p < NumPrograms; ++p)
        for (int i = 0; i < LinesPerProgram; ++i)
            sent[p][i] = lines[(p + i) % 6];
    store = sent;
    rec.io.options = {true, true};
    rec.answers = {true, true};
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_TRUE(r.ok) << rec.text1;
    EXPECT_EQ(r.sent.size(), 17u);
    EXPECT_NE(rec.text1.find("PRG. N.16 VERIFIED\r\n"), std::string::npos) << rec.text1;
    store = PrgStore{};
    EXPECT_TRUE(ReadAllPrg(store, rec.io).ok) << rec.text1;
    EXPECT_EQ(store, AsRead(sent));
    serial.close();
    SetSharedPort(nullptr);
}
