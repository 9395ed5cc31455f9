#include "ui/diagnostics/special_logic.h"

#include <gtest/gtest.h>
#include <set>

TEST(LoopScaling, AnalogReplyBecomesAPosition) {
    // Full scale 1010 counts is 25600 steps.
    EXPECT_EQ(AnalogOfReply("FC 26 D2 03 F2 1A"), 1010);
    EXPECT_EQ(LoopPosition(AnalogOfReply("FC 26 D2 03 F2 1A")), 25600);
    EXPECT_EQ(LoopPosition(AnalogOfReply("FC 26 D2 00 00 1A")), 0);
    EXPECT_EQ(LoopPosition(1), 25); // 25.3 keeps its integer part
    EXPECT_EQ(LoopPosition(65535), 1661085);
}

TEST(LoopScaling, ShortOrOddRepliesReadAsZero) {
    EXPECT_EQ(AnalogOfReply("06"), 0);
    EXPECT_EQ(AnalogOfReply("15"), 0);
    EXPECT_EQ(AnalogOfReply(""), 0);
    EXPECT_EQ(AnalogOfReply("FC 26 D2 03"), 3 * 256); // the fifth byte is missing
    EXPECT_EQ(AnalogOfReply("FC 26 D2 0"), 0);        // half a byte
    EXPECT_EQ(AnalogOfReply("FC 26 D2 ZZ 10 00"), 16);
}

TEST(StatusBit, LastBitOfTheReplyDecides) {
    EXPECT_TRUE(StatusBit0("01"));
    EXPECT_TRUE(StatusBit0("81"));
    EXPECT_TRUE(StatusBit0("15")); // a refusal keeps the wait going
    EXPECT_FALSE(StatusBit0("00"));
    EXPECT_FALSE(StatusBit0("06"));
    EXPECT_FALSE(StatusBit0("")); // nothing came: the wait ends
    // Longer than a 16-bit number: still read, not a failure.
    EXPECT_TRUE(StatusBit0("FC 21 AC 00 00 00 01"));
    EXPECT_FALSE(StatusBit0("FF FF FF FE"));
}

TEST(StepDraws, StayInTheirRangesOverManyRuns) {
    std::set<int> ramps;
    int moves = 0, negative = 0, fmaxLow = 40000, fmaxHigh = 0, distLow = 1 << 30, distHigh = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        StepRandom random(seed);
        for (int i = 0; i < 100; ++i) {
            StepMove m = DrawMove(random);
            ++moves;
            ramps.insert(m.ramp);
            fmaxLow = std::min(fmaxLow, m.fmax);
            fmaxHigh = std::max(fmaxHigh, m.fmax);
            int d = std::abs(m.distance);
            ASSERT_EQ(d % 16, 0) << m.distance;
            ASSERT_GE(d, 16);
            ASSERT_LE(d, 51184);
            distLow = std::min(distLow, d);
            distHigh = std::max(distHigh, d);
            if (m.distance < 0) ++negative;
        }
    }
    EXPECT_EQ(ramps, (std::set<int>{5, 6, 7, 8, 9}));
    EXPECT_GE(fmaxLow, 2000);
    EXPECT_LE(fmaxHigh, 39999);
    EXPECT_LT(fmaxLow, 2100);
    EXPECT_GT(fmaxHigh, 39900);
    EXPECT_LT(distLow, 200);
    EXPECT_GT(distHigh, 51000);
    // 127 of the 255 direction draws negate.
    double share = static_cast<double>(negative) / moves;
    EXPECT_NEAR(share, 127.0 / 255.0, 0.02);
}

TEST(StepDraws, DrawsAreBelowOneAndTheSeedDecides) {
    StepRandom a(7), b(7), c(8);
    bool differ = false;
    for (int i = 0; i < 10000; ++i) {
        float ra = a.next();
        ASSERT_GE(ra, 0.0f);
        ASSERT_LT(ra, 1.0f);
        ASSERT_EQ(ra, b.next());
        if (ra != c.next()) differ = true;
    }
    EXPECT_TRUE(differ);
}
