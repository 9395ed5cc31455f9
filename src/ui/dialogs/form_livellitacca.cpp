#include "ui/dialogs/form_livellitacca.h"

#include "app/module1.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dialog_values.h"
#include "ui/dialogs/form_combos.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>

namespace {

const TextRow LivelliTaccaTexts[] = {
    {"", {"Livelli tacca analogica", "Spot levels", "Spot levels"}},
};

} // namespace

Form_LivelliTacca::Form_LivelliTacca(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_LivelliTacca"));
    setWindowTitle(QStringLiteral("Livelli tacca analogica"));
    QGridLayout* grid = ComboDialogBody(*this);
    vmin_ = ChoiceCombo(*this, grid, 0, "Label_Vmin", "Vmin [dV]", "Combo_Vmin", NumberItems(0, 255));
    vmax_ = ChoiceCombo(*this, grid, 1, "Label_Vmax", "Vmax [dV]", "Combo_Vmax", NumberItems(0, 255));
    connect(findChild<QPushButton*>(QStringLiteral("Command_Ok")), &QPushButton::clicked, this,
            &Form_LivelliTacca::Command_Ok_Click);

    SetLingua();
    Module1::SpotOk = Module1::VbFalse;
}

void Form_LivelliTacca::SetLingua() {
    ApplyTexts(*this, LivelliTaccaTexts);
}

void Form_LivelliTacca::Command_Ok_Click() {
    const std::optional<SpotLevels> levels =
        SpotLevelsOf(vmin_->currentText().toStdString(), vmax_->currentText().toStdString());
    if (!levels) return; // nothing chosen or a level outside 0..255: the click does nothing
    Module1::SpotMin = levels->min;
    Module1::SpotMax = levels->max;
    Module1::SpotOk = Module1::VbTrue;
    accept();
}
