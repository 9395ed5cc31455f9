#pragma once
// A window's texts as one table (control, Italian, English, German), applied by its SetLingua.
#include "ui/common/texts.h"

#include <span>

class QWidget;

struct TextRow {
    const char* control; // objectName; empty for the window title
    Text3 text;
};

// Sets each row's text for the current language; for a code other than 1, 2, 3 nothing
// changes and the controls keep their design-time texts.
void ApplyTexts(QWidget& window, std::span<const TextRow> rows);

class QDialog;
class QHBoxLayout;
// The OK and Cancel buttons of a parameter dialog (`Command_Ok`, `Command_cancel`), OK the
// default button; Cancel rejects the dialog.
QHBoxLayout* OkCancelButtons(QDialog& dialog);
