#include "app/module1.h"
#include "catalog/catalog.h"
#include "editor/linecodec.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Module1;

namespace {

class LineCodec : public ::testing::Test {
  protected:
    void SetUp() override {
        InitComandi();
        Lingua = 2;
    }
    void TearDown() override { Lingua = 2; }

    // The line of a catalog slot with a value, as the editor builds it.
    static std::string Line(int slot, double value, double mask = 0) {
        return StringaCmd(CodiceCmd[slot], value, mask, TipoCmd[slot], NtxCmd[slot]);
    }
};

} // namespace

TEST_F(LineCodec, BuildsLinesOfEveryLayout) {
    EXPECT_EQ(Line(19, 0), "11"); // stop rotation: code alone
    EXPECT_EQ(Line(2, 4000), "A8 0F A0");
    EXPECT_EQ(Line(2, 3000), "A8 0B B8");
    EXPECT_EQ(Line(8, 2), "26 02");
    EXPECT_EQ(Line(60, 65535), "C5 FF FF");
    EXPECT_EQ(Line(60, 0), "C5 00 00");
    EXPECT_EQ(Line(14, -1000), "31 FF FF FC 18");
    EXPECT_EQ(Line(14, -1), "31 FF FF FF FF");
    EXPECT_EQ(Line(14, 1000), "31 00 00 03 E8");
    EXPECT_EQ(Line(14, -2000000000), "31 88 CA 6C 00");
    EXPECT_EQ(Line(14, 2000000000), "31 77 35 94 00");
    EXPECT_EQ(Line(29, 99, 37), "29 25"); // trigger: the mask, not the value
    EXPECT_EQ(Line(33, -1000, 37), "A0 25 FF FF FC 18");
    EXPECT_EQ(Line(61, 20 * 256 + 45), "C6 14 2D"); // spot levels MIN, MAX
    // The current reduction dialog's value goes out as a plain byte.
    EXPECT_EQ(StringaCmd(39, 202, 0, 0, 2), "27 CA");
    EXPECT_EQ(StringaCmd(39, 202, 0, 5, 2), "27");
    EXPECT_EQ(StringaCmd(160, 5, 1, 0, 6), "A0");
    EXPECT_EQ(StringaCmd(1, 5, 0, 0, 4), "01");
}

TEST_F(LineCodec, RoundsHalvesToEvenAndNeverWraps) {
    EXPECT_EQ(Line(7, 2.5), "22 02");
    EXPECT_EQ(Line(7, 3.5), "22 04");
    EXPECT_EQ(Line(2, 255.6), "A8 01 00");
    EXPECT_EQ(Line(14, -1000.4), "31 FF FF FC 18");
    EXPECT_EQ(Line(14, -0.3), "31 00 00 00 00");
    // Values past their bytes are refused with an empty text, never sent as wrapped bytes.
    EXPECT_EQ(Line(7, 256), "");
    EXPECT_EQ(Line(7, -1), "");
    EXPECT_EQ(Line(2, 65536), "");
    EXPECT_EQ(Line(2, -3), "");
    EXPECT_EQ(Line(14, 2147483648.0), "");
    EXPECT_EQ(Line(14, 1e300), "");
    EXPECT_EQ(Line(14, std::nan("")), "");
    EXPECT_EQ(Line(29, 0, 300), "");
    EXPECT_EQ(Line(33, 5, -1), "");
    EXPECT_EQ(StringaCmd(256, 0, 0, 0, 1), "");
    EXPECT_EQ(StringaCmd(-1, 0, 0, 0, 1), "");
}

TEST_F(LineCodec, DecodesTheKnownLines) {
    EXPECT_EQ(DecodeCommand("26 02"), "Step resolution 1/4");
    EXPECT_EQ(DecodeCommand("27 CA"), "Reduction mode 320 ms, Ired=I*50 %");
    EXPECT_EQ(DecodeCommand("27 00"), "Reduction mode 0 ms, Ired=I*100 %");
    EXPECT_EQ(DecodeCommand("27 41"), "Reduction mode 32 ms, Ired=I*0 %");
    EXPECT_EQ(DecodeCommand("27 BF"), "Reduction mode 2016 ms, Ired=I*25 %");
    EXPECT_EQ(DecodeCommand("31 FF FF FC 18"), "Relative positioning -1000");
    EXPECT_EQ(DecodeCommand("31 00 00 03 E8"), "Relative positioning 1000");
    EXPECT_EQ(DecodeCommand("A8 0F A0"), "Current 4000");
    EXPECT_EQ(DecodeCommand("C5 FF FF"), "Min. spot lenght (only for KMD/M20) 65535");
    EXPECT_EQ(DecodeCommand(Line(14, -2000000000)), "Relative positioning -2000000000");
    EXPECT_EQ(DecodeCommand("31 80 00 00 00"), "Relative positioning -2147483648");
    EXPECT_EQ(DecodeCommand("29 25"), "START TRIGGER inputs setting - Inputs: 0101 Levels: 0010");
    EXPECT_EQ(DecodeCommand("A0 25 FF FF FC 18"),
              "ZERO AT FLIGHT inputs setting - Inputs: 0101 Levels: 0010 Quote = -1000");
    EXPECT_EQ(DecodeCommand("A0 25 00 00 64 00"),
              "ZERO AT FLIGHT inputs setting - Inputs: 0101 Levels: 0010 Quote = 25600");
    EXPECT_EQ(DecodeCommand("32 7F"), "Infinite motion - CW");
    EXPECT_EQ(DecodeCommand("32 80"), "Infinite motion - CCW");
    EXPECT_EQ(DecodeCommand("CA 1F"), "Outputs set (only for KMD/M20) - Byte: 1F");
    EXPECT_EQ(DecodeCommand("C6 14 2D"), "Spot levels MIN,MAX (only for KMD/M20) Vmin=20 dV, Vmax=45 dV");
    EXPECT_EQ(DecodeCommand("26 07"), "Step resolution");
    EXPECT_EQ(DecodeCommand("F4 0A"), "Pause 10");
    EXPECT_EQ(DecodeCommand("11"), "Stop rotation");
    EXPECT_EQ(DecodeCommand("00 05"), " 5"); // first blank slot: no description
    EXPECT_EQ(DecodeCommand(" "), "");       // placeholder of an empty program
    EXPECT_EQ(DecodeCommand(""), "");
    EXPECT_EQ(DecodeCommand("03 05"), "ERROR - WRONG COMMAND");
    EXPECT_EQ(DecodeCommand("A0 25 00 00 64"), "ZERO AT FLIGHT inputs setting 620757092"); // 5 bytes
    EXPECT_EQ(DecodeCommand("31 00 00 03"), "Relative positioning");                       // 4 bytes: nothing
}

