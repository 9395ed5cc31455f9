// Reading all programs, erasing one or all, copying inside the store, and the switchall address.
#include "model/replyscan.h"
#include "transfer_support.h"

namespace {

// Answers F2 p with `programs[p]` (bytes as hex text; "" = silence, none = 15), anything else 06.
std::function<std::optional<std::string>(const std::string&)> DriveWith(std::map<int, std::string> programs) {
    return [programs](const std::string& f) -> std::optional<std::string> {
        if (f.size() < 4 || f[2] != '\xF2') return std::string("\x06");
        auto it = programs.find(f[3]);
        if (it == programs.end()) return std::string("\x15");
        if (it->second.empty()) return std::nullopt;
        return Bytes(it->second);
    };
}

} // namespace

TEST_F(TransferTest, ReadAllStoresScannedLinesAndLeavesBadRepliesAlone) {
    rec.io.lingua = 1;
    for (int p : {2, 3, 4, 5, 6})
        store[p][0] = "26 0" + std::to_string(p);
    const PrgStore before = store;
    std::string full;
    for (int i = 0; i < 60; ++i)
        full += "11 ";
    useReplyPort().answer = DriveWith({{0, "A8 0F A0 26 02 11 5A"}, // closing byte present
                                       {1, "A8 0F A0 26 02 11"},    // last byte never examined
                                       {2, "A8 0F"},                // cut inside a command
                                       {3, "06"},                   // an acknowledgement, no data
                                       {4, ""},                     // silence
                                       {5, "11 03 5A"},             // last position no command
                                       {7, full + "5A"},            // more than the store holds
                                       {8, "03 00 11 FF"}});        // unknown bytes stepped over
    rec.answers = {true};
    ReadAllPrg(store, rec.io);
    EXPECT_EQ(rec.questions, Frames{"Vuoi leggere i programmi dal drive ?"});
    EXPECT_EQ(store[0], (Program{"A8 0F A0 ", "26 02 ", "11 "}));
    EXPECT_EQ(store[1], (Program{"A8 0F A0 ", "26 02 "}));
    for (int p : {2, 3, 4, 5})
        EXPECT_EQ(store[p], before[p]) << p;
    EXPECT_EQ(store[6], Program{}); // 15: the drive's word for an empty program
    EXPECT_EQ(store[7][50], "11 ");
    EXPECT_EQ(store[8], Program{"11 "});
    EXPECT_EQ(rec.shows, 1);
    // The last byte starts no command, even after a blank no drive's reply ends with.
    EXPECT_EQ(ScanProgramReply("11 22 ").lines, Frames{"11 "});
    // Program 4 (no answer) shows nothing; the layout still breaks the line after it.
    EXPECT_EQ(rec.text1, "Reading programs from drive...\r\nPRG 00 - READY     \r\n"
                         "PRG 01 - READY     PRG 02 - ERROR     PRG 03 - ERROR     \r\n"
                         "PRG 05 - ERROR     PRG 06 - EMPTY     PRG 07 - READY     PRG 08 - READY     \r\n"
                         "PRG 09 - EMPTY     PRG 10 - EMPTY     PRG 11 - EMPTY     PRG 12 - EMPTY     \r\n"
                         "PRG 13 - EMPTY     PRG 14 - EMPTY     PRG 15 - EMPTY     PRG 16 - EMPTY     "
                         "\r\nPRG 07 - 9 lines past line 51 dropped\r\n");
}

