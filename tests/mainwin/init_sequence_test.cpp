// The initialisation sequence: which lists are stored, which are sent, in which order, and what
// a value that does not fit its bytes gets.
#include "mainwin_fixture.h"

#include "app/module1.h"

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, InitSendsOnlyTheChosenListsInDriveOrder) {
    open();
    click("Command_Reset");
    // Right after start nothing is chosen: nothing is sent, the fields keep the last transaction.
    expectAfter([&] { click("Command_SendInit"); }, {}, {{"TextTx", " FC 20 01 E2"}, {"TextRx", " 06"}});
    type("Combo_Risoluzione", "1/3"); // an unknown resolution text sends code 1
    expectAfter([&] { click("Command_SendInit"); }, {" FC 40 26 01 9C"});

    switchLanguage(2); // every list back to "-"
    pick("Combo_Addr", "1");
    pick("Combo_Fmax", "20000");
    expectAfter([&] { click("Command_SendInit"); }, {" FC 61 21 4E 20 13"});

    switchLanguage(2);
    pick("Combo_Addr", "0");
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
    EXPECT_EQ(Module1::Corrente, 2000);

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
}

TEST_F(MainWindowTest, InitWithOneBadValueSendsNothingAndStoresNothing) {
    open();
    const struct {
        const char *list, *typed, *shown;
    } cases[] = {
        {"Combo_Fmax", "70000", "Max freq. [Hz]"},
        {"Combo_Rampa", "256", "Ramp [cs]"},
        {"Combo_Corrente", "-5", "Current [mA]"},
    };
    for (const auto& c : cases) {
        switchLanguage(2);
        prompts->messages.clear();
        pick("Combo_Fmin", "100");
        type(c.list, c.typed);
        expectAfter([&] { click("Command_SendInit"); }, {});
        EXPECT_EQ(Module1::Fmin, 0) << c.list; // the good value before it was not stored either
        ASSERT_EQ(prompts->messages.size(), 1u) << c.list;
        EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
        EXPECT_TRUE(prompts->messages[0].text.contains(c.shown)) << prompts->messages[0].text.toStdString();
        EXPECT_TRUE(prompts->messages[0].text.contains(c.typed));
    }
    // The largest values that fit are sent.
    switchLanguage(2);
    type("Combo_Fmax", "65535");
    type("Combo_Rampa", "255");
    expectAfter([&] { click("Command_SendInit"); }, {" FC 60 21 FF FF 84", " FC 40 22 FF A2"});
}

TEST_F(MainWindowTest, InitToSwitchallGoesOutWithoutWaitingAndStopsWhereNoOneAnswers) {
    open();
    pick("Combo_Addr", "switchall");
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    expectAfter([&] { click("Command_SendInit"); }, {" FC 00 03 20 00 64 7C", " FC 00 02 22 19 C6"},
                {{"TextRx", "- no rx - switchall command"}});
    pick("Combo_Addr", "7"); // no drive there
    expectAfter([&] { click("Command_SendInit"); }, {" FC 67 20 00 64 18"},
                {{"TextRx", "- no rx - timeout"}});
}
