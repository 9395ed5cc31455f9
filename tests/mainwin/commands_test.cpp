// The commands of the main window: the direct buttons, the address, positioning targets, the
// initialisation sequence and the generic send of a catalog command; frames on the line and what
// the TX / RX / description fields show.
#include "mainwin_fixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

using namespace Module1;

TEST_F(MainWindowTest, EachDirectButtonSendsItsFrame) {
    open();
    const struct {
        const char *button, *address, *frame;
    } cases[] = {
        // clang-format off
        {"Command_Reset", "1", " FC 21 01 E1"},          {"Command_StartUltimoPos", "0", " FC 20 02 E1"},
        {"Command_Stop", "0", " FC 20 11 D2"},           {"Command_GoZero", "0", " FC 20 A6 3D"},
        {"Command_LowNoiseON", "0", " FC 40 EE 02 D3"},  {"Command_LowNoiseOFF", "0", " FC 40 EE 00 D5"},
        {"Command_MovInfinitoCw", "0", " FC 40 32 00 91"}, {"Command_MovInfinitoCcw", "0", " FC 40 32 FF 92"},
        // clang-format on
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
    EXPECT_FALSE(prompts->messages[0].error); // no icon
    EXPECT_EQ(prompts->messages[0].title + "/" + prompts->messages[0].text,
              QString::fromUtf8("VarDelo - ERRORE/Con l'indirizzo impostato su SWITCH-ALL non è possibile "
                                "programmare la EEPROM.\r\nImpostare il corretto indirizzo da 0 a 31."));
    EXPECT_EQ(prompts->messages[1].title + "/" + prompts->messages[1].text,
              "Vardelo - ERROR/With SWITCH-ALL address you can't program EEPROM.\r\nSet the correct address "
              "from 0 to 31.");
}

TEST_F(MainWindowTest, PositioningTakesTheLeadingNumberAndRefusesWhatDoesNotFit) {
    open();
    pick("Combo_Addr", "2");
    pick("Combo_QuotaRel", "38400");
    type("Combo_QuotaAbs", " -1000 steps");
    expectAfter([&] { click("Command_StartPosRel"), click("Command_StartPosAbs"); },
                {" FC A2 31 00 00 96 00 9A", " FC A2 30 FF FF FC 18 1F"});
    switchLanguage(2); // "-" again, and "-" is the target 0
    expectAfter([&] { click("Command_StartPosRel"); }, {" FC A2 31 00 00 00 00 30"});

    // Targets outside 32 bits are refused and nothing is sent; the bounds themselves go out.
    for (const char* typed : {"2147483648", "-2147483649", "5e12"}) {
        type("Combo_QuotaAbs", typed);
        expectAfter([&] { click("Command_StartPosAbs"); }, {});
        ASSERT_FALSE(prompts->messages.empty());
        EXPECT_TRUE(prompts->messages.back().error &&
                    prompts->messages.back().text.contains("Absolute quote"));
    }
    EXPECT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(QuotaAbs, -1000); // the last sent target stands
    type("Combo_QuotaRel", "-2147483648");
    expectAfter([&] { click("Command_StartPosRel"); }, {" FC A2 31 80 00 00 00 B0"});
}

TEST_F(MainWindowTest, InitSendsOnlyTheChosenListsInDriveOrderAndStopsWhereNoOneAnswers) {
    open();
    click("Command_Reset");
    // Right after start nothing is chosen: nothing is sent, the fields keep the last transaction.
    expectAfter([&] { click("Command_SendInit"); }, {}, {{"TextTx", " FC 20 01 E2"}, {"TextRx", " 06"}});
    type("Combo_Risoluzione", "1/3"); // an unknown resolution text sends code 1
    expectAfter([&] { click("Command_SendInit"); }, {" FC 40 26 01 9C"});

    switchLanguage(2); // every list back to "-"
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    pick("Combo_Risoluzione", "1/8");
    expectAfter([&] { click("Command_SendInit"); },
                {" FC 60 20 00 64 1F", " FC 40 22 19 88", " FC 40 26 03 9A"},
                {{"TextTx", " FC 40 26 03 9A"}}); // the last of the sequence

    pick("Combo_Corrente", "2000");
    pick("Combo_Fmax", "20000");
    pick("Combo_Risoluzione", "1/16");
    expectAfter([&] { click("Command_SendInit"); },
                {" FC 60 20 00 64 1F", " FC 60 21 4E 20 14", " FC 40 22 19 88", " FC 40 26 04 99",
                 " FC 60 A8 07 D0 24"});

    // Emptied, the value stored before goes out again; "-" stores 0 without sending it.
    const std::pair<const char*, Strings> steps[] = {{"300 Hz", {" FC 60 20 01 2C 56"}},
                                                     {"", {" FC 60 20 01 2C 56"}},
                                                     {"-", {}},
                                                     {"", {" FC 60 20 00 00 83"}}};
    switchLanguage(2);
    for (const auto& [typed, frames] : steps) {
        SCOPED_TRACE(typed);
        type("Combo_Fmin", typed);
        expectAfter([&] { click("Command_SendInit"); }, frames);
    }

    // To switchall the frames go out without waiting; where no one answers the sequence stops.
    switchLanguage(2);
    pick("Combo_Addr", "switchall");
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    expectAfter([&] { click("Command_SendInit"); }, {" FC 00 03 20 00 64 7C", " FC 00 02 22 19 C6"},
                {{"TextRx", "- no rx - switchall command"}});
    pick("Combo_Addr", "7"); // no drive there
    expectAfter([&] { click("Command_SendInit"); }, {" FC 67 20 00 64 18"},
                {{"TextRx", "- no rx - timeout"}});
}

TEST_F(MainWindowTest, InitWithOneBadValueSendsNothingAndStoresNothing) {
    open();
    const struct {
        const char *list, *typed, *shown;
    } cases[] = {
        {"Combo_Fmax", "70000", "Max freq. [Hz]"},
        {"Combo_Corrente", "-5", "Current [mA]"},
    };
    for (const auto& c : cases) {
        switchLanguage(2);
        prompts->messages.clear();
        pick("Combo_Fmin", "100");
        type(c.list, c.typed);
        expectAfter([&] { click("Command_SendInit"); }, {});
        EXPECT_EQ(Fmin, 0) << c.list; // the good value before it was not stored either
        ASSERT_EQ(prompts->messages.size(), 1u) << c.list;
        const auto& said = prompts->messages[0];
        EXPECT_TRUE(said.title == "VarDelo - ERROR" && said.text.contains(c.shown) &&
                    said.text.contains(c.typed))
            << said.text.toStdString();
    }
    // The largest values that fit are sent.
    switchLanguage(2);
    type("Combo_Fmax", "65535");
    type("Combo_Rampa", "255");
    expectAfter([&] { click("Command_SendInit"); }, {" FC 60 21 FF FF 84", " FC 40 22 FF A2"});
}

class GenericSendTest : public MainWindowTest {
  protected:
    void pickSlot(int slot) {
        list("Combo_Command")->setCurrentIndex(slot);
        emit list("Combo_Command")->activated(slot);
    }
    static std::function<void(QDialog&)> Filled(std::vector<std::pair<const char*, QString>> fields) {
        return [fields](QDialog& d) {
            for (const auto& [name, value] : fields) {
                if (auto* e = d.findChild<QLineEdit*>(name))
                    e->setText(value);
                else
                    d.findChild<QComboBox*>(name)->setEditText(value);
            }
            d.findChild<QPushButton*>("Command_Ok")->click();
        };
    }
};

// One command of each kind (no value, typed values of one, two and four bytes at the top of their
// range, each parameter dialog), then switchall, then the picks that send nothing.
TEST_F(GenericSendTest, PickedCommandAsksItsValueAndSendsOneFrame) {
    open();
    pick("Combo_Addr", "1");
    const struct {
        int slot;
        const char* typed;
        std::vector<std::pair<const char*, QString>> dialog; // entries filled before OK
        const char* frame;
    } cases[] = {
        {19, nullptr, {}, " FC 21 11 D1"},
        {7, "255", {}, " FC 41 22 FF A1"},
        {2, "12000", {}, " FC 61 A8 2E E0 EC"},
        {14, "2000000000", {}, " FC A1 31 77 35 94 00 F1"},
        {29, nullptr, {{"Text_IN1", "1"}}, " FC 41 29 01 98"},
        {33, nullptr, {{"Text_IN1", "1"}, {"Combo_QuotaZFly", "25600"}}, " FC C1 A0 01 00 00 64 00 3D"},
        {61, nullptr, {{"Combo_Vmin", "12"}, {"Combo_Vmax", "200"}}, " FC 61 C6 0C C8 08"},
        {3, nullptr, {{"Combo_Tempo", "20"}, {"Combo_Percentuale", "3-50%"}}, " FC 41 27 D4 C7"},
    };
    for (const auto& c : cases) {
        if (c.typed) prompts->inputs = {c.typed};
        if (!c.dialog.empty()) prompts->dialogActions.push_back(Filled(c.dialog));
        pickSlot(c.slot);
        expectAfter([&] { click("Command_SendCmd"); }, {c.frame}, {{"TextTx", c.frame}, {"TextRx", " 06"}});
    }
    EXPECT_TRUE(prompts->messages.empty());
    ASSERT_EQ(prompts->inputsAsked.size(), 3u);
    EXPECT_EQ(prompts->inputsAsked[1].title, "Current");
    EXPECT_TRUE(prompts->inputsAsked[1].text.startsWith("Allowed values: from  0 to  12000\r\n\r\n"))
        << prompts->inputsAsked[1].text.toStdString();

    pick("Combo_Addr", "switchall"); // the frame goes out and no reply is awaited
    pickSlot(2);
    prompts->inputs = {"3000"};
    expectAfter([&] { click("Command_SendCmd"); }, {" FC 00 03 A8 0B B8 95"},
                {{"TextRx", "- no rx - switchall command"}});

    // Nothing for no selection, separators, typed text or a cancelled prompt.
    bus->clearFrames();
    prompts->inputsAsked.clear();
    switchLanguage(2); // the refill drops the selection
    click("Command_SendCmd");
    pickSlot(4); // a blank separator
    click("Command_SendCmd");
    pickSlot(52); // the section header
    click("Command_SendCmd");
    pickSlot(2);
    type("Combo_Command", "Motor current"); // typed, not picked
    click("Command_SendCmd");
    pickSlot(2);
    click("Command_SendCmd");                   // the value prompt cancelled
    EXPECT_EQ(prompts->inputsAsked.size(), 1u); // only there
    EXPECT_TRUE(framesHex().empty());
    EXPECT_EQ(prompts->beeps, 0);
}
