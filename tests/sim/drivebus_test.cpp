// The simulated drives answer as KMD drives do on the line.
#include "drivebus.h"
#include "link/frame.h"

#include <gtest/gtest.h>

namespace {

std::string H(const std::string& bytes) {
    return Module1::StringaHex(bytes);
}
std::string B(const std::string& hex) {
    return BytesOfHexText(hex);
}
// The frame a program sends: code and value bytes to one drive (or 99).
std::string Frame(int address, const std::string& dataHex) {
    return BuildFrame(address, B(dataHex));
}

class Bus : public ::testing::Test {
  protected:
    void SetUp() override {
        bus.setClock([this] { return clock; });
    }
    // The replies' bytes, concatenated.
    std::string Send(const std::string& frame) {
        std::string out;
        for (const DriveBus::Reply& r : bus.receive(frame))
            out += r.bytes;
        return out;
    }
    std::string Ask(int address, const std::string& dataHex) { return H(Send(Frame(address, dataHex))); }
    // Sends each command to one drive in turn and checks each reply: command, reply, command...
    void Expect(int address, std::initializer_list<const char*> steps) {
        for (auto it = steps.begin(); it != steps.end() && it + 1 != steps.end(); it += 2)
            EXPECT_EQ(Ask(address, *it), it[1]) << *it;
    }

