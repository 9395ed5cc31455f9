// The direct command buttons, address selection and positioning targets: frames on the line and
// what the TX / RX / description fields show.
#include "mainwin_fixture.h"

#include "app/module1.h"

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, ListsHoldTheirItemsInOrder) {
    open();
    // Count, then the first, second and last items.
    auto items = [&](const char* name) {
        QComboBox* c = list(name);
        return QStringList{QString::number(c->count()), c->itemText(0), c->itemText(1),
                           c->itemText(c->count() - 1)};
    };
    EXPECT_EQ(items("Combo_Addr"), QStringList({"33", "switchall", "0", "31"}));
    EXPECT_EQ(items("Combo_Risoluzione"), QStringList({"5", "1/1", "1/2", "1/16"}));
    EXPECT_EQ(items("Combo_Fmin"), QStringList({"33", "0", "100", "3200"}));
    EXPECT_EQ(items("Combo_QuotaAbs"), QStringList({"19", "25600", "38400", "256000"}));
}

TEST_F(MainWindowTest, EachDirectButtonSendsItsFrame) {
    open();
    const struct {
        const char *button, *address, *frame;
    } cases[] = {
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
    for (const auto& c : cases) {
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
    expectAfter([&] { click("Command_Reset"); }, {" FC 20 01 E2"}, {{"Combo_Addr", "0"}});

    pick("Combo_Addr", "switchall");
    expectAfter([&] { click("Command_Stop"); }, {" FC 00 01 11 F1"},
                {{"TextTx", " FC 00 01 11 F1"}, {"TextRx", "- no rx - switchall command"}});
    switchLanguage(1);
    EXPECT_EQ(text("Combo_Addr"), "switchall"); // the address survives the refill
    click("Command_Stop");
    EXPECT_EQ(text("TextRx"), "- nessuna risposta - comando switchall");

    click("Command_PrgEeprom");
    switchLanguage(3);
    click("Command_Stop");
    EXPECT_EQ(text("TextRx"), "- no rx - switchall command");
    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERRORE");
    EXPECT_EQ(
        prompts->messages[0].text,
        QString::fromUtf8("Con l'indirizzo impostato su SWITCH-ALL non è possibile programmare la EEPROM.\r\n"
                          "Impostare il corretto indirizzo da 0 a 31."));
    EXPECT_FALSE(prompts->messages[0].error); // no icon
    EXPECT_EQ(prompts->messages[1].title, "Vardelo - ERROR");
    EXPECT_EQ(prompts->messages[1].text,
              "With SWITCH-ALL address you can't program EEPROM.\r\nSet the correct address from 0 to 31.");
}

TEST_F(MainWindowTest, PositioningTakesTheLeadingNumberAndRefusesWhatDoesNotFit) {
    open();
    pick("Combo_Addr", "2");
    pick("Combo_QuotaRel", "38400");
    click("Command_StartPosRel");
    type("Combo_QuotaAbs", " -1000 steps");
    pick("Combo_Addr", "3");
    click("Command_StartPosAbs");
    EXPECT_EQ(framesHex(), Strings({" FC A2 31 00 00 96 00 9A", " FC A3 30 FF FF FC 18 1E"}));
    switchLanguage(2); // "-" again, and "-" is the target 0
    pick("Combo_Addr", "0");
    expectAfter([&] { click("Command_StartPosRel"); }, {" FC A0 31 00 00 00 00 32"});

    // Targets outside 32 bits are refused and nothing is sent; the bounds themselves go out.
    for (const char* typed : {"2147483648", "-2147483649", "5e12"}) {
        type("Combo_QuotaAbs", typed);
        expectAfter([&] { click("Command_StartPosAbs"); }, {});
        ASSERT_FALSE(prompts->messages.empty());
        EXPECT_TRUE(prompts->messages.back().error);
        EXPECT_TRUE(prompts->messages.back().text.contains("Absolute quote")) << typed;
    }
    EXPECT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(Module1::QuotaAbs, -1000); // the last sent target stands
    type("Combo_QuotaRel", "-2147483648");
    expectAfter([&] { click("Command_StartPosRel"); }, {" FC A0 31 80 00 00 00 B2"});
}
