#include "ui/dialogs/form_combos.h"

#include "ui/common/lists.h"
#include "ui/dialogs/dialog_texts.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The one-character boxes: a click selects the digit, so typing replaces it instead of
// making "01", which OK would refuse without a word; so does a key that comes without a click.
class DigitSelector : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit) return false;
        if (event->type() == QEvent::FocusIn) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        SelectUntypedTextOnKey(edit, event);
        return false;
    }
};

} // namespace

void SelectAllOnFocus(QLineEdit* edit) {
    edit->installEventFilter(new DigitSelector(edit));
}

QComboBox* ChoiceCombo(QDialog& dialog, QGridLayout* grid, int row, const char* labelName,
                       const char* labelText, const char* comboName, const QStringList& items) {
    auto* label = new QLabel(QString::fromLatin1(labelText), &dialog);
    label->setObjectName(QString::fromLatin1(labelName));
    auto* combo = new QComboBox(&dialog);
    combo->setObjectName(QString::fromLatin1(comboName));
    KeepTypedText(combo);
    combo->setMaxVisibleItems(16);
    label->setBuddy(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("-"));
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    return combo;
}

QStringList NumberItems(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n)
        items << QString::number(n);
    return items;
}

QGridLayout* ComboDialogBody(QDialog& dialog) {
    auto* outer = new QVBoxLayout(&dialog);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setColumnMinimumWidth(1, 140);
    outer->addLayout(grid);
    outer->addSpacing(8);
    outer->addLayout(OkCancelButtons(dialog));
    outer->setSizeConstraint(QLayout::SetFixedSize);
    return grid;
}
