// Undo and redo in the editor, the changed-programs mark, and the programs kept across a crash,
// driven through the window's buttons, keys and scripted prompts.
#include "editor_fixture.h"
#include "model/prgfile.h"
#include "ui/editor/prghistory.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <random>

namespace {

// The window active and its grid focused, so that keys reach it as they do the operator's.
class EditorHistory : public EditorWindow {
  protected:
    void SetUp() override {
        EditorWindow::SetUp();
        Module1::Lingua = 2;
        QFile::remove(Kept() + ".damaged");
    }
    void TearDown() override {
        form.reset();
        delete ProgramEditorWindow();
        EditorWindow::TearDown();
    }
    static QString Kept() { return QString::fromStdString(KeptStorePath()); }
    void Open() {
        EditorWindow::Open();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        Find<QTableView>("DBGrid1")->setFocus();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods) {
        QTest::keyClick(Find<QTableView>("DBGrid1"), key, mods);
    }
    void Copy(int from, int to) {
        prompts->inputs = {QString::number(from), QString::number(to)};
        prompts->answers = {true};
        Click("Command_CopyPrg");
    }
    const PrgStore& Store() { return form->Grid().PrgLines; }
    int Active() { return EditorWindow::Active().toInt(); }
    bool CanUndo() { return Find<QPushButton>("Command_Undo")->isEnabled(); }
    bool CanRedo() { return Find<QPushButton>("Command_Redo")->isEnabled(); }
};

// Random inserts, deletes, copies and program changes over programs 0..3; every step back gives
// the very store of before, and shows the program it changed.
TEST_F(EditorHistory, TwoHundredRandomEditsUndoneAndRedoneStepByStep) {
    Open();
    EXPECT_FALSE(CanUndo());
    EXPECT_FALSE(CanRedo());
    std::mt19937 random(25);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<PrgStore> states{Store()};
    std::vector<int> shown; // the program each step changed
    int edits = 0;
    while (edits < 200) {
        const int kind = pick(10);
        if (kind < 2) { // selecting a program is no change
            Click(Active() < 3 && (Active() == 0 || pick(2)) ? "Command_PrgUp" : "Command_PrgDown");
            EXPECT_EQ(Store(), states.back());
            continue;
        }
        form->SetCursorRow(pick(form->Grid().GridRowCount));
        int target = Active();
        if (kind < 5)
            Insert(SlotStop);
        else if (kind < 7)
            Insert(SlotRamp, {QString::number(pick(256))});
        else if (kind < 9)
            Click("Command_DelLine");
        else {
            target = pick(4);
            Copy(pick(4), target);
        }
        ++edits;
        if (Store() == states.back()) continue; // nothing to undo: no step
        const std::vector<int> changed = ChangedPrograms(Store(), states.back());
        ASSERT_EQ(changed, std::vector<int>{target});
        states.push_back(Store());
        shown.push_back(target);
    }
    ASSERT_GT(states.size(), 150u);

    const size_t steps = states.size() - 1;
    for (size_t i = steps; i > 0; --i) {
        ASSERT_TRUE(CanUndo());
        if (i % 3 == 0)
            Click("Command_Undo");
        else
            Key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(Store(), states[i - 1]) << "undo to step " << i - 1;
        ASSERT_EQ(Active(), shown[i - 1]) << "undo of step " << i << " of " << steps;
    }
    EXPECT_FALSE(CanUndo());
    Key(Qt::Key_Z, Qt::ControlModifier); // nothing left: nothing happens
    EXPECT_EQ(Store(), states[0]);
    for (size_t i = 1; i <= steps; ++i) {
        ASSERT_TRUE(CanRedo());
        if (i % 3 == 0)
            Click("Command_Redo");
        else if (i % 3 == 1)
            Key(Qt::Key_Y, Qt::ControlModifier);
        else
            Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(Store(), states[i]) << "redo to step " << i;
        ASSERT_EQ(Active(), shown[i - 1]);
    }
    EXPECT_FALSE(CanRedo());
    // A new edit after some undos drops the steps that were undone.
    Click("Command_Undo");
    Insert(SlotStop);
    EXPECT_FALSE(CanRedo());
}

// Load and read from the drive are one step each; the title's mark and the exit question follow
// the last file or drive state, in each language.
TEST_F(EditorHistory, LoadReadAndTheChangedMark) {
    struct Lang {
        int lingua;
        const char *caption, *undo, *redo, *changed;
    };
    for (const Lang& l :
         {Lang{1, "PROGRAMMAZIONE EEPROM", "Annulla", "Ripeti", "Programmi modificati: 0, 2"},
          Lang{2, "EEPROM PROGRAM", "Undo", "Redo", "Changed programs: 0, 2"},
          Lang{3, "EEPROM PROGRAM", "Rückgängig", "Wiederholen", "Geänderte Programme: 0, 2"}}) {
        Module1::Lingua = static_cast<int16_t>(l.lingua);
        Open();
        EXPECT_EQ(Find<QPushButton>("Command_Undo")->text(), QString::fromUtf8(l.undo));
        EXPECT_EQ(Find<QPushButton>("Command_Redo")->text(), l.redo);
        Insert(SlotStop);
        Copy(0, 2);
        EXPECT_EQ(form->windowTitle(), QString(l.caption) + " *");
        prompts->questions.clear();
        form->close(); // answered No
        ASSERT_EQ(prompts->questions.size(), 1u);
        EXPECT_TRUE(prompts->questions[0].text.endsWith("?\n" + QString::fromUtf8(l.changed)))
            << prompts->questions[0].text.toStdString();
    }
    Module1::Lingua = 2;

    const QString file = dir.filePath("p.txt");
    prompts->fileNames = {file};
    Click("Command_SavePrg");
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM");
    Click("Command_Undo"); // the copy undone: program 2 differs from the file
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM *");
    Click("Command_Redo"); // back to what the file holds
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM");

    const PrgStore saved = Store();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("KMD EEPROM FILE V1.0\r\n--PRG5--\r\n26 02\r\n--ENDPRG--\r\n");
    f.close();
    prompts->fileNames = {file};
    Click("Command_LoadPrg");
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM");
    EXPECT_EQ(Store()[5][0], "26 02");
    Key(Qt::Key_Z, Qt::ControlModifier); // the whole load is one step
    EXPECT_EQ(Store(), saved);
    EXPECT_EQ(Active(), 0);
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM *");

    // A read replaces programs 0, 1 and 2 in one step and leaves the store as the drive holds it.
    bus->setProgram(1, 1, {Bytes("A8 0F A0")});
    prompts->answers = {true};
    Click("Command_ReadAllPrg");
    EXPECT_EQ(Store()[1][0], "A8 0F A0 ");
    EXPECT_EQ(Store()[0][0], "");
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM");
    Click("Command_Undo");
    EXPECT_EQ(Store(), saved);
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM *");

    // Sending program 0 makes it match the drive; program 2 still differs.
    prompts->answers = {true};
    Click("Command_SendCurrentPrg");
    prompts->questions.clear();
    form->close();
    EXPECT_TRUE(prompts->questions.at(0).text.endsWith("\nChanged programs: 1, 2"))
        << prompts->questions[0].text.toStdString();

    // While a transfer runs, undo and redo are refused with a beep and change nothing.
    const PrgStore before = Store();
    const int beeps = prompts->beeps;
    QTimer::singleShot(0, form.get(), [&] {
        Key(Qt::Key_Z, Qt::ControlModifier);
        Find<QPushButton>("Command_Undo")->click();
        Key(Qt::Key_Y, Qt::ControlModifier);
    });
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_EQ(prompts->beeps, beeps + 3);
    EXPECT_EQ(Store(), before);
    EXPECT_EQ(form->windowTitle(), "EEPROM PROGRAM"); // all sent
}

// The window is destroyed without Exit, as in a crash: the next opening offers the programs.
TEST_F(EditorHistory, ProgramsKeptAcrossACrashAreOffered) {
    Open();
    Insert(SlotStop);
    Copy(0, 3);
    const PrgStore edited = Store();
    form.reset();
    ASSERT_TRUE(QFile::exists(Kept()));
    prompts->questions.clear();

    // Declined: the editor starts empty and the kept programs stay for the next time.
    ShowProgramEditor(nullptr, *line);
    QPointer<Form_PrgEeprom> editor = ProgramEditorWindow();
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].text, "Unsaved programs of an earlier session were kept (programs 0, 3). "
                                          "Restore them?");
    EXPECT_EQ(editor->Grid().PrgLines, PrgStore{});
    prompts->answers = {true};
    editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(QFile::exists(Kept()));

    prompts->answers = {true};
    ShowProgramEditor(nullptr, *line);
    editor = ProgramEditorWindow();
    EXPECT_EQ(editor->Grid().PrgLines, edited);
    EXPECT_EQ(editor->findChild<QLineEdit*>("Text_PrgActive")->text(), "0");
    EXPECT_EQ(editor->windowTitle(), "EEPROM PROGRAM *");
    editor->Undo(); // the restore itself is a step
    EXPECT_EQ(editor->Grid().PrgLines, PrgStore{});
    editor->Redo();

    // Saved, then left by Exit: nothing is lost, so nothing is kept or offered.
    prompts->fileNames = {dir.filePath("p.txt")};
    editor->SavePrg();
    prompts->answers = {true};
    editor->Exit();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor, nullptr);
    EXPECT_FALSE(QFile::exists(Kept()));
}

