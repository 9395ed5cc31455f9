// Stop all drives: F12 from every window, prompts and running operations included; the broadcast
// Stop goes out twice, ahead of whatever holds the line, and that operation ends as interrupted.
#include "../mainwin/mainwin_fixture.h"

#include "kmdsim_process.h"
#include "line/qtserialport.h"
#include "ui/common/stopall.h"
#include "ui/diagnostics/form_special.h"
#include "ui/editor/form_prgeeprom.h"
#include "ui/settings/form_serial.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_monitor.h"
#include "ui/tools/form_scan.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const std::string StopFrame = " FC 00 01 11 F1";

// F12 as the operator presses it, on the widget that has the keyboard (else on `window`).
void PressF12(QWidget* window) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, Qt::Key_F12);
}

} // namespace

class StopTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        open();
        Module1::Lingua = 2;
        window->SetLingua();
    }
    // Presses F12 in `w` and expects both stop frames, and nothing else, on the line.
    void expectStopFrom(QWidget* w, const char* what) {
        bus->clearFrames();
        PressF12(w);
        EXPECT_TRUE(line->waitStopDone()) << what;
        EXPECT_EQ(framesHex(), (Strings{StopFrame, StopFrame})) << what;
    }
};

TEST_F(StopTest, F12StopsEveryDriveFromEveryWindowAndEveryPrompt) {
    Form_PrgEeprom editor(*line);
    Form_SPECIAL diagnostics(*line);
    Form_Log log(window->Log());
    Form_Scan scan(*line, [](int) {});
    Form_serial serial(*line);
    const std::pair<QWidget*, const char*> windows[] = {
        {window.get(), "main"}, {&editor, "editor"}, {&diagnostics, "diagnostics"},
        {&log, "log"},          {&scan, "scan"},     {&serial, "serial settings"}};
    for (auto [w, what] : windows)
        expectStopFrom(w, what);
    for (QWidget* w : {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(&editor),
                       static_cast<QWidget*>(&diagnostics)}) {
        auto* button = w->findChild<QPushButton*>("Command_StopAll");
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(), "Stop all drives");
        EXPECT_TRUE(button->isEnabled());
    }
    // Real modal boxes: their own event loop, with the main window beneath them.
    QMessageBox box(QMessageBox::Question, "VarDelo", "Really?", QMessageBox::Yes | QMessageBox::No,
                    window.get());
    QTimer::singleShot(0, &box, [&] {
        expectStopFrom(QApplication::activeModalWidget(), "message box");
        box.reject();
    });
    box.exec();
    QInputDialog input(window.get());
    QTimer::singleShot(0, &input, [&] {
        expectStopFrom(QApplication::activeModalWidget(), "input prompt");
        input.reject();
    });
    input.exec();
    // The log tells the stop apart, and the status line says it went out.
    const LogEntry& last = window->Log().entries().back();
    EXPECT_EQ(last.decoded.rfind("EMERGENCY STOP", 0), 0u) << last.decoded;
    EXPECT_EQ(text("Statusbar"), "STOP sent to all drives");
    Module1::Lingua = 1;
    window->SetLingua();
    EXPECT_EQ(editor.findChild<QPushButton*>("Command_StopAll")->text(), "Ferma tutti i drive");
}

TEST_F(StopTest, AStopCutsATransferShortAndItNeverSaysItWasDone) {
    Form_PrgEeprom editor(*line);
    line->setWaitScale(1.0); // the slow drive against the real bounds: only the stop ends the wait
    bus->setSlowSeconds(0.5);
    bus->setFault(DriveBus::Fault::Slow);
    prompts->answers = {true};
    WhenFirstSent(*line, [&] { PressF12(&editor); });
    editor.ReadAllPrg();
    EXPECT_TRUE(line->waitStopDone());
    const Strings frames = framesHex();
    ASSERT_EQ(frames.size(), 3u); // the first read, then the stop twice: nothing more was read
    EXPECT_EQ(frames[1], StopFrame);
    EXPECT_EQ(frames[2], StopFrame);
    const QString status = editor.findChild<QPlainTextEdit*>("Text1")->toPlainText();
    EXPECT_TRUE(status.contains("STOPPED")) << status.toStdString();
    EXPECT_FALSE(status.contains("OK")) << status.toStdString();
    EXPECT_FALSE(line->busy());
}

