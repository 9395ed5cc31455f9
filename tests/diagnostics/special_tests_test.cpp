#include "diag_support.h"

#include "link/buswait.h"
#include "ui/diagnostics/special_logic.h"
#include "ui/diagnostics/special_tests.h"

using End = SpecialTests::End;

namespace {

int32_t FourByteValue(const std::string& frame) {
    uint32_t v = 0;
    for (int i = 3; i < 7; ++i)
        v = (v << 8) | static_cast<unsigned char>(frame[i]);
    return static_cast<int32_t>(v);
}

} // namespace

using EncoderTest = DiagFixture;

TEST_F(EncoderTest, SendsItsFourCommandStringsOrStopsAtTheFirstSilence) {
    SpecialTests t;
    EXPECT_EQ(t.RunEncoderTest(), End::Done);
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 61 A8 0F A0 4B", " FC 61 C7 03 E8 F0",
                                                     " FC 41 CB 01 F6", " FC 41 32 00 90"}));
    EXPECT_EQ(t.text(), "Text1"); // writes nothing
    EXPECT_FALSE(port->isOpen()); // the line is free for the other windows again

    bus->clearFrames();
    bus->setFault(DriveBus::Fault::Silent);
    EXPECT_EQ(t.RunEncoderTest(), End::Failed);
    EXPECT_EQ(t.text(), "No reply to FC 61 A8 0F A0 4B - test stopped\r\n");
    EXPECT_EQ(bus->frames().size(), 1u);
}

using LoopTest = DiagFixture;

TEST_F(LoopTest, CopiesTheAnalogInputIntoThePositionRegister) {
    bus->setAnalogInput(1, 1010);
    SpecialTests t;
    int sends = 0;
    watchSent([&](int code, const std::string&) {
        if (code == 211 && ++sends == 3) t.requestStop();
    });
    EXPECT_EQ(t.RunLoop(), End::Stopped);
    EXPECT_EQ(bus->position(1), 25600);
    EXPECT_EQ(codes(), (std::vector<int>{18, 210, 211, 18, 210, 211, 18, 210, 211}));
    EXPECT_EQ(framesHex()[2], " FC A1 D3 00 00 64 00 2B");

    // Text1 holds the last repetition only: three lines, then the stop.
    const std::string& s = t.text();
    ASSERT_EQ(s.rfind("POSIZIONE=FC ", 0), 0u) << s;
    size_t an = s.find("\r\nAN-IN=");
    ASSERT_NE(an, std::string::npos);
    EXPECT_EQ(an, std::string("POSIZIONE=").size() + 8 * 3 - 1); // eight reply bytes
    EXPECT_EQ(s.substr(an + 2 + 6 + 9, 5), "03 F2");
    EXPECT_NE(s.find("\r\nvalore= 25600\r\nTest stopped\r\n"), std::string::npos) << s;
}

TEST_F(LoopTest, ZeroInputAndShortRepliesSendPositionZero) {
    SpecialTests t;
    watchSent([&](int code, const std::string&) {
        if (code == 211) t.requestStop();
    });
    EXPECT_EQ(t.RunLoop(), End::Stopped);
    EXPECT_EQ(framesHex().back(), " FC A1 D3 00 00 00 00 8F");

    bus->clearFrames();
    bus->setFault(DriveBus::Fault::NakAll); // one-byte replies
    EXPECT_EQ(t.RunLoop(), End::Stopped);
    EXPECT_EQ(t.text(), "POSIZIONE=15\r\nAN-IN=15\r\nvalore= 0\r\nTest stopped\r\n");
    EXPECT_EQ(framesHex().back(), " FC A1 D3 00 00 00 00 8F");
}

TEST_F(LoopTest, PortThatCannotOpenEndsTheLoopAtOnce) {
    port->setOpenFailure("in use");
    SpecialTests t;
    EXPECT_EQ(t.RunLoop(), End::Failed);
    EXPECT_EQ(t.text(), "POSIZIONE=\r\nCannot open COM1 (sim:com1): in use - test stopped\r\n");
    EXPECT_TRUE(bus->frames().empty());
}

TEST_F(LoopTest, MissingAnalogReplyStopsWithoutSendingAStaleValue) {
    SpecialTests t;
    int frames = 0;
    watchSent([&](int code, const std::string&) {
        // The bus has answered a frame by the time it is reported: 18 gets its reply, 210 none.
        if (code == 18) bus->setFault(DriveBus::Fault::Silent);
        if (++frames > 20) t.requestStop(); // never loop for ever should the drive answer
    });
    EXPECT_EQ(t.RunLoop(), End::Failed);
    EXPECT_EQ(codes(), (std::vector<int>{18, 210}));
    EXPECT_NE(t.text().find("AN-IN=\r\nNo reply to FC 21 D2 10 - test stopped\r\n"), std::string::npos)
        << t.text();
}

using StepTest = DiagFixture;

