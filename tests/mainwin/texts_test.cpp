// Every text of the main window in the three languages, the design-time texts, and the codes
// that are no language.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <QFile>

namespace {

struct Expected {
    const char* control;
    const char* ita;
    const char* eng;
    const char* ger;
};

const Expected kExpected[] = {
    {"MenuFile", "&File", "&File", "&Datei"},
    {"MenuSettings", "&Impostazioni", "&Settings", "&Einstellungen"},
    {"MenuHelp", "&Aiuto", "&Help", "&Hilfe"},
    {"VoceExit", "&Uscita", "&Exit", "&Exit"},
    {"VoceSerialSetting", "&Impostazione seriale", "&Serial setting", "&Schnittstellenparameter"},
    {"VoceLanguage", "&Selezione lingua", "&Language selection", "&Language selection"},
    {"VoceAbout", "&Informazioni", "&About", "&About"},
    {"Label_Addr", "Indirizzo", "Address", "Adresse Endstufe"},
    {"Label_Corrente", "Corrente [mA]", "Current [mA]", "Strom [mA]"},
    {"Label_Risoluzione", "Risoluzione", "Resolution", "Schrittaufloesung"},
    {"Label_Fmin", "Frequenza min. [Hz]", "Min freq. [Hz]", "Min Frequenz [Hz]"},
    {"Label_Fmax", "Frequenza max. [Hz]", "Max freq. [Hz]", "Max Frequenz [Hz]"},
    {"Label_Rampa", "Rampa [cs]", "Ramp [cs]", "Beschleunigung [cs]"},
    {"Label_QuotaRel", "Quota relativa", "Relative quote", "Relativer Weg"},
    {"Label_QuotaAbs", "Quota Assoluta", "Absolute quote", "Absoluter Weg"},
    {"Label_Command", "Selezione comando", "Command selection", "Befehlsauswahl"},
    {"Combo_Corrente", "-", "-", "-"},
    {"Combo_Risoluzione", "-", "-", "-"},
    {"Combo_Fmin", "-", "-", "-"},
    {"Combo_Fmax", "-", "-", "-"},
    {"Combo_Rampa", "-", "-", "-"},
    {"Combo_QuotaRel", "-", "-", "-"},
    {"Combo_QuotaAbs", "-", "-", "-"},
    {"Command_Reset", "Reset drive", "Drive reset", "Reset Endstufen"},
    {"Command_SendInit", "Invia inizializzazione", "Send init", "Daten senden"},
    {"Command_StartUltimoPos", "Start ultimo posizionamento", "Start last postioning",
     "Start letzte Positionerung"},
    {"Command_GoZero", "Vai a quota 0", "Go to zero", "Fahre zur Nullposition"},
    {"Command_SendCmd", "Invia comando", "Send command", "Befehl senden"},
    {"Command_PrgEeprom", "PRG.EEPROM", "PRG.EEPROM", "PRG.EEPROM"},
    {"Command_StartPosRel", "Start posizionamento relativo", "Start relative positioning", "Relativer Weg"},
    {"Command_StartPosAbs", "Start posizionamento assoluto", "Start absolute positioning", "Absoluter Weg"},
    {"Command_MovInfinitoCw", "Mov.Infinito -->", "Infinite Mov. -->", "Dauerlauf -->"},
    {"Command_MovInfinitoCcw", "Mov.Infinito <--", "Infinite Mov. <--", "Dauerlauf <--"},
    {"Command_Stop", "Stop", "Stop", "Stop"},
    {"Command_LowNoiseON", "Low noise ON", "Low noise ON", "Leiser Lauf AN"},
    {"Command_LowNoiseOFF", "Low noise OFF", "Low noise OFF", "Leiser Lauf AUS"},
    {"Combo_Command", "Selezionare il comando", "Select command", "Befehl wahlen"},
    {"Frame_Tx", "TX - Dati trasmessi (Hex)", "TX - Hex string", "TX Sendedaten - Hex string"},
    {"Frame_Rx", "RX - Dati ricevuti (Hex)", "RX - Hex string", "RX Antwort - Hex string"},
    {"Frame_ParRX", "Descrizione RX", "RX Description", "RX Antwort Beschreibung"},
    {"Command_SPECIAL", "SPECIAL", "SPECIAL", "SPECIAL"},
    {"Command_LetturaPos", "Lettura pos.", "Lettura pos.", "Lettura pos."},
};

const Expected kDesign[] = {
    {"MenuFile", "&File", nullptr, nullptr},
    {"MenuSettings", "Setting&s", nullptr, nullptr},
    {"VoceExit", "Exit", nullptr, nullptr},
    {"VoceSerialSetting", "Serial setting", nullptr, nullptr},
    {"VoceLanguage", "Language", nullptr, nullptr},
    {"MenuHelp", "&Help", nullptr, nullptr},
    {"VoceAbout", "About", nullptr, nullptr},
    {"Label_Addr", "Indirizzo", nullptr, nullptr},
    {"Label_Corrente", "Corrente", nullptr, nullptr},
    {"Label_Risoluzione", "Risoluzione", nullptr, nullptr},
    {"Label_Fmin", "Fmin", nullptr, nullptr},
    {"Label_Fmax", "Fmax", nullptr, nullptr},
    {"Label_Rampa", "Rampa", nullptr, nullptr},
    {"Label_QuotaRel", "Quota relativa", nullptr, nullptr},
    {"Label_QuotaAbs", "Pos. assoluto", nullptr, nullptr},
    {"Label_Command", "Selezione comando", nullptr, nullptr},
    {"Combo_Corrente", "Set corrente", nullptr, nullptr},
    {"Combo_Risoluzione", "Set risoluz.", nullptr, nullptr},
    {"Combo_Fmin", "Set Fmin", nullptr, nullptr},
    {"Combo_Fmax", "Set Fmax", nullptr, nullptr},
    {"Combo_Rampa", "Set rampa", nullptr, nullptr},
    {"Combo_QuotaRel", "Set quota", nullptr, nullptr},
    {"Combo_QuotaAbs", "Set quota", nullptr, nullptr},
    {"Combo_Command", "Selezionare il comando", nullptr, nullptr},
    {"Command_Reset", "Reset driver", nullptr, nullptr},
    {"Command_SendInit", "Invia inizializzazione", nullptr, nullptr},
    {"Command_StartUltimoPos", "Start ultimo posizionamento", nullptr, nullptr},
    {"Command_GoZero", "Vai a quota 0", nullptr, nullptr},
    {"Command_SendCmd", "Invia comando", nullptr, nullptr},
    {"Command_PrgEeprom", "PRG.EEPROM", nullptr, nullptr},
    {"Command_StartPosRel", "Start posizionamento relativo", nullptr, nullptr},
    {"Command_StartPosAbs", "Start posizionamento assoluto", nullptr, nullptr},
    {"Command_MovInfinitoCw", "Mov.Infinito -->", nullptr, nullptr},
    {"Command_MovInfinitoCcw", "Mov.Infinito <--", nullptr, nullptr},
    {"Command_Stop", "Stop", nullptr, nullptr},
    {"Command_LowNoiseON", "Low noise ON", nullptr, nullptr},
    {"Command_LowNoiseOFF", "Low noise OFF", nullptr, nullptr},
    {"Frame_Tx", "TX - hex string", nullptr, nullptr},
    {"Frame_Rx", "RX - hex string", nullptr, nullptr},
    {"Frame_ParRX", "Descrizione RX", nullptr, nullptr},
    {"Command_SPECIAL", "SPECIAL", nullptr, nullptr},
    {"Command_LetturaPos", "Lettura pos.", nullptr, nullptr},
};

} // namespace

