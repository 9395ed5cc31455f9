// kmd-sim's line and its one-command faults, through the pseudo-terminal as a program sees them.
// Nothing here measures time: what shows the pacing is what the drives did and what they counted.
#include "kmdsim_process.h"
#include "protocol/frame.h"

#include <QDeadlineTimer>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string B(const std::string& hex) {
    return BytesOfHexText(hex);
}

// The pseudo-terminal opened raw, as a serial port is.
class Pty {
  public:
    Pty() {
        fd_ = ::open("./com1", O_RDWR | O_NOCTTY);
        termios tio{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::cfsetspeed(&tio, B9600);
            ::tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~Pty() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void write(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Reads until `count` bytes came (or a generous bound passed); `reads` counts the read calls.
    std::string read(size_t count, int* reads = nullptr) {
        std::string in;
        QDeadlineTimer deadline(5000);
        while (in.size() < count && !deadline.hasExpired()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
            char buf[256];
            ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            in.append(buf, static_cast<size_t>(n));
            if (reads) ++*reads;
        }
        return Module1::StringaHex(in);
    }

  private:
    int fd_ = -1;
};

const std::string Position2 = BuildFrame(2, B("12"));
const std::string PositionReply2 = " FC A2 12 00 00 00 00 4F";
const std::string Endless2 = BuildFrame(2, B("32 00"));

TEST(KmdSimLine, AFrameWrittenWhileAReplyIsOnTheLineIsCountedAndNotCarriedOut) {
    KmdSimProcess sim({"--com", "1", "--line-time", "--burst", "16", "--fault", "nak", "--fault-only", "F1"});
    ASSERT_TRUE(sim.ready());
    Pty pty;
    ASSERT_TRUE(pty.ok());

    // Through the adapter's bursts a read reply (8 ms on the line) comes in one or two pieces,
    // not byte by byte.
    int reads = 0;
    pty.write(Position2);
    EXPECT_EQ(pty.read(8, &reads), PositionReply2);
    EXPECT_LE(reads, 2);

    // Two frames in one write: the second is on the line when the drive answers the first.
    pty.write(Position2 + Endless2);
    EXPECT_NE(pty.read(8), PositionReply2);
    QStringList state, collisions;
    ASSERT_TRUE(sim.control("state", &state) && sim.control("collisions", &collisions));
    EXPECT_EQ(state.filter("drive 2"), QStringList{"drive 2: position 0, status 0, analog 0"}); // not moving
    EXPECT_EQ(state.filter("collisions"), QStringList{"line: 1 collisions"});
    EXPECT_EQ(collisions, QStringList{"collisions 1"});

    // The fault given at start hits F1 alone.
    pty.write(BuildFrame(2, B("F1")));
    EXPECT_EQ(pty.read(1), " 15");
    pty.write(BuildFrame(2, B("11")));
    EXPECT_EQ(pty.read(1), " 06");
}

// What a fault hits is proven on the drive bus; here, that kmd-sim's control line takes the
// bytes and that on the unpaced line a late answer lets the next frame's answer pass it.
TEST(KmdSimLine, AFaultLimitedToOneCommandThroughTheControlLine) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    Pty pty;
    ASSERT_TRUE(pty.ok());
    const std::string reset = BuildFrame(1, B("01"));
    ASSERT_TRUE(sim.control("fault nak 14"));
    pty.write(reset + BuildFrame(1, B("14")) + reset);
    EXPECT_EQ(pty.read(3), " 06 15 06");

    ASSERT_TRUE(sim.control("slow 0.3"));
    ASSERT_TRUE(sim.control("fault slow 12"));
    pty.write(Position2 + BuildFrame(2, B("14")));
    EXPECT_EQ(pty.read(13), " FC 42 14 03 AA" + PositionReply2);

    // Bad bytes, or bytes for a fault that hits the whole line, are refused.
    EXPECT_FALSE(sim.control("fault nak F1G"));
    EXPECT_FALSE(sim.control("fault vanish F1"));
    EXPECT_FALSE(sim.control("fault none 12"));
}

// A reply still due when the device goes away goes with it: the device served again does not
// hand it to the next program as the answer to its frame.
TEST(KmdSimLine, AReplyDueWhenTheDeviceVanishesIsLostWithIt) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    ASSERT_TRUE(sim.control("slow 0.2"));
    ASSERT_TRUE(sim.control("fault slow 12"));
    {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        pty.write(Position2);
        QStringList frames;
        QDeadlineTimer deadline(5000);
        while (!frames.contains("frame" + QString::fromStdString(Module1::StringaHex(Position2))) &&
               !deadline.hasExpired())
            ASSERT_TRUE(sim.control("frames", &frames));
        ASSERT_FALSE(deadline.hasExpired()) << "kmd-sim did not take the frame";
    }
    ASSERT_TRUE(sim.control("vanish"));
    ASSERT_TRUE(sim.control("restore"));
    QThread::msleep(300); // the slow reply fell due meanwhile
    Pty pty;
    ASSERT_TRUE(pty.ok());
    pty.write(BuildFrame(1, B("01")));
    EXPECT_EQ(pty.read(1), " 06");
}

} // namespace
