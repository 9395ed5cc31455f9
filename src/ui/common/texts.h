#pragma once
// Texts in the three languages, chosen by Module1::Lingua at the moment they are shown.
#include <QString>

class QObject;
#include <optional>
#include <string>

struct Text3 {
    const char* ita;
    const char* eng;
    const char* ger;
};

// The text for the current language; nothing for a code other than 1, 2, 3 (the control then
// keeps what it showed before).
std::optional<QString> ForLanguage(const Text3& text);

// Sets the visible text of a control, whatever its kind: the title of a menu or frame, the text
// of an action, label, button or line edit, the edit text of a list. Nothing for nullptr.
void SetControlText(QObject* control, const QString& text);

// The text for the current language, or the English one for any other code (messages must say
// something even under a hand-edited language code).
QString TextOrEnglish(const Text3& text);

// Title of refusal and error message boxes: "VarDelo - ERRORE" / "VarDelo - ERROR" / "Vardelo - ERROR".
QString ErrorTitle();

// Opening words of the refusal of a value that does not fit its bytes.
inline constexpr Text3 BadValueText{"Valore non ammesso: ", "Value not allowed: ", "Unzulässiger Wert: "};
// The refusal's text: the opening words and why the value does not fit.
QString BadValueMessage(const std::string& reason);
