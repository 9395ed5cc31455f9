#include "ui/dialogs/form_currentred.h"

#include "app/module1.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dialog_values.h"
#include "ui/dialogs/form_combos.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

namespace {

const TextRow CurrentRedTexts[] = {
    {"",
     {"Riduzione di corrente a motore fermo", "Stand-by current reduction", "Stand-by current reduction"}},
    {"Label_Tempo", {"Tempo riduzione [n x 32ms]", "Reduction time [n x 32ms]", "Reduction time [n x 32ms]"}},
    {"Label_Percentuale", {"Percentuale di riduzione", "Reduction %", "Reduction %"}},
};

} // namespace

Form_CurrentRed::Form_CurrentRed(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_CurrentRed"));
    setWindowTitle(QStringLiteral("Riduzione di corrente a motore fermo"));
    QGridLayout* grid = ComboDialogBody(*this);
    tempo_ = ChoiceCombo(*this, grid, 0, "Label_Tempo", "Tempo riduzione", "Combo_Tempo", NumberItems(0, 63));
    percentuale_ = ChoiceCombo(*this, grid, 1, "Label_Percentuale", "Percentuale", "Combo_Percentuale",
                               {"0-100%", "1-0% (no rid)", "2-25%", "3-50%"});
    connect(findChild<QPushButton*>(QStringLiteral("Command_Ok")), &QPushButton::clicked, this,
            &Form_CurrentRed::Command_Ok_Click);

    SetLingua();
    Module1::CurrentRedOk = Module1::VbFalse;
    Module1::CurrentRedValue = 0;
}

void Form_CurrentRed::SetLingua() {
    ApplyTexts(*this, CurrentRedTexts);
}

void Form_CurrentRed::Command_Ok_Click() {
    const std::optional<int16_t> value =
        CurrentRedValueOf(tempo_->currentText().toStdString(), percentuale_->currentText().toStdString());
    if (!value) return; // nothing chosen or a time the byte cannot hold: the click does nothing
    Module1::CurrentRedValue = *value;
    Module1::CurrentRedOk = Module1::VbTrue;
    accept();
}
