// The store behind the editor's grid: the edits of a full program must not lose a line. Inserting,
// deleting and moving between programs are proven through the editor window.
#include "model/prggrid.h"

#include "app/module1.h"
#include "protocol/catalog.h"

#include <gtest/gtest.h>

TEST(PrgGrid, FullProgramRefusesInsertAndLosesNothing) {
    Module1::ResetGlobals();
    Module1::InitComandi();
    PrgGrid grid;
    grid.Clear();
    auto line = [](int i) { return "22 " + std::to_string(i); };
    Program lines{};
    for (int i = 0; i < 50; ++i)
        lines[i] = grid.PrgLines[0][i] = line(i);
    grid.ShowPrg(0);
    ASSERT_TRUE(grid.InsertLine(0, "11")); // the 51st line: every line moves down, none drops out
    EXPECT_EQ(grid.PrgLines[0][50], line(49));
    EXPECT_EQ(grid.GridRowCount, 52);
    EXPECT_EQ(grid.Cell(51, 0), ""); // the append row past the buffer reads empty
    EXPECT_TRUE(grid.Full());
    const Program full = grid.PrgLines[0];
    for (int row : {0, 30, 45, 50, 51})
        EXPECT_FALSE(grid.InsertLine(row, "11"));
    grid.InsertGridRow(10);
    EXPECT_EQ(grid.DeleteGridRow(51), 50); // cursor on the append row: nothing deleted
    EXPECT_EQ(grid.PrgLines[0], full);

    grid.DeleteGridRow(0); // everything moves back up, down to line 50
    EXPECT_EQ(grid.PrgLines[0], lines);
    grid.ShowPrg(0);
    EXPECT_EQ(grid.DeleteGridRow(49), 48); // the last line: the cursor goes to the new last line
    EXPECT_EQ(grid.PrgLines[0][48], line(48));
    EXPECT_EQ(grid.PrgLines[0][49], "");
    grid.ShowPrg(0);
    EXPECT_TRUE(grid.InsertLine(49, "11")); // room again
    EXPECT_EQ(grid.PrgLines[0][49], "11");
}
