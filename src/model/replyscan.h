#pragma once
// Turning the drive's answer to "read program" (F2 p) into program lines. Pure: the reply
// text in, lines and a verdict out, so it can be checked and fuzzed without a drive.
#include <string>
#include <vector>

struct ProgramScan {
    // The commands found, in order, as hex text; each keeps the blank that followed its last
    // byte in the reply (none for a command that ran into the end of the text).
    std::vector<std::string> lines;
    // The last position examined held a known command code.
    bool lastKnown = false;
    // A command ran into the reply's last byte. A whole reply always ends with a byte that is
    // no part of any command, so such a reply was cut (or garbled) and its last line is partial.
    bool cutShort = false;

    // The reply can replace the program in the store.
    bool ready() const { return lastKnown && !cutShort; }
};

// Scans `instring` (reply bytes as "A8 0F A0 26 02 11 00"): from the first byte on, a byte
// that is a catalog code (the lowest slot holding it; 00 is no command) starts a line of
// 3 x NtxCmd characters; any other byte is stepped over. The last byte never starts a line.
ProgramScan ScanProgramReply(const std::string& instring);

enum class ReadStatus { Empty, Ready, Error };
// "PRG 05 - READY     ": 19 characters.
std::string ReadStatusText(int program, ReadStatus status);
