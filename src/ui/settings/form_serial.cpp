#include "ui/settings/form_serial.h"

#include "app/appsettings.h"
#include "app/fileconfig.h"
#include "app/module1.h"
#include "base/numbers.h"
#include "line/driveline.h"
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
#include <algorithm>

namespace {

const TextRow SerialTexts[] = {
    {"", {"Impostazione seriale", "Serial settings", "Schnittstellenparameter"}},
    {"Frame1", {"Selezione porta seriale", "Serial port setting", "Serielle schnittstelle"}},
    {"Frame2", {"Selezione velocità", "Baud rate setting", "Baud rate"}},
};
// Beside each port: the device it opens on this computer and whether it is there now.
const Text3 DevicePresent{"(presente)", "(present)", "(vorhanden)"};
const Text3 DeviceMissing{"(non trovato)", "(not found)", "(nicht gefunden)"};
const Text3 DeviceLabel{
    "Dispositivo della porta scelta:", "Device of the selected port:", "Gerät der gewählten Schnittstelle:"};
const Text3 Automatic{"automatico", "automatic", "automatisch"};
// Adapters come and go while the dialog is open; the list follows them.
constexpr int PollMilliseconds = 1500;

// The box's text for the rate in force: one of its two entries, or empty for any other rate.
QString RateText() {
    return Module1::BaudRate == 9600 || Module1::BaudRate == 19200 ? QString::number(Module1::BaudRate)
                                                                   : QString();
}

} // namespace

Form_serial::Form_serial(DriveLine& line, QWidget* parent) : QDialog(parent), line_(line) {
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
        connect(option, &QRadioButton::clicked, this, [this, n] {
            Module1::ComPort = static_cast<int16_t>(n);
            FillDeviceList();
        });
    }
    auto* deviceLabel = new QLabel(ports);
    deviceLabel->setObjectName(QStringLiteral("Label_Device"));
    device_ = new QComboBox(ports);
    device_->setObjectName(QStringLiteral("Combo_Device"));
    device_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    portGrid->addWidget(deviceLabel, 4, 0, 1, 2);
    portGrid->addWidget(device_, 5, 0, 1, 2);
    portGrid->setColumnStretch(1, 1);
    connect(device_, &QComboBox::activated, this, &Form_serial::Device_Click);
    poll_.setInterval(PollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, &Form_serial::PollDevices);
    poll_.start();

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
    listed_ = ListSerialDevices();
    FillDeviceList();

    baud_->clear();
    baud_->addItems({QStringLiteral("19200"), QStringLiteral("9600")});
    baud_->setCurrentIndex(-1);
    baud_->setEditText(RateText());
}

void Form_serial::SetLingua() {
    ApplyTexts(*this, SerialTexts);
    findChild<QLabel*>(QStringLiteral("Label_Device"))->setText(TextOrEnglish(DeviceLabel));
}

void Form_serial::ShowDevices() {
    for (int n = 1; n <= 4; ++n) {
        const ResolvedPort port = line_.resolvePort(n);
        const Text3& state = port.exists ? DevicePresent : DeviceMissing;
        devices_[n - 1]->setText(QString::fromStdString(port.device) + QLatin1Char(' ') +
                                 TextOrEnglish(state));
    }
}

// The device list of the selected COM number: first the usual mapping, then every device the
// system reports, and a chosen device that is not there now (so the choice is not lost silently).
void Form_serial::FillDeviceList() {
    const int com = Module1::ComPort;
    const bool selectable = com >= 1 && com <= 4;
    const std::string chosen = selectable ? line_.portDevice(com) : std::string();
    device_->clear();
    device_->setEnabled(selectable);
    const ResolvedPort mapped = MappedPort(selectable ? com : 1);
    device_->addItem(TextOrEnglish(Automatic) + QStringLiteral(" (") + QString::fromStdString(mapped.device) +
                         QStringLiteral(")"),
                     QString());
    bool chosenListed = chosen.empty();
    for (const SerialDevice& d : listed_) {
        device_->addItem(DeviceEntryText(d), QString::fromStdString(d.location));
        chosenListed = chosenListed || d.location == chosen;
    }
    if (!chosenListed)
        device_->addItem(QString::fromStdString(chosen) + QLatin1Char(' ') + TextOrEnglish(DeviceMissing),
                         QString::fromStdString(chosen));
    device_->setCurrentIndex(std::max(0, device_->findData(QString::fromStdString(chosen))));
    ShowDevices();
}

void Form_serial::PollDevices() {
    std::vector<SerialDevice> now = ListSerialDevices();
    if (now == listed_) return;
    listed_ = std::move(now);
    FillDeviceList();
}

void Form_serial::Device_Click(int index) {
    const int com = Module1::ComPort;
    if (com < 1 || com > 4 || index < 0) return;
    const std::string path = device_->itemData(index).toString().toStdString();
    // The adapter is kept with what finds it again under another path; a kept choice not
    // there now keeps what it had.
    ChosenDevice chosen = path == line_.portDevice(com) ? line_.chosenDevice(com) : ChosenDevice{path};
    for (const SerialDevice& d : listed_)
        if (d.location == path) chosen = {path, d.serialNumber, d.description};
    line_.setPortDevice(com, chosen);
    ShowDevices();
}

void Form_serial::Combo1_Click(int index) {
    if (const std::optional<int16_t> rate = ToInt16(Val(baud_->itemText(index).toStdString())))
        Module1::BaudRate = *rate;
}

void Form_serial::Command1_Click() {
    for (int n = 1; n <= 4; ++n)
        if (line_.chosenDevice(n) != SavedPortDevice(n)) SavePortDevice(n, line_.chosenDevice(n));
    FileConfig("write");
    accept();
}
