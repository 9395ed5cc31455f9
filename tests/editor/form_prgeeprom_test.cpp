// The editor window driven as an operator would: buttons, scripted prompts, files, printing, and
// its drive buttons against the simulated drive.
#include "editor_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTimer>

namespace {

// pdftotext's output for a PDF ("" when the tool is missing).
QString PdfText(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {"-layout", pdf, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST_F(EditorWindow, OpensEmptyWithTheTextsOfItsLanguage) {
    struct Expect {
        int lingua;
        const char *caption, *del, *verify, *combo;
    };
    for (const Expect& e :
         {Expect{1, "PROGRAMMAZIONE EEPROM", "Cancella linea", "Verifica", "Selezionare il comando"},
          Expect{2, "EEPROM PROGRAM", "Delete line", "Verify", "Select command"},
          Expect{3, "EEPROM PROGRAM", "Zeile loeschen", "Prüfen", "Befehl wahlen"}}) {
        Module1::Lingua = static_cast<int16_t>(e.lingua);
        Open();
        EXPECT_EQ(form->windowTitle(), e.caption);
        EXPECT_EQ(Find<QPushButton>("Command_DelLine")->text(), e.del);
        EXPECT_EQ(Find<QPushButton>("Command_VerifyPrg")->text(), QString::fromUtf8(e.verify));
        // The list shows its prompt, with no command picked.
        EXPECT_EQ(Find<QComboBox>("Combo_Command")->currentText(), e.combo);
        EXPECT_EQ(Find<QComboBox>("Combo_Command")->currentIndex(), -1);
    }
    Module1::Lingua = 1; // the open window keeps its language
    EXPECT_EQ(Find<QPushButton>("Command_DelLine")->text(), "Zeile loeschen");
    EXPECT_EQ(Cell(0, 0), " ");
}

TEST_F(EditorWindow, InsertDeleteAndProgramSelection) {
    Open();
    Insert(SlotCurrent, {"3000"});
    EXPECT_EQ(prompts->inputsAsked.at(0).title, "Current");
    EXPECT_EQ(prompts->inputsAsked[0].text, "Ammitted values: from  0 to  12000\r\n\r\n[mA]");

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
    // With the cursor on the first line, the next command goes before it.
    form->SetCursorRow(0);
    Insert(SlotStop);
    EXPECT_EQ(Prg(0), (Program{"11", "A8 0B B8", "22 00", "11", "11"}));
    EXPECT_EQ(form->CursorRow(), 1);

    Click("Command_DelLine");
    EXPECT_EQ(Prg(0), (Program{"11", "22 00", "11", "11"}));
    Click("Command_PrgUp");
    EXPECT_EQ(Active(), "1");
    Click("Command_PrgDown");
    EXPECT_EQ(Active(), "0");
    EXPECT_EQ(Cell(1, 1), "Ramp 0");

    form.reset();
    Module1::Lingua = 1;
    Open();
    Insert(SlotRamp);
    EXPECT_TRUE(prompts->inputsAsked.back().text.startsWith("Valori ammessi: da  0 a  255\r\n\r\n"));

    // A 52nd line is refused with a beep, asking nothing.
    Prg(0).fill("22 01");
    form->ShowPrg(0);
    form->SetCursorRow(10);
    Insert(SlotRamp);
    EXPECT_EQ(prompts->beeps, 2);
    EXPECT_EQ(prompts->inputsAsked.size(), 5u);
    EXPECT_EQ(Status(), "Program 0 holds 51 lines: no room for another command\n");
    EXPECT_EQ(Prg(0)[50], "22 01");
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

TEST_F(EditorWindow, SaveLoadAndFileProblems) {
    Open();
    Prg(0)[0] = "A8 0F A0 "; // as read from a drive, with its trailing blank
    Prg(9)[0] = "11";
    const QString path = dir.filePath("p.txt");
    prompts->fileNames = {path};
    Click("Command_SavePrg");
    EXPECT_EQ(prompts->filters, QStringList{"Text Format files (*.txt)"});
    const PrgStore saved = form->Grid().PrgLines;
    form->Grid().Clear();
    Click("Command_PrgUp");
    prompts->fileNames = {path};
    Click("Command_LoadPrg");
    EXPECT_EQ(form->Grid().PrgLines, saved);
    EXPECT_EQ(Cell(0, 1), "Current 4000"); // program 0 on show
    Click("Command_LoadPrg");              // cancelled: nothing changes
    EXPECT_EQ(form->Grid().PrgLines, saved);

    prompts->fileNames = {dir.filePath("missing.txt")};
    Click("Command_LoadPrg");
    EXPECT_EQ(prompts->messages.at(0).title, "VarDelo - ERROR");
    EXPECT_TRUE(prompts->messages[0].text.contains("missing.txt"));
    EXPECT_EQ(Prg(9)[0], "11"); // untouched

    // A wrong header clears the programs with a beep.
    prompts->fileNames = {Write("lower.txt", "kmd eeprom file v1.0\r\n--PRG0--\r\n11\r\n")};
    Click("Command_LoadPrg");
    EXPECT_EQ(prompts->beeps, 1);
    EXPECT_EQ(Prg(9)[0], "");

    // Programs past 16 wrap onto none, lines past 51 onto no other program; both are told.
    std::string big =
        "KMD EEPROM FILE V1.0\r\n--PRG17--\r\n11\r\n--PRG99999999999999999999--\r\n11\r\n--PRG16--\r\n";
    for (int i = 0; i < 53; ++i)
        big += "22 " + std::to_string(i) + "\r\n";
    prompts->fileNames = {Write("big.txt", big)};
    Click("Command_LoadPrg");
    EXPECT_EQ(Prg(16)[50], "22 50");
    EXPECT_EQ(Prg(1)[0], "");
    EXPECT_EQ(Prg(7)[0], "");
    EXPECT_EQ(Status(),
              "2 line(s) of programs above 16 skipped\n2 line(s) past line 51 of a program skipped\n");

    prompts->fileNames = {dir.filePath("nofolder/p.txt")};
    Click("Command_SavePrg");
    EXPECT_TRUE(
        prompts->messages.at(1).text.startsWith("Cannot save the file " + dir.filePath("nofolder/p.txt")));
}

TEST_F(EditorWindow, PrintPreviewAndPdf) {
    Open();
    Prg(0)[0] = "A8 0F A0";
    Prg(12) = {"E1", "A0 25 00 00 03 E8"}; // a description longer than the page is wide
    for (int p = 13; p <= 16; ++p)
        std::fill_n(Prg(p).begin(), 20, "31 FF FF FC 18"); // enough lines for a second page
    pdf().pdfPath = dir.filePath("list.pdf");
    prompts->printAnswers = {true};
    Click("Command_PrintPrg");
    EXPECT_EQ(Status(), "Print programs");

    prompts->previewFile = dir.filePath("preview.pdf");
    Click("Command_PreviewPrg");
    prompts->fileNames = {dir.filePath("export"), dir.filePath("no/folder/x.pdf")}; // ".pdf" is added
    Click("Command_PdfPrg");
    EXPECT_TRUE(prompts->messages.empty());
    Click("Command_PdfPrg");
    EXPECT_TRUE(prompts->messages.at(0).text.startsWith("Cannot write the PDF "));
    pdf().pdfPath = dir.filePath("nofolder/list.pdf");
    prompts->printAnswers = {true};
    Click("Command_PrintPrg");
    EXPECT_TRUE(Status().startsWith("Print programs\nERROR")) << Status().toStdString();

    ASSERT_TRUE(QFile::exists(dir.filePath("list.pdf")));
    const QString text = PdfText(dir.filePath("list.pdf"));
    if (text.isEmpty()) GTEST_SKIP() << "pdftotext not installed";
    for (const char* line : {"PROGRAM'S LIST:", "---- PRG. N. 0 ----", "---- PRG. N. 16 ----"})
        EXPECT_TRUE(text.contains(line)) << line;
    EXPECT_EQ(PdfText(prompts->previewFile), text);
    EXPECT_EQ(PdfText(dir.filePath("export.pdf")), text);

    // Two pages; the long description wraps inside the paper, its end printed on a line of its own.
    EXPECT_GE(text.count('\f'), 2);
    const QStringList end = text.split('\n').filter("Quote = 1000");
    ASSERT_EQ(end.size(), 1);
    EXPECT_FALSE(end[0].contains("ZERO AT FLIGHT")) << end[0].toStdString();
}

TEST_F(EditorWindow, OneInstanceAndCloseAsksFirst) {
    ShowProgramEditor(nullptr, *line);
    QPointer<Form_PrgEeprom> editor = ProgramEditorWindow();
    ASSERT_NE(editor, nullptr);
    ShowProgramEditor(nullptr, *line);
    EXPECT_EQ(ProgramEditorWindow(), editor.data());
    editor->close(); // the close box, answered No
    EXPECT_EQ(prompts->questions.at(0).text, "Exit from EEPROM program interface ?");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(editor, nullptr);

    prompts->answers = {true};
    editor->findChild<QPushButton*>("Command_exit")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor, nullptr);
}

TEST_F(EditorWindow, SendCurrentReadAllAndCopy) {
    Open();
    Prg(2) = {"A8 0F A0", "26 02"};
    Click("Command_PrgUp");
    Click("Command_PrgUp");
    prompts->answers = {true};
    Click("Command_SendCurrentPrg");
    EXPECT_EQ(prompts->questions.at(0).text, "Send current program to drive ?");
    EXPECT_EQ(framesHex(),
              (std::vector<std::string>{" FC 41 F3 02 CD", " FC 41 F0 02 D0", " FC 61 A8 0F A0 4B",
                                        " FC 41 26 02 9A", " FC 21 F1 F1"}));
    EXPECT_EQ(Status(), "Erasing program 2...OK\nSend programs to drive...\nPRG. N.2.....OK\n");

    bus->setProgram(1, 0, {Bytes("A8 0F A0"), Bytes("11")});
    Click("Command_PrgDown");
    Click("Command_PrgDown");
    prompts->answers = {true};
    Click("Command_ReadAllPrg");
    EXPECT_TRUE(Status().startsWith("Reading programs from drive...\nPRG 00 - READY"))
        << Status().toStdString();
    EXPECT_EQ(Cell(1, 0), "11 ");

    prompts->inputs = {"0", "5"};
    prompts->answers = {true};
    Click("Command_CopyPrg");
    EXPECT_EQ(Prg(5), Prg(0));
}

// While a transfer waits for the drive, the window stays open and its store unchanged.
TEST_F(EditorWindow, SendAllWithCloseAndEditsRefusedMeanwhile) {
    Open();
    Prg(0) = {"11", "26 02 "}; // the second as read back from a drive
    form->ShowPrg(0);
    form->SetCursorRow(0);
    bool tried = false;
    QTimer::singleShot(0, form.get(), [&] {
        ASSERT_TRUE(form->TransferRunning());
        tried = true;
        prompts->answers.push_front(true); // even a Yes to the exit question would not close it
        form->close();
        Click("Command_DelLine");
        Click("Command_LoadPrg");
    });
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_TRUE(tried);
    EXPECT_EQ(prompts->beeps, 3);
    EXPECT_EQ(prompts->questions.size(), 1u); // only the send question; the close asked nothing
    EXPECT_TRUE(prompts->filters.isEmpty());
    EXPECT_EQ(Prg(0), (Program{"11", "26 02 "}));
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 21 F9 E9", " FC 41 F0 00 D2", " FC 21 11 D1",
                                                     " FC 41 26 02 9A", " FC 21 F1 F1"}));
    EXPECT_EQ(Status(), "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0.....OK\n");
    prompts->answers = {true};
    EXPECT_TRUE(form->close()); // afterwards it closes as usual
}

