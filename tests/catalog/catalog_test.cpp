#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

using namespace Module1;

namespace {

// Every slot that is not blank: slot:code(hex)/NtxCmd/NrxCmd/MinCmd/MaxCmd/TipoCmd, 2e9 = 2000000000.
// Written apart from the catalog's own table so a slip in either shows up.
const char* const Listing =
    "0:01/1/1/0/0/0 1:EE/2/1/0/2/0 2:A8/3/1/0/12000/0 3:27/2/1/0/255/5 5:20/3/1/1/5000/0 "
    "6:21/3/1/1/20000/0 7:22/2/1/0/255/0 8:26/2/1/0/4/0 10:BD/3/1/1/20000/0 11:AD/2/1/0/255/0 "
    "13:32/2/1/0/255/0 14:31/5/1/-2e9/2e9/0 15:30/5/1/-2e9/2e9/0 17:A6/1/1/-2e9/2e9/0 18:02/1/1/0/0/0 "
    "19:11/1/1/0/0/0 21:AA/5/1/-2e9/2e9/0 22:B6/5/1/-2e9/2e9/0 23:AE/5/1/-2e9/2e9/0 "
    "24:23/5/1/-2e9/2e9/0 26:12/1/8/0/0/0 27:13/1/5/0/0/0 29:29/2/1/0/0/2 30:2A/2/1/0/0/2 "
    "31:B1/2/1/0/0/2 32:2C/2/1/0/0/2 33:A0/6/1/0/0/3 34:AF/2/1/0/0/2 35:B0/2/1/0/0/2 37:AB/1/5/0/0/0 "
    "38:AC/1/1/0/0/0 40:28/2/1/0/255/0 41:2B/2/1/0/255/0 42:14/1/5/0/0/0 43:10/1/5/0/0/0 "
    "45:C7/3/1/0/65535/0 46:CB/2/1/0/255/0 47:C8/3/1/0/65535/0 48:C0/2/1/0/255/0 49:C1/2/1/0/255/0 "
    "50:C2/2/1/0/255/0 52:00/0/0/0/0/0 53:F4/2/1/0/255/0 54:F5/1/1/0/0/0 56:D4/2/1/0/0/2 "
    "57:CA/2/1/0/255/0 58:B5/2/1/0/255/0 59:F6/2/1/0/255/0 60:C5/3/1/0/65535/0 61:C6/3/1/0/65535/4 "
    "63:ED/2/1/0/255/0 64:D1/2/1/0/255/0 65:CE/2/1/0/255/0 66:CF/2/1/0/255/0 67:CC/2/1/0/0/2 "
    "68:C9/5/1/0/2e9/0 70:D2/1/6/0/0/0 71:D3/5/1/-2e9/2e9/0 73:D5/3/1/0/5000/0 74:D6/3/1/0/20000/0 "
    "75:D7/3/1/0/5000/0 77:FF/2/1/0/255/0 78:00/0/0/0/0/0";

struct Row {
    int code, ntx, nrx;
    long long min, max;
    int tipo;
};

long long Number(const std::string& s) {
    if (s == "2e9") return 2000000000;
    if (s == "-2e9") return -2000000000;
    return std::stoll(s);
}

std::map<int, Row> ParseListing() {
    std::map<int, Row> rows;
    std::istringstream in(Listing);
    std::string item;
    while (in >> item) {
        auto colon = item.find(':');
        std::istringstream fields(item.substr(colon + 1));
        std::string f[6];
        for (auto& x : f)
            std::getline(fields, x, '/');
        rows[std::stoi(item.substr(0, colon))] = {std::stoi(f[0], nullptr, 16),
                                                  std::stoi(f[1]),
                                                  std::stoi(f[2]),
                                                  Number(f[3]),
                                                  Number(f[4]),
                                                  std::stoi(f[5])};
    }
    return rows;
}

class Catalog : public ::testing::Test {
  protected:
    void SetUp() override { InitComandi(); }
};

} // namespace

TEST_F(Catalog, EveryNumberOfEverySlotMatchesTheListing) {
    const auto rows = ParseListing();
    ASSERT_EQ(rows.size(), 63u); // 61 commands, the header, the end marker
    for (int slot = 0; slot < CatalogSlots; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        auto it = rows.find(slot);
        Row want = it != rows.end() ? it->second : Row{0, 0, 0, 0, 0, 0};
        EXPECT_EQ(CodiceCmd[slot], want.code);
        EXPECT_EQ(NtxCmd[slot], want.ntx);
        EXPECT_EQ(NrxCmd[slot], want.nrx);
        EXPECT_EQ(MinCmd[slot], want.min);
        EXPECT_EQ(MaxCmd[slot], want.max);
        EXPECT_EQ(TipoCmd[slot], want.tipo);
    }
}