TEST_F(MainWindowTest, EveryControlShowsTheTextOfEachLanguage) {
    open();
    // Italian to German and back, values typed in between are cleared each time.
    for (int lingua : {1, 3, 1, 2, 3}) {
        type("Combo_Fmin", "1234");
        type("Combo_QuotaAbs", "99");
        switchLanguage(lingua);
        for (const Expected& e : kExpected) {
            const char* want = lingua == 1 ? e.ita : lingua == 2 ? e.eng : e.ger;
            EXPECT_EQ(text(e.control), QString::fromUtf8(want)) << e.control << " in language " << lingua;
        }
        EXPECT_EQ(list("Combo_Command")->currentIndex(), -1);
    }
}

TEST_F(MainWindowTest, TitleCompanyAndStatusFollowTheLanguage) {
    open();
    switchLanguage(3);
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX GmbH");
    EXPECT_EQ(text("Statusbar"), "Schnittstelle: COM 1          Einstellungen:  9600,N,8,1");
    switchLanguage(1);
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX S.r.l.");
    EXPECT_EQ(text("Statusbar"), "Porta seriale: COM 1          Impostazioni:  9600,N,8,1");
    Module1::ComPort = 2;
    Module1::BaudRate = 19200;
    switchLanguage(2);
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX S.r.l.");
    EXPECT_EQ(text("Statusbar"), "Serial Port: COM 2          Settings:  19200,N,8,1");
}

