#pragma once
// Exchanging programs with a drive, and copying within the store.
// Status texts go to the editor's status box through `io`; questions and prompts too.
// Every operation holds the bus for its whole run; started while the bus is busy, it beeps
// and does nothing.
#include "line/driveline.h"
#include "model/prgstore.h"
#include "model/verify.h"

#include <functional>
#include <string>
#include <vector>

// How a transfer paces itself. The defaults keep the drive's standard pacing (every wait in full).
struct TransferOptions {
    // Move on as soon as the drive's answer is complete: a one-byte answer at once, a program
    // read when the line falls quiet. A drive that does not answer is waited for exactly as at
    // the standard pacing (the same waits and attempts).
    bool fast = false;
    // After a program is sent, read it back and compare it with the store; it counts as sent
    // only when it matches ("PRG. N.<n> VERIFIED" / "PRG. N.<n> MISMATCH line <k>").
    bool verify = false;
};

struct TransferIo {
    DriveLine* line = nullptr; // the line the drive is on (required)
    DriveAt drive;             // the drive every command of the operation goes to
    int lingua = 2;            // the language of questions and prompts (1 Italian, else English)

    std::function<bool(const std::string& text)> ask; // Yes/No question, application title
    // Input box: the typed text, or empty on cancel.
    std::function<std::string(const std::string& prompt, const std::string& title)> input;
    std::function<void(const std::string&)> setStatus;    // replaces the status box's text
    std::function<void(const std::string&)> appendStatus; // adds to its end
    std::function<void()> beep;
    std::function<void()> showProgram; // ShowPrg(PrgActive) after the store changed

    TransferOptions options;
    // Drive commands done out of the operation's total: (0, total) once the operation starts
    // talking to the drive, then after every command. May be empty.
    std::function<void(int done, int total)> progress;
    // Asked before every program and every line; true stops the operation. A program being
    // written is closed (F1) and erased (F3), "PRG. N.<n> CANCELLED - erased" (or "- could not be
    // erased"), then "Transfer cancelled" is appended.
    // May be empty (never cancelled).
    std::function<bool()> cancelled;
};

// What an operation did, for callers without a status box (the command-line tool).
struct TransferResult {
    // Ran to its end with every answer as it must be (and, when verifying, every program matched).
    bool ok = false;
    bool cancelled = false;
    std::vector<int> sent;            // programs written and closed (and verified, when asked)
    std::vector<ProgramCheck> checks; // every program compared, in order
};

// An io without a window, for scripted runs (benchmarks, soak and fault tests): every question is
// answered `answer`, every prompt cancelled, the status box kept in `status`; drive 0 on COM1.
TransferIo HeadlessIo(DriveLine& line, std::string& status, bool answer = true);

// The editor's transaction: sends the bytes once to io.drive and polls for the reply (hex text
// in `instring`, "" for none), with the outcome (port failures, link lost) for the caller.
PolledExchange EepromExchange(const TransferIo& io, const std::string& cmdString, double timeoutSeriale,
                              const std::string& instring = std::string(), ReplyEnd end = ReplyEnd::Fixed);

// The editor's operations. Each asks its question (where it has one) through `io`, writes its
// status texts there, honours io.options, io.progress and io.cancelled, and says what it did.
TransferResult ReadAllPrg(PrgStore& store, TransferIo& io);
TransferResult SendAllPrg(PrgStore& store, TransferIo& io);
TransferResult SendCurrentPrg(PrgStore& store, int prgActive, TransferIo& io);
TransferResult SendPrg(PrgStore& store, int program, TransferIo& io); // 99 = all programs
TransferResult DeletePrg(TransferIo& io);
TransferResult DeleteAllPrg(TransferIo& io);
void CopyPrg(PrgStore& store, TransferIo& io);
// Compares every program of the store with the drive (no question asked, the store unchanged):
// "Verifying programs on drive..." then one check per program; ok when all 17 match.
TransferResult VerifyPrg(const PrgStore& store, TransferIo& io);

// How long each EEPROM command waits for its answer after the first 50 ms look, in seconds.
namespace EepromTimeout {
constexpr double EraseAll = 2.0; // F9
constexpr double Erase = 2.0;    // F3 p
constexpr double Begin = 0.2;    // F0 p
constexpr double Line = 0.2;     // a program line
constexpr double End = 1.0;      // F1
constexpr double Read = 1.0;     // F2 p
constexpr double FirstLook = 0.05;
} // namespace EepromTimeout
