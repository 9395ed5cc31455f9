// erase, read-programs, write-programs, verify: the program editor's transfers from a shell.
#include "cli/cli_commands.h"
#include "cli/cli_reads.h"
#include "cli/cli_report.h"
#include "jobs/transfer.h"
#include "model/prgfile.h"
#include "model/replyscan.h"
#include "protocol/catalog.h"
#include "protocol/frame.h"

#include <QFileInfo>
#include <algorithm>
#include <regex>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The transfer's status box, as the window would show it, for the plain-text output.
void SayStatus(CliReport& report, const std::string& status) {
    std::string text;
    for (char c : status)
        if (c != '\r') text += c;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    if (!text.empty()) report.say(text);
}

// The transfer routines with every question answered Yes, the input box answered `answer`,
// the options of the command line, and the progress line kept on a terminal.
TransferIo CliIo(CliLine& cli, int address, std::string& status, CliReport& report, const std::string& what,
                 const CliOptions& o, const std::string& answer = {}) {
    TransferIo io = HeadlessIo(cli.line, status, true);
    io.drive = {cli.target, address};
    io.input = [answer](const std::string&, const std::string&) { return answer; };
    io.options.fast = o.fast;
    io.options.verify = o.verify;
    io.progress = [&report, what](int done, int total) { report.progress(what, done, total); };
    io.cancelled = [] { return CliInterrupted(); };
    return io;
}

std::vector<std::string> LinesOf(const Program& program) {
    std::vector<std::string> lines;
    for (const std::string& line : program)
        if (IsProgramLine(line)) lines.push_back(line);
    return lines;
}

// A program line as the drive stores it: hex pairs with single blanks (a trailing blank, as
// lines read from a drive have, is fine), a catalog code first, exactly that command's length.
bool IsCommandLine(const std::string& line) {
    static const std::regex form("[0-9A-Fa-f]{2}( [0-9A-Fa-f]{2})* ?");
    if (!std::regex_match(line, form)) return false;
    const std::string bytes = BytesOfHexText(line);
    const int code = static_cast<unsigned char>(bytes[0]);
    const int slot = code == 0 ? -1 : Module1::TrovaComando(code);
    return slot >= 0 && static_cast<int>(bytes.size()) == Module1::NtxCmd[slot];
}

// Lines are numbered as the editor's grid numbers them: 0 is the first.
std::string ProgramLineName(int program, int row) {
    return "program " + std::to_string(program) + " line " + std::to_string(row);
}

// The file of write-programs / verify: read, and every line a command the drive can take.
std::optional<PrgStore> LoadChecked(const std::string& path, std::string& error) {
    PrgFileLoad load = LoadPrgFile(path);
    if (!load.content) {
        error = "cannot read " + path + ": " + load.error;
        return std::nullopt;
    }
    const PrgFileContent& c = *load.content;
    if (!c.headerOk) {
        error = path + " is not a program file (its first line is not \"" + PrgFileHeader + "\")";
        return std::nullopt;
    }
    if (c.skippedHighProgram > 0 || c.skippedPastEnd > 0) {
        std::string why = SkippedLinesText(c);
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r'))
            why.pop_back();
        for (char& ch : why)
            if (ch == '\r' || ch == '\n') ch = ';';
        error = path + " holds more than a drive can: " + why;
        return std::nullopt;
    }
    for (int p = 0; p < NumPrograms; ++p)
        for (int i = 0; i < LinesPerProgram; ++i) {
            const std::string& line = c.store[p][i];
            if (IsProgramLine(line) && !IsCommandLine(line)) {
                error = path + ": " + ProgramLineName(p, i) + " \"" + line + "\" is not a catalog command";
                return std::nullopt;
            }
        }
    return c.store;
}

bool AnyProgram(const PrgStore& store) {
    for (const Program& p : store)
        if (!LinesOf(p).empty()) return true;
    return false;
}

std::optional<int> Address(const CliOptions& o, CliReport& report) {
    std::optional<int> add = AddressArgument(o.args[0], false);
    if (add) report.set("address", *add);
    return add;
}

