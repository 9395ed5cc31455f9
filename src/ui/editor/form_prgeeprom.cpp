#include "ui/editor/form_prgeeprom.h"

#include "app/appsettings.h"
#include "app/module1.h"
#include "jobs/transfer.h"
#include "model/listing.h"
#include "model/prgfile.h"
#include "protocol/catalog.h"
#include "protocol/frame.h"
#include "protocol/linecodec.h"
#include "ui/common/lists.h"
#include "ui/common/prompts.h"
#include "ui/common/stopall.h"
#include "ui/common/texts.h"
#include "ui/dialogs/command_value.h"
#include "ui/editor/form_listingprint.h"
#include "ui/editor/form_prgmodel.h"
#include "ui/editor/prghistory.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace {

struct ControlText {
    const char* control; // objectName, or a key starting with '@' for texts that are no caption
    Text3 text;
};

// The window's texts. Status box texts are English in every language.
const ControlText Texts[] = {
    {"@caption", {"PROGRAMMAZIONE EEPROM", "EEPROM PROGRAM", "EEPROM PROGRAM"}},
    {"Frame_Editor", {"EDITOR DEL PROGRAMMA", "PROGRAM EDITOR", "PROGRAM EDITOR"}},
    {"Frame_PrgSel", {"SELEZIONE PROGRAMMA", "PROGRAM SELECTION", "Programm Auswahl"}},
    {"Frame_DiskOp", {"OPERAZIONI SU DISCO", "DISK OPERATIONS", "Disk Funktionen"}},
    {"Frame_DriveOp", {"OPERAZIONI SUL DRIVE", "DRIVE OPERATIONS", "KMD Funktionen"}},
    {"Frame_SelectCommand", {"Selezione del comando", "Select command", "Befehls Auswahl"}},
    {"Frame_Status", {"Stato operazione", "Status", "Status"}},
    {"@combo", {"Selezionare il comando", "Select command", "Befehl wahlen"}},
    {"Command_LoadPrg", {"Carica il programma", "Load program", "Programme laden"}},
    {"Command_SavePrg", {"Salva il programma", "Save program", "Programme abspeichern"}},
    {"Command_PrintPrg", {"Stampa il programma", "Print program", "Programme ausdrucken"}},
    {"Command_PreviewPrg", {"Anteprima di stampa", "Print preview", "Druckvorschau"}},
    {"Command_PdfPrg", {"Esporta come PDF", "Export as PDF", "Als PDF exportieren"}},
    {"Command_ReadAllPrg",
     {"Leggi i programmi dal drive", "Read programs from drive", "Lese Programme von KMD"}},
    {"Command_SendAllPrg",
     {"Invia tutti i programmi al drive", "Send all program to drive", "Sende alle Programme zur KMD"}},
    {"Command_SendCurrentPrg",
     {"Invia il programma corrente al drive", "Send current program to drive",
      "Sende aktuelles Programme zur KMD"}},
    {"Command_DeletePrg", {"Cancella un programma", "Delete program", "Programm loeschen"}},
    {"Command_DeleteAllPrg",
     {"Cancella tutti i programmi memorizzati", "Delete all stored program",
      "Alle gespeicherten Programme loeschen"}},
    {"Command_CopyPrg", {"Copia programma", "Copy program", "Copy program"}},
    {"Command_VerifyPrg",
     {"Verifica", "Verify",
      "Pr\xc3\xbc"
      "fen"}},
    {"Command_CancelTransfer", {"Annulla", "Cancel", "Abbrechen"}},
    {"Check_FastTransfer",
     {"Trasferimento veloce", "Fast transfer",
      "Schnelle \xc3\x9c"
      "bertragung"}},
    {"Check_VerifyAfterSend",
     {"Verifica dopo l'invio", "Verify after sending",
      "Nach dem Senden pr\xc3\xbc"
      "fen"}},
    // Progress bar: commands done, their total, and the time left once it can be estimated.
    {"@progress", {"%1 / %2", "%1 / %2", "%1 / %2"}},
    {"@progressLeft", {"%1 / %2 - ancora %3", "%1 / %2 - %3 left", "%1 / %2 - noch %3"}},
    {"Command_exit", {"Uscita", "Exit", "Zurueck"}},
    {"Command_DelLine", {"Cancella linea", "Delete line", "Zeile loeschen"}},
    {"Command_NewCmd", {"Inserisci comando", "Insert command", "Befehl einfuegen"}},
    {"@descriptionColumn", {"COMANDO", "COMMAND", "Kommando"}},
    {"@hexColumn", {"HEX", "HEX", "Hex"}},
    {"@exitQuestion",
     {"Vuoi uscire dalla modalit\xc3\xa0 di programmazione eeprom ?", "Exit from EEPROM program interface ?",
      "Exit from EEPROM program interface ?"}},
    {"@saveFailed",
     {"Impossibile salvare il file ", "Cannot save the file ", "Datei kann nicht gespeichert werden: "}},
    {"@pdfFailed",
     {"Impossibile scrivere il PDF ", "Cannot write the PDF ", "PDF kann nicht geschrieben werden: "}},
    {"@loadFailed",
     {"Impossibile leggere il file ", "Cannot read the file ", "Datei kann nicht gelesen werden: "}},
};

