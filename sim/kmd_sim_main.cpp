// kmd-sim: a line of simulated KMD drives on a pseudo-terminal, so that VarDelo can be run and
// demonstrated without hardware. It links ./comN in the working directory to the terminal.
#include "base/numbers.h"
#include "drivebus.h"
#include "kmd_sim_alarm.h"
#include "pacedline.h"
#include "protocol/frame.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

const char* const HelpText = R"(
Serves simulated KMD drives on a pseudo-terminal and links ./comN in the working directory to
it, so that VarDelo opens it as COM N. The device path is printed at start.

It ends on SIGINT (Ctrl+C), SIGTERM or SIGHUP, or on the line "quit", and then removes its link.
The end of standard input does not end it, so it may run in the background with </dev/null.

With --line-time the line behaves like a real one at its baud rate (10 bits a byte): a frame
reaches the drives when its last byte has arrived, the drive answers after the turnaround, the
reply takes its own line time, and the line is half duplex: bytes written while a reply is on
the line garble both (the frame is not executed, the reply arrives damaged). Such collisions are
counted ("collisions", "state"). Replies leave one after the other: a late reply holds back the
answers to the frames written after it.

Lines on standard input change the simulation while it runs (each is answered "ok" or "error"):
  fault none|silent|nak|garbage|cut|slow|vanish|alter [BYTES]
                      none clears the fault; the others: no drive answers, every frame gets
                      15h, replies are random bytes, replies lose their last byte, replies come
                      late, the device goes away (as "vanish"), the drive acknowledges every
                      program line but stores the third line of each program written with its
                      last byte one higher.
                      BYTES (hex) limits silent, nak, garbage, cut and slow to the frames whose
                      command begins with them; every other frame is answered normally:
                        fault nak F1        only the end of a program is refused
                        fault silent F2 03  only the read of program 3 gets no answer
                        fault slow F0       only F0 is answered late (see slow)
                        fault nak A8 0F A0  only this command (or program line) is refused
  slow SECONDS        delay of the slow fault (may exceed the program's 1 s bound, e.g. 1.5)
  vanish              close the pseudo-terminal: the program's port sees the device go away
  restore             serve again under the same link (clears the vanish fault)
  addresses 0,1,2     the drives on the line
  analog A VALUE      analog input of drive A (0..65535), read by command 210
  inputs A BYTE       input/output byte of drive A, read by command 19
  status A BYTE       status bits of drive A besides bit 0 (moving)
  state               print each drive's position and status, and the collisions
  frames              print every frame the drives took, in order (hex)
  collisions          print the number of collisions on the line (with --line-time)
  quit                end
)";

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    char c = 1;
    ssize_t ignored = ::write(g_signalPipe[1], &c, 1);
    (void)ignored;
}

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// The drives took `frame` at `at` (seconds of the monotonic clock, which every process shares),
// so that another program can time its own frames against the line.
void Stamp(const std::string& frame, double at) {
    char when[32];
    std::snprintf(when, sizeof when, "%.6f", at);
    Say(std::string("taken ") + when + " " + HexText(frame));
}

bool ParseFault(const std::string& name, DriveBus::Fault& fault) {
    static const std::pair<const char*, DriveBus::Fault> names[] = {
        {"none", DriveBus::Fault::None},       {"silent", DriveBus::Fault::Silent},
        {"nak", DriveBus::Fault::NakAll},      {"garbage", DriveBus::Fault::Garbage},
        {"cut", DriveBus::Fault::CutShort},    {"slow", DriveBus::Fault::Slow},
        {"vanish", DriveBus::Fault::Vanished}, {"alter", DriveBus::Fault::Altered}};
    for (const auto& [n, f] : names)
        if (name == n) {
            fault = f;
            return true;
        }
    return false;
}

