// What the operator sees when the line goes wrong: no answer, no port, a lost adapter, and a
// click while the drive is still being waited for.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/buswait.h"

#include <QTimer>

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, SilentOrCutRepliesEndInTheTimeoutNotice) {
    open();
    pick("Combo_Addr", "5"); // no drive there
    std::vector<double> waits;
    WaitRecorder = [&](double s) { waits.push_back(s); };
    expectAfter([&] { click("Command_Reset"); }, {" FC 25 01 DD"},
                {{"TextTx", " FC 25 01 DD"}, {"TextRx", "- no rx - timeout"}, {"ParRx", ""}});
    WaitRecorder = nullptr;
    EXPECT_EQ(waits, std::vector<double>{1.0}); // the one-second bound
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_FALSE(port->isOpen());
    switchLanguage(1);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - timeout");

    // The bytes that did come are shown before the notice.
    switchLanguage(2);
    pick("Combo_Addr", "0");
    bus->setFault(DriveBus::Fault::CutShort);
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextRx"), " FC A0 12 00 00 00 00 - no rx - timeout");
    EXPECT_EQ(text("ParRx"), "");
}

TEST_F(MainWindowTest, PortFailuresAreToldAndTheNextCommandWorks) {
    open();
    click("Command_Reset");
    Module1::ComPort = 3;
    port->setOpenFailure("Permission denied");
    click("Command_Stop");
    EXPECT_EQ(framesHex(), Strings{" FC 20 01 E2"});
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
    EXPECT_TRUE(prompts->messages[0].text.startsWith("Cannot open the serial port COM3"));
    EXPECT_TRUE(prompts->messages[0].text.contains("Permission denied"));
    EXPECT_TRUE(prompts->messages[0].error);
    EXPECT_EQ(text("TextTx"), " FC 20 01 E2"); // the last frame that really went out
    port->setOpenFailure("");
    click("Command_Stop");
    EXPECT_EQ(text("TextTx"), " FC 20 11 D2");
    EXPECT_EQ(text("TextRx"), " 06");

    // The adapter is pulled during the wait.
    WaitScale = 1.0;
    bus->setFault(DriveBus::Fault::Silent);
    QTimer::singleShot(50, [this] { bus->setFault(DriveBus::Fault::Vanished); });
    click("Command_Reset");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].title, "VarDelo - ERROR");
    EXPECT_TRUE(prompts->messages[1].text.contains("Serial link lost"));
    EXPECT_FALSE(port->isOpen());
    bus->setFault(DriveBus::Fault::None);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), " 06");
    EXPECT_EQ(prompts->messages.size(), 2u);
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
    EXPECT_FALSE(BusOperation::busy());

    // Afterwards the buttons work again.
    bus->setFault(DriveBus::Fault::None);
    click("Command_Stop");
    EXPECT_EQ(framesHex().size(), 2u);
}
