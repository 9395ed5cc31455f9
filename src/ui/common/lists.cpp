#include "ui/common/lists.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionComboBox>
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

// Never completes anything: it stands in a line edit only while the edit is handed to its list.
QCompleter& PlaceholderCompleter() {
    static QPointer<QCompleter> placeholder;
    if (!placeholder) {
        placeholder = new QCompleter(QCoreApplication::instance());
        placeholder->setCompletionMode(QCompleter::InlineCompletion); // no popup of its own
    }
    return *placeholder;
}

} // namespace

void SelectUntypedTextOnKey(QLineEdit* edit, QEvent* event) {
    if (event->type() != QEvent::KeyPress || edit->isModified() || edit->hasSelectedText()) return;
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) edit->selectAll();
}

void KeepTypedText(QComboBox* combo) {
    // What setEditable(true) does, without two costs that a window with many lists pays at
    // start: the drop-down's view, built at once (it is built when the list first drops down),
    // and a completer over the items, which the list must not have. A line edit that comes with a
    // completer keeps it, so the list builds none; the placeholder is then taken away again.
    auto* edit = new QLineEdit(combo);
    edit->setPalette(combo->palette());
    edit->setCompleter(&PlaceholderCompleter());
    combo->setLineEdit(edit);
    combo->setCompleter(nullptr);
    // The view, built when the list is editable already, has its scroll bar off in a style whose
    // editable lists drop down as a popup menu; setEditable leaves it on there.
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const bool popupWhenFixed = combo->style()->styleHint(QStyle::SH_ComboBox_Popup, &option, combo);
    option.editable = true;
    if (popupWhenFixed && combo->style()->styleHint(QStyle::SH_ComboBox_Popup, &option, combo))
        combo->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    combo->setInsertPolicy(QComboBox::NoInsert);
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
