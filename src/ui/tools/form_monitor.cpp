#include "ui/tools/form_monitor.h"

#include "app/module1.h"
#include "line/driveline.h"
#include "protocol/decoder.h"
#include "ui/common/prompts.h"
#include "ui/common/texts.h"
#include "ui/tools/monitor_curve.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>

namespace {

struct ControlText {
    const char* control;
    Text3 text;
};

const ControlText kTexts[] = {
    {"Check_Position", {"Posizione (18)", "Position (18)", "Position (18)"}},
    {"Check_Status", {"Stato (171)", "Status (171)", "Status (171)"}},
    {"Check_Inputs", {"I/O (19)", "I/O (19)", "E/A (19)"}},
    {"Check_Analog", {"Ingresso analogico (210)", "Analog input (210)", "Analogeingang (210)"}},
    {"Label_Rate", {"Letture al secondo:", "Polls per second:", "Abfragen pro Sekunde:"}},
    {"Command_MonitorStart", {"Avvia", "Start", "Start"}},
    {"Command_MonitorStop", {"Ferma", "Stop", "Stopp"}},
    {"Command_MonitorClear", {"Cancella", "Clear", "Löschen"}},
    {"Command_MonitorExport", {"Esporta CSV...", "Export CSV...", "CSV exportieren..."}},
    {"Command_MonitorClose", {"Chiudi", "Close", "Schließen"}},
    {"Frame_MonitorValues", {"Ultimi valori", "Latest values", "Letzte Werte"}},
    {"Frame_StatusLamps", {"Stato drive (bit 7..0)", "Drive status (bit 7..0)", "Antriebsstatus (Bit 7..0)"}},
    {"Frame_InputLamps", {"Stato I/O (bit 7..0)", "Drive I/O (bit 7..0)", "Ein-/Ausgänge (Bit 7..0)"}},
};
const Text3 kTitle{"Monitor drive", "Drive monitor", "Antriebsmonitor"};
const Text3 kPositionCurve{"Posizione", "Position", "Position"};
const Text3 kAnalogCurve{"Ingresso analogico (AN_IN)", "Analog input (AN_IN)", "Analogeingang (AN_IN)"};
const Text3 kMoving{"0 in moto", "0 moving", "0 fährt"};
const Text3 kAddress{"Indirizzo: ", "Address: ", "Adresse: "};
const Text3 kStopped{"Fermo", "Stopped", "Gestoppt"};
const Text3 kRunning{"In corso", "Running", "Läuft"};
const Text3 kPausedTransfer{"In pausa: trasferimento programmi in corso",
                            "Paused: a program transfer is running", "Pause: Programmübertragung läuft"};
const Text3 kPausedTest{"In pausa: test di diagnostica in corso", "Paused: a diagnostics test is running",
                        "Pause: Diagnosetest läuft"};
const Text3 kPausedScan{"In pausa: scansione del bus in corso", "Paused: a bus scan is running",
                        "Pause: Bus-Suche läuft"};
const Text3 kRate{"Letture/s: ", "Polls/s: ", "Abfragen/s: "};
const Text3 kRateOf{" di ", " of ", " von "};
const Text3 kMisses{"Risposte mancate: ", "Missed replies: ", "Fehlende Antworten: "};
const Text3 kNoReply{"- nessuna risposta -", "- no rx -", "- no rx -"};
const Text3 kBroadcast{"Con l'indirizzo impostato su SWITCH-ALL i drive non rispondono: il monitor non "
                       "ha nulla da leggere.\nImpostare il corretto indirizzo da 0 a 31.",
                       "With SWITCH-ALL address no drive replies: the monitor has nothing to read.\nSet "
                       "the correct address from 0 to 31.",
                       "Mit der Adresse SWITCH-ALL antwortet keine Endstufe: der Monitor kann nichts "
                       "lesen.\nEine Adresse von 0 bis 31 einstellen."};
const Text3 kNothingToRead{"Scegliere almeno una lettura.", "Choose at least one value to read.",
                           "Mindestens einen Wert zum Lesen wählen."};
const Text3 kLinkLost{"Monitor fermato: collegamento perso.\n", "Monitor stopped: the link is lost.\n",
                      "Monitor gestoppt: Verbindung verloren.\n"};
const Text3 kOpenFailed{"Monitor fermato: impossibile aprire la porta.\n",
                        "Monitor stopped: the port cannot be opened.\n",
                        "Monitor gestoppt: die Schnittstelle lässt sich nicht öffnen.\n"};
const Text3 kSaveFailed{"Impossibile salvare i dati in ", "Cannot save the samples to ",
                        "Die Daten können nicht gespeichert werden: "};

const char* const kReadNames[ReadCount] = {"Position", "Status", "Inputs", "Analog"};

QString AddressText(int address) {
    return address == BroadcastAddress ? QStringLiteral("switchall") : QString::number(address);
}

} // namespace

