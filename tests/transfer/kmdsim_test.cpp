// End to end over a pseudo-terminal: the real serial port against kmd-sim.
#include "app/module1.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"
#include "transfer_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

TEST_F(TransferTest, RoundTripThroughKmdSim) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess sim;
    sim.setWorkingDirectory(dir.path());
    sim.start(KMD_SIM_PATH, {"--com", "1"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    const QString link = dir.filePath("com1");
    for (int i = 0; i < 100 && !QFileInfo(link).isSymLink(); ++i)
        WaitSeconds(0.05 / WaitScale);
    ASSERT_TRUE(QFileInfo(link).isSymLink()) << "kmd-sim did not link ./com1";

    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());
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
    for (int p = 0; p < NumPrograms; ++p)
        for (int i = 0; i < LinesPerProgram; ++i)
            EXPECT_EQ(Trimmed(store[p][i]), sent[p][i]) << "program " << p << " line " << i;

    serial.close();
    SetSharedPort(nullptr);
    QDir::setCurrent(oldDir);
    sim.terminate();
    sim.waitForFinished(5000);
}
