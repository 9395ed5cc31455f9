#include "ui/common/lists.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

class NoChoiceSelector : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The list holds the focus for its entry field.
        auto* combo = qobject_cast<QComboBox*>(watched);
        if (combo && event->type() == QEvent::FocusIn && combo->currentText() == QLatin1String("-"))
            // After the click that brought the focus has placed the cursor.
            QTimer::singleShot(0, combo->lineEdit(), &QLineEdit::selectAll);
        return false;
    }
};

} // namespace

void KeepTypedText(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->installEventFilter(new NoChoiceSelector(combo));
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
