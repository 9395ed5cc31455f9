// Texts of the main window in the three languages (a sample of every kind of control, and the
// texts that differ most), and a code that is no language.
#include "mainwin_fixture.h"

namespace {

struct Expected {
    const char *control, *ita, *eng, *ger;
};

// clang-format off
const Expected kExpected[] = {
    {"VoceSerialSetting", "&Impostazione seriale", "&Serial setting", "&Schnittstellenparameter"},
    {"Label_Fmin", "Frequenza min. [Hz]", "Min freq. [Hz]", "Min Frequenz [Hz]"},
    {"Label_Risoluzione", "Risoluzione", "Resolution", "Schrittaufloesung"},
    {"Command_StartUltimoPos", "Start ultimo posizionamento", "Start last postioning", "Start letzte Positionerung"},
    {"Command_GoZero", "Vai a quota 0", "Go to zero", "Fahre zur Nullposition"},
    {"Combo_Command", "Selezionare il comando", "Select command", "Befehl wahlen"},
    {"Frame_Tx", "TX - Dati trasmessi (Hex)", "TX - Hex string", "TX Sendedaten - Hex string"},
};
// clang-format on

} // namespace

TEST_F(MainWindowTest, EveryControlShowsTheTextOfEachLanguage) {
    open();
    EXPECT_TRUE(framesHex().empty()); // nothing is sent at start
    EXPECT_EQ(text("Combo_Addr"), "0");
    // The title, the status line and the third command; each language is an array ita, eng, ger.
    const char* title[] = {"VarDelo 2.9   ORVEX S.r.l.", "VarDelo 2.9   ORVEX S.r.l.",
                           "VarDelo 2.9   ORVEX GmbH"};
    const char* status[] = {"Porta seriale: COM 1          Impostazioni:  9600,N,8,1",
                            "Serial Port: COM 1          Settings:  9600,N,8,1",
                            "Schnittstelle: COM 1          Einstellungen:  9600,N,8,1"};
    const char* command[] = {"Impostazione corrente", "Current", "Strom"};
    // At start (English), then Italian and German; values typed in between are cleared.
    for (int lingua : {2, 1, 3}) {
        type("Combo_Fmin", "1234");
        switchLanguage(lingua);
        for (const Expected& e : kExpected) {
            const char* want = lingua == 1 ? e.ita : lingua == 2 ? e.eng : e.ger;
            EXPECT_EQ(text(e.control), QString::fromUtf8(want)) << e.control << " in language " << lingua;
        }
        EXPECT_EQ(window->windowTitle(), title[lingua - 1]);
        EXPECT_EQ(text("Statusbar"), status[lingua - 1]);
        EXPECT_EQ(text("Combo_Fmin"), "-");
        ASSERT_EQ(list("Combo_Command")->count(), 78);
        EXPECT_EQ(list("Combo_Command")->itemText(2), command[lingua - 1]);
    }
    // A code that is no language (a hand-edited file) changes no text and leaves no commands;
    // messages still say something.
    switchLanguage(7);
    EXPECT_EQ(text("Command_GoZero"), "Fahre zur Nullposition");
    EXPECT_EQ(list("Combo_Command")->count(), 0);
    pick("Combo_Addr", "switchall");
    click("Command_PrgEeprom");
    click("VoceAbout");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
    EXPECT_EQ(prompts->messages[1].title + "/" + prompts->messages[1].text,
              "VarDelo - Info/VarDelo 2.9\r\n\r\nORVEX Programming interface");
    EXPECT_FALSE(prompts->messages[1].error);
}
