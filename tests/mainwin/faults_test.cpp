// What the operator sees when the line goes wrong (no answer, no port, a lost adapter, a click
// while the drive is still being waited for); the real window on the real serial port against
// kmd-sim's pseudo-terminal; and Exit ending a program that is waiting for a drive.
#include "mainwin_fixture.h"

#include "kmdsim_process.h"
#include "line/driveline.h"
#include "line/qtserialport.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

TEST_F(MainWindowTest, LineFailuresAreToldAndTheNextCommandWorks) {
    open();
    pick("Combo_Addr", "5"); // no drive there
    std::vector<double> waits;
    line->setWaitRecorder([&](double s) { waits.push_back(s); });
    expectAfter([&] { click("Command_Reset"); }, {" FC 25 01 DD"},
                {{"TextTx", " FC 25 01 DD"}, {"TextRx", "- no rx - timeout"}, {"ParRx", ""}});
    line->setWaitRecorder(nullptr);
    EXPECT_EQ(waits, std::vector<double>{1.0}); // the one-second bound
    switchLanguage(1);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - timeout");

    switchLanguage(2); // the port will not open
    pick("Combo_Addr", "0");
    click("Command_Reset");
    Module1::ComPort = 3;
    port->setOpenFailure("Permission denied");
    // Nothing goes out; TX keeps the last frame that really went out.
    expectAfter([&] { click("Command_Stop"); }, {}, {{"TextTx", " FC 20 01 E2"}});
    ASSERT_EQ(prompts->messages.size(), 1u);
    const auto& said = prompts->messages[0];
    EXPECT_TRUE(said.error && said.title == "VarDelo - ERROR");
    EXPECT_TRUE(said.text.startsWith("Cannot open the serial port COM3") &&
                said.text.contains("Permission denied"))
        << said.text.toStdString();
    port->setOpenFailure("");
    expectAfter([&] { click("Command_Stop"); }, {" FC 20 11 D2"},
                {{"TextTx", " FC 20 11 D2"}, {"TextRx", " 06"}});

    // The adapter is pulled during the wait.
    line->setWaitScale(1.0);
    bus->setFault(DriveBus::Fault::Silent);
    QTimer::singleShot(50, [this] { bus->setFault(DriveBus::Fault::Vanished); });
    click("Command_Reset");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_TRUE(prompts->messages[1].text.startsWith("Serial link lost"))
        << prompts->messages[1].text.toStdString();
    EXPECT_FALSE(port->isOpen());
    bus->setFault(DriveBus::Fault::None);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), " 06");
}

TEST_F(MainWindowTest, ClicksWhileTheDriveIsAwaitedAreRefused) {
    line->setWaitScale(1.0);
    open();
    bus->setFault(DriveBus::Fault::Slow);
    bus->setSlowSeconds(0.3);
    bool closed = true;
    QTimer::singleShot(50, window.get(), [&] {
        click("Command_Stop");
        pick("Combo_Fmin", "100");
        click("Command_SendInit");
        click("Command_StartPosAbs");
        closed = window->close();
    });
    click("Command_Reset");
    EXPECT_EQ(prompts->beeps, 4);
    EXPECT_FALSE(closed);
    EXPECT_EQ(framesHex(), Strings{" FC 20 01 E2"}); // the refused clicks sent nothing
    EXPECT_EQ(text("TextRx"), " 06");                // the first transaction was not disturbed
    bus->setFault(DriveBus::Fault::None);
    expectAfter([&] { click("Command_Stop"); }, {" FC 20 11 D2"}); // the buttons work again
}

TEST_F(MainWindowTest, RealPortAgainstKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    DriveLine serialLine(serial); // a real line: the real bound
    other = &serialLine;
    open();
    pick("Combo_Addr", "1");
    const std::pair<const char*, const char*> cases[] = {
        {"Command_Reset", " FC 21 01 E1"},
        {"Command_LowNoiseON", " FC 41 EE 02 D2"},
        {"Command_MovInfinitoCw", " FC 41 32 00 90"},
        {"Command_Stop", " FC 21 11 D1"},
        {"Command_GoZero", " FC 21 A6 3C"},
        {"Command_Stop", " FC 21 11 D1"},
    };
    for (const auto& [button, frame] : cases) {
        click(button);
        EXPECT_EQ(text("TextTx").toStdString(), frame) << button;
        EXPECT_EQ(text("TextRx"), " 06") << button;
    }
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextRx").size(), 24) << text("TextRx").toStdString(); // eight bytes
    EXPECT_TRUE(text("ParRx").startsWith("Present position:            ")) << text("ParRx").toStdString();
    window.reset();
    other = nullptr;
}

// Runs in a child process: Exit must end the program at once, also while a command waits.
TEST_F(MainWindowTest, ExitEndsTheProgramEvenDuringAWait) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            line->setWaitScale(1.0);
            open();
            pick("Combo_Addr", "9"); // no drive: the reset waits the whole second
            QTimer::singleShot(0, window.get(), [this] { click("Command_Reset"); });
            QTimer::singleShot(100, window.get(), [this] { click("VoceExit"); });
            QTimer::singleShot(3000, [] { std::exit(2); }); // Exit did nothing
            const int rc = QApplication::exec();
            std::exit(rc == 0 && line->aborted() ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}
