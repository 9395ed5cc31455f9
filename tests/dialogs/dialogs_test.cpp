// The value of a catalog command: the prompt (its text, how it reads the answer, when it asks
// again) and the four parameter dialogs (what their entries pack into, when OK does nothing, what
// Cancel leaves behind). The frames they become are proven through the main window.
#include "app/module1.h"
#include "protocol/catalog.h"
#include "scripted_prompts.h"
#include "ui/dialogs/command_value.h"
#include "ui/dialogs/dialog_values.h"
#include "ui/dialogs/form_trigger.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace Module1;

namespace {

// Slots of the catalog: the motor current, the ramp, a relative move, a read, a blank; and the
// commands that compose their value in a dialog.
constexpr int CurrentSlot = 2, RampSlot = 7, PositionSlot = 14, ReadSlot = 26, BlankSlot = 4;
constexpr int TriggerSlot = 29, ZFlySlot = 33, SpotSlot = 61, ReductionSlot = 3;

class CommandValueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGlobals();
        InitComandi();
    }
    std::optional<CommandValue> ask(int slot) {
        const PromptWords words{{"Valori ammessi: da ", "Allowed values: from ", "Allowed values: von "},
                                {" a ", " to ", " bis "}};
        return AskCommandValue(nullptr, slot, "Set current", words);
    }
    ScriptedPrompts prompts;
};
using ParameterDialogTest = CommandValueTest;

TEST_F(CommandValueTest, PromptShowsSignedBoundsAndHintAsksAgainOutOfRangeCancelGivesNothing) {
    const struct {
        int lingua, slot;
        const char* prompt;
    } cases[] = {
        {2, CurrentSlot, "Allowed values: from  0 to  12000\r\n\r\n[mA]"},
        {1, RampSlot, "Valori ammessi: da  0 a  255\r\n\r\n[centesimi di secondo]"},
        {3, RampSlot, "Allowed values: von  0 bis  255\r\n\r\n[cs]"},
        {2, PositionSlot, "Allowed values: from -2000000000 to  2000000000\r\n\r\n[1/128 of step]"},
    };
    for (const auto& c : cases) {
        Lingua = static_cast<int16_t>(c.lingua);
        prompts.inputsAsked.clear();
        prompts.inputs = {"5"};
        ASSERT_TRUE(ask(c.slot));
        ASSERT_EQ(prompts.inputsAsked.size(), 1u);
        EXPECT_EQ(prompts.inputsAsked[0].title + "|" + prompts.inputsAsked[0].text,
                  QString("Set current|") + c.prompt);
    }

    prompts.inputsAsked.clear();
    prompts.inputs = {"20001", "-1", "12001", " 3 000 mA"}; // the number the answer starts with
    auto v = ask(CurrentSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->parametro1, 3000);
    EXPECT_EQ(prompts.beeps, 3);
    ASSERT_EQ(prompts.inputsAsked.size(), 4u);
    EXPECT_EQ(prompts.inputsAsked[3].text, prompts.inputsAsked[0].text);

    prompts.inputs = {"99999"}; // cancel after a refused value: still nothing
    EXPECT_FALSE(ask(CurrentSlot));
    prompts.inputsAsked.clear();
    for (int slot : {BlankSlot, -1, CatalogSlots})
        EXPECT_FALSE(ask(slot)) << slot;
    v = ask(ReadSlot); // a command without data asks nothing
    ASSERT_TRUE(v);
    EXPECT_EQ(v->parametro1, 0);
    EXPECT_TRUE(prompts.inputsAsked.empty());
}

