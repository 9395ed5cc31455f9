#include "editor/transfer.h"

#include "app/module1.h"
#include "app/numbers.h"
#include "editor/transfer_scan.h"
#include "link/buswait.h"
#include "link/frame.h"
#include "link/serialport.h"

#include <cmath>

namespace {

const std::string CrLf = "\r\n";
constexpr int AllPrograms = 99;
// The frame header holds the data length in three bits.
constexpr size_t MaxFrameData = 7;

const char* Say(const char* ita, const char* eng) {
    return Module1::Lingua == 1 ? ita : eng;
}

bool Ask(TransferIo& io, const char* ita, const char* eng) {
    return io.ask && io.ask(Say(ita, eng));
}

std::string Input(TransferIo& io, const std::string& prompt, const std::string& title) {
    return io.input ? io.input(prompt, title) : std::string();
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
class Status {
  public:
    explicit Status(TransferIo& io) : io_(io) {}
    void write(const std::string& text) {
        if (io_.setStatus) io_.setStatus(text);
        atLineStart_ = text.empty() || EndsLine(text);
    }
    void append(const std::string& text) {
        if (text.empty()) return;
        if (io_.appendStatus) io_.appendStatus(text);
        atLineStart_ = EndsLine(text);
    }
    void newLine() {
        if (!atLineStart_) append(CrLf);
    }

  private:
    static bool EndsLine(const std::string& t) { return t.back() == '\n'; }
    TransferIo& io_;
    bool atLineStart_ = true;
};

// One EEPROM command. False when the operation must end: the port could not be opened, the
// adapter vanished (both told in the status box, after "ERROR" when `markError`), or the
// program is quitting.
bool Send(Status& status, const std::string& cmd, std::string& instring, double timeout,
          bool markError = true) {
    PolledExchange ex = EepromExchange(Module1::Indirizzo, cmd, timeout, instring);
    instring = ex.instring;
    switch (ex.outcome) {
    case Outcome::OpenFailed:
    case Outcome::LinkLost:
        if (markError) status.append("ERROR");
        status.newLine();
        if (ex.outcome == Outcome::OpenFailed)
            status.append("PORT ERROR - " + ex.error + CrLf);
        else
            status.append("LINK LOST - COM" + std::to_string(Module1::ComPort) + " (" +
                          SharedPort()->deviceName() + "): " + ex.error + CrLf);
        return false;
    case Outcome::Aborted:
        return false;
    default:
        return true;
    }
}

bool HasLines(const Program& program) {
    for (const std::string& line : program)
        if (IsProgramLine(line)) return true;
    return false;
}

// Erase first (all, or the one program), then each program with lines: F0, its lines, F1.
void SendRange(PrgStore& store, int program, TransferIo& io) {
    Status status(io);
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
        return;
    }

    std::string instring;
    if (all) {
        status.write("Erasing all programs...");
        if (!Send(status, Command(0xF9), instring, EepromTimeout::EraseAll)) return;
        if (instring != "06") {
            status.append("ERROR" + CrLf);
            return;
        }
        status.append("OK" + CrLf);
    } else {
        status.write("Erasing program " + std::to_string(program) + "...");
        if (!Send(status, Command(0xF3, program), instring, EepromTimeout::Erase)) return;
        status.append("OK" + CrLf);
    }
    status.append("Send programs to drive..." + CrLf);

    for (int q = first; q <= last; ++q) {
        if (!HasLines(store[q])) continue;
        status.append("PRG. N." + std::to_string(q) + "...");
        instring.clear();
        if (!Send(status, Command(0xF0, q), instring, EepromTimeout::Begin)) return;
        if (instring != "06") continue;
        for (int i = 0; i < LinesPerProgram; ++i) {
            // A copy: the store may be edited while the line is on its way.
            const std::string line = store[q][i];
            if (!IsProgramLine(line)) continue;
            std::string bytes = BytesOfHexText(line);
            if (bytes.size() > MaxFrameData) {
                // Its length would not fit the frame header: the drive would read another
                // command. Close the program and say which line it was.
                status.append("ERROR");
                instring.clear();
                if (Send(status, Command(0xF1), instring, EepromTimeout::End))
                    status.append(CrLf + "PRG. N." + std::to_string(q) + " line " + std::to_string(i + 1) +
                                  ": " + std::to_string(bytes.size()) + " bytes, too long for one frame" +
                                  CrLf);
                return;
            }
            instring.clear();
            if (!Send(status, bytes, instring, EepromTimeout::Line)) return;
            if (instring != "06") {
                status.append("ERROR");
                instring.clear();
                Send(status, Command(0xF1), instring, EepromTimeout::End, false);
                return;
            }
            status.append(".");
        }
        instring.clear();
        if (!Send(status, Command(0xF1), instring, EepromTimeout::End)) return;
        status.append("OK" + CrLf);
    }
}

// A program number typed by the operator: its value, read as every typed value is.
double TypedNumber(const std::string& answer) {
    return Val(answer);
}

bool InProgramRange(double v) {
    return v >= 0 && v <= NumPrograms - 1; // false for NaN too
}

std::string RangeLine() {
    return Say("(da 0 a 16)", "(from 0 to 16)");
}

// Asks until the answer lies in 0..16 (after rounding when `roundFirst`); -1 on an empty answer.
int AskProgramNumber(TransferIo& io, const char* promptIta, const char* promptEng, bool roundFirst) {
    const std::string title = Say("Copia di un programma", "Copy program");
    const std::string prompt = std::string(Say(promptIta, promptEng)) + CrLf + RangeLine();
    for (;;) {
        std::string answer = Input(io, prompt, title);
        if (answer.empty()) return -1;
        double v = TypedNumber(answer);
        if (roundFirst) v = RoundHalfEven(v);
        if (InProgramRange(v)) return static_cast<int>(RoundHalfEven(v));
    }
}

} // namespace

