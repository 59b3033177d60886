#include "devices/light/reactive.h"

#include <gtest/gtest.h>

namespace norvane::devices::light {
namespace {

TEST(Reactive, DecayByModeAndValue) {
    struct Case {
        int mode;
        int value;
        int expected;
    };
    const Case cases[] = {
        {0, 255, 215},
        {0, 100, 70},
        {0, 40, 25},
        {0, 17, 9},
        {0, 16, 15},
        {0, 1, 0},
        {0, 0, 0},
        {7, 40, 30},
        {7, 255, 215},
        {7, 17, 9},
        {29, 0x90, 0x90 - 45},
        {29, 0x40, 0x40 - 35},
        {29, 3, 2},
        {29, 0, 0},
        // Mode 29 decays bit 0x10 values by 45 or 35: they stop at 0 instead of wrapping
        // to a bright 231 or 241.
        {29, 20, 0},
        {29, 0x10, 0},
        {29, 34, 0},
        {29, 0x50, 0x50 - 45},
    };
    for (const Case& c : cases) {
        ReactiveArrays arrays;
        arrays.values[5] = static_cast<std::uint8_t>(c.value);
        DecayLedValue(arrays, 5, c.mode);
        EXPECT_EQ(arrays.values[5], c.expected) << "mode " << c.mode << " value " << c.value;
    }
}

TEST(Reactive, DecayIgnoresLedsOutsideTheArray) {
    ReactiveArrays arrays;
    arrays.values.fill(200);
    DecayLedValue(arrays, -1, 0);
    DecayLedValue(arrays, 170, 0);
    for (std::uint8_t v : arrays.values) {
        EXPECT_EQ(v, 200);
    }
}

TEST(Reactive, TriggerLightsTheFirstNineSetRingEntries) {
    ReactiveArrays arrays;
    arrays.ring[0] = 1;
    arrays.ring[8] = 1;
    arrays.ring[9] = 1;
    TriggerLedValues(arrays);
    EXPECT_EQ(arrays.values[0], 255);
    EXPECT_EQ(arrays.values[1], 0);
    EXPECT_EQ(arrays.values[8], 255);
    EXPECT_EQ(arrays.values[9], 0);
}

TEST(Reactive, RingRotatesBothWaysAndClears) {
    ReactiveArrays arrays;
    arrays.ring[0] = 1;
    arrays.ring[22] = 2;
    RotateRing(arrays, 1);
    EXPECT_EQ(arrays.ring[0], 2);
    EXPECT_EQ(arrays.ring[1], 1);
    RotateRing(arrays, 0);
    RotateRing(arrays, 0);
    EXPECT_EQ(arrays.ring[0], 0);
    EXPECT_EQ(arrays.ring[21], 2);
    EXPECT_EQ(arrays.ring[22], 1);
    arrays.values[3] = 9;
    ClearLedEffects(arrays);
    EXPECT_EQ(arrays, ReactiveArrays{});
}

}  // namespace
}  // namespace norvane::devices::light