// Fast, verified sending: the options are remembered outside vdcfg.cfg, the progress bar counts,
// Cancel works only while a transfer runs and closes the open program.
TEST_F(EditorWindow, FastVerifiedSendProgressAndCancel) {
    auto config = [] {
        QFile f("vdcfg.cfg");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("none");
    };
    const QByteArray configBefore = config();
    Open();
    EXPECT_FALSE(Find<QCheckBox>("Check_VerifyAfterSend")->isChecked());
    Find<QCheckBox>("Check_FastTransfer")->click(); // verifying comes with it
    EXPECT_TRUE(Find<QCheckBox>("Check_VerifyAfterSend")->isChecked());
    Open();
    EXPECT_TRUE(Find<QCheckBox>("Check_FastTransfer")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>("Check_VerifyAfterSend")->isChecked());
    EXPECT_EQ(config(), configBefore);
    auto* bar = Find<QProgressBar>("Progress_Transfer");
    auto* cancel = Find<QPushButton>("Command_CancelTransfer");
    EXPECT_FALSE(cancel->isEnabled());

    Prg(0) = {"11", "F4 0A", "20 00 64", "F5"};
    Prg(1) = {"26 02"};
    bus->setFault(DriveBus::Fault::Altered); // acknowledges all, stores line 2 as 20 00 65
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_EQ(Status(), "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0.......ERROR\n"
                        "PRG. N.0 MISMATCH line 2\n  sent: 20 00 64\n  read: 20 00 65\n"
                        "PRG. N.1....OK\nPRG. N.1 VERIFIED\n");
    EXPECT_EQ(bar->text(), "12 / 12"); // F9; F0, 4 lines, F1, F2; F0, 1 line, F1, F2

    // Cancel clicked once three commands are done (F9, F0, the first line): F1 closes program 0,
    // F3 erases its first half.
    bus->setFault(DriveBus::Fault::None);
    bus->clearFrames();
    bool enabledDuring = false;
    QObject::connect(bar, &QProgressBar::valueChanged, form.get(), [&](int value) {
        enabledDuring = enabledDuring || cancel->isEnabled();
        if (value == 3) cancel->click();
    });
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_TRUE(enabledDuring);
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_EQ(Status(), "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0....\n"
                        "PRG. N.0 CANCELLED - erased\nTransfer cancelled\n");
    EXPECT_EQ(framesHex(), (std::vector<std::string>{" FC 21 F9 E9", " FC 41 F0 00 D2", " FC 21 11 D1",
                                                     " FC 21 F1 F1", " FC 41 F3 00 CF"}));

    // Verify compares the editor with the drive without touching the editor.
    Click("Command_VerifyPrg");
    EXPECT_TRUE(Status().startsWith("Verifying programs on drive...\nPRG. N.0 MISMATCH line 0\n"))
        << Status().toStdString();
    EXPECT_EQ(Prg(1)[0], "26 02");
    for (const char* box : {"Check_FastTransfer", "Check_VerifyAfterSend"}) // later tests send plainly
        if (Find<QCheckBox>(box)->isChecked()) Find<QCheckBox>(box)->click();
}