TEST_F(MainWindowTest, LanguageSevenChangesNoText) {
    open();
    switchLanguage(1);
    type("Combo_Fmin", "1234");
    Module1::ComPort = 4;
    Module1::Lingua = 7;
    window->SetLingua();
    window->AggiornaStatus();
    EXPECT_EQ(text("Combo_Fmin"), "1234");
    EXPECT_EQ(text("Label_Fmin"), "Frequenza min. [Hz]");
    EXPECT_EQ(text("Statusbar"), "Porta seriale: COM 1          Impostazioni:  9600,N,8,1");
    EXPECT_EQ(window->windowTitle(), "VarDelo 2.9   ORVEX S.r.l.");
    window->CaricaListe(); // no command list lines for an unknown code
    EXPECT_EQ(list("Combo_Command")->count(), 0);
}

TEST_F(MainWindowTest, DesignTimeTextsStandUnderAnUnknownLanguageCode) {
    QFile cfg("vdcfg.cfg");
    ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
    cfg.write("VARDELO CONFIGURATION FILE V1.0\r\nBAUDRATE=9600\r\nCOMPORT=1\r\nLANGUAGE=7\r\n");
    cfg.close();
    open();
    if (Module1::Lingua != 7) GTEST_SKIP() << "configuration file reading not built yet";
    // Filling the lists empties their text, and no language puts one back.
    for (const Expected& e : kDesign) {
        QString want = QString::fromUtf8(e.ita);
        if (QString(e.control).startsWith("Combo_")) want.clear();
        EXPECT_EQ(text(e.control), want) << e.control;
    }
    EXPECT_EQ(text("Statusbar"), "");
    // Messages still say something.
    pick("Combo_Addr", "switchall");
    click("Command_PrgEeprom");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
}

TEST_F(MainWindowTest, CommandListFollowsTheLanguageSlotForSlot) {
    open();
    if (CommandListLines(2).empty()) GTEST_SKIP() << "catalog not built yet";
    for (int lingua : {1, 2, 3}) {
        switchLanguage(lingua);
        std::vector<std::string> lines = CommandListLines(lingua);
        QComboBox* commands = list("Combo_Command");
        ASSERT_EQ(commands->count(), static_cast<int>(lines.size()));
        for (int slot = 0; slot < commands->count(); ++slot)
            EXPECT_EQ(commands->itemText(slot).toStdString(), lines[static_cast<size_t>(slot)]) << slot;
        EXPECT_EQ(commands->currentIndex(), -1);
    }
}

TEST_F(MainWindowTest, AboutBoxNamesTheProduct) {
    open();
    click("VoceAbout");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - Info");
    EXPECT_EQ(prompts->messages[0].text, "VarDelo 2.9\n\nORVEX Programming interface");
    EXPECT_FALSE(prompts->messages[0].error);
}
