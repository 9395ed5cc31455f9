// The diagnostics window and its three tests: what they send and show, how they stop, their
// draws and their waits; on the simulated bus, then on kmd-sim's pseudo-terminal.
#include "app/module1.h"
#include "jobs/special_logic.h"
#include "jobs/special_tests.h"
#include "kmdsim_process.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "sim_fixture.h"
#include "ui/diagnostics/form_special.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>

using End = SpecialTests::End;

namespace {

// A drive at address 1; `watchSent` hears of every frame the program writes.
class DiagTest : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        Module1::Indirizzo = 1;
    }
    void TearDown() override {
        closeWindow();
        SimFixture::TearDown();
    }
    void closeWindow() {
        if (observer_) used().removeObserver(observer_);
        observer_ = 0;
        if (DiagnosticsWindow()) DiagnosticsWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The line of the window's tests: the fixture's, or one a test brings.
    DriveLine& used() { return other ? *other : *line; }
    void watchSent(std::function<void(int code, const std::string& frame)> onSent) {
        observer_ = used().addObserver([onSent](const TrafficEvent& e) {
            if (e.kind == TrafficEvent::Sent && e.bytes.size() > 2)
                onSent(static_cast<unsigned char>(e.bytes[2]), e.bytes);
        });
    }
    std::vector<int> codes() const {
        std::vector<int> out;
        for (const std::string& f : bus->frames())
            out.push_back(static_cast<unsigned char>(f.at(2)));
        return out;
    }
    // Moves of the simulated drives run ten times faster than real time.
    void fastMoves() {
        bus->setClock([] {
            using namespace std::chrono;
            return 10.0 * duration<double>(steady_clock::now().time_since_epoch()).count();
        });
    }

    // The diagnostics window, opened (or brought up) by each call.
    Form_SPECIAL* window() {
        ShowDiagnostics(nullptr, used());
        return DiagnosticsWindow();
    }
    QString text1() { return window()->findChild<QPlainTextEdit*>("Text1")->toPlainText(); }
    void click(const char* name) {
        QTest::mouseClick(window()->findChild<QPushButton*>(name), Qt::LeftButton);
    }

    DriveAt drive{LineTarget{}, 1};
    DriveLine* other = nullptr;

  private:
    int observer_ = 0;
};

} // namespace

TEST(SpecialLogic, RepliesReadAsAnalogValueAndStatusBit) {
    // Full scale 1010 counts is 25600 steps; 25.3 keeps its integer part.
    for (auto [analog, position] : {std::pair{1010, 25600}, {1, 25}, {65535, 1661085}})
        EXPECT_EQ(LoopPosition(analog), position) << analog;
    // A reply without its fifth byte, half a byte, a refusal and garbled hex read as what they
    // hold, never past the end.
    EXPECT_EQ(AnalogOfReply("FC 26 D2 03 F2 1A"), 1010);
    EXPECT_EQ(AnalogOfReply("FC 26 D2 03") + AnalogOfReply("FC 26 D2 0") + AnalogOfReply("15"), 3 * 256);
    EXPECT_EQ(AnalogOfReply("FC 26 D2 ZZ 10 00"), 16);
    // The last bit decides: a refusal keeps the wait going, nothing ends it, and a reply longer
    // than a 16-bit number is still read.
    for (const char* set : {"01", "15", "FC 21 AC 00 00 00 01"})
        EXPECT_TRUE(StatusBit0(set)) << set;
    for (const char* clear : {"06", "", "FF FF FF FE"})
        EXPECT_FALSE(StatusBit0(clear)) << clear;
}

// Draws in the order ramp, maximum frequency, distance, direction; direction draws of 128 and
// above (r * 255) negate.
TEST(SpecialLogic, StepMovesFromTheirDraws) {
    const float top = 0.99999994f; // the largest draw below 1
    struct Case {
        float r[4];
        int ramp, fmax, distance;
    } cases[] = {{{0, 0, 0, 0}, 5, 2000, 16},
                 {{0.6f, 0.5f, 0.5f, 0.5f}, 8, 21000, 25600},    // 127.5: still positive
                 {{0.6f, 0.5f, 0.5f, 0.502f}, 8, 21000, -25600}, // 128.01
                 {{0.2f, 0.25f, 0.0004f, 0.25f}, 6, 11500, 32},  // 36.47 steps -> 32
                 {{top, top, top, top}, 9, 39999, -51184}};
    for (const Case& c : cases) {
        const StepMove m = MoveOfDraws(c.r[0], c.r[1], c.r[2], c.r[3]);
        EXPECT_EQ(std::tuple(m.ramp, m.fmax, m.distance), std::tuple(c.ramp, c.fmax, c.distance)) << c.r[0];
    }
}

