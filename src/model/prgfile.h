#pragma once
// The program file: all 17 programs as text between marker lines, CR LF line ends.
#include "model/prgstore.h"

#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* PrgFileHeader = "KMD EEPROM FILE V1.0";

// The whole file for a store: header, then per program its start line, its lines, its end line.
std::string FormatPrgFile(const PrgStore& store);

// What reading a file gave: the store, and what had to be left out.
struct PrgFileContent {
    PrgStore store;
    bool headerOk = true;       // false: the first line was not the header; the store is empty
    int skippedHighProgram = 0; // lines of programs numbered above 16
    int skippedPastEnd = 0;     // lines past the 51st line of a program
};

// Reads a file's text. Lines end in CR LF, LF or CR; blank lines are skipped; lines are kept as
// they stand (trailing blanks included). Nothing is ever written outside the 17 x 51 store.
PrgFileContent ParsePrgFile(std::string_view text);

// The status box line telling what a load skipped; empty when nothing was skipped.
std::string SkippedLinesText(const PrgFileContent& content);

// Writes the file atomically (temporary file, then rename): on failure the old file is left as it
// was. Returns the reason of a failure, nothing on success.
std::optional<std::string> SavePrgFile(const std::string& path, const PrgStore& store);

// Reads and parses a file; the reason when it cannot be opened or read.
struct PrgFileLoad {
    std::optional<PrgFileContent> content;
    std::string error;
};
PrgFileLoad LoadPrgFile(const std::string& path);