int BadAddress(const CliOptions& o, CliReport& report) {
    return report.finish(ExitUsage, "address " + o.args[0] + " is not 0..31");
}

// Ends a transfer: the status box as the window shows it, then the exit status.
int Finish(CliReport& report, const std::string& status, CliExit exit, const std::string& error = {}) {
    report.set("transfer", Q(status));
    SayStatus(report, status);
    if (report.portFailed()) return report.finish(ExitPort, report.portTrouble());
    if (CliInterrupted()) return report.finish(ExitInterrupted, "interrupted");
    return report.finish(exit, error);
}

const char* CheckName(ProgramCheck::Result r) {
    switch (r) {
    case ProgramCheck::Result::Verified:
        return "verified";
    case ProgramCheck::Result::Mismatch:
        return "mismatch";
    case ProgramCheck::Result::Incomplete:
        return "incomplete answer";
    default:
        return "no answer";
    }
}

// The checks of a verify in the JSON object; the first program that failed, as an error text.
std::string ReportChecks(const std::vector<ProgramCheck>& checks, CliReport& report) {
    std::string failure;
    for (const ProgramCheck& c : checks) {
        QJsonObject program{{"program", c.program}, {"result", CheckName(c.result)}};
        if (c.result == ProgramCheck::Result::Mismatch) {
            QJsonObject m{{"program", c.program}, {"line", c.line}, {"sent", Q(c.sent)}, {"read", Q(c.read)}};
            report.add("mismatches", m);
            if (failure.empty())
                failure = ProgramLineName(c.program, c.line) + " (sent " +
                          (c.sent.empty() ? "no line" : c.sent) + ", read " +
                          (c.read.empty() ? "no line" : c.read) + ")";
        } else if (!c.verified() && failure.empty()) {
            failure = "program " + std::to_string(c.program) + " not verified: " + CheckName(c.result);
        }
        report.add("verified", program);
    }
    return failure;
}

// How far a send got for program q, from the status box: "PRG. N.q..." then a dot per line
// stored, then OK or ERROR.
struct SentProgram {
    bool begun = false; // F0 acknowledged
    int stored = 0;     // lines acknowledged
};
SentProgram SentOf(const std::string& status, int q) {
    SentProgram s;
    const std::string mark = "PRG. N." + std::to_string(q) + "...";
    size_t at = status.find(mark);
    if (at == std::string::npos) return s;
    size_t i = at + mark.size();
    while (i < status.size() && status[i] == '.')
        ++i, ++s.stored;
    s.begun = s.stored > 0 || status.compare(i, 2, "OK") == 0 || status.compare(i, 5, "ERROR") == 0;
    return s;
}

// Why program q was not sent, once its begin and lines are known.
std::string NotSent(const PrgStore& store, const std::string& status, int q) {
    SentProgram s = SentOf(status, q);
    if (!s.begun)
        return "program " + std::to_string(q) + " was not sent: the drive did not accept its begin (F0)";
    int row = -1;
    for (int i = 0, seen = 0; i < LinesPerProgram && row < 0; ++i)
        if (IsProgramLine(store[q][i]) && seen++ == s.stored) row = i;
    if (row < 0)
        return "program " + std::to_string(q) + " was not closed: the drive did not answer its end (F1)";
    return ProgramLineName(q, row) + " was not stored: the drive did not acknowledge it";
}

} // namespace

