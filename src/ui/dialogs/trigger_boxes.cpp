#include "ui/dialogs/trigger_boxes.h"

#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/form_combos.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr const char* ColumnCaption = "  IN3        IN2        IN1";

// One row of three boxes placed under the words of the column caption above it.
QWidget* BoxRow(QWidget* owner, const QLabel* caption, const char* prefix, QLineEdit* out[3]) {
    auto* row = new QWidget(owner);
    const QFontMetrics fm(caption->font());
    const QString text = QString::fromLatin1(ColumnCaption);
    const int boxWidth = fm.horizontalAdvance(QStringLiteral("IN3")) + 14;
    int height = 0;
    // Columns left to right: IN3, IN2, IN1.
    for (int column = 0; column < 3; ++column) {
        const QString word = QStringLiteral("IN%1").arg(3 - column);
        const int start = static_cast<int>(text.indexOf(word));
        const int centre = fm.horizontalAdvance(text.left(start)) + fm.horizontalAdvance(word) / 2;
        auto* box = new QLineEdit(QStringLiteral("0"), row);
        box->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(prefix)).arg(3 - column));
        box->setAlignment(Qt::AlignCenter);
        box->setFixedWidth(boxWidth);
        SelectAllOnFocus(box);
        box->move(std::max(0, centre - boxWidth / 2), 0);
        height = box->sizeHint().height();
        out[2 - column] = box;
    }
    row->setFixedSize(fm.horizontalAdvance(text) + boxWidth / 2, height);
    return row;
}

} // namespace

const TextRow TriggerRowTexts[6] = {
    {"Label_In", {"INGRESSI:", "INPUTS:", "INPUTS:"}},
    {"Label_Level", {"LIVELLI:", "LEVELS:", "LEVELS:"}},
    {"Label_HighLev", {"1 = LIVELLO ALTO", "1 = HIGH LEVEL", "1 = 1 aktiv"}},
    {"Label_LowLev", {"0 = LIVELLO BASSO", "0 = LOW LEVEL", "0 = 0 aktiv"}},
    {"Command_cancel", {"Annulla", "Cancel", "Cancel"}},
    {"Command_Ok", {"OK", "OK", "OK"}},
};

int TriggerBoxes::build(QWidget* owner, QGridLayout* grid, int row) {
    auto label = [owner](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), owner);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    QLabel* inputsCaption = label("Label1", ColumnCaption);
    QLabel* levelsCaption = label("Label4", ColumnCaption);
    QLineEdit* inputs[3];
    QLineEdit* levels[3];
    QWidget* inputsRow = BoxRow(owner, inputsCaption, "Text_IN", inputs);
    QWidget* levelsRow = BoxRow(owner, levelsCaption, "Text_LEV", levels);
    for (int i = 0; i < 3; ++i) {
        boxes_[i] = inputs[i];
        boxes_[3 + i] = levels[i];
    }
    grid->addWidget(inputsCaption, row, 1);
    grid->addWidget(label("Label_In", "INGRESSI:"), row + 1, 0);
    grid->addWidget(inputsRow, row + 1, 1);
    grid->addWidget(levelsCaption, row + 2, 1);
    grid->addWidget(label("Label_Level", "LIVELLI:"), row + 3, 0);
    grid->addWidget(levelsRow, row + 3, 1);
    grid->addWidget(label("Label_HighLev", "1 = HIGH LEVEL"), row + 4, 0, 1, 2);
    grid->addWidget(label("Label_LowLev", "0 = LOW LEVEL"), row + 5, 0, 1, 2);
    return row + 6;
}

std::array<std::string, 6> TriggerBoxes::texts() const {
    std::array<std::string, 6> out;
    for (size_t i = 0; i < boxes_.size(); ++i)
        out[i] = boxes_[i]->text().toStdString();
    return out;
}
