#include "ui/settings/settings_dialogs.h"

#include "ui/common/prompts.h"
#include "ui/settings/form_lingua.h"
#include "ui/settings/form_serial.h"

void ShowSerialSettings(QWidget* parent, DriveLine& line) {
    Form_serial dialog(line, parent);
    UiPrompts().runDialog(dialog);
}

void ShowLanguageDialog(QWidget* parent) {
    Form_lingua dialog(parent);
    UiPrompts().runDialog(dialog);
}
