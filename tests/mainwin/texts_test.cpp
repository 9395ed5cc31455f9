// Texts of the main window in the three languages (a sample of every kind of control, and the
// texts that differ most), the design-time texts, and the codes that are no language.
#include "mainwin_fixture.h"

#include "app/module1.h"

#include <QFile>

namespace {

struct Expected {
    const char* control;
    const char* ita;
    const char* eng;
    const char* ger;
    const char* design; // before any language is applied
};

const Expected kExpected[] = {
    {"MenuFile", "&File", "&File", "&Datei", "&File"},
    {"MenuSettings", "&Impostazioni", "&Settings", "&Einstellungen", "Setting&s"},
    {"VoceExit", "&Uscita", "&Exit", "&Exit", "Exit"},
    {"VoceSerialSetting", "&Impostazione seriale", "&Serial setting", "&Schnittstellenparameter",
     "Serial setting"},
    {"Label_Addr", "Indirizzo", "Address", "Adresse Endstufe", "Indirizzo"},
    {"Label_Fmin", "Frequenza min. [Hz]", "Min freq. [Hz]", "Min Frequenz [Hz]", "Fmin"},
    {"Label_QuotaAbs", "Quota Assoluta", "Absolute quote", "Absoluter Weg", "Pos. assoluto"},
    {"Command_Reset", "Reset drive", "Drive reset", "Reset Endstufen", "Reset driver"},
    {"Command_StartUltimoPos", "Start ultimo posizionamento", "Start last postioning",
     "Start letzte Positionerung", "Start ultimo posizionamento"},
    {"Command_GoZero", "Vai a quota 0", "Go to zero", "Fahre zur Nullposition", "Vai a quota 0"},
    {"Command_StartPosRel", "Start posizionamento relativo", "Start relative positioning", "Relativer Weg",
     "Start posizionamento relativo"},
    {"Command_MovInfinitoCw", "Mov.Infinito -->", "Infinite Mov. -->", "Dauerlauf -->", "Mov.Infinito -->"},
    {"Command_LowNoiseON", "Low noise ON", "Low noise ON", "Leiser Lauf AN", "Low noise ON"},
    {"Combo_Command", "Selezionare il comando", "Select command", "Befehl wahlen", "Selezionare il comando"},
    {"Frame_Tx", "TX - Dati trasmessi (Hex)", "TX - Hex string", "TX Sendedaten - Hex string",
     "TX - hex string"},
    {"Frame_Rx", "RX - Dati ricevuti (Hex)", "RX - Hex string", "RX Antwort - Hex string", "RX - hex string"},
    {"Frame_ParRX", "Descrizione RX", "RX Description", "RX Antwort Beschreibung", "Descrizione RX"},
};

const char* const kValueLists[] = {"Combo_Corrente", "Combo_Risoluzione", "Combo_Fmin",    "Combo_Fmax",
                                   "Combo_Rampa",    "Combo_QuotaRel",    "Combo_QuotaAbs"};

} // namespace

TEST_F(MainWindowTest, EveryControlShowsTheTextOfEachLanguage) {
    open();
    EXPECT_TRUE(framesHex().empty()); // nothing is sent at start
    EXPECT_EQ(text("Combo_Addr"), "0");
    // At start (English), then Italian to German and back; values typed in between are cleared.
    for (int lingua : {2, 1, 3, 1, 2, 3}) {
        type("Combo_Fmin", "1234");
        type("Combo_QuotaAbs", "99");
        switchLanguage(lingua);
        for (const Expected& e : kExpected) {
            const char* want = lingua == 1 ? e.ita : lingua == 2 ? e.eng : e.ger;
            EXPECT_EQ(text(e.control), QString::fromUtf8(want)) << e.control << " in language " << lingua;
        }
        for (const char* name : kValueLists)
            EXPECT_EQ(text(name), "-") << name << " in language " << lingua;
        QComboBox* commands = list("Combo_Command");
        EXPECT_EQ(commands->currentIndex(), -1);
        for (const char* name : {"Combo_Addr", "Combo_Fmin", "Combo_QuotaAbs"})
            EXPECT_EQ(list(name)->currentIndex(), -1) << name;
        ASSERT_EQ(commands->count(), 78);
        EXPECT_EQ(commands->itemText(2), lingua == 1   ? "Impostazione corrente"
                                         : lingua == 2 ? "Current"
                                                       : "Strom");
    }
}

TEST_F(MainWindowTest, TitleStatusAboutAndAnUnknownLanguageCode) {
    open();
    const struct {
        int lingua, comPort, baud;
        const char *title, *status;
    } cases[] = {
        {2, 1, 9600, "VarDelo 2.9   ORVEX S.r.l.", "Serial Port: COM 1          Settings:  9600,N,8,1"},
        {3, 1, 9600, "VarDelo 2.9   ORVEX GmbH", "Schnittstelle: COM 1          Einstellungen:  9600,N,8,1"},
        {1, 1, 9600, "VarDelo 2.9   ORVEX S.r.l.", "Porta seriale: COM 1          Impostazioni:  9600,N,8,1"},
        {2, 2, 19200, "VarDelo 2.9   ORVEX S.r.l.", "Serial Port: COM 2          Settings:  19200,N,8,1"},
    };
    for (const auto& c : cases) {
        Module1::ComPort = static_cast<int16_t>(c.comPort);
        Module1::BaudRate = static_cast<int16_t>(c.baud);
        switchLanguage(c.lingua);
        EXPECT_EQ(window->windowTitle(), c.title);
        EXPECT_EQ(text("Statusbar"), c.status);
    }

    click("VoceAbout");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - Info");
    EXPECT_EQ(prompts->messages[0].text, "VarDelo 2.9\r\n\r\nORVEX Programming interface");
    EXPECT_FALSE(prompts->messages[0].error);

    // Code 7 is no language: no text changes, and there are no command lines for it.
    switchLanguage(1);
    type("Combo_Fmin", "1234");
    Module1::ComPort = 4;
    Module1::Lingua = 7;
    window->SetLingua();
    window->AggiornaStatus();
    EXPECT_EQ(text("Combo_Fmin"), "1234");
    EXPECT_EQ(text("Label_Fmin"), "Frequenza min. [Hz]");
    EXPECT_EQ(text("Statusbar"), "Porta seriale: COM 2          Impostazioni:  19200,N,8,1");
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX S.r.l.");
    window->CaricaListe();
    EXPECT_EQ(list("Combo_Command")->count(), 0);
}

TEST_F(MainWindowTest, DesignTimeTextsStandUnderAnUnknownLanguageCode) {
    QFile cfg("vdcfg.cfg");
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("VARDELO CONFIGURATION FILE V1.0\r\nBAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=7\r\n");
    cfg.close();
    open();
    ASSERT_EQ(Module1::Lingua, 7);
    // Filling the lists empties their text, and no language puts one back.
    for (const Expected& e : kExpected) {
        QString want = QString(e.control).startsWith("Combo_") ? QString() : QString::fromUtf8(e.design);
        EXPECT_EQ(text(e.control), want) << e.control;
    }
    for (const char* name : kValueLists)
        EXPECT_EQ(text(name), "") << name;
    EXPECT_EQ(text("Statusbar"), "");
    // Messages still say something.
    pick("Combo_Addr", "switchall");
    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
}
