// The simulated drives answer as KMD drives do on the line.
#include "drivebus.h"
#include "protocol/frame.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

std::string B(const std::string& hex) {
    return BytesOfHexText(hex);
}

class Bus : public ::testing::Test {
  protected:
    void SetUp() override {
        bus.setClock([this] { return clock; });
    }
    // The replies' bytes as hex text, concatenated.
    std::string Send(const std::string& bytes) {
        std::string out;
        for (const DriveBus::Reply& r : bus.receive(bytes))
            out += r.bytes;
        return Module1::StringaHex(out);
    }
    std::string Ask(int address, const std::string& dataHex) { return Send(BuildFrame(address, B(dataHex))); }
    // Sends each command to one drive in turn and checks each reply: command, reply, command...
    void Expect(int address, const std::vector<const char*>& steps) {
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
    Expect(1, {"01",
               " 06",
               "A8 0B B8",
               " 06",
               "10",
               " FC 41 10 21 91",
               "13",
               " FC 41 13 A5 0A",
               "14",
               " FC 41 14 03 AB",
               "AB",
               " FC 41 AB 80 97",
               "AC",
               " 80",
               "D2",
               " FC 61 D2 03 F2 DB",
               "EE 02",
               " 06",
               "A0 01 00 00 03 E8",
               " 06"});
    // Refused: no such command, a value too short, programs beyond 16.
    Expect(0, {"12", " FC A0 12 00 00 00 00 51", "03", " 15", "A8 0B", " 15", "F0 11", " 15", "F2 FF", " 15",
               "F3 11", " 15", "F0 10", " 06"});
    bus.setAddresses({31});
    EXPECT_EQ(Ask(31, "10"), " FC 5F 10 21 73");
    EXPECT_EQ(Ask(1, "01"), "");              // nobody at address 1 any more
    EXPECT_EQ(Send(B("FC 00 01 11 F1")), ""); // nobody answers a broadcast (the pty tests: all obey it)
}

TEST_F(Bus, FramesMayComeInPiecesTogetherOrDamaged) {
    const std::string reset = B("FC 21 01 E1");
    for (size_t i = 0; i + 1 < reset.size(); ++i)
        EXPECT_EQ(Send(reset.substr(i, 1)), "");
    EXPECT_EQ(Send(reset.substr(3)), " 06");
    EXPECT_EQ(Send(BuildFrame(1, B("14")) + BuildFrame(2, B("01"))), " FC 41 14 03 AB 06"); // in order

    // Noise before a frame is skipped; a wrong checksum or an empty broadcast is no frame.
    const size_t frames = bus.frames().size();
    EXPECT_EQ(Send(B("00 13 55") + reset), " 06");
    EXPECT_EQ(Send(B("FC 21 01 E2")), "");
    EXPECT_EQ(Send(B("FC 00 00 11")), "");
    EXPECT_EQ(bus.frames().size(), frames + 1);

    // A stray start byte holds the next frame back until more bytes come; none is lost.
    EXPECT_EQ(Send(B("FC") + reset), "");
    EXPECT_EQ(Send(reset + reset), " 06 06 06");

    // A frame whose rest never comes is forgotten after the inter-byte timeout.
    EXPECT_EQ(Send(B("FC A3 30 FF")), "");
    clock += DriveBus::FrameGapSeconds + 0.1;
    EXPECT_EQ(Send(reset), " 06");
}

TEST_F(Bus, ProgramsAreStoredReadBackAndErased) {
    // While a program is written, commands are stored: not run, not answered as reads.
    Expect(1, {"F9", " 06", "F2 03", " 15", "F0 03", " 06", "A8 0F A0", " 06", "30 00 01 00 00", " 06", "12",
               " 06", "F1", " 06"});
    EXPECT_FALSE(bus.moving(1));
    // Read back: every command's bytes and one more byte after them.
    const std::string all = Ask(1, "F2 03");
    ASSERT_EQ(all.size(), 10u * 3);
    EXPECT_EQ(all.substr(0, 27), " A8 0F A0 30 00 01 00 00 12");
    EXPECT_EQ(Ask(2, "F2 03"), " 15"); // each drive has its own memory

    // Writing a program again starts it afresh; erase-all empties every program.
    Expect(1, {"F0 03", " 06", "11", " 06", "F1", " 06"});
    EXPECT_EQ(bus.program(1, 3), std::vector<std::string>{B("11")});
    bus.setProgram(1, 16, {B("F4 05"), B("F5")});
    Expect(1, {"F3 03", " 06", "F2 03", " 15", "F9", " 06", "F2 10", " 15"});
}

TEST_F(Bus, MovesTakeTimeAndSetStatusBitZero) {
    // 48 absolute to 100000 takes 20 ms + 0.5 s; status bit 0 is set while it runs.
    Expect(2, {"30 00 01 86 A0", " 06", "AC", " 01"});
    clock += 0.26;
    EXPECT_TRUE(bus.position(2) > 40000 && bus.position(2) < 60000) << bus.position(2);
    clock += 0.26;
    Expect(2, {"AC", " 00", "12", " FC A2 12 00 01 86 A0 28"});

    // Command, seconds that pass, position then: relative, to zero, load a quote (nothing moves)
    // and start it, set the register (174, 211).
    using Step = std::tuple<const char*, double, int32_t>;
    for (auto [command, seconds, position] :
         {Step{"31 FF FE 75 78", 1, -1000}, Step{"A6", 1, 0}, Step{"B6 00 00 00 10", 0, 0}, Step{"02", 1, 16},
          Step{"AE 00 00 64 00", 0, 25600}, Step{"D3 FF FF FF FF", 0, -1}}) {
        EXPECT_EQ(Ask(2, command), " 06");
        clock += seconds;
        EXPECT_EQ(bus.position(2), position) << command;
    }
    EXPECT_EQ(Ask(2, "12"), " FC A2 12 FF FF FF FF 53");
}

// A fault limited to one command hits only the frames that begin with its bytes.
TEST_F(Bus, AFaultMayHitOneCommandOnly) {
    bus.setProgram(1, 3, {B("11")});
    bus.setProgram(1, 4, {B("11")});
    struct Case {
        DriveBus::Fault fault;
        const char* only;
        std::vector<const char*> steps; // command, reply, command, ...
    };
    using F = DriveBus::Fault;
    const Case cases[] = {
        // One program's read goes unanswered; every other read and command is answered.
        {F::Silent, "F2 03", {"F2 03", "", "F2 04", " 11 EE", "F2 05", " 15", "01", " 06"}},
        // One program line refused alone: it is not stored, the lines around it are.
        {F::NakAll,
         "A8 0F A0",
         {"F0 05", " 06", "A8 0B B8", " 06", "A8 0F A0", " 15", "11", " 06", "F1", " 06"}},
        {F::CutShort, "10", {"10", " FC 41 10 21", "14", " FC 41 14 03 AB"}},
    };
    for (const Case& c : cases) {
        bus.setFault(c.fault);
        bus.setFaultOnly(B(c.only));
        Expect(1, c.steps);
    }
    EXPECT_EQ(bus.program(1, 5), (std::vector<std::string>{B("A8 0B B8"), B("11")}));

    // Garbage for one read: its reply is not the drive's, the other read's is.
    bus.setFault(F::Garbage);
    bus.setFaultOnly(B("10"));
    EXPECT_NE(Ask(1, "10"), " FC 41 10 21 91");
    EXPECT_EQ(Ask(1, "14"), " FC 41 14 03 AB");

    // A late answer to F0 only, later than the program's 1 s bound.
    bus.setFault(F::Slow);
    bus.setFaultOnly(B("F0"));
    bus.setSlowSeconds(1.5);
    EXPECT_EQ(bus.receive(BuildFrame(1, B("F0 07"))).at(0).delaySeconds, 1.5);
    EXPECT_EQ(bus.receive(BuildFrame(1, B("F1"))).at(0).delaySeconds, 0.0);

    // Without bytes the fault hits every frame again.
    bus.setFault(F::Silent);
    bus.setFaultOnly("");
    Expect(1, {"01", "", "F2 04", ""});

    // Only the end of a program is refused: the drive goes on storing lines.
    bus.setFault(F::NakAll);
    bus.setFaultOnly(B("F1"));
    Expect(1, {"F0 06", " 06", "F1", " 15", "01", " 06"});
    EXPECT_EQ(bus.program(1, 6), (std::vector<std::string>{B("01")}));
}

// The fault modes are proven through kmd-sim in the fault tests.
TEST_F(Bus, SerialDelaySetsTheReplyTime) {
    Expect(1, {"28 64", " 06"}); // serial delay 100 x 512 us
    EXPECT_NEAR(bus.receive(BuildFrame(1, B("11"))).at(0).delaySeconds, 0.0512, 1e-9);
    bus.receive(BuildFrame(1, B("01"))); // reset restores the immediate answer
    EXPECT_EQ(bus.receive(BuildFrame(1, B("01"))).at(0).delaySeconds, 0.0);
}

} // namespace
