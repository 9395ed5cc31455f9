#include "ui/main/form_main.h"

#include "app/fileconfig.h"
#include "app/module1.h"
#include "base/numbers.h"
#include "protocol/catalog.h"
#include "ui/common/lists.h"
#include "ui/common/stopall.h"
#include "ui/main/form_main_texts.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_monitor.h"
#include "ui/tools/form_scan.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The menu bar loads the icon of its overflow button at once, and to read that PNG Qt's image
// reader first loads every image format plugin (it asks each of them before its own PNG reader):
// a good part of the window's start. Loaded on another core while the window is built, they are
// there when the menu bar asks. Once per program; the program's end waits for the pool's threads.
void LoadImagePluginsAside() {
    static bool started = false;
    if (started) return;
    started = true;
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
}

// A list sized without its items: as wide as the layout makes it, at least its minimum width. Qt
// would measure every item of every list at the window's first show, a good part of its start;
// the minimum widths set here hold the items anyway. Its size hint is the one Qt gives an empty
// list of `minimumContentsLength` characters.
class LayoutSizedList : public QComboBox {
  public:
    using QComboBox::QComboBox;

    QSize sizeHint() const override {
        const QFontMetrics metrics = fontMetrics();
        const QSize contents(minimumContentsLength() * metrics.horizontalAdvance(QLatin1Char('X')),
                             std::max(qCeil(QFontMetricsF(metrics).height()), 14) + 2);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

} // namespace

Form_main::Form_main(DriveLine& line, QWidget* parent) : QMainWindow(parent), line_(line), log_(line) {
    LoadImagePluginsAside();
    setObjectName("Form_main");
    buildControls();
    buildMenus();
    load();
    // An adapter found again under another path, or no longer told apart, shows at once.
    statusObserver_ = line_.addObserver([this](const TrafficEvent& e) {
        // The stop of every drive says itself whether it went out: its line stays shown.
        if (e.text == TrafficEvent::EmergencyStop) return;
        if (e.kind == TrafficEvent::Sent || e.kind == TrafficEvent::PortError) AggiornaStatus();
    });
}

QComboBox* Form_main::combo(const char* name, int minimumWidth) {
    auto* box = new LayoutSizedList(this);
    box->setObjectName(name);
    // Typed text never becomes a list item (list position stands for a catalog slot or an
    // address) and is read as typed.
    KeepTypedText(box);
    box->setMinimumWidth(minimumWidth);
    box->setMaxVisibleItems(20);
    return box;
}

QLabel* Form_main::label(const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    return l;
}

QPushButton* Form_main::button(const char* name) {
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* Form_main::field(const char* name) {
    auto* f = new QLineEdit(this);
    f->setObjectName(name);
    f->setReadOnly(true);
    return f;
}

void Form_main::buildControls() {
    Combo_Addr = combo("Combo_Addr", 110);
    Combo_Corrente = combo("Combo_Corrente", 110);
    Combo_Risoluzione = combo("Combo_Risoluzione", 110);
    Combo_Fmin = combo("Combo_Fmin", 110);
    Combo_Fmax = combo("Combo_Fmax", 110);
    Combo_Rampa = combo("Combo_Rampa", 110);
    Combo_QuotaRel = combo("Combo_QuotaRel", 130);
    Combo_QuotaAbs = combo("Combo_QuotaAbs", 130);
    Combo_Command = combo("Combo_Command", 380);
    Label_Addr = label("Label_Addr");
    Label_Corrente = label("Label_Corrente");
    Label_Risoluzione = label("Label_Risoluzione");
    Label_Fmin = label("Label_Fmin");
    Label_Fmax = label("Label_Fmax");
    Label_Rampa = label("Label_Rampa");
    Label_QuotaRel = label("Label_QuotaRel");
    Label_QuotaAbs = label("Label_QuotaAbs");
    Label_Command = label("Label_Command");
    Command_Reset = button("Command_Reset");
    Command_StartUltimoPos = button("Command_StartUltimoPos");
    Command_GoZero = button("Command_GoZero");
    Command_Stop = button("Command_Stop");
    Command_MovInfinitoCw = button("Command_MovInfinitoCw");
    Command_MovInfinitoCcw = button("Command_MovInfinitoCcw");
    Command_LowNoiseON = button("Command_LowNoiseON");
    Command_LowNoiseOFF = button("Command_LowNoiseOFF");
    Command_LetturaPos = button("Command_LetturaPos");
    Command_StartPosRel = button("Command_StartPosRel");
    Command_StartPosAbs = button("Command_StartPosAbs");
    Command_SendInit = button("Command_SendInit");
    Command_SendCmd = button("Command_SendCmd");
    Command_PrgEeprom = button("Command_PrgEeprom");
    Command_SPECIAL = button("Command_SPECIAL");
    TextTx = field("TextTx");
    TextRx = field("TextRx");
    ParRx = field("ParRx");
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    TextTx->setFont(fixed);
    TextRx->setFont(fixed);

    auto frame = [this](const char* name) {
        auto* g = new QGroupBox(this);
        if (name) g->setObjectName(name);
        return g;
    };

    // Address and motion parameters, with the button that sends them.
    QGroupBox* setup = frame("Frame_Setup");
    auto* setupGrid = new QGridLayout(setup);
    QLabel* setupLabels[] = {Label_Addr, Label_Corrente, Label_Risoluzione,
                             Label_Fmin, Label_Fmax,     Label_Rampa};
    QComboBox* setupLists[] = {Combo_Addr, Combo_Corrente, Combo_Risoluzione,
                               Combo_Fmin, Combo_Fmax,     Combo_Rampa};
    for (int i = 0; i < 6; ++i) {
        setupGrid->addWidget(setupLabels[i], i, 0);
        setupGrid->addWidget(setupLists[i], i, 1);
    }
    setupGrid->addWidget(Command_SendInit, 6, 0, 1, 2);
    setupGrid->setRowStretch(7, 1);
    setupGrid->setColumnStretch(1, 1);

    // Targets and positioning.
    QGroupBox* motion = frame("Frame_Positioning");
    auto* motionGrid = new QGridLayout(motion);
    motionGrid->addWidget(Label_QuotaRel, 0, 0);
    motionGrid->addWidget(Combo_QuotaRel, 0, 1);
    motionGrid->addWidget(Command_StartPosRel, 0, 2);
    motionGrid->addWidget(Label_QuotaAbs, 1, 0);
    motionGrid->addWidget(Combo_QuotaAbs, 1, 1);
    motionGrid->addWidget(Command_StartPosAbs, 1, 2);
    motionGrid->addWidget(Command_StartUltimoPos, 2, 0, 1, 2);
    motionGrid->addWidget(Command_GoZero, 2, 2);
    motionGrid->setColumnStretch(1, 1);

    // Direct commands.
    QGroupBox* direct = frame("Frame_Direct");
    auto* directGrid = new QGridLayout(direct);
    directGrid->addWidget(Command_Reset, 0, 0);
    directGrid->addWidget(Command_Stop, 0, 1);
    directGrid->addWidget(Command_LetturaPos, 0, 2);
    directGrid->addWidget(Command_MovInfinitoCcw, 1, 0);
    directGrid->addWidget(Command_MovInfinitoCw, 1, 1);
    directGrid->addWidget(Command_LowNoiseON, 2, 0);
    directGrid->addWidget(Command_LowNoiseOFF, 2, 1);
    directGrid->addWidget(Command_PrgEeprom, 1, 2);
    directGrid->addWidget(Command_SPECIAL, 2, 2);

    auto* right = new QVBoxLayout;
    right->addWidget(motion);
    right->addWidget(direct);
    right->addWidget(StopAllDrives::Of(line_).button(this));
    right->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(setup, 2);
    top->addLayout(right, 3);

    // Generic send.
    QGroupBox* generic = frame("Frame_Command");
    auto* genericRow = new QHBoxLayout(generic);
    genericRow->addWidget(Label_Command);
    genericRow->addWidget(Combo_Command, 1);
    genericRow->addWidget(Command_SendCmd);

    // What went out, what came back, and what it means.
    Frame_Tx = frame("Frame_Tx");
    Frame_Rx = frame("Frame_Rx");
    Frame_ParRX = frame("Frame_ParRX");
    (new QVBoxLayout(Frame_Tx))->addWidget(TextTx);
    (new QVBoxLayout(Frame_Rx))->addWidget(TextRx);
    (new QVBoxLayout(Frame_ParRX))->addWidget(ParRx);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->addLayout(top);
    column->addWidget(generic);
    column->addWidget(Frame_Tx);
    column->addWidget(Frame_Rx);
    column->addWidget(Frame_ParRX);
    column->addStretch(1);
    setCentralWidget(central);

    Statusbar = new QLabel(this);
    Statusbar->setObjectName("Statusbar");
    Statusbar->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(Statusbar, 1);
    statusBar()->setSizeGripEnabled(true);
    connect(&StopAllDrives::Of(line_), &StopAllDrives::reported, Statusbar, &QLabel::setText);

    connect(Combo_Addr, &QComboBox::activated, this, &Form_main::onAddrActivated);
    connect(Combo_Addr->lineEdit(), &QLineEdit::editingFinished, this, &Form_main::commitAddress);
    connect(Command_Reset, &QPushButton::clicked, this, [this] { sendDirect(1, 1, 1, 0); });
    connect(Command_StartUltimoPos, &QPushButton::clicked, this, [this] { sendDirect(2, 1, 1, 0); });
    connect(Command_Stop, &QPushButton::clicked, this, [this] { sendDirect(17, 1, 1, 0); });
    connect(Command_GoZero, &QPushButton::clicked, this, [this] { sendDirect(166, 1, 1, 0); });
    connect(Command_LetturaPos, &QPushButton::clicked, this, [this] { sendDirect(18, 1, 8, 0); });
    connect(Command_LowNoiseON, &QPushButton::clicked, this, [this] { sendDirect(238, 2, 1, 2); });
    connect(Command_LowNoiseOFF, &QPushButton::clicked, this, [this] { sendDirect(238, 2, 1, 0); });
    connect(Command_MovInfinitoCw, &QPushButton::clicked, this, [this] { sendDirect(50, 2, 1, 0); });
    connect(Command_MovInfinitoCcw, &QPushButton::clicked, this, [this] { sendDirect(50, 2, 1, 255); });
    connect(Command_StartPosRel, &QPushButton::clicked, this,
            [this] { sendPositioning(Combo_QuotaRel, Label_QuotaRel, Module1::QuotaRel, 49); });
    connect(Command_StartPosAbs, &QPushButton::clicked, this,
            [this] { sendPositioning(Combo_QuotaAbs, Label_QuotaAbs, Module1::QuotaAbs, 48); });
    connect(Command_SendInit, &QPushButton::clicked, this, &Form_main::onSendInit);
    connect(Command_SendCmd, &QPushButton::clicked, this, &Form_main::onSendCmd);
    connect(Command_PrgEeprom, &QPushButton::clicked, this, &Form_main::onPrgEeprom);
    connect(Command_SPECIAL, &QPushButton::clicked, this, &Form_main::onSpecial);
}

void Form_main::buildMenus() {
    auto action = [this](const char* name) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        return a;
    };
    MenuFile = menuBar()->addMenu(QString());
    MenuFile->setObjectName("MenuFile");
    MenuSettings = menuBar()->addMenu(QString());
    MenuSettings->setObjectName("MenuSettings");
    MenuTools = menuBar()->addMenu(QString());
    MenuTools->setObjectName("MenuTools");
    MenuHelp = menuBar()->addMenu(QString());
    MenuHelp->setObjectName("MenuHelp");
    VoceExit = action("VoceExit");
    VoceSerialSetting = action("VoceSerialSetting");
    VoceLanguage = action("VoceLanguage");
    VoceAbout = action("VoceAbout");
    VoceLog = action("VoceLog");
    VoceScan = action("VoceScan");
    VoceMonitor = action("VoceMonitor");
    MenuTools->addAction(VoceLog);
    MenuTools->addAction(VoceScan);
    MenuTools->addAction(VoceMonitor);
    MenuTools->addAction(StopAllDrives::Of(line_).action());
    MenuFile->addAction(VoceExit);
    MenuSettings->addAction(VoceSerialSetting);
    MenuSettings->addAction(VoceLanguage);
    MenuHelp->addAction(VoceAbout);
    connect(VoceExit, &QAction::triggered, this, &Form_main::onExit);
    connect(VoceSerialSetting, &QAction::triggered, this, &Form_main::onSerialSetting);
    connect(VoceLanguage, &QAction::triggered, this, &Form_main::onLanguage);
    connect(VoceAbout, &QAction::triggered, this, &Form_main::onAbout);
    connect(VoceLog, &QAction::triggered, this, [this] { ShowCommunicationLog(this, log_); });
    connect(VoceScan, &QAction::triggered, this,
            [this] { ShowBusScan(this, line_, [this](int address) { SelectAddress(address); }); });
    connect(VoceMonitor, &QAction::triggered, this, [this] {
        connect(this, &Form_main::SelectionChanged, ShowMonitor(this, line_), &Form_Monitor::Follow,
                Qt::UniqueConnection);
    });
}

Form_main::~Form_main() {
    line_.removeObserver(statusObserver_);
    // Children still emit while they are destroyed (an editable list commits its text when it
    // loses the focus); by then this window is no longer a Form_main.
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void Form_main::setDesignTexts() {
    setWindowTitle("VarDelo");
    // A language code 1..3 puts its own text on every other control before the window shows
    // (SetLingua in the load), so their design-time texts are set only for another code.
    ApplyDesignTexts(*this, !ForLanguage(MainTexts::CompanyLine));
}

void Form_main::load() {
    Module1::ResetGlobals();
    FileConfig("read");
    setDesignTexts(); // here, once the language is known
    Module1::InitComandi();
    CaricaListe();
    SetLingua();
    AggiornaStatus();
}

void Form_main::CaricaListe() {
    auto fill = [](QComboBox* box, const QStringList& items) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(-1); // Qt selects the first item of a filled list; nothing is picked yet
    };
    auto numbers = [](int from, int to, int step) {
        QStringList items;
        for (int n = from; n <= to; n += step)
            items << QString::number(n);
        return items;
    };

    QStringList commands;
    for (const std::string& line : CommandListLines(Module1::Lingua))
        commands << QString::fromStdString(line);
    fill(Combo_Command, commands);

    fill(Combo_Addr, QStringList{"switchall"} + numbers(0, 31, 1));
    Combo_Addr->setEditText(addressText());
    fill(Combo_Corrente, numbers(1000, 12000, 1000));
    fill(Combo_Risoluzione, {"1/1", "1/2", "1/4", "1/8", "1/16"});
    fill(Combo_Fmin, numbers(0, 3200, 100));
    fill(Combo_Fmax, numbers(0, 20000, 1000));
    fill(Combo_Rampa, numbers(0, 250, 25));
    fill(Combo_QuotaRel, numbers(25600, 256000, 12800));
    fill(Combo_QuotaAbs, numbers(25600, 256000, 12800));
}

void Form_main::SetLingua() {
    log_.setLanguage(Module1::Lingua);
    auto company = ForLanguage(MainTexts::CompanyLine);
    if (!company) return; // an unknown language code leaves every text as it was
    setWindowTitle(QString::fromStdString(Module1::TitoloApp) + *company);
    // Clear the selection too, so the boxes' "-" and the command prompt stand for no item.
    for (QComboBox* box : {Combo_Corrente, Combo_Risoluzione, Combo_Fmin, Combo_Fmax, Combo_Rampa,
                           Combo_QuotaRel, Combo_QuotaAbs, Combo_Command})
        box->setCurrentIndex(-1);
    ApplyLanguageTexts(*this);
    StopAllDrives::Of(line_).setTexts();
    AggiornaStatus();
}

void Form_main::AggiornaStatus() {
    auto port = ForLanguage(MainTexts::PortLabel);
    auto settings = ForLanguage(MainTexts::SettingsLabel);
    if (!port || !settings) return;
    QString line = *port + QString::fromStdString(SignedText(Module1::ComPort)) + QString(10, ' ') +
                   *settings + QString::fromStdString(SignedText(Module1::BaudRate)) + ",N,8,1";
    // A device chosen in the serial settings stands in the line, with the adapter found again
    // under another path or not told apart from another; the usual mapping is told on hover.
    const ResolvedPort resolved = line_.resolvePort(Module1::ComPort);
    const ChosenDevice chosen = line_.chosenDevice(Module1::ComPort);
    const QString device = QString::fromStdString(resolved.device);
    const QString serial = QString::fromStdString(chosen.serialNumber);
    if (resolved.foundAgain)
        line += "  (" + device + ", " + ForLanguage(MainTexts::FoundAgain)->arg(serial) + ")";
    else if (resolved.sameSerial)
        line += "  (" + device + ": " +
                ForLanguage(MainTexts::SameSerial)->arg(resolved.sameSerial).arg(serial) + ")";
    else if (!chosen.path.empty())
        line += "  (" + device + ")";
    Statusbar->setText(line);
    Statusbar->setToolTip(device);
}
