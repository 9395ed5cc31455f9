// Faults injected through a real pseudo-terminal with kmd-sim: a silent drive, NAK to everything,
// garbage, a cut reply, a slow reply, and the device vanishing in the middle of a program transfer
// and of the step test. Each operation ends within its bound, the operator is told, the store and
// the files stay as they were, and the next operation works once the drive is back.
#include "app/module1.h"
#include "jobs/special_tests.h"
#include "jobs/transfer.h"
#include "kmdsim_process.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "protocol/catalog.h"
#include "protocol/linecodec.h"
#include "scripted_prompts.h"
#include "ui/main/form_main.h"

#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Faults : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready());
        Module1::ResetGlobals();
        line.setWaitScale(0.25); // the pseudo-terminal answers within milliseconds, also under sanitizers
        window = std::make_unique<Form_main>(line);
        Module1::Indirizzo = 1;
        io.drive.address = 1;
        config = ReadFile("vdcfg.cfg");
        ASSERT_FALSE(config.isEmpty());
        for (int p = 0; p < NumPrograms; ++p)
            for (int l = 0; l < 3; ++l)
                store[p][l] = StringaCmd(168, 1000 * (p + 1) + l, 0, 0, 3);
        original = store;
    }
    void TearDown() override {
        EXPECT_EQ(ReadFile("vdcfg.cfg"), config) << "the configuration file changed";
        EXPECT_FALSE(line.busy());
        window.reset();
    }
    static QByteArray ReadFile(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Rx() const { return window->findChild<QLineEdit*>("TextRx")->text(); }
    QString Description() const { return window->findChild<QLineEdit*>("ParRx")->text(); }
    // The main window reads the present position (RX and its description show the reply).
    Outcome ReadPosition() { return window->TxRxSeriale(1, 18, 0, 0, 1, 8, 0); }
    // A program transfer's status ends in error (or not), and the editor's store is untouched.
    void ExpectTransferFailed(bool failed) {
        EXPECT_EQ(status.find("ERROR") != std::string::npos, failed) << status;
        EXPECT_EQ(store, original);
    }

    KmdSimProcess sim;
    QtSerialPort port;
    DriveLine line{port};
    ScriptedPrompts prompts;
    std::unique_ptr<Form_main> window;
    QByteArray config;
    PrgStore store{}, original{};
    std::string status;
    TransferIo io = HeadlessIo(line, status);
};

} // namespace

TEST_F(Faults, SilentDrive) {
    ASSERT_TRUE(sim.control("fault silent"));
    EXPECT_EQ(ReadPosition(), Outcome::Timeout);
    EXPECT_TRUE(Rx().endsWith("- no rx - timeout")) << Rx().toStdString();
    SendPrg(store, 99, io); // erase all gets no answer: 11 attempts, then ERROR
    ExpectTransferFailed(true);

    ASSERT_TRUE(sim.control("fault none"));
    EXPECT_EQ(ReadPosition(), Outcome::Reply);
    EXPECT_FALSE(Description().isEmpty());
}

TEST_F(Faults, NakToEverything) {
    ASSERT_TRUE(sim.control("fault nak"));
    EXPECT_EQ(ReadPosition(), Outcome::Timeout); // one byte where eight are expected
    EXPECT_TRUE(Rx().startsWith(" 15")) << Rx().toStdString();
    EXPECT_TRUE(Description().isEmpty());

    SendPrg(store, 99, io);
    EXPECT_NE(status.find("Erasing all programs...ERROR"), std::string::npos) << status;
    EXPECT_EQ(store, original);
    // To "read program" a refusal is the drive's word for an empty program.
    ReadAllPrg(store, io);
    EXPECT_NE(status.find("PRG 16 - EMPTY"), std::string::npos) << status;
}

TEST_F(Faults, GarbageCutAndSlowReplies) {
    ASSERT_TRUE(sim.control("fault garbage"));
    EXPECT_EQ(ReadPosition(), Outcome::Reply); // eight bytes came: shown, not trusted beyond that
    EXPECT_EQ(Rx().size(), 8 * 3);
    ReadAllPrg(store, io);
    EXPECT_NE(status.find("PRG 16"), std::string::npos) << status;

    ASSERT_TRUE(sim.control("fault cut"));
    EXPECT_EQ(ReadPosition(), Outcome::Timeout); // what came is shown
    EXPECT_TRUE(Rx().startsWith(" FC") && Rx().contains("timeout")) << Rx().toStdString();

    ASSERT_TRUE(sim.control("slow 0.05"));
    ASSERT_TRUE(sim.control("fault slow"));
    EXPECT_EQ(ReadPosition(), Outcome::Reply); // late, but within the bound
}

TEST_F(Faults, DeviceVanishesDuringAProgramTransfer) {
    QTimer::singleShot(1000, [this] { sim.post("vanish"); }); // while the lines go out
    SendPrg(store, 99, io);
    ExpectTransferFailed(true);
    EXPECT_FALSE(port.isOpen());

    ASSERT_TRUE(sim.control("restore"));
    SendPrg(store, 99, io);
    ExpectTransferFailed(false);
}

TEST_F(Faults, DeviceVanishesDuringTheStepTest) {
    Module1::InitComandi();
    SpecialTests tests(line);
    const DriveAt drive{LineTarget{}, 1};
    tests.setSeed(7);
    QTimer::singleShot(400, [this] { sim.post("vanish"); });
    EXPECT_EQ(tests.RunStepTest(drive), SpecialTests::End::Failed);
    EXPECT_FALSE(tests.text().empty());

    ASSERT_TRUE(sim.control("restore"));
    EXPECT_EQ(tests.RunEncoderTest(drive), SpecialTests::End::Done);
    EXPECT_EQ(ReadPosition(), Outcome::Reply);
}

// Fast, verified sending with each fault switched on while the lines go out: whatever the
// drive does, a program reported sent is on the drive, and the editor's store is untouched.
TEST_F(Faults, FastTransferUnderEveryFault) {
    io.options = {true, true};
    line.setWaitScale(0.1); // fast mode does not wait out the looks when the drive answers
    ASSERT_TRUE(sim.control("slow 0.02"));
    for (const char* fault : {"silent", "nak", "garbage", "cut", "slow", "vanish"}) {
        bool posted = false;
        io.progress = [&](int done, int) {
            if (done == 20 && !posted) {
                posted = true;
                sim.post(QString("fault ") + fault);
            }
        };
        TransferResult sent = SendPrg(store, 99, io);
        EXPECT_EQ(store, original) << fault;
        const bool slow = std::string(fault) == "slow";
        EXPECT_EQ(sent.ok, slow) << fault << "\n" << status;
        EXPECT_EQ(sent.sent.size() == 17u, slow) << fault << "\n" << status;

        io.progress = nullptr;
        ASSERT_TRUE(sim.control(std::string(fault) == "vanish" ? "restore" : "fault none"));
        const std::string during = status;
        // A program cut off by the vanished device is still open on the drive: close it first.
        EepromExchange(io, std::string("\xF1"), 1.0);
        TransferResult now = VerifyPrg(store, io);
        for (int p : sent.sent) {
            ASSERT_LT(static_cast<size_t>(p), now.checks.size());
            EXPECT_TRUE(now.checks[p].verified()) << fault << ": program " << p << " reported sent\n"
                                                  << during << status;
        }
    }
}
