// The direct command buttons, address selection and positioning targets: frames on the line and
// what the TX / RX / description fields show.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/decoder.h"

#include <QTimer>

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, StartsAtAddressZeroWithNeutralListsAndEnglishStatus) {
    open();
    EXPECT_EQ(text("Combo_Addr"), "0");
    EXPECT_EQ(list("Combo_Addr")->currentIndex(), -1);
    for (const char* name : {"Combo_Corrente", "Combo_Risoluzione", "Combo_Fmin", "Combo_Fmax", "Combo_Rampa",
                             "Combo_QuotaRel", "Combo_QuotaAbs"}) {
        EXPECT_EQ(text(name), "-") << name;
        EXPECT_EQ(list(name)->currentIndex(), -1) << name;
    }
    EXPECT_EQ(text("Statusbar"), "Serial Port: COM 1          Settings:  9600,N,8,1");
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX S.r.l.");
    EXPECT_TRUE(framesHex().empty()); // nothing is sent at start
}

TEST_F(MainWindowTest, ListsHoldTheirItemsInOrder) {
    open();
    auto items = [&](const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->itemText(i);
        return out;
    };
    QStringList addr = items("Combo_Addr");
    ASSERT_EQ(addr.size(), 33);
    EXPECT_EQ(addr.front(), "switchall");
    EXPECT_EQ(addr[1], "0");
    EXPECT_EQ(addr.back(), "31");
    EXPECT_EQ(items("Combo_Risoluzione"), QStringList({"1/1", "1/2", "1/4", "1/8", "1/16"}));
    QStringList current = items("Combo_Corrente");
    EXPECT_EQ(current.size(), 12);
    EXPECT_EQ(current.front(), "1000");
    EXPECT_EQ(current.back(), "12000");
    EXPECT_EQ(items("Combo_Fmin").size(), 33);
    EXPECT_EQ(items("Combo_Fmin").back(), "3200");
    EXPECT_EQ(items("Combo_Fmax").size(), 21);
    EXPECT_EQ(items("Combo_Fmax")[1], "1000");
    EXPECT_EQ(items("Combo_Rampa").size(), 11);
    EXPECT_EQ(items("Combo_Rampa")[1], "25");
    QStringList quota = items("Combo_QuotaRel");
    EXPECT_EQ(quota.size(), 19);
    EXPECT_EQ(quota.front(), "25600");
    EXPECT_EQ(quota[1], "38400");
    EXPECT_EQ(quota.back(), "256000");
    EXPECT_EQ(items("Combo_QuotaAbs"), quota);
}

TEST_F(MainWindowTest, EachDirectButtonSendsItsFrame) {
    open();
    struct Case {
        const char* button;
        const char* address;
        const char* frame;
    };
    const Case cases[] = {
        {"Command_Reset", "1", " FC 21 01 E1"},
        {"Command_Reset", "3", " FC 23 01 DF"},
        {"Command_StartUltimoPos", "0", " FC 20 02 E1"},
        {"Command_Stop", "0", " FC 20 11 D2"},
        {"Command_GoZero", "0", " FC 20 A6 3D"},
        {"Command_LowNoiseON", "0", " FC 40 EE 02 D3"},
        {"Command_LowNoiseOFF", "0", " FC 40 EE 00 D5"},
        {"Command_MovInfinitoCw", "0", " FC 40 32 00 91"},
        {"Command_MovInfinitoCcw", "0", " FC 40 32 FF 92"},
        {"Command_StartPosRel", "0", " FC A0 31 00 00 00 00 32"},
    };
    for (const Case& c : cases) {
        bus->clearFrames();
        pick("Combo_Addr", c.address);
        click(c.button);
        EXPECT_EQ(framesHex(), Strings{c.frame}) << c.button;
        EXPECT_EQ(text("TextTx").toStdString(), c.frame) << c.button;
        EXPECT_EQ(text("TextRx"), " 06") << c.button;
        EXPECT_EQ(text("ParRx"), "") << c.button;
    }
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_FALSE(port->isOpen()); // closed again after every transaction
}

