#include "ui/dialogs/dialog_texts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void ApplyTexts(QWidget& window, std::span<const TextRow> rows) {
    for (const TextRow& row : rows) {
        const std::optional<QString> text = ForLanguage(row.text);
        if (!text) continue;
        if (*row.control == '\0')
            window.setWindowTitle(*text);
        else
            SetControlText(window.findChild<QWidget*>(QString::fromLatin1(row.control)), *text);
    }
}

QHBoxLayout* OkCancelButtons(QDialog& dialog) {
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("Command_Ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("Command_cancel"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