const Text3& TextOf(const char* key) {
    for (const ControlText& t : Texts)
        if (qstrcmp(t.control, key) == 0) return t.text;
    static const Text3 none{"", "", ""};
    return none;
}

// A text in the current language; English for a language code the tables do not know.
QString Say(const char* key) {
    const Text3& t = TextOf(key);
    return TextOrEnglish(t);
}

const char* const FileFilter = "Text Format files (*.txt)";

// Where the transfer options are kept (never in vdcfg.cfg, whose format is fixed).
const char* const FastKey = "transfer/fast";
const char* const VerifyKey = "transfer/verify";

std::unique_ptr<QSettings> Settings() {
    return AppSettings();
}

// "m:ss" for a time left in seconds.
QString Clock(double seconds) {
    const int s = static_cast<int>(seconds + 0.5);
    return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

// Design-time widths of the grid's columns, in twips (15 twips to a pixel at 96 dpi).
constexpr int HexColumnTwips = 2000;
constexpr int DescriptionColumnTwips = 10000;

int TwipsToPixels(int twips, int dpi) {
    return twips * dpi / 1440;
}

QPointer<Form_PrgEeprom> g_editor;

} // namespace

Form_PrgEeprom::Form_PrgEeprom(DriveLine& line, QWidget* parent) : QWidget(parent, Qt::Window), line_(line) {
    setObjectName("Form_PrgEeprom");
    BuildControls();
    BuildHistory();
    // Open sequence: texts, command list, an empty store with program 0 on show.
    Combo_Command->clear();
    SetLingua();
    FillCommandList();
    grid_.Clear();
    ShowPrg(0);
    history_->MarkClean();
    LoadOptions();
}

void Form_PrgEeprom::UpdateTitle() {
    QString title = windowTitle();
    if (title.endsWith(" *")) title.chop(2);
    if (auto text = ForLanguage(TextOf("@caption"))) title = *text;
    setWindowTitle(history_ && history_->Modified() ? title + " *" : title);
}

void Form_PrgEeprom::LoadOptions() {
    auto settings = Settings();
    const bool fast = settings->value(FastKey, false).toBool();
    Check_FastTransfer->setChecked(fast);
    Check_VerifyAfterSend->setChecked(settings->value(VerifyKey, fast).toBool());
    // Verifying goes with fast sending unless the operator says otherwise.
    connect(Check_FastTransfer, &QCheckBox::toggled, this, [this](bool on) {
        Check_VerifyAfterSend->setChecked(on);
        Settings()->setValue(FastKey, on);
    });
    connect(Check_VerifyAfterSend, &QCheckBox::toggled, this,
            [](bool on) { Settings()->setValue(VerifyKey, on); });
}

