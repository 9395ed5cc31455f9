// The two drive transactions on a port wired to the simulated line.
#include "line/driveline.h"
#include "line/trafficlog.h"
#include "line_fixture.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

class Transaction : public LineFixture {
  protected:
    void SetUp() override {
        LineFixture::SetUp();
        line->addObserver([this](const TrafficEvent& e) { events += " " + LogDirection(e.kind); });
        line->setWaitRecorder([this](double s) { waits.push_back(s); });
    }
    Exchange Counted(int add, int code, double p1, int ntx, int nrx) {
        return line->counted(to, add, code, p1, 0, ntx, nrx, 0);
    }

    LineTarget to;
    std::string events; // what the communication log was told: " TX RX ..."
    std::vector<double> waits;
};

TEST_F(Transaction, CountedSendsTheFrameAndKeepsOnlyTheExpectedBytes) {
    to = {3, 19200};
    Exchange ex = Counted(1, 1, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Reply);
    EXPECT_EQ(Hex(ex.reply), " 06");
    EXPECT_EQ(framesHex(), std::vector<std::string>{" FC 21 01 E1"});
    EXPECT_EQ(std::to_string(port->portNumber()) + " " + port->settings(), "3 19200,N,8,1");
    EXPECT_FALSE(port->isOpen()); // closed between transactions
    EXPECT_EQ(events, " TX RX");

    bus->setAnalogInput(2, 1023);
    EXPECT_EQ(Hex(Counted(2, 210, 0, 1, 6).reply), " FC 62 D2 03 FF CD");
    EXPECT_EQ(Hex(Counted(2, 18, 0, 1, 5).reply), " FC A2 12 00 00"); // the rest is dropped

    // A reply in pieces, after stale bytes of an earlier frame.
    port->setReplyPieces(3, 0.002);
    port->holdAtOpen(Bytes("06 06"));
    EXPECT_EQ(Hex(Counted(0, 18, 0, 1, 8).reply), " FC A0 12 00 00 00 00 51");
}

TEST_F(Transaction, BroadcastAwaitsNothing) {
    Exchange ex = Counted(99, 17, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Broadcast);
    EXPECT_EQ(framesHex(), std::vector<std::string>{" FC 00 01 11 F1"}); // left before the close
    EXPECT_FALSE(port->isOpen());
    EXPECT_TRUE(waits.empty()); // no reply awaited, not even briefly
    EXPECT_EQ(events, " TX BROADCAST");
}

TEST_F(Transaction, AFrameThePortCannotHandOverIsAPortErrorNotASend) {
    port->setWriteStalled(true);
    Exchange ex = Counted(99, 17, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::LinkLost);
    EXPECT_EQ(ex.error, "COM1 (sim:com1): the frame could not be written within 100 ms");
    EXPECT_TRUE(framesHex().empty());
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(events.find("TX"), std::string::npos) << events;
}

// A silent drive: one wait, bounded by one second (what the drive does send is shown through
// the main window in the fault tests).
TEST_F(Transaction, CountedTimeoutAfterOneSecond) {
    bus->setFault(DriveBus::Fault::Silent);
    Exchange ex = Counted(1, 1, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(ex.reply, "");
    EXPECT_EQ(waits, std::vector<double>{1.0});
}

TEST_F(Transaction, LinkLostMidWaitIsReportedOnce) {
    QSignalSpy lost(port.get(), &SerialPort::linkLost);
    bus->setFault(DriveBus::Fault::Silent); // and gone a few milliseconds into the wait
    QTimer::singleShot(5, [this] { bus->setFault(DriveBus::Fault::Vanished); });
    Exchange ex = line->counted(to, 1, 1, 0, 0, 1, 1, 0, 10.0);
    EXPECT_EQ(ex.outcome, Outcome::LinkLost);
    EXPECT_FALSE(ex.error.empty());
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port->isOpen());

    // The next transaction finds the device gone, and sends once it is back.
    EXPECT_EQ(Counted(1, 1, 0, 1, 1).outcome, Outcome::OpenFailed);
    bus->setFault(DriveBus::Fault::None);
    EXPECT_EQ(Counted(1, 1, 0, 1, 1).outcome, Outcome::Reply);
}

// Eleven looks, each 50 ms and then the command's own wait; the frame is written once.
TEST_F(Transaction, PolledSilentGivesUpAfterElevenAttempts) {
    std::vector<double> eleven;
    for (int i = 0; i < 11; ++i)
        eleven.insert(eleven.end(), {0.05, 0.2});
    bus->setFault(DriveBus::Fault::Silent);
    PolledExchange ex = line->polled(to, 1, Bytes("AC"), 0.2, "old");
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(ex.instring, "");
    EXPECT_EQ(framesHex().size(), 1u);
    EXPECT_EQ(waits, eleven);
}

} // namespace
