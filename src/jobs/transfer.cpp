#include "jobs/transfer.h"

#include "base/numbers.h"
#include "line/serialport.h"
#include "model/replyscan.h"
#include "protocol/frame.h"

#include <algorithm>
#include <cmath>

namespace {

const std::string CrLf = "\r\n";
constexpr int AllPrograms = 99;
// The frame header holds the data length in three bits.
constexpr size_t MaxFrameData = 7;

const char* Say(const TransferIo& io, const char* ita, const char* eng) {
    return io.lingua == 1 ? ita : eng;
}

// A stop of every drive while the question is open ends the operation as a No would.
bool Ask(TransferIo& io, const std::string& question) {
    const unsigned stops = io.line->stops();
    return io.ask && io.ask(question) && io.line->stops() == stops;
}

bool Ask(TransferIo& io, const char* ita, const char* eng) {
    return Ask(io, std::string(Say(io, ita, eng)));
}

std::string Input(TransferIo& io, const std::string& prompt, const std::string& title) {
    const unsigned stops = io.line->stops();
    std::string answer = io.input ? io.input(prompt, title) : std::string();
    return io.line->stops() == stops ? answer : std::string();
}

void Show(TransferIo& io) {
    if (io.showProgram) io.showProgram();
}

std::string Command(unsigned char code) {
    return std::string(1, static_cast<char>(code));
}
std::string Command(unsigned char code, int program) {
    return Command(code) + static_cast<char>(program);
}

// The status box, remembering whether it ends a line (a port failure starts a line of its own).
// What `keep` kept stays in front of whatever is written after it.
class Status {
  public:
    explicit Status(TransferIo& io) : io_(io) {}
    void write(const std::string& text) {
        shown_ = kept_ + text;
        if (io_.setStatus) io_.setStatus(shown_);
        atLineStart_ = shown_.empty() || EndsLine(shown_);
    }
    void append(const std::string& text) {
        if (text.empty()) return;
        shown_ += text;
        if (io_.appendStatus) io_.appendStatus(text);
        atLineStart_ = EndsLine(text);
    }
    void newLine() {
        if (!atLineStart_) append(CrLf);
    }
    void keep() { kept_ = shown_; }

  private:
    static bool EndsLine(const std::string& t) { return t.back() == '\n'; }
    TransferIo& io_;
    std::string shown_, kept_;
    bool atLineStart_ = true;
};

// What the drive said to a command that is done only on 06.
std::string Verdict(const std::string& instring) {
    if (instring == "06") return "OK";
    if (instring.empty()) return "ERROR - no answer";
    if (instring == "15") return "ERROR - refused (15h)";
    return "ERROR - unexpected answer " + instring;
}

// One operation's talk with the drive: its status box, its progress and its pacing. The drive
// is io.drive, fixed when the operation starts: picking another address in the main window
// meanwhile must not send the rest of a program to another drive.
class Session {
  public:
    explicit Session(TransferIo& io) : io(io), status(io) {}

    // The operation will take `total` commands.
    void begin(int total) {
        total_ = total;
        done_ = 0;
        report();
    }
    // Commands the operation no longer needs (a program skipped).
    void skip(int commands) {
        done_ = std::min(done_ + commands, total_);
        report();
    }
    bool cancelRequested() const { return io.cancelled && io.cancelled(); }
    void cancelled(TransferResult& result) {
        result.cancelled = true;
        status.newLine();
        status.append("Transfer cancelled" + CrLf);
    }

    // One EEPROM command. False when the operation must end: the port could not be opened, the
    // adapter vanished (both told in the status box, after "ERROR" when `markError`), or the
    // program is quitting.
    bool send(const std::string& cmd, std::string& instring, double timeout, bool markError = true) {
        const bool read = static_cast<unsigned char>(cmd[0]) == 0xF2;
        ReplyEnd end = ReplyEnd::Fixed;
        if (io.options.fast) end = read ? ReplyEnd::QuietGap : ReplyEnd::OneByte;
        PolledExchange ex = EepromExchange(io, cmd, timeout, instring, end);
        instring = ex.instring;
        broadcast_ = ex.outcome == Outcome::Broadcast;
        // An answer that is not what a drive says may have been cut off or be part of something
        // longer: its rest must not be taken for the next command's answer.
        if (ex.outcome == Outcome::Reply && instring != "15" &&
            (read ? !ScanProgramReply(instring).ready() : instring != "06"))
            io.line->unsettle();
        skip(1);
        switch (ex.outcome) {
        case Outcome::OpenFailed:
        case Outcome::LinkLost:
            if (markError) status.append("ERROR");
            status.newLine();
            if (ex.outcome == Outcome::OpenFailed)
                status.append("PORT ERROR - " + ex.error + CrLf);
            else
                status.append("LINK LOST - COM" + std::to_string(io.drive.line.comPort) + " (" +
                              io.line->port().deviceName() + "): " + ex.error + CrLf);
            return false;
        case Outcome::Aborted:
            // Every drive is being stopped (not the program quitting): the operation ends here.
            if (!io.line->aborted()) {
                stopped_ = true;
                status.newLine();
                status.append("STOPPED" + CrLf);
            }
            return false;
        default:
            return true;
        }
    }

