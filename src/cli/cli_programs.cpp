// erase, read-programs, write-programs, verify: the program editor's transfers from a shell.
#include "app/module1.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_report.h"
#include "editor/prgfile.h"
#include "editor/transfer.h"
#include "editor/transfer_scan.h"
#include "link/frame.h"

#include <QDir>
#include <QFileInfo>
#include <map>
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

// The transfer routines with every question answered Yes and the input box answered `answer`.
TransferIo CliIo(std::string& status, const std::string& answer = {}) {
    TransferIo io = HeadlessIo(status, true);
    io.input = [answer](const std::string&, const std::string&) { return answer; };
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

std::string ProgramLineName(int program, size_t index) {
    return "program " + std::to_string(program) + " line " + std::to_string(index + 1);
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
    for (int p = 0; p < NumPrograms; ++p) {
        std::vector<std::string> lines = LinesOf(c.store[p]);
        for (size_t i = 0; i < lines.size(); ++i)
            if (!IsCommandLine(lines[i])) {
                error =
                    path + ": " + ProgramLineName(p, i) + " \"" + lines[i] + "\" is not a catalog command";
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
    if (add) {
        report.set("address", *add);
        Module1::Indirizzo = static_cast<int16_t>(*add);
    }
    return add;
}

int BadAddress(const CliOptions& o, CliReport& report) {
    return report.finish(ExitUsage, "address " + o.args[0] + " is not 0..31");
}

int PortFailure(CliReport& report, const std::string& status) {
    SayStatus(report, status);
    return report.finish(ExitPort, "port " + report.portError());
}

// Reads all 17 programs into `store`. Empty error when every program came back.
std::string ReadDrive(PrgStore& store, CliReport& report, std::string& status) {
    TransferIo io = CliIo(status);
    ReadAllPrg(store, io);
    if (report.portFailed()) return "port";
    static const std::regex read("PRG (\\d\\d) - (EMPTY|READY|ERROR)");
    std::map<int, std::string> results;
    for (std::sregex_iterator it(status.begin(), status.end(), read), end; it != end; ++it)
        results[std::stoi((*it)[1])] = (*it)[2];
    for (int p = 0; p < NumPrograms; ++p) {
        auto it = results.find(p);
        if (it == results.end())
            return "program " + std::to_string(p) + " was not read: the drive did not answer";
        if (it->second == "ERROR")
            return "program " + std::to_string(p) + " was not read: its reply was garbled";
    }
    if (status.find("dropped") != std::string::npos)
        return "the drive holds more lines than a program file can (see above)";
    return {};
}

struct Mismatch {
    int program = 0;
    size_t line = 0; // index, shown counted from 1
    std::string sent, read;
};

// Compares the file's programs with the drive's, line by line; the first difference of each.
std::vector<Mismatch> Compare(const PrgStore& file, const PrgStore& drive) {
    std::vector<Mismatch> out;
    for (int p = 0; p < NumPrograms; ++p) {
        std::vector<std::string> a = LinesOf(file[p]), b = LinesOf(drive[p]);
        for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            std::string sa = i < a.size() ? a[i] : std::string(), sb = i < b.size() ? b[i] : std::string();
            if (BytesOfHexText(sa) != BytesOfHexText(sb)) {
                auto trim = [](std::string s) {
                    while (!s.empty() && s.back() == ' ')
                        s.pop_back();
                    return s;
                };
                out.push_back({p, i, trim(sa), trim(sb)});
                break;
            }
        }
    }
    return out;
}

// Reads the drive back and compares with `file`. Returns the exit status (after finish).
int VerifyAgainst(const PrgStore& file, const std::string& path, CliReport& report) {
    PrgStore drive{};
    std::string status;
    std::string error = ReadDrive(drive, report, status);
    if (error == "port") return PortFailure(report, status);
    if (!error.empty()) {
        SayStatus(report, status);
        return report.finish(ExitDrive, error);
    }
    std::vector<Mismatch> mismatches = Compare(file, drive);
    size_t next = 0;
    for (int p = 0; p < NumPrograms; ++p) {
        QJsonObject program;
        program.insert("program", p);
        if (next < mismatches.size() && mismatches[next].program == p) {
            const Mismatch& m = mismatches[next++];
            report.say("PRG. N." + std::to_string(p) + " MISMATCH line " + std::to_string(m.line + 1));
            report.say("  file:  " + (m.sent.empty() ? std::string("(no line)") : m.sent));
            report.say("  drive: " + (m.read.empty() ? std::string("(no line)") : m.read));
            program.insert("verify", "mismatch");
            QJsonObject mj;
            mj.insert("program", p);
            mj.insert("line", static_cast<int>(m.line + 1));
            mj.insert("file", Q(m.sent));
            mj.insert("drive", Q(m.read));
            report.add("mismatches", mj);
        } else if (!LinesOf(file[p]).empty()) {
            report.say("PRG. N." + std::to_string(p) + " VERIFIED");
            program.insert("verify", "verified");
        } else {
            program.insert("verify", "verified");
        }
        report.add("verified", program);
    }
    if (!mismatches.empty()) {
        const Mismatch& m = mismatches.front();
        return report.finish(ExitDrive, "the drive differs from " + path + ": " +
                                            ProgramLineName(m.program, m.line) + " (file " +
                                            (m.sent.empty() ? "no line" : m.sent) + ", drive " +
                                            (m.read.empty() ? "no line" : m.read) + ")");
    }
    report.say("The drive's programs match " + path);
    return report.finish(ExitDone);
}

// How far a send got for program q, from the status box: "PRG. N.q..." then a dot per line
// stored, then OK or ERROR.
struct SentProgram {
    bool begun = false;  // F0 acknowledged
    size_t stored = 0;   // lines acknowledged
    bool closed = false; // ended with OK
};
SentProgram SentOf(const std::string& status, int q) {
    SentProgram s;
    const std::string mark = "PRG. N." + std::to_string(q) + "...";
    size_t at = status.find(mark);
    if (at == std::string::npos) return s;
    size_t i = at + mark.size();
    while (i < status.size() && status[i] == '.')
        ++i, ++s.stored;
    s.closed = status.compare(i, 2, "OK") == 0;
    s.begun = s.closed || s.stored > 0 || status.compare(i, 5, "ERROR") == 0;
    return s;
}

} // namespace

int RunErase(const CliOptions& o, CliReport& report) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const bool all = o.args[1] == "all";
    std::optional<int> program = all ? std::nullopt : ProgramArgument(o.args[1]);
    if (!all && !program) return report.finish(ExitUsage, "program " + o.args[1] + " is not 0..16 or all");
    report.set("program", all ? QJsonValue("all") : QJsonValue(*program));

    std::string status;
    TransferIo io = CliIo(status, all ? std::string() : std::to_string(*program));
    if (all)
        DeleteAllPrg(io);
    else
        DeletePrg(io);
    report.set("transfer", Q(status));
    if (report.portFailed()) return PortFailure(report, status);
    SayStatus(report, status);
    const std::string who = "drive " + std::to_string(*add);
    if (report.lastTimedOut()) return report.finish(ExitDrive, who + " did not answer");
    if (report.lastReply() == "15") return report.finish(ExitDrive, who + " refused the erase (15h)");
    if (all && report.lastReply() != "06")
        return report.finish(ExitDrive, who + " did not acknowledge the erase");
    return report.finish(ExitDone);
}

