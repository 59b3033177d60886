#include "devices/light/effect_player.h"

#include "devices/light/tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::light {
namespace {

config::LightEffectStep MakeStep(std::uint8_t code, std::uint8_t speed, std::int32_t durationMs) {
    config::LightEffectStep step;
    step.effectCode = code;
    step.brightness = 4;
    step.speed = speed;
    step.red = 200;
    step.green = 100;
    step.blue = 50;
    step.duration = durationMs;
    return step;
}

TEST(EffectPlayer, EmptyListShowsEveryLedDark) {
    LightFrame frame(15);
    frame.Fill({1, 2, 3, 4});
    EffectPlayer player;
    player.Pass({}, 0, frame, 0);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(frame.Get(i), LedColor{});
    }
}

TEST(EffectPlayer, StepsAdvanceWhenTheirTimeHasPassedAndWrap) {
    const std::vector<config::LightEffectStep> steps = {MakeStep(1, 0, 100), MakeStep(5, 4, 50)};
    LightFrame frame(4);
    EffectPlayer player;
    player.Pass(steps, 0, frame, 1000);
    EXPECT_EQ(player.StepIndex(), 0U);
    EXPECT_EQ(frame.Get(2), (LedColor{200, 100, 50, 255}));
    player.Pass(steps, 0, frame, 1100);  // exactly the duration: not yet
    EXPECT_EQ(player.StepIndex(), 0U);
    player.Pass(steps, 0, frame, 1101);
    EXPECT_EQ(player.StepIndex(), 1U);
    player.Pass(steps, 0, frame, 1120);
    EXPECT_EQ(frame.Get(0).red, 255);  // colour wheel
    player.Pass(steps, 0, frame, 1152);
    EXPECT_EQ(player.StepIndex(), 0U);
    // A list that shrank under the player starts again at its first step.
    const std::vector<config::LightEffectStep> one = {MakeStep(1, 0, 100)};
    player.Pass(steps, 0, frame, 1200);
    player.Pass(steps, 0, frame, 1301);
    EXPECT_EQ(player.StepIndex(), 1U);
    player.Pass(one, 0, frame, 1302);
    EXPECT_EQ(player.StepIndex(), 0U);
}

TEST(EffectPlayer, BreathingAdvancesEveryIntervalOfPasses) {
    // Speed 4: the phase moves every 7 passes; speed 7 on every pass.
    const std::vector<config::LightEffectStep> steps = {MakeStep(0, 4, 100000)};
    LightFrame frame(3);
    EffectPlayer player;
    for (int i = 0; i < 6; ++i) {
        player.Pass(steps, 0, frame, 0);
    }
    EXPECT_EQ(player.Phase(), 0);
    player.Pass(steps, 0, frame, 0);
    EXPECT_EQ(player.Phase(), 1);

    const std::vector<config::LightEffectStep> fast = {MakeStep(0, 7, 100000)};
    EffectPlayer every;
    for (int i = 0; i < 40; ++i) {
        every.Pass(fast, 0, frame, 0);
    }
    EXPECT_EQ(every.Phase(), 40);
    EXPECT_EQ(frame.Get(1), (LedColor{200, 100, 50, Scale(kBreathingCurve[40], 255)}));
}

TEST(EffectPlayer, PhaseLeftByAColourCycleStaysInsideTheBreathingCurve) {
    // Code 5 leaves the phase up to 191; the breathing step that follows reads its
    // 128-entry curve with the phase reduced into it.
    const std::vector<config::LightEffectStep> steps = {MakeStep(5, 4, 10), MakeStep(0, 0, 100000)};
    LightFrame frame(2);
    EffectPlayer player;
    for (int i = 0; i < 150; ++i) {
        player.Pass(steps, 0, frame, 0);
    }
    EXPECT_EQ(player.Phase(), 150);
    player.Pass(steps, 0, frame, 11);  // the colour cycle's last pass, then step 1 begins
    ASSERT_EQ(player.StepIndex(), 1U);
    player.Pass(steps, 0, frame, 12);
    EXPECT_EQ(player.Phase(), 151);
    EXPECT_EQ(frame.Get(0), (LedColor{200, 100, 50, Scale(kBreathingCurve[151 % 128], 255)}));
}

