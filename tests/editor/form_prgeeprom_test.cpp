// The editor window driven as an operator would: buttons, scripted prompts, files, printing.
#include "ui/editor/form_prgeeprom.h"

#include "app/module1.h"
#include "catalog/catalog.h"
#include "scripted_prompts.h"
#include "ui/common/texts.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Prints to a PDF file when the operator "confirms" the print dialog.
class PdfPrompts : public ScriptedPrompts {
  public:
    QString pdfPath;
    bool printDialog(QWidget* parent, QPrinter& printer) override {
        if (!ScriptedPrompts::printDialog(parent, printer)) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
};

// pdftotext's output for a PDF ("" when the tool is missing).
QString PdfText(const QString& pdf, const char* mode = "-layout") {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {mode, pdf, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class EditorWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        Module1::ResetGlobals();
        Module1::InitComandi();
        prompts = std::make_unique<PdfPrompts>();
    }
    void Open() {
        form = std::make_unique<Form_PrgEeprom>();
        form->resize(1000, 600);
        form->show();
    }
    void TearDown() override {
        form.reset();
        prompts.reset();
    }
    template <typename T> T* Find(const char* name) {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    // Selects a slot of the command list and clicks Insert, typing `typed` when asked.
    void Insert(int slot, std::deque<QString> typed = {}) {
        Find<QComboBox>("Combo_Command")->setCurrentIndex(slot);
        prompts->inputs = std::move(typed);
        Click("Command_NewCmd");
    }
    QString Status() { return Find<QPlainTextEdit>("Text1")->toPlainText(); }
    QString Active() { return Find<QLineEdit>("Text_PrgActive")->text(); }
    QAbstractItemModel* Model() { return Find<QTableView>("DBGrid1")->model(); }
    QString Cell(int row, int column) { return Model()->index(row, column).data().toString(); }
    const Program& Prg(int p) { return form->Grid().PrgLines[p]; }
    QString Write(const char* name, const std::string& text) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text.data(), static_cast<qint64>(text.size()));
        return dir.filePath(name);
    }

    std::unique_ptr<PdfPrompts> prompts;
    std::unique_ptr<Form_PrgEeprom> form;
    QTemporaryDir dir;
};

constexpr int SlotCurrent = 2; // code A8, two data bytes, 0..12000, "[mA]"
constexpr int SlotRamp = 7;    // code 22, one data byte, 0..255
constexpr int SlotStop = 19;   // code 11, no data
constexpr int SlotHeader = 52; // a header row of the list

} // namespace

TEST_F(EditorWindow, OpensEmptyWithTheTextsOfItsLanguage) {
    struct Expect {
        int lingua;
        const char *caption, *exit, *hex, *description, *frame, *verify, *cancel, *fast, *combo;
    };
    for (const Expect& e :
         {Expect{1, "PROGRAMMAZIONE EEPROM", "Uscita", "HEX", "COMANDO", "SELEZIONE PROGRAMMA", "Verifica",
                 "Annulla", "Trasferimento veloce", "Selezionare il comando"},
          Expect{2, "EEPROM PROGRAM", "Exit", "HEX", "COMMAND", "PROGRAM SELECTION", "Verify", "Cancel",
                 "Fast transfer", "Select command"},
          Expect{3, "EEPROM PROGRAM", "Zurueck", "Hex", "Kommando", "Programm Auswahl",
                 "Pr\xc3\xbc"
                 "fen",
                 "Abbrechen",
                 "Schnelle \xc3\x9c"
                 "bertragung",
                 "Befehl wahlen"}}) {
        Module1::Lingua = static_cast<int16_t>(e.lingua);
        Open();
        EXPECT_EQ(form->windowTitle(), e.caption);
        EXPECT_EQ(Find<QPushButton>("Command_exit")->text(), e.exit);
        EXPECT_EQ(Find<QGroupBox>("Frame_PrgSel")->title(), e.frame);
        EXPECT_EQ(Find<QPushButton>("Command_VerifyPrg")->text(), QString::fromUtf8(e.verify));
        EXPECT_EQ(Find<QPushButton>("Command_CancelTransfer")->text(), e.cancel);
        EXPECT_EQ(Find<QAbstractButton>("Check_FastTransfer")->text(), QString::fromUtf8(e.fast));
        EXPECT_EQ(Model()->headerData(0, Qt::Horizontal).toString(), e.hex);
        EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), e.description);
        EXPECT_EQ(Find<QComboBox>("Combo_Command")->count(),
                  static_cast<int>(CommandListLines(e.lingua).size()));
        EXPECT_EQ(Find<QComboBox>("Combo_Command")->currentText(), e.combo);
    }
    EXPECT_EQ(Find<QPushButton>("Command_CopyPrg")->text(), "Copy program");
    Module1::Lingua = 1; // the open window keeps its language
    EXPECT_EQ(Find<QPushButton>("Command_exit")->text(), "Zurueck");

    EXPECT_EQ(Active(), "0");
    EXPECT_TRUE(Find<QLineEdit>("Text_PrgActive")->isReadOnly());
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(Cell(0, 0), " ");
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(Find<QComboBox>("Combo_Command")->currentIndex(), -1);
    for (const char* name :
         {"Frame_Editor", "Frame_DiskOp", "Frame_DriveOp", "Frame_SelectCommand", "Frame_Status"})
        Find<QGroupBox>(name);
}