int RunReadPrograms(const CliOptions& o, CliReport& report) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const std::string path = o.args[1];
    const QFileInfo target(Q(path));
    if (target.isDir() || !QFileInfo(target.absolutePath()).isWritable())
        return report.finish(ExitUsage, "cannot write " + path);

    report.expectFrames(NumPrograms, "read-programs");
    PrgStore store{};
    std::string status;
    std::string error = ReadDrive(store, report, status);
    report.set("transfer", Q(status));
    if (error == "port") return PortFailure(report, status);
    SayStatus(report, status);
    for (int p = 0; p < NumPrograms; ++p) {
        QJsonObject program;
        program.insert("program", p);
        program.insert("lines", static_cast<int>(LinesOf(store[p]).size()));
        report.add("programs", program);
    }
    if (!error.empty()) return report.finish(ExitDrive, error + "; " + path + " not written");
    if (std::optional<std::string> failed = SavePrgFile(path, store))
        return report.finish(ExitUsage, "cannot write " + path + ": " + *failed);
    report.say("17 programs written to " + path);
    return report.finish(ExitDone);
}

int RunWritePrograms(const CliOptions& o, CliReport& report) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    const std::string path = o.args[1];
    std::string error;
    std::optional<PrgStore> store = LoadChecked(path, error);
    if (!store) return report.finish(ExitUsage, error);
    if (!AnyProgram(*store)) return report.finish(ExitUsage, path + " holds no program; nothing sent");

    int frames = 1; // erase all
    for (const Program& p : *store)
        if (size_t n = LinesOf(p).size()) frames += static_cast<int>(n) + 2;
    report.expectFrames(frames + (o.verify ? NumPrograms : 0), "write-programs");

    std::string status;
    TransferIo io = CliIo(status);
    SendPrg(*store, 99, io);
    report.set("transfer", Q(status));
    if (report.portFailed()) return PortFailure(report, status);
    SayStatus(report, status);
    if (status.rfind("Erasing all programs...OK", 0) != 0)
        return report.finish(ExitDrive, "drive " + std::to_string(*add) +
                                            " did not acknowledge the erase; nothing sent");

    std::string failure;
    for (int q = 0; q < NumPrograms; ++q) {
        const size_t lines = LinesOf((*store)[q]).size();
        if (lines == 0) continue;
        SentProgram s = SentOf(status, q);
        QJsonObject program;
        program.insert("program", q);
        program.insert("lines", static_cast<int>(lines));
        program.insert("sent", s.closed && s.stored == lines);
        report.add("programs", program);
        if (!failure.empty() || (s.closed && s.stored == lines)) continue;
        if (!s.begun)
            failure =
                "program " + std::to_string(q) + " was not sent: the drive did not accept its begin (F0)";
        else
            failure = ProgramLineName(q, s.stored) + " was not stored: the drive did not acknowledge it";
    }
    if (!failure.empty()) return report.finish(ExitDrive, failure);
    if (o.verify) return VerifyAgainst(*store, path, report);
    return report.finish(ExitDone);
}

int RunVerify(const CliOptions& o, CliReport& report) {
    std::optional<int> add = Address(o, report);
    if (!add) return BadAddress(o, report);
    std::string error;
    std::optional<PrgStore> store = LoadChecked(o.args[1], error);
    if (!store) return report.finish(ExitUsage, error);
    report.expectFrames(NumPrograms, "verify");
    return VerifyAgainst(*store, o.args[1], report);
}
