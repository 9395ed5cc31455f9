// Placeholder until the dialogs land.
#include "ui/dialogs/command_value.h"

std::optional<CommandValue> AskCommandValue(QWidget*, int, const QString&, const PromptWords&) {
    return std::nullopt;
}