TEST(DialogValues, EntriesPackIntoTheirValuesOrBlockOk) {
    using B = std::array<std::string, 6>;
    EXPECT_EQ(TriggerMaskOf(B{"0", "0", "0", "0", "0", "0"}), 0);
    EXPECT_EQ(TriggerMaskOf(B{"1", "0", "1", "0", "1", "0"}), 37);
    EXPECT_EQ(TriggerMaskOf(B{"1", "1", "1", "1", "1", "1"}), 119);
    for (const char* bad : {" 1", "1 ", "", "01", "2", "-"}) {
        EXPECT_EQ(TriggerMaskOf(B{"0", "0", bad, "0", "0", "0"}), std::nullopt) << '"' << bad << '"';
        EXPECT_EQ(TriggerMaskOf(B{"0", "0", "0", "0", "0", bad}), std::nullopt) << '"' << bad << '"';
    }

    // Only the exact "-" means no quota chosen; otherwise the leading number.
    for (auto [text, quota] : {std::pair{"1000abc", 1000}, {"abc", 0}, {"-500", -500}, {" - ", 0}})
        EXPECT_EQ(ZFlyQuotaOf(text), quota) << text;
    EXPECT_EQ(ZFlyQuotaOf("-"), std::nullopt);

    const struct {
        const char *tempo, *percent;
        std::optional<int16_t> value;
    } reductions[] = {
        // clang-format off
        {"20", "3-50%", 212}, {"0", "0-100%", 0}, {"63", "1-0% (no rid)", 127}, {"100", "0-100%", 36},
        {"12.5", "2-25%", 140}, {"13.5", "0-100%", 14}, {"1023", "3-50%", 255}, {"5", "x", 5},
        {"1024", "0-100%", {}}, {"-1", "0-100%", {}}, {"1e12", "0-100%", {}}, {"-", "3-50%", {}}, {"20", "-", {}}
        // clang-format on
    };
    for (const auto& c : reductions)
        EXPECT_EQ(CurrentRedValueOf(c.tempo, c.percent), c.value) << c.tempo << " / " << c.percent;

    // Whole levels of one byte, in any order; the maximum is rounded first.
    for (auto [lo, hi, min, max] : {std::tuple{"12", "200", 12, 200},
                                    {"200", "12", 200, 12},
                                    {"0", "255.4", 0, 255},
                                    {"0", "2.5", 0, 2}}) {
        const SpotLevels l = SpotLevelsOf(lo, hi).value_or(SpotLevels{-1, -1});
        EXPECT_EQ(std::pair(l.min, l.max), std::pair(double(min), int16_t(max))) << lo << " / " << hi;
    }
    for (auto [lo, hi] :
         {std::pair{"256", "0"}, {"-1", "0"}, {"0", "255.6"}, {"0", "-1"}, {"12.5", "0"}, {"-", "0"}})
        EXPECT_EQ(SpotLevelsOf(lo, hi), std::nullopt) << lo << " / " << hi;
}

void Fill(QDialog& d, std::initializer_list<std::pair<const char*, const char*>> entries) {
    for (const auto& [name, text] : entries) {
        if (auto* e = d.findChild<QLineEdit*>(name))
            e->setText(text);
        else if (auto* c = d.findChild<QComboBox*>(name))
            c->setEditText(text);
        else
            ADD_FAILURE() << "no entry " << name;
    }
}
// Clicks into an entry field of an active dialog, as an operator would before typing.
void ClickInto(QDialog& d, QWidget* field) {
    d.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::qWait(1);
}
// Clicks OK and tells whether the dialog is still open.
bool ClickOk(QDialog& d) {
    QTest::mouseClick(d.findChild<QPushButton*>("Command_Ok"), Qt::LeftButton);
    return d.isVisible();
}

TEST_F(ParameterDialogTest, EntriesThatDoNotFitBlockOkAndStayAsTyped) {
    const struct {
        int slot;
        std::initializer_list<std::pair<const char*, const char*>> entries;
    } cases[] = {
        {TriggerSlot, {{"Text_IN1", "1"}, {"Text_LEV2", "01"}}},
        {ZFlySlot, {{"Text_IN1", "1"}}}, // no quota chosen
        {ZFlySlot, {{"Combo_QuotaZFly", "5"}, {"Text_LEV1", "2"}}},
        {ReductionSlot, {{"Combo_Tempo", "20"}}}, // no percentage chosen
        {SpotSlot, {{"Combo_Vmin", "300"}, {"Combo_Vmax", "200"}}},
    };
    for (const auto& c : cases) {
        prompts.dialogActions.push_back([&](QDialog& d) {
            Fill(d, c.entries);
            EXPECT_TRUE(ClickOk(d)) << c.slot;
            for (const auto& [name, text] : c.entries) {
                QWidget* w = d.findChild<QWidget*>(name);
                auto* e = qobject_cast<QLineEdit*>(w) ? qobject_cast<QLineEdit*>(w)
                                                      : qobject_cast<QComboBox*>(w)->lineEdit();
                EXPECT_EQ(e->text(), text) << name;
            }
        });
        EXPECT_FALSE(ask(c.slot)) << c.slot;
        EXPECT_EQ(std::tuple(TriggerOk, CurrentRedOk, SpotOk), std::tuple(0, 0, 0)) << c.slot;
    }
}

