// Texts of the main window in the three languages (a sample of every kind of control, and the
// texts that differ most), the design-time texts, and the codes that are no language.
#include "mainwin_fixture.h"

#include <QFile>

namespace {

struct Expected {
    const char *control, *ita, *eng, *ger, *design; // design: before any language is applied
};

// clang-format off
const Expected kExpected[] = {
    {"VoceSerialSetting", "&Impostazione seriale", "&Serial setting", "&Schnittstellenparameter", "Serial setting"},
    {"Label_Fmin", "Frequenza min. [Hz]", "Min freq. [Hz]", "Min Frequenz [Hz]", "Fmin"},
    {"Label_Risoluzione", "Risoluzione", "Resolution", "Schrittaufloesung", "Risoluzione"},
    {"Command_StartUltimoPos", "Start ultimo posizionamento", "Start last postioning", "Start letzte Positionerung",
     "Start ultimo posizionamento"},
    {"Command_GoZero", "Vai a quota 0", "Go to zero", "Fahre zur Nullposition", "Vai a quota 0"},
    {"Combo_Command", "Selezionare il comando", "Select command", "Befehl wahlen", ""},
    {"Frame_Tx", "TX - Dati trasmessi (Hex)", "TX - Hex string", "TX Sendedaten - Hex string", "TX - hex string"},
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
    click("VoceAbout");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title + "/" + prompts->messages[0].text,
              "VarDelo - Info/VarDelo 2.9\r\n\r\nORVEX Programming interface");
    EXPECT_FALSE(prompts->messages[0].error);
}

TEST_F(MainWindowTest, UnknownLanguageCodeKeepsTheDesignTextsAndMessagesStillSaySomething) {
    QFile cfg("vdcfg.cfg");
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("VARDELO CONFIGURATION FILE V1.0\r\nLANGUAGE=7\r\n");
    cfg.close();
    open();
    ASSERT_EQ(Module1::Lingua, 7);
    for (const Expected& e : kExpected)
        EXPECT_EQ(text(e.control), QString::fromUtf8(e.design)) << e.control;
    EXPECT_EQ(text("Combo_Fmin"), ""); // filling the lists empties their text; no language puts "-"
    EXPECT_EQ(text("Statusbar"), "");
    EXPECT_EQ(list("Combo_Command")->count(), 0);
    pick("Combo_Addr", "switchall");
    click("Command_PrgEeprom"); // messages still say something
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
}
