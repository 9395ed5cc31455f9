#include "cli/cli_report.h"

#include "line/driveline.h"
#include "protocol/frame.h"

#include <QJsonDocument>
#include <cstdio>
#include <unistd.h>

namespace {

const char* OutcomeName(int kind) {
    // In the order of TrafficEvent::Kind; a refused value is told as sent (nothing went out).
    static const char* const names[] = {"sent", "reply",      "timeout",  "broadcast",
                                        "sent", "port error", "link lost"};
    return kind >= 0 && kind < static_cast<int>(std::size(names)) ? names[kind] : "sent";
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

CliReport::CliReport(const CliOptions& options) : options_(options) {
    terminal_ = ::isatty(STDERR_FILENO) == 1 && !options.quiet;
    json_.insert("command", Q(options.command));
}

// The line goes before the report (main's order), so the report never removes its observer.
CliReport::~CliReport() = default;

void CliReport::watch(DriveLine& line) {
    line.addObserver([this](const TrafficEvent& e) { observe(static_cast<int>(e.kind), e.bytes, e.text); });
}

void CliReport::observe(int kind, const std::string& bytes, const std::string& text) {
    if (kind == TrafficEvent::Sent) {
        QJsonObject ex;
        ex.insert("frame", Q(HexText(bytes)));
        ex.insert("result", "sent");
        exchanges_.append(ex);
        return;
    }
    if (kind == TrafficEvent::PortError || kind == TrafficEvent::LinkLost) {
        portError_ = text;
        linkLost_ = kind == TrafficEvent::LinkLost;
    }
    if (kind == TrafficEvent::PortError || kind == TrafficEvent::Refused) return; // nothing went out
    if (exchanges_.isEmpty()) return;
    QJsonObject ex = exchanges_.last().toObject();
    if (kind == TrafficEvent::Received || kind == TrafficEvent::Timeout || kind == TrafficEvent::LinkLost)
        ex.insert("reply", Q(HexText(bytes)));
    ex.insert("result", OutcomeName(kind));
    if (!text.empty()) ex.insert("error", Q(text));
    exchanges_.replace(exchanges_.size() - 1, ex);
}

std::string PortTroubleText(const std::string& error, bool lost) {
    // The system's words for a vanished USB adapter ("Inappropriate ioctl for device") do not
    // tell an operator what happened.
    if (lost) return "port lost: the serial adapter was disconnected (" + error + ")";
    return "port " + error;
}

std::string CliReport::portTrouble() const {
    return PortTroubleText(portError_, linkLost_);
}

bool CliReport::lastTimedOut() const {
    if (exchanges_.isEmpty()) return false;
    QString result = exchanges_.last().toObject().value("result").toString();
    return result == "timeout" || result == "sent";
}

std::string CliReport::lastReply() const {
    if (exchanges_.isEmpty()) return {};
    return exchanges_.last().toObject().value("reply").toString().toStdString();
}

void CliReport::say(const std::string& line) {
    if (options_.json || options_.quiet) return;
    clearProgress();
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void CliReport::set(const char* key, const QJsonValue& value) {
    json_.insert(key, value);
}

void CliReport::add(const char* arrayKey, const QJsonValue& item) {
    QJsonArray a = json_.value(arrayKey).toArray();
    a.append(item);
    json_.insert(arrayKey, a);
}

void CliReport::progress(const std::string& what, int done, int total) {
    if (!terminal_ || total <= 0) return;
    if (done > total) done = total;
    std::fprintf(stderr, "\r%s: %d/%d (%d%%)\x1b[K", what.c_str(), done, total, done * 100 / total);
    std::fflush(stderr);
    progressShown_ = true;
}

void CliReport::clearProgress() {
    if (!progressShown_) return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    progressShown_ = false;
}

int CliReport::finish(CliExit exit, const std::string& error) {
    clearProgress();
    static const char* const statuses[] = {"ok", "drive", "usage", "port"};
    if (options_.json) {
        json_.insert("exit", static_cast<int>(exit));
        json_.insert("status", exit == ExitInterrupted ? "interrupted" : statuses[exit]);
        if (!error.empty()) json_.insert("error", Q(error));
        json_.insert("exchanges", exchanges_);
        std::fputs(QJsonDocument(json_).toJson(QJsonDocument::Indented).constData(), stdout);
        std::fflush(stdout);
    } else if (!error.empty()) {
        std::fputs(("vardelo-cli: " + error + "\n").c_str(), stderr);
    }
    return exit;
}