TEST_F(StopTest, TheScanEndsAndTheMonitorGoesOn) {
    Form_Scan scan(*line, [](int) {});
    WhenFirstSent(*line, [&] { PressF12(&scan); });
    scan.StartScan();
    EXPECT_TRUE(line->waitStopDone());
    EXPECT_LE(framesHex().size(), 4u); // not the 32 addresses
    EXPECT_FALSE(scan.running());

    bus->clearFrames();
    Form_Monitor monitor(*line);
    monitor.Start();
    ASSERT_TRUE(line->exchanging());
    PressF12(&monitor);
    EXPECT_TRUE(line->waitStopDone());
    EXPECT_TRUE(QTest::qWaitFor([&] { return framesHex().size() >= 5; }));
    const Strings frames = framesHex();
    EXPECT_EQ(frames[1], StopFrame);
    EXPECT_EQ(frames[2], StopFrame);
    EXPECT_NE(frames[3], StopFrame); // polling again
    monitor.Stop();
}

TEST_F(StopTest, APortThatCannotOpenIsToldAndTheStatusLineSaysNotSent) {
    port->setOpenFailure("device busy");
    PressF12(window.get());
    EXPECT_FALSE(line->stopping());
    EXPECT_TRUE(framesHex().empty());
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].error);
    EXPECT_TRUE(prompts->messages[0].text.startsWith("Cannot open the serial port "))
        << prompts->messages[0].text.toStdString();
    EXPECT_TRUE(prompts->messages[0].text.contains("device busy"));
    EXPECT_TRUE(text("Statusbar").startsWith("STOP NOT sent: ")) << text("Statusbar").toStdString();
}

// Over a pseudo-terminal: the command-line stop and the window's stop both put two frames on the line.
TEST(StopOnPty, BothStopFramesReachTheDrives) {
    KmdSimProcess sim({"--com", "1", "--line-time"});
    ASSERT_TRUE(sim.ready());
    auto frames = [&] {
        QStringList printed;
        EXPECT_TRUE(sim.control("frames", &printed));
        return printed.filter("frame ");
    };
    QProcess cli;
    cli.setWorkingDirectory(sim.dir());
    cli.start(VARDELO_CLI_PATH, {"stop"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    // kmd-sim is another process: its report may come before it has read the pty.
    EXPECT_TRUE(QTest::qWaitFor([&] { return frames().size() >= 2; }));
    EXPECT_EQ(frames(), (QStringList{"frame FC 00 01 11 F1", "frame FC 00 01 11 F1"}));

    QtSerialPort port;
    DriveLine line(port);
    ASSERT_EQ(line.stopAll({1, 9600}).outcome, Outcome::Broadcast);
    EXPECT_TRUE(line.waitStopDone());
    EXPECT_TRUE(QTest::qWaitFor([&] { return frames().size() >= 4; }));
    EXPECT_EQ(frames().size(), 4);

    cli.start(VARDELO_CLI_PATH, {"stop", "--device", "/nonexistent/tty"});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 3);
}

// On the half-duplex line a stop written while a drive answers garbles both: the first stop waits
// for the answer on its way (bounded), so it is never the one lost.
TEST(StopOnPty, AStopWaitsForTheAnswerOnItsWay) {
    KmdSimProcess sim({"--com", "1", "--line-time"});
    ASSERT_TRUE(sim.ready());
    QtSerialPort port;
    DriveLine line(port);
    bool stopped = false;
    line.addObserver([&](const TrafficEvent& e) {
        if (e.kind == TrafficEvent::Sent && !stopped) // the read's frame is on the line
            QTimer::singleShot(0, &line, [&] { stopped = line.stopAll({1, 9600}).outcome == Outcome::Broadcast; });
    });
    // The position read: 4 bytes out, 8 back.
    EXPECT_EQ(line.counted({1, 9600}, 1, 18, 0, 0, 1, 8, 0).outcome, Outcome::Aborted);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(line.waitStopDone());
    QStringList frames, collisions;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        frames.clear();
        return sim.control("frames", &frames) && frames.filter("frame ").size() >= 3;
    }));
    EXPECT_EQ(frames.filter("frame ").mid(1), (QStringList{"frame FC 00 01 11 F1", "frame FC 00 01 11 F1"}));
    ASSERT_TRUE(sim.control("collisions", &collisions));
    EXPECT_EQ(collisions, QStringList{"collisions 0"});
}
