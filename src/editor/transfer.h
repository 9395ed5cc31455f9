#pragma once
// Exchanging programs with the drive at Module1::Indirizzo (taken when an operation starts), and
// copying within the store.
// Status texts go to the editor's status box through `io`; questions and prompts too.
// Every operation holds the bus for its whole run; started while the bus is busy, it beeps
// and does nothing.
#include "editor/prgstore.h"
#include "link/transaction.h"

#include <functional>
#include <string>

struct TransferIo {
    std::function<bool(const std::string& text)> ask; // Yes/No question, application title
    // Input box: the typed text, or empty on cancel.
    std::function<std::string(const std::string& prompt, const std::string& title)> input;
    std::function<void(const std::string&)> setStatus;    // replaces the status box's text
    std::function<void(const std::string&)> appendStatus; // adds to its end
    std::function<void()> beep;
    std::function<void()> showProgram; // ShowPrg(PrgActive) after the store changed
};

// An io without a window, for scripted runs (benchmarks, soak and fault tests): every question is
// answered `answer`, every prompt cancelled, the status box kept in `status`.
TransferIo HeadlessIo(std::string& status, bool answer = true);

// The editor's transaction: sends the bytes once and polls for the reply (hex text, "" for none).
void TxRxCMDEEPROM(int add, const std::string& cmdString, std::string& instring, double timeoutSeriale);
// The same on the shared port, with the outcome (port failures, link lost) for the caller.
PolledExchange EepromExchange(int add, const std::string& cmdString, double timeoutSeriale,
                              const std::string& instring = std::string());

void ReadAllPrg(PrgStore& store, TransferIo& io);
void SendAllPrg(PrgStore& store, TransferIo& io);
void SendCurrentPrg(PrgStore& store, int prgActive, TransferIo& io);
void SendPrg(PrgStore& store, int program, TransferIo& io); // 99 = all programs
void DeletePrg(TransferIo& io);
void DeleteAllPrg(TransferIo& io);
void CopyPrg(PrgStore& store, TransferIo& io);

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
