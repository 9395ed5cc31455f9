#include "model/verify.h"

#include "protocol/catalog.h"
#include "protocol/frame.h"

#include <algorithm>
#include <vector>

namespace {

ProgramCheck Mismatch(ProgramCheck check, int line, std::string sent, std::string read) {
    check.result = ProgramCheck::Result::Mismatch;
    check.line = line;
    check.sent = std::move(sent);
    check.read = std::move(read);
    return check;
}

// The command the drive holds at `at` beyond the store's lines: its code and data bytes as the
// catalog counts them, but never the reply's closing byte.
std::string ExtraCommand(const std::string& reply, size_t at) {
    size_t left = reply.size() - at - 1;
    int slot = Module1::TrovaComando(static_cast<unsigned char>(reply[at]));
    size_t n = slot >= 0 ? static_cast<size_t>(std::max<int>(Module1::NtxCmd[slot], 1)) : 1;
    return HexText(reply.substr(at, std::min(n, left)));
}

} // namespace

ProgramCheck CompareProgram(int program, const Program& lines, const std::string& instring) {
    ProgramCheck check;
    check.program = program;
    if (instring.empty()) return check; // NoAnswer

    struct Sent {
        int row;
        std::string bytes;
    };
    std::vector<Sent> sent;
    for (int i = 0; i < LinesPerProgram; ++i)
        if (IsProgramLine(lines[i])) sent.push_back({i, BytesOfHexText(lines[i])});
    const int nextRow = sent.empty() ? 0 : sent.back().row + 1;

    if (instring == "15") { // the drive holds no program
        if (sent.empty())
            check.result = ProgramCheck::Result::Verified;
        else
            check = Mismatch(check, sent[0].row, HexText(sent[0].bytes), std::string());
        return check;
    }
    const std::string reply = BytesOfHexText(instring);
    size_t at = 0;
    for (const Sent& line : sent) {
        const std::string there = reply.substr(std::min(at, reply.size()), line.bytes.size());
        if (there != line.bytes) {
            // All that came matches, but the answer stopped inside the line: it was cut short.
            if (there.size() < line.bytes.size() && line.bytes.compare(0, there.size(), there) == 0) {
                check.result = ProgramCheck::Result::Incomplete;
                return check;
            }
            return Mismatch(check, line.row, HexText(line.bytes), HexText(there));
        }
        at += line.bytes.size();
    }
    // After the lines the drive sends one closing byte. Without it the answer was cut; more
    // than that is a further command when it starts with a command code.
    if (reply.size() == at) {
        check.result = ProgramCheck::Result::Incomplete;
        return check;
    }
    const bool oneMore = reply.size() == at + 1;
    if (sent.empty() ||
        (!oneMore && Module1::TrovaComando(static_cast<unsigned char>(reply[at])) >= 0 && reply[at] != 0)) {
        // With nothing sent only "empty" (15h) matches; a lone byte is then what the drive holds.
        return Mismatch(check, nextRow, std::string(),
                        oneMore ? HexText(reply.substr(at)) : ExtraCommand(reply, at));
    }
    check.result = ProgramCheck::Result::Verified;
    return check;
}

std::string CheckText(const ProgramCheck& check) {
    const std::string head = "PRG. N." + std::to_string(check.program) + " ";
    const std::string crlf = "\r\n";
    auto side = [](const std::string& hex) { return hex.empty() ? std::string("(none)") : hex; };
    switch (check.result) {
    case ProgramCheck::Result::Verified:
        return head + "VERIFIED" + crlf;
    case ProgramCheck::Result::Mismatch:
        return head + "MISMATCH line " + std::to_string(check.line) + crlf + "  sent: " + side(check.sent) +
               crlf + "  read: " + side(check.read) + crlf;
    case ProgramCheck::Result::Incomplete:
        return head + "NOT VERIFIED - incomplete answer" + crlf;
    case ProgramCheck::Result::NoAnswer:
    default:
        return head + "NOT VERIFIED - no answer" + crlf;
    }
}
