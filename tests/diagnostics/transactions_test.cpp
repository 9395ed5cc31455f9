#include "diag_support.h"
#include "link/buswait.h"
#include "ui/diagnostics/special_tests.h"

using CmdStringTest = DiagFixture;

// A refusal returns at the first look; silence ends after eleven looks of 50 ms.
TEST_F(CmdStringTest, RefusalAndSilence) {
    std::vector<double> waits;
    WaitRecorder = [&](double s) { waits.push_back(s); };
    bus->setFault(DriveBus::Fault::NakAll);
    SpecialTests t;
    std::string instring = "old";
    EXPECT_EQ(t.TxRxCMDSTRING(1, std::string(1, '\x12'), instring, 2.0).outcome, Outcome::Reply);
    EXPECT_EQ(instring, "15");
    EXPECT_EQ(waits, std::vector<double>{0.05}); // the 2 s wait of the first pass is skipped

    bus->setFault(DriveBus::Fault::Silent);
    waits.clear();
    EXPECT_EQ(t.TxRxCMDSTRING(1, std::string(1, '\xAC'), instring, 0).outcome, Outcome::Timeout);
    WaitRecorder = nullptr;
    std::vector<double> eleven;
    for (int i = 0; i < 11; ++i)
        eleven.insert(eleven.end(), {0.05, 0.0});
    EXPECT_EQ(waits, eleven);
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
