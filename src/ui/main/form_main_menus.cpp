// The main window's address selection, the windows it opens, its menus and its close box.
#include "ui/main/form_main.h"

#include "app/module1.h"
#include "base/numbers.h"
#include "line/driveline.h"
#include "ui/common/lists.h"
#include "ui/common/prompts.h"
#include "ui/diagnostics/form_special.h"
#include "ui/editor/form_prgeeprom.h"
#include "ui/main/form_main_texts.h"
#include "ui/settings/settings_dialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>

void Form_main::onAddrActivated(int index) {
    const QString text = Combo_Addr->itemText(index);
    if (text == "switchall") {
        Module1::Indirizzo = BroadcastAddress;
    } else {
        // The items are 0..31, so the number always fits.
        Module1::Indirizzo = ToInt16(Val(text.toStdString())).value_or(0);
    }
    emit SelectionChanged();
}

QString Form_main::addressText() const {
    return Module1::Indirizzo == BroadcastAddress ? QString("switchall")
                                                  : QString::number(Module1::Indirizzo);
}

void Form_main::commitAddress() {
    const int item = CommitTypedChoice(Combo_Addr, addressText());
    if (item >= 0) onAddrActivated(item);
}

void Form_main::SelectAddress(int address) {
    if (address < 0 || address > 31) return;
    Module1::Indirizzo = static_cast<int16_t>(address);
    Combo_Addr->setCurrentIndex(address + 1); // the items are "switchall", 0, 1, ..., 31
    emit SelectionChanged();
}

void Form_main::onPrgEeprom() {
    commitAddress();
    if (Module1::Indirizzo == BroadcastAddress) {
        UiPrompts().message(
            this, ErrorTitle(),
            MessageText(MainTexts::EepromRefusal1) + "\r\n" + MessageText(MainTexts::EepromRefusal2), false);
        return;
    }
    ShowProgramEditor(this, line_);
}

void Form_main::onSpecial() {
    commitAddress();
    ShowDiagnostics(this, line_);
}

void Form_main::onExit() {
    // At once, whatever runs or waits in any window.
    line_.abortAll();
    QCoreApplication::exit(0);
}

bool Form_main::refuseDialog() {
    if (!line_.held()) return false;
    UiPrompts().beep();
    return true;
}

void Form_main::onSerialSetting() {
    if (refuseDialog()) return;
    ShowSerialSettings(this, line_);
    AggiornaStatus();
    emit SelectionChanged();
}

void Form_main::onLanguage() {
    if (refuseDialog()) return;
    ShowLanguageDialog(this);
    CaricaListe();
    SetLingua();
    emit SelectionChanged();
}

void Form_main::onAbout() {
    if (refuseDialog()) return;
    UiPrompts().message(this, "VarDelo - Info",
                        QString::fromStdString(Module1::TitoloApp) + "\r\n\r\nORVEX Programming interface",
                        false);
}

void Form_main::closeEvent(QCloseEvent* event) {
    // The window does not go away under its own wait for the drive; Exit still ends everything.
    if (running_) {
        UiPrompts().beep();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
