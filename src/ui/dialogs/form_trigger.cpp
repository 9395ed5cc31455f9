#include "ui/dialogs/form_trigger.h"

#include "app/module1.h"
#include "ui/common/lists.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dialog_values.h"
#include "ui/dialogs/form_combos.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const TextRow ZeroAlVoloTexts[] = {
    {"", {"Zero al volo", "Zero at flight", "Zero at flight"}},
    {"Label_Quota", {"QUOTA", "QUOTE", "QUOTE"}},
    {"Combo_QuotaZFly", {"-", "-", "-"}},
};

QGridLayout* Body(QDialog& dialog) {
    auto* outer = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    outer->addLayout(grid);
    outer->addSpacing(8);
    outer->addLayout(OkCancelButtons(dialog));
    outer->setSizeConstraint(QLayout::SetFixedSize);
    return grid;
}

QPushButton* OkButton(QDialog& dialog) {
    return dialog.findChild<QPushButton*>(QStringLiteral("Command_Ok"));
}

} // namespace

QStringList ZFlyQuotaItems() {
    QStringList items{"0", "256", "512", "768", "1024"};
    for (int quota = 25600; quota <= 256000; quota += 12800)
        items << QString::number(quota);
    return items;
}

Form_Trigger::Form_Trigger(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_Trigger"));
    setWindowTitle(QStringLiteral("Trigger"));
    boxes_.build(this, Body(*this), 0);
    connect(OkButton(*this), &QPushButton::clicked, this, &Form_Trigger::Command_Ok_Click);

    Module1::TriggerOk = Module1::VbFalse;
    Module1::TriggerMask = 0;
    SetLingua();
}

void Form_Trigger::SetLingua() {
    // The caller's title stands in every language; other codes keep the design title.
    if (Module1::Lingua >= 1 && Module1::Lingua <= 3)
        setWindowTitle(QString::fromStdString(Module1::TriggerTitle));
    ApplyTexts(*this, TriggerRowTexts);
}

void Form_Trigger::Command_Ok_Click() {
    const std::optional<int> mask = TriggerMaskOf(boxes_.texts());
    if (!mask) return; // an invalid box: the click does nothing, entries stay
    Module1::TriggerOk = Module1::VbTrue;
    Module1::TriggerMask = *mask;
    accept();
}

Form_ZeroAlVolo::Form_ZeroAlVolo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_ZeroAlVolo"));
    setWindowTitle(QStringLiteral("Zero al volo"));
    QGridLayout* grid = Body(*this);
    const int row = boxes_.build(this, grid, 0);
    auto* quotaLabel = new QLabel(QStringLiteral("QUOTA:"), this);
    quotaLabel->setObjectName(QStringLiteral("Label_Quota"));
    quota_ = new QComboBox(this);
    quota_->setObjectName(QStringLiteral("Combo_QuotaZFly"));
    KeepTypedText(quota_);
    quota_->setMinimumContentsLength(8);
    quota_->setMaxVisibleItems(16);
    quotaLabel->setBuddy(quota_);
    grid->setRowMinimumHeight(row, 8);
    grid->addWidget(quotaLabel, row + 1, 0);
    grid->addWidget(quota_, row + 1, 1, Qt::AlignLeft);
    connect(OkButton(*this), &QPushButton::clicked, this, &Form_ZeroAlVolo::Command_Ok_Click);

    Module1::TriggerOk = Module1::VbFalse;
    Module1::ZFlyQuota = 0;
    Module1::TriggerMask = 0;
    quota_->clear();
    quota_->addItems(ZFlyQuotaItems());
    quota_->setCurrentIndex(-1);
    SetLingua();
    quota_->setEditText(QStringLiteral("-")); // not an item: no quota chosen yet
}

void Form_ZeroAlVolo::SetLingua() {
    ApplyTexts(*this, ZeroAlVoloTexts);
    ApplyTexts(*this, TriggerRowTexts);
}

void Form_ZeroAlVolo::Command_Ok_Click() {
    const std::optional<double> quota = ZFlyQuotaOf(quota_->currentText().toStdString());
    if (!quota) return;
    const std::optional<int> mask = TriggerMaskOf(boxes_.texts());
    if (!mask) return;
    Module1::TriggerOk = Module1::VbTrue;
    Module1::TriggerMask = *mask;
    Module1::ZFlyQuota = *quota;
    accept();
}
