// The generic send: the value prompt or dialog of the chosen catalog command, and the one frame
// that follows.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

using Strings = std::vector<std::string>;
using namespace Module1;

namespace {

// A dialog action: fills the named entries and clicks OK.
std::function<void(QDialog&)> Filled(std::vector<std::pair<const char*, QString>> fields) {
    return [fields](QDialog& d) {
        for (const auto& [name, value] : fields) {
            if (auto* e = d.findChild<QLineEdit*>(name))
                e->setText(value);
            else
                d.findChild<QComboBox*>(name)->setEditText(value);
        }
        d.findChild<QPushButton*>("Command_Ok")->click();
    };
}

} // namespace

class GenericSendTest : public MainWindowTest {
  protected:
    void pickSlot(int slot) {
        QComboBox* c = list("Combo_Command");
        c->setCurrentIndex(slot);
        emit c->activated(slot);
    }
};

TEST_F(GenericSendTest, PickedCommandAsksItsValueAndSendsOneFrameAndNothingElseSends) {
    open();
    pick("Combo_Addr", "1");
    pickSlot(2); // motor current, two value bytes
    prompts->inputs = {"3000"};
    expectAfter([&] { click("Command_SendCmd"); }, {" FC 61 A8 0B B8 37"},
                {{"TextTx", " FC 61 A8 0B B8 37"}, {"TextRx", " 06"}});
    ASSERT_EQ(prompts->inputsAsked.size(), 1u);
    EXPECT_EQ(prompts->inputsAsked[0].title, "Current");
    EXPECT_TRUE(prompts->inputsAsked[0].text.startsWith("Allowed values: from  0 to  12000\r\n\r\n"))
        << prompts->inputsAsked[0].text.toStdString();

    // A read is described; to switchall the frame goes out and no reply is awaited.
    pickSlot(TrovaComando(18));
    click("Command_SendCmd");
    EXPECT_TRUE(text("ParRx").startsWith("Present position:")) << text("ParRx").toStdString();
    pick("Combo_Addr", "switchall");
    pickSlot(2);
    prompts->inputs = {"3000"};
    expectAfter([&] { click("Command_SendCmd"); }, {" FC 00 03 A8 0B B8 95"},
                {{"TextRx", "- no rx - switchall command"}});

    // Nothing for no selection, separators, typed text or a cancelled prompt.
    bus->clearFrames();
    prompts->inputsAsked.clear();
    switchLanguage(2); // the refill drops the selection
    click("Command_SendCmd");
    pickSlot(4); // a blank separator
    click("Command_SendCmd");
    pickSlot(52); // the section header
    click("Command_SendCmd");
    pickSlot(2);
    type("Combo_Command", "Motor current"); // typed, not picked
    click("Command_SendCmd");
    pickSlot(2);
    click("Command_SendCmd");                   // the value prompt cancelled
    EXPECT_EQ(prompts->inputsAsked.size(), 1u); // only there
    EXPECT_TRUE(framesHex().empty());
    EXPECT_EQ(prompts->beeps, 0);
}

// One command of each kind: no value, typed values of one, two and four bytes at the top of
// their range, and each parameter dialog.
TEST_F(GenericSendTest, EachKindOfCommandSendsItsFrame) {
    open();
    pick("Combo_Addr", "1");
    const struct {
        int slot;
        const char* typed;
        std::vector<std::pair<const char*, QString>> dialog; // entries filled before OK
        const char* frame;
    } cases[] = {
        {19, nullptr, {}, " FC 21 11 D1"},
        {7, "255", {}, " FC 41 22 FF A1"},
        {2, "12000", {}, " FC 61 A8 2E E0 EC"},
        {14, "2000000000", {}, " FC A1 31 77 35 94 00 F1"},
        {29, nullptr, {{"Text_IN1", "1"}}, " FC 41 29 01 98"},
        {33, nullptr, {{"Text_IN1", "1"}, {"Combo_QuotaZFly", "25600"}}, " FC C1 A0 01 00 00 64 00 3D"},
        {61, nullptr, {{"Combo_Vmin", "12"}, {"Combo_Vmax", "200"}}, " FC 61 C6 0C C8 08"},
        {3, nullptr, {{"Combo_Tempo", "20"}, {"Combo_Percentuale", "3-50%"}}, " FC 41 27 D4 C7"},
    };
    for (const auto& c : cases) {
        if (c.typed) prompts->inputs = {c.typed};
        if (!c.dialog.empty()) prompts->dialogActions.push_back(Filled(c.dialog));
        pickSlot(c.slot);
        expectAfter([&] { click("Command_SendCmd"); }, {c.frame}, {{"TextRx", " 06"}});
    }
    EXPECT_TRUE(prompts->messages.empty());
}
