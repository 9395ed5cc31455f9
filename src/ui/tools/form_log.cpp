#include "ui/tools/form_log.h"

#include "ui/common/prompts.h"
#include "ui/common/texts.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const Text3 kTitle{"Registro comunicazioni", "Communication log", "Kommunikationsprotokoll"};
const Text3 kColumns[] = {
    {"Ora", "Time", "Zeit"},
    {"Direzione", "Direction", "Richtung"},
    {"Indirizzo", "Address", "Adresse"},
    {"Byte (hex)", "Bytes (hex)", "Bytes (hex)"},
    {"Significato", "Meaning", "Bedeutung"},
};
const Text3 kCopy{"Copia", "Copy", "Kopieren"};
const Text3 kClear{"Svuota", "Clear", "Leeren"};
const Text3 kSave{"Salva...", "Save...", "Speichern..."};
const Text3 kClose{"Chiudi", "Close", "Schließen"};
const Text3 kHideMonitor{"Nascondi il traffico del monitor", "Hide the monitor's traffic",
                         "Verkehr des Monitors ausblenden"};
const Text3 kSaveFailed{"Impossibile salvare il registro in ", "Cannot save the log to ",
                        "Das Protokoll kann nicht gespeichert werden: "};

} // namespace

TrafficLogModel::TrafficLogModel(TrafficLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log), shownFirst_(log.firstSequence()),
      shownEnd_(log.nextSequence()) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TrafficLogModel::refresh);
    timer->start(250);
}

void TrafficLogModel::refresh() {
    unsigned long long first = log_.firstSequence();
    if (first > shownFirst_) {
        unsigned long long gone = std::min(first, shownEnd_) - shownFirst_;
        if (gone > 0) {
            beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
            shownFirst_ += gone;
            endRemoveRows();
        }
        shownFirst_ = first;
        shownEnd_ = std::max(shownEnd_, first);
    }
    unsigned long long end = log_.nextSequence();
    if (end > shownEnd_) {
        int from = rowCount();
        beginInsertRows({}, from, from + static_cast<int>(end - shownEnd_) - 1);
        shownEnd_ = end;
        endInsertRows();
    }
}

const LogEntry* TrafficLogModel::entry(int row) const {
    unsigned long long seq = shownFirst_ + static_cast<unsigned long long>(row);
    if (row < 0 || seq >= shownEnd_ || seq < log_.firstSequence()) return nullptr;
    return &log_.entries()[static_cast<size_t>(seq - log_.firstSequence())];
}

int TrafficLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shownEnd_ - shownFirst_);
}

int TrafficLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant TrafficLogModel::data(const QModelIndex& index, int role) const {
    const LogEntry* entry = index.isValid() ? this->entry(index.row()) : nullptr;
    if ((role != Qt::DisplayRole && role != LineRole && role != MonitorRole) || !entry) return {};
    const LogEntry& e = *entry;
    if (role == MonitorRole) return e.monitor;
    if (role == LineRole) return QString::fromStdString(LogLine(e));
    switch (index.column()) {
    case 0:
        return QString::fromStdString(LogTime(e.time));
    case 1:
        return QString::fromStdString(LogDirection(e.kind));
    case 2:
        return e.address == 99 ? QStringLiteral("switchall") : QString::number(e.address);
    case 3:
        return QString::fromStdString(e.hex);
    default:
        return QString::fromStdString(e.decoded);
    }
}

QVariant TrafficLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 4) return {};
    return TextOrEnglish(kColumns[section]);
}

void TrafficLogModel::clear() {
    beginResetModel();
    log_.clear();
    shownFirst_ = shownEnd_ = log_.nextSequence();
    endResetModel();
}

void TrafficLogFilter::setHideMonitor(bool hide) {
    hideMonitor_ = hide;
    invalidateFilter();
}

bool TrafficLogFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    return !hideMonitor_ || !sourceModel()->index(row, 0, parent).data(TrafficLogModel::MonitorRole).toBool();
}