TEST_F(ParameterDialogTest, TriggerMaskGoesOutAsTheSecondValueAndTheQuotaFirst) {
    Lingua = 3;
    QString title;
    prompts.dialogActions.push_back([&](QDialog& d) {
        title = d.windowTitle();
        Fill(d, {{"Text_IN1", "1"}, {"Text_IN3", "1"}, {"Text_LEV2", "1"}});
        ClickOk(d);
    });
    auto v = ask(TriggerSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(title, "Einstellung START TRIGGER Eingang"); // the command's own description
    EXPECT_EQ(std::tuple(v->tipo, v->parametro2, TriggerOk), std::tuple(2, 37.0, VbTrue));

    prompts.dialogActions.push_back([&](QDialog& d) {
        auto* quota = d.findChild<QComboBox*>("Combo_QuotaZFly");
        EXPECT_EQ(QStringList({quota->itemText(4), quota->itemText(5), quota->itemText(23)}),
                  QStringList({"1024", "25600", "256000"}));
        // Clicking a box selects its digit, so typing replaces it; a key without a click too.
        auto* in2 = d.findChild<QLineEdit*>("Text_IN2");
        ClickInto(d, in2);
        QTest::keyClicks(in2, "1");
        QTest::keyClicks(d.findChild<QLineEdit*>("Text_IN1"), "1");
        // Clicking into the list selects the "-", so typing replaces it.
        ClickInto(d, quota->lineEdit());
        QTest::keyClicks(quota->lineEdit(), "1000abc");
        ClickOk(d);
    });
    v = ask(ZFlySlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(std::tuple(v->tipo, v->parametro2, v->parametro1), std::tuple(3, 3.0, 1000.0)); // mask, quota
}

TEST_F(ParameterDialogTest, TypedQuotaIsNeverCompletedToAnItem) {
    for (auto [typed, quota] : {std::pair{"1", 1}, {"12800", 12800}}) { // not 1024, not 128000
        prompts.dialogActions.push_back([typed = typed](QDialog& d) {
            QLineEdit* field = d.findChild<QComboBox*>("Combo_QuotaZFly")->lineEdit();
            ClickInto(d, field);
            QTest::keyClicks(field, typed);
            ClickOk(d);
        });
        auto v = ask(ZFlySlot);
        ASSERT_TRUE(v) << typed;
        EXPECT_EQ(v->parametro1, quota);
    }
}

TEST_F(ParameterDialogTest, CancelAndCloseBoxGiveNothingAndTheNextOpeningStartsAfresh) {
    auto fillAndLeave = [](bool viaCancel) {
        return [viaCancel](QDialog& d) {
            for (auto* box : d.findChildren<QLineEdit*>())
                box->setText("1");
            for (auto* combo : d.findChildren<QComboBox*>())
                combo->setEditText("12");
            viaCancel ? QTest::mouseClick(d.findChild<QPushButton*>("Command_cancel"), Qt::LeftButton)
                      : (void)d.close();
        };
    };
    auto inspect = [](QDialog& d) {
        for (auto* box : d.findChildren<QLineEdit*>(QRegularExpression("^Text_")))
            EXPECT_EQ(box->text(), "0") << box->objectName().toStdString();
        for (auto* combo : d.findChildren<QComboBox*>())
            EXPECT_EQ(combo->currentText(), "-") << combo->objectName().toStdString();
        d.reject();
    };
    for (auto [slot, flag] : {std::pair{TriggerSlot, &TriggerOk},
                              {ZFlySlot, &TriggerOk},
                              {ReductionSlot, &CurrentRedOk},
                              {SpotSlot, &SpotOk}})
        for (bool viaCancel : {true, false}) {
            *flag = VbTrue;
            prompts.dialogActions = {fillAndLeave(viaCancel), inspect};
            EXPECT_FALSE(ask(slot)) << slot;
            EXPECT_EQ(*flag, 0) << slot;
            EXPECT_FALSE(ask(slot));
        }
}

} // namespace
