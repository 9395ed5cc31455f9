#include "cli/cli_args.h"

#include "base/numbers.h"
#include "line/driveline.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

struct CommandShape {
    const char* name;
    size_t minArgs, maxArgs;
    const char* usage;
    const char* help;
};

const CommandShape Commands[] = {
    {"send", 2, 4, "send ADDRESS CODE [VALUE [VALUE2]]",
     "Sends one catalog command to the drive at ADDRESS (0..31, or switchall for every drive) and\n"
     "prints the frame sent, the reply as hex and, for read commands, the decoded text.\n"
     "\n"
     "CODE is the command code in decimal (168) or hex (0xA8). VALUE is checked against the\n"
     "command's limits exactly as the window's value prompt checks it; negative values are typed\n"
     "as they are (send 3 48 -1000 moves drive 3 to -1000). Commands without data take no VALUE.\n"
     "Commands whose value comes from a dialog in the window take the bytes it would produce:\n"
     "  trigger commands (41 42 44 175 176 177 204 212)  VALUE = input byte: IN1=1 IN2=2 IN3=4,\n"
     "                                                  high level LEV1=16 LEV2=32 LEV3=64\n"
     "  zero at flight (160)                            VALUE = input byte, VALUE2 = quota\n"
     "  spot levels (198)                               VALUE = MIN, VALUE2 = MAX (0..255 each),\n"
     "                                                  or VALUE = MIN x 256 + MAX\n"
     "  stand-still current reduction (39)              VALUE = code x 64 + time (n x 32 ms)\n"
     "\n"
     "A drive gets 1 s to answer. A command without read data counts as done only when the drive\n"
     "acknowledges it (06). Exit 1 when the drive does not answer, refuses (15h), or answers a\n"
     "command without read data with any other byte (\"unexpected answer\"). A read command needs\n"
     "its reply's full length; what the reply holds is shown as it came.\n"
     "\n"
     "Examples:\n"
     "  vardelo-cli send 1 168 3000        motor current 3000 mA on drive 1\n"
     "  vardelo-cli send 3 48 -1000        absolute positioning of drive 3 to -1000\n"
     "  vardelo-cli send 2 18              read the present position of drive 2\n"
     "  vardelo-cli send switchall 17      stop every drive\n"},
    {"read-programs", 2, 2, "read-programs ADDRESS FILE [--fast]",
     "Reads all 17 programs of the drive at ADDRESS into FILE, in the program editor's file\n"
     "format. Each program is read until two reads agree (at most three). FILE is written only\n"
     "when every program was read; an existing FILE is otherwise left as it was. The run stops\n"
     "at the first program the drive does not answer at all (about 3 s against an absent drive).\n"
     "Exit 1 when a program could not be read.\n"
     "\n"
     "  --fast     accepted for scripts; every read already ends when the line falls quiet\n"
     "\n"
     "A reply cut exactly at the end of a command cannot be told from a whole one: the drive\n"
     "marks a program's end with one byte that is no command, and a reply that lost it after a\n"
     "one-byte last command reads as a whole program one line shorter.\n"},
    {"write-programs", 2, 2, "write-programs ADDRESS FILE [--no-verify] [--fast]",
     "Erases all programs of the drive at ADDRESS, then sends every program of FILE (a file saved\n"
     "by the program editor) and reads each one back to compare it with FILE. The file is checked\n"
     "first: a file that is not a program file, a program line that is no catalog command, or\n"
     "lines the drive could not hold refuse the run with exit 2 before anything is sent.\n"
     "The run starts with an end of program (F1), whose answer is not examined: a run killed\n"
     "earlier may have left the drive storing what it is sent as program lines.\n"
     "\n"
     "  --no-verify  do not read the programs back (a refused or cut reply may then go unnoticed)\n"
     "  --verify     read each program back (the default; kept for older scripts)\n"
     "  --fast       move on as soon as the drive has answered, instead of the fixed waits\n"
     "               (a drive that does not answer is still waited for as long)\n"
     "\n"
     "Exit 1 when the drive does not acknowledge a step or the verify finds a mismatch. Lines\n"
     "are numbered as in the program editor: line 0 is the first. A reply cut exactly at the end\n"
     "of a command cannot be told from a whole one (see read-programs --help).\n"},
    {"verify", 2, 2, "verify ADDRESS FILE [--fast]",
     "Reads the programs of the drive at ADDRESS and compares them with FILE, line by line;\n"
     "the drive is not changed. Exit 1 on a difference, naming the program and the line (line 0\n"
     "is the first, as in the program editor), and at the first program the drive does not\n"
     "answer at all (about 3 s against an absent drive).\n"
     "\n"
     "  --fast     accepted for scripts; every read already ends when the line falls quiet\n"
     "\n"
     "A reply cut exactly at the end of a command cannot be told from a whole one on its own;\n"
     "compared with FILE it shows as a difference, never as verified.\n"},
    {"erase", 2, 2, "erase ADDRESS (PROGRAM | all)",
     "Erases program PROGRAM (0..16), or all programs, on the drive at ADDRESS.\n"
     "OK only when the drive acknowledges (06). Exit 1 when it does not answer, refuses (15h)\n"
     "or answers anything else.\n"},
    {"scan", 0, 0, "scan",
     "Asks every address 0..31 for its drive type and software release and lists the drives\n"
     "that answer. Exit 1 when none answers.\n"},
    {"stop", 0, 0, "stop",
     "Stops every drive on the line: the broadcast Stop (code 17 to switchall), sent twice 30 ms\n"
     "apart so that a reply on the line cannot swallow it. Exit 0 once both frames are handed to\n"
     "the system, 3 when the port cannot be opened or is lost.\n"},
};