    // The last command went to every drive: no answer was awaited.
    bool broadcast() const { return broadcast_; }
    // Every drive was stopped during the last command: the operation ends.
    bool stopped() const { return stopped_; }
    // The status of a command done only on 06 (a broadcast's stays as it always was).
    std::string verdict(const std::string& instring) const {
        return broadcast_ && instring != "06" ? "ERROR" : Verdict(instring);
    }

    // What the drive may be left with should the operation end here; nothing is remembered of
    // the address every drive hears.
    void remember(LeftWriting left) {
        if (io.drive.address != BroadcastAddress) io.line->setLeftWriting(io.drive, left);
    }

    // Before anything else, a write an earlier operation left open on this drive is closed (F1)
    // and the program it left half written erased (F3). False when that failed: the operation
    // does not go on. What was done stays at the top of the status box.
    bool recover() {
        LeftWriting left = io.line->leftWriting(io.drive);
        std::string instring;
        if (left.open) {
            status.write("Closing a program left open...");
            if (!send(Command(0xF1), instring, EepromTimeout::End)) return false;
            status.append(Verdict(instring) + CrLf);
            if (instring != "06") return false;
            left.open = false;
            remember(left);
            status.keep();
        }
        if (left.program >= 0) {
            status.write("Erasing program " + std::to_string(left.program) + " left half written...");
            instring.clear();
            if (!send(Command(0xF3, left.program), instring, EepromTimeout::Erase)) return false;
            status.append(Verdict(instring) + CrLf);
            if (instring != "06") return false;
            remember({});
        }
        status.keep();
        return true;
    }

    TransferIo& io;
    Status status;