void Form_PrgEeprom::ShowProgress(int done, int total) {
    if (done == 0) transferClock_.start();
    Progress_Transfer->setRange(0, std::max(total, 1));
    Progress_Transfer->setValue(done);
    const double elapsed = static_cast<double>(transferClock_.elapsed()) / 1000.0;
    if (done > 0 && done < total)
        Progress_Transfer->setFormat(
            Say("@progressLeft").arg(done).arg(total).arg(Clock(elapsed / done * (total - done))));
    else
        Progress_Transfer->setFormat(Say("@progress").arg(done).arg(total));
}

void Form_PrgEeprom::CancelTransfer() {
    if (transferRunning_) cancelRequested_ = true;
}

void Form_PrgEeprom::BuildControls() {
    auto group = [this](const char* name) {
        auto* box = new QGroupBox(this);
        box->setObjectName(name);
        return box;
    };
    auto button = [this](const char* name, void (Form_PrgEeprom::*handler)()) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    model_ = new PrgGridModel(grid_, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setModel(model_);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    DBGrid1->setWordWrap(false);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The hex column keeps its width; the description column takes the rest of the grid.
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    const int dpi = logicalDpiX();
    DBGrid1->setColumnWidth(0, TwipsToPixels(HexColumnTwips, dpi));
    DBGrid1->setMinimumHeight(DBGrid1->verticalHeader()->defaultSectionSize() * 12);
    gridWidth_ = TwipsToPixels(HexColumnTwips + DescriptionColumnTwips, dpi);

    Combo_Command = new QComboBox(this);
    Combo_Command->setObjectName("Combo_Command");
    // Editable like the main window's list, so its text can show the prompt; typed text never
    // becomes an item.
    KeepTypedText(Combo_Command);
    Combo_Command->setMaxVisibleItems(25);
    Combo_Command->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo_Command->setMinimumContentsLength(40);

    Text_PrgActive = new QLineEdit(this);
    Text_PrgActive->setObjectName("Text_PrgActive");
    Text_PrgActive->setReadOnly(true);
    Text_PrgActive->setAlignment(Qt::AlignCenter);
    Text_PrgActive->setFixedWidth(48);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 6 + 12);

    auto* select = group("Frame_SelectCommand");
    auto* selectLayout = new QHBoxLayout(select);
    selectLayout->addWidget(Combo_Command, 1);
    selectLayout->addWidget(button("Command_NewCmd", &Form_PrgEeprom::NewCmd));
    selectLayout->addWidget(button("Command_DelLine", &Form_PrgEeprom::DelLine));
    Command_Undo = button("Command_Undo", &Form_PrgEeprom::Undo);
    Command_Redo = button("Command_Redo", &Form_PrgEeprom::Redo);
    selectLayout->addWidget(Command_Undo);
    selectLayout->addWidget(Command_Redo);

    auto* editor = group("Frame_Editor");
    auto* editorLayout = new QVBoxLayout(editor);
    editorLayout->addWidget(DBGrid1, 1);
    editorLayout->addWidget(select);

    auto* prgSel = group("Frame_PrgSel");
    auto* prgSelLayout = new QHBoxLayout(prgSel);
    auto* down = button("Command_PrgDown", &Form_PrgEeprom::PrgDown);
    auto* up = button("Command_PrgUp", &Form_PrgEeprom::PrgUp);
    down->setText("<");
    up->setText(">");
    prgSelLayout->addWidget(down);
    prgSelLayout->addWidget(Text_PrgActive);
    prgSelLayout->addWidget(up);

    auto* disk = group("Frame_DiskOp");
    auto* diskLayout = new QVBoxLayout(disk);
    diskLayout->addWidget(button("Command_LoadPrg", &Form_PrgEeprom::LoadPrg));
    diskLayout->addWidget(button("Command_SavePrg", &Form_PrgEeprom::SavePrg));
    diskLayout->addWidget(button("Command_PrintPrg", &Form_PrgEeprom::PrintPrg));
    diskLayout->addWidget(button("Command_PreviewPrg", &Form_PrgEeprom::PreviewPrg));
    diskLayout->addWidget(button("Command_PdfPrg", &Form_PrgEeprom::ExportPdf));

    auto* drive = group("Frame_DriveOp");
    auto* driveLayout = new QVBoxLayout(drive);
    driveLayout->addWidget(button("Command_ReadAllPrg", &Form_PrgEeprom::ReadAllPrg));
    driveLayout->addWidget(button("Command_SendAllPrg", &Form_PrgEeprom::SendAllPrg));
    driveLayout->addWidget(button("Command_SendCurrentPrg", &Form_PrgEeprom::SendCurrentPrg));
    driveLayout->addWidget(button("Command_DeletePrg", &Form_PrgEeprom::DeletePrg));
    driveLayout->addWidget(button("Command_DeleteAllPrg", &Form_PrgEeprom::DeleteAllPrg));
    driveLayout->addWidget(button("Command_CopyPrg", &Form_PrgEeprom::CopyPrg));
    driveLayout->addWidget(button("Command_VerifyPrg", &Form_PrgEeprom::VerifyPrg));
    Check_FastTransfer = new QCheckBox(this);
    Check_FastTransfer->setObjectName("Check_FastTransfer");
    Check_VerifyAfterSend = new QCheckBox(this);
    Check_VerifyAfterSend->setObjectName("Check_VerifyAfterSend");
    driveLayout->addWidget(Check_FastTransfer);
    driveLayout->addWidget(Check_VerifyAfterSend);

    auto* side = new QVBoxLayout;
    side->addWidget(prgSel);
    side->addWidget(disk);
    side->addWidget(drive);
    side->addStretch(1);
    side->addWidget(StopAllDrives::Of(line_).button(this));
    side->addWidget(button("Command_exit", &Form_PrgEeprom::Exit));

    auto* status = group("Frame_Status");
    auto* statusLayout = new QVBoxLayout(status);
    statusLayout->addWidget(Text1);
    Progress_Transfer = new QProgressBar(this);
    Progress_Transfer->setObjectName("Progress_Transfer");
    Progress_Transfer->setRange(0, 1);
    Progress_Transfer->setValue(0);
    Progress_Transfer->setFormat(QString());
    Progress_Transfer->setTextVisible(true);
    Command_CancelTransfer = button("Command_CancelTransfer", &Form_PrgEeprom::CancelTransfer);
    Command_CancelTransfer->setEnabled(false);
    auto* progressLayout = new QHBoxLayout;
    progressLayout->addWidget(Progress_Transfer, 1);
    progressLayout->addWidget(Command_CancelTransfer);
    statusLayout->addLayout(progressLayout);

    auto* top = new QHBoxLayout;
    top->addWidget(editor, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(status);

    // Start with the grid as wide as its two columns and about twenty rows high.
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), gridWidth_ + 360), std::max(hint.height(), 640));
}

