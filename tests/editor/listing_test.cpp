// The listing's text lines: headings, column-30 descriptions, long hand-written lines.
#include "editor/listing.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <gtest/gtest.h>

class ListingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Module1::ResetGlobals();
        Module1::InitComandi();
    }
};

TEST_F(ListingTest, EmptyStorePrintsTitleAndSeventeenHeadings) {
    const std::vector<std::string> lines = ListingLines(PrgStore{});
    ASSERT_EQ(lines.size(), 2u + 17 * 2);
    EXPECT_EQ(lines[0], "PROGRAM'S LIST:");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "---- PRG. N. 0 ----");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[2 + 2 * 10], "---- PRG. N. 10 ----");
    EXPECT_EQ(lines[2 + 2 * 16], "---- PRG. N. 16 ----");
    EXPECT_EQ(lines.back(), "");
}

TEST_F(ListingTest, DescriptionsStartInColumn30) {
    PrgStore store;
    store[0][0] = "A8 0F A0";
    store[0][3] = "26 02 "; // from the drive, with its trailing blank; gaps are not printed
    store[5][0] = "E1 00";
    store[5][1] = "11";
    Module1::Lingua = 1;
    const std::vector<std::string> lines = ListingLines(store);
    EXPECT_EQ(lines[3], "A8 0F A0" + std::string(21, ' ') + "Impostazione corrente 4000");
    EXPECT_EQ(lines[4], "26 02 " + std::string(23, ' ') + "Impostazione risoluzione 1/4");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "---- PRG. N. 1 ----");
    const auto prg5 = std::find(lines.begin(), lines.end(), "---- PRG. N. 5 ----");
    ASSERT_NE(prg5, lines.end());
    EXPECT_EQ(prg5[1], "E1 00" + std::string(24, ' ') + "ERROR - WRONG COMMAND");
    EXPECT_EQ(prg5[2], "11" + std::string(27, ' ') + "Stop rotazione");
    EXPECT_EQ(prg5[3], "");
}

TEST_F(ListingTest, OverlongLinePutsDescriptionOnNextLineAtColumn30) {
    PrgStore store;
    store[0][0] = "A8 0F A0 00 00 00 00 00 00 00 00 00";
    const std::vector<std::string> lines = ListingLines(store);
    EXPECT_EQ(lines[3], store[0][0]);
    EXPECT_EQ(lines[4].find_first_not_of(' '), 29u);
    EXPECT_EQ(lines[5], "");
}
