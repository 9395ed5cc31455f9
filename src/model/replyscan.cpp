#include "model/replyscan.h"

#include "protocol/catalog.h"

#include <cstdio>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte spelled at `pos`: up to two hex digits, a non-digit ends it (none gives 0).
int ByteAt(const std::string& text, size_t pos) {
    int value = 0;
    for (size_t k = pos; k < pos + 2 && k < text.size(); ++k) {
        int d = HexDigit(text[k]);
        if (d < 0) break;
        value = value * 16 + d;
    }
    return value;
}

} // namespace

ProgramScan ScanProgramReply(const std::string& instring) {
    ProgramScan scan;
    const size_t len = instring.size();
    // Positions 0, 3, 6, ... while at least one more byte follows: the last byte of a reply
    // is never the start of a command.
    for (size_t i = 0; len >= 4 && i <= len - 4;) {
        int code = ByteAt(instring, i);
        int slot = code == 0 ? -1 : Module1::TrovaComando(code);
        if (slot < 0) {
            scan.lastKnown = false;
            i += 3;
            continue;
        }
        int ntx = Module1::NtxCmd[slot];
        size_t width = 3 * static_cast<size_t>(ntx < 1 ? 1 : ntx);
        scan.lastKnown = true;
        scan.cutShort = i + width > len;
        scan.lines.push_back(instring.substr(i, width));
        i += width;
    }
    return scan;
}

std::string ReadStatusText(int program, ReadStatus status) {
    const char* word = status == ReadStatus::Empty   ? "EMPTY"
                       : status == ReadStatus::Ready ? "READY"
                                                     : "ERROR";
    char buf[40];
    std::snprintf(buf, sizeof buf, "PRG %02d - %s     ", program, word);
    return buf;
}
