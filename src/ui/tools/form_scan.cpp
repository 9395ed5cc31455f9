#include "ui/tools/form_scan.h"

#include "app/module1.h"
#include "line/driveline.h"
#include "ui/common/prompts.h"
#include "ui/common/texts.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const Text3 kTitle{"Scansione del bus", "Bus scan", "Bus-Suche"};
const Text3 kColumns[] = {
    {"Indirizzo", "Address", "Adresse"},
    {"Tipo", "Type", "Typ"},
    {"Versione", "Release", "Version"},
    {"Risposta [ms]", "Response [ms]", "Antwort [ms]"},
};
const Text3 kStart{"Avvia scansione", "Start scan", "Suche starten"};
const Text3 kCancel{"Annulla", "Cancel", "Abbrechen"};
const Text3 kClose{"Chiudi", "Close", "Schließen"};
const Text3 kAsking{"Interrogo l'indirizzo ", "Asking address ", "Frage Adresse "};
const Text3 kFound{"Drive trovati: ", "Drives found: ", "Gefundene Endstufen: "};
const Text3 kCancelled{"Scansione annullata. Drive trovati: ", "Scan cancelled. Drives found: ",
                       "Suche abgebrochen. Gefundene Endstufen: "};
const Text3 kPortError{"Errore della porta seriale: ", "Serial port error: ", "Fehler der Schnittstelle: "};
const Text3 kHint{"Doppio clic su una riga per selezionare l'indirizzo.",
                  "Double-click a row to select its address.",
                  "Doppelklick auf eine Zeile wählt die Adresse."};

} // namespace

Form_Scan::Form_Scan(DriveLine& line, std::function<void(int)> chooseAddress, QWidget* parent)
    : QDialog(parent), line_(line), chooseAddress_(std::move(chooseAddress)) {
    setObjectName("Form_Scan");
    status_ = new QLabel(this);
    status_->setObjectName("Label_ScanStatus");
    progress_ = new QProgressBar(this);
    progress_->setObjectName("Progress_Scan");
    progress_->setRange(0, 32);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName("Grid_Scan");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    start_ = new QPushButton(this);
    start_->setObjectName("Command_StartScan");
    cancel_ = new QPushButton(this);
    cancel_->setObjectName("Command_CancelScan");
    close_ = new QPushButton(this);
    close_->setObjectName("Command_CloseScan");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(table_);
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &Form_Scan::StartScan);
    connect(cancel_, &QPushButton::clicked, this, &Form_Scan::Cancel);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (chooseAddress_) chooseAddress_(table_->item(row, 0)->text().toInt());
    });
    cancel_->setEnabled(false);
    resize(460, 420);
    SetLingua();
}

void Form_Scan::SetLingua() {
    setWindowTitle(TextOrEnglish(kTitle));
    QStringList headers;
    for (const Text3& c : kColumns)
        headers << TextOrEnglish(c);
    table_->setHorizontalHeaderLabels(headers);
    start_->setText(TextOrEnglish(kStart));
    cancel_->setText(TextOrEnglish(kCancel));
    close_->setText(TextOrEnglish(kClose));
    if (!running_ && table_->rowCount() == 0) status_->setText(TextOrEnglish(kHint));
}

void Form_Scan::StartScan() {
    if (running_) return;
    LineLease lease = line_.lease(BusUse::Scan);
    if (!lease) {
        UiPrompts().beep();
        return;
    }
    running_ = true;
    cancelled_ = false;
    table_->setRowCount(0);
    start_->setEnabled(false);
    cancel_->setEnabled(true);
    ScanOutcome outcome = ScanBus(line_, {Module1::ComPort, Module1::BaudRate}, [this](int address) {
        progress_->setValue(address);
        status_->setText(TextOrEnglish(kAsking) + QString::number(address) + " / 31");
        return !cancelled_;
    });
    progress_->setValue(outcome.cancelled ? progress_->value() : 32);
    running_ = false;
    start_->setEnabled(true);
    cancel_->setEnabled(false);
    ShowOutcome(outcome);
}

void Form_Scan::ShowOutcome(const ScanOutcome& outcome) {
    for (const ScanHit& hit : outcome.hits) {
        int row = table_->rowCount();
        table_->insertRow(row);
        table_->setItem(row, 0, new QTableWidgetItem(QString::number(hit.address)));
        table_->setItem(row, 1, new QTableWidgetItem(QString::number(hit.type)));
        table_->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(hit.release)));
        table_->setItem(row, 3, new QTableWidgetItem(QString::number(hit.milliseconds, 'f', 1)));
    }
    QString count = QString::number(outcome.hits.size());
    if (!outcome.portError.empty())
        status_->setText(TextOrEnglish(kPortError) + QString::fromStdString(outcome.portError));
    else if (outcome.cancelled)
        status_->setText(TextOrEnglish(kCancelled) + count);
    else
        status_->setText(TextOrEnglish(kFound) + count + ". " + TextOrEnglish(kHint));
}

void Form_Scan::closeEvent(QCloseEvent* event) {
    // Never die under a running wait: cancel, and close once the scan has returned.
    if (running_) {
        cancelled_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Form_Scan::reject() {
    if (running_) {
        cancelled_ = true;
        return;
    }
    QDialog::reject();
}

void ShowBusScan(QWidget* owner, DriveLine& line, std::function<void(int)> chooseAddress) {
    static QPointer<Form_Scan> window;
    if (!window) {
        window = new Form_Scan(line, std::move(chooseAddress), owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->SetLingua();
    window->show();
    window->raise();
    if (!window->running()) window->StartScan();
}