TEST_F(TransferTest, SwitchallOutcomes) {
    rec.io.drive.address = 99;
    store[2][0] = "11";
    const PrgStore before = store;
    rec.answers = {true, true, true, true};
    ReadAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Reading programs from drive...\r\n\r\n\r\n\r\n\r\n");
    DeleteAllPrg(rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...ERROR\r\n");
    rec.inputs = {"3"};
    DeletePrg(rec.io);
    EXPECT_EQ(rec.text1, "Erasing program 3...OK\r\n");
    SendCurrentPrg(store, 2, rec.io);
    EXPECT_EQ(rec.text1, "Erasing program 2...OK\r\nSend programs to drive...\r\nPRG. N.2...");
    SendAllPrg(store, rec.io);
    EXPECT_EQ(rec.text1, "Erasing all programs...ERROR\r\n");
    EXPECT_TRUE(framesHex().empty());
    EXPECT_EQ(store, before);
}

TEST_F(TransferTest, EraseAllAndEraseOne) {
    rec.io.lingua = 1;
    rec.answers = {false, true};
    DeleteAllPrg(rec.io);
    EXPECT_TRUE(framesHex().empty());
    DeleteAllPrg(rec.io);
    EXPECT_EQ(rec.questions, Frames(2, "Vuoi cancellare tutti i programmi ?"));
    EXPECT_EQ(framesHex(), Frames{" FC 21 F9 E9"});
    EXPECT_EQ(rec.text1, "Erasing all programs...OK\r\n");

    bus->clearFrames();
    rec.io.lingua = 2;
    // Typed numbers are read as the main window reads them, then rounded; outside 0..16 is refused.
    rec.inputs = {"16", "17", "abc", "1e300", " 2.6", "-0.4", "-1"};
    for (int i = 0; i < 7; ++i)
        DeletePrg(rec.io);
    DeletePrg(rec.io); // cancelled
    EXPECT_EQ(framesHex(),
              (Frames{" FC 41 F3 10 BF", " FC 41 F3 00 CF", " FC 41 F3 03 CC", " FC 41 F3 00 CF"}));
    EXPECT_EQ(rec.text1, ""); // the cancelled one emptied the box and did nothing else
    ASSERT_EQ(rec.prompts.size(), 8u);
    EXPECT_EQ(rec.prompts[0], (Prompt{"Insert program number\r\n(from 0 to 16)", "Erase program"}));
}

TEST_F(TransferTest, CopyAsksUntilValidAndConfirms) {
    store[2] = {"A8 0F A0", "11"};
    store[0][0] = "26 02";
    store[0][5] = "26 03";
    // Source: 17 and -0.4 are outside, 2.4 copies program 2. Destination: 16.6 rounds to 17.
    rec.inputs = {"17", "-0.4", "2.4", "16.6", "-0.4"};
    rec.answers = {true};
    CopyPrg(store, rec.io);
    EXPECT_EQ(rec.prompts.at(0), (Prompt{"Insert program source\r\n(from 0 to 16)", "Copy program"}));
    EXPECT_EQ(rec.prompts.at(3).first, "Insert program destination\r\n(from 0 to 16)");
    EXPECT_EQ(rec.questions, Frames{"Copy program  2 to  0.\r\n"
                                    "The copy destroy all data in destination program!\r\nCONFIRM ?"});
    EXPECT_EQ(store[0], (Program{"A8 0F A0", "11"}));
    EXPECT_EQ(rec.shows, 1);

    // Answered No, destination cancelled, onto itself: the store stays.
    rec.io.lingua = 1;
    store[4] = {"11", "26 02"};
    const PrgStore before = store;
    rec.prompts.clear();
    rec.inputs = {"4", "9", "4", "4"};
    rec.answers = {false};
    CopyPrg(store, rec.io);
    EXPECT_EQ(rec.prompts[0], (Prompt{"Inserisci il numero del programma da copiare\r\n(da 0 a 16)",
                                      "Copia di un programma"}));
    EXPECT_EQ(rec.prompts[1].first, "Inserisci il numero del programma destinazione\r\n(da 0 a 16)");
    EXPECT_EQ(rec.questions.back(),
              "Copia del programma  4 in  9.\r\n"
              "La copia cancellerà il contenuto del programma destinazione!\r\nCONFERMI ?");
    rec.answers = {true};
    CopyPrg(store, rec.io); // onto itself: asked, and the program stays
    rec.inputs = {"4"};
    CopyPrg(store, rec.io); // destination cancelled
    EXPECT_EQ(rec.questions.size(), 3u);
    EXPECT_EQ(store, before);
}
