// The generic send: the value prompt or dialog of the chosen catalog command, and the one frame
// that follows; every command of the catalog walked through the window.
#include "mainwin_fixture.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

using Strings = std::vector<std::string>;
using namespace Module1;

namespace {

// The frame a command must make, spelled out here rather than taken from the frame routines.
std::string ExpectedFrame(int address, int code, const std::vector<int>& valueBytes) {
    std::vector<int> bytes{0xFC, static_cast<int>((valueBytes.size() + 1) % 8 * 32 + address), code};
    bytes.insert(bytes.end(), valueBytes.begin(), valueBytes.end());
    int sum = 0;
    for (int b : bytes)
        sum += b;
    bytes.push_back(255 - sum % 256);
    std::string hex;
    for (int b : bytes) {
        char piece[4];
        std::snprintf(piece, sizeof piece, " %02X", b);
        hex += piece;
    }
    return hex;
}

std::vector<int> BigEndian(long long value, int count) {
    std::vector<int> out;
    for (int i = count - 1; i >= 0; --i)
        out.push_back(static_cast<int>((static_cast<unsigned long long>(value) >> (8 * i)) & 0xFF));
    return out;
}

template <class T> T* Child(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void ClickOk(QDialog& d) {
    Child<QPushButton>(d, "Command_Ok")->click();
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

TEST_F(GenericSendTest, TypedCurrentGoesOutInTwoBytes) {
    open();
    pick("Combo_Addr", "1");
    const int slot = TrovaComando(168);
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

    // The words of the prompt follow the language.
    switchLanguage(1);
    pickSlot(slot);
    prompts->inputs = {"12001", "abc"}; // out of range: beep and ask again; letters read as 0
    click("Command_SendCmd");
    EXPECT_EQ(prompts->beeps, 1);
    ASSERT_EQ(prompts->inputsAsked.size(), 3u);
    EXPECT_TRUE(prompts->inputsAsked[1].text.startsWith("Valori ammessi: da  0 a  12000\r\n\r\n"));
    EXPECT_EQ(text("TextTx"), " FC 61 A8 00 00 FA");
    switchLanguage(3);
    pickSlot(slot);
    click("Command_SendCmd"); // cancelled: nothing sent
    EXPECT_TRUE(prompts->inputsAsked[3].text.startsWith("Allowed values: von  0 bis  12000\r\n\r\n"));
    EXPECT_EQ(framesHex().size(), 2u);
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

TEST_F(GenericSendTest, ReadCommandGoesWithoutPromptAndToSwitchallWithoutReply) {
    open();
    pick("Combo_Addr", "1");
    pickSlot(26);
    ASSERT_EQ(CodiceCmd[26], 18);
    click("Command_SendCmd");
    EXPECT_TRUE(prompts->inputsAsked.empty());
    EXPECT_EQ(framesHex(), Strings{" FC 21 12 D0"});
    EXPECT_TRUE(text("ParRx").startsWith("Present position:")) << text("ParRx").toStdString();

    bus->clearFrames();
    pick("Combo_Addr", "switchall");
    pickSlot(TrovaComando(168));
    prompts->inputs = {"3000"};
    click("Command_SendCmd");
    EXPECT_EQ(framesHex(), Strings{" FC 00 03 A8 0B B8 95"});
    EXPECT_EQ(text("TextRx"), "- no rx - switchall command");
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
        std::vector<int> value;
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
            prompts->dialogActions.push_back([](QDialog& d) {
                Child<QLineEdit>(d, "Text_IN1")->setText("1");
                ClickOk(d);
            });
            value = {1};
            break;
        case 3: // zero at flight: IN1 and a quota of 25600
            prompts->dialogActions.push_back([](QDialog& d) {
                Child<QLineEdit>(d, "Text_IN1")->setText("1");
                Child<QComboBox>(d, "Combo_QuotaZFly")->setEditText("25600");
                ClickOk(d);
            });
            value = {0x01, 0x00, 0x00, 0x64, 0x00};
            break;
        case 4: // spot levels 12 and 200
            prompts->dialogActions.push_back([](QDialog& d) {
                Child<QComboBox>(d, "Combo_Vmin")->setEditText("12");
                Child<QComboBox>(d, "Combo_Vmax")->setEditText("200");
                ClickOk(d);
            });
            value = {12, 200};
            break;
        case 5: // reduction after 20 to 50 %
            prompts->dialogActions.push_back([](QDialog& d) {
                Child<QComboBox>(d, "Combo_Tempo")->setCurrentIndex(20);
                Child<QComboBox>(d, "Combo_Percentuale")->setCurrentIndex(3);
                ClickOk(d);
            });
            value = {212};
            break;
        default:
            ADD_FAILURE() << "slot " << slot << " of unknown kind " << TipoCmd[slot];
        }
        bus->clearFrames();
        pickSlot(slot);
        click("Command_SendCmd");
        const std::string want = ExpectedFrame(1, code, value);
        EXPECT_EQ(framesHex(), Strings{want}) << "slot " << slot;
        EXPECT_EQ(text("TextTx").toStdString(), want) << "slot " << slot;
        EXPECT_FALSE(text("TextRx").isEmpty()) << "slot " << slot;
        EXPECT_FALSE(text("TextRx").contains("timeout")) << "slot " << slot;
        EXPECT_TRUE(prompts->inputs.empty() && prompts->dialogActions.empty()) << "slot " << slot;
    }
    EXPECT_EQ(commands, 61);
    EXPECT_TRUE(prompts->messages.empty());
}
