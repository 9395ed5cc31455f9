// The listing's text lines: headings, column-30 descriptions, long hand-written lines.
#include "model/listing.h"

#include "app/module1.h"
#include "protocol/catalog.h"

#include <gtest/gtest.h>

TEST(Listing, HeadingsAndDescriptionsInColumn30) {
    Module1::ResetGlobals();
    Module1::InitComandi();
    using Lines = std::vector<std::string>;
    const Lines empty = ListingLines(PrgStore{}, 2);
    ASSERT_EQ(empty.size(), 2u + 17 * 2);
    EXPECT_EQ(Lines(empty.begin(), empty.begin() + 5),
              (Lines{"PROGRAM'S LIST:", "", "---- PRG. N. 0 ----", "", "---- PRG. N. 1 ----"}));
    EXPECT_EQ(empty[2 + 2 * 16], "---- PRG. N. 16 ----");

    PrgStore store;
    store[0][0] = "A8 0F A0";
    store[0][3] = "26 03 "; // from the drive, with its trailing blank; gaps are not printed
    store[5] = {"E1 00", "11", "11 00 00 00 00 00 00 00 00 00"}; // the last, 29 characters: it still fits
    store[9][0] = "E1 00 00 00 00 00 00 00 00 00 00 00";         // too long: description on the next line
    const Lines lines = ListingLines(store, 1);
    EXPECT_EQ(
        Lines(lines.begin() + 2, lines.begin() + 7),
        (Lines{"---- PRG. N. 0 ----", "A8 0F A0" + std::string(21, ' ') + "Impostazione corrente 4000",
               "26 03 " + std::string(23, ' ') + "Impostazione risoluzione 1/8", "", "---- PRG. N. 1 ----"}));
    EXPECT_EQ(Lines(lines.begin() + 14, lines.begin() + 19),
              (Lines{"---- PRG. N. 5 ----", "E1 00" + std::string(24, ' ') + "ERROR - WRONG COMMAND",
                     "11" + std::string(27, ' ') + "Stop rotazione", store[5][2] + "Stop rotazione", ""}));
    EXPECT_EQ(
        Lines(lines.begin() + 25, lines.begin() + 29),
        (Lines{"---- PRG. N. 9 ----", store[9][0], std::string(29, ' ') + "ERROR - WRONG COMMAND", ""}));
}
