// The generic send: the value prompt or dialog of the chosen catalog command, and the one frame
// that follows; every command of the catalog walked through the window.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/frame.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

using Strings = std::vector<std::string>;
using namespace Module1;

namespace {

// Value bytes, high byte first.
std::string BigEndian(long long value, int count) {
    std::string out;
    for (int i = count - 1; i >= 0; --i)
        out += static_cast<char>((static_cast<unsigned long long>(value) >> (8 * i)) & 0xFF);
    return out;
}

// A dialog action: fills the named fields ("#n" picks item n of a list) and clicks OK.
std::function<void(QDialog&)> Filled(std::vector<std::pair<const char*, QString>> fields) {
    return [fields](QDialog& d) {
        for (const auto& [name, value] : fields) {
            if (auto* e = d.findChild<QLineEdit*>(name))
                e->setText(value);
            else if (auto* c = d.findChild<QComboBox*>(name); c && value.startsWith('#'))
                c->setCurrentIndex(value.mid(1).toInt());
            else if (c)
                c->setEditText(value);
            else
                ADD_FAILURE() << "no field " << name;
        }
        auto* ok = d.findChild<QPushButton*>("Command_Ok");
        ASSERT_NE(ok, nullptr);
        ok->click();
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

TEST_F(GenericSendTest, PickedCommandAsksItsValueAndSendsOneFrame) {
    open();
    pick("Combo_Addr", "1");
    const int slot = TrovaComando(168); // motor current, two value bytes
    ASSERT_GE(slot, 0);
    pickSlot(slot);
    prompts->inputs = {"3000"};
    click("Command_SendCmd");
    EXPECT_EQ(framesHex(), Strings{" FC 61 A8 0B B8 37"});
    EXPECT_EQ(text("TextTx"), " FC 61 A8 0B B8 37");
    EXPECT_EQ(text("TextRx"), " 06");
    ASSERT_EQ(prompts->inputsAsked.size(), 1u);
    EXPECT_EQ(prompts->inputsAsked[0].title, text("Combo_Command"));
    EXPECT_TRUE(prompts->inputsAsked[0].text.startsWith("Allowed values: from  0 to  12000\r\n\r\n"))
        << prompts->inputsAsked[0].text.toStdString();
    click("Command_SendCmd"); // cancelled: nothing sent
    EXPECT_EQ(framesHex().size(), 1u);

    // A read is described; to switchall the frame goes out and no reply is awaited.
    pickSlot(TrovaComando(18));
    click("Command_SendCmd");
    EXPECT_TRUE(text("ParRx").startsWith("Present position:")) << text("ParRx").toStdString();
    bus->clearFrames();
    pick("Combo_Addr", "switchall");
    pickSlot(slot);
    prompts->inputs = {"3000"};
    click("Command_SendCmd");
    EXPECT_EQ(framesHex(), Strings{" FC 00 03 A8 0B B8 95"});
    EXPECT_EQ(text("TextRx"), "- no rx - switchall command");
}

TEST_F(GenericSendTest, NothingForNoSelectionSeparatorsOrTypedText) {
    open();
    click("Command_SendCmd"); // nothing picked after start
    pickSlot(4);              // a blank separator
    click("Command_SendCmd");
    pickSlot(52); // the section header
    click("Command_SendCmd");
    pickSlot(TrovaComando(168));
    type("Combo_Command", "Motor current"); // typed, not picked
    click("Command_SendCmd");
    pickSlot(TrovaComando(168));
    switchLanguage(2); // the refill drops the selection
    click("Command_SendCmd");
    EXPECT_TRUE(framesHex().empty());
    EXPECT_TRUE(prompts->inputsAsked.empty());
    EXPECT_EQ(prompts->beeps, 0);
}

TEST_F(GenericSendTest, EveryCatalogCommandSendsTheFrameItsSlotImplies) {
    open();
    pick("Combo_Addr", "1");
    int commands = 0;
    for (int slot = 0; slot < list("Combo_Command")->count(); ++slot) {
        if (CodiceCmd[slot] == 0) continue;
        ++commands;
        const int code = CodiceCmd[slot];
        const int ntx = NtxCmd[slot];
        std::string value;
        switch (TipoCmd[slot]) {
        case 0:
            if (ntx > 1) {
                // The top of each range, except the drive's reply delay (40): at its top the
                // drive answers later than this sped-up test waits.
                const int32_t v = code == 40 ? MinCmd[slot] : MaxCmd[slot];
                prompts->inputs = {QString::number(v)};
                value = BigEndian(v, ntx - 1);
            }
            break;
        case 2: // input mask: IN1
            prompts->dialogActions.push_back(Filled({{"Text_IN1", "1"}}));
            value = "\x01";
            break;
        case 3: // zero at flight: IN1 and a quota of 25600
            prompts->dialogActions.push_back(Filled({{"Text_IN1", "1"}, {"Combo_QuotaZFly", "25600"}}));
            value = BigEndian(0x0100006400LL, 5);
            break;
        case 4: // spot levels 12 and 200
            prompts->dialogActions.push_back(Filled({{"Combo_Vmin", "12"}, {"Combo_Vmax", "200"}}));
            value = BigEndian(12 * 256 + 200, 2);
            break;
        case 5: // reduction after 20 to 50 %
            prompts->dialogActions.push_back(Filled({{"Combo_Tempo", "#20"}, {"Combo_Percentuale", "#3"}}));
            value = "\xD4";
            break;
        default:
            ADD_FAILURE() << "slot " << slot << " of unknown kind " << TipoCmd[slot];
        }
        bus->clearFrames();
        prompts->inputsAsked.clear();
        pickSlot(slot);
        click("Command_SendCmd");
        const std::string want = Hex(BuildFrame(1, static_cast<char>(code) + value));
        EXPECT_EQ(framesHex(), Strings{want}) << "slot " << slot;
        EXPECT_EQ(text("TextTx").toStdString(), want) << "slot " << slot;
        EXPECT_FALSE(text("TextRx").isEmpty()) << "slot " << slot;
        EXPECT_FALSE(text("TextRx").contains("timeout")) << "slot " << slot;
        EXPECT_TRUE(prompts->inputs.empty() && prompts->dialogActions.empty()) << "slot " << slot;
        EXPECT_EQ(prompts->inputsAsked.size(), TipoCmd[slot] == 0 && ntx > 1 ? 1u : 0u) << "slot " << slot;
    }
    EXPECT_EQ(commands, 61);
    EXPECT_TRUE(prompts->messages.empty());
}
