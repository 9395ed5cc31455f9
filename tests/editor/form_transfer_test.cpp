// The editor's drive buttons against the simulated drive: programs on the wire, the status box,
// and a window that cannot be closed or edited under a running transfer.
#include "ui/editor/form_prgeeprom.h"

#include "app/module1.h"
#include "catalog/catalog.h"
#include "sim_fixture.h"

#include <QPlainTextEdit>
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
