// The live monitor: what it shows during a move, how it shares the line, what it does when the
// drive is silent or gone, and what its export writes.
#include "app/module1.h"
#include "kmdsim_process.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"
#include "sim_fixture.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_monitor.h"
#include "ui/tools/monitor_curve.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Runs the event loop until `done` holds (false after `ms`). Unlike QTest::qWaitFor it never
// sleeps, so the port is served as promptly as in the program.
bool Until(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Pause(int ms) {
    Until([] { return false; }, ms);
}

template <typename T = QWidget> T* Child(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Click(QWidget& w, const char* name) {
    QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton);
}

QString Shown(QWidget& w, const char* name) {
    if (auto* edit = w.findChild<QLineEdit*>(QString::fromLatin1(name))) return edit->text();
    return Child<QLabel>(w, name)->text();
}

bool Lit(QWidget& w, const char* lamp) {
    return Child<QLabel>(w, lamp)->property("lit").toBool();
}

void PickRate(Form_Monitor& m, const char* rate) {
    auto* combo = Child<QComboBox>(m, "Combo_Rate");
    combo->setCurrentIndex(combo->findText(rate));
}

// kmd-sim on a pseudo-terminal, the real port, a main window and the monitor, English.
class MonitorPtyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready());
        Module1::ResetGlobals();
        SetSharedPort(&serial);
        ProgramTrafficLog().clear();
        main = std::make_unique<Form_main>();
        main->SelectAddress(1);
        monitor = std::make_unique<Form_Monitor>();
    }
    void TearDown() override {
        monitor.reset();
        main.reset();
        serial.close();
        SetSharedPort(nullptr);
        WaitScale = 1.0;
    }
    const std::deque<MonitorSample>& samples() { return monitor->monitor().samples(); }

    KmdSimProcess sim;
    QtSerialPort serial;
    ScriptedPrompts prompts;
    std::unique_ptr<Form_main> main;
    std::unique_ptr<Form_Monitor> monitor;
};

} // namespace

