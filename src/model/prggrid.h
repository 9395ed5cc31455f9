#pragma once
// The editor's store and the rows of its grid, without any widget: the program on show is copied
// into GridRows (hex text, description), edited there and written straight back to PrgLines.
#include "model/prgstore.h"

#include <array>
#include <cstdint>
#include <string>

class PrgGrid {
  public:
    using Row = std::array<std::string, 2>; // hex text, description
    static constexpr int GridRowsMax = LinesPerProgram;

    PrgStore PrgLines;
    std::array<Row, GridRowsMax> GridRows;
    // Rows the grid shows: the lines plus the empty row where new commands are appended.
    // With a full program of 51 lines that empty row lies past GridRows and reads as empty.
    int32_t GridRowCount = 2;
    int16_t PrgActive = 0;
    // The language the descriptions are in (1 Italian, 2 English, 3 German).
    int Lingua = 2;

    // Empties all programs and shows program 0.
    void Clear();
    // Copies program p into the grid, compacted, and decodes its lines. An empty program shows
    // the placeholder row " ".
    void ShowPrg(int p);
    // Writes the grid's hex column back into program PrgActive, in row order.
    void StorePrg();
    // Opens an empty row at `row`, moving the rows below it down by one.
    void InsertGridRow(int row);
    // Removes `row`, pulling the rows below it up; returns the row the cursor rests on afterwards.
    int DeleteGridRow(int row);

    // Lines held by program PrgActive.
    int LineCount() const;
    // True when the grid's last row is taken: one more row would push a line out.
    bool Full() const { return !GridRows[GridRowsMax - 1][0].empty(); }
    // Inserts a line before `row` and shows the program again; false (nothing changed) when
    // the program already holds 51 lines.
    bool InsertLine(int row, const std::string& line);
    // Previous / next program; the same program again at 0 / 16.
    void PreviousPrg();
    void NextPrg();

    // A row's cell, empty for rows past the buffer.
    const std::string& Cell(int row, int column) const;
};
