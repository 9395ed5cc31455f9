#pragma once
// The command line of vardelo-cli: options, subcommand, arguments, and the help texts.
#include <optional>
#include <string>
#include <vector>

// Exit status, for scripts.
enum CliExit {
    ExitDone = 0,          // done
    ExitDrive = 1,         // the drive did not answer, refused (15h), or a verify found a mismatch
    ExitUsage = 2,         // usage error, value refused, unusable file: nothing was sent
    ExitPort = 3,          // the port could not be opened, or was lost
    ExitInterrupted = 130, // Ctrl+C: stopped between two commands, a program being written closed
};

struct CliOptions {
    std::optional<int> comPort; // --port COMn
    std::string device;         // --device PATH
    std::optional<int> baud;    // --baud 9600|19200
    bool json = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    bool verify = true;        // write-programs reads every program back unless --no-verify
    bool verifyOption = false; // --verify or --no-verify was given
    bool fast = false;         // write-programs
    std::string command;
    std::vector<std::string> args; // the subcommand's positional arguments
};

struct ParsedCommandLine {
    CliOptions options;
    std::string error; // a usage error; empty when the line is well formed
};

// Options may stand anywhere; a word that reads as a number ("-1000", "-.5") is an argument,
// never an option, and "--" ends the options.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& words);

// The subcommands and how many positional arguments each takes.
bool IsCommand(const std::string& name);
std::string GeneralHelp();
std::string CommandHelp(const std::string& command);
// Checks the options that belong to one subcommand and the argument count; empty when fine.
std::string CheckCommandShape(const CliOptions& options);

// A whole argument read as a number: decimal with optional sign, point and exponent, or
// hexadecimal after "&H" or "0x". Anything else (letters, blanks, "12abc") is no number.
std::optional<double> NumberArgument(const std::string& text);
// 0..31, or 99 for "switchall" when `allowSwitchall`.
std::optional<int> AddressArgument(const std::string& text, bool allowSwitchall);
// 0..16 for a program number.
std::optional<int> ProgramArgument(const std::string& text);
