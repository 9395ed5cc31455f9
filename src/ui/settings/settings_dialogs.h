#pragma once
class QWidget;
class DriveLine;

// Shows the serial settings dialog modally; returns when it has closed (OK or close box).
void ShowSerialSettings(QWidget* parent, DriveLine& line);
// Shows the language dialog modally; returns when it has closed (OK or close box).
void ShowLanguageDialog(QWidget* parent);