Form_Monitor::Form_Monitor(DriveLine& line, QWidget* parent) : QWidget(parent, Qt::Window), monitor_(line) {
    setObjectName("Form_Monitor");
    buildControls();
    // A failure is told after the monitor's own call has returned.
    connect(&monitor_, &DriveMonitor::failed, this, &Form_Monitor::onFailed, Qt::QueuedConnection);
    connect(&monitor_, &DriveMonitor::pausedChanged, this, [this](bool, BusUse holder) {
        pausedBy_ = holder;
        showState();
    });
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &Form_Monitor::Refresh);
    timer->start(200);
    resize(900, 720);
    SetLingua();
    Refresh();
}

void Form_Monitor::buildControls() {
    auto named = [this](QWidget* w, const QString& name) {
        w->setObjectName(name);
        return w;
    };
    address_ = new QLabel(this);
    address_->setObjectName("Label_MonitorAddress");
    auto* options = new QHBoxLayout;
    options->addWidget(address_);
    options->addSpacing(12);
    for (int r = 0; r < ReadCount; ++r) {
        reads_[r] = new QCheckBox(this);
        named(reads_[r], QStringLiteral("Check_") + kReadNames[r]);
        reads_[r]->setChecked(true);
        connect(reads_[r], &QCheckBox::toggled, this, &Form_Monitor::applyOptions);
        options->addWidget(reads_[r]);
    }
    options->addStretch();
    options->addWidget(named(new QLabel(this), "Label_Rate"));
    rate_ = new QComboBox(this);
    rate_->setObjectName("Combo_Rate");
    for (int r : DriveMonitor::Rates)
        rate_->addItem(QString::number(r), r);
    rate_->setCurrentIndex(rate_->findData(static_cast<int>(monitor_.rate())));
    connect(rate_, &QComboBox::currentIndexChanged, this, &Form_Monitor::applyOptions);
    options->addWidget(rate_);

    auto* buttons = new QHBoxLayout;
    const char* names[] = {"Command_MonitorStart", "Command_MonitorStop", "Command_MonitorClear",
                           "Command_MonitorExport"};
    void (Form_Monitor::*handlers[])() = {&Form_Monitor::Start, &Form_Monitor::Stop, &Form_Monitor::Clear,
                                          &Form_Monitor::Export};
    for (int k = 0; k < 4; ++k) {
        auto* b = new QPushButton(this);
        b->setObjectName(names[k]);
        connect(b, &QPushButton::clicked, this, handlers[k]);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* close = new QPushButton(this);
    close->setObjectName("Command_MonitorClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);

    auto* valuesBox = new QGroupBox(this);
    valuesBox->setObjectName("Frame_MonitorValues");
    auto* values = new QVBoxLayout(valuesBox);
    for (int r = 0; r < ReadCount; ++r) {
        values_[r] = new QLineEdit(valuesBox);
        values_[r]->setObjectName(QStringLiteral("Text_") + kReadNames[r]);
        values_[r]->setReadOnly(true);
        values_[r]->setMinimumWidth(300);
        values->addWidget(values_[r]);
    }
    auto lampBox = [this](const char* name, const char* lampPrefix, std::array<QLabel*, 8>& lamps) {
        auto* box = new QGroupBox(this);
        box->setObjectName(name);
        auto* grid = new QGridLayout(box);
        for (int bit = 7; bit >= 0; --bit) {
            auto* lamp = new QLabel(box);
            lamp->setObjectName(QStringLiteral("%1%2").arg(lampPrefix).arg(bit));
            lamp->setFixedSize(18, 18);
            auto* caption = new QLabel(QString::number(bit), box);
            caption->setObjectName(QStringLiteral("Label_%1%2").arg(lampPrefix).arg(bit));
            caption->setAlignment(Qt::AlignHCenter);
            grid->addWidget(lamp, 0, 7 - bit, Qt::AlignHCenter);
            grid->addWidget(caption, 1, 7 - bit, Qt::AlignHCenter);
            lamps[static_cast<size_t>(bit)] = lamp;
        }
        return box;
    };
    auto* lamps = new QVBoxLayout;
    lamps->addWidget(lampBox("Frame_StatusLamps", "Lamp_Status", statusLamps_));
    lamps->addWidget(lampBox("Frame_InputLamps", "Lamp_Input", inputLamps_));
    auto* middle = new QHBoxLayout;
    middle->addWidget(valuesBox, 1);
    middle->addLayout(lamps);

    position_ = new MonitorCurve(ReadPosition, QColor(0x1f, 0x6f, 0xc5), this);
    position_->setObjectName("Chart_Position");
    analog_ = new MonitorCurve(ReadAnalog, QColor(0xc5, 0x5a, 0x11), this);
    analog_->setObjectName("Chart_Analog");

    state_ = new QLabel(this);
    state_->setObjectName("Label_MonitorState");
    achieved_ = new QLabel(this);
    achieved_->setObjectName("Label_MonitorRate");
    misses_ = new QLabel(this);
    misses_->setObjectName("Label_MonitorMisses");
    auto* status = new QHBoxLayout;
    status->addWidget(state_, 1);
    status->addWidget(achieved_);
    status->addSpacing(24);
    status->addWidget(misses_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addLayout(buttons);
    layout->addLayout(middle);
    layout->addWidget(position_, 1);
    layout->addWidget(analog_, 1);
    layout->addLayout(status);
}

void Form_Monitor::SetLingua() {
    lingua_ = Module1::Lingua;
    setWindowTitle(TextOrEnglish(kTitle));
    for (const ControlText& t : kTexts)
        SetControlText(findChild<QObject*>(QString::fromLatin1(t.control)), TextOrEnglish(t.text));
    findChild<QLabel*>("Label_Lamp_Status0")->setText(TextOrEnglish(kMoving));
    position_->setCaption(TextOrEnglish(kPositionCurve));
    analog_->setCaption(TextOrEnglish(kAnalogCurve));
    shownNewest_ = -1; // the values are described in the new language
    Refresh();
}

void Form_Monitor::applyOptions() {
    for (int r = 0; r < ReadCount; ++r)
        monitor_.setRead(static_cast<MonitorRead>(r), reads_[r]->isChecked());
    monitor_.setRate(rate_->currentData().toInt());
}

void Form_Monitor::Start() {
    applyOptions();
    QString refusal;
    switch (monitor_.start({Module1::ComPort, Module1::BaudRate}, Module1::Indirizzo)) {
    case DriveMonitor::Refusal::None:
        break;
    case DriveMonitor::Refusal::Broadcast:
        refusal = TextOrEnglish(kBroadcast);
        break;
    case DriveMonitor::Refusal::NothingToRead:
        refusal = TextOrEnglish(kNothingToRead);
        break;
    }
    if (!refusal.isEmpty()) UiPrompts().message(this, ErrorTitle(), refusal, true);
    showState();
}

void Form_Monitor::Stop() {
    monitor_.stop();
    showState();
}

void Form_Monitor::Clear() {
    monitor_.clear();
    shownNewest_ = -1;
    Refresh();
}

void Form_Monitor::Export() {
    QString name = UiPrompts().saveFileName(this, "CSV files (*.csv)");
    if (name.isEmpty()) return;
    QSaveFile file(name);
    const std::string csv = MonitorCsv(monitor_.samples());
    bool ok = file.open(QIODevice::WriteOnly) &&
              file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) &&
              file.commit();
    if (!ok)
        UiPrompts().message(this, ErrorTitle(), TextOrEnglish(kSaveFailed) + name + "\n" + file.errorString(),
                            true);
}

void Form_Monitor::onFailed(Outcome outcome, const QString& error) {
    showState();
    const Text3& text = outcome == Outcome::OpenFailed ? kOpenFailed : kLinkLost;
    UiPrompts().message(this, ErrorTitle(), TextOrEnglish(text) + error, true);
}

void Form_Monitor::showLamps(std::array<QLabel*, 8>& lamps, const std::optional<long long>& value) {
    for (int bit = 0; bit < 8; ++bit) {
        const bool known = value.has_value();
        const bool lit = known && ((*value >> bit) & 1);
        QLabel* lamp = lamps[static_cast<size_t>(bit)];
        if (lamp->property("lit").isValid() && lamp->property("lit").toBool() == lit &&
            lamp->property("known").toBool() == known)
            continue;
        lamp->setProperty("lit", lit);
        lamp->setProperty("known", known);
        lamp->setStyleSheet(QStringLiteral("border-radius: 9px; border: 1px solid #555; background: %1;")
                                .arg(lit     ? "#2ecc40"
                                     : known ? "#3a3a3a"
                                             : "#c8c8c8"));
    }
}

void Form_Monitor::showState() {
    QString state = TextOrEnglish(kStopped);
    if (monitor_.running() && monitor_.paused()) {
        state = TextOrEnglish(pausedBy_ == BusUse::Transfer ? kPausedTransfer
                              : pausedBy_ == BusUse::Test   ? kPausedTest
                                                            : kPausedScan);
    } else if (monitor_.running()) {
        state = TextOrEnglish(kRunning);
    }
    state_->setText(state);
    achieved_->setText(TextOrEnglish(kRate) + QString::number(monitor_.achievedRate(), 'f', 1) +
                       TextOrEnglish(kRateOf) + QString::number(monitor_.rate(), 'f', 0));
    misses_->setText(TextOrEnglish(kMisses) + QString::number(monitor_.misses()));
    findChild<QPushButton*>("Command_MonitorStart")->setEnabled(!monitor_.running());
    findChild<QPushButton*>("Command_MonitorStop")->setEnabled(monitor_.running());
}

void Form_Monitor::Follow() {
    monitor_.setTarget({Module1::ComPort, Module1::BaudRate});
    // The monitor follows the address chosen in the main window; a broadcast cannot be watched.
    if (monitor_.running() && Module1::Indirizzo != monitor_.address()) {
        if (Module1::Indirizzo == BroadcastAddress) {
            monitor_.stop();
            UiPrompts().message(this, ErrorTitle(), TextOrEnglish(kBroadcast), true);
        } else {
            monitor_.setAddress(Module1::Indirizzo);
        }
    }
    if (lingua_ != Module1::Lingua)
        SetLingua(); // refreshes too
    else
        Refresh();
}

void Form_Monitor::Refresh() {
    address_->setText(TextOrEnglish(kAddress) +
                      AddressText(monitor_.running() ? monitor_.address() : Module1::Indirizzo));
    showState();
    const auto& samples = monitor_.samples();
    const long long newest = samples.empty() ? -1 : samples.back().ms;
    if (samples.size() == shownSamples_ && newest == shownNewest_) return;
    shownSamples_ = samples.size();
    shownNewest_ = newest;
    const MonitorSample* last = samples.empty() ? nullptr : &samples.back();
    for (int r = 0; r < ReadCount; ++r) {
        QString text;
        if (last && last->missed[r])
            text = TextOrEnglish(kNoReply);
        else if (last && last->value[r])
            text = QString::fromStdString(DescribeReply(
                MonitorCommands[r].code, monitor_.lastReply(static_cast<MonitorRead>(r)), Module1::Lingua));
        values_[r]->setText(text);
    }
    showLamps(statusLamps_, last ? last->value[ReadStatus] : std::nullopt);
    showLamps(inputLamps_, last ? last->value[ReadInputs] : std::nullopt);
    // Samples further apart than a few polls were not taken in a row (stopped or paused).
    const double gap = 3.0 / std::max(1.0, monitor_.rate()) + 0.5;
    position_->plot(samples, gap);
    analog_->plot(samples, gap);
}

void Form_Monitor::closeEvent(QCloseEvent* event) {
    // Nothing of the monitor waits inside a call, so it may stop and go at once.
    monitor_.stop();
    QWidget::closeEvent(event);
}

Form_Monitor* ShowMonitor(QWidget* owner, DriveLine& line) {
    static QPointer<Form_Monitor> window;
    if (!window) {
        window = new Form_Monitor(line, owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->SetLingua();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
