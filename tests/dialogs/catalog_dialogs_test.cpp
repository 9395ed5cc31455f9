// With the real catalog: every command composed in a dialog opens its own dialog and gives a
// value that fits the command's bytes.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "link/frame.h"
#include "scripted_prompts.h"
#include "ui/dialogs/command_value.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <map>

using namespace Module1;

namespace {

const PromptWords Words{{"da ", "from ", "von "}, {" a ", " to ", " bis "}};

// Fills every entry with a high but valid choice and confirms.
void FillHighAndConfirm(QDialog& d) {
    for (auto* box : d.findChildren<QLineEdit*>())
        if (box->objectName().startsWith("Text_")) box->setText("1");
    for (auto* combo : d.findChildren<QComboBox*>())
        combo->setCurrentIndex(combo->count() - 1);
    d.findChild<QPushButton*>("Command_Ok")->click();
}

TEST(CatalogDialogs, EachDialogCommandOpensItsDialogAndFitsItsBytes) {
    ResetGlobals();
    InitComandi();
    const std::map<int, QString> dialogOf{
        {2, "Form_Trigger"}, {3, "Form_ZeroAlVolo"}, {4, "Form_LivelliTacca"}, {5, "Form_CurrentRed"}};
    int seen = 0;
    for (int slot = 0; slot < CatalogSlots; ++slot) {
        if (CodiceCmd[slot] == 0 || TipoCmd[slot] < 2) continue;
        ++seen;
        ScriptedPrompts prompts;
        QString shown, title;
        prompts.dialogActions.push_back([&](QDialog& d) {
            shown = d.objectName();
            title = d.windowTitle();
            FillHighAndConfirm(d);
        });
        auto value = AskCommandValue(nullptr, slot, "line", Words);
        ASSERT_TRUE(value) << "slot " << slot;
        EXPECT_EQ(shown, dialogOf.at(TipoCmd[slot])) << "slot " << slot;
        if (TipoCmd[slot] == 2) {
            EXPECT_EQ(title.toStdString(), DescrCmdEng[slot]);
        }
        const CommandFrame frame = MakeCommandFrame(1, CodiceCmd[slot], value->parametro1, value->parametro2,
                                                    NtxCmd[slot], value->tipo);
        EXPECT_FALSE(frame.error) << "slot " << slot << ": " << (frame.error ? frame.error->what : "");
        EXPECT_EQ(frame.frame.size(), static_cast<size_t>(NtxCmd[slot]) + 3) << "slot " << slot;
        EXPECT_TRUE(prompts.inputsAsked.empty());
    }
    EXPECT_EQ(seen, 11); // eight trigger commands, zero at flight, spot levels, current reduction
}

} // namespace
