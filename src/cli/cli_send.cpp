// send and scan: single commands on the line.
#include "cli/cli_commands.h"
#include "cli/cli_report.h"
#include "jobs/busscan.h"
#include "line/driveline.h"
#include "line/serialport.h"
#include "protocol/catalog.h"
#include "protocol/command_value.h"
#include "protocol/decoder.h"
#include "protocol/frame.h"

#include <cstdio>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string AddressText(int add) {
    return add == BroadcastAddress ? std::string("switchall") : std::to_string(add);
}

// A command without read data is answered with the single byte 06 (15h when refused).
bool AcknowledgedCommand(int slot) {
    return Module1::NrxCmd[slot] == 1 && DescribeReply(Module1::CodiceCmd[slot], "\x06", 2).empty();
}

} // namespace

int RunSend(const CliOptions& o, CliReport& report, CliLine& cli) {
    std::optional<int> add = AddressArgument(o.args[0], true);
    if (!add) return report.finish(ExitUsage, "address " + o.args[0] + " is not 0..31 or switchall");
    report.set("address", *add == BroadcastAddress ? QJsonValue("switchall") : QJsonValue(*add));
    std::optional<double> code = NumberArgument(o.args[1]);
    int slot = -1;
    if (code && *code >= 1 && *code <= 255 && *code == static_cast<int>(*code))
        slot = Module1::TrovaComando(static_cast<int>(*code));
    if (slot < 0) return report.finish(ExitUsage, "command code " + o.args[1] + " is not in the catalog");
    report.set("code", Module1::CodiceCmd[slot]);
    report.set("description", Q(CommandDescription(slot, 2)));

    std::vector<double> numbers;
    for (size_t i = 2; i < o.args.size(); ++i) {
        std::optional<double> v = NumberArgument(o.args[i]);
        if (!v) return report.finish(ExitUsage, "value " + o.args[i] + " is not a number");
        numbers.push_back(*v);
    }
    NumbersValue value = CommandValueOfNumbers(slot, numbers);
    if (!value.value) return report.finish(ExitUsage, value.error);

    LineLease lease = cli.line.lease(BusUse::Command);
    const CommandValue& v = *value.value;
    Exchange ex = cli.line.counted(cli.target, *add, Module1::CodiceCmd[slot], v.parametro1, v.parametro2,
                                   Module1::NtxCmd[slot], Module1::NrxCmd[slot], v.tipo);
    if (ex.outcome == Outcome::BadValue) return report.finish(ExitUsage, ex.error);
    if (ex.outcome == Outcome::OpenFailed) return report.finish(ExitPort, PortTroubleText(ex.error, false));
    const std::string tx = HexText(ex.frame);
    const std::string rx = HexText(ex.reply);
    report.set("frame", Q(tx));
    report.set("reply", Q(rx));
    switch (ex.outcome) {
    case Outcome::BadValue:
    case Outcome::OpenFailed:
    case Outcome::LinkLost:
        report.say("TX: " + tx);
        return report.finish(ExitPort, PortTroubleText(ex.error, ex.outcome == Outcome::LinkLost));
    case Outcome::Broadcast:
        report.say("TX: " + tx);
        report.say("RX: - no rx - switchall command");
        return report.finish(ExitDone);
    case Outcome::Aborted:
        return report.finish(ExitDrive, "interrupted");
    case Outcome::Timeout:
    case Outcome::Reply:
        break;
    }
    report.say("TX: " + tx);
    if (ex.reply == "\x15") {
        report.say("RX: " + rx);
        return report.finish(ExitDrive, "drive " + AddressText(*add) + " refused the command (15h)");
    }
    if (ex.outcome == Outcome::Timeout) {
        report.say("RX: " + (rx.empty() ? std::string() : rx + " ") + "- no rx - timeout");
        const std::string within = " within " + std::to_string(static_cast<int>(ReplyTimeoutSeconds)) + " s";
        if (!ex.reply.empty())
            return report.finish(ExitDrive, "drive " + AddressText(*add) + " answered " +
                                                std::to_string(ex.reply.size()) + " of " +
                                                std::to_string(Module1::NrxCmd[slot]) + " bytes" + within);
        return report.finish(ExitDrive, "drive " + AddressText(*add) + " did not answer" + within);
    }
    report.say("RX: " + rx);
    report.set("acknowledged", ex.reply == "\x06");
    if (AcknowledgedCommand(slot) && ex.reply != "\x06")
        return report.finish(ExitDrive, "unexpected answer " + rx + " from drive " + AddressText(*add) +
                                            " (an acknowledged command is answered 06)");
    if (ex.reply != "\x06") {
        std::string text = DescribeReply(Module1::CodiceCmd[slot], ex.reply, 2);
        if (!text.empty()) {
            report.say(text);
            report.set("decoded", Q(text));
        }
    }
    return report.finish(ExitDone);
}

int RunScan(const CliOptions&, CliReport& report, CliLine& cli) {
    LineLease lease = cli.line.lease(BusUse::Scan);
    int found = 0;
    ScanOutcome out = ScanBus(cli.line, cli.target, [&](int address) {
        report.progress("scan", address, 32);
        return !CliInterrupted();
    });
    report.set("drives", QJsonArray());
    for (const ScanHit& hit : out.hits) {
        ++found;
        QJsonObject drive;
        drive.insert("address", hit.address);
        drive.insert("type", hit.type);
        drive.insert("release", Q(hit.release));
        report.add("drives", drive);
        report.say("address " + std::to_string(hit.address) + ": type " + std::to_string(hit.type) +
                   ", release " + (hit.release.empty() ? std::string("(no answer)") : hit.release));
    }
    if (!out.portError.empty())
        return report.finish(ExitPort, report.portFailed() ? report.portTrouble()
                                                           : PortTroubleText(out.portError, false));
    if (out.cancelled) return report.finish(ExitInterrupted, "interrupted");
    if (found == 0) return report.finish(ExitDrive, "no drive answered on addresses 0..31");
    return report.finish(ExitDone);
}

int RunStop(const CliOptions&, CliReport& report, CliLine& cli) {
    // No lease: the stop goes ahead of whatever else would hold the line.
    Exchange ex = cli.line.stopAll(cli.target);
    const std::string tx = HexText(ex.frame);
    report.set("frame", Q(tx));
    if (ex.outcome == Outcome::OpenFailed) return report.finish(ExitPort, PortTroubleText(ex.error, false));
    const bool sent = ex.outcome == Outcome::Broadcast && cli.line.waitStopDone();
    if (!sent) {
        const std::string error = ex.error.empty() ? cli.line.port().errorText() : ex.error;
        return report.finish(ExitPort, PortTroubleText(error, true));
    }
    report.say("TX: " + tx + " (twice)");
    return report.finish(ExitDone);
}