void Form_PrgEeprom::SetLingua() {
    for (const ControlText& t : Texts) {
        if (t.control[0] == '@') continue;
        std::optional<QString> text = ForLanguage(t.text);
        if (!text) continue;
        SetControlText(findChild<QObject*>(QString::fromLatin1(t.control)), *text);
    }
    UpdateTitle();
    if (auto text = ForLanguage(TextOf("@combo"))) {
        Combo_Command->setEditText(*text);
        Combo_Command->setPlaceholderText(*text); // shown again when the operator empties the field
    }
    SetHistoryTexts();
    model_->setCaptions(Say("@hexColumn"), Say("@descriptionColumn"));
    Text1->clear();
}

void Form_PrgEeprom::FillCommandList() {
    const QString prompt = Combo_Command->currentText();
    for (const std::string& line : CommandListLines(Module1::Lingua))
        Combo_Command->addItem(QString::fromStdString(line));
    Combo_Command->setCurrentIndex(-1);
    Combo_Command->setEditText(prompt);
}

void Form_PrgEeprom::ShowPrg(int p) {
    grid_.Lingua = Module1::Lingua;
    grid_.ShowPrg(p);
    RefreshGrid(CursorRow());
}

void Form_PrgEeprom::RefreshGrid(int cursorRow) {
    Text_PrgActive->setText(QString::number(grid_.PrgActive));
    const int first = DBGrid1->verticalScrollBar()->value();
    model_->refresh();
    DBGrid1->verticalScrollBar()->setValue(first);
    SetCursorRow(cursorRow);
}