const CommandShape* FindCommand(const std::string& name) {
    for (const CommandShape& c : Commands)
        if (name == c.name) return &c;
    return nullptr;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// "-5", "-.5", "-1e3", "-0x10" are values, not options; so are "-inf" and "-nan", which the value
// check then refuses as no number.
bool LooksLikeNumber(const std::string& w) {
    if (w.size() < 2 || w[0] != '-') return false;
    if (std::isdigit(static_cast<unsigned char>(w[1])) || w[1] == '.' || w[1] == '&') return true;
    const std::string word = Lower(w.substr(1));
    return word == "inf" || word == "infinity" || word == "nan";
}

std::optional<long> WholeNumber(const std::string& text) {
    std::optional<double> v = NumberArgument(text);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 1e9) return std::nullopt;
    return static_cast<long>(*v);
}

} // namespace

std::optional<double> NumberArgument(const std::string& text) {
    std::string s = text;
    bool negative = false;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string rest = s.substr(i);
    if (rest.size() > 2 && (Lower(rest.substr(0, 2)) == "&h" || Lower(rest.substr(0, 2)) == "0x")) {
        double v = 0;
        for (size_t k = 2; k < rest.size(); ++k) {
            int c = std::tolower(static_cast<unsigned char>(rest[k]));
            if (!std::isxdigit(c)) return std::nullopt;
            v = v * 16 + (c <= '9' ? c - '0' : c - 'a' + 10);
        }
        return negative ? -v : v;
    }
    // [digits][.digits][e[sign]digits], read with "." whatever the locale.
    if (rest.empty() || rest[0] == '+' || rest[0] == '-') return std::nullopt;
    std::optional<double> v = ParseNumber(rest);
    if (!v) return std::nullopt;
    return negative ? -*v : *v;
}

