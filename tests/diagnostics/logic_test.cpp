#include "ui/diagnostics/special_logic.h"

#include <gtest/gtest.h>

TEST(SpecialLogic, RepliesReadAsAnalogValueAndStatusBit) {
    // Full scale 1010 counts is 25600 steps; 25.3 keeps its integer part.
    for (auto [analog, position] : {std::pair{1010, 25600}, {0, 0}, {1, 25}, {65535, 1661085}})
        EXPECT_EQ(LoopPosition(analog), position) << analog;
    const std::pair<const char*, int> analog[] = {
        {"FC 26 D2 03 F2 1A", 1010}, {"FC 26 D2 00 00 1A", 0}, {"06", 0}, {"15", 0}, {"", 0},
        {"FC 26 D2 03", 3 * 256}, // the fifth byte is missing
        {"FC 26 D2 0", 0},        // half a byte
        {"FC 26 D2 ZZ 10 00", 16}};
    for (auto [reply, value] : analog)
        EXPECT_EQ(AnalogOfReply(reply), value) << reply;
    // The last bit of the reply decides; a refusal keeps the wait going, nothing ends it, and a
    // reply longer than a 16-bit number is still read.
    const std::pair<const char*, bool> status[] = {{"01", true},
                                                   {"81", true},
                                                   {"15", true},
                                                   {"00", false},
                                                   {"06", false},
                                                   {"", false},
                                                   {"FC 21 AC 00 00 00 01", true},
                                                   {"FF FF FF FE", false}};
    for (auto [reply, bit] : status)
        EXPECT_EQ(StatusBit0(reply), bit) << reply;
}

// Draws in the order ramp, maximum frequency, distance, direction; direction draws of 128 and
// above (r * 255) negate.
TEST(SpecialLogic, StepMovesFromTheirDraws) {
    const float top = 0.99999994f; // the largest draw below 1
    struct Case {
        float r[4];
        int ramp, fmax, distance;
    } cases[] = {{{0, 0, 0, 0}, 5, 2000, 16},
                 {{0.6f, 0.5f, 0.5f, 0.5f}, 8, 21000, 25600},    // 127.5: still positive
                 {{0.6f, 0.5f, 0.5f, 0.502f}, 8, 21000, -25600}, // 128.01
                 {{0.2f, 0.25f, 0.0004f, 0.25f}, 6, 11500, 32},  // 36.47 steps -> 32
                 {{top, top, top, top}, 9, 39999, -51184}};
    for (const Case& c : cases) {
        const StepMove m = MoveOfDraws(c.r[0], c.r[1], c.r[2], c.r[3]);
        EXPECT_EQ(m.ramp, c.ramp) << c.r[0];
        EXPECT_EQ(m.fmax, c.fmax) << c.r[1];
        EXPECT_EQ(m.distance, c.distance) << c.r[2] << " " << c.r[3];
    }

    StepRandom a(7), b(7), c(8);
    bool differ = false;
    for (int i = 0; i < 10000; ++i) {
        const float ra = a.next();
        ASSERT_TRUE(ra >= 0.0f && ra < 1.0f) << ra;
        ASSERT_EQ(ra, b.next());
        differ = differ || ra != c.next();
    }
    EXPECT_TRUE(differ); // the seed decides
}
