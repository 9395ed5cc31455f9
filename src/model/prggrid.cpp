#include "model/prggrid.h"

#include "protocol/linecodec.h"

#include <algorithm>

void PrgGrid::Clear() {
    for (Program& program : PrgLines)
        program.fill(std::string());
    PrgActive = 0;
    ShowPrg(0);
}

void PrgGrid::ShowPrg(int p) {
    p = std::clamp(p, 0, NumPrograms - 1);
    GridRows.fill(Row{});
    int k = 0;
    for (const std::string& line : PrgLines[p])
        if (!line.empty()) GridRows[k++][0] = line;
    if (k == 0) GridRows[k++][0] = " ";
    GridRowCount = k + 1;
    for (int i = 0; i < k; ++i)
        GridRows[i][1] = DecodeCommand(GridRows[i][0], Lingua);
}

void PrgGrid::StorePrg() {
    // Rows go back in order from line 0, so the program stays contiguous even when an edit left
    // an empty row above a line.
    Program& program = PrgLines[PrgActive];
    program.fill(std::string());
    int k = 0;
    for (const Row& row : GridRows)
        if (IsProgramLine(row[0])) program[k++] = row[0];
}

void PrgGrid::InsertGridRow(int row) {
    if (row < 0 || row >= GridRowsMax || Full()) return;
    for (int i = GridRowsMax - 2; i >= row; --i)
        GridRows[i + 1] = GridRows[i];
    GridRows[row] = Row{};
    ++GridRowCount;
}

int PrgGrid::DeleteGridRow(int row) {
    if (row >= 0 && row < GridRowsMax) {
        for (int i = row; i < GridRowsMax - 1; ++i)
            GridRows[i] = GridRows[i + 1];
        GridRows[GridRowsMax - 1] = Row{};
    }
    if (GridRowCount > 2) --GridRowCount;
    StorePrg();
    const int lastLine = std::max(LineCount() - 1, 0);
    return std::clamp(std::min(row, lastLine), 0, GridRowCount - 1);
}

int PrgGrid::LineCount() const {
    int n = 0;
    for (const std::string& line : PrgLines[PrgActive])
        if (IsProgramLine(line)) ++n;
    return n;
}

bool PrgGrid::InsertLine(int row, const std::string& line) {
    if (Full()) return false;
    row = std::clamp(row, 0, GridRowsMax - 1);
    InsertGridRow(row);
    GridRows[row] = Row{line, std::string()};
    StorePrg();
    ShowPrg(PrgActive);
    return true;
}

void PrgGrid::PreviousPrg() {
    StorePrg();
    if (PrgActive > 0) --PrgActive;
    ShowPrg(PrgActive);
}

void PrgGrid::NextPrg() {
    StorePrg();
    if (PrgActive < NumPrograms - 1) ++PrgActive;
    ShowPrg(PrgActive);
}

const std::string& PrgGrid::Cell(int row, int column) const {
    static const std::string empty;
    if (row < 0 || row >= GridRowsMax || column < 0 || column > 1) return empty;
    return GridRows[row][column];
}
