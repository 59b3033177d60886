#include "devices/light/tables.h"

#include <gtest/gtest.h>

namespace norvane::devices::light {
namespace {

TEST(LightTables, ColourWheelRunsJoinWithoutJumps) {
    // Each run starts where the previous one ends; neighbours differ by at most one
    // step of the rise or fall runs (the largest is 14).
    for (std::size_t i = 0; i < kWheelSize; ++i) {
        const Rgb a = kColourWheel[i];
        const Rgb b = kColourWheel[(i + 1) % kWheelSize];
        EXPECT_LE(std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue), 14) << i;
        // One channel is always full.
        EXPECT_TRUE(a.red == 255 || a.green == 255 || a.blue == 255) << i;
    }
    EXPECT_EQ(kColourWheel[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(kColourWheel[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(kColourWheel[96], (Rgb{0, 248, 255}));
    EXPECT_EQ(kColourWheel[160], (Rgb{255, 0, 248}));
}

TEST(LightTables, ColourTableRepeatsTheWheelStart) {
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(kColourTable[i], kColourWheel[i % 192]) << i;
    }
}

TEST(LightTables, CurvesAreSymmetricAndBounded) {
    for (std::size_t i = 0; i < 64; ++i) {
        EXPECT_EQ(kBreathingCurve[i], kBreathingCurve[127 - i]);
    }
    EXPECT_EQ(kBreathingCurve[0], 0);
    EXPECT_EQ(kBreathingCurve[63], 255);
    EXPECT_EQ(kBreathingCurve[64], 255);
    // The wave table is the breathing curve from its entry 16.
    EXPECT_EQ(kWaveCurve[1], 24);
    EXPECT_EQ(kWaveCurve[2], 27);
    EXPECT_EQ(kWaveCurve[94], 24);
    // The pulse falls along the breathing curve to 0 at entry 88 and stays dark.
    EXPECT_EQ(kPulseCurve[8], 77);
    EXPECT_EQ(kPulseCurve[26], 248);
    for (std::size_t i = 25; i < 88; ++i) {
        EXPECT_GE(kPulseCurve[i], kPulseCurve[i + 1]) << i;
    }
    for (std::size_t i = 88; i < 192; ++i) {
        EXPECT_EQ(kPulseCurve[i], 0) << i;
    }
}

TEST(LightTables, IndicesAreClampedOrReduced) {
    EXPECT_EQ(BrightnessLevel(-3), 0);
    EXPECT_EQ(BrightnessLevel(2), 126);
    EXPECT_EQ(BrightnessLevel(200), 255);
    EXPECT_EQ(BlinkIntervalMs(0), 28U * 200U);
    EXPECT_EQ(BlinkIntervalMs(9), 7U * 200U);
    // The interval table defines other speeds as 0: advance on every count.
    EXPECT_EQ(Interval(1), 23);
    EXPECT_EQ(Interval(7), 0);
    EXPECT_EQ(FastInterval(7), 0);
    EXPECT_EQ(Wheel(192 + 5), kColourWheel[5]);
    EXPECT_EQ(WaveAt(96 + 11), kWaveCurve[11]);
    EXPECT_EQ(Breathing(150), kBreathingCurve[22]);
}

TEST(LightTables, TickThresholds) {
    struct Case {
        int mode;
        int speed;
        int threshold;
    };
    for (const Case& c :
         {Case{1, 0, 5}, Case{1, 4, 1}, Case{16, 0, 4}, Case{16, 4, 4}, Case{17, 3, 4}, Case{17, 4, 0},
          Case{30, 2, 3}, Case{4, 99, 1}, Case{4, -1, 5}, Case{31, 0, 0}, Case{0, 0, 0}}) {
        EXPECT_EQ(TickThreshold(c.mode, c.speed), c.threshold) << c.mode << " " << c.speed;
    }
}

}  // namespace
}  // namespace norvane::devices::light