TEST_F(DiagTest, RefusalsCopyZeroAndSilenceStopsTheLoopAndTheEncoderTest) {
    bus->setFault(DriveBus::Fault::NakAll); // one-byte replies
    SpecialTests t(*line);
    bool silenceAfterPosition = false;
    watchSent([&](int code, const std::string&) {
        if (code == 211) t.requestStop();
        // The bus has answered a frame by the time it is reported.
        if (code == 18 && silenceAfterPosition) bus->setFault(DriveBus::Fault::Silent);
    });
    EXPECT_EQ(t.RunLoop(drive), End::Stopped);
    EXPECT_EQ(t.text(), "POSIZIONE=15\r\nAN-IN=15\r\nvalore= 0\r\nTest stopped\r\n");
    EXPECT_EQ(framesHex().back(), " FC A1 D3 00 00 00 00 8F");

    bus->clearFrames();
    silenceAfterPosition = true;
    EXPECT_EQ(t.RunLoop(drive), End::Failed);
    EXPECT_EQ(codes(), (std::vector<int>{18, 210})); // no stale value sent
    EXPECT_EQ(t.text(), "POSIZIONE=15\r\nAN-IN=\r\nNo reply to FC 21 D2 10 - test stopped\r\n");

    port->setOpenFailure("in use");
    EXPECT_EQ(t.RunLoop(drive), End::Failed);
    EXPECT_EQ(t.text(), "POSIZIONE=\r\nCannot open COM1 (sim:com1): in use - test stopped\r\n");
    EXPECT_EQ(bus->frames().size(), 2u);

    port->setOpenFailure("");
    bus->clearFrames();
    EXPECT_EQ(t.RunEncoderTest(drive), End::Failed); // stops at the first silence and frees the line
    EXPECT_EQ(t.text(), "No reply to FC 61 A8 0F A0 4B - test stopped\r\n");
    EXPECT_EQ(bus->frames().size(), 1u);
    EXPECT_FALSE(port->isOpen());
}

using StepTest = DiagTest;

TEST_F(StepTest, HundredMovesEachAwaitedThenBackToZero) {
    fastMoves();
    SpecialTests t(*line);
    int sentWhileMoving = 0;
    watchSent([&](int code, const std::string&) {
        // Reported once the bus has taken the frame, so only frames that start no move count.
        if ((code == 34 || code == 33) && bus->moving(1)) ++sentWhileMoving;
    });
    std::vector<double> waits;
    line->setWaitRecorder([&](double s) { waits.push_back(s); });
    EXPECT_EQ(t.RunStepTest(drive), End::Done);
    line->setWaitRecorder(nullptr);
    EXPECT_EQ(t.text(), "NCicli= 100");
    EXPECT_EQ(sentWhileMoving, 0); // every move ended before the next was set up

    // Resolution 4 and minimum frequency 2000; per move ramp, maximum frequency and distance,
    // each waiting at most a second for its byte, then status polls while bit 0 is set, each
    // looking after 50 ms and then waiting 0.2 s; back to 0 last.
    const std::vector<std::string> hex = framesHex();
    ASSERT_GE(hex.size(), 2u + 100 * 4 + 1);
    EXPECT_EQ(hex[0] + hex[1], " FC 41 26 04 98 FC 61 20 07 D0 AB");
    EXPECT_EQ(hex.back(), " FC A1 30 00 00 00 00 32");
    std::vector<double> expected(2, 1.0);
    size_t i = 2;
    int polls = 0;
    for (int move = 0; move < 100; ++move, i += 3) {
        ASSERT_LT(i + 3, hex.size());
        ASSERT_EQ(hex[i].substr(0, 9) + hex[i + 1].substr(0, 9) + hex[i + 2].substr(0, 9) + hex[i + 3],
                  " FC 41 22 FC 61 21 FC A1 31 FC 21 AC 36")
            << move;
        expected.insert(expected.end(), {1.0, 1.0, 1.0});
        for (; hex[i + 3] == " FC 21 AC 36"; ++i, ++polls)
            expected.insert(expected.end(), {0.05, 0.2});
    }
    EXPECT_EQ(i, hex.size() - 1);
    EXPECT_GT(polls, 100); // moves take time: the drive was asked again while bit 0 was set
    expected.push_back(1.0);
    EXPECT_EQ(waits, expected);
}