// "F2 03" or "F2,03": one or two hex digits a byte.
bool ParseHexBytes(const std::string& text, std::string& out) {
    std::string bytes, item;
    std::stringstream in(text);
    while (in >> item) {
        std::stringstream parts(item);
        std::string part;
        while (std::getline(parts, part, ',')) {
            if (part.empty() || part.size() > 2 ||
                part.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return false;
            bytes += static_cast<char>(std::stoi(part, nullptr, 16));
        }
    }
    if (bytes.empty()) return false;
    out = std::move(bytes);
    return true;
}

bool ParseNumber(const std::string& text, long lo, long hi, long& value) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool ParseAddresses(const std::string& text, std::set<int>& out) {
    std::set<int> set;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        long a = 0;
        if (!ParseNumber(item, 0, 31, a)) return false;
        set.insert(static_cast<int>(a));
    }
    if (set.empty()) return false;
    out = std::move(set);
    return true;
}

std::string AddressList(const std::set<int>& addresses) {
    std::string s;
    for (int a : addresses)
        s += (s.empty() ? "" : ",") + std::to_string(a);
    return s;
}

int BaudOf(speed_t speed) {
    switch (speed) {
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B4800:
        return 4800;
    default:
        return 9600;
    }
}

struct LineOptions {
    bool paced = false;
    int baud = 0; // 0: the rate the program set on the port
    double turnaroundSeconds = 0.002;
    double burstSeconds = 0;
    bool stamp = false; // print every frame the drives take with its arrival time
};

class SimServer : public QObject {
  public:
    SimServer(int com, std::set<int> addresses, LineOptions line)
        : bus_(std::move(addresses)), link_("./com" + std::to_string(com)), lineOptions_(line), line_(bus_),
          alarm_([this] { pump(); }) {
        bus_.setClock(MonotonicSeconds);
        line_.setTurnaroundSeconds(line.turnaroundSeconds);
        line_.setBurstSeconds(line.burstSeconds);
        if (line.stamp) line_.setFrameTaken([](const std::string& frame, double at) { Stamp(frame, at); });
    }
    ~SimServer() override { vanish(); }

    DriveBus& bus() { return bus_; }
    int collisions() const { return line_.collisions(); }

    // Opens a new pseudo-terminal and links it; false (with a message) when that fails.
    bool serve() {
        if (master_ >= 0) return true;
        int m = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m < 0 || ::grantpt(m) != 0 || ::unlockpt(m) != 0) return fail(m, "cannot open a pseudo-terminal");
        const char* name = ::ptsname(m);
        if (!name) return fail(m, "cannot name the pseudo-terminal");
        std::string slavePath = name;
        // Holding the slave open keeps the master readable while the program has its port closed.
        int s = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
        if (s < 0) return fail(m, "cannot open " + slavePath);
        termios tio{};
        if (::tcgetattr(s, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::cfsetspeed(&tio, B9600);
            ::tcsetattr(s, TCSANOW, &tio);
        }
        ::fcntl(m, F_SETFL, ::fcntl(m, F_GETFL) | O_NONBLOCK);

        struct stat st {};
        if (::lstat(link_.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                ::close(s);
                return fail(m, link_ + " exists and is not a link; not touching it");
            }
            ::unlink(link_.c_str()); // left behind by an earlier run
        }
        if (::symlink(slavePath.c_str(), link_.c_str()) != 0) {
            std::string why = std::strerror(errno);
            ::close(s);
            return fail(m, "cannot link " + link_ + ": " + why);
        }
        master_ = m;
        slave_ = s;
        slavePath_ = slavePath;
        reader_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
        connect(reader_, &QSocketNotifier::activated, this, &SimServer::readLine);
        writer_ = new QSocketNotifier(master_, QSocketNotifier::Write, this);
        writer_->setEnabled(false);
        connect(writer_, &QSocketNotifier::activated, this, &SimServer::flush);
        if (bus_.fault() == DriveBus::Fault::Vanished) bus_.setFault(DriveBus::Fault::None);
        Say("kmd-sim: serving drives " + AddressList(bus_.addresses()) + " on " + slavePath_ +
            ", linked as " + link_);
        return true;
    }

