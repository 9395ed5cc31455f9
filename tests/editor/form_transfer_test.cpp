// The editor's drive buttons against the simulated drive: programs on the wire, the status box,
// and a window that cannot be closed or edited under a running transfer.
#include "ui/editor/form_prgeeprom.h"

#include "app/module1.h"
#include "catalog/catalog.h"
#include "sim_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace {

class EditorTransfer : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        Module1::InitComandi();
        Module1::Indirizzo = 1;
        form = std::make_unique<Form_PrgEeprom>();
        form->show();
    }
    void TearDown() override {
        form.reset();
        SimFixture::TearDown();
    }
    void Click(const char* name) { form->findChild<QPushButton*>(name)->click(); }
    QString Status() { return form->findChild<QPlainTextEdit*>("Text1")->toPlainText(); }
    QString Cell(int row, int column) {
        return form->findChild<QTableView*>("DBGrid1")->model()->index(row, column).data().toString();
    }
    std::unique_ptr<Form_PrgEeprom> form;
};

} // namespace

TEST_F(EditorTransfer, SendCurrentReadAllAndCopyThroughTheWindow) {
    form->Grid().PrgLines[2][0] = "A8 0F A0";
    form->Grid().PrgLines[2][1] = "26 02";
    Click("Command_PrgUp");
    Click("Command_PrgUp");
    prompts->answers = {true};
    Click("Command_SendCurrentPrg");
    ASSERT_EQ(prompts->questions.size(), 1u);
    EXPECT_EQ(prompts->questions[0].title, "VarDelo");
    EXPECT_EQ(prompts->questions[0].text, "Send current program to drive ?");
    EXPECT_EQ(bus->program(1, 2), (std::vector<std::string>{Bytes("A8 0F A0"), Bytes("26 02")}));
    EXPECT_EQ(Status(), "Erasing program 2...OK\nSend programs to drive...\nPRG. N.2.....OK\n");
    EXPECT_FALSE(form->TransferRunning());

    bus->setProgram(1, 0, {Bytes("A8 0F A0"), Bytes("11")});
    Click("Command_PrgDown");
    Click("Command_PrgDown");
    prompts->answers = {true};
    Click("Command_ReadAllPrg");
    EXPECT_TRUE(Status().startsWith("Reading programs from drive...\nPRG 00 - READY"))
        << Status().toStdString();
    EXPECT_EQ(Cell(0, 0).trimmed(), "A8 0F A0");
    EXPECT_EQ(Cell(0, 1), "Current 4000");
    EXPECT_EQ(Cell(1, 0).trimmed(), "11");

    prompts->inputs = {"0", "5"};
    prompts->answers = {true};
    Click("Command_CopyPrg");
    EXPECT_EQ(form->Grid().PrgLines[5], form->Grid().PrgLines[0]);
    EXPECT_EQ(prompts->inputsAsked.size(), 2u);
}

// While a transfer waits for the drive, the window stays open and its store unchanged.
TEST_F(EditorTransfer, CloseAndEditsRefusedDuringTransfer) {
    form->Grid().PrgLines[0][0] = "11";
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
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(prompts->beeps, 3);
    EXPECT_EQ(prompts->questions.size(), 1u); // only the send question; the close asked nothing
    EXPECT_TRUE(prompts->filters.isEmpty());
    EXPECT_EQ(form->Grid().PrgLines[0][0], "11");
    EXPECT_EQ(bus->program(1, 0), std::vector<std::string>{Bytes("11")});

    prompts->answers = {true};
    EXPECT_TRUE(form->close()); // afterwards it closes as usual
}

// Fast, verified sending from the window: the options are remembered outside vdcfg.cfg, the
// progress bar counts, Cancel works only while a transfer runs and closes the open program.
TEST_F(EditorTransfer, FastVerifiedSendProgressAndCancel) {
    auto* fast = form->findChild<QCheckBox*>("Check_FastTransfer");
    auto* verify = form->findChild<QCheckBox*>("Check_VerifyAfterSend");
    auto* bar = form->findChild<QProgressBar*>("Progress_Transfer");
    auto* cancel = form->findChild<QPushButton*>("Command_CancelTransfer");
    EXPECT_FALSE(fast->isChecked());
    EXPECT_FALSE(verify->isChecked());
    EXPECT_FALSE(cancel->isEnabled());
    auto config = [] {
        QFile f("vdcfg.cfg");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("none");
    };
    const QByteArray configBefore = config();
    fast->click(); // verifying comes with it
    EXPECT_TRUE(verify->isChecked());
    form = std::make_unique<Form_PrgEeprom>();
    fast = form->findChild<QCheckBox*>("Check_FastTransfer");
    bar = form->findChild<QProgressBar*>("Progress_Transfer");
    cancel = form->findChild<QPushButton*>("Command_CancelTransfer");
    EXPECT_TRUE(fast->isChecked());
    EXPECT_TRUE(form->findChild<QCheckBox*>("Check_VerifyAfterSend")->isChecked());
    EXPECT_EQ(config(), configBefore);

    PrgStore& store = form->Grid().PrgLines;
    store[0] = {"11", "F4 0A", "20 00 64", "F5"};
    store[1] = {"26 02"};
    bus->setFault(DriveBus::Fault::Altered);
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_EQ(Status(), "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0.......ERROR\n"
                        "PRG. N.0 MISMATCH line 2\n  sent: 20 00 64\n  read: 20 00 65\n"
                        "PRG. N.1....OK\nPRG. N.1 VERIFIED\n");
    EXPECT_EQ(bar->maximum(), 12); // F9; F0, 4 lines, F1, F2; F0, 1 line, F1, F2
    EXPECT_EQ(bar->value(), 12);
    EXPECT_EQ(bar->text(), "12 / 12");

    // Cancel clicked once three commands are done (F9, F0, the first line).
    bus->setFault(DriveBus::Fault::None);
    bool enabledDuring = false;
    QObject::connect(bar, &QProgressBar::valueChanged, form.get(), [&](int value) {
        enabledDuring = enabledDuring || cancel->isEnabled();
        if (value == 3) cancel->click();
    });
    prompts->answers = {true};
    Click("Command_SendAllPrg");
    EXPECT_TRUE(enabledDuring);
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_EQ(Status(), "Erasing all programs...OK\nSend programs to drive...\nPRG. N.0....CANCELLED\n"
                        "Transfer cancelled\n");
    EXPECT_EQ(bus->program(1, 0), std::vector<std::string>{Bytes("11")});
    EXPECT_TRUE(bus->program(1, 1).empty());

    // Verify compares the editor with the drive without touching the editor.
    Click("Command_VerifyPrg");
    EXPECT_TRUE(Status().startsWith("Verifying programs on drive...\nPRG. N.0 MISMATCH line 1\n"))
        << Status().toStdString();
    EXPECT_EQ(store[1][0], "26 02");
}
