// The four parameter dialogs: what their entries pack into, when OK does nothing, what Cancel
// leaves behind, and their texts. Their frames on the wire are proven through the main window.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "scripted_prompts.h"
#include "ui/dialogs/command_value.h"
#include "ui/dialogs/dialog_values.h"
#include "ui/dialogs/form_currentred.h"
#include "ui/dialogs/form_livellitacca.h"
#include "ui/dialogs/form_trigger.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace Module1;

namespace {

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
        auto levels = SpotLevelsOf(lo, hi);
        ASSERT_TRUE(levels) << lo << " / " << hi;
        EXPECT_EQ(std::pair(levels->min, levels->max), std::pair(double(min), int16_t(max)));
    }
    for (auto [lo, hi] :
         {std::pair{"256", "0"}, {"-1", "0"}, {"0", "255.6"}, {"0", "-1"}, {"12.5", "0"}, {"-", "0"}})
        EXPECT_EQ(SpotLevelsOf(lo, hi), std::nullopt) << lo << " / " << hi;
}

// --- The dialogs as shown through the value prompt -------------------------------------------

// Slots of the catalog that compose their value in a dialog.
constexpr int TriggerSlot = 29, ZFlySlot = 33, SpotSlot = 61, ReductionSlot = 3;
const PromptWords Words{{"da ", "from ", "von "}, {" a ", " to ", " bis "}};

template <class T> T* Child(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}
void SetBox(QDialog& d, const char* name, const char* text) {
    Child<QLineEdit>(d, name)->setText(QString::fromLatin1(text));
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
    QTest::mouseClick(Child<QPushButton>(d, "Command_Ok"), Qt::LeftButton);
    return d.isVisible();
}

class ParameterDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGlobals();
        InitComandi();
    }
    std::optional<CommandValue> ask(int slot) { return AskCommandValue(nullptr, slot, "line", Words); }
    ScriptedPrompts prompts;
};

