#include "protocol/catalog.h"
#include "protocol/linecodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace Module1;

namespace {

class LineCodec : public ::testing::Test {
  protected:
    void SetUp() override { InitComandi(); }
};

TEST_F(LineCodec, BuildsLinesOfEveryLayoutAndRefusesWhatDoesNotFit) {
    // Slot, value, mask, line. Halves round to even; values past their bytes give an empty text,
    // never wrapped bytes. Trigger commands send the mask, not the value.
    using Case = std::tuple<int, double, double, const char*>;
    const Case cases[] = {
        // clang-format off
        {19, 0, 0, "11"}, {2, 4000, 0, "A8 0F A0"}, {8, 2, 0, "26 02"}, {60, 65535, 0, "C5 FF FF"},
        {14, -1000, 0, "31 FF FF FC 18"}, {14, -1, 0, "31 FF FF FF FF"},
        {14, -2000000000, 0, "31 88 CA 6C 00"}, {29, 99, 37, "29 25"}, {33, -1000, 37, "A0 25 FF FF FC 18"},
        {61, 20 * 256 + 45, 0, "C6 14 2D"}, {7, 2.5, 0, "22 02"}, {14, -1000.4, 0, "31 FF FF FC 18"},
        {7, 256, 0, ""}, {2, -3, 0, ""}, {14, 2147483648.0, 0, ""}, {29, 0, 300, ""}, {33, 5, -1, ""}
        // clang-format on
    };
    for (const auto& [slot, value, mask, line] : cases)
        EXPECT_EQ(StringaCmd(CodiceCmd[slot], value, mask, TipoCmd[slot], NtxCmd[slot]), line)
            << "slot " << slot << " value " << value;
    // Code, value, mask, kind, byte count: the current reduction dialog's value goes out as a
    // plain byte; codes outside a byte give nothing.
    using R = std::tuple<int, double, double, int, int, std::string>;
    for (const auto& [code, value, mask, tipo, ntx, line] :
         {R{39, 202, 0, 0, 2, "27 CA"}, R{39, 202, 0, 5, 2, "27"}, R{160, 5, 1, 0, 6, "A0"},
          R{1, 5, 0, 0, 4, "01"}, R{256, 0, 0, 0, 1, ""}, R{-1, 0, 0, 0, 1, ""},
          R{0x31, std::nan(""), 0, 0, 5, ""}})
        EXPECT_EQ(StringaCmd(code, value, mask, tipo, ntx), line) << code;
}

TEST_F(LineCodec, DecodesKnownAndHandWrittenLinesInEachLanguage) {
    // Language, line, text. A blank slot has no description; " " is an empty program's
    // placeholder; 4 or 5 data bytes append nothing or a plain number. Hand-written lines: a
    // trailing blank, lower case, non-hex characters (their leading hex digits, or 0), more than 6
    // bytes (nothing appended), odd fragments at the end.
    using Case = std::tuple<int16_t, std::string, std::string>;
    const Case cases[] = {
        // clang-format off
        {2, "26 03", "Step resolution 1/8"}, {2, "27 CA", "Reduction mode 320 ms, Ired=I*50 %"},
        {2, "27 41", "Reduction mode 32 ms, Ired=I*0 %"}, {2, "31 FF FF FC 18", "Relative positioning -1000"},
        {2, "31 80 00 00 00", "Relative positioning -2147483648"},
        {2, "C5 FF FF", "Min. spot lenght (only for KMD/M20) 65535"},
        {2, "29 25", "START TRIGGER inputs setting - Inputs: 0101 Levels: 0010"},
        {2, "A0 25 FF FF FC 18", "ZERO AT FLIGHT inputs setting - Inputs: 0101 Levels: 0010 Quote = -1000"},
        {2, "32 7F", "Infinite motion - CW"}, {2, "32 80", "Infinite motion - CCW"}, {3, "32 FF", "Dauerlauf - CCW"},
        {2, "CA 1F", "Outputs set (only for KMD/M20) - Byte: 1F"},
        {2, "C6 14 2D", "Spot levels MIN,MAX (only for KMD/M20) Vmin=20 dV, Vmax=45 dV"},
        {2, "26 07", "Step resolution"}, {2, "F4 0A", "Pause 10"}, {2, "00 05", " 5"}, {2, " ", ""},
        {2, "", ""}, {2, "03 05", "ERROR - WRONG COMMAND"}, {2, "31 00 00 03", "Relative positioning"},
        {2, "A0 25 00 00 64", "ZERO AT FLIGHT inputs setting 620757092"},
        {1, "29 25", "Start trigger - Ingressi: 0101 Livelli: 0010"},
        {1, "32 FF", "Movimento infinito - Senso antiorario"},
        {1, "A0 25 FF FF FC 18", "Zero al volo - Ingressi: 0101 Livelli: 0010 Quota = -1000"},
        {3, "29 25", "Einstellung START TRIGGER Eingang - Inputs: 0101 Levels: 0010"},
        {3, "A8 0F A0", "Strom 4000"},
        {2, "31 FF FF FC 18 ", "Relative positioning -1000"}, {2, "a8 0f a0", "Current 4000"},
        {2, "A8 ZZ 1Z", "Current 1"}, {2, "A8 0F A0 00 00 00 00", "Current"}, {2, "A8 0F A", "Current 3850"},
        {2, "26 0", "Step resolution 1/1"}, {2, "2", "Start software (exec loaded quote)"},
        {2, std::string("A8 \0F", 5), "Current 0"}
        // clang-format on
    };
    for (const auto& [lingua, line, text] : cases) {
        EXPECT_EQ(DecodeCommand(line, lingua), text) << '"' << line << "\" language " << lingua;
    }
}

} // namespace
