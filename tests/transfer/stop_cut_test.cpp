// What a stop of every drive leaves behind: a program being written is closed and erased, an
// operation whose own question is open goes no further, a diagnostics test says it stopped.
#include "transfer_support.h"

#include "jobs/special_tests.h"

#include <QTimer>

namespace {

const std::string Stop = " FC 00 01 11 F1";

// Stops every drive once the `nth` frame is out (the operation then waits for its answer).
void StopAfterFrame(DriveLine& line, int nth) {
    auto sent = std::make_shared<int>(0);
    line.addObserver([&line, sent, nth](const TrafficEvent& e) {
        if (e.kind == TrafficEvent::Sent && ++*sent == nth)
            QTimer::singleShot(0, &line, [&line] { line.stopAll(LineTarget{}); });
    });
}

} // namespace

TEST_F(TransferTest, AStopMidProgramLeavesNoHalfProgram) {
    store[0] = {"11", "11", "11"};
    rec.answers = {true};
    StopAfterFrame(*line, 3); // erase all, begin of program 0, its first line
    TransferResult r = SendAllPrg(store, rec.io);
    EXPECT_TRUE(!r.ok && r.sent.empty());
    EXPECT_EQ(framesHex(), (Frames{" FC 21 F9 E9", " FC 41 F0 00 D2", " FC 21 11 D1", Stop, Stop, " FC 21 F1 F1",
                                   " FC 41 F3 00 CF"}));
    EXPECT_NE(rec.text1.find("STOPPED\r\nPRG. N.0 CANCELLED - erased\r\n"), std::string::npos) << rec.text1;
    EXPECT_TRUE(bus->program(1, 0).empty());
}

TEST_F(TransferTest, AStopWhileTheQuestionIsOpenSendsNothingMore) {
    store[0][0] = "11";
    rec.io.ask = [this](const std::string&) {
        line->stopAll(LineTarget{});
        return line->waitStopDone(); // then Yes
    };
    EXPECT_FALSE(SendAllPrg(store, rec.io).ok);
    EXPECT_EQ(framesHex(), (Frames{Stop, Stop}));
}

TEST_F(TransferTest, AStopEndsADiagnosticsTestAsItsStopButtonDoes) {
    SpecialTests t(*line);
    StopAfterFrame(*line, 2); // the position read, the analog read
    EXPECT_EQ(t.RunLoop(DriveAt{LineTarget{}, 1}), SpecialTests::End::Stopped);
    EXPECT_TRUE(line->waitStopDone());
    EXPECT_EQ(t.text().substr(t.text().size() - 14), "Test stopped\r\n");
    EXPECT_EQ(framesHex().back(), Stop);
}