  private:
    void report() {
        if (io.progress) io.progress(done_, total_);
    }
    bool broadcast_ = false;
    bool stopped_ = false;
    int total_ = 0;
    int done_ = 0;
};

bool HasLines(const Program& program) {
    for (const std::string& line : program)
        if (IsProgramLine(line)) return true;
    return false;
}

int LineCount(const Program& program) {
    int n = 0;
    for (const std::string& line : program)
        n += IsProgramLine(line) ? 1 : 0;
    return n;
}

// Reads program `p` back and compares it with the store; the check's lines go to the status box.
// False when the operation must end (port gone).
bool ReadBack(Session& s, int p, const Program& lines, TransferResult& result) {
    std::string instring;
    if (!s.send(Command(0xF2, p), instring, EepromTimeout::Read, false)) return false;
    result.checks.push_back(CompareProgram(p, lines, instring));
    // A reply that differs may be one cut short: its rest is not the next command's answer.
    if (!result.checks.back().verified()) s.io.line->unsettle();
    return true;
}

enum class Written { Ok, Skipped, Failed, Cancelled, Ended };

// Closes program q (F1). True when the drive acknowledged it; the drive is remembered as left
// writing otherwise. `ended` is set when the operation cannot go on (port gone, quitting).
bool Close(Session& s, int q, bool& ended) {
    std::string instring;
    ended = !s.send(Command(0xF1), instring, EepromTimeout::End, false);
    if (ended || instring != "06") return false;
    s.remember({false, q});
    return true;
}

// Program q was cut short: closed (F1) and erased (F3), so that the drive never keeps half of it
// for a start input to run. What it could not do is remembered for the next operation.
Written Cut(Session& s, int q, Written why) {
    bool ended = false;
    bool erased = false;
    if (Close(s, q, ended)) {
        std::string instring;
        ended = !s.send(Command(0xF3, q), instring, EepromTimeout::Erase, false);
        erased = !ended && instring == "06";
    }
    if (ended) return Written::Ended;
    if (erased) s.remember({});
    s.status.newLine();
    s.status.append("PRG. N." + std::to_string(q) + " CANCELLED - " +
                    (erased ? "erased" : "could not be erased") + CrLf);
    return why;
}

// The operation ends while program q is being written: after a stop of every drive the line is
// still there, so the program is closed and erased at once; otherwise the drive is remembered.
Written Ended(Session& s, int q) {
    return s.stopped() ? Cut(s, q, Written::Ended) : Written::Ended;
}

// F0 q, the program's lines, F1; "PRG. N.q..." with a dot a line. The status ends in "OK"
// only when the drive took it (and, when verifying, holds it).
Written WriteProgram(Session& s, const PrgStore& store, int q, TransferResult& result) {
    Status& status = s.status;
    const int lines = LineCount(store[q]);
    const int perProgram = lines + 2 + (s.io.options.verify ? 1 : 0);
    if (s.cancelRequested()) return Written::Cancelled;
    status.append("PRG. N." + std::to_string(q) + "...");
    // From the begin on, until the drive acknowledged the end, the drive may be left writing.
    s.remember({true, q});
    std::string instring;
    if (!s.send(Command(0xF0, q), instring, EepromTimeout::Begin)) return Ended(s, q);
    if (instring != "06") {
        // Refused: the drive is not writing. Unanswered (or garbled): it may be, so the program
        // is closed before anything else goes to the drive.
        bool ended = false;
        if (instring == "15")
            s.remember({});
        else if (!s.broadcast() && !Close(s, q, ended)) {
            if (!ended) status.append(Verdict(instring) + CrLf);
            return Written::Ended;
        }
        s.skip(perProgram - 1);
        return Written::Skipped;
    }
    for (int i = 0; i < LinesPerProgram; ++i) {
        // A copy: the store may be edited while the line is on its way.
        const std::string line = store[q][i];
        if (!IsProgramLine(line)) continue;
        if (s.cancelRequested()) return Cut(s, q, Written::Cancelled);
        std::string bytes = BytesOfHexText(line);
        if (bytes.size() > MaxFrameData) {
            // Its length would not fit the frame header: the drive would read another command.
            status.append("ERROR" + CrLf + "PRG. N." + std::to_string(q) + " line " + std::to_string(i + 1) +
                          ": " + std::to_string(bytes.size()) + " bytes, too long for one frame" + CrLf);
            return Cut(s, q, Written::Ended);
        }
        instring.clear();
        if (!s.send(bytes, instring, EepromTimeout::Line)) return Ended(s, q);
        if (instring != "06") {
            status.append(s.verdict(instring));
            return Cut(s, q, Written::Ended);
        }
        status.append(".");
    }
    instring.clear();
    if (!s.send(Command(0xF1), instring, EepromTimeout::End)) return Ended(s, q);
    if (instring != "06") {
        // Not known to be closed, so not known to be whole.
        status.append(s.verdict(instring));
        return Cut(s, q, Written::Ended);
    }
    s.remember({});
    if (!s.io.options.verify) {
        status.append("OK" + CrLf);
        return Written::Ok;
    }
    if (!ReadBack(s, q, store[q], result)) return Written::Ended;
    const ProgramCheck& check = result.checks.back();
    status.append((check.verified() ? "OK" : "ERROR") + CrLf);
    status.append(CheckText(check));
    return check.verified() ? Written::Ok : Written::Failed;
}

// Erase first (all, or the one program), then each program with lines: F0, its lines, F1.
TransferResult SendRange(PrgStore& store, int program, TransferIo& io) {
    TransferResult result;
    Session s(io);
    Status& status = s.status;
    status.write("");
    bool all = program == AllPrograms;
    int first = all ? 0 : program;
    int last = all ? NumPrograms - 1 : program;
    bool any = first >= 0 && last < NumPrograms;
    if (any) {
        any = false;
        for (int q = first; q <= last; ++q)
            any = any || HasLines(store[q]);
    }
    if (!any) {
        status.append("No program to send" + CrLf);
        return result;
    }
    int total = 1;
    for (int q = first; q <= last; ++q)
        if (HasLines(store[q])) total += LineCount(store[q]) + 2 + (io.options.verify ? 1 : 0);
    s.begin(total);
    if (s.cancelRequested()) {
        s.cancelled(result);
        return result;
    }

    if (!s.recover()) return result;
    std::string instring;
    if (all) {
        status.write("Erasing all programs...");
        if (!s.send(Command(0xF9), instring, EepromTimeout::EraseAll)) return result;
    } else {
        status.write("Erasing program " + std::to_string(program) + "...");
        if (!s.send(Command(0xF3, program), instring, EepromTimeout::Erase)) return result;
        if (s.broadcast()) instring = "06"; // every drive heard it; none answers
    }
    status.append(s.verdict(instring) + CrLf);
    if (instring != "06") return result;
    status.append("Send programs to drive..." + CrLf);

    bool allSent = true;
    for (int q = first; q <= last; ++q) {
        if (!HasLines(store[q])) continue;
        switch (WriteProgram(s, store, q, result)) {
        case Written::Ok:
            result.sent.push_back(q);
            break;
        case Written::Skipped:
        case Written::Failed:
            allSent = false;
            break;
        case Written::Cancelled:
            s.cancelled(result);
            return result;
        case Written::Ended:
            return result;
        }
    }
    result.ok = allSent;
    return result;
}

// A program number typed by the operator: its value, read as every typed value is.
double TypedNumber(const std::string& answer) {
    return Val(answer);
}

bool InProgramRange(double v) {
    return v >= 0 && v <= NumPrograms - 1; // false for NaN too
}

std::string RangeLine(const TransferIo& io) {
    return Say(io, "(da 0 a 16)", "(from 0 to 16)");
}

// Asks until the answer lies in 0..16 (after rounding when `roundFirst`); -1 on an empty answer.
int AskProgramNumber(TransferIo& io, const char* promptIta, const char* promptEng, bool roundFirst) {
    const std::string title = Say(io, "Copia di un programma", "Copy program");
    const std::string prompt = std::string(Say(io, promptIta, promptEng)) + CrLf + RangeLine(io);
    for (;;) {
        std::string answer = Input(io, prompt, title);
        if (answer.empty()) return -1;
        double v = TypedNumber(answer);
        if (roundFirst) v = RoundHalfEven(v);
        if (InProgramRange(v)) return static_cast<int>(RoundHalfEven(v));
    }
}

} // namespace

