// End to end over a pseudo-terminal: the real serial port against kmd-sim.
#include "app/module1.h"
#include "kmdsim_process.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"
#include "transfer_support.h"

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
    ExpectSameProgramsIgnoringTrailingBlanks(store, sent);
    serial.close();
    SetSharedPort(nullptr);
}
