// End to end: the diagnostics window on the real serial port against kmd-sim's pseudo-terminal.
#include "diag_support.h"
#include "kmdsim_process.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "ui/diagnostics/form_special.h"
#include "ui/diagnostics/special_tests.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

TEST_F(DiagFixture, AllThreeTestsRunAgainstKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    SetSharedPort(&serial);
    ShowDiagnostics(nullptr);
    Form_SPECIAL* window = DiagnosticsWindow();
    struct Cleanup {
        QtSerialPort& serial;
        ~Cleanup() {
            if (DiagnosticsWindow()) DiagnosticsWindow()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            serial.close();
            SetSharedPort(nullptr);
        }
    } cleanup{serial};
    auto click = [&](const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    };
    auto text1 = [&] { return window->findChild<QPlainTextEdit*>("Text1")->toPlainText(); };
    std::vector<std::string> sent;
    int loopSends = 0;
    watchSent([&](int code, const std::string& frame) {
        sent.push_back(Hex(frame));
        if (code == 211 && ++loopSends == 3) click("Command_Stop");
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

    WaitScale = 0.1; // a hundred real moves; the polls come faster
    sent.clear();
    click("Command_teststep");
    EXPECT_EQ(text1(), "NCicli= 100");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), " FC 41 26 04 98"), 1);
    EXPECT_EQ(
        std::count_if(sent.begin(), sent.end(), [](const std::string& f) { return f.substr(7, 2) == "31"; }),
        100);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), " FC A1 30 00 00 00 00 32");
    EXPECT_TRUE(window->isVisible());
}
