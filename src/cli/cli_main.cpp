// vardelo-cli: scripted set-up and end-of-line programming of KMD drives, without a window.
#include "app/appsettings.h"
#include "app/fileconfig.h"
#include "app/module1.h"
#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "cli/cli_report.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "protocol/catalog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <clocale>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl+C lets the drive operation stop cleanly; a second one ends the program at once.
void OnInterrupt(int signal) {
    g_interrupted = 1;
    std::signal(signal, SIG_DFL);
}

// The window's settings: vdcfg.cfg when it is there (never created by a script run), the
// device chosen per COM number, then what the command line says.
LineTarget ApplySettings(const CliOptions& o, DriveLine& line) {
    Module1::ResetGlobals();
    if (QFileInfo::exists(QStringLiteral("vdcfg.cfg"))) FileConfig("read");
    LineTarget to{Module1::ComPort, Module1::BaudRate};
    ApplySavedPortDevices(line);
    if (o.comPort) to.comPort = *o.comPort;
    if (o.baud) to.baud = *o.baud;
    if (!o.device.empty()) line.setPortDevice(to.comPort, o.device);
    return to;
}

int Run(const CliOptions& o, CliReport& report, CliLine& cli) {
    report.set("port", QStringLiteral("COM%1").arg(cli.target.comPort));
    report.set("device", QString::fromStdString(cli.line.resolvePort(cli.target.comPort).device));
    report.set("baud", cli.target.baud);
    if (o.command == "send") return RunSend(o, report, cli);
    if (o.command == "scan") return RunScan(o, report, cli);
    if (o.command == "stop") return RunStop(o, report, cli);
    if (o.command == "erase") return RunErase(o, report, cli);
    if (o.command == "read-programs") return RunReadPrograms(o, report, cli);
    if (o.command == "write-programs") return RunWritePrograms(o, report, cli);
    return RunVerify(o, report, cli);
}

} // namespace

bool CliInterrupted() {
    return g_interrupted != 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.emplace_back(argv[i]);
    ParsedCommandLine parsed = ParseCommandLine(words);
    const CliOptions& o = parsed.options;

    if (o.version && parsed.error.empty()) {
        std::printf("vardelo-cli %s\n", Module1::TitoloApp.c_str());
        return ExitDone;
    }
    if (o.help && parsed.error.empty()) {
        std::fputs((o.command.empty() ? GeneralHelp() : CommandHelp(o.command)).c_str(), stdout);
        return ExitDone;
    }
    std::string error = parsed.error;
    if (error.empty() && o.command.empty()) error = "no command given (vardelo-cli --help lists them)";
    if (error.empty()) error = CheckCommandShape(o);
    CliReport report(o);
    if (!error.empty()) return report.finish(ExitUsage, error);

    Module1::InitComandi();
    QtSerialPort port;
    DriveLine line(port);
    CliLine cli{line, ApplySettings(o, line)};
    report.watch(line);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return Run(o, report, cli);
}
