// Programs through kmd-sim on a pseudo-terminal: what comes back is what was sent.
#include "kmdsim_process.h"
#include "line/qtserialport.h"
#include "transfer_support.h"

TEST_F(TransferTest, RoundTripThroughKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    DriveLine serialLine(serial);
    use(serialLine);
    serialLine.setWaitScale(0.25); // real port: leave the replies time to cross the terminal

    // Sending and reading at the drive's pacing over a terminal are tried by the fault tests. A
    // full store, sent fast and verified, then read back fast: identical.
    PrgStore sent{};
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
    for (Program& p : sent)
        for (std::string& line : p)
            line += ' '; // as a drive gives it back
    EXPECT_EQ(store, sent);
    use(*line);
}