int Form_PrgEeprom::CursorRow() const {
    const QModelIndex current = DBGrid1->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void Form_PrgEeprom::SetCursorRow(int row) {
    row = std::clamp(row, 0, std::max(grid_.GridRowCount - 1, 0));
    const int column = std::max(DBGrid1->currentIndex().column(), 0);
    DBGrid1->setCurrentIndex(model_->index(row, column));
}

void Form_PrgEeprom::SetStatus(const std::string& text) {
    Text1->clear();
    AppendStatus(text);
}

void Form_PrgEeprom::AppendStatus(const std::string& text) {
    QString add = QString::fromStdString(text);
    add.replace("\r\n", "\n");
    QTextCursor end(Text1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(add);
    Text1->verticalScrollBar()->setValue(Text1->verticalScrollBar()->maximum());
}

bool Form_PrgEeprom::StoreFree() {
    if (!transferRunning_ && !line_.held()) return true;
    UiPrompts().beep();
    return false;
}

void Form_PrgEeprom::NewCmd() {
    if (!StoreFree()) return;
    ChangeScope change(*history_, grid_.PrgLines);
    Module1::TriggerMask = 0;
    int slot = Combo_Command->currentIndex();
    // The command shown is the one inserted: a typed description picks its command, any other
    // typed text inserts nothing, whatever was picked before.
    if (slot < 0 || Combo_Command->currentText() != Combo_Command->itemText(slot))
        slot = Combo_Command->findText(Combo_Command->currentText(),
                                       Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (slot < 0 || slot >= Module1::CatalogSlots || Module1::CodiceCmd[slot] == 0) return;
    if (grid_.Full()) {
        UiPrompts().beep();
        AppendStatus("Program " + std::to_string(grid_.PrgActive) +
                     " holds 51 lines: no room for another command\r\n");
        return;
    }
    const PromptWords words{{"Valori ammessi: da ", "Ammitted values: from ", "Ammitted values: von "},
                            {" a ", " to ", " bis "}};
    const std::optional<CommandValue> value =
        AskCommandValue(this, slot, Combo_Command->currentText(), words);
    if (!value) return;
    // A value the line cannot hold (a zero-at-flight quota past 32 bits) is refused as the main
    // window refuses it, rather than inserting nothing without a word.
    if (const ValueBytesResult bytes =
            ValueBytes(Module1::NtxCmd[slot], value->tipo, value->parametro1, value->parametro2);
        bytes.error) {
        UiPrompts().message(this, ErrorTitle(), BadValueMessage(bytes.error->what), true);
        return;
    }

    const int firstVisible = DBGrid1->verticalScrollBar()->value();
    const int row = CursorRow();
    const int viewRow = row - firstVisible;
    const std::string line = StringaCmd(Module1::CodiceCmd[slot], value->parametro1, value->parametro2,
                                        value->tipo, Module1::NtxCmd[slot]);
    if (!grid_.InsertLine(row, line)) return;
    RefreshGrid(row + 1);

    // Near the bottom of the view the grid scrolls by one row, so the cursor keeps its place on
    // screen and rests on the line after the inserted one.
    const int rowHeight = std::max(DBGrid1->verticalHeader()->defaultSectionSize(), 1);
    const int visibleRows = std::max(DBGrid1->viewport()->height() / rowHeight, 1);
    if (grid_.GridRowCount > visibleRows && viewRow > visibleRows - 3) {
        UiPrompts().beep();
        DBGrid1->verticalScrollBar()->setValue(firstVisible + 1);
    }
}

void Form_PrgEeprom::DelLine() {
    if (!StoreFree()) return;
    ChangeScope change(*history_, grid_.PrgLines);
    const int cursor = grid_.DeleteGridRow(CursorRow());
    RefreshGrid(cursor);
}

void Form_PrgEeprom::PrgDown() {
    if (!StoreFree()) return;
    grid_.PreviousPrg();
    RefreshGrid(0);
}

void Form_PrgEeprom::PrgUp() {
    if (!StoreFree()) return;
    grid_.NextPrg();
    RefreshGrid(0);
}

void Form_PrgEeprom::LoadPrg() {
    if (!StoreFree()) return;
    ChangeScope change(*history_, grid_.PrgLines);
    const QString name = UiPrompts().openFileName(this, FileFilter);
    if (name.isEmpty()) return;
    const PrgFileLoad load = LoadPrgFile(name.toStdString());
    if (!load.content) {
        UiPrompts().message(this, ErrorTitle(),
                            Say("@loadFailed") + name + "\n" + QString::fromStdString(load.error), true);
        return;
    }
    if (!load.content->headerOk) UiPrompts().beep();
    grid_.PrgLines = load.content->store;
    history_->MarkClean();
    grid_.PrgActive = 0;
    grid_.ShowPrg(0);
    RefreshGrid(0);
    const std::string skipped = SkippedLinesText(*load.content);
    if (!skipped.empty()) SetStatus(skipped);
}

void Form_PrgEeprom::SavePrg() {
    if (!StoreFree()) return; // a read under way would be saved half
    const QString name = UiPrompts().saveFileName(this, FileFilter);
    if (name.isEmpty()) return;
    if (std::optional<std::string> error = SavePrgFile(name.toStdString(), grid_.PrgLines))
        UiPrompts().message(this, ErrorTitle(),
                            Say("@saveFailed") + name + "\n" + QString::fromStdString(*error), true);
    else
        history_->MarkClean();
}

void Form_PrgEeprom::PrintPrg() {
    if (!StoreFree()) return;
    QPrinter printer;
    if (!UiPrompts().printDialog(this, printer)) return;
    SetStatus("Print programs");
    if (!PaintListing(printer, ListingLines(grid_.PrgLines, Module1::Lingua)))
        SetStatus("Print programs\r\nERROR - the listing could not be printed");
}

void Form_PrgEeprom::PreviewPrg() {
    if (!StoreFree()) return;
    QPrinter printer;
    const std::vector<std::string> lines = ListingLines(grid_.PrgLines, Module1::Lingua);
    UiPrompts().printPreview(this, printer, [&lines](QPrinter* p) { PaintListing(*p, lines); });
}

void Form_PrgEeprom::ExportPdf() {
    if (!StoreFree()) return;
    QString name = UiPrompts().saveFileName(this, "PDF files (*.pdf)");
    if (name.isEmpty()) return;
    if (!name.endsWith(".pdf", Qt::CaseInsensitive)) name += ".pdf";
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(name);
    if (!PaintListing(printer, ListingLines(grid_.PrgLines, Module1::Lingua)))
        UiPrompts().message(this, ErrorTitle(), Say("@pdfFailed") + name, true);
}

template <typename Operation> void Form_PrgEeprom::RunTransfer(Operation operation) {
    if (!StoreFree()) return;
    TransferIo io;
    io.line = &line_;
    io.drive = {{Module1::ComPort, Module1::BaudRate}, Module1::Indirizzo};
    io.lingua = Module1::Lingua;
    io.ask = [this](const std::string& text) {
        return UiPrompts().question(this, AppTitle, QString::fromStdString(text));
    };
    io.input = [this](const std::string& prompt, const std::string& title) {
        return UiPrompts()
            .input(this, QString::fromStdString(prompt), QString::fromStdString(title))
            .toStdString();
    };
    io.setStatus = [this](const std::string& text) { SetStatus(text); };
    io.appendStatus = [this](const std::string& text) { AppendStatus(text); };
    io.beep = [] { UiPrompts().beep(); };
    io.showProgram = [this] { ShowPrg(grid_.PrgActive); };
    io.options.fast = Check_FastTransfer->isChecked();
    io.options.verify = Check_VerifyAfterSend->isChecked();
    io.progress = [this](int done, int total) { ShowProgress(done, total); };
    io.cancelled = [this] { return cancelRequested_; };
    transferRunning_ = true;
    cancelRequested_ = false;
    Command_CancelTransfer->setEnabled(true);
    operation(io);
    Command_CancelTransfer->setEnabled(false);
    transferRunning_ = false;
    cancelRequested_ = false;
}

// A read replaces programs: one undo step for all of them. The store matches the drive only
// after a read that ran to its end; sent programs match it once the drive took them.
void Form_PrgEeprom::ReadAllPrg() {
    ChangeScope change(*history_, grid_.PrgLines);
    TransferResult result;
    RunTransfer([this, &result](TransferIo& io) { result = ::ReadAllPrg(grid_.PrgLines, io); });
    if (result.ok) history_->MarkClean();
}

void Form_PrgEeprom::SendAllPrg() {
    TransferResult result;
    RunTransfer([this, &result](TransferIo& io) { result = ::SendAllPrg(grid_.PrgLines, io); });
    // All sent: the drive was erased first, so its empty programs match too.
    if (result.ok) history_->MarkClean();
    for (int p : result.sent)
        history_->MarkClean(p);
}

void Form_PrgEeprom::SendCurrentPrg() {
    TransferResult result;
    RunTransfer(
        [this, &result](TransferIo& io) { result = ::SendCurrentPrg(grid_.PrgLines, grid_.PrgActive, io); });
    for (int p : result.sent)
        history_->MarkClean(p);
}

void Form_PrgEeprom::DeletePrg() {
    RunTransfer([](TransferIo& io) { ::DeletePrg(io); });
}

void Form_PrgEeprom::DeleteAllPrg() {
    RunTransfer([](TransferIo& io) { ::DeleteAllPrg(io); });
}

void Form_PrgEeprom::CopyPrg() {
    ChangeScope change(*history_, grid_.PrgLines);
    RunTransfer([this](TransferIo& io) { ::CopyPrg(grid_.PrgLines, io); });
}

void Form_PrgEeprom::VerifyPrg() {
    RunTransfer([this](TransferIo& io) { ::VerifyPrg(grid_.PrgLines, io); });
}

void Form_PrgEeprom::Exit() {
    close();
}

void Form_PrgEeprom::closeEvent(QCloseEvent* event) {
    if (transferRunning_) {
        // The transfer's wait runs inside this window; it must end first.
        UiPrompts().beep();
        event->ignore();
        return;
    }
    if (UiPrompts().question(this, AppTitle, Say("@exitQuestion") + ChangedProgramsLine())) {
        history_->ForgetKept();
        event->accept();
    } else {
        event->ignore();
    }
}

void ShowProgramEditor(QWidget* owner, DriveLine& line) {
    const bool opening = !g_editor;
    if (opening) {
        // Not a child of the owner: the editor lives on until the operator closes it.
        g_editor = new Form_PrgEeprom(line, nullptr);
        g_editor->setAttribute(Qt::WA_DeleteOnClose);
        if (owner) g_editor->move(owner->frameGeometry().topLeft() + QPoint(40, 40));
    }
    g_editor->show();
    if (opening) g_editor->OfferKeptStore();
    g_editor->raise();
    g_editor->activateWindow();
}

Form_PrgEeprom* ProgramEditorWindow() {
    return g_editor;
}