PolledExchange EepromExchange(const TransferIo& io, const std::string& cmdString, double timeoutSeriale,
                              const std::string& instring, ReplyEnd end) {
    return io.line->polled(io.drive.line, io.drive.address, cmdString, timeoutSeriale, instring, end);
}

TransferIo HeadlessIo(DriveLine& line, std::string& status, bool answer) {
    TransferIo io;
    io.line = &line;
    io.ask = [answer](const std::string&) { return answer; };
    io.input = [](const std::string&, const std::string&) { return std::string(); };
    io.setStatus = [&status](const std::string& s) { status = s; };
    io.appendStatus = [&status](const std::string& s) { status += s; };
    io.beep = [] {};
    io.showProgram = [] {};
    return io;
}

// One drive operation at a time: the line for the whole operation, or a beep and nothing else.
static LineLease Lease(TransferIo& io) {
    LineLease lease = io.line->lease(BusUse::Transfer);
    if (!lease && io.beep) io.beep();
    return lease;
}

TransferResult ReadAllPrg(PrgStore& store, TransferIo& io) {
    TransferResult result;
    LineLease lease = Lease(io);
    if (!lease) return result;
    if (!Ask(io, "Vuoi leggere i programmi dal drive ?", "Read programs from drive ?")) return result;
    Session s(io);
    Status& status = s.status;
    if (!s.recover()) return result;
    status.write("Reading programs from drive..." + CrLf);
    s.begin(NumPrograms);
    bool allRead = true;
    std::string dropped; // lines of a reply that the store has no room for
    for (int p = 0; p < NumPrograms; ++p) {
        if (s.cancelRequested()) {
            s.cancelled(result);
            Show(io);
            return result;
        }
        std::string instring;
        if (!s.send(Command(0xF2, p), instring, EepromTimeout::Read, false)) {
            Show(io);
            return result;
        }
        if (instring == "15") {
            store[p].fill(std::string());
            status.append(ReadStatusText(p, ReadStatus::Empty));
        } else if (instring.empty()) {
            allRead = false;
        } else {
            ProgramScan scan = ScanProgramReply(instring);
            if (scan.ready()) {
                // Only a whole reply replaces the program: a bad one leaves it as it was.
                store[p].fill(std::string());
                for (size_t i = 0; i < scan.lines.size() && i < LinesPerProgram; ++i)
                    store[p][i] = scan.lines[i];
                if (scan.lines.size() > LinesPerProgram)
                    dropped += std::string("PRG ") + (p < 10 ? "0" : "") + std::to_string(p) + " - " +
                               std::to_string(scan.lines.size() - LinesPerProgram) + " lines past line " +
                               std::to_string(LinesPerProgram) + " dropped" + CrLf;
            } else {
                allRead = false;
            }
            status.append(ReadStatusText(p, scan.ready() ? ReadStatus::Ready : ReadStatus::Error));
        }
        if (p % 4 == 0 && p < NumPrograms - 1) status.append(CrLf);
    }
    if (!dropped.empty()) {
        status.newLine();
        status.append(dropped);
    }
    result.ok = allRead && dropped.empty();
    Show(io);
    return result;
}

