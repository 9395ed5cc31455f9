#include "diag_support.h"
#include "link/buswait.h"
#include "ui/diagnostics/special_tests.h"

using Clock = std::chrono::steady_clock;
using CmdStringTest = DiagFixture;

// Real timing: a refusal returns at the first look, silence ends after 11 passes of 50 ms.
TEST_F(CmdStringTest, RefusalAndSilenceAtFullTiming) {
    WaitScale = 1.0;
    bus->setFault(DriveBus::Fault::NakAll);
    SpecialTests t;
    std::string instring = "old";
    auto start = Clock::now();
    EXPECT_EQ(t.TxRxCMDSTRING(1, std::string(1, '\x12'), instring, 2.0).outcome, Outcome::Reply);
    EXPECT_LT(secondsSince(start), 1.0); // the 2 s wait of the first pass is skipped
    EXPECT_EQ(instring, "15");

    bus->setFault(DriveBus::Fault::Silent);
    start = Clock::now();
    EXPECT_EQ(t.TxRxCMDSTRING(1, std::string(1, '\xAC'), instring, 0).outcome, Outcome::Timeout);
    const double took = secondsSince(start);
    EXPECT_TRUE(took > 0.5 && took < 1.5) << took;
    EXPECT_EQ(instring, "");
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 21 12 D0", " FC 21 AC 36"})); // each written once
}

TEST_F(CmdStringTest, WithoutAPortNothingIsSent) {
    SetSharedPort(nullptr);
    SpecialTests t;
    std::string instring;
    EXPECT_EQ(t.TxRxCMDSTRING(1, "\x12", instring, 0).outcome, Outcome::OpenFailed);
    EXPECT_EQ(t.TxRxSerialeX(1, 18, 0, 0, 1, 8, 0).outcome, Outcome::OpenFailed);
    EXPECT_TRUE(bus->frames().empty());
}
