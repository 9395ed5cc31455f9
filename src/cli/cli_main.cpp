// vardelo-cli: scripted set-up and end-of-line programming of KMD drives, without a window.
#include "app/appsettings.h"
#include "app/fileconfig.h"
#include "app/module1.h"
#include "protocol/catalog.h"
#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "cli/cli_report.h"
#include "line/portmap.h"
#include "line/qtserialport.h"
#include "line/driveline.h"

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
void ApplySettings(const CliOptions& o) {
    Module1::ResetGlobals();
    if (QFileInfo::exists(QStringLiteral("vdcfg.cfg"))) FileConfig("read");
    Module1::Lingua = 2; // the CLI speaks English, whatever the window's language
    ApplySavedPortDevices();
    if (o.comPort) Module1::ComPort = static_cast<int16_t>(*o.comPort);
    if (o.baud) Module1::BaudRate = static_cast<int16_t>(*o.baud);
    if (!o.device.empty()) SetPortDevice(Module1::ComPort, o.device);
}

int Run(const CliOptions& o, CliReport& report) {
    report.set("port", QStringLiteral("COM%1").arg(Module1::ComPort));
    report.set("device", QString::fromStdString(ResolvePort(Module1::ComPort).device));
    report.set("baud", Module1::BaudRate);
    if (o.command == "send") return RunSend(o, report);
    if (o.command == "scan") return RunScan(o, report);
    if (o.command == "erase") return RunErase(o, report);
    if (o.command == "read-programs") return RunReadPrograms(o, report);
    if (o.command == "write-programs") return RunWritePrograms(o, report);
    return RunVerify(o, report);
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
    ApplySettings(o);
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    QtSerialPort port;
    SetSharedPort(&port);
    int result = Run(o, report);
    port.close();
    SetSharedPort(nullptr);
    return result;
}