PolledExchange EepromExchange(int add, const std::string& cmdString, double timeoutSeriale,
                              const std::string& instring) {
    SerialPort* port = SharedPort();
    if (!port) {
        PolledExchange ex;
        ex.outcome = Outcome::OpenFailed;
        ex.instring = instring;
        ex.error = "COM" + std::to_string(Module1::ComPort) + ": no serial port";
        return ex;
    }
    return PolledTransaction(*port, add, cmdString, timeoutSeriale, instring);
}

TransferIo HeadlessIo(std::string& status, bool answer) {
    TransferIo io;
    io.ask = [answer](const std::string&) { return answer; };
    io.input = [](const std::string&, const std::string&) { return std::string(); };
    io.setStatus = [&status](const std::string& s) { status = s; };
    io.appendStatus = [&status](const std::string& s) { status += s; };
    io.beep = [] {};
    io.showProgram = [] {};
    return io;
}

// One drive operation at a time: while another runs, a beep and nothing else.
static bool Refused(const BusOperation& bus, TransferIo& io) {
    if (bus.acquired()) return false;
    if (io.beep) io.beep();
    return true;
}

void TxRxCMDEEPROM(int add, const std::string& cmdString, std::string& instring, double timeoutSeriale) {
    instring = EepromExchange(add, cmdString, timeoutSeriale, instring).instring;
}

void ReadAllPrg(PrgStore& store, TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    if (!Ask(io, "Vuoi leggere i programmi dal drive ?", "Read programs from drive ?")) return;
    Status status(io);
    status.write("Reading programs from drive..." + CrLf);
    std::string dropped; // lines of a reply that the store has no room for
    for (int p = 0; p < NumPrograms; ++p) {
        std::string instring;
        if (!Send(status, Command(0xF2, p), instring, EepromTimeout::Read, false)) {
            Show(io);
            return;
        }
        if (instring == "15") {
            store[p].fill(std::string());
            status.append(ReadStatusText(p, ReadStatus::Empty));
        } else if (!instring.empty()) {
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
            }
            status.append(ReadStatusText(p, scan.ready() ? ReadStatus::Ready : ReadStatus::Error));
        }
        if (p % 4 == 0 && p < NumPrograms - 1) status.append(CrLf);
    }
    if (!dropped.empty()) {
        status.newLine();
        status.append(dropped);
    }
    Show(io);
}

void SendPrg(PrgStore& store, int program, TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    SendRange(store, program, io);
}

void SendAllPrg(PrgStore& store, TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    if (!Ask(io, "Vuoi inviare tutti i programmi al drive ?", "Send all programs to drive ?")) return;
    SendRange(store, AllPrograms, io);
}

void SendCurrentPrg(PrgStore& store, int prgActive, TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    if (!Ask(io, "Vuoi inviare il programma corrente al drive ?", "Send current program to drive ?")) return;
    SendRange(store, prgActive, io);
}

void DeletePrg(TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    Status status(io);
    status.write("");
    std::string answer =
        Input(io,
              std::string(Say("Inserisci il numero del programma da cancellare", "Insert program number")) +
                  CrLf + RangeLine(),
              Say("Cancellazione di un programma", "Erase program"));
    if (answer.empty()) return;
    double v = RoundHalfEven(TypedNumber(answer));
    if (!InProgramRange(v)) return;
    int p = static_cast<int>(v);
    status.write("Erasing program " + std::to_string(p) + "...");
    std::string instring;
    if (!Send(status, Command(0xF3, p), instring, EepromTimeout::Erase)) return;
    status.append("OK" + CrLf);
}

void DeleteAllPrg(TransferIo& io) {
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    if (!Ask(io, "Vuoi cancellare tutti i programmi ?", "Erase all programs ?")) return;
    Status status(io);
    status.write("Erasing all programs...");
    std::string instring;
    if (!Send(status, Command(0xF9), instring, EepromTimeout::EraseAll)) return;
    status.append((instring == "06" ? "OK" : "ERROR") + CrLf);
}

void CopyPrg(PrgStore& store, TransferIo& io) {
    // No drive traffic, but a copy must not change the store under a running transfer.
    BusOperation bus(BusUse::Transfer);
    if (Refused(bus, io)) return;
    Status status(io);
    status.write("");
    int source =
        AskProgramNumber(io, "Inserisci il numero del programma da copiare", "Insert program source", false);
    if (source < 0) return;
    int dest = AskProgramNumber(io, "Inserisci il numero del programma destinazione",
                                "Insert program destination", true);
    if (dest < 0) return;
    std::string question =
        Module1::Lingua == 1
            ? "Copia del programma " + SignedText(source) + " in " + SignedText(dest) + "." + CrLf +
                  "La copia cancellerà il contenuto del programma destinazione!" + CrLf + "CONFERMI ?"
            : "Copy program " + SignedText(source) + " to " + SignedText(dest) + "." + CrLf +
                  "The copy destroy all data in destination program!" + CrLf + "CONFIRM ?";
    if (!io.ask || !io.ask(question)) return;
    // Onto itself the program stays as it is (emptying the destination first would lose it).
    if (source != dest) store[dest] = store[source];
    Show(io);
}
