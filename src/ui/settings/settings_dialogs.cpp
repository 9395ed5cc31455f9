// Placeholder until the settings dialogs land.
#include "ui/settings/settings_dialogs.h"

void ShowSerialSettings(QWidget*) {}
void ShowLanguageDialog(QWidget*) {}