TEST_F(Catalog, SlotKindsValueKindsAndReplyLengths) {
    const std::set<int> blanks{4, 9, 12, 16, 20, 25, 28, 36, 39, 44, 51, 55, 62, 69, 72, 76};
    const std::map<int, int> dialogs{{29, 2}, {30, 2}, {31, 2}, {32, 2}, {34, 2}, {35, 2},
                                     {56, 2}, {67, 2}, {33, 3}, {61, 4}, {3, 5}};
    const std::map<int, int> longReplies{{26, 8}, {27, 5}, {37, 5}, {42, 5}, {43, 5}, {70, 6}};
    std::set<int> codes;
    int commands = 0;
    for (int slot = 0; slot < CatalogSlots; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const bool empty = blanks.count(slot) || slot >= 79;
        if (empty) {
            EXPECT_EQ(CodiceCmd[slot], 0);
            for (auto* texts : {DescrCmdIta, DescrCmdEng, DescrCmdGer, NoteCmdIta, NoteCmdEng, NoteCmdGer})
                EXPECT_EQ(texts[slot], "");
        }
        if (CodiceCmd[slot] == 0) {
            EXPECT_TRUE(empty || slot == 52 || slot == 78);
            continue;
        }
        ++commands;
        codes.insert(CodiceCmd[slot]);
        EXPECT_FALSE(DescrCmdIta[slot].empty());
        EXPECT_FALSE(DescrCmdEng[slot].empty());
        EXPECT_FALSE(DescrCmdGer[slot].empty());
        auto d = dialogs.find(slot);
        EXPECT_EQ(TipoCmd[slot], d == dialogs.end() ? 0 : d->second);
        auto r = longReplies.find(slot);
        EXPECT_EQ(NrxCmd[slot], r == longReplies.end() ? 1 : r->second);
        EXPECT_TRUE(NtxCmd[slot] == 1 || NtxCmd[slot] == 2 || NtxCmd[slot] == 3 || NtxCmd[slot] == 5 ||
                    NtxCmd[slot] == 6);
        EXPECT_LE(MinCmd[slot], MaxCmd[slot]);
    }
    EXPECT_EQ(commands, 61);
    EXPECT_EQ(codes.size(), 61u);

    // The header has titles but no hints; the end marker has only its Italian text.
    EXPECT_EQ(DescrCmdIta[52], "COMANDI SPECIALI PER KMD CON EEPROM:");
    EXPECT_EQ(DescrCmdEng[52], "SPECIAL COMMANDS FOR KMD WITH EEPROM:");
    EXPECT_EQ(DescrCmdGer[52], "SPECIAL COMMANDS FOR KMD WITH EEPROM:");
    EXPECT_EQ(NoteCmdIta[52] + NoteCmdEng[52] + NoteCmdGer[52], "");
    EXPECT_EQ(DescrCmdIta[78], "XX");
    EXPECT_EQ(DescrCmdEng[78] + DescrCmdGer[78] + NoteCmdIta[78] + NoteCmdEng[78] + NoteCmdGer[78], "");
}

