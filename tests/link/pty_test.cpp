// The real serial port class against kmd-sim on a pseudo-terminal.
#include "kmdsim_process.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "protocol/frame.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <ctime>
#include <gtest/gtest.h>

namespace {

std::string Reply(DriveLine& line) {
    SerialPort& port = line.port();
    EXPECT_TRUE(port.write(BytesOfHexText("FC 21 01 E1")));
    EXPECT_EQ(line.waitForBytes(1, 2.0), WaitEnd::Ready);
    return Module1::StringaHex(port.readAll());
}

TEST(Pty, TransactionsLateRepliesAndAVanishingDevice) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort port;
    DriveLine line(port);
    const LineTarget com1;
    port.setPortNumber(1);
    port.setSettings("9600,N,8,1");
    ASSERT_TRUE(port.open()) << port.errorText();
    EXPECT_EQ(port.deviceName(), "./com1");
    EXPECT_EQ(Reply(line), " 06");
    port.close();

    // The main window's transaction, end to end, with the byte time of the line.
    ASSERT_TRUE(sim.control("analog 2 1010"));
    Exchange ex = line.counted(com1, 2, 210, 0, 0, 1, 6, 0);
    EXPECT_EQ(ex.outcome, Outcome::Reply);
    EXPECT_EQ(Module1::StringaHex(ex.reply), " FC 62 D2 03 F2 DA");
    EXPECT_FALSE(port.isOpen());

    // A late reply lands in the device buffer while the port is closed: not taken for the next.
    ASSERT_TRUE(sim.control("slow 0.3"));
    ASSERT_TRUE(sim.control("fault slow"));
    EXPECT_EQ(line.counted(com1, 2, 18, 0, 0, 1, 8, 0, 0.1).outcome, Outcome::Timeout);
    line.waitSeconds(0.5);
    ASSERT_TRUE(sim.control("fault none"));
    EXPECT_EQ(Module1::StringaHex(line.counted(com1, 2, 16, 0, 0, 1, 5, 0).reply), " FC 42 10 21 90");

    // The device vanishes: reported once, without a busy loop, and the port opens once it is back.
    ASSERT_TRUE(port.open()) << port.errorText();
    QSignalSpy lost(&port, &SerialPort::linkLost);
    sim.post("vanish");
    EXPECT_EQ(line.waitForBytes(1, 5.0), WaitEnd::LinkLost);
    EXPECT_FALSE(port.isOpen());
    const std::clock_t before = std::clock(); // processor time, not the wall clock
    line.waitSeconds(1.0);                    // events keep flowing: a repeating error would show here
    EXPECT_LT(std::clock() - before, CLOCKS_PER_SEC / 20)
        << "processor time used in the second after the loss";
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(QFileInfo::exists(sim.dir() + "/com1"));
    ASSERT_TRUE(sim.control("restore"));
    ASSERT_TRUE(port.open()) << port.errorText();
    EXPECT_EQ(Reply(line), " 06");
}

// A broadcast is closed the moment it is written: it must still reach every drive.
TEST(Pty, BroadcastsReachEveryDriveThroughTheRealPort) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort port;
    DriveLine line(port);
    const LineTarget com1;
    auto status = [&](int add) {
        std::string r = line.counted(com1, add, 171, 0, 0, 1, 5, 0).reply;
        return r.size() == 5 ? r[3] & 1 : -1;
    };
    EXPECT_EQ(Module1::StringaHex(line.counted(com1, 2, 50, 0, 0, 2, 1, 0).reply), " 06");
    EXPECT_EQ(status(2), 1);                                                          // in endless motion
    EXPECT_EQ(line.counted(com1, 99, 17, 0, 0, 1, 1, 0).outcome, Outcome::Broadcast); // Stop
    EXPECT_EQ(status(2), 0);

    EXPECT_EQ(line.counted(com1, 99, 174, 12345, 0, 5, 1, 0).outcome, Outcome::Broadcast);
    for (int add = 0; add <= 3; ++add)
        EXPECT_EQ(line.counted(com1, add, 18, 0, 0, 1, 8, 0).reply.substr(3, 4),
                  std::string("\x00\x00\x30\x39", 4))
            << "drive " << add;
}

} // namespace
