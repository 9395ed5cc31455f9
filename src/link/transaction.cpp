#include "link/transaction.h"

#include "app/module1.h"
#include "link/buswait.h"
#include "link/frame.h"
#include "link/portmap.h"
#include "link/serialport.h"

#include <QElapsedTimer>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

// Every look of a polled transaction came back empty: the link went, or the drive is silent.
PolledExchange& NoAnswer(SerialPort& port, int add, PolledExchange& ex) {
    if (!port.isOpen()) {
        ex.outcome = Outcome::LinkLost;
        ex.error = port.errorText();
        ReportTraffic({TrafficEvent::LinkLost, add, std::string(), ex.error});
    } else {
        ex.outcome = Outcome::Timeout;
        ReportTraffic({TrafficEvent::Timeout, add, std::string(), std::string()});
    }
    return ex;
}

SerialPort* g_port = nullptr;
std::map<int, TrafficObserver> g_observers;
int g_nextObserver = 1;

bool g_monitorTraffic = false;
// The port number, settings and device the shared port was last opened with.
using OpenedWith = std::tuple<int, std::string, std::string>;
OpenedWith g_openedWith;

// Close if open, apply the settings of the moment, open, drop stale input, write, and wait
// until the port has handed the frame to the system (a close before that would drop it). With
// `keepOpen`, a port already open with the number, settings and device of the moment stays
// open: reopening gains nothing and costs milliseconds (the port's lock file is written anew).
// Returns Reply when the frame is on its way, OpenFailed or LinkLost otherwise.
Outcome OpenAndWrite(SerialPort& port, int add, const std::string& frame, std::string& error,
                     bool keepOpen = false) {
    Outcome opened = OpenForFrame(port, add, frame, error, keepOpen);
    if (opened != Outcome::Reply || frame.empty()) return opened;
    WaitEnd written = WaitEnd::Deadline;
    if (port.write(frame)) written = WaitForWritten(port, WriteTimeoutSeconds);
    if (written == WaitEnd::Aborted) return Outcome::Aborted;
    if (written != WaitEnd::Ready) {
        error = port.errorText();
        if (written == WaitEnd::Deadline)
            error = "COM" + std::to_string(Module1::ComPort) + " (" + port.deviceName() +
                    "): the frame could not be written within " +
                    std::to_string(static_cast<int>(WriteTimeoutSeconds * 1000)) + " ms";
        port.close();
        ReportTraffic({TrafficEvent::LinkLost, add, frame, error});
        return Outcome::LinkLost;
    }
    ReportTraffic({TrafficEvent::Sent, add, frame, std::string()});
    return Outcome::Reply;
}

// The polled reply of the fast ends: the same attempts and bounds as the fixed looks, but each
// look ends as soon as a byte is there, and the reply then ends at once (OneByte) or when the
// line falls quiet (QuietGap, bounded by the attempt's own time).
PolledExchange& FastPolledReply(SerialPort& port, int add, double timeoutSeriale, ReplyEnd end,
                                PolledExchange& ex) {
    const double attemptSeconds = (0.05 + timeoutSeriale) * WaitScale;
    // Real seconds for WaitForBytes, which scales what it is given.
    auto unscaled = [](double s) { return WaitScale > 0 ? s / WaitScale : 0.0; };
    const double gap = QuietGapSeconds(Module1::BaudRate);
    for (int attempt = 0; attempt <= 10; ++attempt) {
        QElapsedTimer clock;
        clock.start();
        WaitEnd got = WaitForBytes(port, 1, 0.05);
        if (got == WaitEnd::Deadline) got = WaitForBytes(port, 1, timeoutSeriale);
        if (got == WaitEnd::Aborted) {
            ex.outcome = Outcome::Aborted;
            return ex;
        }
        if (!port.isOpen()) break;
        if (port.bytesWaiting() == 0) continue;
        while (end == ReplyEnd::QuietGap) {
            const double left = attemptSeconds - static_cast<double>(clock.nsecsElapsed()) / 1e9;
            if (left <= 0) break;
            const int have = port.bytesWaiting();
            got = WaitForBytes(port, have + 1, unscaled(std::min(gap, left)));
            if (got == WaitEnd::Aborted) {
                ex.outcome = Outcome::Aborted;
                return ex;
            }
            if (got != WaitEnd::Ready) break; // quiet, or the link is gone (the bytes still count)
        }
        std::string reply = port.readAll();
        ex.instring = HexText(reply);
        ReportTraffic({TrafficEvent::Received, add, reply, std::string()});
        return ex;
    }
    return NoAnswer(port, add, ex);
}

} // namespace

Outcome OpenForFrame(SerialPort& port, int add, const std::string& frame, std::string& error, bool keepOpen) {
    const OpenedWith now{Module1::ComPort, std::to_string(Module1::BaudRate) + ",N,8,1",
                         ResolvePort(Module1::ComPort).device};
    const bool reuse = keepOpen && port.isOpen() && now == g_openedWith;
    if (!reuse && port.isOpen()) port.close();
    port.setPortNumber(std::get<0>(now));
    port.setSettings(std::get<1>(now));
    if (!reuse && !port.open()) {
        error =
            "COM" + std::to_string(Module1::ComPort) + " (" + port.deviceName() + "): " + port.errorText();
        ReportTraffic({TrafficEvent::PortError, add, frame, error});
        return Outcome::OpenFailed;
    }
    g_openedWith = now;
    port.readAll(); // a late reply to an earlier frame is not this frame's reply
    return Outcome::Reply;
}

