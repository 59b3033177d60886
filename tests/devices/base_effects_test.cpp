#include "devices/light/base_effects.h"

#include <gtest/gtest.h>

namespace norvane::devices::light {
namespace {

TEST(StepPhase, ForwardAndBackward) {
    struct Case {
        bool forward;
        int limit;
        int position;
        int delta;
        int expected;
    };
    for (const Case& c : {Case{true, 128, 0, 1, 1}, Case{true, 128, 127, 1, 0}, Case{true, 192, 180, 16, 0},
                          Case{true, 192, 250, 1, 0}, Case{false, 128, 0, 1, 127}, Case{false, 128, 5, 1, 4},
                          Case{false, 96, 2, 3, 93}, Case{false, 192, 200, 1, 191}}) {
        EXPECT_EQ(StepPhase(c.forward, c.limit, c.position, c.delta), c.expected)
            << c.forward << " " << c.limit << " " << c.position << " " << c.delta;
    }
}

class BaseEffects : public ::testing::Test {
protected:
    BaseEffects() {
        light.brightness = 4;
        light.red = 10;
        light.green = 20;
        light.blue = 30;
    }
    void ExpectAll(LedColor expected) {
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(frame.Get(i), expected) << "LED " << i;
        }
    }
    EffectState state;
    config::LightInfo light;
    LightFrame frame{8};
};

TEST_F(BaseEffects, BreathingBackwardFromZeroContinuesAt127WithoutAdvancingTheColour) {
    light.direction = 0;
    light.multiColor = 1;
    state.secondPhase = 32;
    EffectBreathing(state, light, frame);
    EXPECT_EQ(state.phase, 127);
    EXPECT_EQ(state.secondPhase, 32);
    ExpectAll(LedColor::Of(kColourWheel[32], 0));
}

TEST_F(BaseEffects, BreathingForwardAdvancesTheColourEachBreath) {
    light.direction = 1;
    light.multiColor = 1;
    for (int i = 0; i < 64; ++i) {
        EffectBreathing(state, light, frame);
    }
    EXPECT_EQ(state.phase, 64);
    ExpectAll(LedColor::Of(kColourWheel[0], 254));  // 255 × 255 / 256
    for (int i = 0; i < 64; ++i) {
        EffectBreathing(state, light, frame);
    }
    EXPECT_EQ(state.phase, 0);
    EXPECT_EQ(state.secondPhase, 16);
}

TEST_F(BaseEffects, BreathingSecondPhaseWrapsAt192) {
    // From 176 the next breath would read colour wheel entry 192, one past the end.
    light.direction = 1;
    light.multiColor = 1;
    state.phase = 127;
    state.secondPhase = 176;
    EffectBreathing(state, light, frame);
    EXPECT_EQ(state.secondPhase, 0);
    ExpectAll(LedColor::Of(kColourWheel[0], 0));
}

TEST_F(BaseEffects, BrightnessAndSpeedIndicesFromOutsideAreClamped) {
    light.brightness = 77;
    EffectStatic(light, frame);
    ExpectAll({10, 20, 30, 255});
    // Speed 9 blinks with the speed-4 interval (1400 ms).
    light.speed = 9;
    state.lastBlinkMs = 0;
    EffectBlink(state, light, frame, 1399);
    ExpectAll({});
    EffectBlink(state, light, frame, 1400);
    ExpectAll({10, 20, 30, 255});
}

TEST_F(BaseEffects, SpectrumWalksTheWheel) {
    light.brightness = 2;
    light.direction = 1;
    for (int i = 0; i < 3; ++i) {
        EffectSpectrum(state, light, frame);
    }
    ExpectAll(LedColor::Of(kColourWheel[3], 126));
    light.direction = 0;
    for (int i = 0; i < 4; ++i) {
        EffectSpectrum(state, light, frame);
    }
    ExpectAll(LedColor::Of(kColourWheel[191], 126));
}

TEST_F(BaseEffects, BlinkTogglesOnItsIntervalAndStepsTheColour) {
    light.speed = 0;  // 5600 ms
    light.multiColor = 1;
    EffectBlink(state, light, frame, 5600);
    EXPECT_EQ(state.phase, 16);
    ExpectAll(LedColor::Of(kColourWheel[16], 255));
    EffectBlink(state, light, frame, 11199);
    ExpectAll(LedColor::Of(kColourWheel[16], 255));
    EffectBlink(state, light, frame, 11200);
    ExpectAll({});
    state.phase = 180;
    EffectBlink(state, light, frame, 16800);
    EXPECT_EQ(state.phase, 0);
}

TEST_F(BaseEffects, FourColourEffectsCycleTheFourColours) {
    light.direction = 1;
    for (int breath = 1; breath <= 4; ++breath) {
        for (int i = 0; i < 128; ++i) {
            EffectFourColourBreathing(state, light, frame);
        }
        EXPECT_EQ(state.secondPhase, breath % 4);
    }
    // A second phase left by another effect still picks one of the four.
    state.secondPhase = 37;
    state.phase = 63;
    EffectFourColourBreathing(state, light, frame);
    ExpectAll(LedColor::Of(kFourColours[1], 254));

    EffectState blink;
    blink.phase = 3;
    EffectFourColourBlink(blink, light, frame, 100000);
    EXPECT_EQ(blink.phase, 0);
    ExpectAll(LedColor::Of(kFourColours[0], 255));
    EffectOff(frame);
    ExpectAll({});
}

}  // namespace
}  // namespace norvane::devices::light
