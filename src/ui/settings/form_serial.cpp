#include "ui/settings/form_serial.h"

#include "app/fileconfig.h"
#include "app/module1.h"
#include "app/numbers.h"
#include "link/portmap.h"
#include "ui/common/lists.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/settings/option_buttons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const TextRow SerialTexts[] = {
    {"", {"Impostazione seriale", "Serial settings", "Schnittstellenparameter"}},
    {"Frame1", {"Selezione porta seriale", "Serial port setting", "Serielle schnittstelle"}},
    {"Frame2", {"Selezione velocità", "Baud rate setting", "Baud rate"}},
};
// Beside each port: the device it opens on this computer and whether it is there now.
const Text3 DevicePresent{"(presente)", "(present)", "(vorhanden)"};
const Text3 DeviceMissing{"(non trovato)", "(not found)", "(nicht gefunden)"};

// The box's text for the rate in force: one of its two entries, or empty for any other rate.
QString RateText() {
    return Module1::BaudRate == 9600 || Module1::BaudRate == 19200 ? QString::number(Module1::BaudRate)
                                                                   : QString();
}

} // namespace

Form_serial::Form_serial(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_serial"));
    setWindowTitle(QStringLiteral("Serial setting"));

    auto* ports = new QGroupBox(QStringLiteral("Serial port setting"), this);
    ports->setObjectName(QStringLiteral("Frame1"));
    auto* portGrid = new QGridLayout(ports);
    portGrid->setHorizontalSpacing(16);
    for (int n = 1; n <= 4; ++n) {
        auto* option = new QRadioButton(QStringLiteral("COM%1").arg(n), ports);
        option->setObjectName(QStringLiteral("Option%1").arg(n));
        auto* device = new QLabel(ports);
        device->setObjectName(QStringLiteral("Label_Port%1").arg(n));
        device->setEnabled(false); // greyed: information, not a control
        portGrid->addWidget(option, n - 1, 0);
        portGrid->addWidget(device, n - 1, 1);
        options_[n - 1] = option;
        devices_[n - 1] = device;
        connect(option, &QRadioButton::clicked, this, [n] { Module1::ComPort = static_cast<int16_t>(n); });
    }
    portGrid->setColumnStretch(1, 1);

    auto* rates = new QGroupBox(QStringLiteral("Baud rate setting"), this);
    rates->setObjectName(QStringLiteral("Frame2"));
    baud_ = new QComboBox(rates);
    baud_->setObjectName(QStringLiteral("Combo1"));
    KeepTypedText(baud_);
    baud_->setMinimumContentsLength(8);
    auto* rateRow = new QHBoxLayout(rates);
    rateRow->addWidget(baud_);
    rateRow->addStretch();
    // Only picking an entry changes the rate. A typed rate counts as picked once typing ends;
    // any other text gives way to the rate in force, so the box never shows a rate not used.
    connect(baud_, &QComboBox::activated, this, &Form_serial::Combo1_Click);
    connect(baud_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const int item = CommitTypedChoice(baud_, RateText());
        if (item >= 0) Combo1_Click(item);
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Form_serial::Command1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ports);
    layout->addWidget(rates);
    AddOkRow(layout, ok);

    Form_Load();
}

Form_serial::~Form_serial() {
    // The box may still end its typing while its children are destroyed.
    QObject::disconnect(baud_->lineEdit(), nullptr, this, nullptr);
}

void Form_serial::Form_Load() {
    ClearOptions(options_);
    if (Module1::ComPort >= 1 && Module1::ComPort <= 4) options_[Module1::ComPort - 1]->setChecked(true);
    SetLingua();
    ShowDevices();

    baud_->clear();
    baud_->addItems({QStringLiteral("19200"), QStringLiteral("9600")});
    baud_->setCurrentIndex(-1);
    baud_->setEditText(RateText());
}

void Form_serial::SetLingua() {
    ApplyTexts(*this, SerialTexts);
}

void Form_serial::ShowDevices() {
    for (int n = 1; n <= 4; ++n) {
        const ResolvedPort port = ResolvePort(n);
        const Text3& state = port.exists ? DevicePresent : DeviceMissing;
        devices_[n - 1]->setText(QString::fromStdString(port.device) + QLatin1Char(' ') +
                                 TextOrEnglish(state));
    }
}

void Form_serial::Combo1_Click(int index) {
    if (const std::optional<int16_t> rate = ToInt16(Val(baud_->itemText(index).toStdString())))
        Module1::BaudRate = *rate;
}

void Form_serial::Command1_Click() {
    FileConfig("write");
    accept();
}