TEST_F(ParameterDialogTest, TriggerMaskGoesOutAsTheSecondValueOnceEveryBoxIsValid) {
    Lingua = 3;
    QString title;
    prompts.dialogActions.push_back([&](QDialog& d) {
        title = d.windowTitle();
        SetBox(d, "Text_IN1", "1");
        SetBox(d, "Text_IN3", "1");
        SetBox(d, "Text_LEV2", "01"); // blocks OK and stays as typed
        EXPECT_TRUE(ClickOk(d));
        EXPECT_EQ(TriggerOk, 0);
        EXPECT_EQ(Child<QLineEdit>(d, "Text_LEV2")->text(), "01");
        SetBox(d, "Text_LEV2", "1");
        ClickOk(d);
    });
    auto v = ask(TriggerSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(title, "Einstellung START TRIGGER Eingang"); // the command's own description
    EXPECT_EQ(v->parametro2, 37);
    EXPECT_EQ(v->tipo, 2);
    EXPECT_EQ(TriggerOk, VbTrue);
}

TEST_F(ParameterDialogTest, ZeroAtFlightNeedsAQuotaAndValidBoxes) {
    prompts.dialogActions.push_back([&](QDialog& d) {
        auto* quota = Child<QComboBox>(d, "Combo_QuotaZFly");
        ASSERT_EQ(quota->count(), 24);
        EXPECT_EQ(quota->itemText(4) + " " + quota->itemText(5) + " " + quota->itemText(23),
                  "1024 25600 256000");
        EXPECT_TRUE(ClickOk(d)); // all boxes valid, quota "-"
        quota->setEditText("5");
        SetBox(d, "Text_LEV1", "2");
        EXPECT_TRUE(ClickOk(d)); // a quota, an invalid box
        SetBox(d, "Text_LEV1", "0");
        quota->setEditText("-");
        // Clicking a box selects its digit, so typing replaces it; a key without a click too.
        auto* in2 = Child<QLineEdit>(d, "Text_IN2");
        ClickInto(d, in2);
        QTest::keyClicks(in2, "1");
        QTest::keyClicks(Child<QLineEdit>(d, "Text_IN1"), "1");
        // Clicking into the list selects the "-", so typing replaces it.
        ClickInto(d, quota->lineEdit());
        QTest::keyClicks(quota->lineEdit(), "1000abc");
        ClickOk(d);
    });
    auto v = ask(ZFlySlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(std::tuple(v->tipo, v->parametro2, v->parametro1), std::tuple(3, 3.0, 1000.0)); // mask, quota
}

TEST_F(ParameterDialogTest, TypedQuotaIsNeverCompletedToAnItem) {
    for (auto [typed, quota] : {std::pair{"1", 1}, {"12800", 12800}}) { // not 1024, not 128000
        prompts.dialogActions.push_back([typed = typed](QDialog& d) {
            QLineEdit* field = Child<QComboBox>(d, "Combo_QuotaZFly")->lineEdit();
            ClickInto(d, field);
            QTest::keyClicks(field, typed);
            ClickOk(d);
        });
        auto v = ask(ZFlySlot);
        ASSERT_TRUE(v) << typed;
        EXPECT_EQ(v->parametro1, quota);
    }
}

TEST_F(ParameterDialogTest, ReductionAndSpotLevelsBlockOkUntilBothEntriesFit) {
    prompts.dialogActions.push_back([](QDialog& d) {
        Child<QComboBox>(d, "Combo_Tempo")->setCurrentIndex(20);
        EXPECT_TRUE(ClickOk(d)); // percentage still "-"
        Child<QComboBox>(d, "Combo_Percentuale")->setCurrentIndex(3);
        ClickOk(d);
    });
    auto v = ask(ReductionSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(std::pair(v->tipo, v->parametro1), std::pair(0, 212.0)); // a plain one-byte value

    prompts.dialogActions.push_back([](QDialog& d) {
        Child<QComboBox>(d, "Combo_Vmin")->setEditText("300");
        Child<QComboBox>(d, "Combo_Vmax")->setEditText("200");
        EXPECT_TRUE(ClickOk(d));
        Child<QComboBox>(d, "Combo_Vmin")->setEditText("12");
        ClickOk(d);
    });
    v = ask(SpotSlot);
    ASSERT_TRUE(v);
    EXPECT_EQ(std::pair(v->tipo, v->parametro1), std::pair(0, double(0x0CC8))); // 12, then 200
}

TEST_F(ParameterDialogTest, CancelAndCloseBoxGiveNothingAndTheNextOpeningStartsAfresh) {
    auto fillAndLeave = [](bool viaCancel) {
        return [viaCancel](QDialog& d) {
            for (auto* box : d.findChildren<QLineEdit*>())
                box->setText("1");
            for (auto* combo : d.findChildren<QComboBox*>())
                combo->setEditText("12");
            if (viaCancel)
                QTest::mouseClick(Child<QPushButton>(d, "Command_cancel"), Qt::LeftButton);
            else
                d.close();
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

// --- Texts: the title and a sample of each dialog, in languages 1, 2, 3 and a code outside them
// (the design texts).

template <class Dialog>
void CheckTexts(const char* label, const char* button, std::array<const char*, 4> want) {
    const int16_t codes[4] = {1, 2, 3, 7};
    for (int i = 0; i < 4; ++i) {
        Lingua = codes[i];
        Dialog d;
        EXPECT_EQ((d.windowTitle() + " | " + d.template findChild<QLabel*>(label)->text() + " | " +
                   d.template findChild<QPushButton*>(button)->text())
                      .toStdString(),
                  want[i])
            << "language " << codes[i];
    }
}

TEST(ParameterDialogTexts, EachDialogInEachLanguage) {
    ResetGlobals();
    TriggerTitle = "Home trigger";
    // clang-format off
    CheckTexts<Form_Trigger>("Label_HighLev", "Command_cancel", {
        "Home trigger | 1 = LIVELLO ALTO | Annulla", "Home trigger | 1 = HIGH LEVEL | Cancel",
        "Home trigger | 1 = 1 aktiv | Cancel", "Trigger | 1 = HIGH LEVEL | Cancel"});
    CheckTexts<Form_ZeroAlVolo>("Label_Quota", "Command_Ok", {
        "Zero al volo | QUOTA | OK", "Zero at flight | QUOTE | OK", "Zero at flight | QUOTE | OK",
        "Zero al volo | QUOTA: | OK"});
    CheckTexts<Form_CurrentRed>("Label_Tempo", "Command_cancel", {
        "Riduzione di corrente a motore fermo | Tempo riduzione [n x 32ms] | Cancel",
        "Stand-by current reduction | Reduction time [n x 32ms] | Cancel",
        "Stand-by current reduction | Reduction time [n x 32ms] | Cancel",
        "Riduzione di corrente a motore fermo | Tempo riduzione | Cancel"});
    CheckTexts<Form_LivelliTacca>("Label_Vmin", "Command_cancel", {
        "Livelli tacca analogica | Vmin [dV] | Cancel", "Spot levels | Vmin [dV] | Cancel",
        "Spot levels | Vmin [dV] | Cancel", "Livelli tacca analogica | Vmin [dV] | Cancel"});
    // clang-format on
}

} // namespace
