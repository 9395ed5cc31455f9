#include "diag_support.h"
#include "link/buswait.h"
#include "ui/diagnostics/special_tests.h"

using Clock = std::chrono::steady_clock;

using CmdStringTest = DiagFixture;

TEST_F(CmdStringTest, RefusalComesBackAsFifteenWithoutWaitingTheTimeout) {
    WaitScale = 1.0;
    bus->setFault(DriveBus::Fault::NakAll);
    SpecialTests t;
    std::string instring = "old";
    auto start = Clock::now();
    PolledExchange ex = t.TxRxCMDSTRING(1, std::string(1, '\x12'), instring, 2.0);
    EXPECT_LT(secondsSince(start), 1.0); // the 2 s wait of the first pass is skipped
    EXPECT_EQ(instring, "15");
    EXPECT_EQ(ex.outcome, Outcome::Reply);
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 21 12 D0"}));
}

TEST_F(CmdStringTest, SilentDriveGivesAnEmptyReplyAfterElevenPasses) {
    WaitScale = 1.0; // the real timing: 11 passes of 50 ms + 0 s
    bus->setFault(DriveBus::Fault::Silent);
    SpecialTests t;
    std::string instring = "old";
    auto start = Clock::now();
    PolledExchange ex = t.TxRxCMDSTRING(1, std::string(1, '\xAC'), instring, 0);
    double took = secondsSince(start);
    EXPECT_GT(took, 0.5);
    EXPECT_LT(took, 1.5);
    EXPECT_EQ(instring, "");
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 21 AC 36"})); // written once, only polled
}

TEST_F(CmdStringTest, BroadcastSendsNothingAndKeepsTheOldReply) {
    SpecialTests t;
    std::string instring = "06";
    PolledExchange ex = t.TxRxCMDSTRING(99, std::string(1, '\x12'), instring, 0);
    EXPECT_EQ(instring, "06");
    EXPECT_EQ(ex.outcome, Outcome::Broadcast);
    EXPECT_TRUE(bus->frames().empty());
}

TEST_F(CmdStringTest, WithoutAPortNothingIsSentAndTheReasonIsGiven) {
    SetSharedPort(nullptr);
    SpecialTests t;
    std::string instring;
    EXPECT_EQ(t.TxRxCMDSTRING(1, "\x12", instring, 0).outcome, Outcome::OpenFailed);
    EXPECT_EQ(t.TxRxSerialeX(1, 18, 0, 0, 1, 8, 0).outcome, Outcome::OpenFailed);
    EXPECT_TRUE(bus->frames().empty());
}