TEST_F(Catalog, TextsAreExactInEveryLanguage) {
    // Accented letters (UTF-8), trailing blanks, runs of blanks.
    EXPECT_EQ(DescrCmdIta[1], "Impostazione modalit\xC3\xA0 low noise (non usare con prg.EEPROM)");
    EXPECT_EQ(DescrCmdIta[11], "Cambio velocit\xC3\xA0 in percentuale");
    EXPECT_EQ(DescrCmdEng[11], "Change speed % ");
    EXPECT_EQ(DescrCmdGer[11], "Drehzahlaenderung in %");
    EXPECT_EQ(NoteCmdEng[1], "0=Low noise OFF        2=Low noise ON");
    EXPECT_EQ(NoteCmdGer[1], "0=AUS                  2=EIN");
    EXPECT_EQ(NoteCmdIta[40], "[\xC2\xB5s x 512]");
    EXPECT_EQ(NoteCmdGer[41], "0=Low level          - 255=High level");
    EXPECT_EQ(NoteCmdIta[46].back(), ' ');
    EXPECT_EQ(DescrCmdEng[41], "'IN POSITION' Output level");
    EXPECT_EQ(DescrCmdIta[17], "Movimento alla quota di zero");
    EXPECT_EQ(DescrCmdEng[54], "Repeat program");
    EXPECT_EQ(DescrCmdGer[54], "Satz wied");
    EXPECT_EQ(DescrCmdGer[24], "Nullpunkt einstellen auf (25600 = 1 Umdr.)");
    // The misspellings belong to the texts.
    EXPECT_EQ(DescrCmdGer[40], "Eingabe Zeitverz gerung");
    EXPECT_EQ(DescrCmdEng[60], "Min. spot lenght (only for KMD/M20)");
    EXPECT_EQ(DescrCmdEng[73], "Manual low requency (only for KMD/L50)");
    EXPECT_EQ(DescrCmdGer[33], "Eingabe des Vefahrwegs ab Erkennung der Druckmarke");
    EXPECT_EQ(NoteCmdEng[65], "0-standard (wait end pos), 1-continuos exec");
    // Hints over several lines use CR LF.
    EXPECT_EQ(NoteCmdIta[8],
              "0=passo intero     1=1/2 passo       2=1/4 di passo\r\n3=1/8 di passo     4=1/16 di passo");
    EXPECT_EQ(NoteCmdEng[8],
              "0=full step           1=half step       2=1/4 of step \r\n3=1/8 of step      4=1/16 of step ");
    EXPECT_EQ(NoteCmdIta[73], "[Hz]\r\n\r\n0 - disattiva comandi manuali");
    EXPECT_EQ(NoteCmdEng[74], "[Hz]\r\n\r\n0 - disable manual command");
    EXPECT_EQ(NoteCmdGer[75], "[steps]\r\n\r\n0 - disable ebcoder");
    EXPECT_EQ(NoteCmdIta[57],
              "0-uscite standard, &h10-reset OUT1, &h11-set OUT1, &h20-reset OUT2, &h21-set OUT2");
    EXPECT_EQ(NoteCmdEng[7], "[cs]");
    EXPECT_EQ(NoteCmdIta[7], "[centesimi di secondo]");
    EXPECT_EQ(NoteCmdGer[14], "[1/128 Schritte]");
    // Slots without hints have none in any language.
    EXPECT_EQ(NoteCmdIta[0] + NoteCmdEng[0] + NoteCmdGer[0] + NoteCmdIta[70], "");

    EXPECT_EQ(CommandDescription(2, 1), "Impostazione corrente");
    EXPECT_EQ(CommandDescription(2, 2), "Current");
    EXPECT_EQ(CommandDescription(2, 3), "Strom");
    EXPECT_EQ(CommandDescription(2, 0), "");
    EXPECT_EQ(CommandHint(13, 1), "0=Senso orario    255=Senso antiorario");
    EXPECT_EQ(CommandHint(13, 2), "0=CW    255=CCW");
    EXPECT_EQ(CommandHint(13, 3), "0=Uhrzeiger    255=Gegenuhrzeiger");
    EXPECT_EQ(CommandHint(13, 4), "");
    EXPECT_EQ(CommandDescription(-1, 2), "");
    EXPECT_EQ(CommandHint(81, 2), "");
}

TEST_F(Catalog, ListsHoldSlotsZeroTo77InEveryLanguage) {
    for (int lingua : {1, 2, 3}) {
        SCOPED_TRACE("language " + std::to_string(lingua));
        auto lines = CommandListLines(lingua);
        ASSERT_EQ(lines.size(), 78u);
        for (int slot = 0; slot < 78; ++slot)
            EXPECT_EQ(lines[slot], CommandDescription(slot, lingua));
        EXPECT_EQ(lines[4], "");
        EXPECT_EQ(lines[76], "");
        EXPECT_EQ(lines[77], lingua == 1 ? "Attivazione debug seriale" : "Serial debug activation");
    }
    EXPECT_EQ(CommandListLines(1)[52], "COMANDI SPECIALI PER KMD CON EEPROM:");
    EXPECT_EQ(CommandListLines(3)[3], "Stillstandsstromabsenkung auf");
    EXPECT_TRUE(CommandListLines(0).empty());
    EXPECT_TRUE(CommandListLines(4).empty());
}

TEST_F(Catalog, LookupAndRebuild) {
    EXPECT_EQ(TrovaComando(238), 1);
    EXPECT_EQ(TrovaComando(0), 4);
    EXPECT_EQ(TrovaComando(3), -1);
    EXPECT_EQ(TrovaComando(255), 77);
    EXPECT_EQ(TrovaComando(160), 33);
    EXPECT_EQ(TrovaComando(-1), -1);

    // A second build writes the same content.
    DescrCmdEng[2] = "changed";
    CodiceCmd[5] = 99;
    InitComandi();
    EXPECT_EQ(DescrCmdEng[2], "Current");
    EXPECT_EQ(CodiceCmd[5], 32);
}