TEST_F(EditorWindow, InsertAsksForValuesAndBuildsTheProgram) {
    Open();
    Insert(SlotCurrent, {"3000"});
    ASSERT_EQ(prompts->inputsAsked.size(), 1u);
    EXPECT_EQ(prompts->inputsAsked[0].title, "Current");
    EXPECT_EQ(prompts->inputsAsked[0].text, "Ammitted values: from  0 to  12000\r\n\r\n[mA]");
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "A8 0B B8");
    EXPECT_EQ(Cell(0, 1), "Current 3000");
    EXPECT_EQ(form->CursorRow(), 1);

    Insert(SlotRamp);                 // Cancel: nothing inserted
    Insert(SlotRamp, {"300", "abc"}); // out of range asks again; letters read as 0
    EXPECT_EQ(prompts->beeps, 1);
    Insert(SlotStop);   // no data: no prompt
    Insert(SlotHeader); // a header row does nothing
    // Text typed over a picked command inserts the command it names, or nothing.
    Find<QComboBox>("Combo_Command")->setCurrentIndex(SlotRamp);
    Find<QComboBox>("Combo_Command")->setEditText("Sto");
    Click("Command_NewCmd");
    Find<QComboBox>("Combo_Command")->setEditText("Stop rotation");
    Click("Command_NewCmd");
    EXPECT_EQ(prompts->inputsAsked.size(), 4u);
    EXPECT_EQ(Model()->rowCount(), 5);
    EXPECT_EQ(form->CursorRow(), 4);
    // With the cursor on the first line, the next command goes before it.
    form->SetCursorRow(0);
    Insert(SlotStop);
    EXPECT_EQ(Prg(0), (Program{"11", "A8 0B B8", "22 00", "11", "11"}));
    EXPECT_EQ(form->CursorRow(), 1);

    form.reset();
    Module1::Lingua = 1;
    Open();
    Insert(SlotRamp);
    ASSERT_EQ(prompts->inputsAsked.size(), 5u);
    EXPECT_TRUE(prompts->inputsAsked[4].text.startsWith("Valori ammessi: da  0 a  255\r\n\r\n"));
}

TEST_F(EditorWindow, QuotaPastFourBytesIsRefusedAsTheMainWindowRefusesIt) {
    Module1::Lingua = 1;
    Open();
    for (const char* quota : {"3000000000", "-2147483648"}) {
        prompts->dialogActions.push_back([quota](QDialog& d) {
            d.findChild<QComboBox*>("Combo_QuotaZFly")->setEditText(quota);
            d.findChild<QPushButton*>("Command_Ok")->click();
        });
        Insert(Module1::TrovaComando(160));
    }
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERRORE");
    EXPECT_EQ(prompts->messages[0].text,
              "Valore non ammesso: 3000000000 does not fit four bytes (-2147483648..2147483647)");
    EXPECT_TRUE(prompts->messages[0].error);
    EXPECT_EQ(Prg(0), (Program{"A0 00 80 00 00 00"})); // only the quota that fits
}

TEST_F(EditorWindow, FiftySecondLineIsRefused) {
    Open();
    for (std::string& l : form->Grid().PrgLines[0])
        l = "22 01";
    form->ShowPrg(0);
    const Program before = Prg(0);
    form->SetCursorRow(10);
    Insert(SlotRamp);
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_TRUE(prompts->inputsAsked.empty());
    EXPECT_TRUE(Status().contains("51 lines")) << Status().toStdString();
    EXPECT_EQ(Prg(0), before);
}

