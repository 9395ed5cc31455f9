#include "ui/diagnostics/special_logic.h"

#include <gtest/gtest.h>
#include <set>

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

TEST(SpecialLogic, StepDrawsStayInTheirRangesOverManyRuns) {
    std::set<int> ramps;
    int moves = 0, negative = 0, fmaxLow = 40000, fmaxHigh = 0, distLow = 1 << 30, distHigh = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        StepRandom random(seed);
        for (int i = 0; i < 100; ++i, ++moves) {
            const StepMove m = DrawMove(random);
            ramps.insert(m.ramp);
            fmaxLow = std::min(fmaxLow, m.fmax);
            fmaxHigh = std::max(fmaxHigh, m.fmax);
            const int d = std::abs(m.distance);
            ASSERT_EQ(d % 16, 0) << m.distance;
            distLow = std::min(distLow, d);
            distHigh = std::max(distHigh, d);
            negative += m.distance < 0;
        }
    }
    EXPECT_EQ(ramps, (std::set<int>{5, 6, 7, 8, 9}));
    EXPECT_TRUE(fmaxLow >= 2000 && fmaxLow < 2100) << fmaxLow;
    EXPECT_TRUE(fmaxHigh > 39900 && fmaxHigh <= 39999) << fmaxHigh;
    EXPECT_TRUE(distLow >= 16 && distLow < 200) << distLow;
    EXPECT_TRUE(distHigh > 51000 && distHigh <= 51184) << distHigh;
    // 127 of the 255 direction draws negate.
    EXPECT_NEAR(static_cast<double>(negative) / moves, 127.0 / 255.0, 0.02);

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
