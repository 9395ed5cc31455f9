#pragma once
// The texts of the main window: one row per control (design-time, Italian, English, German),
// and the messages the window shows.
#include "ui/common/texts.h"

class QObject;
class QWidget;

struct MainText {
    const char* control; // objectName
    const char* design;  // shown until SetLingua has run with a language code 1..3
    Text3 text;          // {nullptr...}: the control keeps its design-time text in every language
};

// Sets the design-time text of the controls of the table: of every control, or only of those that
// keep it in every language.
void ApplyDesignTexts(QObject& window, bool everyControl = true);
// Sets the text of the current language on every control of the table; nothing for a language
// code other than 1..3.
void ApplyLanguageTexts(QObject& window);

namespace MainTexts {
inline constexpr Text3 CompanyLine{"   ORVEX S.r.l.", "   ORVEX S.r.l.", "   ORVEX GmbH"};
inline constexpr Text3 BroadcastNotice{"- nessuna risposta - comando switchall",
                                       "- no rx - switchall command", "- no rx - switchall command"};
inline constexpr Text3 TimeoutNotice{"- nessuna risposta - timeout", "- no rx - timeout",
                                     "- no rx - timeout"};
inline constexpr Text3 PortLabel{"Porta seriale: COM", "Serial Port: COM", "Schnittstelle: COM"};
// After the device in the status line: the chosen adapter's path is gone and it was found again
// (%1 its serial number), or several adapters have its serial number (%1 how many) and none is opened.
inline constexpr Text3 FoundAgain{"adattatore %1 ritrovato", "adapter %1 found again",
                                  "Adapter %1 wiedergefunden"};
inline constexpr Text3 SameSerial{"%1 adattatori con il numero di serie %2",
                                  "%1 adapters have the serial number %2",
                                  "%1 Adapter mit der Seriennummer %2"};
inline constexpr Text3 SettingsLabel{"Impostazioni: ", "Settings: ", "Einstellungen: "};
inline constexpr Text3 PromptOpening{"Valori ammessi: da ", "Allowed values: from ", "Allowed values: von "};
inline constexpr Text3 PromptMiddle{" a ", " to ", " bis "};
inline constexpr Text3 EepromRefusal1{
    "Con l'indirizzo impostato su SWITCH-ALL non è possibile programmare la EEPROM.",
    "With SWITCH-ALL address you can't program EEPROM.", "With SWITCH-ALL address you can't program EEPROM."};
inline constexpr Text3 EepromRefusal2{"Impostare il corretto indirizzo da 0 a 31.",
                                      "Set the correct address from 0 to 31.",
                                      "Set the correct address from 0 to 31."};
inline constexpr Text3 PortFailed{"Impossibile aprire la porta seriale ", "Cannot open the serial port ",
                                  "Die Schnittstelle kann nicht geöffnet werden: "};
inline constexpr Text3 LinkLost{
    "Collegamento seriale interrotto: ", "Serial link lost: ", "Verbindung zur Schnittstelle unterbrochen: "};
inline constexpr Text3 NoPort{"Nessuna porta seriale disponibile.", "No serial port available.",
                              "Keine Schnittstelle verfügbar."};
inline constexpr Text3 BadValue = BadValueText;
inline constexpr Text3 BadValueRange{"Valori ammessi: da ", "Allowed values: from ", "Zulässige Werte: von "};
inline constexpr Text3 BadValueCommand{"Comando", "Command", "Befehl"};
} // namespace MainTexts

// The text for the current language, or English for a code other than 1..3 (messages must say
// something even under a hand-edited language code).
QString MessageText(const Text3& text);