TEST_F(MonitorPtyTest, MoveRisesThenStatusClearsWhileMainWindowCommandsGetTheLine) {
    PickRate(*monitor, "20");
    Click(*monitor, "Command_MonitorStart");
    ASSERT_TRUE(Until([&] { return samples().size() >= 3; }, 3000));

    // Press the main window's button while a frame of the monitor awaits its reply.
    main->findChild<QComboBox*>("Combo_QuotaAbs")->setEditText("200000");
    bool pressed = false;
    int watch = AddTrafficObserver([&](const TrafficEvent& e) {
        if (!e.monitor || e.kind != TrafficEvent::Sent || pressed) return;
        pressed = true;
        QTimer::singleShot(0, main.get(), [&] { Click(*main, "Command_StartPosAbs"); });
    });
    ASSERT_TRUE(Until([&] { return Shown(*main, "TextRx") == " 06"; }, 3000));
    RemoveTrafficObserver(watch);
    EXPECT_EQ(Shown(*main, "TextTx"), " FC A1 30 00 03 0D 40 E2");
    EXPECT_TRUE(Until([&] { return Lit(*monitor, "Lamp_Status0"); }, 2000));

    // The move takes about a second; then bit 0 clears at the target.
    ASSERT_TRUE(Until(
        [&] {
            const MonitorSample& s = samples().back();
            return s.value[ReadStatus] == 0 && s.value[ReadPosition] == 200000;
        },
        4000));
    std::vector<long long> during;
    for (const MonitorSample& s : samples())
        if (s.value[ReadStatus] && (*s.value[ReadStatus] & 1)) during.push_back(*s.value[ReadPosition]);
    ASSERT_GE(during.size(), 5u);
    EXPECT_TRUE(std::is_sorted(during.begin(), during.end()));
    EXPECT_LT(during.front(), during.back());
    monitor->Refresh();
    EXPECT_FALSE(Lit(*monitor, "Lamp_Status0"));
    EXPECT_EQ(Shown(*monitor, "Text_Position"), "Present position:            200000");
    EXPECT_GT(Child<MonitorCurve>(*monitor, "Chart_Position")->pointCount(), 20);
    EXPECT_EQ(monitor->monitor().misses(), 0);

    // Never a frame between a frame and its reply; the log hides the monitor on request.
    const auto& log = ProgramTrafficLog().entries();
    for (size_t k = 0; k + 1 < log.size(); ++k)
        if (log[k].kind == TrafficEvent::Sent) {
            EXPECT_NE(log[k + 1].kind, TrafficEvent::Sent) << k;
        }
    Form_Log window;
    window.findChild<QCheckBox*>("Check_HideMonitor")->setChecked(true);
    EXPECT_EQ(window.LogText().count("\r\n"), 2) << window.LogText().toStdString();
    EXPECT_TRUE(window.LogText().contains("\tTX\t1\tFC A1 30 00 03 0D 40 E2\t"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(MonitorPtyTest, SilentDriveCountsMissesAndRunsOnAndTheCsvHoldsTheSamples) {
    WaitScale = 0.1; // a silent drive costs 0.1 s a read
    ASSERT_TRUE(sim.control("analog 1 1234"));
    ASSERT_TRUE(sim.control("inputs 1 165"));
    PickRate(*monitor, "10");
    Click(*monitor, "Command_MonitorStart");
    ASSERT_TRUE(Until([&] { return samples().size() >= 2; }, 3000));
    monitor->Refresh();
    EXPECT_EQ(Shown(*monitor, "Text_Analog"), "AN_IN = 1234");
    EXPECT_EQ(Shown(*monitor, "Text_Inputs"), "Drive I/O (BIT 7..0):     10100101");
    EXPECT_TRUE(Lit(*monitor, "Lamp_Input0") && Lit(*monitor, "Lamp_Input7"));
    EXPECT_FALSE(Lit(*monitor, "Lamp_Input1"));

    ASSERT_TRUE(sim.control("fault silent"));
    ASSERT_TRUE(Until([&] { return monitor->monitor().misses() >= 8; }, 5000));
    monitor->Refresh();
    EXPECT_TRUE(monitor->monitor().running());
    EXPECT_EQ(Shown(*monitor, "Text_Analog"), "- no rx -");
    EXPECT_EQ(Shown(*monitor, "Label_MonitorState"), "Running");
    EXPECT_TRUE(Shown(*monitor, "Label_MonitorMisses").startsWith("Missed replies: "));
    ASSERT_TRUE(sim.control("fault none"));
    ASSERT_TRUE(Until([&] { return samples().back().value[ReadAnalog] == 1234; }, 3000));
    Click(*monitor, "Command_MonitorStop");

    QTemporaryDir dir;
    const QString file = dir.filePath("samples.csv");
    prompts.fileNames.push_back(file);
    Click(*monitor, "Command_MonitorExport");
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<int>(samples().size()) + 1);
    EXPECT_EQ(lines[0], "time_ms,address,position,status,inputs,analog");
    EXPECT_TRUE(lines[1].endsWith(",1,0,0,165,1234")) << lines[1].toStdString();
    EXPECT_TRUE(lines.filter(QRegularExpression("^\\d+,1,,,,$")).size() >= 2);
    // Each value is the drive's or, where its reply was missing, empty; never anything else.
    EXPECT_EQ(lines.filter(QRegularExpression("^\\d+,1,(0|),(0|),(165|),(1234|)$")).size(), lines.size() - 1);
}

TEST_F(SimFixture, MonitorStepsAsideRefusesBroadcastPausesForTransfersAndStopsWhenTheLinkIsLost) {
    Module1::Lingua = 2;
    Form_Monitor window;
    Module1::Indirizzo = 99;
    Click(window, "Command_MonitorStart");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].text.startsWith("With SWITCH-ALL address no drive replies"));
    EXPECT_FALSE(window.monitor().running());
    EXPECT_TRUE(bus->frames().empty());

    // A transfer holds the line: the monitor waits and says why.
    Module1::Indirizzo = 1;
    auto transfer = std::make_unique<BusOperation>(BusUse::Transfer);
    Click(window, "Command_MonitorStart");
    Pause(50);
    window.Refresh();
    EXPECT_EQ(Shown(window, "Label_MonitorState"), "Paused: a program transfer is running");
    EXPECT_TRUE(bus->frames().empty());
    transfer.reset();
    ASSERT_TRUE(Until([&] { return window.monitor().samples().size() >= 2; }, 2000));
    window.Refresh();
    EXPECT_EQ(Shown(window, "Label_MonitorState"), "Running");
    Module1::Lingua = 3; // changed in the main window: the open monitor follows
    window.Refresh();
    EXPECT_EQ(Shown(window, "Label_MonitorState"), "Läuft");
    EXPECT_EQ(Child<QPushButton>(window, "Command_MonitorStop")->text(), "Stopp");
    Module1::Lingua = 2;

    // An operation that finds the monitor on the line waits for that one reply, then goes; a
    // second one meanwhile is refused, and the monitor stays off the line until the first ends.
    bus->setSlowSeconds(0.1);
    bus->setFault(DriveBus::Fault::Slow);
    ASSERT_TRUE(
        Until([] { return BusOperation::busy() && BusOperation::holder() == BusUse::Monitor; }, 1000));
    bool secondAcquired = true;
    QTimer::singleShot(10, [&] { secondAcquired = BusOperation().acquired(); });
    {
        BusOperation first;
        EXPECT_TRUE(first.acquired());
        EXPECT_FALSE(secondAcquired);
        const size_t frames = bus->frames().size();
        Pause(150);
        EXPECT_EQ(bus->frames().size(), frames);
    }
    bus->setFault(DriveBus::Fault::None);
    const size_t frames = bus->frames().size();
    ASSERT_TRUE(Until([&] { return bus->frames().size() > frames + 2; }, 2000));

    bus->setFault(DriveBus::Fault::Vanished);
    ASSERT_TRUE(Until([&] { return !window.monitor().running(); }, 2000));
    ASSERT_TRUE(Until([&] { return prompts->messages.size() == 2; }, 1000));
    EXPECT_TRUE(prompts->messages[1].text.startsWith("Monitor stopped: "));
    EXPECT_FALSE(BusOperation::busy());
}