TEST_F(EditorWindow, DeleteAndProgramSelection) {
    Open();
    Insert(SlotStop);
    form->SetCursorRow(0);
    Click("Command_DelLine");
    EXPECT_EQ(Prg(0)[0], "");
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "");

    Click("Command_NewCmd");
    Click("Command_PrgUp");
    EXPECT_EQ(Active(), "1");
    EXPECT_EQ(Cell(0, 0), " ");
    Click("Command_PrgDown");
    EXPECT_EQ(Active(), "0");
    EXPECT_EQ(Cell(0, 0), "11");
}

TEST_F(EditorWindow, SaveAndLoadBackIdentical) {
    Open();
    form->Grid().PrgLines[0][0] = "A8 0F A0 ";
    form->Grid().PrgLines[9][0] = "11";
    const QString path = dir.filePath("p.txt");
    prompts->fileNames = {path};
    Click("Command_SavePrg");
    EXPECT_EQ(prompts->filters, QStringList{"Text Format files (*.txt)"});
    EXPECT_TRUE(prompts->messages.empty());
    const PrgStore saved = form->Grid().PrgLines;

    form->Grid().Clear();
    Click("Command_PrgUp");
    prompts->fileNames = {path};
    Click("Command_LoadPrg");
    EXPECT_EQ(form->Grid().PrgLines, saved);
    EXPECT_EQ(Active(), "0");
    EXPECT_EQ(Cell(0, 0), "A8 0F A0 ");
    EXPECT_EQ(Cell(0, 1), "Current 4000");

    Click("Command_LoadPrg"); // cancelled: nothing changes
    Click("Command_SavePrg");
    EXPECT_EQ(form->Grid().PrgLines, saved);
}

TEST_F(EditorWindow, FileProblemsAreReported) {
    Open();
    form->Grid().PrgLines[0][0] = "11";
    prompts->fileNames = {dir.filePath("missing.txt")};
    Click("Command_LoadPrg");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].error);
    EXPECT_EQ(prompts->messages[0].title, ErrorTitle());
    EXPECT_TRUE(prompts->messages[0].text.contains("missing.txt"));
    EXPECT_EQ(Prg(0)[0], "11"); // untouched

    // A wrong header clears the programs with a beep; an empty file is no program file either.
    prompts->fileNames = {Write("lower.txt", "kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n"),
                          Write("empty.txt", "")};
    Click("Command_LoadPrg");
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(Prg(0)[0], "");
    EXPECT_EQ(Cell(0, 0), " ");
    Click("Command_LoadPrg");
    EXPECT_EQ(prompts->beeps, 1);

    std::string big = "KMD EEPROM FILE V1.0\r\n--PRG20--\r\n11\r\n--PRG2--\r\n";
    for (int i = 0; i < 53; ++i)
        big += "22 01\r\n";
    prompts->fileNames = {Write("big.txt", big)};
    Click("Command_LoadPrg");
    EXPECT_EQ(Prg(2)[50], "22 01");
    EXPECT_EQ(Status(),
              "1 line(s) of programs above 16 skipped\n2 line(s) past line 51 of a program skipped\n");

    prompts->fileNames = {dir.filePath("nofolder/p.txt")};
    Click("Command_SavePrg");
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].title, ErrorTitle());
    EXPECT_TRUE(
        prompts->messages[1].text.startsWith("Cannot save the file " + dir.filePath("nofolder/p.txt")));
}