    // The device goes away: the pseudo-terminal closes and the link is removed.
    void vanish() {
        if (master_ < 0) return;
        ++generation_;
        delete reader_;
        delete writer_;
        reader_ = writer_ = nullptr;
        alarm_.cancel();
        line_.clear();
        replies_.clear();
        out_.clear();
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
        char target[4096];
        ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<size_t>(n)) == slavePath_) ::unlink(link_.c_str());
    }

    void setFault(DriveBus::Fault fault) {
        if (fault == DriveBus::Fault::Vanished) {
            vanish();
            Say("kmd-sim: the device is gone");
        } else if (master_ < 0 && !serve()) {
            return;
        }
        bus_.setFault(fault);
    }

  private:
    bool fail(int fd, const std::string& why) {
        if (fd >= 0) ::close(fd);
        Say("kmd-sim: " + why);
        return false;
    }

    void readLine() {
        char buf[4096];
        ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0 && lineOptions_.paced) {
            termios tio{};
            int baud = lineOptions_.baud;
            if (baud == 0) baud = ::tcgetattr(slave_, &tio) == 0 ? BaudOf(::cfgetospeed(&tio)) : 9600;
            line_.setBaud(baud);
            line_.write(std::string(buf, static_cast<size_t>(n)), bus_.now());
            pump();
            return;
        }
        if (n > 0) {
            const size_t before = bus_.frames().size();
            const double now = bus_.now();
            // Equal times keep their order: replies leave as their frames came.
            for (const DriveBus::Reply& r : bus_.receive(std::string(buf, static_cast<size_t>(n))))
                replies_.emplace(now + r.delaySeconds, r.bytes);
            if (lineOptions_.stamp)
                for (size_t i = before; i < bus_.frames().size(); ++i)
                    Stamp(bus_.frames()[i], now);
            pump();
            return;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        // Should not happen while the slave is held; never spin on it.
        reader_->setEnabled(false);
        QTimer::singleShot(100, this, [this, g = generation_] {
            if (g == generation_ && reader_) reader_->setEnabled(true);
        });
    }

    // Hands the program what has reached it (the paced line's bytes, the unpaced replies that
    // are due) and sets the alarm for the next thing to do.
    void pump() {
        const double now = bus_.now();
        while (!replies_.empty() && replies_.begin()->first <= now) {
            out_ += replies_.begin()->second;
            replies_.erase(replies_.begin());
        }
        out_ += line_.output(now);
        flush();
        double next = line_.nextEvent();
        if (!replies_.empty()) next = std::min(next, replies_.begin()->first);
        if (std::isinf(next))
            alarm_.cancel();
        else
            alarm_.at(next);
    }

    void flush() {
        while (!out_.empty() && master_ >= 0) {
            ssize_t n = ::write(master_, out_.data(), out_.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno != EAGAIN) out_.clear(); // nobody can take them
                break;
            }
            out_.erase(0, static_cast<size_t>(n));
        }
        if (writer_) writer_->setEnabled(!out_.empty());
    }

    DriveBus bus_;
    std::string link_;
    std::string slavePath_;
    LineOptions lineOptions_;
    PacedLine line_;
    std::multimap<double, std::string> replies_; // unpaced line: replies by the time they are due
    Alarm alarm_;
    int master_ = -1, slave_ = -1;
    QSocketNotifier* reader_ = nullptr;
    QSocketNotifier* writer_ = nullptr;
    unsigned generation_ = 0; // a pause of the reader from before a vanish is not undone
    std::string out_;
};

