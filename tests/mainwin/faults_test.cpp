// What the operator sees when the line goes wrong: no answer, no port, a lost adapter, and a
// click while the drive is still being waited for.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/buswait.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, SilentDriveEndsInTheTimeoutNoticeAtFullLength) {
    WaitScale = 1.0; // the real one-second bound
    open();
    pick("Combo_Addr", "5"); // no drive there
    QElapsedTimer clock;
    clock.start();
    click("Command_Reset");
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_EQ(framesHex(), Strings{" FC 25 01 DD"});
    EXPECT_EQ(text("TextTx"), " FC 25 01 DD");
    EXPECT_EQ(text("TextRx"), "- no rx - timeout");
    EXPECT_EQ(text("ParRx"), "");
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_FALSE(port->isOpen());

    WaitScale = 0.02;
    switchLanguage(1);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - timeout");
    switchLanguage(3);
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), "- no rx - timeout");
}

TEST_F(MainWindowTest, CutReplyShowsWhatArrivedBeforeTheNotice) {
    ReplyPort reply;
    SetSharedPort(&reply);
    open();
    reply.replies.push_back({Bytes("FC 20 12"), 0});
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextRx"), " FC 20 12 - no rx - timeout");
    EXPECT_EQ(text("ParRx"), "");
}

TEST_F(MainWindowTest, PortThatWillNotOpenIsNamedAndNothingIsSent) {
    open();
    click("Command_Reset");
    ASSERT_EQ(text("TextTx"), " FC 20 01 E2");
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

    // The window stays usable: the next command reopens the port.
    port->setOpenFailure("");
    click("Command_Stop");
    EXPECT_EQ(text("TextTx"), " FC 20 11 D2");
    EXPECT_EQ(text("TextRx"), " 06");
}

TEST_F(MainWindowTest, LostAdapterIsToldAndTheNextCommandWorks) {
    WaitScale = 1.0;
    ReplyPort reply;
    SetSharedPort(&reply);
    open();
    reply.pullPlugAfter(50);
    click("Command_Reset");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
    EXPECT_TRUE(prompts->messages[0].text.contains("Serial link lost"));
    EXPECT_FALSE(reply.isOpen());

    reply.replies.push_back({"\x06", 0});
    click("Command_Reset");
    EXPECT_EQ(text("TextRx"), " 06");
    EXPECT_EQ(prompts->messages.size(), 1u);
}

TEST_F(MainWindowTest, ClicksWhileTheDriveIsAwaitedAreRefused) {
    WaitScale = 1.0;
    ReplyPort reply;
    SetSharedPort(&reply);
    open();
    reply.replies.push_back({"\x06", 300}); // a slow drive
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
    ASSERT_EQ(reply.frames.size(), 1u); // the refused clicks sent nothing
    EXPECT_EQ(Hex(reply.frames[0]), " FC 20 01 E2");
    EXPECT_EQ(text("TextRx"), " 06"); // the first transaction was not disturbed
    EXPECT_FALSE(BusOperation::busy());

    // Afterwards the buttons work again.
    reply.replies.push_back({"\x06", 0});
    click("Command_Stop");
    EXPECT_EQ(reply.frames.size(), 2u);
}