// A kept store that is not exactly as written is set aside with a message and never used.
TEST_F(EditorHistory, DamagedKeptStoreIsSetAside) {
    PrgStore store;
    store[0] = {"11", "22 05"};
    const std::string whole = FormatPrgFile(store);
    const std::string cases[] = {
        whole.substr(0, whole.size() / 2),                                       // cut short
        "kmd eeprom file v1.0\r\n" + whole.substr(22),                           // wrong header
        whole + "--PRG17--\r\n11\r\n--ENDPRG--\r\n",                             // outside the store
        std::string("KMD EEPROM FILE V1.0\r\n--PRG0--\r\n11\r\n--ENDPRG--\r\n"), // programs missing
    };
    for (const std::string& text : cases) {
        ASSERT_FALSE(WriteKeptStore(KeptStorePath(), store));
        QFile f(Kept());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.data(), static_cast<qint64>(text.size()));
        f.close();
        prompts->messages.clear();
        prompts->questions.clear();
        ShowProgramEditor(nullptr, *line);
        Form_PrgEeprom* editor = ProgramEditorWindow();
        EXPECT_TRUE(prompts->questions.empty());
        ASSERT_EQ(prompts->messages.size(), 1u);
        EXPECT_EQ(prompts->messages[0].title, "VarDelo - ERROR");
        EXPECT_TRUE(prompts->messages[0].text.startsWith(
            "The kept programs cannot be read and were set aside: " + Kept() + ".damaged\n"))
            << prompts->messages[0].text.toStdString();
        EXPECT_EQ(editor->Grid().PrgLines, PrgStore{});
        EXPECT_FALSE(QFile::exists(Kept()));
        QFile aside(Kept() + ".damaged");
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll().toStdString(), text); // kept as it was, for whoever wants it
        delete editor;
    }
}

} // namespace
