#include "ui/common/lists.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class NoChoiceSelector : public QObject {
  public:
    explicit NoChoiceSelector(QComboBox* combo) : QObject(combo) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::KeyPress) return false;
        // The watched object, never a stored pointer: the list and its field still send events
        // while they are being destroyed.
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (auto* combo = qobject_cast<QComboBox*>(watched)) edit = combo->lineEdit();
        if (!edit || edit->text() != QLatin1String("-")) return false;
        // The list holds the focus for its entry field.
        if (event->type() == QEvent::FocusIn)
            // After the click that brought the focus has placed the cursor.
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        // A key typed before that (or with the focus already there) replaces the "-" as well,
        // so a typed 2 never goes out as -2; a "-" the operator typed stays a sign.
        SelectUntypedTextOnKey(edit, event);
        return false;
    }
};

} // namespace

void SelectUntypedTextOnKey(QLineEdit* edit, QEvent* event) {
    if (event->type() != QEvent::KeyPress || edit->isModified() || edit->hasSelectedText()) return;
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) edit->selectAll();
}

void KeepTypedText(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    auto* selector = new NoChoiceSelector(combo);
    combo->installEventFilter(selector);
    combo->lineEdit()->installEventFilter(selector);
}

int CommitTypedChoice(QComboBox* combo, const QString& inForce) {
    const int item = combo->findText(combo->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (item < 0) {
        combo->setEditText(inForce);
        return -1;
    }
    combo->setCurrentIndex(item);
    return item;
}
