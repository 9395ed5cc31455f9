#pragma once
// The subcommands of vardelo-cli. Each runs on the program's line towards the port and rate of
// the settings, holds the line for its whole run, and returns the exit status (after
// CliReport::finish).
#include "cli/cli_args.h"
#include "line/driveline.h"

class CliReport;

// The line and where it goes (COM number or its chosen device, baud rate).
struct CliLine {
    DriveLine& line;
    LineTarget target;
};

// Ctrl+C or SIGTERM arrived: the running operation stops at its next command.
bool CliInterrupted();

int RunSend(const CliOptions& options, CliReport& report, CliLine& cli);
int RunScan(const CliOptions& options, CliReport& report, CliLine& cli);
int RunStop(const CliOptions& options, CliReport& report, CliLine& cli);
int RunErase(const CliOptions& options, CliReport& report, CliLine& cli);
int RunReadPrograms(const CliOptions& options, CliReport& report, CliLine& cli);
int RunWritePrograms(const CliOptions& options, CliReport& report, CliLine& cli);
int RunVerify(const CliOptions& options, CliReport& report, CliLine& cli);
