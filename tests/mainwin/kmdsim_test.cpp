// End to end: the real window on the real serial port, against kmd-sim's pseudo-terminal; and
// the Exit entry ending a program that is waiting for a drive.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/buswait.h"
#include "link/qtserialport.h"
#include "link/transaction.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

TEST_F(MainWindowTest, RealPortAgainstKmdSim) {
    QProcess sim;
    sim.setWorkingDirectory(QDir::currentPath());
    sim.start(KMD_SIM_PATH, {"--com", "1"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    for (int i = 0; i < 100 && !QFileInfo("com1").isSymLink(); ++i)
        WaitSeconds(0.05 / WaitScale);
    ASSERT_TRUE(QFileInfo("com1").isSymLink()) << "kmd-sim did not link ./com1";

    QtSerialPort serial;
    SetSharedPort(&serial);
    WaitScale = 1.0; // a real line: the real bound
    open();
    pick("Combo_Addr", "1");
    struct Case {
        const char* button;
        const char* frame;
    };
    const Case cases[] = {
        {"Command_Reset", " FC 21 01 E1"},          {"Command_LowNoiseON", " FC 41 EE 02 D2"},
        {"Command_LowNoiseOFF", " FC 41 EE 00 D4"}, {"Command_MovInfinitoCw", " FC 41 32 00 90"},
        {"Command_Stop", " FC 21 11 D1"},           {"Command_GoZero", " FC 21 A6 3C"},
        {"Command_StartUltimoPos", " FC 21 02 E0"},
    };
    for (const Case& c : cases) {
        click(c.button);
        EXPECT_EQ(text("TextTx").toStdString(), c.frame) << c.button;
        EXPECT_EQ(text("TextRx"), " 06") << c.button;
    }
    click("Command_Stop");
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextTx"), " FC 21 12 D0");
    EXPECT_EQ(text("TextRx").size(), 24) << text("TextRx").toStdString(); // eight bytes
    EXPECT_TRUE(text("ParRx").startsWith("Present position:            ")) << text("ParRx").toStdString();

    // A drive that falls silent: the bounded wait ends and says so.
    sim.write("fault silent\n");
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    sim.readAll();
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- no rx - timeout");
    EXPECT_TRUE(prompts->messages.empty());

    serial.close();
    SetSharedPort(nullptr);
    sim.terminate();
    sim.waitForFinished(5000);
}

// Runs in a child process: Exit must end the program at once, also while a command waits.
TEST_F(MainWindowTest, ExitEndsTheProgramEvenDuringAWait) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            WaitScale = 1.0;
            open();
            pick("Combo_Addr", "9"); // no drive: the reset waits the whole second
            QElapsedTimer clock;
            clock.start();
            QTimer::singleShot(0, window.get(), [this] { click("Command_Reset"); });
            QTimer::singleShot(100, window.get(), [this] { click("VoceExit"); });
            QTimer::singleShot(3000, [] { std::exit(2); }); // Exit did nothing
            const int rc = QApplication::exec();
            std::exit(rc == 0 && WaitsAborted() && clock.elapsed() < 800 ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}
