#pragma once
// The store of drive programs the editor works on: 17 programs of 51 lines of hex text.
#include <array>
#include <string>

constexpr int NumPrograms = 17;
constexpr int LinesPerProgram = 51;
using Program = std::array<std::string, LinesPerProgram>;
using PrgStore = std::array<Program, NumPrograms>;

// A line counts when it is neither empty nor a single blank (the empty-program placeholder).
inline bool IsProgramLine(const std::string& line) {
    return !line.empty() && line != " ";
}
