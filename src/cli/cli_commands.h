#pragma once
// The subcommands of vardelo-cli. Each runs on the shared port with the settings in Module1,
// holds the bus for its whole run, and returns the exit status (after CliReport::finish).
#include "cli/cli_args.h"

class CliReport;

// Ctrl+C or SIGTERM arrived: the running operation stops at its next command.
bool CliInterrupted();

int RunSend(const CliOptions& options, CliReport& report);
int RunScan(const CliOptions& options, CliReport& report);
int RunErase(const CliOptions& options, CliReport& report);
int RunReadPrograms(const CliOptions& options, CliReport& report);
int RunWritePrograms(const CliOptions& options, CliReport& report);
int RunVerify(const CliOptions& options, CliReport& report);
