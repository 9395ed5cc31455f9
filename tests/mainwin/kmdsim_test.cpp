// End to end: the real window on the real serial port, against kmd-sim's pseudo-terminal; and
// the Exit entry ending a program that is waiting for a drive.
#include "mainwin_fixture.h"

#include "kmdsim_process.h"

#include "app/module1.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>

TEST_F(MainWindowTest, RealPortAgainstKmdSim) {
    KmdSimProcess sim;
    ASSERT_TRUE(sim.ready());
    QtSerialPort serial;
    SetSharedPort(&serial);
    WaitScale = 1.0; // a real line: the real bound
    open();
    pick("Combo_Addr", "1");
    const std::pair<const char*, const char*> cases[] = {
        {"Command_Reset", " FC 21 01 E1"},          {"Command_LowNoiseON", " FC 41 EE 02 D2"},
        {"Command_LowNoiseOFF", " FC 41 EE 00 D4"}, {"Command_MovInfinitoCw", " FC 41 32 00 90"},
        {"Command_Stop", " FC 21 11 D1"},           {"Command_GoZero", " FC 21 A6 3C"},
        {"Command_StartUltimoPos", " FC 21 02 E0"}, {"Command_Stop", " FC 21 11 D1"},
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
    serial.close();
    SetSharedPort(nullptr);
}

// Runs in a child process: Exit must end the program at once, also while a command waits.
TEST_F(MainWindowTest, ExitEndsTheProgramEvenDuringAWait) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WaitScale = 1.0;
            open();
            pick("Combo_Addr", "9"); // no drive: the reset waits the whole second
            QTimer::singleShot(0, window.get(), [this] { click("Command_Reset"); });
            QTimer::singleShot(100, window.get(), [this] { click("VoceExit"); });
            QTimer::singleShot(3000, [] { std::exit(2); }); // Exit did nothing
            const int rc = QApplication::exec();
            std::exit(rc == 0 && WaitsAborted() ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}
