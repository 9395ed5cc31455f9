// While an operation holds the line, nothing the operator opens may change the line under it or
// stall it: dialogs are refused with a beep, and the operation runs to its end as it began.
#include "mainwin_fixture.h"

#include "ui/editor/form_prgeeprom.h"
#include "ui/tools/form_monitor.h"

#include <QAction>
#include <QFile>
#include <QPushButton>

TEST_F(MainWindowTest, DuringATransferTheSettingsAboutAndSaveAreRefused) {
    open();
    Form_PrgEeprom editor(*line);
    bus->setSlowSeconds(0.05);
    bus->setFault(DriveBus::Fault::Slow);
    const QString file = QDir::current().filePath("programs.txt");
    prompts->answers = {true};
    prompts->fileNames = {file};
    WhenFirstSent(*line, [&] {
        for (const char* action : {"VoceSerialSetting", "VoceLanguage", "VoceAbout"})
            click(action);
        editor.findChild<QPushButton*>("Command_SavePrg")->click();
    });
    editor.ReadAllPrg();
    EXPECT_EQ(prompts->beeps, 4);
    EXPECT_TRUE(prompts->messages.empty());   // About never showed
    EXPECT_EQ(prompts->fileNames.size(), 1u); // no file name asked for
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(bus->frames().size(), 17u); // every program read, on the port it began with
    EXPECT_FALSE(line->busy());
}

TEST_F(MainWindowTest, AButtonPressedWhileTheMonitorReadsHoldsTheWindowAtOnce) {
    open();
    pick("Combo_Addr", "1");
    Form_Monitor monitor(*line);
    line->setWaitScale(1.0); // the drive's real time against the real bounds
    bus->setSlowSeconds(0.05);
    bus->setFault(DriveBus::Fault::Slow);
    monitor.Start();
    ASSERT_TRUE(line->exchanging());
    bool closed = true;
    QTimer::singleShot(0, window.get(), [&] { closed = window->close(); });
    click("Command_Reset"); // goes once the monitor's read has its answer
    EXPECT_FALSE(closed);
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(text("TextTx"), " FC 21 01 E1");
    EXPECT_EQ(text("TextRx"), " 06");
    monitor.Stop();
}

TEST_F(MainWindowTest, TheInitSequenceSendsWhatWasChosenWhenItStarted) {
    open();
    switchLanguage(2); // every list "-"
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    line->setWaitScale(1.0);
    bus->setSlowSeconds(0.05);
    bus->setFault(DriveBus::Fault::Slow);
    WhenFirstSent(*line, [&] {
        click("VoceLanguage"); // refused
        window->CaricaListe(); // and lists refilled all the same: the skipped steps stay skipped
    });
    expectAfter([&] { click("Command_SendInit"); }, {" FC 60 20 00 64 1F", " FC 40 22 19 88"});
    EXPECT_EQ(prompts->beeps, 1);
}