std::optional<int> AddressArgument(const std::string& text, bool allowSwitchall) {
    if (Lower(text) == "switchall") {
        if (!allowSwitchall) return std::nullopt;
        return BroadcastAddress;
    }
    std::optional<long> v = WholeNumber(text);
    if (!v || *v < 0 || *v > 31) return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<int> ProgramArgument(const std::string& text) {
    std::optional<long> v = WholeNumber(text);
    if (!v || *v < 0 || *v > 16) return std::nullopt;
    return static_cast<int>(*v);
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words) {
    ParsedCommandLine parsed;
    CliOptions& o = parsed.options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    bool verifyAsked = false, noVerifyAsked = false;
    auto fail = [&](std::string why) {
        if (parsed.error.empty()) parsed.error = std::move(why);
    };

    for (size_t i = 0; i < words.size(); ++i) {
        std::string w = words[i];
        if (optionsEnded || w.empty() || w[0] != '-' || w == "-" || LooksLikeNumber(w)) {
            positional.push_back(w);
            continue;
        }
        if (w == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        if (size_t eq = w.find('='); w.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = w.substr(eq + 1);
            w = w.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= words.size()) {
                fail(w + " needs a value");
                return false;
            }
            value = words[++i];
            return true;
        };
        auto noValue = [&] {
            if (hasValue) fail(w + " takes no value");
        };

        if (w == "--port") {
            if (!takeValue()) continue;
            std::string v = Lower(value);
            if (v.rfind("com", 0) == 0) v = v.substr(3);
            std::optional<long> n = WholeNumber(v);
            if (!n || *n < 1 || *n > 255)
                fail("--port wants COM1, COM2, ... (not " + value + ")");
            else
                o.comPort = static_cast<int>(*n);
        } else if (w == "--device") {
            if (!takeValue()) continue;
            if (value.empty())
                fail("--device wants a device path");
            else
                o.device = value;
        } else if (w == "--baud") {
            if (!takeValue()) continue;
            if (value != "9600" && value != "19200")
                fail("--baud wants 9600 or 19200 (not " + value + ")");
            else
                o.baud = std::atoi(value.c_str());
        } else if (w == "--json") {
            noValue();
            o.json = true;
        } else if (w == "--quiet" || w == "-q") {
            noValue();
            o.quiet = true;
        } else if (w == "--help" || w == "-h") {
            noValue();
            o.help = true;
        } else if (w == "--version") {
            noValue();
            o.version = true;
        } else if (w == "--verify") {
            noValue();
            verifyAsked = true;
        } else if (w == "--no-verify") {
            noValue();
            o.verify = false;
            noVerifyAsked = true;
        } else if (w == "--fast") {
            noValue();
            o.fast = true;
        } else {
            fail("unknown option " + w);
        }
    }
    if (o.comPort && !o.device.empty()) fail("--port and --device exclude each other");
    if (verifyAsked && noVerifyAsked) fail("--verify and --no-verify exclude each other");
    o.verifyOption = verifyAsked || noVerifyAsked;

    if (!positional.empty()) {
        o.command = positional.front();
        o.args.assign(positional.begin() + 1, positional.end());
        // "help send" reads as "send --help".
        if (o.command == "help") {
            o.help = true;
            o.command = o.args.empty() ? std::string() : o.args.front();
            o.args.clear();
        }
    }
    if (!o.command.empty() && !IsCommand(o.command)) fail("unknown command " + o.command);
    return parsed;
}

bool IsCommand(const std::string& name) {
    return FindCommand(name) != nullptr;
}

std::string CheckCommandShape(const CliOptions& o) {
    const CommandShape* c = FindCommand(o.command);
    if (!c) return "no command given";
    if (o.verifyOption && o.command != "write-programs")
        return "--verify and --no-verify belong to write-programs";
    if (o.fast && o.command != "write-programs" && o.command != "read-programs" && o.command != "verify")
        return "--fast belongs to write-programs, read-programs and verify";
    if (o.args.size() < c->minArgs || o.args.size() > c->maxArgs)
        return std::string("usage: vardelo-cli [options] ") + c->usage;
    return {};
}

std::string GeneralHelp() {
    std::string text =
        "vardelo-cli: set up and program KMD drives from a shell\n"
        "\n"
        "usage: vardelo-cli [--port COMn | --device PATH] [--baud 9600|19200] [--json] [--quiet]\n"
        "                   COMMAND ...\n"
        "\n"
        "Commands:\n";
    for (const CommandShape& c : Commands)
        text += std::string("  ") + c.usage + "\n";
    text += "\n"
            "Options:\n"
            "  --port COMn     the serial port, as in the window's serial settings\n"
            "  --device PATH   any serial device (/dev/ttyACM0, /dev/serial/by-id/...) instead\n"
            "  --baud RATE     9600 or 19200\n"
            "  --json          print one JSON object (frames, replies, texts, statuses, mismatches)\n"
            "  --quiet         print nothing but errors\n"
            "  --help          this text; COMMAND --help tells about one command\n"
            "\n"
            "Without --port or --device the port and rate of vdcfg.cfg in the working directory are used\n"
            "(the window's settings), else COM1 at 9600. A device chosen for that COM number in the\n"
            "window's serial settings is used too. ADDRESS is 0..31. Program files are the program\n"
            "editor's files.\n"
            "\n"
            "Exit status: 0 done; 1 the drive did not answer, refused (15h), or a verify found a\n"
            "mismatch; 2 usage error or value refused (nothing sent); 3 the port cannot be opened or was\n"
            "lost; 130 interrupted (Ctrl+C): the transfer stopped between two commands, closing a\n"
            "program being written.\n";
    return text;
}

std::string CommandHelp(const std::string& command) {
    const CommandShape* c = FindCommand(command);
    if (!c) return GeneralHelp();
    return std::string(
               "usage: vardelo-cli [--port COMn | --device PATH] [--baud 9600|19200] [--json] [--quiet]\n"
               "                   ") +
           c->usage + "\n\n" + c->help;
}
