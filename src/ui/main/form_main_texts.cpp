#include "ui/main/form_main_texts.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

// Menu captions first, then labels, parameter boxes, buttons, the command box and the frames.
const MainText kTexts[] = {
    {"MenuFile", "&File", {"&File", "&File", "&Datei"}},
    {"MenuSettings", "Setting&s", {"&Impostazioni", "&Settings", "&Einstellungen"}},
    {"MenuHelp", "&Help", {"&Aiuto", "&Help", "&Hilfe"}},
    {"VoceExit", "Exit", {"&Uscita", "&Exit", "&Exit"}},
    {"VoceSerialSetting",
     "Serial setting",
     {"&Impostazione seriale", "&Serial setting", "&Schnittstellenparameter"}},
    {"VoceLanguage", "Language", {"&Selezione lingua", "&Language selection", "&Language selection"}},
    {"VoceAbout", "About", {"&Informazioni", "&About", "&About"}},
    // Tools beyond the original window: the communication log, the bus scan and the monitor.
    {"MenuTools", "&Tools", {"S&trumenti", "&Tools", "&Werkzeuge"}},
    {"VoceLog",
     "Communication log",
     {"&Registro comunicazioni", "&Communication log", "&Kommunikationsprotokoll"}},
    {"VoceScan", "Bus scan", {"&Scansione del bus", "&Bus scan", "&Bus-Suche"}},
    {"VoceMonitor", "Monitor", {"&Monitor drive", "Drive &monitor", "Antriebs&monitor"}},
    {"Label_Addr", "Indirizzo", {"Indirizzo", "Address", "Adresse Endstufe"}},
    {"Label_Corrente", "Corrente", {"Corrente [mA]", "Current [mA]", "Strom [mA]"}},
    {"Combo_Corrente", "Set corrente", {"-", "-", "-"}},
    {"Label_Risoluzione", "Risoluzione", {"Risoluzione", "Resolution", "Schrittaufloesung"}},
    {"Combo_Risoluzione", "Set risoluz.", {"-", "-", "-"}},
    {"Label_Fmin", "Fmin", {"Frequenza min. [Hz]", "Min freq. [Hz]", "Min Frequenz [Hz]"}},
    {"Combo_Fmin", "Set Fmin", {"-", "-", "-"}},
    {"Label_Fmax", "Fmax", {"Frequenza max. [Hz]", "Max freq. [Hz]", "Max Frequenz [Hz]"}},
    {"Combo_Fmax", "Set Fmax", {"-", "-", "-"}},
    {"Label_Rampa", "Rampa", {"Rampa [cs]", "Ramp [cs]", "Beschleunigung [cs]"}},
    {"Combo_Rampa", "Set rampa", {"-", "-", "-"}},
    {"Label_QuotaRel", "Quota relativa", {"Quota relativa", "Relative quote", "Relativer Weg"}},
    {"Combo_QuotaRel", "Set quota", {"-", "-", "-"}},
    {"Label_QuotaAbs", "Pos. assoluto", {"Quota Assoluta", "Absolute quote", "Absoluter Weg"}},
    {"Combo_QuotaAbs", "Set quota", {"-", "-", "-"}},
    {"Label_Command", "Selezione comando", {"Selezione comando", "Command selection", "Befehlsauswahl"}},
    {"Command_Reset", "Reset driver", {"Reset drive", "Drive reset", "Reset Endstufen"}},
    {"Command_SendInit", "Invia inizializzazione", {"Invia inizializzazione", "Send init", "Daten senden"}},
    {"Command_StartUltimoPos",
     "Start ultimo posizionamento",
     {"Start ultimo posizionamento", "Start last postioning", "Start letzte Positionerung"}},
    {"Command_GoZero", "Vai a quota 0", {"Vai a quota 0", "Go to zero", "Fahre zur Nullposition"}},
    {"Command_SendCmd", "Invia comando", {"Invia comando", "Send command", "Befehl senden"}},
    {"Command_PrgEeprom", "PRG.EEPROM", {"PRG.EEPROM", "PRG.EEPROM", "PRG.EEPROM"}},
    {"Command_StartPosRel",
     "Start posizionamento relativo",
     {"Start posizionamento relativo", "Start relative positioning", "Relativer Weg"}},
    {"Command_StartPosAbs",
     "Start posizionamento assoluto",
     {"Start posizionamento assoluto", "Start absolute positioning", "Absoluter Weg"}},
    {"Command_MovInfinitoCw", "Mov.Infinito -->", {"Mov.Infinito -->", "Infinite Mov. -->", "Dauerlauf -->"}},
    {"Command_MovInfinitoCcw",
     "Mov.Infinito <--",
     {"Mov.Infinito <--", "Infinite Mov. <--", "Dauerlauf <--"}},
    {"Command_Stop", "Stop", {"Stop", "Stop", "Stop"}},
    {"Command_LowNoiseON", "Low noise ON", {"Low noise ON", "Low noise ON", "Leiser Lauf AN"}},
    {"Command_LowNoiseOFF", "Low noise OFF", {"Low noise OFF", "Low noise OFF", "Leiser Lauf AUS"}},
    {"Combo_Command",
     "Selezionare il comando",
     {"Selezionare il comando", "Select command", "Befehl wahlen"}},
    {"Frame_Tx",
     "TX - hex string",
     {"TX - Dati trasmessi (Hex)", "TX - Hex string", "TX Sendedaten - Hex string"}},
    {"Frame_Rx",
     "RX - hex string",
     {"RX - Dati ricevuti (Hex)", "RX - Hex string", "RX Antwort - Hex string"}},
    {"Frame_ParRX", "Descrizione RX", {"Descrizione RX", "RX Description", "RX Antwort Beschreibung"}},
    // Untouched by the language: the same text in every language.
    {"Command_SPECIAL", "SPECIAL", {nullptr, nullptr, nullptr}},
    {"Command_LetturaPos", "Lettura pos.", {nullptr, nullptr, nullptr}},
};

QObject* Control(QObject& window, const char* name) {
    return window.findChild<QObject*>(QString::fromLatin1(name));
}

} // namespace

void ApplyDesignTexts(QObject& window, bool everyControl) {
    for (const MainText& t : kTexts)
        if (everyControl || !t.text.ita)
            SetControlText(Control(window, t.control), QString::fromUtf8(t.design));
}

void ApplyLanguageTexts(QObject& window) {
    for (const MainText& t : kTexts) {
        if (!t.text.ita) continue;
        if (auto text = ForLanguage(t.text)) SetControlText(Control(window, t.control), *text);
    }
}

QString MessageText(const Text3& text) {
    return TextOrEnglish(text);
}
