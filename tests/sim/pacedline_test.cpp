// The paced line in simulated time: bytes take their line time both ways, and the line is half
// duplex. The clock is driven by hand, so nothing here depends on the machine's speed.
#include "drivebus.h"
#include "pacedline.h"
#include "protocol/frame.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

std::string B(const std::string& hex) {
    return BytesOfHexText(hex);
}

class Line : public ::testing::Test {
  protected:
    void SetUp() override {
        bus.setClock([this] { return clock; });
        line.setBaud(10000); // a byte takes 1 ms
    }
    // What the program has received once the line has reached `ms` milliseconds.
    std::string At(double ms) {
        clock = t0 + ms / 1000.0;
        return Module1::StringaHex(line.output(clock));
    }
    void Write(double ms, const std::string& bytes) {
        clock = t0 + ms / 1000.0;
        line.write(bytes, clock);
    }

    const double t0 = 100.0;
    double clock = t0;
    DriveBus bus;
    PacedLine line{bus};
};

const std::string Reset1 = B("FC 21 01 E1");
const std::string Position2 = BuildFrame(2, B("12"));
const std::string PositionReply2 = " FC A2 12 00 00 00 00 4F";
const std::string Endless2 = BuildFrame(2, B("32 00"));

TEST_F(Line, AFrameTakesItsLineTimeAndTheReplyFollowsTheTurnaround) {
    Write(0, Reset1);
    EXPECT_EQ(At(3.9), "");
    EXPECT_TRUE(bus.frames().empty()) << "the drive acted before the frame's last byte arrived";
    EXPECT_EQ(At(4.1), "");
    EXPECT_EQ(bus.frames().size(), 1u);
    // The ACK goes on the line 2 ms after the frame, and takes 1 ms itself.
    EXPECT_EQ(At(6.9), "");
    EXPECT_EQ(At(7.1), " 06");
    // A read reply is paced byte by byte: the frame ends at 12 ms, the reply runs from 14 to 22.
    Write(8, Position2);
    EXPECT_EQ(At(18.1), " FC A2 12 00");
    EXPECT_EQ(At(22.1), " 00 00 00 4F");
    EXPECT_EQ(bus.frames().size(), 2u);
    EXPECT_TRUE(std::isinf(line.nextEvent()));
    EXPECT_EQ(line.collisions(), 0);

    // A slower drive.
    line.setTurnaroundSeconds(0.005);
    Write(30, Position2);
    EXPECT_EQ(At(38.9), "");
    EXPECT_EQ(At(60), PositionReply2);
}

TEST_F(Line, AFrameWrittenDuringAReplyGarblesBothAndIsCounted) {
    // Written together: the second frame is still on the line when the reply to the first starts.
    Write(0, Position2 + Endless2);
    const std::string garbled = At(50);
    EXPECT_EQ(garbled.size(), PositionReply2.size());
    EXPECT_NE(garbled, PositionReply2);
    EXPECT_EQ(line.collisions(), 1);
    EXPECT_EQ(bus.frames().size(), 1u) << "the garbled frame reached a drive";
    EXPECT_FALSE(bus.moving(2));

    // Written in the middle of a reply already on the line.
    Write(100, Position2);
    EXPECT_EQ(At(107.5), " FC");
    Write(107.5, Endless2);
    EXPECT_NE(At(150), " A2 12 00 00 00 00 4F");
    EXPECT_EQ(line.collisions(), 2);
    EXPECT_FALSE(bus.moving(2));

    // A late reply starts while a frame the program wrote after its bound is still on the line.
    bus.setFault(DriveBus::Fault::Slow);
    bus.setFaultOnly(B("12"));
    bus.setSlowSeconds(0.010);
    Write(200, Position2); // ends at 204: the reply is due from 216
    Write(214, Endless2);  // on the line from 214 to 219
    EXPECT_NE(At(250), PositionReply2);
    EXPECT_EQ(line.collisions(), 3);
    EXPECT_FALSE(bus.moving(2));

    // The same frame on a quiet line is carried out: the line recovers after a collision.
    Write(300, Endless2);
    EXPECT_EQ(At(350), " 06");
    EXPECT_TRUE(bus.moving(2));
    EXPECT_EQ(line.collisions(), 3);
}

TEST_F(Line, BurstsHandOverEverythingDueAtTheLatencyTimer) {
    line.setBurstSeconds(0.016);
    Write(0, Position2); // reply bytes arrive from 7 to 14 ms, handed over at the 16 ms tick
    EXPECT_EQ(At(15.9), "");
    EXPECT_NEAR(line.nextEvent(), t0 + 0.016, 1e-9);
    EXPECT_EQ(At(16.1), PositionReply2); // a fast read comes back whole
    Write(20, Reset1);                   // arrives at 27 ms: the next tick is 32 ms
    EXPECT_EQ(At(31.9), "");
    EXPECT_EQ(At(32.1), " 06");
    // The device goes away: nothing on the line survives.
    Write(40, Reset1);
    line.clear();
    EXPECT_EQ(At(100), "");
    EXPECT_EQ(bus.frames().size(), 2u);
}

} // namespace
