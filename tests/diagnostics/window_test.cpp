// The diagnostics window: its controls, Stop and Close under a running test, and all three
// tests on the real serial port against kmd-sim's pseudo-terminal.
#include "diag_support.h"

#include "kmdsim_process.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "ui/diagnostics/form_special.h"
#include "ui/diagnostics/special_tests.h"
#include <algorithm>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class WindowTest : public DiagFixture {
  protected:
    void SetUp() override {
        DiagFixture::SetUp();
        ShowDiagnostics(nullptr);
        window = DiagnosticsWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (DiagnosticsWindow()) DiagnosticsWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DiagFixture::TearDown();
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString text1() { return window->findChild<QPlainTextEdit*>("Text1")->toPlainText(); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // Clicks `name` once the event loop runs again (that is, while a test waits).
    void clickLater(const char* name, int ms = 30) {
        QTimer::singleShot(ms, window, [this, name] { click(name); });
    }

    Form_SPECIAL* window = nullptr;
};

TEST_F(WindowTest, OneWindowWithItsControls) {
    ShowDiagnostics(nullptr);
    EXPECT_EQ(DiagnosticsWindow(), window);
    EXPECT_EQ(window->windowTitle(), "SPECIAL");
    EXPECT_EQ(button("Command_Loop")->text(), "Test loop");
    EXPECT_EQ(button("Command_testenc")->text(), "Test Encoder");
    EXPECT_EQ(button("Command_teststep")->text(), "Test Step");
    EXPECT_EQ(button("Command_Stop")->text(), "Stop");
    EXPECT_EQ(text1(), "Text1");

    click("Command_Stop"); // nothing runs: nothing happens
    EXPECT_EQ(text1(), "Text1");
    EXPECT_TRUE(bus->frames().empty());
}

TEST_F(WindowTest, StopEndsTheLoopAndSecondStartBeeps) {
    bus->setAnalogInput(1, 1010);
    int sends = 0;
    watchSent([&](int code, const std::string&) {
        if (code != 211) return;
        if (++sends == 1) clickLater("Command_teststep", 0);
        if (sends == 2) clickLater("Command_Stop", 0);
    });
    click("Command_Loop");
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_FALSE(window->tests().running());
    EXPECT_FALSE(BusOperation::busy());
    std::vector<int> sent = codes();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 38), 0); // the step test never started
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 211), 2);
    EXPECT_TRUE(text1().endsWith("Test stopped\n")) << text1().toStdString();
    EXPECT_TRUE(text1().contains("\nvalore= 25600\n"));
}

TEST_F(WindowTest, ClosingDuringATestStopsItFirst) {
    QPointer<Form_SPECIAL> w = window;
    QTimer::singleShot(40, window, [w] { w->close(); });
    click("Command_Loop");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(DiagnosticsWindow(), nullptr);
    EXPECT_FALSE(BusOperation::busy());

    ShowDiagnostics(nullptr); // a fresh window
    window = DiagnosticsWindow();
    EXPECT_EQ(text1(), "Text1");
}

TEST_F(WindowTest, AllThreeTestsRunAgainstKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    SetSharedPort(&serial);
    struct Restore {
        SerialPort* simulated;
        ~Restore() { SetSharedPort(simulated); }
    } restore{port.get()};
    std::vector<std::string> sent;
    int loopSends = 0, moves = 0;
    watchSent([&](int code, const std::string& frame) {
        sent.push_back(Hex(frame));
        if ((code == 211 && ++loopSends == 3) || (code == 49 && ++moves == 3)) click("Command_Stop");
    });

    WaitScale = 1.0; // the encoder test and the loop at their real timing
    click("Command_testenc");
    EXPECT_EQ(sent, (std::vector<std::string>{" FC 61 A8 0F A0 4B", " FC 61 C7 03 E8 F0", " FC 41 CB 01 F6",
                                              " FC 41 32 00 90"}));
    EXPECT_EQ(text1(), "Text1");

    ASSERT_TRUE(sim.control("analog 1 1010"));
    click("Command_Loop");
    EXPECT_EQ(loopSends, 3);
    EXPECT_TRUE(text1().startsWith("POSIZIONE=FC ")) << text1().toStdString();
    EXPECT_TRUE(text1().endsWith("\nvalore= 25600\nTest stopped\n")) << text1().toStdString();

    // Real moves, each awaited through the status polls; the hundred run in-process.
    WaitScale = 0.1;
    sent.clear();
    click("Command_teststep");
    EXPECT_EQ(text1(), "NCicli= 2\nTest stopped\n"); // the third move was under way
    EXPECT_EQ(std::count(sent.begin(), sent.end(), " FC 41 26 04 98"), 1);
    EXPECT_GE(std::count(sent.begin(), sent.end(), " FC 21 AC 36"), 3);
    EXPECT_TRUE(window->isVisible());
    serial.close();
}
