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
    // Fills program 0 with n lines "22 00".."22 nn" (hex of the index) and shows it.
    void Fill(int n) {
        for (int i = 0; i < n; ++i)
            grid.PrgLines[0][i] = Line(i);
        grid.ShowPrg(0);
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

// Inserting before a line and deleting through the window are proven by the editor window tests.
TEST_F(PrgGridTest, ShowClosesGapsAndDeleteMovesTheCursor) {
    grid.PrgLines[3][4] = "A8 0F A0";
    grid.PrgLines[3][9] = "26 02 ";
    grid.ShowPrg(3);
    EXPECT_EQ(grid.GridRowCount, 3);
    EXPECT_EQ(grid.Cell(1, 0), "26 02 ");
    for (int i = 0; i < 20; ++i) // the last program is as far as it goes
        grid.NextPrg();
    EXPECT_EQ(grid.PrgActive, 16);

    grid.PrgActive = 0;
    Fill(3);
    EXPECT_EQ(grid.DeleteGridRow(1), 1); // a middle line: the cursor stays
    EXPECT_EQ(grid.DeleteGridRow(2), 1); // the empty row: nothing deleted
    EXPECT_EQ(grid.DeleteGridRow(1), 0); // the last line: the cursor goes to the new last line
    EXPECT_EQ(grid.DeleteGridRow(0), 0); // the only line: two empty rows remain
    EXPECT_EQ(grid.GridRowCount, 2);
    EXPECT_TRUE(Stored().empty());
    grid.InsertLine(1, "26 02"); // still lands at line 0 of the program
    EXPECT_EQ(grid.PrgLines[0][0], "26 02");
}

TEST_F(PrgGridTest, FullProgramRefusesInsertAndLosesNothing) {
    Fill(50);
    ASSERT_TRUE(grid.InsertLine(0, "11")); // the 51st line: every line moves down, none drops out
    EXPECT_EQ(Stored().back(), Line(49));
    EXPECT_EQ(grid.GridRowCount, 52);
    EXPECT_EQ(grid.Cell(51, 0), ""); // the append row past the buffer reads empty
    EXPECT_TRUE(grid.Full());
    const Program before = grid.PrgLines[0];
    for (int row : {0, 30, 45, 50, 51})
        EXPECT_FALSE(grid.InsertLine(row, "11"));
    grid.InsertGridRow(10);
    EXPECT_EQ(grid.DeleteGridRow(51), 50); // cursor on the append row: nothing deleted
    EXPECT_EQ(grid.PrgLines[0], before);

    grid.DeleteGridRow(0); // everything moves back up, down to line 50
    Lines lines = Stored();
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[45], Line(45));
    EXPECT_EQ(lines.back(), Line(49));
    grid.ShowPrg(0);
    EXPECT_EQ(grid.DeleteGridRow(49), 48);
    EXPECT_EQ(Stored().back(), Line(48));
    grid.ShowPrg(0);
    EXPECT_TRUE(grid.InsertLine(49, "11")); // room again
    EXPECT_EQ(Stored().back(), "11");
}
