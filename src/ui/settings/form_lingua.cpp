#include "ui/settings/form_lingua.h"

#include "app/fileconfig.h"
#include "app/module1.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/settings/option_buttons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const TextRow LinguaTexts[] = {
    {"", {"Selezione lingua", "Language selection", "Sprachauswahl"}},
    {"Frame1", {"Seleziona lingua", "Select language", "Sprachauswahl"}},
    {"Option1", {"ITALIANO", "ITALIANO", "ITALIANO"}},
    {"Option2", {"ENGLISH", "ENGLISH", "ENGLISH"}},
    {"Option3", {"DEUTSCH", "DEUTSCH", "DEUTSCH"}},
};

} // namespace

Form_lingua::Form_lingua(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_lingua"));
    setWindowTitle(QStringLiteral("Language selection"));

    auto* frame = new QGroupBox(QStringLiteral("Select language"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* column = new QVBoxLayout(frame);
    const char* designCaptions[3] = {"ITALIAN", "ENGLISH", "DEUTCH"};
    for (int n = 1; n <= 3; ++n) {
        auto* option = new QRadioButton(QString::fromLatin1(designCaptions[n - 1]), frame);
        option->setObjectName(QStringLiteral("Option%1").arg(n));
        column->addWidget(option);
        options_[n - 1] = option;
        connect(option, &QRadioButton::clicked, this, [n] { Module1::Lingua = static_cast<int16_t>(n); });
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Form_lingua::Command1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    AddOkRow(layout, ok);

    Form_Load();
}

void Form_lingua::Form_Load() {
    ClearOptions(options_);
    if (Module1::Lingua < 1 || Module1::Lingua > 3) return; // design texts, nothing chosen
    SetLingua();
    options_[Module1::Lingua - 1]->setChecked(true);
}

void Form_lingua::SetLingua() {
    ApplyTexts(*this, LinguaTexts);
}

void Form_lingua::Command1_Click() {
    FileConfig("write");
    accept();
}
