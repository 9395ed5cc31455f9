#pragma once
// Obtaining the value of a catalog command: typed into the value prompt or composed in one of
// the parameter dialogs, by the slot's TipoCmd. Shared by the main window and the program editor.
#include "protocol/command_value.h"
#include "ui/common/texts.h"

#include <optional>

class QWidget;

// The opening and middle words of the value prompt ("Allowed values: from ", " to ").
struct PromptWords {
    Text3 opening;
    Text3 middle;
};

// Asks for the value of `slot`; nothing when the slot is no command or the operator cancels.
// `title` is the selected list line. Commands without data give a value at once.
std::optional<CommandValue> AskCommandValue(QWidget* parent, int slot, const QString& title,
                                            const PromptWords& words);
