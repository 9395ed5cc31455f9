// The two drive transactions on a port wired to the simulated line.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/buswait.h"
#include "link/trafficlog.h"
#include "link/transaction.h"
#include "sim_fixture.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

class Transaction : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        observer =
            AddTrafficObserver([this](const TrafficEvent& e) { events += " " + LogDirection(e.kind); });
        WaitRecorder = [this](double s) { waits.push_back(s); };
    }
    void TearDown() override {
        WaitRecorder = nullptr;
        RemoveTrafficObserver(observer);
        SimFixture::TearDown();
    }
    Exchange Counted(int add, int code, double p1, int ntx, int nrx) {
        return CountedTransaction(*port, add, code, p1, 0, ntx, nrx, 0);
    }
    // Makes the drive go away a few milliseconds into the next wait.
    void VanishSoon() {
        bus->setFault(DriveBus::Fault::Silent);
        QTimer::singleShot(5, [this] { bus->setFault(DriveBus::Fault::Vanished); });
    }

    int observer = 0;
    std::string events; // what the communication log was told: " TX RX ..."
    std::vector<double> waits;
};

TEST_F(Transaction, CountedSendsTheFrameAndKeepsOnlyTheExpectedBytes) {
    Module1::ComPort = 3;
    Module1::BaudRate = 19200;
    Exchange ex = Counted(1, 1, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Reply);
    EXPECT_EQ(Hex(ex.reply), " 06");
    EXPECT_EQ(framesHex(), std::vector<std::string>{" FC 21 01 E1"});
    EXPECT_EQ(port->portNumber(), 3);
    EXPECT_EQ(port->settings(), "19200,N,8,1");
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
    Module1::InitComandi();
    TrafficLog log;
    Exchange ex = Counted(99, 17, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Broadcast);
    EXPECT_EQ(framesHex(), std::vector<std::string>{" FC 00 01 11 F1"}); // left before the close
    EXPECT_FALSE(port->isOpen());
    EXPECT_TRUE(waits.empty()); // no reply awaited, not even briefly
    EXPECT_EQ(events, " TX BROADCAST");
    const std::string line = LogLine(log.entries().at(0)); // time, direction, address, bytes, meaning
    EXPECT_EQ(line.substr(line.find('\t')), "\tTX\tswitchall\tFC 00 01 11 F1\tStop rotation") << line;
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

TEST_F(Transaction, CountedTimeoutReturnsWhatArrivedAfterOneSecond) {
    bus->setFault(DriveBus::Fault::CutShort);
    Exchange ex = Counted(1, 18, 0, 1, 8);
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(Hex(ex.reply), " FC A1 12 00 00 00 00");
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(events, " TX TIMEOUT");

    waits.clear();
    bus->setFault(DriveBus::Fault::Silent);
    ex = Counted(1, 1, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(ex.reply, "");
    EXPECT_EQ(waits, std::vector<double>{1.0});
}

TEST_F(Transaction, NothingIsSentWhenThePortWillNotOpenOrTheValueDoesNotFit) {
    port->setOpenFailure("Permission denied");
    Exchange ex = Counted(1, 1, 0, 1, 1);
    EXPECT_EQ(ex.outcome, Outcome::OpenFailed);
    EXPECT_EQ(ex.error, "COM1 (sim:com1): Permission denied");
    PolledExchange pex = PolledTransaction(*port, 1, Bytes("F9"), 2.0);
    EXPECT_EQ(pex.outcome, Outcome::OpenFailed);
    EXPECT_EQ(pex.error, ex.error);
    EXPECT_EQ(port->writeCount(), 0);

    port->setOpenFailure("");
    EXPECT_EQ(Counted(1, 49, 3e9, 5, 1).outcome, Outcome::BadValue); // does not fit 32 bits
    EXPECT_EQ(Counted(1, 34, 256, 2, 1).outcome, Outcome::BadValue); // nor a byte
    EXPECT_EQ(port->openCount(), 0);
    EXPECT_EQ(events, " PORT ERROR PORT ERROR REFUSED REFUSED");
}

TEST_F(Transaction, LinkLostMidWaitIsReportedOnce) {
    QSignalSpy lost(port.get(), &SerialPort::linkLost);
    VanishSoon();
    Exchange ex = CountedTransaction(*port, 1, 1, 0, 0, 1, 1, 0, 10.0);
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
    PolledExchange ex = PolledTransaction(*port, 1, Bytes("AC"), 0.2, "old");
    EXPECT_EQ(ex.outcome, Outcome::Timeout);
    EXPECT_EQ(ex.instring, "");
    EXPECT_EQ(framesHex().size(), 1u);
    EXPECT_EQ(waits, eleven);
}

} // namespace
