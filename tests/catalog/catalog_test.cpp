#include "protocol/catalog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

using namespace Module1;

namespace {

// Every slot that is not all zeros: slot:code(hex)/NtxCmd/NrxCmd/MinCmd/MaxCmd/TipoCmd. Written
// apart from the catalog's own table so a slip in either shows up.
const char* const Listing =
    "0:01/1/1/0/0/0 1:EE/2/1/0/2/0 2:A8/3/1/0/12000/0 3:27/2/1/0/255/5 5:20/3/1/1/5000/0 6:21/3/1/1/20000/0 "
    "7:22/2/1/0/255/0 8:26/2/1/0/4/0 10:BD/3/1/1/20000/0 11:AD/2/1/0/255/0 13:32/2/1/0/255/0 "
    "14:31/5/1/-2e+09/2e+09/0 15:30/5/1/-2e+09/2e+09/0 17:A6/1/1/-2e+09/2e+09/0 18:02/1/1/0/0/0 "
    "19:11/1/1/0/0/0 21:AA/5/1/-2e+09/2e+09/0 22:B6/5/1/-2e+09/2e+09/0 23:AE/5/1/-2e+09/2e+09/0 "
    "24:23/5/1/-2e+09/2e+09/0 26:12/1/8/0/0/0 27:13/1/5/0/0/0 29:29/2/1/0/0/2 30:2A/2/1/0/0/2 "
    "31:B1/2/1/0/0/2 32:2C/2/1/0/0/2 33:A0/6/1/0/0/3 34:AF/2/1/0/0/2 35:B0/2/1/0/0/2 37:AB/1/5/0/0/0 "
    "38:AC/1/1/0/0/0 40:28/2/1/0/255/0 41:2B/2/1/0/255/0 42:14/1/5/0/0/0 43:10/1/5/0/0/0 "
    "45:C7/3/1/0/65535/0 46:CB/2/1/0/255/0 47:C8/3/1/0/65535/0 48:C0/2/1/0/255/0 49:C1/2/1/0/255/0 "
    "50:C2/2/1/0/255/0 53:F4/2/1/0/255/0 54:F5/1/1/0/0/0 56:D4/2/1/0/0/2 57:CA/2/1/0/255/0 "
    "58:B5/2/1/0/255/0 59:F6/2/1/0/255/0 60:C5/3/1/0/65535/0 61:C6/3/1/0/65535/4 63:ED/2/1/0/255/0 "
    "64:D1/2/1/0/255/0 65:CE/2/1/0/255/0 66:CF/2/1/0/255/0 67:CC/2/1/0/0/2 68:C9/5/1/0/2e+09/0 "
    "70:D2/1/6/0/0/0 71:D3/5/1/-2e+09/2e+09/0 73:D5/3/1/0/5000/0 74:D6/3/1/0/20000/0 75:D7/3/1/0/5000/0 "
    "77:FF/2/1/0/255/0 ";

class Catalog : public ::testing::Test {
  protected:
    void SetUp() override { InitComandi(); }
};

} // namespace

TEST_F(Catalog, EveryNumberOfEverySlotMatchesTheListing) {
    std::string got;
    for (int slot = 0; slot < CatalogSlots; ++slot) {
        char item[64];
        std::snprintf(item, sizeof item, "%d:%02X/%d/%d/%g/%g/%d ", slot, CodiceCmd[slot], NtxCmd[slot],
                      NrxCmd[slot], double(MinCmd[slot]), double(MaxCmd[slot]), TipoCmd[slot]);
        if (item != std::to_string(slot) + ":00/0/0/0/0/0 ") got += item;
    }
    EXPECT_EQ(got, Listing);
}

TEST_F(Catalog, TextsAreExactInEveryLanguage) {
    // Accented letters (UTF-8), trailing blanks, runs of blanks, the texts' own misspellings, hints
    // over several lines with CR LF; the header has titles but no hints, the end marker only "XX".
    using Case = std::tuple<const std::string*, int, const char*>; // table, slot, text
    const Case cases[] = {
        {DescrCmdIta, 1, "Impostazione modalit\xC3\xA0 low noise (non usare con prg.EEPROM)"},
        {DescrCmdEng, 11, "Change speed % "},
        {NoteCmdEng, 1, "0=Low noise OFF        2=Low noise ON"},
        {NoteCmdIta, 40, "[\xC2\xB5s x 512]"},
        {DescrCmdGer, 40, "Eingabe Zeitverz gerung"},
        {DescrCmdEng, 60, "Min. spot lenght (only for KMD/M20)"},
        {DescrCmdEng, 73, "Manual low requency (only for KMD/L50)"},
        {DescrCmdGer, 33, "Eingabe des Vefahrwegs ab Erkennung der Druckmarke"},
        {DescrCmdGer, 14, "Eingabe relativer Weg"},
        {NoteCmdEng, 8,
         "0=full step           1=half step       2=1/4 of step \r\n3=1/8 of step      4=1/16 of step "},
        {NoteCmdGer, 75, "[steps]\r\n\r\n0 - disable ebcoder"},
        {NoteCmdIta, 57, "0-uscite standard, &h10-reset OUT1, &h11-set OUT1, &h20-reset OUT2, &h21-set OUT2"},
        {NoteCmdIta, 70, ""},
        {DescrCmdIta, 52, "COMANDI SPECIALI PER KMD CON EEPROM:"},
        {DescrCmdGer, 52, "SPECIAL COMMANDS FOR KMD WITH EEPROM:"},
        {NoteCmdEng, 52, ""},
        {DescrCmdIta, 78, "XX"},
        {DescrCmdEng, 78, ""},
    };
    for (const auto& [table, slot, text] : cases)
        EXPECT_EQ(table[slot], text) << "slot " << slot;
    for (int slot = 0; slot < CatalogSlots; ++slot) // every command described in every language
        EXPECT_TRUE(CodiceCmd[slot] == 0 ||
                    !(DescrCmdIta[slot].empty() || DescrCmdEng[slot].empty() || DescrCmdGer[slot].empty()))
            << slot;

    EXPECT_EQ(CommandHint(13, 2), "0=CW    255=CCW");
    EXPECT_EQ(CommandHint(13, 3), "0=Uhrzeiger    255=Gegenuhrzeiger");
    for (auto [slot, lingua] : {std::pair{2, 0}, {13, 4}, {-1, 2}, {81, 2}})
        EXPECT_EQ(CommandDescription(slot, lingua) + CommandHint(slot, lingua), "") << slot << " " << lingua;
}

TEST_F(Catalog, LookupFindsTheSlotOfACode) {
    for (auto [code, slot] : {std::pair{1, 0}, {238, 1}, {0, 4}, {3, -1}, {255, 77}, {160, 33}, {-1, -1}})
        EXPECT_EQ(TrovaComando(code), slot) << code;
}