void FinishCounted(SerialPort& port, int add, int nrx, WaitEnd end, Exchange& ex, bool keepOpen) {
    std::string got = port.isOpen() ? port.readAll() : std::string();
    ex.reply = got.substr(0, static_cast<size_t>(nrx < 0 ? 0 : nrx));
    if (end == WaitEnd::Ready || static_cast<int>(ex.reply.size()) >= nrx) {
        ex.outcome = Outcome::Reply;
        ReportTraffic({TrafficEvent::Received, add, ex.reply, std::string()});
    } else if (end == WaitEnd::LinkLost) {
        ex.outcome = Outcome::LinkLost;
        ex.error = port.errorText();
        ReportTraffic({TrafficEvent::LinkLost, add, ex.reply, ex.error});
    } else if (end == WaitEnd::Aborted) {
        ex.outcome = Outcome::Aborted;
    } else {
        ex.outcome = Outcome::Timeout;
        ReportTraffic({TrafficEvent::Timeout, add, ex.reply, std::string()});
    }
    if (!keepOpen) port.close();
}

double QuietGapSeconds(int baud) {
    const double fourCharacters = 4 * 10.0 / (baud > 0 ? baud : 9600);
    return std::max(fourCharacters, 0.050);
}

SerialPort* SharedPort() {
    return g_port;
}
void SetSharedPort(SerialPort* port) {
    g_port = port;
}

Exchange CountedTransaction(SerialPort& port, int add, int code, double p1, double p2, int ntx, int nrx,
                            int tipo, double timeoutSeconds) {
    Exchange ex;
    CommandFrame cf = MakeCommandFrame(add, code, p1, p2, ntx, tipo);
    if (cf.error) {
        ex.outcome = Outcome::BadValue;
        ex.error = cf.error->what;
        ReportTraffic({TrafficEvent::Refused, add, std::string(), ex.error});
        return ex;
    }
    ex.frame = cf.frame;
    ex.outcome = OpenAndWrite(port, add, ex.frame, ex.error);
    if (ex.outcome != Outcome::Reply) return ex;
    if (add != Module1::BroadcastAddress) {
        FinishCounted(port, add, nrx, WaitForBytes(port, nrx, timeoutSeconds), ex);
        return ex;
    }
    ex.outcome = Outcome::Broadcast;
    ReportTraffic({TrafficEvent::Broadcast, add, std::string(), std::string()});
    port.close();
    return ex;
}

PolledExchange PolledTransaction(SerialPort& port, int add, const std::string& cmdString,
                                 double timeoutSeriale, const std::string& instring, ReplyEnd end) {
    PolledExchange ex;
    ex.instring = instring;
    ex.frame = BuildPolledFrame(add, cmdString);
    ex.outcome = OpenAndWrite(port, add, ex.frame, ex.error, true);
    if (ex.outcome != Outcome::Reply) return ex;
    if (add == Module1::BroadcastAddress) {
        ex.outcome = Outcome::Broadcast;
        return ex;
    }
    ex.instring.clear();
    if (end != ReplyEnd::Fixed) return FastPolledReply(port, add, timeoutSeriale, end, ex);
    for (int attempt = 0; attempt <= 10; ++attempt) {
        if (WaitSeconds(0.05) == WaitEnd::Aborted) {
            ex.outcome = Outcome::Aborted;
            return ex;
        }
        if (!port.isOpen()) break;
        std::string reply = port.readAll();
        if (reply.size() == 1 && reply[0] == '\x15') {
            ex.instring = "15";
            ReportTraffic({TrafficEvent::Received, add, reply, std::string()});
            return ex;
        }
        if (WaitSeconds(timeoutSeriale) == WaitEnd::Aborted) {
            ex.outcome = Outcome::Aborted;
            return ex;
        }
        if (!port.isOpen()) break;
        reply += port.readAll();
        ex.instring = HexText(reply);
        if (!ex.instring.empty()) {
            ReportTraffic({TrafficEvent::Received, add, reply, std::string()});
            return ex;
        }
    }
    return NoAnswer(port, add, ex);
}

int AddTrafficObserver(TrafficObserver observer) {
    int id = g_nextObserver++;
    g_observers[id] = std::move(observer);
    return id;
}

void RemoveTrafficObserver(int id) {
    g_observers.erase(id);
}

void ReportTraffic(const TrafficEvent& event) {
    TrafficEvent stamped = event;
    stamped.monitor = stamped.monitor || g_monitorTraffic;
    for (auto& [id, observer] : g_observers)
        observer(stamped);
}

MonitorTraffic::MonitorTraffic() : was_(g_monitorTraffic) {
    g_monitorTraffic = true;
}

MonitorTraffic::~MonitorTraffic() {
    g_monitorTraffic = was_;
}
