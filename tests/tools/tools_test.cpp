// The bus scan, the communication log and the live monitor: what they find, record, show and
// write, how they share the line, and what they do when a drive is silent or gone.
#include "app/module1.h"
#include "jobs/busscan.h"
#include "kmdsim_process.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "sim_fixture.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_monitor.h"
#include "ui/tools/form_scan.h"
#include "ui/tools/monitor_curve.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
// Runs the event loop until `done` holds (false after `ms`). Unlike QTest::qWaitFor it never
// sleeps, so the port is served as promptly as in the program.
bool Until(const std::function<bool()>& done, int ms = 3000) {
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

template <typename T = QLabel> T* Child(QWidget& w, const char* name) {
    T* child = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

void Click(QWidget& w, const char* name) {
    QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton);
}

QString Shown(QWidget& w, const char* name) {
    if (auto* edit = w.findChild<QLineEdit*>(QString::fromLatin1(name))) return edit->text();
    return Child(w, name)->text();
}

bool Lit(QWidget& w, const char* lamp) {
    return Child(w, lamp)->property("lit").toBool();
}

std::vector<int> Addresses(const ScanOutcome& o) {
    std::vector<int> out;
    for (const ScanHit& h : o.hits)
        out.push_back(h.address);
    return out;
}

} // namespace

TEST_F(SimFixture, ScanFindsExactlyTheDrivesPresentWaitingAtMost150MsAnAddress) {
    bus->setAddresses({1, 5, 31});
    std::vector<double> waits;
    line->setWaitRecorder([&](double s) { waits.push_back(s); });
    ScanOutcome outcome = ScanBus(*line, LineTarget{}, nullptr);
    line->setWaitRecorder(nullptr);
    EXPECT_EQ(Addresses(outcome), (std::vector<int>{1, 5, 31}));
    // The type at each address, the release of each drive found: each waits at most 150 ms.
    EXPECT_EQ(waits, std::vector<double>(32 + 3, 0.15));

    outcome = ScanBus(*line, LineTarget{}, [](int address) { return address < 3; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(Addresses(outcome), std::vector<int>{1});
    EXPECT_FALSE(line->busy());
    port->setOpenFailure("Device or resource busy");
    EXPECT_NE(ScanBus(*line, LineTarget{}, nullptr).portError.find("Device or resource busy"),
              std::string::npos);
}

TEST_F(SimFixture, ToolsMenuOpensTheScanWhoseDoubleClickChoosesTheAddress) {
    bus->setAddresses({4, 9});
    Form_main window(*line);
    Module1::Lingua = 2;
    window.SetLingua();
    EXPECT_EQ(window.findChild<QMenu*>("MenuTools")->title(), "&Tools");
    window.findChild<QAction*>("VoceScan")->trigger();
    auto* scan = window.findChild<Form_Scan*>();
    ASSERT_NE(scan, nullptr);
    auto* table = scan->findChild<QTableWidget*>("Grid_Scan");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 0)->text() + " " + table->item(1, 1)->text() + " " + table->item(1, 2)->text(),
              "9 3 2.1");
    EXPECT_EQ(scan->findChild<QLabel*>("Label_ScanStatus")->text(),
              "Drives found: 2. Double-click a row to select its address.");
    emit table->cellDoubleClicked(1, 0);
    EXPECT_EQ(Module1::Indirizzo, 9);
    EXPECT_EQ(window.findChild<QComboBox*>("Combo_Addr")->currentText(), "9");
}

