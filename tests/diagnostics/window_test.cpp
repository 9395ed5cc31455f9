#include "diag_support.h"

#include "link/buswait.h"
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