TEST_F(StepTest, RefusedStatusKeepsPollingUntilStop) {
    bus->setFault(DriveBus::Fault::NakAll);
    SpecialTests t(*line);
    int polls = 0;
    watchSent([&](int code, const std::string&) {
        if (code == 172 && ++polls == 5) t.requestStop();
    });
    EXPECT_EQ(t.RunStepTest(drive), End::Stopped);
    EXPECT_EQ(codes(), (std::vector<int>{38, 32, 34, 33, 49, 172, 172, 172, 172, 172}));
    for (const std::string& frame : bus->frames())
        EXPECT_EQ(static_cast<unsigned char>(frame[1]) & 31, 1) << Hex(frame); // all to drive 1
    EXPECT_EQ(t.text(), "Test stopped\r\n");
}

TEST_F(StepTest, SilenceStopsTheTestAndKeepsTheCount) {
    fastMoves();
    SpecialTests t(*line);
    int moves = 0;
    watchSent([&](int code, const std::string&) {
        if (code == 49 && ++moves == 5) bus->setFault(DriveBus::Fault::Silent);
    });
    EXPECT_EQ(t.RunStepTest(drive), End::Failed);
    EXPECT_EQ(t.text(), "NCicli= 4\r\nNo reply to FC 21 AC 36 - test stopped\r\n");
    EXPECT_NE(codes().back(), 48); // nothing more is sent to a drive that does not answer
}

// A busy line is refused with a beep (the window's test below).
TEST_F(DiagTest, SwitchallIsRefusedAndChangesNothing) {
    drive.address = 99;
    SpecialTests t(*line);
    for (auto run : {&SpecialTests::RunEncoderTest, &SpecialTests::RunLoop, &SpecialTests::RunStepTest})
        EXPECT_EQ((t.*run)(drive), End::Refused);
    EXPECT_TRUE(bus->frames().empty());
    EXPECT_EQ(t.text(), "Address switchall: the tests need one drive, address 0 to 31\r\n");
    EXPECT_FALSE(line->busy());
}

using WindowTest = DiagTest;

// The loop copies the analog input into the position register until Stop; Text1 holds the last
// repetition only.
TEST_F(WindowTest, OneWindowWhoseStopEndsTheLoopAndWhoseSecondStartBeeps) {
    Form_SPECIAL* first = window();
    EXPECT_EQ(window(), first);

    bus->setAnalogInput(1, 1010);
    int sends = 0;
    watchSent([&](int code, const std::string&) {
        // Clicked once the event loop runs again, that is while the loop awaits its reply.
        if (code == 211 && ++sends <= 2)
            QTimer::singleShot(0, first,
                               [this, sends] { click(sends == 1 ? "Command_teststep" : "Command_Stop"); });
    });
    click("Command_Loop");
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_FALSE(line->busy());
    EXPECT_EQ(codes(), (std::vector<int>{18, 210, 211, 18, 210, 211})); // the step test never started
    EXPECT_EQ(framesHex()[2], " FC A1 D3 00 00 64 00 2B");              // 25600
    // Eight bytes read, six bytes read, the value sent, the stop.
    static const QRegularExpression last("^POSIZIONE=FC( [0-9A-F]{2}){7}\nAN-IN=FC [0-9A-F]{2} D2 03 F2 "
                                         "[0-9A-F]{2}\nvalore= 25600\nTest stopped\n$");
    EXPECT_TRUE(last.match(text1()).hasMatch()) << text1().toStdString();
}

TEST_F(WindowTest, ClosingDuringATestStopsItFirst) {
    QPointer<Form_SPECIAL> w = window();
    QTimer::singleShot(40, w, [w] { w->close(); });
    click("Command_Loop");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(DiagnosticsWindow(), nullptr);
    EXPECT_FALSE(line->busy());
    EXPECT_EQ(text1(), "Text1"); // a fresh window
}

TEST_F(WindowTest, EncoderAndStepTestsRunAgainstKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    DriveLine serialLine(serial);
    other = &serialLine;
    std::vector<std::string> sent;
    int moves = 0;
    watchSent([&](int code, const std::string& frame) {
        sent.push_back(Hex(frame));
        if (code == 49 && ++moves == 3) click("Command_Stop");
    });

    // the encoder test at its real timing
    click("Command_testenc");
    EXPECT_EQ(sent, (std::vector<std::string>{" FC 61 A8 0F A0 4B", " FC 61 C7 03 E8 F0", " FC 41 CB 01 F6",
                                              " FC 41 32 00 90"}));
    EXPECT_EQ(text1(), "Text1");

    // Real moves, each awaited through the status polls; the hundred run in-process.
    serialLine.setWaitScale(0.1);
    sent.clear();
    click("Command_teststep");
    EXPECT_EQ(text1(), "NCicli= 2\nTest stopped\n"); // the third move was under way
    EXPECT_EQ(std::count(sent.begin(), sent.end(), " FC 41 26 04 98"), 1);
    closeWindow();
    other = nullptr;
}
