#pragma once
// The value of a catalog command: the test a typed value must pass, and what each parameter
// dialog's result becomes for the transaction and the line codec. The main window's generic send,
// the program editor and vardelo-cli all go through these, so a value refused in one is refused
// in all.
#include <optional>
#include <string>
#include <vector>

struct CommandValue {
    double parametro1 = 0;
    double parametro2 = 0;
    int tipo = 0; // the command kind for the transaction / the line codec
};

// A typed value lies within the slot's limits, both bounds allowed (false for NaN).
bool InCommandLimits(int slot, double value);

// The results of the parameter dialogs, as the transaction and the line codec take them.
CommandValue ValueOfTrigger(double triggerMask);                    // the input byte, sent as one byte
CommandValue ValueOfZeroAtFlight(double quota, double triggerMask); // input byte, then the quota
CommandValue ValueOfSpotLevels(double spotMin, double spotMax);     // MIN x 256 + MAX in two bytes
CommandValue ValueOfCurrentRed(double value);                       // a plain one-byte value

// A trigger byte the input trigger dialogs can produce: 0..255 with bits 3 and 7 clear.
bool IsTriggerByte(double value);

// The value of a command slot from numbers given in the order of its value bytes, as a script
// passes them instead of typing into a prompt or a dialog:
//   typed commands:        the value (none for a command without data), within the limits;
//   input trigger:         the input byte;
//   zero at flight:        the input byte, then the quota;
//   spot levels:           MIN and MAX (whole levels 0..255), or the two-byte value;
//   current reduction:     the packed byte.
// `error` says why the numbers are refused (nothing must then be sent).
struct NumbersValue {
    std::optional<CommandValue> value;
    std::string error;
};
NumbersValue CommandValueOfNumbers(int slot, const std::vector<double>& numbers);