TransferResult VerifyPrg(const PrgStore& store, TransferIo& io) {
    TransferResult result;
    LineLease lease = Lease(io);
    if (!lease) return result;
    Session s(io);
    if (!s.recover()) return result;
    s.status.write("Verifying programs on drive..." + CrLf);
    s.begin(NumPrograms);
    for (int p = 0; p < NumPrograms; ++p) {
        if (s.cancelRequested()) {
            s.cancelled(result);
            return result;
        }
        if (!ReadBack(s, p, store[p], result)) return result;
        s.status.append(CheckText(result.checks.back()));
    }
    result.ok = true;
    for (const ProgramCheck& check : result.checks)
        result.ok = result.ok && check.verified();
    return result;
}

TransferResult SendPrg(PrgStore& store, int program, TransferIo& io) {
    LineLease lease = Lease(io);
    if (!lease) return {};
    return SendRange(store, program, io);
}

TransferResult SendAllPrg(PrgStore& store, TransferIo& io) {
    LineLease lease = Lease(io);
    if (!lease) return {};
    if (!Ask(io, "Vuoi inviare tutti i programmi al drive ?", "Send all programs to drive ?")) return {};
    return SendRange(store, AllPrograms, io);
}

TransferResult SendCurrentPrg(PrgStore& store, int prgActive, TransferIo& io) {
    LineLease lease = Lease(io);
    if (!lease) return {};
    if (!Ask(io, "Vuoi inviare il programma corrente al drive ?", "Send current program to drive ?"))
        return {};
    return SendRange(store, prgActive, io);
}

TransferResult DeletePrg(TransferIo& io) {
    TransferResult result;
    LineLease lease = Lease(io);
    if (!lease) return result;
    Session s(io);
    s.status.write("");
    std::string answer = Input(
        io,
        std::string(Say(io, "Inserisci il numero del programma da cancellare", "Insert program number")) +
            CrLf + RangeLine(io),
        Say(io, "Cancellazione di un programma", "Erase program"));
    if (answer.empty()) return result;
    double v = RoundHalfEven(TypedNumber(answer));
    if (!InProgramRange(v)) return result;
    int p = static_cast<int>(v);
    if (!s.recover()) return result;
    s.status.write("Erasing program " + std::to_string(p) + "...");
    s.begin(1);
    std::string instring;
    if (!s.send(Command(0xF3, p), instring, EepromTimeout::Erase)) return result;
    if (s.broadcast()) instring = "06"; // every drive heard it; none answers
    result.ok = instring == "06";
    s.status.append(s.verdict(instring) + CrLf);
    return result;
}

TransferResult DeleteAllPrg(TransferIo& io) {
    TransferResult result;
    LineLease lease = Lease(io);
    if (!lease) return result;
    if (!Ask(io, "Vuoi cancellare tutti i programmi ?", "Erase all programs ?")) return result;
    Session s(io);
    if (!s.recover()) return result;
    s.status.write("Erasing all programs...");
    s.begin(1);
    std::string instring;
    if (!s.send(Command(0xF9), instring, EepromTimeout::EraseAll)) return result;
    result.ok = instring == "06";
    s.status.append(s.verdict(instring) + CrLf);
    return result;
}

void CopyPrg(PrgStore& store, TransferIo& io) {
    // No drive traffic, but a copy must not change the store under a running transfer.
    LineLease lease = Lease(io);
    if (!lease) return;
    Status status(io);
    status.write("");
    int source =
        AskProgramNumber(io, "Inserisci il numero del programma da copiare", "Insert program source", false);
    if (source < 0) return;
    int dest = AskProgramNumber(io, "Inserisci il numero del programma destinazione",
                                "Insert program destination", true);
    if (dest < 0) return;
    std::string question =
        io.lingua == 1
            ? "Copia del programma " + SignedText(source) + " in " + SignedText(dest) + "." + CrLf +
                  "La copia cancellerà il contenuto del programma destinazione!" + CrLf + "CONFERMI ?"
            : "Copy program " + SignedText(source) + " to " + SignedText(dest) + "." + CrLf +
                  "The copy destroy all data in destination program!" + CrLf + "CONFIRM ?";
    if (!Ask(io, question)) return;
    // Onto itself the program stays as it is (emptying the destination first would lose it).
    if (source != dest) store[dest] = store[source];
    Show(io);
}