int RunErase(const CliOptions& o, CliReport& report, CliLine& cli) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const bool all = o.args[1] == "all";
    std::optional<int> program = all ? std::nullopt : ProgramArgument(o.args[1]);
    if (!all && !program) return report.finish(ExitUsage, "program " + o.args[1] + " is not 0..16 or all");
    report.set("program", all ? QJsonValue("all") : QJsonValue(*program));

    std::string status;
    TransferIo io =
        CliIo(cli, *add, status, report, "erase", o, all ? std::string() : std::to_string(*program));
    TransferResult result = all ? DeleteAllPrg(io) : DeletePrg(io);
    // Only the drive's 06 means erased; a script must know what came instead.
    const std::string who = "drive " + std::to_string(*add);
    const std::string answer = report.lastTimedOut() ? std::string() : report.lastReply();
    if (report.portFailed() || CliInterrupted()) return Finish(report, status, ExitDone);
    if (result.ok && answer == "06") return Finish(report, status, ExitDone);
    std::string error = who + " did not acknowledge the erase";
    if (answer.empty())
        error = who + " did not answer the erase";
    else if (answer == "15")
        error = who + " refused the erase (15h)";
    else if (answer != "06")
        error = who + " gave an unexpected answer " + answer + " to the erase";
    return Finish(report, status, ExitDrive, error);
}

int RunReadPrograms(const CliOptions& o, CliReport& report, CliLine& cli) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const std::string path = o.args[1];
    const QFileInfo target(Q(path));
    if (target.isDir() || !QFileInfo(target.absolutePath()).isWritable())
        return report.finish(ExitUsage, "cannot write " + path);

    const std::string who = "drive " + std::to_string(*add);
    const std::string unwritten = "; " + path + " not written";
    PrgStore store{};
    std::string status = "Reading programs from drive...\r\n";
    const TransferIo io = CliIo(cli, *add, status, report, "read-programs", o);
    LineLease lease = cli.line.lease(BusUse::Transfer);
    for (int p = 0; p < NumPrograms; ++p) {
        if (CliInterrupted()) return Finish(report, status, ExitInterrupted, "interrupted");
        report.progress("read-programs", p, NumPrograms);
        const ProgramRead read = ReadProgramAgreed(io, p);
        if (read.kind == ProgramRead::Kind::PortTrouble || read.kind == ProgramRead::Kind::Interrupted)
            return Finish(report, status, ExitInterrupted, "interrupted");
        if (read.kind == ProgramRead::Kind::NoAnswer)
            return Finish(report, status, ExitDrive,
                          who + " did not answer (read of program " + std::to_string(p) + ")" + unwritten);
        const ProgramScan scan = ScanProgramReply(read.instring);
        const bool empty = read.instring == "15";
        status += ReadStatusText(p, empty          ? ReadStatus::Empty
                                    : scan.ready() ? ReadStatus::Ready
                                                   : ReadStatus::Error);
        if (p % 4 == 0 && p < NumPrograms - 1) status += "\r\n";
        if (!read.agreed)
            return Finish(report, status, ExitDrive,
                          who + " gave three different answers to the read of program " + std::to_string(p) +
                              unwritten);
        if (!empty && !scan.ready())
            return Finish(report, status, ExitDrive,
                          "the answer of " + who + " to the read of program " + std::to_string(p) +
                              " was cut short or garbled" + unwritten);
        if (scan.lines.size() > LinesPerProgram)
            return Finish(report, status, ExitDrive,
                          "program " + std::to_string(p) + " of " + who + " holds " +
                              std::to_string(scan.lines.size()) + " lines, more than the editor's " +
                              std::to_string(LinesPerProgram) + unwritten);
        store[p].fill(std::string());
        if (!empty)
            for (size_t i = 0; i < scan.lines.size(); ++i)
                store[p][i] = scan.lines[i];
        report.add("programs", QJsonObject{{"program", p},
                                           {"lines", static_cast<int>(LinesOf(store[p]).size())},
                                           {"reads", read.reads}});
    }
    if (std::optional<std::string> failed = SavePrgFile(path, store))
        return Finish(report, status, ExitUsage, "cannot write " + path + ": " + *failed);
    report.set("transfer", Q(status));
    SayStatus(report, status);
    report.say("17 programs written to " + path);
    return report.finish(ExitDone);
}

