// The store and grid rows behind the editor: what each edit leaves in the grid and the store.
#include "editor/prggrid.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class PrgGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Module1::ResetGlobals();
        Module1::InitComandi();
        grid.Clear();
    }
    // Fills program PrgActive with n lines "22 00".."22 nn" (hex of the index) and shows it.
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            grid.PrgLines[grid.PrgActive][i] = Line(i);
        grid.ShowPrg(grid.PrgActive);
    }
    static std::string Line(int i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "22 %02X", i);
        return buf;
    }
    Lines Stored() const {
        Lines out;
        for (const std::string& l : grid.PrgLines[grid.PrgActive])
            if (!l.empty()) out.push_back(l);
        return out;
    }
    PrgGrid grid;
};

} // namespace

TEST_F(PrgGridTest, ShowInsertAndDelete) {
    grid.PrgLines[3][4] = "A8 0F A0";
    grid.PrgLines[3][9] = "26 02 ";
    grid.PrgActive = 3;
    grid.ShowPrg(3); // gaps closed, descriptions decoded
    EXPECT_EQ(grid.GridRowCount, 3);
    EXPECT_EQ(grid.Cell(0, 0), "A8 0F A0");
    EXPECT_EQ(grid.Cell(0, 1), "Current 4000");
    EXPECT_EQ(grid.Cell(1, 0), "26 02 ");
    EXPECT_EQ(grid.Cell(2, 0), "");

    grid.PrgActive = 0;
    Fill(3);
    grid.InsertLine(1, "02"); // before a line: the rest moves down
    EXPECT_EQ(Stored(), (Lines{Line(0), "02", Line(1), Line(2)}));
    EXPECT_EQ(grid.GridRowCount, 5);
    grid.ShowPrg(0);
    EXPECT_EQ(grid.DeleteGridRow(1), 1); // a middle line: the cursor stays
    EXPECT_EQ(grid.DeleteGridRow(3), 2); // the empty row: nothing deleted
    EXPECT_EQ(grid.GridRowCount, 3);     // the empty row is hidden until the program is shown again
    grid.ShowPrg(0);
    EXPECT_EQ(grid.DeleteGridRow(2), 1); // the last line: the cursor goes to the new last line
    EXPECT_EQ(Stored(), (Lines{Line(0), Line(1)}));
    grid.DeleteGridRow(0);
    EXPECT_EQ(grid.DeleteGridRow(0), 0); // the only line: two empty rows remain
    EXPECT_EQ(grid.GridRowCount, 2);
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_TRUE(Stored().empty());
    grid.InsertLine(1, "26 02"); // still lands at line 0 of the program
    EXPECT_EQ(grid.PrgLines[0][0], "26 02");
}

TEST_F(PrgGridTest, PreviousAndNextStopAtTheEnds) {
    grid.InsertLine(0, "11");
    grid.PreviousPrg();
    EXPECT_EQ(grid.PrgActive, 0);
    EXPECT_EQ(grid.Cell(0, 0), "11");
    for (int i = 0; i < 20; ++i)
        grid.NextPrg();
    EXPECT_EQ(grid.PrgActive, 16);
    EXPECT_EQ(grid.Cell(0, 0), " ");
    grid.PreviousPrg();
    EXPECT_EQ(grid.PrgActive, 15);
}

TEST_F(PrgGridTest, FullProgramRefusesInsertAndLosesNothing) {
    Fill(51);
    EXPECT_EQ(grid.GridRowCount, 52);
    EXPECT_EQ(grid.Cell(51, 0), ""); // the append row past the buffer reads empty
    EXPECT_TRUE(grid.Full());
    const Program before = grid.PrgLines[0];
    for (int row : {0, 30, 45, 50, 51})
        EXPECT_FALSE(grid.InsertLine(row, "11"));
    grid.InsertGridRow(10);
    EXPECT_EQ(grid.PrgLines[0], before);
    EXPECT_EQ(grid.DeleteGridRow(51), 50); // cursor on the append row: nothing deleted
    EXPECT_EQ(grid.PrgLines[0], before);
    // Losing a line makes room for one again.
    grid.ShowPrg(0);
    grid.DeleteGridRow(50);
    EXPECT_EQ(Stored().size(), 50u);
    EXPECT_TRUE(grid.InsertLine(50, "11"));
    EXPECT_EQ(Stored().back(), "11");
}

TEST_F(PrgGridTest, EditsBeyondRow42ShiftAllRows) {
    Fill(50);
    ASSERT_TRUE(grid.InsertLine(0, "11")); // the 51st line: every line moves down, none drops out
    Lines lines = Stored();
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines.front(), "11");
    EXPECT_EQ(lines.back(), Line(49));
    grid.DeleteGridRow(0); // and everything moves back up, down to line 50
    lines = Stored();
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[45], Line(45));
    EXPECT_EQ(lines.back(), Line(49));
    grid.ShowPrg(0);
    EXPECT_EQ(grid.DeleteGridRow(49), 48);
    EXPECT_EQ(Stored().back(), Line(48));
}