TEST_F(MainWindowTest, SwitchallGetsTheFrameTheNoticeAndNoEditor) {
    open();
    pick("Combo_Addr", "switchall");
    EXPECT_EQ(Module1::Indirizzo, 99);
    click("Command_Stop");
    EXPECT_EQ(framesHex(), Strings{" FC 00 01 11 F1"});
    EXPECT_EQ(text("TextTx"), " FC 00 01 11 F1");
    EXPECT_EQ(text("TextRx"), "- no rx - switchall command");
    EXPECT_EQ(text("ParRx"), "");

    switchLanguage(1);
    EXPECT_EQ(text("Combo_Addr"), "switchall"); // the address survives the refill
    EXPECT_EQ(Module1::Indirizzo, 99);
    click("Command_Stop");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - comando switchall");

    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERRORE");
    EXPECT_EQ(
        prompts->messages[0].text,
        QString::fromUtf8("Con l'indirizzo impostato su SWITCH-ALL non è possibile programmare la EEPROM.\n"
                          "Impostare il corretto indirizzo da 0 a 31."));
    EXPECT_FALSE(prompts->messages[0].error); // no icon

    switchLanguage(3);
    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].title, "Vardelo - ERROR");
    EXPECT_EQ(prompts->messages[1].text,
              "With SWITCH-ALL address you can't program EEPROM.\nSet the correct address from 0 to 31.");
}

TEST_F(MainWindowTest, TypingAnAddressChangesNothingUntilAnItemIsPicked) {
    open();
    type("Combo_Addr", "2");
    click("Command_Reset");
    EXPECT_EQ(framesHex(), Strings{" FC 20 01 E2"});
    EXPECT_EQ(Module1::Indirizzo, 0);
    pick("Combo_Addr", "2");
    EXPECT_EQ(Module1::Indirizzo, 2);
    switchLanguage(2);
    EXPECT_EQ(text("Combo_Addr"), "2");
}

TEST_F(MainWindowTest, PositioningTakesTheLeadingNumberOfItsList) {
    open();
    pick("Combo_Addr", "2");
    pick("Combo_QuotaRel", "38400");
    click("Command_StartPosRel");
    EXPECT_EQ(Module1::QuotaRel, 38400);
    type("Combo_QuotaAbs", " -1000 steps");
    pick("Combo_Addr", "3");
    click("Command_StartPosAbs");
    EXPECT_EQ(framesHex(), Strings({" FC A2 31 00 00 96 00 9A", " FC A3 30 FF FF FC 18 1E"}));
    EXPECT_EQ(Module1::QuotaAbs, -1000);

    // A language change puts "-" back, and "-" is the target 0.
    switchLanguage(2);
    bus->clearFrames();
    pick("Combo_Addr", "0");
    click("Command_StartPosRel");
    EXPECT_EQ(framesHex(), Strings{" FC A0 31 00 00 00 00 32"});
}

TEST_F(MainWindowTest, TargetOutside32BitsIsRefusedAndNothingSent) {
    open();
    pick("Combo_QuotaAbs", "25600");
    click("Command_StartPosAbs");
    bus->clearFrames();
    for (const char* typed : {"2147483648", "-2147483649", "5e12"}) {
        type("Combo_QuotaAbs", typed);
        click("Command_StartPosAbs");
    }
    EXPECT_TRUE(framesHex().empty());
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
    EXPECT_TRUE(prompts->messages[0].error);
    EXPECT_TRUE(prompts->messages[0].text.contains("2147483648"));
    EXPECT_TRUE(prompts->messages[0].text.contains("Absolute quote"));
    EXPECT_EQ(Module1::QuotaAbs, 25600); // the last sent target stands
    EXPECT_EQ(text("TextTx"), " FC A0 30 00 00 64 00 CF");

    // The bounds themselves go out.
    type("Combo_QuotaRel", "-2147483648");
    click("Command_StartPosRel");
    EXPECT_EQ(framesHex(), Strings{" FC A0 31 80 00 00 00 B2"});
}

TEST_F(MainWindowTest, PositionReadIsDescribedAndLongRepliesCut) {
    ReplyPort reply;
    SetSharedPort(&reply);
    open();
    reply.replies.push_back({Bytes("FC 20 12 FF FF FC 18 00 AA BB"), 0}); // two bytes too many
    click("Command_LetturaPos");
    ASSERT_EQ(reply.frames.size(), 1u);
    EXPECT_EQ(Hex(reply.frames[0]), " FC 20 12 D1");
    EXPECT_EQ(text("TextRx"), " FC 20 12 FF FF FC 18 00");
    if (DescribeReply(18, Bytes("FC 20 12 00 00 00 01 00"), 2).empty())
        GTEST_SKIP() << "reply decoder not built yet";
    EXPECT_EQ(text("ParRx"), "Present position:            -1000");

    // An acknowledgement in place of the data is shown, not described.
    reply.replies.push_back({"\x06", 0});
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextRx"), " 06 - no rx - timeout");
    EXPECT_EQ(text("ParRx"), "");
}