    double clock = 100.0;
    DriveBus bus;
};

TEST_F(Bus, EachCommandGetsItsReply) {
    bus.setInputs(1, 0xA5);
    bus.setAnalogInput(1, 1010);
    bus.setStatusBits(1, 0x80);
    Expect(1, {"01", " 06", "A8 0B B8", " 06", "10", " FC 41 10 21 91", "13", " FC 41 13 A5 0A", "14",
               " FC 41 14 03 AB", "AB", " FC 41 AB 80 97", "AC", " 80", "D2", " FC 61 D2 03 F2 DB"});
    Expect(2, {"EE 02", " 06"});
    Expect(3, {"A0 01 00 00 03 E8", " 06"});
    // Refused: no such command, a value too short, programs beyond 16.
    Expect(0, {"12", " FC A0 12 00 00 00 00 51", "03", " 15", "A8 0B", " 15", "F0 11", " 15", "F2 FF", " 15",
               "F3 11", " 15", "F0 10", " 06"});
    EXPECT_EQ(H(bus.frames()[0]), " FC 21 01 E1");
    EXPECT_EQ(H(bus.frames()[1]), " FC 61 A8 0B B8 37");
    bus.setAddresses({31});
    EXPECT_EQ(Ask(31, "10"), " FC 5F 10 21 73");
    bus.setAnalogInput(1, 70000); // the input saturates at 16 bits
    EXPECT_EQ(bus.analogInput(1), 0xFFFF);
}

TEST_F(Bus, NoDriveAnswersTheBroadcastOrAnAbsentAddress) {
    EXPECT_EQ(Send(B("FC 00 01 11 F1")), ""); // stop to switchall
    EXPECT_EQ(Send(Frame(99, "30 00 00 03 E8")), "");
    EXPECT_EQ(Ask(7, "01"), ""); // nobody at address 7
    EXPECT_EQ(bus.frames().size(), 3u);
    clock += 1;
    for (int a : {0, 1, 2, 3})
        EXPECT_EQ(bus.position(a), 1000) << a; // the broadcast moved every drive
    bus.setAddresses({7});
    EXPECT_EQ(Ask(7, "01"), " 06");
}

TEST_F(Bus, FramesMayComeInPiecesTogetherOrDamaged) {
    std::string reset = B("FC 21 01 E1");
    for (size_t i = 0; i + 1 < reset.size(); ++i)
        EXPECT_EQ(Send(reset.substr(i, 1)), "");
    EXPECT_EQ(H(Send(reset.substr(3))), " 06");

    // Two frames in one write get two replies, in order.
    std::vector<DriveBus::Reply> two = bus.receive(Frame(1, "14") + Frame(2, "01"));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(H(two[0].bytes), " FC 41 14 03 AB");
    EXPECT_EQ(H(two[1].bytes), " 06");

    // Noise before a frame is skipped; a wrong checksum gets no reply and is not taken as a frame.
    size_t frames = bus.frames().size();
    EXPECT_EQ(H(Send(B("00 13 55") + reset)), " 06");
    EXPECT_EQ(Send(B("FC 21 01 E2")), "");
    EXPECT_EQ(Send(B("FC 00 00 11")), ""); // a broadcast of no bytes is no frame
    EXPECT_EQ(bus.frames().size(), frames + 1);
    EXPECT_EQ(H(Send(reset)), " 06");

    // A stray start byte holds the next frame back until more bytes come; none is lost.
    EXPECT_EQ(Send(B("FC") + reset), "");
    EXPECT_EQ(H(Send(reset + reset)), " 06 06 06");

    // A frame whose rest never comes is forgotten after the inter-byte timeout.
    EXPECT_EQ(Send(B("FC A3 30 FF")), "");
    clock += DriveBus::FrameGapSeconds + 0.1;
    EXPECT_EQ(H(Send(reset)), " 06");
}

TEST_F(Bus, ProgramsAreStoredReadBackAndErased) {
    // While a program is written, commands are stored: not run, not answered as reads.
    Expect(1, {"F9", " 06", "F2 03", " 15", "F0 03", " 06", "A8 0F A0", " 06", "30 00 01 00 00", " 06", "12",
               " 06", "F1", " 06"});
    EXPECT_FALSE(bus.moving(1));
    EXPECT_EQ(bus.position(1), 0);
    ASSERT_EQ(bus.program(1, 3).size(), 3u);
    EXPECT_EQ(H(bus.program(1, 3)[0]), " A8 0F A0");

    // Read back: every command's bytes and one more byte after them.
    std::string all = Send(Frame(1, "F2 03"));
    ASSERT_EQ(all.size(), 3u + 5 + 1 + 1);
    EXPECT_EQ(H(all.substr(0, 9)), " A8 0F A0 30 00 01 00 00 12");
    EXPECT_EQ(Ask(2, "F2 03"), " 15"); // each drive has its own memory

    // Writing a program again starts it afresh.
    Expect(1, {"F0 03", " 06", "11", " 06", "F1", " 06"});
    EXPECT_EQ(H(Send(Frame(1, "F2 03")).substr(0, 1)), " 11");
    EXPECT_EQ(bus.program(1, 3).size(), 1u);

    bus.setProgram(1, 16, {B("F4 05"), B("F5")});
    Expect(1, {"F3 03", " 06", "F2 03", " 15"});
    EXPECT_EQ(bus.program(1, 16).size(), 2u);
    Expect(1, {"F9", " 06", "F2 10", " 15"});
}

TEST_F(Bus, MovesTakeTimeAndSetStatusBitZero) {
    // 48 absolute to 100000: 20 ms + 0.5 s.
    EXPECT_EQ(Ask(2, "30 00 01 86 A0"), " 06");
    EXPECT_TRUE(bus.moving(2));
    EXPECT_EQ(Ask(2, "AC"), " 01");
    clock += 0.26;
    int32_t mid = bus.position(2);
    EXPECT_GT(mid, 40000);
    EXPECT_LT(mid, 60000);
    clock += 0.26;
    Expect(2, {"AC", " 00", "12", " FC A2 12 00 01 86 A0 28"});

    // 49 relative -101000 gives -1000, read as FF FF FC 18.
    EXPECT_EQ(Ask(2, "31 FF FE 75 78"), " 06");
    clock += 1;
    EXPECT_EQ(Ask(2, "12"), " FC A2 12 FF FF FC 18 3D");

    // 166 goes to zero; 174 and 211 set the register without moving.
    EXPECT_EQ(Ask(2, "A6"), " 06");
    clock += 1;
    EXPECT_EQ(bus.position(2), 0);
    EXPECT_EQ(Ask(2, "AE 00 00 64 00"), " 06");
    EXPECT_EQ(bus.position(2), 25600);
    EXPECT_FALSE(bus.moving(2));
    EXPECT_EQ(Ask(2, "D3 FF FF FF FF"), " 06");
    EXPECT_EQ(bus.position(2), -1);

    // Stop freezes a running move; endless motion runs until stopped.
    EXPECT_EQ(Ask(2, "30 00 10 00 00"), " 06");
    clock += 0.1;
    EXPECT_EQ(Ask(2, "11"), " 06");
    int32_t stopped = bus.position(2);
    EXPECT_GT(stopped, 0);
    clock += 100;
    EXPECT_EQ(bus.position(2), stopped);
    EXPECT_EQ(Ask(2, "32 00"), " 06");
    clock += 100;
    EXPECT_TRUE(bus.moving(2));
    EXPECT_EQ(Ask(2, "11"), " 06");
    EXPECT_FALSE(bus.moving(2));

    // A loaded quote runs on start.
    EXPECT_EQ(Ask(2, "B6 00 00 00 10"), " 06");
    EXPECT_EQ(bus.position(2), stopped);
    EXPECT_EQ(Ask(2, "02"), " 06");
    clock += 1;
    EXPECT_EQ(bus.position(2), 16);
}

TEST_F(Bus, FaultModes) {
    bus.setFault(DriveBus::Fault::Silent);
    EXPECT_EQ(Ask(1, "30 00 00 03 E8"), "");
    clock += 1;
    EXPECT_EQ(bus.position(1), 0); // a drive that heard nothing did nothing
    EXPECT_EQ(bus.frames().size(), 1u);

    bus.setFault(DriveBus::Fault::NakAll);
    Expect(1, {"10", " 15", "F9", " 15"});
    EXPECT_EQ(Send(B("FC 00 01 11 F1")), "");

    bus.setFault(DriveBus::Fault::Garbage);
    for (int i = 0; i < 50; ++i) {
        std::string ack = Send(Frame(1, "01"));
        ASSERT_TRUE(ack.size() == 1 && ack[0] != '\x06' && ack[0] != '\x15') << H(ack);
    }
    std::string position = Send(Frame(1, "12"));
    EXPECT_EQ(position.size(), 8u);
    EXPECT_NE(H(position), " FC A1 12 00 00 00 00 50");

    bus.setFault(DriveBus::Fault::Slow);
    bus.setSlowSeconds(1.5);
    std::vector<DriveBus::Reply> slow = bus.receive(Frame(1, "01"));
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_DOUBLE_EQ(slow[0].delaySeconds, 1.5);

    std::vector<DriveBus::Fault> seen;
    int id = bus.addFaultListener([&](DriveBus::Fault f) { seen.push_back(f); });
    bus.setFault(DriveBus::Fault::Vanished);
    EXPECT_EQ(Ask(1, "01"), "");
    bus.setFault(DriveBus::Fault::Vanished); // no change, no call
    bus.removeFaultListener(id);
    bus.setFault(DriveBus::Fault::None);
    EXPECT_EQ(seen, std::vector<DriveBus::Fault>{DriveBus::Fault::Vanished});
    EXPECT_EQ(Ask(1, "01"), " 06");
}

TEST_F(Bus, SerialDelaySetsTheReplyTime) {
    EXPECT_EQ(Ask(1, "28 64"), " 06"); // 100 x 512 us
    std::vector<DriveBus::Reply> r = bus.receive(Frame(1, "11"));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_NEAR(r[0].delaySeconds, 0.0512, 1e-9);
    bus.receive(Frame(1, "01")); // reset restores the immediate answer
    EXPECT_EQ(bus.receive(Frame(1, "01")).at(0).delaySeconds, 0.0);
}

} // namespace
