#pragma once
// A program of the store compared with the drive's answer to "read program": pure, no I/O.
#include "model/prgstore.h"

#include <string>

// One program of the store compared with what the drive holds.
struct ProgramCheck {
    enum class Result {
        Verified,   // the drive holds exactly the store's lines
        Mismatch,   // they differ at `line`
        NoAnswer,   // the drive did not answer the read
        Incomplete, // the answer ended before the program did (cut short)
    };
    int program = 0;
    Result result = Result::NoAnswer;
    // Mismatch: the line of the store (0 = first, as the editor's grid numbers them) where the
    // drive differs; `sent` is that line as sent and `read` the bytes the drive holds in its
    // place, both hex text ("A8 0F A0"); either is empty where one side has no line.
    int line = -1;
    std::string sent;
    std::string read;
    bool verified() const { return result == Result::Verified; }
};

// Compares program `program` of the store with the drive's answer to "read program" (F2 p) as
// hex text ("" for no answer, "15" for an empty program). Byte for byte: the lines sent, in
// order, then the drive's one closing byte.
ProgramCheck CompareProgram(int program, const Program& lines, const std::string& instring);
// The status box lines of a check, each ending in CR LF: "PRG. N.3 VERIFIED", or
// "PRG. N.3 MISMATCH line 2" followed by "  sent: ..." and "  read: ...", or
// "PRG. N.3 NOT VERIFIED - no answer" / "- incomplete answer".
std::string CheckText(const ProgramCheck& check);
