#include "ui/dialogs/command_value.h"

#include "app/module1.h"
#include "base/numbers.h"
#include "protocol/catalog.h"
#include "ui/common/prompts.h"
#include "ui/dialogs/form_currentred.h"
#include "ui/dialogs/form_livellitacca.h"
#include "ui/dialogs/form_trigger.h"

#include <string>

namespace {

using namespace Module1;

// Hint of the slot in the current language; an unknown language code reads the English one,
// as the prompt words do.
std::string HintOf(int slot) {
    switch (Lingua) {
    case 1:
        return NoteCmdIta[slot];
    case 3:
        return NoteCmdGer[slot];
    default:
        return NoteCmdEng[slot];
    }
}

std::string DescriptionOf(int slot) {
    switch (Lingua) {
    case 1:
        return DescrCmdIta[slot];
    case 2:
        return DescrCmdEng[slot];
    case 3:
        return DescrCmdGer[slot];
    default:
        return {};
    }
}

QString RangePrompt(int slot, const PromptWords& words) {
    QString opening = TextOrEnglish(words.opening);
    QString middle = TextOrEnglish(words.middle);
    return opening + QString::fromStdString(SignedText(MinCmd[slot])) + middle +
           QString::fromStdString(SignedText(MaxCmd[slot])) + QStringLiteral("\r\n\r\n") +
           QString::fromStdString(HintOf(slot));
}

std::optional<CommandValue> TypedValue(QWidget* parent, int slot, const QString& title,
                                       const PromptWords& words) {
    if (NtxCmd[slot] <= 1) return CommandValue{};
    const QString prompt = RangePrompt(slot, words);
    for (;;) {
        const QString answer = UiPrompts().input(parent, prompt, title);
        if (answer.isEmpty()) return std::nullopt;
        const double value = Val(answer.toStdString());
        if (InCommandLimits(slot, value)) return CommandValue{value, 0, 0};
        UiPrompts().beep();
    }
}

} // namespace

std::optional<CommandValue> AskCommandValue(QWidget* parent, int slot, const QString& title,
                                            const PromptWords& words) {
    if (slot < 0 || slot >= CatalogSlots || CodiceCmd[slot] == 0) return std::nullopt;
    switch (TipoCmd[slot]) {
    case 0:
        return TypedValue(parent, slot, title, words);
    case 2: {
        TriggerTitle = DescriptionOf(slot);
        Form_Trigger dialog; // the parameter dialogs have no owner window
        UiPrompts().runDialog(dialog);
        if (TriggerOk != VbTrue) return std::nullopt;
        return ValueOfTrigger(TriggerMask);
    }
    case 3: {
        Form_ZeroAlVolo dialog;
        UiPrompts().runDialog(dialog);
        if (TriggerOk != VbTrue) return std::nullopt;
        return ValueOfZeroAtFlight(ZFlyQuota, TriggerMask);
    }
    case 4: {
        Form_LivelliTacca dialog;
        UiPrompts().runDialog(dialog);
        if (SpotOk != VbTrue) return std::nullopt;
        return ValueOfSpotLevels(SpotMin, SpotMax);
    }
    case 5: {
        Form_CurrentRed dialog;
        UiPrompts().runDialog(dialog);
        if (CurrentRedOk != VbTrue) return std::nullopt;
        return ValueOfCurrentRed(CurrentRedValue);
    }
    default:
        return std::nullopt;
    }
}
