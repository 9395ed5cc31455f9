#include "ui/common/texts.h"

#include "app/module1.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

std::optional<QString> ForLanguage(const Text3& text) {
    switch (Module1::Lingua) {
    case 1:
        return QString::fromUtf8(text.ita);
    case 2:
        return QString::fromUtf8(text.eng);
    case 3:
        return QString::fromUtf8(text.ger);
    default:
        return std::nullopt;
    }
}

QString TextOrEnglish(const Text3& text) {
    return ForLanguage(text).value_or(QString::fromUtf8(text.eng));
}

QString ErrorTitle() {
    return ForLanguage({"VarDelo - ERRORE", "VarDelo - ERROR", "Vardelo - ERROR"})
        .value_or("VarDelo - ERROR");
}

QString BadValueMessage(const std::string& reason) {
    return TextOrEnglish(BadValueText) + QString::fromStdString(reason);
}

void SetControlText(QObject* control, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
}
