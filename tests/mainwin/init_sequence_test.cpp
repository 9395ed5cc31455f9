// The initialisation sequence: which lists are stored, which are sent, in which order, and what
// a value that does not fit its bytes gets.
#include "mainwin_fixture.h"

#include "app/module1.h"

using Strings = std::vector<std::string>;

TEST_F(MainWindowTest, InitRightAfterStartSendsNothingAndUnknownResolutionIsOne) {
    open();
    click("Command_Reset");
    bus->clearFrames();
    click("Command_SendInit");
    EXPECT_TRUE(framesHex().empty());
    EXPECT_EQ(text("TextTx"), " FC 20 01 E2"); // fields keep the last transaction
    EXPECT_EQ(text("TextRx"), " 06");
    EXPECT_EQ(Module1::Risoluzione, 1); // "-" stores code 1 without sending it

    type("Combo_Risoluzione", "1/3"); // an unknown resolution text sends code 1
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings{" FC 40 26 01 9C"});
}

TEST_F(MainWindowTest, InitSendsOnlyTheChosenListsInDriveOrder) {
    open();
    pick("Combo_Addr", "1");
    pick("Combo_Fmax", "20000");
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings{" FC 61 21 4E 20 13"});

    bus->clearFrames();
    switchLanguage(2);
    pick("Combo_Addr", "0");
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    pick("Combo_Risoluzione", "1/8");
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings({" FC 60 20 00 64 1F", " FC 40 22 19 88", " FC 40 26 03 9A"}));
    EXPECT_EQ(text("TextTx"), " FC 40 26 03 9A"); // the last of the sequence
    EXPECT_EQ(text("TextRx"), " 06");

    bus->clearFrames();
    pick("Combo_Corrente", "2000");
    pick("Combo_Fmax", "20000");
    pick("Combo_Risoluzione", "1/16");
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings({" FC 60 20 00 64 1F", " FC 60 21 4E 20 14", " FC 40 22 19 88",
                                    " FC 40 26 04 99", " FC 60 A8 07 D0 24"}));
    EXPECT_EQ(Module1::Corrente, 2000);
    EXPECT_EQ(Module1::Fmax, 20000);
}

TEST_F(MainWindowTest, InitDashStoresZeroAndEmptyResendsTheStoredValue) {
    open();
    // Emptied, the value stored before goes out again; "-" stores 0 without sending it.
    const std::pair<const char*, Strings> steps[] = {{"300 Hz", {" FC 60 20 01 2C 56"}},
                                                     {"", {" FC 60 20 01 2C 56"}},
                                                     {"-", {}},
                                                     {"", {" FC 60 20 00 00 83"}}};
    for (const auto& [typed, frames] : steps) {
        bus->clearFrames();
        type("Combo_Fmin", typed);
        click("Command_SendInit");
        EXPECT_EQ(framesHex(), frames) << typed;
    }
}

TEST_F(MainWindowTest, InitWithOneBadValueSendsNothingAndStoresNothing) {
    open();
    struct Case {
        const char* list;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"Combo_Fmax", "70000", "Max freq. [Hz]"},
        {"Combo_Rampa", "256", "Ramp [cs]"},
        {"Combo_Corrente", "-5", "Current [mA]"},
    };
    for (const Case& c : cases) {
        switchLanguage(2);
        prompts->messages.clear();
        pick("Combo_Fmin", "100");
        type(c.list, c.typed);
        click("Command_SendInit");
        EXPECT_TRUE(framesHex().empty()) << c.list;
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
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings({" FC 60 21 FF FF 84", " FC 40 22 FF A2"}));
}

TEST_F(MainWindowTest, InitToSwitchallGoesOutWithoutWaitingAndStopsWhereNoOneAnswers) {
    open();
    pick("Combo_Addr", "switchall");
    pick("Combo_Fmin", "100");
    pick("Combo_Rampa", "25");
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings({" FC 00 03 20 00 64 7C", " FC 00 02 22 19 C6"}));
    EXPECT_EQ(text("TextRx"), "- no rx - switchall command");

    bus->clearFrames();
    pick("Combo_Addr", "7"); // no drive there
    click("Command_SendInit");
    EXPECT_EQ(framesHex(), Strings{" FC 67 20 00 64 18"});
    EXPECT_EQ(text("TextRx"), "- no rx - timeout");
}
