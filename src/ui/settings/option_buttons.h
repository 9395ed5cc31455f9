#pragma once
// Pieces the two settings dialogs share.
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

// Clears every option of a group; exclusive buttons cannot all be cleared otherwise.
template <size_t N> void ClearOptions(QRadioButton* (&options)[N]) {
    for (QRadioButton* option : options) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

// The OK button at the bottom right of a dialog whose size follows its content.
inline void AddOkRow(QVBoxLayout* layout, QWidget* ok) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