Form_Log::Form_Log(TrafficLog& log, QWidget* parent) : QWidget(parent, Qt::Window), log_(log), model_(log) {
    setObjectName("Form_Log");
    filter_.setSourceModel(&model_);
    view_ = new QTableView(this);
    view_->setObjectName("Grid_Log");
    view_->setModel(&filter_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setColumnWidth(0, 110);
    view_->setColumnWidth(1, 90);
    view_->setColumnWidth(2, 80);
    view_->setColumnWidth(3, 260);

    copy_ = new QPushButton(this);
    copy_->setObjectName("Command_CopyLog");
    clear_ = new QPushButton(this);
    clear_->setObjectName("Command_ClearLog");
    save_ = new QPushButton(this);
    save_->setObjectName("Command_SaveLog");
    close_ = new QPushButton(this);
    close_->setObjectName("Command_CloseLog");
    hideMonitor_ = new QCheckBox(this);
    hideMonitor_->setObjectName("Check_HideMonitor");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy_);
    buttons->addWidget(clear_);
    buttons->addWidget(save_);
    buttons->addSpacing(16);
    buttons->addWidget(hideMonitor_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);

    connect(copy_, &QPushButton::clicked, this, &Form_Log::CopySelected);
    connect(clear_, &QPushButton::clicked, this, [this] { model_.clear(); });
    connect(save_, &QPushButton::clicked, this, &Form_Log::SaveAs);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(hideMonitor_, &QCheckBox::toggled, &filter_, &TrafficLogFilter::setHideMonitor);
    // Follow new entries while the operator looks at the bottom.
    connect(&filter_, &QAbstractItemModel::rowsInserted, this, [this] {
        QScrollBar* bar = view_->verticalScrollBar();
        if (bar->value() >= bar->maximum() - 2) view_->scrollToBottom();
    });
    resize(820, 420);
    SetLingua();
}

void Form_Log::SetLingua() {
    setWindowTitle(TextOrEnglish(kTitle));
    copy_->setText(TextOrEnglish(kCopy));
    clear_->setText(TextOrEnglish(kClear));
    save_->setText(TextOrEnglish(kSave));
    close_->setText(TextOrEnglish(kClose));
    hideMonitor_->setText(TextOrEnglish(kHideMonitor));
    model_.headerDataChanged(Qt::Horizontal, 0, 4);
}

bool Form_Log::shown(const LogEntry& entry) const {
    return !(entry.monitor && filter_.hideMonitor());
}

QString Form_Log::LogText() const {
    QString text;
    for (const LogEntry& e : log_.entries())
        if (shown(e)) text += QString::fromStdString(LogLine(e)) + "\r\n";
    return text;
}

void Form_Log::CopySelected() {
    QModelIndexList rows = view_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const QModelIndex& r : rows)
        lines << r.data(TrafficLogModel::LineRole).toString();
    if (rows.isEmpty())
        for (const LogEntry& e : log_.entries())
            if (shown(e)) lines << QString::fromStdString(LogLine(e));
    QApplication::clipboard()->setText(lines.join('\n'));
}

void Form_Log::SaveAs() {
    QString name = UiPrompts().saveFileName(this, "Text files (*.txt)");
    if (name.isEmpty()) return;
    QSaveFile file(name);
    bool ok = file.open(QIODevice::WriteOnly) && file.write(LogText().toUtf8()) >= 0 && file.commit();
    if (!ok)
        UiPrompts().message(this, ErrorTitle(), TextOrEnglish(kSaveFailed) + name + "\n" + file.errorString(),
                            true);
}

void ShowCommunicationLog(QWidget* owner, TrafficLog& log) {
    static QPointer<Form_Log> window;
    if (!window) {
        window = new Form_Log(log, owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->SetLingua();
    window->show();
    window->raise();
    window->activateWindow();
}