TEST_F(EditorWindow, PrintsListingToPdf) {
    Open();
    form->Grid().PrgLines[0][0] = "A8 0F A0";
    form->Grid().PrgLines[0][1] = "26 02";
    form->Grid().PrgLines[12][0] = "E1";
    form->Grid().PrgLines[12][1] = "A0 25 00 00 03 E8"; // a description longer than the page is wide
    for (int p = 13; p <= 16; ++p)
        for (int i = 0; i < 20; ++i) // enough lines for a second page
            form->Grid().PrgLines[p][i] = "31 FF FF FC 18";
    prompts->pdfPath = dir.filePath("list.pdf");

    Click("Command_PrintPrg"); // cancelled
    EXPECT_FALSE(QFile::exists(prompts->pdfPath));
    EXPECT_EQ(Status(), "");

    prompts->printAnswers = {true};
    Click("Command_PrintPrg");
    EXPECT_EQ(Status(), "Print programs");
    ASSERT_TRUE(QFile::exists(prompts->pdfPath));
    const QString text = PdfText(prompts->pdfPath);
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext not installed";
    for (const char* line : {"PROGRAM'S LIST:", "---- PRG. N. 0 ----", "---- PRG. N. 16 ----"})
        EXPECT_TRUE(text.contains(line)) << line;

    const QString boxes = PdfText(prompts->pdfPath, "-bbox");
    EXPECT_GE(boxes.count("<page "), 2);
    struct Word {
        double xMin, yMin, xMax;
    };
    QMap<QString, Word> first;
    double rightmost = 0;
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    for (auto it = re.globalMatch(boxes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const Word w{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble()};
        rightmost = std::max(rightmost, w.xMax);
        if (!first.contains(m.captured(4))) first.insert(m.captured(4), w);
    }
    // Nothing runs off the paper: the long line wraps inside the margins, and its end is printed.
    const QRegularExpressionMatch page = QRegularExpression(R"re(<page width="([\d.]+)")re").match(boxes);
    ASSERT_TRUE(page.hasMatch());
    EXPECT_LT(rightmost, page.captured(1).toDouble() - 28); // a 10 mm margin at least
    EXPECT_TRUE(first.contains("1000"));
    // Column 30: the description starts 29 character widths right of the line's hex text.
    for (auto [hex, description] : {std::pair{"A8", "Current"}, std::pair{"E1", "ERROR"}}) {
        ASSERT_TRUE(first.contains(hex) && first.contains(description)) << hex;
        const Word h = first[hex], d = first[description];
        EXPECT_NEAR(h.yMin, d.yMin, 0.01) << hex;
        EXPECT_NEAR((d.xMin - h.xMin) / ((h.xMax - h.xMin) / 2), 29.0, 0.05) << hex;
    }
}

TEST_F(EditorWindow, PreviewPdfExportAndTheirFailures) {
    Open();
    form->Grid().PrgLines[3][0] = "A8 0F A0";
    prompts->previewFile = dir.filePath("preview.pdf");
    Click("Command_PreviewPrg");
    EXPECT_EQ(prompts->previews, 1);
    ASSERT_TRUE(QFile::exists(prompts->previewFile));

    prompts->fileNames = {dir.filePath("export"), dir.filePath("no/folder/x.pdf")}; // ".pdf" is added
    Click("Command_PdfPrg");
    ASSERT_TRUE(QFile::exists(dir.filePath("export.pdf")));
    EXPECT_TRUE(prompts->messages.empty());
    Click("Command_PdfPrg");
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_TRUE(prompts->messages[0].text.startsWith("Cannot write the PDF "));

    prompts->pdfPath = dir.filePath("nofolder/list.pdf");
    prompts->printAnswers = {true};
    Click("Command_PrintPrg");
    EXPECT_TRUE(Status().startsWith("Print programs\nERROR")) << Status().toStdString();

    const QString exported = PdfText(dir.filePath("export.pdf"));
    if (exported.isEmpty()) GTEST_SKIP() << "pdftotext not installed";
    EXPECT_TRUE(exported.contains("---- PRG. N. 3 ----"));
    EXPECT_TRUE(exported.contains("A8 0F A0"));
    EXPECT_EQ(PdfText(prompts->previewFile), exported);
}

TEST_F(EditorWindow, OneInstanceAndCloseAsksFirst) {
    ShowProgramEditor(nullptr);
    QPointer<Form_PrgEeprom> editor = ProgramEditorWindow();
    ASSERT_NE(editor, nullptr);
    ShowProgramEditor(nullptr);
    EXPECT_EQ(ProgramEditorWindow(), editor.data());
    editor->Grid().PrgLines[4][0] = "11";

    editor->close(); // the close box, answered No
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].title, "VarDelo");
    EXPECT_EQ(prompts->questions[0].text, "Exit from EEPROM program interface ?");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->Grid().PrgLines[4][0], "11");

    prompts->answers = {true};
    editor->findChild<QPushButton*>("Command_exit")->click();
    EXPECT_EQ(prompts->questions.size(), 2u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor, nullptr);

    ShowProgramEditor(nullptr); // a fresh window, with fresh programs
    ASSERT_NE(ProgramEditorWindow(), nullptr);
    EXPECT_EQ(ProgramEditorWindow()->Grid().PrgLines[4][0], "");
    prompts->answers = {true};
    ProgramEditorWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
