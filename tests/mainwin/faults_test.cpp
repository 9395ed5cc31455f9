// What the operator sees when the line goes wrong: no answer, no port, a lost adapter, and a
// click while the drive is still being waited for.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/buswait.h"

#include <QTimer>

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, ASilentDriveEndsInTheTimeoutNoticeAfterOneSecond) {
    open();
    pick("Combo_Addr", "5"); // no drive there
    std::vector<double> waits;
    WaitRecorder = [&](double s) { waits.push_back(s); };
    expectAfter([&] { click("Command_Reset"); }, {" FC 25 01 DD"},
                {{"TextTx", " FC 25 01 DD"}, {"TextRx", "- no rx - timeout"}, {"ParRx", ""}});
    WaitRecorder = nullptr;
    EXPECT_EQ(waits, std::vector<double>{1.0}); // the one-second bound
    switchLanguage(1);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - timeout");
}

TEST_F(MainWindowTest, PortFailuresAreToldAndTheNextCommandWorks) {
    open();
    click("Command_Reset");
    Module1::ComPort = 3;
    port->setOpenFailure("Permission denied");
    click("Command_Stop");
    EXPECT_EQ(framesHex(), Strings{" FC 20 01 E2"});
    EXPECT_EQ(text("TextTx"), " FC 20 01 E2"); // the last frame that really went out
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
    WaitScale = 1.0;
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
    WaitScale = 1.0;
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