TEST(EffectPlayer, WaveIndicesStayInsideTheirTables) {
    // Direction 1 with phase 1 gives d = 191: the colour and wave indices run far past
    // both tables and are reduced into them.
    config::LightEffectStep step = MakeStep(4, 7, 100000);
    step.direction = 1;
    const std::vector<config::LightEffectStep> single = {step};
    LightFrame frame(15);
    EffectPlayer player;
    player.Pass(single, 0, frame, 0);
    ASSERT_EQ(player.Phase(), 1);
    for (int i = 0; i < 15; ++i) {
        const unsigned e = (191 + 12 * (i + 1)) % 96;
        EXPECT_EQ(frame.Get(i), (LedColor{200, 100, 50, Scale(kWaveCurve[e], 255)})) << i;
    }
    step.multiColor = 1;
    const std::vector<config::LightEffectStep> multi = {step};
    EffectPlayer wheel;
    wheel.Pass(multi, 0, frame, 0);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(frame.Get(i), LedColor::Of(kColourWheel[(191 + 12 * i) % 192], 255)) << i;
    }
}

TEST(EffectPlayer, BlinkUsesTheLightStateSpeedForItsInterval) {
    const std::vector<config::LightEffectStep> steps = {MakeStep(2, 0, 100000)};
    LightFrame frame(2);
    EffectPlayer player;
    player.Pass(steps, 4, frame, 1400);  // 7 × 200 ms since 0
    EXPECT_EQ(frame.Get(0), (LedColor{200, 100, 50, 255}));
    player.Pass(steps, 4, frame, 2799);
    EXPECT_EQ(frame.Get(0), (LedColor{200, 100, 50, 255}));
    player.Pass(steps, 4, frame, 2800);
    EXPECT_EQ(frame.Get(0), LedColor{});
}

TEST(EffectPlayer, NextChangeIsTheFirstPassThatMayShowADifferentFrame) {
    struct Case {
        const char* name;
        std::uint8_t code;
        std::uint8_t speed;
        std::int32_t durationMs;
        int lightSpeed;
        std::uint32_t expected;  // after one pass at 1000, passes every 2 ms
    };
    const Case cases[] = {
        {"breathing every 7 passes", 0, 4, 100000, 0, 1012},
        {"breathing every pass", 0, 7, 100000, 0, 1002},
        {"wave every 18 passes", 4, 2, 100000, 0, 1034},
        {"colour cycle every 5 passes", 5, 0, 100000, 0, 1008},
        {"blink at 7 x 200 ms since 0", 2, 0, 100000, 4, 1400},
        // The pass at 1102 is the first more than 100 ms after the start; the next one shows step 1.
        {"steady until the step ends", 1, 0, 100, 0, 1104},
        {"frozen until the step ends", 3, 0, 10, 0, 1014},
        {"step end before the phase moves", 0, 4, 4, 0, 1008},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<config::LightEffectStep> steps = {MakeStep(c.code, c.speed, c.durationMs),
                                                      MakeStep(1, 0, 50)};
        steps[1].green = 7;
        LightFrame frame(3);
        EffectPlayer player;
        player.Pass(steps, c.lightSpeed, frame, 1000);
        const auto next = player.NextChangeMs(steps, c.lightSpeed, 1000, 2);
        ASSERT_TRUE(next.has_value());
        EXPECT_EQ(*next, c.expected);
        const LedColor shown = frame.Get(1);
        for (std::uint32_t now = 1002; now < *next; now += 2) {
            player.Pass(steps, c.lightSpeed, frame, now);
            ASSERT_EQ(frame.Get(1), shown) << now;
        }
    }
    // Once a pass has ended a step, the next pass shows the next one.
    const std::vector<config::LightEffectStep> two = {MakeStep(1, 0, 100), MakeStep(2, 0, 100000)};
    LightFrame frame(3);
    EffectPlayer player;
    for (std::uint32_t now = 1000; now <= 1102; now += 2) {
        player.Pass(two, 4, frame, now);
    }
    ASSERT_EQ(player.StepIndex(), 1U);
    EXPECT_EQ(player.NextChangeMs(two, 4, 1102, 2), 1104U);
    player.Pass(two, 4, frame, 1104);
    EXPECT_EQ(player.NextChangeMs(two, 4, 1104, 2), 1400U);  // the blink's first toggle

    EffectPlayer empty;
    EXPECT_EQ(empty.NextChangeMs({}, 0, 1000, 2), std::nullopt);
    const std::vector<config::LightEffectStep> one = {MakeStep(1, 0, 100)};
    EXPECT_EQ(empty.NextChangeMs(one, 0, 1000, 2), 1002U);  // not begun yet
}

}  // namespace
}  // namespace norvane::devices::light
