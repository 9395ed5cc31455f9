// The real serial port class against kmd-sim on a pseudo-terminal.
#include "app/module1.h"
#include "link/buswait.h"
#include "link/frame.h"
#include "link/qtserialport.h"
#include "link/transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class Pty : public ::testing::Test {
  protected:
    void SetUp() override {
        Module1::ResetGlobals();
        WaitScale = 1.0;
        ASSERT_TRUE(dir.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path()); // ./com1 is looked up in the working directory
        sim.setWorkingDirectory(dir.path());
        sim.start(KMD_SIM_PATH, {"--com", "1"});
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(Expect("serving"));
    }
    void TearDown() override {
        sim.write("quit\n");
        if (!sim.waitForFinished(5000)) sim.kill();
        EXPECT_FALSE(QFileInfo::exists(dir.path() + "/com1")) << "kmd-sim left its link behind";
        QDir::setCurrent(oldDir);
    }
    // Reads kmd-sim's output until a line holds `text`.
    bool Expect(const QString& text) {
        while (!output.contains(text)) {
            if (!sim.waitForReadyRead(5000)) return false;
            output += QString::fromUtf8(sim.readAllStandardOutput());
        }
        output.clear();
        return true;
    }
    void Control(const char* line) {
        sim.write(line);
        ASSERT_TRUE(Expect("ok")) << line;
    }

    QTemporaryDir dir;
    QString oldDir;
    QProcess sim;
    QString output;
};

TEST_F(Pty, FrameGetsTheDocumentedReplyThroughTheRealPort) {
    QtSerialPort port;
    port.setPortNumber(1);
    port.setSettings("9600,N,8,1");
    ASSERT_TRUE(port.open()) << port.errorText();
    EXPECT_EQ(port.deviceName(), "./com1");
    ASSERT_TRUE(port.write(BytesOfHexText("FC 21 01 E1")));
    ASSERT_EQ(WaitForBytes(port, 1, 2.0), WaitEnd::Ready);
    EXPECT_EQ(Module1::StringaHex(port.readAll()), " 06");
    port.close();

    // The main window's transaction, end to end, with the byte time of the line.
    Control("analog 2 1010\n");
    Exchange ex = CountedTransaction(port, 2, 210, 0, 0, 1, 6, 0);
    EXPECT_EQ(ex.outcome, Outcome::Reply);
    EXPECT_EQ(Module1::StringaHex(ex.reply), " FC 62 D2 03 F2 DA");
    ex = CountedTransaction(port, 2, 48, -1000, 0, 5, 1, 0);
    EXPECT_EQ(Module1::StringaHex(ex.reply), " 06");
    WaitSeconds(0.1);
    ex = CountedTransaction(port, 2, 18, 0, 0, 1, 8, 0);
    EXPECT_EQ(Module1::StringaHex(ex.reply), " FC A2 12 FF FF FC 18 3D");
    EXPECT_FALSE(port.isOpen());

    Control("fault silent\n");
    ex = CountedTransaction(port, 2, 1, 0, 0, 1, 1, 0, 0.3);
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
}

TEST_F(Pty, LateReplyInTheDeviceBufferIsNotTakenForTheNextOne) {
    QtSerialPort port;
    Control("slow 0.3\n");
    Control("fault slow\n");
    Exchange ex = CountedTransaction(port, 2, 18, 0, 0, 1, 8, 0, 0.1);
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    WaitSeconds(0.5); // the late position reply lands while the port is closed
    Control("fault none\n");
    ex = CountedTransaction(port, 2, 16, 0, 0, 1, 5, 0);
    EXPECT_EQ(Module1::StringaHex(ex.reply), " FC 42 10 21 90");
}

TEST_F(Pty, VanishedDeviceIsReportedOnceWithoutBurningCpu) {
    QtSerialPort port;
    port.setPortNumber(1);
    port.setSettings("9600,N,8,1");
    ASSERT_TRUE(port.open()) << port.errorText();
    QSignalSpy lost(&port, &SerialPort::linkLost);

    sim.write("vanish\n");
    EXPECT_EQ(WaitForBytes(port, 1, 5.0), WaitEnd::LinkLost);
    EXPECT_FALSE(port.isOpen());
    double before = CpuSeconds();
    WaitSeconds(1.0); // events keep flowing: a repeating error would show here
    double used = CpuSeconds() - before;
    EXPECT_LT(used, 0.05) << "CPU seconds used in the second after the loss";
    EXPECT_EQ(lost.count(), 1);
    // The device is gone (its link with it; other COM1 candidates may still exist here).
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/com1"));

    Control("restore\n");
    ASSERT_TRUE(port.open()) << port.errorText();
    ASSERT_TRUE(port.write(BytesOfHexText("FC 21 01 E1")));
    EXPECT_EQ(WaitForBytes(port, 1, 2.0), WaitEnd::Ready);
    EXPECT_EQ(Module1::StringaHex(port.readAll()), " 06");
}

} // namespace