int RunWritePrograms(const CliOptions& o, CliReport& report, CliLine& cli) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const std::string path = o.args[1];
    std::string error;
    std::optional<PrgStore> store = LoadChecked(path, error);
    if (!store) return report.finish(ExitUsage, error);
    if (!AnyProgram(*store)) return report.finish(ExitUsage, path + " holds no program; nothing sent");

    {
        // A run killed earlier may have left the drive storing what it is sent as program
        // lines: an end of program first, whatever it is answered (QuietGap, so that its answer
        // is never taken for the erase's).
        std::string ignored;
        const TransferIo io = CliIo(cli, *add, ignored, report, "write-programs", o);
        LineLease lease = cli.line.lease(BusUse::Transfer);
        const PolledExchange closed = EepromExchange(io, std::string(1, static_cast<char>(0xF1)),
                                                     EepromTimeout::End, {}, ReplyEnd::QuietGap);
        if (closed.outcome == Outcome::OpenFailed || closed.outcome == Outcome::LinkLost)
            return Finish(report, std::string(), ExitPort);
        if (!closed.instring.empty() && closed.instring != "06" && closed.instring != "15")
            io.line->unsettle();
    }
    std::string status;
    TransferIo io = CliIo(cli, *add, status, report, "write-programs", o);
    TransferResult result = SendPrg(*store, 99, io);
    if (!o.verify) result.checks.clear();
    std::string failure = ReportChecks(result.checks, report);
    if (!failure.empty()) failure = "verify after sending: " + failure;
    for (int q = 0; q < NumPrograms; ++q) {
        if (LinesOf((*store)[q]).empty()) continue;
        const bool sent = std::find(result.sent.begin(), result.sent.end(), q) != result.sent.end();
        report.add("programs", QJsonObject{{"program", q},
                                           {"lines", static_cast<int>(LinesOf((*store)[q]).size())},
                                           {"sent", sent}});
        if (!sent && failure.empty()) failure = NotSent(*store, status, q);
    }
    if (status.find("Erasing all programs...OK") == std::string::npos)
        return Finish(report, status, ExitDrive,
                      "drive " + std::to_string(*add) + " did not acknowledge the erase; nothing sent");
    if (!failure.empty() || !result.ok)
        return Finish(report, status, ExitDrive, failure.empty() ? "the transfer did not complete" : failure);
    return Finish(report, status, ExitDone);
}

int RunVerify(const CliOptions& o, CliReport& report, CliLine& cli) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    std::string error;
    std::optional<PrgStore> store = LoadChecked(o.args[1], error);
    if (!store) return report.finish(ExitUsage, error);
    const std::string who = "drive " + std::to_string(*add);
    std::string status = "Verifying programs on drive...\r\n";
    std::vector<ProgramCheck> checks;
    const TransferIo io = CliIo(cli, *add, status, report, "verify", o);
    LineLease lease = cli.line.lease(BusUse::Transfer);
    for (int p = 0; p < NumPrograms; ++p) {
        if (CliInterrupted()) break;
        report.progress("verify", p, NumPrograms);
        const ProgramRead read = ReadProgramOnce(io, p);
        if (read.kind == ProgramRead::Kind::PortTrouble || read.kind == ProgramRead::Kind::Interrupted) break;
        if (read.kind == ProgramRead::Kind::NoAnswer) {
            checks.push_back(CompareProgram(p, (*store)[p], std::string()));
            status += CheckText(checks.back());
            ReportChecks(checks, report);
            return Finish(report, status, ExitDrive,
                          who + " did not answer (read of program " + std::to_string(p) + ")");
        }
        if (read.instring != "15" && !ScanProgramReply(read.instring).ready()) io.line->unsettle();
        checks.push_back(CompareProgram(p, (*store)[p], read.instring));
        status += CheckText(checks.back());
    }
    const std::string failure = ReportChecks(checks, report);
    if (report.portFailed() || CliInterrupted())
        return Finish(report, status, ExitInterrupted, "interrupted");
    if (!failure.empty())
        return Finish(report, status, ExitDrive, who + " differs from " + o.args[1] + ": " + failure);
    return Finish(report, status, ExitDone);
}