TEST_F(LineCodec, DecodesInTheCurrentLanguage) {
    Lingua = 1;
    EXPECT_EQ(DecodeCommand("29 25"), "Start trigger - Ingressi: 0101 Livelli: 0010");
    EXPECT_EQ(DecodeCommand("32 FF"), "Movimento infinito - Senso antiorario");
    EXPECT_EQ(DecodeCommand("32 00"), "Movimento infinito - Senso orario");
    EXPECT_EQ(DecodeCommand("A0 25 FF FF FC 18"),
              "Zero al volo - Ingressi: 0101 Livelli: 0010 Quota = -1000");
    EXPECT_EQ(DecodeCommand("03"), "ERROR - WRONG COMMAND");
    Lingua = 3;
    EXPECT_EQ(DecodeCommand("29 25"), "Einstellung START TRIGGER Eingang - Inputs: 0101 Levels: 0010");
    EXPECT_EQ(DecodeCommand("A8 0F A0"), "Strom 4000");
    EXPECT_EQ(DecodeCommand("32 FF"), "Dauerlauf - CCW");
}

TEST_F(LineCodec, RoundTripsAndReportsTheByteCount) {
    for (int slot = 0; slot < CatalogSlots; ++slot) {
        if (CodiceCmd[slot] == 0) continue;
        // The reduction dialog's byte goes out as a plain value.
        const int tipo = TipoCmd[slot] == 5 ? 0 : TipoCmd[slot];
        const std::string line = StringaCmd(CodiceCmd[slot], MaxCmd[slot], 37, tipo, NtxCmd[slot]);
        int n = -7;
        const std::string text = DecodeCommand(line, n);
        SCOPED_TRACE(line);
        EXPECT_EQ(n, NtxCmd[slot]);
        EXPECT_EQ(text.rfind(DescrCmdEng[slot], 0), 0u);
        EXPECT_EQ(line.size(), NtxCmd[slot] * 3u - 1);
    }
    int n = -7;
    DecodeCommand("03 05", n);
    EXPECT_EQ(n, -7); // unknown code leaves it alone
    DecodeCommand("", n);
    EXPECT_EQ(n, -7);
}

TEST_F(LineCodec, HandWrittenLinesAreReadSafely) {
    // A trailing blank (lines read back from the drive) decodes the same.
    EXPECT_EQ(DecodeCommand("A8 0F A0 "), DecodeCommand("A8 0F A0"));
    EXPECT_EQ(DecodeCommand("31 FF FF FC 18 "), "Relative positioning -1000");
    // Lower-case digits and non-hex characters read as their leading hex digits, or 0.
    EXPECT_EQ(DecodeCommand("a8 0f a0"), "Current 4000");
    EXPECT_EQ(DecodeCommand("A8 ZZ 1Z"), "Current 1");
    EXPECT_EQ(DecodeCommand("A8 \xFF\xFE 0"), "Current 0");
    EXPECT_EQ(DecodeCommand("ZZ 05"), " 5");
    // Over-long lines: at most 21 bytes are read, and more than 6 bytes append nothing.
    std::string longLine = "A8";
    for (int i = 0; i < 400; ++i)
        longLine += " 0F";
    EXPECT_EQ(DecodeCommand(longLine), "Current");
    EXPECT_EQ(DecodeCommand("A8 0F A0 00 00 00 00"), "Current");
    // Odd fragments at the end never read past the text.
    EXPECT_EQ(DecodeCommand("A8 0F A"), "Current 3850");
    EXPECT_EQ(DecodeCommand("26 0"), "Step resolution 1/1");
    EXPECT_EQ(DecodeCommand("2"), "Start software (exec loaded quote)");
    EXPECT_EQ(DecodeCommand(std::string("A8 \0F", 5)), "Current 0");
}
