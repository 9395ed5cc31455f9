// The listing's text lines: headings, column-30 descriptions, long hand-written lines.
#include "editor/listing.h"

#include "app/module1.h"
#include "catalog/catalog.h"

#include <gtest/gtest.h>

TEST(Listing, HeadingsAndDescriptionsInColumn30) {
    Module1::ResetGlobals();
    Module1::InitComandi();
    const std::vector<std::string> empty = ListingLines(PrgStore{});
    ASSERT_EQ(empty.size(), 2u + 17 * 2);
    EXPECT_EQ(empty[0], "PROGRAM'S LIST:");
    EXPECT_EQ(empty[1], "");
    EXPECT_EQ(empty[2], "---- PRG. N. 0 ----");
    EXPECT_EQ(empty[3], "");
    EXPECT_EQ(empty[2 + 2 * 16], "---- PRG. N. 16 ----");

    PrgStore store;
    store[0][0] = "A8 0F A0";
    store[0][3] = "26 02 "; // from the drive, with its trailing blank; gaps are not printed
    store[5][0] = "E1 00";
    store[5][1] = "11";
    store[5][2] = "11 00 00 00 00 00 00 00 00 00";       // 29 characters: the description still fits
    store[9][0] = "A8 0F A0 00 00 00 00 00 00 00 00 00"; // too long: description on the next line
    Module1::Lingua = 1;
    const std::vector<std::string> lines = ListingLines(store);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 7),
              (std::vector<std::string>{"---- PRG. N. 0 ----",
                                        "A8 0F A0" + std::string(21, ' ') + "Impostazione corrente 4000",
                                        "26 02 " + std::string(23, ' ') + "Impostazione risoluzione 1/4", "",
                                        "---- PRG. N. 1 ----"}));
    const auto prg5 = std::find(lines.begin(), lines.end(), "---- PRG. N. 5 ----");
    ASSERT_NE(prg5, lines.end());
    EXPECT_EQ(prg5[1], "E1 00" + std::string(24, ' ') + "ERROR - WRONG COMMAND");
    EXPECT_EQ(prg5[2], "11" + std::string(27, ' ') + "Stop rotazione");
    EXPECT_EQ(prg5[3], store[5][2] + "Stop rotazione");
    EXPECT_EQ(prg5[4], "");
    const auto prg9 = std::find(lines.begin(), lines.end(), "---- PRG. N. 9 ----");
    ASSERT_NE(prg9, lines.end());
    EXPECT_EQ(prg9[1], store[9][0]);
    EXPECT_EQ(prg9[2].find_first_not_of(' '), 29u);
    EXPECT_EQ(prg9[3], "");
}