TEST_F(StepTest, HundredMovesEachAwaitedThenBackToZero) {
    fastMoves();
    SpecialTests t;
    int sentWhileMoving = 0;
    watchSent([&](int code, const std::string&) {
        // Reported once the bus has taken the frame, so only frames that start no move count.
        if ((code == 34 || code == 33) && bus->moving(1)) ++sentWhileMoving;
    });
    std::vector<double> waits;
    WaitRecorder = [&](double s) { waits.push_back(s); };
    EXPECT_EQ(t.RunStepTest(), End::Done);
    WaitRecorder = nullptr;
    EXPECT_EQ(t.text(), "NCicli= 100");
    EXPECT_EQ(sentWhileMoving, 0); // every move ended before the next was set up
    for (int i = 0; i < 200 && bus->moving(1); ++i)
        WaitSeconds(1); // the return to 0 runs on
    EXPECT_EQ(bus->position(1), 0);

    std::vector<std::string> hex = framesHex();
    ASSERT_GE(hex.size(), 2u + 100 * 4 + 1);
    EXPECT_EQ(hex[0], " FC 41 26 04 98");    // resolution 4
    EXPECT_EQ(hex[1], " FC 61 20 07 D0 AB"); // minimum frequency 2000
    EXPECT_EQ(hex.back(), " FC A1 30 00 00 00 00 32");

    // Per move: ramp (one byte), maximum frequency (two), distance (four), then status polls.
    const std::vector<std::string>& frames = bus->frames();
    size_t i = 2;
    int polls = 0;
    for (int move = 0; move < 100; ++move) {
        ASSERT_LT(i + 3, frames.size());
        ASSERT_EQ(hex[i].substr(0, 9), " FC 41 22") << move;
        ASSERT_EQ(hex[i + 1].substr(0, 9), " FC 61 21") << move;
        ASSERT_EQ(hex[i + 2].substr(0, 9), " FC A1 31") << move;
        const int ramp = static_cast<unsigned char>(frames[i][3]);
        EXPECT_TRUE(ramp >= 5 && ramp <= 9) << ramp;
        const int distance = FourByteValue(frames[i + 2]);
        EXPECT_TRUE(distance % 16 == 0 && distance != 0 && std::abs(distance) <= 51184) << distance;
        i += 3;
        ASSERT_EQ(hex[i], " FC 21 AC 36") << move;
        while (i < frames.size() && hex[i] == " FC 21 AC 36") {
            ++i;
            ++polls;
        }
    }
    EXPECT_EQ(i, frames.size() - 1);
    EXPECT_GT(polls, 100);        // moves take time: the drive was asked again while bit 0 was set
    EXPECT_FALSE(WaitsAborted()); // the program goes on

    // Each command waits at most a second for its byte; each status poll looks after 50 ms and
    // then waits 0.2 s.
    std::vector<double> expected(2, 1.0);
    size_t w = 2;
    for (int move = 0; move < 100 && w < waits.size(); ++move) {
        expected.insert(expected.end(), {1.0, 1.0, 1.0});
        w += 3;
        while (w < waits.size() && waits[w] == 0.05) {
            expected.insert(expected.end(), {0.05, 0.2});
            w += 2;
        }
    }
    expected.push_back(1.0);
    EXPECT_EQ(waits, expected);
}

TEST_F(StepTest, RefusedStatusKeepsPollingTheStartAddressUntilStop) {
    bus->setFault(DriveBus::Fault::NakAll);
    SpecialTests t;
    int polls = 0;
    watchSent([&](int code, const std::string&) {
        if (code == 38) Module1::Indirizzo = 2; // the operator picks another drive meanwhile
        if (code == 172 && ++polls == 5) t.requestStop();
    });
    EXPECT_EQ(t.RunStepTest(), End::Stopped);
    EXPECT_EQ(polls, 5);
    EXPECT_EQ(codes(), (std::vector<int>{38, 32, 34, 33, 49, 172, 172, 172, 172, 172}));
    for (const std::string& frame : bus->frames())
        EXPECT_EQ(static_cast<unsigned char>(frame[1]) & 31, 1) << Hex(frame); // all to drive 1
    EXPECT_EQ(t.text(), "Test stopped\r\n");
}

TEST_F(StepTest, DriveFallingSilentStopsTheTestAndKeepsTheCount) {
    fastMoves();
    SpecialTests t;
    int moves = 0;
    watchSent([&](int code, const std::string&) {
        if (code == 49 && ++moves == 5) bus->setFault(DriveBus::Fault::Silent);
    });
    EXPECT_EQ(t.RunStepTest(), End::Failed);
    EXPECT_EQ(t.text(), "NCicli= 4\r\nNo reply to FC 21 AC 36 - test stopped\r\n");
    EXPECT_NE(codes().back(), 48); // nothing more is sent to a drive that does not answer
}

TEST_F(StepTest, CountedCommandWithoutReplyStopsTheTest) {
    SpecialTests t;
    watchSent([&](int code, const std::string&) {
        if (code == 38) bus->setFault(DriveBus::Fault::Silent);
    });
    EXPECT_EQ(t.RunStepTest(), End::Failed);
    EXPECT_EQ(t.text(), "No reply to FC 61 20 07 D0 AB - test stopped\r\n");
    EXPECT_EQ(codes(), (std::vector<int>{38, 32}));
}

using TestGuard = DiagFixture;

TEST_F(TestGuard, BusyBusOrSwitchallIsRefusedAndChangesNothing) {
    SpecialTests t;
    {
        BusOperation other;
        ASSERT_TRUE(other.acquired());
        EXPECT_EQ(t.RunEncoderTest(), End::Busy);
        EXPECT_EQ(t.RunLoop(), End::Busy);
        EXPECT_EQ(t.RunStepTest(), End::Busy);
        EXPECT_EQ(t.text(), "Text1");
    }
    Module1::Indirizzo = 99;
    EXPECT_EQ(t.RunLoop(), End::Refused);
    EXPECT_EQ(t.RunStepTest(), End::Refused);
    EXPECT_EQ(t.RunEncoderTest(), End::Refused);
    EXPECT_TRUE(bus->frames().empty());
    EXPECT_EQ(t.text(), "Address switchall: the tests need one drive, address 0 to 31\r\n");
    EXPECT_FALSE(BusOperation::busy());
}