TEST_F(SimFixture, LogRecordsEveryExchangeInOrderAndSavesWhatItShows) {
    TrafficLog log(*line);
    Form_Log window(log);
    line->counted(LineTarget{}, 1, 1, 0, 0, 1, 1, 0);   // reset to drive 1
    line->counted(LineTarget{}, 99, 17, 0, 0, 1, 1, 0); // stop to every drive
    bus->setFault(DriveBus::Fault::Silent);
    line->counted(LineTarget{}, 2, 18, 0, 0, 1, 8, 0);
    bus->setFault(DriveBus::Fault::None);
    line->polled(LineTarget{}, 1, std::string("\xF9"), 2.0); // erase all programs
    line->counted(LineTarget{}, 1, 49, 3e9, 0, 5, 1, 0);     // a value that does not fit
    port->setOpenFailure("Permission denied");
    line->counted(LineTarget{}, 1, 1, 0, 0, 1, 1, 0);

    QTemporaryDir dir;
    prompts->fileNames = {dir.filePath("log.txt"), dir.filePath("missing/folder/log.txt")};
    window.SaveAs();
    QFile f(dir.filePath("log.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_EQ(text, window.LogText());
    // Each line: time with milliseconds (hh:mm:ss.mmm), direction, address, bytes, meaning.
    const QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
    const char* expected[] = {
        "TX\t1\tFC 21 01 E1\t",   "RX\t1\t06\tACK",       "TX\tswitchall\tFC 00 01 11 F1\t",
        "BROADCAST\tswitchall\t", "TX\t2\tFC 22 12 CF\t", "TIMEOUT\t2\t",
        "TX\t1\tFC 21 F9 E9\t",   "RX\t1\t06\t",          "REFUSED\t1\t",
        "PORT ERROR\t1\t"};
    ASSERT_EQ(lines.size(), static_cast<int>(std::size(expected))) << text.toStdString();
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].indexOf('.') == 8 && lines[i].mid(13).startsWith(expected[i]))
            << lines[i].toStdString();
    EXPECT_TRUE(lines[9].contains("Permission denied"));
    window.model().refresh();
    EXPECT_EQ(window.model().rowCount(), lines.size());
    Module1::Lingua = 3;
    EXPECT_EQ(window.model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Richtung");

    window.SaveAs(); // a folder that does not exist
    EXPECT_TRUE(prompts->messages.size() == 1 && prompts->messages[0].error);
}

// kmd-sim on a pseudo-terminal, the real port, a main window and the monitor, in English.
TEST(MonitorPty, MoveWhileTheMainWindowSharesTheLine) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    Module1::ResetGlobals();
    QtSerialPort serial;
    DriveLine line(serial);
    ScriptedPrompts prompts;
    Form_main main(line);
    main.SelectAddress(1);
    Form_Monitor monitor(line);
    auto samples = [&monitor]() -> const std::deque<MonitorSample>& { return monitor.monitor().samples(); };
    Child<QComboBox>(monitor, "Combo_Rate")->setCurrentText("20");
    Click(monitor, "Command_MonitorStart");
    ASSERT_TRUE(Until([&] { return samples().size() >= 3; }));

    // Press the main window's button while a frame of the monitor awaits its reply.
    main.findChild<QComboBox*>("Combo_QuotaAbs")->setEditText("200000");
    bool pressed = false;
    int watch = line.addObserver([&](const TrafficEvent& e) {
        if (!e.monitor || e.kind != TrafficEvent::Sent || pressed) return;
        pressed = true;
        QTimer::singleShot(0, &main, [&] { Click(main, "Command_StartPosAbs"); });
    });
    ASSERT_TRUE(Until([&] { return Shown(main, "TextRx") == " 06"; }));
    line.removeObserver(watch);
    EXPECT_EQ(Shown(main, "TextTx"), " FC A1 30 00 03 0D 40 E2");
    EXPECT_TRUE(Until([&] { return Lit(monitor, "Lamp_Status0"); }));

    // The move takes about a second, the position rising while bit 0 is set; then bit 0 clears
    // at the target.
    ASSERT_TRUE(Until(
        [&] {
            return samples().back().value[ReadStatus] == 0 && samples().back().value[ReadPosition] == 200000;
        },
        4000));
    std::vector<long long> during;
    for (const MonitorSample& s : samples())
        if (s.value[ReadStatus] && (*s.value[ReadStatus] & 1)) during.push_back(*s.value[ReadPosition]);
    EXPECT_TRUE(during.size() >= 5 && std::is_sorted(during.begin(), during.end()) &&
                during.front() < during.back());
    monitor.Refresh();
    EXPECT_FALSE(Lit(monitor, "Lamp_Status0"));
    EXPECT_EQ(Shown(monitor, "Text_Position"), "Present position:            200000");
    EXPECT_GT(Child<MonitorCurve>(monitor, "Chart_Position")->pointCount(), 20);

    // Never a frame between a frame and its reply.
    const auto& log = main.Log().entries();
    for (size_t k = 0; k + 1 < log.size(); ++k)
        EXPECT_FALSE(log[k].kind == TrafficEvent::Sent && log[k + 1].kind == TrafficEvent::Sent) << k;
}

