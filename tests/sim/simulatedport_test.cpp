// The in-process port behaves as a real port on the simulated line (its vanishing is proven by the
// transaction tests).
#include "drivebus.h"
#include "link/buswait.h"
#include "link/frame.h"
#include "simulatedport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class SimPort : public ::testing::Test {
  protected:
    void SetUp() override {
        WaitScale = 1.0;
        ASSERT_TRUE(port.open());
    }
    DriveBus bus;
    SimulatedPort port{bus};
    const std::string reset = BytesOfHexText("FC 21 01 E1");
};

TEST_F(SimPort, RepliesArriveThroughTheEventLoopAndACloseDropsThoseOnTheirWay) {
    QSignalSpy ready(&port, &SerialPort::readyRead);
    ASSERT_TRUE(port.write(reset));
    EXPECT_EQ(port.bytesWaiting(), 0); // not before the program waits
    EXPECT_EQ(WaitForBytes(port, 1, 1.0), WaitEnd::Ready);
    EXPECT_EQ(Module1::StringaHex(port.readAll()), " 06");

    port.setReplyPieces(3, 0.01);
    ASSERT_TRUE(port.write(BytesOfHexText("FC 21 12 D0")));
    EXPECT_EQ(WaitForBytes(port, 8, 1.0), WaitEnd::Ready);
    EXPECT_EQ(Module1::StringaHex(port.readAll()), " FC A1 12 00 00 00 00 50");
    EXPECT_EQ(ready.count(), 4);

    bus.setFault(DriveBus::Fault::Slow);
    bus.setSlowSeconds(0.05);
    ASSERT_TRUE(port.write(reset));
    port.close();
    ASSERT_TRUE(port.open());
    EXPECT_EQ(WaitForBytes(port, 1, 0.2), WaitEnd::Deadline);
}

} // namespace
