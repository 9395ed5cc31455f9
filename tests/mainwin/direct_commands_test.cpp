// The direct command buttons, address selection and positioning targets: frames on the line and
// what the TX / RX / description fields show.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "link/transaction.h"

#include "reply_port.h"

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, ListsHoldTheirItemsInOrder) {
    open();
    // Count, then the items at the given places (-1: the last).
    auto items = [&](const char* name, std::initializer_list<int> at) {
        QComboBox* c = list(name);
        QStringList out{QString::number(c->count())};
        for (int i : at)
            out << c->itemText(i < 0 ? c->count() - 1 : i);
        return out;
    };
    EXPECT_EQ(items("Combo_Addr", {0, 1, -1}), QStringList({"33", "switchall", "0", "31"}));
    EXPECT_EQ(items("Combo_Risoluzione", {0, 1, 2, 3, 4}),
              QStringList({"5", "1/1", "1/2", "1/4", "1/8", "1/16"}));
    EXPECT_EQ(items("Combo_Corrente", {0, -1}), QStringList({"12", "1000", "12000"}));
    EXPECT_EQ(items("Combo_Fmin", {-1}), QStringList({"33", "3200"}));
    EXPECT_EQ(items("Combo_Fmax", {1}), QStringList({"21", "1000"}));
    EXPECT_EQ(items("Combo_Rampa", {1}), QStringList({"11", "25"}));
    EXPECT_EQ(items("Combo_QuotaRel", {0, 1, -1}), QStringList({"19", "25600", "38400", "256000"}));
    EXPECT_EQ(items("Combo_QuotaAbs", {0, 1, -1}), items("Combo_QuotaRel", {0, 1, -1}));
}

TEST_F(MainWindowTest, EachDirectButtonSendsItsFrame) {
    open();
    struct Case {
        const char *button, *address, *frame;
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        pick("Combo_Addr", c.address);
        expectAfter([&] { click(c.button); }, {c.frame},
                    {{"TextTx", c.frame}, {"TextRx", " 06"}, {"ParRx", ""}});
    }
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_FALSE(port->isOpen()); // closed again after every transaction
}

TEST_F(MainWindowTest, AddressIsTakenWhenPickedAndSwitchallGetsNoReplyNorEditor) {
    open();
    type("Combo_Addr", "40"); // no address: the one in force is shown again and used
    click("Command_Reset");
    EXPECT_EQ(framesHex(), Strings{" FC 20 01 E2"});
    EXPECT_EQ(Module1::Indirizzo, 0);
    EXPECT_EQ(text("Combo_Addr"), "0");

    pick("Combo_Addr", "switchall");
    EXPECT_EQ(Module1::Indirizzo, 99);
    expectAfter([&] { click("Command_Stop"); }, {" FC 00 01 11 F1"},
                {{"TextTx", " FC 00 01 11 F1"}, {"TextRx", "- no rx - switchall command"}, {"ParRx", ""}});

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
        QString::fromUtf8("Con l'indirizzo impostato su SWITCH-ALL non è possibile programmare la EEPROM.\r\n"
                          "Impostare il corretto indirizzo da 0 a 31."));
    EXPECT_FALSE(prompts->messages[0].error); // no icon

    switchLanguage(3);
    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].title, "Vardelo - ERROR");
    EXPECT_EQ(prompts->messages[1].text,
              "With SWITCH-ALL address you can't program EEPROM.\r\nSet the correct address from 0 to 31.");
}

TEST_F(MainWindowTest, PositioningTakesTheLeadingNumberAndRefusesWhatDoesNotFit) {
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

    // Targets outside 32 bits are refused and nothing is sent.
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
    std::string next = Bytes("FC 20 12 FF FF FC 18 00 AA BB"); // two bytes too many
    reply.answer = [&](const std::string&) { return next; };
    click("Command_LetturaPos");
    EXPECT_EQ(reply.frames, Strings{" FC 20 12 D1"});
    EXPECT_EQ(text("TextRx"), " FC 20 12 FF FF FC 18 00");
    EXPECT_EQ(text("ParRx"), "Present position:            -1000");

    // An acknowledgement in place of the data is shown, not described.
    next = "\x06";
    click("Command_LetturaPos");
    EXPECT_EQ(text("TextRx"), " 06 - no rx - timeout");
    EXPECT_EQ(text("ParRx"), "");
}