TEST_F(SimFixture,
       MonitorRefusesBroadcastPausesForTransfersRunsOnSilenceStepsAsideAndStopsWhenTheLinkIsLost) {
    Module1::Lingua = 2;
    bus->setAnalogInput(1, 1234);
    bus->setInputs(1, 165);
    Form_Monitor window(*line);
    Module1::Indirizzo = 99;
    Click(window, "Command_MonitorStart");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].text.startsWith("With SWITCH-ALL address no drive replies"));
    EXPECT_FALSE(window.monitor().running());

    // A transfer holds the line: the monitor waits and says why.
    Module1::Indirizzo = 1;
    auto transfer = std::make_unique<LineLease>(line->lease(BusUse::Transfer));
    Click(window, "Command_MonitorStart");
    Until([] { return false; }, 50);
    window.Refresh();
    EXPECT_EQ(Shown(window, "Label_MonitorState"), "Paused: a program transfer is running");
    EXPECT_TRUE(bus->frames().empty());
    transfer.reset();
    ASSERT_TRUE(Until([&] { return window.monitor().samples().size() >= 2; }));
    Module1::Lingua = 3; // changed in the main window: the open monitor follows
    window.Follow();
    EXPECT_EQ(Shown(window, "Label_MonitorState"), "Läuft");
    EXPECT_EQ(Child<QPushButton>(window, "Command_MonitorStop")->text(), "Stopp");
    Module1::Lingua = 2;
    window.Follow();

    // A silent drive: its misses are counted, its values shown missing, and the monitor runs on;
    // the export holds each value the drive gave and nothing where it was silent.
    window.Refresh();
    EXPECT_EQ(Shown(window, "Text_Analog"), "AN_IN = 1234");
    EXPECT_EQ(Shown(window, "Text_Inputs"), "Drive I/O (BIT 7..0):     10100101");
    EXPECT_TRUE(Lit(window, "Lamp_Input0") && !Lit(window, "Lamp_Input1") && Lit(window, "Lamp_Input7"));
    bus->setFault(DriveBus::Fault::Silent);
    ASSERT_TRUE(Until([&] { return window.monitor().misses() >= 8; }));
    window.Refresh();
    EXPECT_EQ(Shown(window, "Text_Analog"), "- no rx -");
    EXPECT_TRUE(window.monitor().running() &&
                Shown(window, "Label_MonitorMisses").startsWith("Missed replies: "));
    bus->setFault(DriveBus::Fault::None);
    ASSERT_TRUE(Until([&] { return window.monitor().samples().back().value[ReadAnalog] == 1234; }));
    Click(window, "Command_MonitorStop");
    QTemporaryDir dir;
    prompts->fileNames.push_back(dir.filePath("samples.csv"));
    Click(window, "Command_MonitorExport");
    QFile csv(dir.filePath("samples.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), static_cast<int>(window.monitor().samples().size()) + 1);
    EXPECT_EQ(lines[0], "time_ms,address,position,status,inputs,analog");
    EXPECT_GE(lines.filter(QRegularExpression("^\\d+,1,,,,$")).size(), 2);
    EXPECT_EQ(lines.filter(QRegularExpression("^\\d+,1,(0|),(0|),(165|),(1234|)$")).size(), lines.size() - 1);
    Click(window, "Command_MonitorStart");

    // An operation that finds the monitor on the line gets it at once (its first frame waits for
    // the monitor's reply); a second one meanwhile is refused, and the monitor stays off the line
    // until the first ends.
    bus->setSlowSeconds(0.1);
    bus->setFault(DriveBus::Fault::Slow);
    ASSERT_TRUE(Until([this] { return line->busy() && line->holder() == BusUse::Monitor; }));
    bool secondAcquired = true;
    QTimer::singleShot(10, [&] { secondAcquired = static_cast<bool>(line->lease(BusUse::Command)); });
    {
        LineLease first = line->lease(BusUse::Command);
        EXPECT_TRUE(first);
        ASSERT_TRUE(Until([this] { return !line->exchanging(); })); // the monitor's read on the line ends
        const size_t frames = bus->frames().size();
        Until([] { return false; }, 150);
        EXPECT_FALSE(secondAcquired);
        EXPECT_EQ(bus->frames().size(), frames);
    }
    bus->setFault(DriveBus::Fault::None);
    const size_t frames = bus->frames().size();
    ASSERT_TRUE(Until([&] { return bus->frames().size() > frames + 2; }));

    bus->setFault(DriveBus::Fault::Vanished);
    ASSERT_TRUE(Until([&] { return !window.monitor().running() && prompts->messages.size() == 2; }));
    EXPECT_TRUE(prompts->messages[1].text.startsWith("Monitor stopped: "));
    EXPECT_FALSE(line->busy());
}