// One line of the control language on standard input.
void Command(SimServer& server, const std::string& line) {
    std::stringstream in(line);
    std::string verb, a, b;
    in >> verb >> a >> b;
    DriveBus& bus = server.bus();
    long addr = 0, value = 0;
    DriveBus::Fault fault{};
    if (verb.empty()) return;
    if (verb == "quit" || verb == "exit") {
        Say("ok");
        QCoreApplication::quit();
        return;
    }
    if (verb == "help") {
        Say(HelpText);
        return;
    }
    if (verb == "fault" && ParseFault(a, fault)) {
        std::string rest, only;
        std::getline(in, rest);
        rest = b + rest;
        if (!rest.empty() && (fault == DriveBus::Fault::Vanished || fault == DriveBus::Fault::Altered ||
                              fault == DriveBus::Fault::None || !ParseHexBytes(rest, only))) {
            Say("error: only silent, nak, garbage, cut and slow take command bytes in hex, e.g. fault nak "
                "F1");
            return;
        }
        bus.setFaultOnly(only);
        server.setFault(fault);
    } else if (verb == "vanish") {
        server.setFault(DriveBus::Fault::Vanished);
    } else if (verb == "restore") {
        if (bus.fault() == DriveBus::Fault::Vanished) server.setFault(DriveBus::Fault::None);
        if (!server.serve()) {
            Say("error: cannot serve");
            return;
        }
    } else if (verb == "slow" && !a.empty()) {
        double s = ::ParseNumber(a).value_or(-1);
        if (!(s >= 0 && s <= 3600)) {
            Say("error: slow takes seconds, 0 to 3600");
            return;
        }
        bus.setSlowSeconds(s);
    } else if (verb == "addresses") {
        std::set<int> set;
        if (!ParseAddresses(a, set)) {
            Say("error: addresses are a list such as 0,1,2 (0 to 31)");
            return;
        }
        bus.setAddresses(set);
    } else if ((verb == "analog" || verb == "inputs" || verb == "status") && ParseNumber(a, 0, 31, addr) &&
               ParseNumber(b, 0, verb == "analog" ? 65535 : 255, value)) {
        if (verb == "analog") bus.setAnalogInput(static_cast<int>(addr), static_cast<int>(value));
        if (verb == "inputs") bus.setInputs(static_cast<int>(addr), static_cast<int>(value));
        if (verb == "status") bus.setStatusBits(static_cast<int>(addr), static_cast<int>(value));
    } else if (verb == "state") {
        for (int d : bus.addresses())
            Say("drive " + std::to_string(d) + ": position " + std::to_string(bus.position(d)) + ", status " +
                std::to_string(bus.statusByte(d)) + ", analog " + std::to_string(bus.analogInput(d)));
        Say("line: " + std::to_string(server.collisions()) + " collisions");
    } else if (verb == "frames") { // every frame the drives took, in order, as hex
        for (const std::string& f : bus.frames())
            Say("frame " + HexText(f));
    } else if (verb == "collisions") {
        Say("collisions " + std::to_string(server.collisions()));
    } else {
        Say("error: unknown command (type help)");
        return;
    }
    Say("ok");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kmd-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(HelpText));
    parser.addHelpOption();
    QCommandLineOption comOpt("com", "COM number to link as ./comN (default 1).", "N", "1");
    QCommandLineOption addrOpt("addresses", "Drive addresses on the line (default 0,1,2,3).", "LIST",
                               "0,1,2,3");
    QCommandLineOption faultOpt(
        "fault", "Start with a fault: silent, nak, garbage, cut, slow, vanish or alter.", "NAME", "none");
    QCommandLineOption slowOpt("slow", "Delay of the slow fault in seconds (default 0.5).", "SECONDS", "0.5");
    QCommandLineOption onlyOpt("fault-only",
                               "Limit the fault to the frames whose command begins with these hex bytes "
                               "(e.g. F1 or F2,03); every other frame is answered normally.",
                               "BYTES");
    QCommandLineOption lineOpt("line-time", "Pace the line in both directions at the baud rate (10 bits a "
                                            "byte), half duplex; see above.");
    QCommandLineOption baudOpt("baud",
                               "Baud rate of the paced line (default: the rate the program sets on the port, "
                               "9600 until it sets one).",
                               "RATE");
    QCommandLineOption turnOpt("turnaround",
                               "Milliseconds a drive waits before it answers (default 2; "
                               "implies --line-time).",
                               "MS", "2");
    QCommandLineOption burstOpt("burst",
                                "Hand the program its bytes only every MS milliseconds, as a USB adapter's "
                                "latency timer does (16 is typical; implies --line-time).",
                                "MS");
    QCommandLineOption stampOpt("stamp",
                                "Print \"taken SECONDS HEX\" for every frame the drives take: SECONDS is "
                                "the monotonic clock (CLOCK_MONOTONIC) when its last byte arrived.");
    parser.addOptions(
        {comOpt, addrOpt, faultOpt, onlyOpt, slowOpt, lineOpt, baudOpt, turnOpt, burstOpt, stampOpt});
    parser.process(app);

    long com = 0;
    std::set<int> addresses;
    DriveBus::Fault fault{};
    double slow = ::ParseNumber(parser.value(slowOpt).toStdString()).value_or(-1);
    if (!ParseNumber(parser.value(comOpt).toStdString(), 1, 255, com) ||
        !ParseAddresses(parser.value(addrOpt).toStdString(), addresses) ||
        !ParseFault(parser.value(faultOpt).toStdString(), fault) || !(slow >= 0 && slow <= 3600)) {
        std::fputs("kmd-sim: bad option (see --help)\n", stderr);
        return 2;
    }
    std::string only;
    if (parser.isSet(onlyOpt) && !ParseHexBytes(parser.value(onlyOpt).toStdString(), only)) {
        std::fputs("kmd-sim: --fault-only takes command bytes in hex, e.g. F2,03\n", stderr);
        return 2;
    }
    LineOptions line;
    line.paced = parser.isSet(lineOpt) || parser.isSet(turnOpt) || parser.isSet(burstOpt);
    long baud = 0;
    const double turnaround = ::ParseNumber(parser.value(turnOpt).toStdString()).value_or(-1);
    const double burst =
        ::ParseNumber(parser.value(burstOpt).toStdString()).value_or(parser.isSet(burstOpt) ? -1 : 0);
    if ((parser.isSet(baudOpt) && !ParseNumber(parser.value(baudOpt).toStdString(), 300, 1000000, baud)) ||
        !(turnaround >= 0 && turnaround <= 10000) || !(burst >= 0 && burst <= 1000)) {
        std::fputs("kmd-sim: --baud takes a rate (300 to 1000000), --turnaround and --burst milliseconds\n",
                   stderr);
        return 2;
    }
    line.baud = static_cast<int>(baud);
    line.turnaroundSeconds = turnaround / 1000.0;
    line.burstSeconds = burst / 1000.0;
    line.stamp = parser.isSet(stampOpt);

    if (::pipe(g_signalPipe) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    SimServer server(static_cast<int>(com), addresses, line);
    server.bus().setSlowSeconds(slow);
    server.bus().setFaultOnly(only);
    if (fault == DriveBus::Fault::Vanished) {
        server.bus().setFault(fault);
        Say("kmd-sim: starting with the device gone (type restore to serve)");
    } else {
        if (!server.serve()) return 1;
        server.bus().setFault(fault);
    }

    QSocketNotifier sigReader(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&sigReader, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

    std::string input;
    QSocketNotifier stdinReader(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinReader, &QSocketNotifier::activated, &app, [&] {
        char buf[1024];
        ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) return;
            stdinReader.setEnabled(false); // end of input: keep serving
            return;
        }
        input.append(buf, static_cast<size_t>(n));
        for (size_t nl; (nl = input.find('\n')) != std::string::npos;) {
            std::string line = input.substr(0, nl);
            input.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            Command(server, line);
        }
    });

    int rc = app.exec();
    server.vanish();
    return rc;
}
