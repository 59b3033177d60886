#include "devices/light/peripheral_engine.h"

#include "devices/light/peripheral_geometry.h"
#include "devices/light/tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::light {
namespace {

using Cls = PeripheralClass;

constexpr LedColor kJunk{9, 9, 9, 9};
constexpr Rgb kColour{10, 20, 30};

RandomSource From(std::uint32_t start) {
    return [n = start]() mutable { return n++; };
}

int LedsOf(Cls cls) {
    switch (cls) {
        case Cls::Mouse:
            return kMouseLeds;
        case Cls::MousePad:
            return kMousePadLeds;
        case Cls::Headset:
            return kHeadsetLeds;
    }
    return 0;
}

const char* NameOf(Cls cls) {
    switch (cls) {
        case Cls::Mouse:
            return "mouse";
        case Cls::MousePad:
            return "pad";
        case Cls::Headset:
            return "headset";
    }
    return "?";
}

config::LightInfo Light(bool multi, int direction, int brightness = 4) {
    config::LightInfo light;
    light.brightness = static_cast<std::uint8_t>(brightness);
    light.direction = static_cast<std::uint8_t>(direction);
    light.multiColor = multi ? 1 : 0;
    light.red = kColour.red;
    light.green = kColour.green;
    light.blue = kColour.blue;
    return light;
}

config::LightEffectStep CustomStep(std::uint8_t code, std::uint8_t speed) {
    config::LightEffectStep step;
    step.effectCode = code;
    step.brightness = 4;
    step.speed = speed;
    step.multiColor = 1;
    step.red = 200;
    step.duration = 100000;
    return step;
}

// An engine with its frame; the frame starts with a value no step writes.
struct Rig {
    Rig(Cls cls, int mode, const config::LightInfo& light, int speed = 4, int frameSize = 0)
        : engine(cls, LedsOf(cls), From(0)),
          frame(static_cast<std::size_t>(frameSize > 0 ? frameSize : LedsOf(cls))) {
        frame.Fill(kJunk);
        engine.SetLightState(light);
        engine.SetMode(mode, speed);
    }
    void Steps(int count) {
        for (int i = 0; i < count; ++i) {
            engine.Step(0, frame);
        }
    }
    PeripheralLightEngine engine;
    LightFrame frame;
};

struct ModeCase {
    const char* name;
    Cls cls;
    int mode;
    bool multi;
    int direction;
    int steps;
    int led;
    LedColor expected;
};

constexpr std::uint8_t Full(unsigned value) {
    return Scale(value, 255);
}

TEST(PeripheralEngine, RendersModesOfEachClass) {
    const ModeCase cases[] = {
        // Wave: the mouse by rows (LED 13 in row 0, LED 7 in row 6), the others by LED.
        {"mouse wave multi row 0", Cls::Mouse, 0, true, 1, 1, 13, LedColor::Of(kColourWheel[2], 255)},
        {"mouse wave multi row 6", Cls::Mouse, 0, true, 1, 1, 7, LedColor::Of(kColourWheel[2 + 42], 255)},
        {"mouse wave single row 1", Cls::Mouse, 0, false, 1, 1, 12,
         LedColor::Of(kColour, Full(kWaveCurve[9]))},
        {"mouse wave single backward", Cls::Mouse, 0, false, 0, 1, 0,
         LedColor::Of(kColour, Full(kWaveCurve[0]))},
        {"pad wave multi", Cls::MousePad, 0, true, 1, 1, 14, LedColor::Of(kColourWheel[2 + 98], 255)},
        // Phase 191: 191 + 1 + 98 = 290 lies past the 256-entry table and reads 290 - 192.
        {"pad wave multi past table", Cls::MousePad, 0, true, 0, 1, 14, LedColor::Of(kColourWheel[98], 255)},
        {"pad wave single", Cls::MousePad, 0, false, 1, 2, 3,
         LedColor::Of(kColour, Full(kWaveCurve[2 + 1 + 21]))},
        {"headset wave multi", Cls::Headset, 0, true, 1, 1, 5, LedColor::Of(kColourWheel[2 + 80], 255)},
        {"headset wave multi past wheel", Cls::Headset, 0, true, 1, 1, 12,
         LedColor::Of(kColourWheel[2], 255)},
        // The headset moves its single-colour wave by 3, LEDs 10 entries apart.
        {"headset wave single", Cls::Headset, 0, false, 1, 1, 12,
         LedColor::Of(kColour, Full(kWaveCurve[123 - 96]))},
        {"headset wave single led 0", Cls::Headset, 0, false, 1, 2, 0,
         LedColor::Of(kColour, Full(kWaveCurve[6]))},
        {"headset wave single backward", Cls::Headset, 0, false, 0, 1, 1,
         LedColor::Of(kColour, Full(kWaveCurve[7]))},
        {"mouse spectrum", Cls::Mouse, 1, true, 1, 3, 14, LedColor::Of(kColourWheel[3], 255)},
        {"headset spectrum backward", Cls::Headset, 1, true, 0, 2, 4, LedColor::Of(kColourWheel[190], 255)},
        {"pad breathing", Cls::MousePad, 2, false, 1, 10, 7,
         LedColor::Of(kColour, Full(kBreathingCurve[10]))},
        {"mouse static", Cls::Mouse, 3, false, 1, 1, 14, LedColor::Of(kColour, 255)},
        {"headset static", Cls::Headset, 3, true, 1, 1, 12, LedColor::Of(kColour, 255)},
        {"mouse four-colour breathing", Cls::Mouse, 7, false, 1, 40, 2,
         LedColor::Of(kFourColours[0], Full(kBreathingCurve[40]))},
        {"mouse off", Cls::Mouse, 9, true, 1, 1, 14, LedColor{}},
        {"pad off", Cls::MousePad, 8, true, 1, 1, 0, LedColor{}},
        {"headset off", Cls::Headset, 8, true, 1, 1, 12, LedColor{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(c.cls, c.mode, Light(c.multi, c.direction));
        rig.Steps(c.steps);
        EXPECT_EQ(rig.frame.Get(c.led), c.expected);
    }
}

TEST(PeripheralEngine, BrightnessIndexScalesAndIsClamped) {
    struct Case {
        int brightness;
        std::uint8_t level;
    };
    for (const Case c : {Case{0, 0}, Case{2, 126}, Case{4, 255}, Case{9, 255}, Case{255, 255}}) {
        SCOPED_TRACE(c.brightness);
        Rig rig(Cls::MousePad, 3, Light(false, 1, c.brightness));
        rig.Steps(1);
        EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, c.level));
        Rig wave(Cls::Mouse, 0, Light(false, 1, c.brightness));
        wave.Steps(1);
        EXPECT_EQ(wave.frame.Get(0), LedColor::Of(kColour, Scale(kWaveCurve[2], c.level)));
    }
}

TEST(PeripheralEngine, PadSingleColourWaveAtPhase95ReadsWaveEntry0) {
    for (int direction : {0, 1}) {
        SCOPED_TRACE(direction);
        Rig rig(Cls::MousePad, 0, Light(false, direction));
        rig.Steps(direction == 0 ? 1 : 95);
        ASSERT_EQ(rig.engine.Effect().phase, 95);
        EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, Full(kWaveCurve[0])));
        EXPECT_EQ(rig.frame.Get(1), LedColor::Of(kColour, Full(kWaveCurve[7])));
    }
}

// --- rings ---

TEST(PeripheralEngine, MouseRowRingLightsTheSeededRowAndMovesOn) {
    Rig rig(Cls::Mouse, 5, Light(false, 1));
    rig.Steps(1);
    // V[0] := 255, then decayed by 40; the ring entry moved to R[1].
    EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(rig.frame.Get(13), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(rig.frame.Get(1), LedColor::Of(kColour, 0));
    EXPECT_EQ(rig.engine.Reactive().ring[1], 1);
    rig.Steps(1);
    EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, Full(175)));
    EXPECT_EQ(rig.frame.Get(12), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(rig.frame.Get(7), LedColor::Of(kColour, 0));
}

TEST(PeripheralEngine, MouseRowRingMultiColour) {
    // Forward: the head V[0] is lit, so every row keeps the colour it had; the phase still
    // grows by 12 per row.
    Rig forward(Cls::Mouse, 5, Light(true, 1));
    forward.Steps(1);
    EXPECT_EQ(forward.frame.Get(0), (LedColor{9, 9, 9, Full(215)}));
    EXPECT_EQ(forward.frame.Get(14), (LedColor{9, 9, 9, 0}));
    EXPECT_EQ(forward.engine.Effect().phase, 1 + 7 * 12);
    // Backward: the head is V[6], dark; the phase 191 + 12 = 203 reads the wheel at 11.
    Rig backward(Cls::Mouse, 5, Light(true, 0));
    backward.Steps(1);
    EXPECT_EQ(backward.frame.Get(0), LedColor::Of(kColourWheel[11], Full(215)));
    EXPECT_EQ(backward.frame.Get(1), LedColor::Of(kColourWheel[23], 0));
    EXPECT_EQ(backward.engine.Reactive().ring[22], 1);
}

TEST(PeripheralEngine, PadRingOverAllLedsMovesEverySecondStep) {
    Rig rig(Cls::MousePad, 6, Light(false, 1));
    rig.Steps(2);
    for (int led = 0; led < kMousePadLeds; ++led) {
        EXPECT_EQ(rig.frame.Get(led), LedColor::Of(kColour, 0)) << led;
    }
    rig.Steps(1);
    EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(rig.engine.Reactive().ring[1], 1);
    rig.Steps(2);
    EXPECT_EQ(rig.frame.Get(0), LedColor::Of(kColour, Full(135)));
    EXPECT_EQ(rig.frame.Get(1), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(rig.frame.Get(2), LedColor::Of(kColour, 0));
}

TEST(PeripheralEngine, RingOverPairsMovesAgainstTheDirectionAndLightsBothLedsOfAPair) {
    // Direction 1: R[0] goes to R[7] (no pair), then R[6]: pair 6 (LEDs 7, 8) at step 7.
    Rig forward(Cls::MousePad, 7, Light(false, 1));
    forward.Steps(7);
    EXPECT_EQ(forward.frame.Get(7), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(forward.frame.Get(8), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(forward.frame.Get(1), LedColor::Of(kColour, Full(65)));
    EXPECT_EQ(forward.frame.Get(14), LedColor::Of(kColour, Full(65)));
    EXPECT_EQ(forward.frame.Get(2), LedColor::Of(kColour, 0));
    // Direction 0: R[0] goes to R[1]: pair 1 (LEDs 2, 13) at step 5.
    Rig backward(Cls::MousePad, 7, Light(false, 0));
    backward.Steps(5);
    EXPECT_EQ(backward.frame.Get(2), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(backward.frame.Get(13), LedColor::Of(kColour, Full(215)));
    EXPECT_EQ(backward.frame.Get(7), LedColor::Of(kColour, 0));
}

TEST(PeripheralEngine, HeadsetRingOverPairsWritesLeds1To12Only) {
    for (bool multi : {false, true}) {
        for (int direction : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "multi " << multi << " direction " << direction);
            // A frame larger than the headset's 13 LEDs shows any write past them.
            Rig rig(Cls::Headset, 7, Light(multi, direction), 4, 15);
            std::vector<bool> written(15, false);
            for (int step = 0; step < 40; ++step) {
                rig.Steps(1);
                for (int led = 0; led < 15; ++led) {
                    written[static_cast<std::size_t>(led)] =
                        written[static_cast<std::size_t>(led)] || !(rig.frame.Get(led) == kJunk);
                }
            }
            EXPECT_FALSE(written[0]);
            EXPECT_FALSE(written[13]);
            EXPECT_FALSE(written[14]);
            for (int led = 1; led <= 12; ++led) {
                EXPECT_TRUE(written[static_cast<std::size_t>(led)]) << led;
            }
        }
    }
}

TEST(PeripheralEngine, EveryClassSeedsItsRingAtAModeChange) {
    for (Cls cls : {Cls::Mouse, Cls::MousePad, Cls::Headset}) {
        SCOPED_TRACE(NameOf(cls));
        Rig rig(cls, 0, Light(false, 1));
        rig.engine.SetMode(cls == Cls::Mouse ? 5 : 6, 4);
        rig.Steps(5);
        ASSERT_NE(rig.engine.Reactive(), ReactiveArrays{});
        // A new mode clears what the ring left and seeds entry 0 again.
        rig.engine.SetMode(3, 4);
        ReactiveArrays seeded;
        seeded.ring[0] = 1;
        EXPECT_EQ(rig.engine.Reactive(), seeded);
        // The same mode again is no change.
        rig.engine.SetMode(cls == Cls::Mouse ? 5 : 6, 4);
        rig.Steps(3);
        const ReactiveArrays running = rig.engine.Reactive();
        rig.engine.SetMode(cls == Cls::Mouse ? 5 : 6, 2);
        EXPECT_EQ(rig.engine.Reactive(), running);
    }
}

// --- reactive ---

TEST(PeripheralEngine, MouseReactiveFlashRisesFallsAndRests) {
    PeripheralLightEngine engine(Cls::Mouse, kMouseLeds, From(190));
    LightFrame frame(kMouseLeds);
    engine.SetLightState(Light(true, 1));
    engine.SetMode(6, 4);
    engine.Advance(0, frame);
    EXPECT_EQ(engine.NextDueMs(), std::nullopt);

    engine.TriggerReactive();
    EXPECT_EQ(engine.NextDueMs(), 0U);  // shown at the next pass
    EXPECT_EQ(engine.ReactiveColour(0), 190);
    EXPECT_EQ(engine.ReactiveColour(2), 0);  // 192 % 192
    EXPECT_EQ(engine.ReactiveColour(14), 12);
    engine.Step(0, frame);
    EXPECT_EQ(engine.ReactiveState(0), 2);
    EXPECT_EQ(frame.Get(1), LedColor::Of(kColourWheel[191], Full(255)));
    EXPECT_EQ(frame.Get(2), LedColor::Of(kColourWheel[0], Full(255)));
    engine.Step(0, frame);
    EXPECT_EQ(frame.Get(2), LedColor::Of(kColourWheel[0], Full(240)));
    for (int i = 0; i < 16; ++i) {
        engine.Step(0, frame);
    }
    EXPECT_EQ(frame.Get(2), LedColor::Of(kColourWheel[0], 0));
    EXPECT_EQ(engine.ReactiveState(2), 0);

    // Single colour shows the light colour.
    engine.SetLightState(Light(false, 1, 2));
    engine.TriggerReactive();
    engine.Step(0, frame);
    EXPECT_EQ(frame.Get(14), LedColor::Of(kColour, 126 * 255 >> 8));
}

TEST(PeripheralEngine, ReactiveTriggerOutsideMouseMode6ChangesNothing) {
    struct Case {
        Cls cls;
        int mode;
    };
    const Case cases[] = {{Cls::Mouse, 0}, {Cls::Mouse, 3},  {Cls::Mouse, 5},    {Cls::Mouse, 7},
                          {Cls::Mouse, 9}, {Cls::Mouse, 12}, {Cls::MousePad, 6}, {Cls::Headset, 6}};
    for (const Case c : cases) {
        SCOPED_TRACE(testing::Message() << NameOf(c.cls) << " mode " << c.mode);
        Rig triggered(c.cls, c.mode, Light(true, 1));
        Rig quiet(c.cls, c.mode, Light(true, 1));
        for (std::uint32_t now : {0U, 20U, 40U}) {
            triggered.engine.Advance(now, triggered.frame);
            quiet.engine.Advance(now, quiet.frame);
        }
        triggered.engine.TriggerReactive();
        EXPECT_EQ(triggered.engine.NextDueMs(), quiet.engine.NextDueMs());
        EXPECT_EQ(triggered.engine.Reactive(), quiet.engine.Reactive());
        for (std::uint32_t now : {60U, 100U}) {
            EXPECT_EQ(triggered.engine.Advance(now, triggered.frame), quiet.engine.Advance(now, quiet.frame));
        }
        for (int led = 0; led < LedsOf(c.cls); ++led) {
            EXPECT_EQ(triggered.engine.ReactiveState(led), 0) << led;
            EXPECT_EQ(triggered.frame.Get(led), quiet.frame.Get(led)) << led;
        }
    }
}

// --- custom effects ---

TEST(PeripheralEngine, EmptyCustomListShowsEveryLedDark) {
    struct Case {
        Cls cls;
        int mode;
    };
    for (const Case c : {Case{Cls::Mouse, 10}, Case{Cls::Mouse, 12}, Case{Cls::MousePad, 5},
                         Case{Cls::MousePad, 9}, Case{Cls::Headset, 12}, Case{Cls::Headset, 255}}) {
        SCOPED_TRACE(testing::Message() << NameOf(c.cls) << " mode " << c.mode);
        Rig rig(c.cls, c.mode, Light(true, 1));
        rig.engine.Advance(0, rig.frame);
        for (int led = 0; led < LedsOf(c.cls); ++led) {
            EXPECT_EQ(rig.frame.Get(led), LedColor{}) << led;
        }
    }
}

TEST(PeripheralEngine, CustomModesPlayOnEveryCount) {
    // Code 5 at speed 4 moves the player's phase on every pass.
    const std::vector<config::LightEffectStep> steps = {CustomStep(5, 4)};
    for (Cls cls : {Cls::Mouse, Cls::MousePad, Cls::Headset}) {
        SCOPED_TRACE(NameOf(cls));
        Rig rig(cls, cls == Cls::Mouse ? 10 : 5, Light(false, 1));
        rig.engine.SetCustomEffect(steps);
        rig.engine.Advance(0, rig.frame);
        EXPECT_EQ(rig.engine.NextDueMs(), kPeripheralCountMs);
        rig.engine.Advance(20, rig.frame);  // ten counts
        EXPECT_EQ(rig.engine.Player().Phase(), 11);
        EXPECT_EQ(rig.frame.Get(3), LedColor::Of(kColourWheel[11], 255));
        // A steady step shows the same frame: the thread sleeps through its counts.
        const std::vector<config::LightEffectStep> steady = {CustomStep(1, 4)};
        rig.engine.SetCustomEffect(steady);
        rig.engine.Advance(30, rig.frame);
        ASSERT_TRUE(rig.engine.NextDueMs().has_value());
        EXPECT_GE(*rig.engine.NextDueMs(), 30 + 100 * kPeripheralCountMs);
        // Mode 5 is the mouse's row ring, not a custom effect.
        EXPECT_EQ(PeripheralLightEngine::PlaysCustom(cls, 5), cls != Cls::Mouse);
    }
}

TEST(PeripheralEngine, EachEngineHasItsOwnCustomPlayer) {
    const std::vector<config::LightEffectStep> steps = {CustomStep(5, 4), CustomStep(0, 7)};
    Rig busy(Cls::MousePad, 9, Light(false, 1));
    Rig idle(Cls::Headset, 12, Light(false, 1));
    Rig alone(Cls::Headset, 12, Light(false, 1));
    for (Rig* rig : {&busy, &idle, &alone}) {
        rig->engine.SetCustomEffect(steps);
        rig->engine.Advance(1000, rig->frame);
    }
    busy.engine.Advance(1100, busy.frame);  // fifty passes of the pad's player
    idle.engine.Advance(1004, idle.frame);
    alone.engine.Advance(1004, alone.frame);
    EXPECT_EQ(busy.engine.Player().Phase(), 51);
    EXPECT_EQ(idle.engine.Player().Phase(), 3);
    EXPECT_EQ(idle.engine.Player().Phase(), alone.engine.Player().Phase());
    EXPECT_EQ(idle.engine.Player().StepIndex(), alone.engine.Player().StepIndex());
    for (int led = 0; led < kHeadsetLeds; ++led) {
        EXPECT_EQ(idle.frame.Get(led), alone.frame.Get(led)) << led;
    }
    // A new list restarts only the engine that takes it.
    busy.engine.SetCustomEffect(steps);
    EXPECT_EQ(busy.engine.Player().Phase(), 0);
    EXPECT_EQ(idle.engine.Player().Phase(), 3);
}

// --- light list ---

std::vector<config::LightListEntry> ListWithDarkLed(std::size_t size, std::size_t darkLed) {
    std::vector<config::LightListEntry> list(size);
    for (auto& entry : list) {
        entry.effectCode = 9;  // no animation
    }
    list[darkLed].effectCode = 4;
    return list;
}

TEST(PeripheralEngine, PadListEntryCode4KeepsItsLedDarkInEveryMode) {
    const std::vector<config::LightEffectStep> steps = {CustomStep(5, 4)};
    const auto list = ListWithDarkLed(5, 3);
    for (Cls cls : {Cls::MousePad, Cls::Headset}) {
        for (int mode = 0; mode <= 12; ++mode) {
            SCOPED_TRACE(testing::Message() << NameOf(cls) << " mode " << mode);
            Rig rig(cls, mode, Light(true, 1), 7);
            rig.engine.SetCustomEffect(steps);
            rig.engine.SetLightList(list);
            for (std::uint32_t now = 0; now <= 60; now += 6) {
                rig.engine.Advance(now, rig.frame);
                EXPECT_EQ(rig.frame.Get(3), LedColor{});
            }
        }
    }
}

TEST(PeripheralEngine, MouseListIsOnlyInitialised) {
    const auto list = ListWithDarkLed(5, 3);
    for (int mode : {0, 1, 3, 5, 9}) {
        SCOPED_TRACE(mode);
        Rig listed(Cls::Mouse, mode, Light(true, 1), 7);
        Rig plain(Cls::Mouse, mode, Light(true, 1), 7);
        listed.engine.SetLightList(list);
        for (std::uint32_t now = 0; now <= 20; now += 4) {
            listed.engine.Advance(now, listed.frame);
            plain.engine.Advance(now, plain.frame);
        }
        for (int led = 0; led < kMouseLeds; ++led) {
            EXPECT_EQ(listed.frame.Get(led), plain.frame.Get(led)) << led;
        }
    }
}

TEST(PeripheralEngine, PadListLaysAnimationsOverTheStep) {
    std::vector<config::LightListEntry> list(3);
    list[0] = {1, 2, 0, 0, 0, 1, 2, 3};  // steady at level 126
    list[1].effectCode = 3;              // colour cycle, one wheel entry every 7 counts at speed 4
    list[1].speed = 4;
    list[1].brightness = 4;
    list[1].present = 1;
    list[2].effectCode = 0;  // breathing, but absent: the step shows
    Rig rig(Cls::MousePad, 3, Light(false, 1), 4);
    rig.engine.SetLightList(list);
    rig.engine.Advance(0, rig.frame);
    EXPECT_EQ(rig.engine.NextDueMs(), 6 * kPeripheralCountMs);  // the cycle moves at its 7th count
    rig.engine.Advance(10, rig.frame);                          // six passes
    EXPECT_EQ(rig.frame.Get(1), LedColor::Of(kColourWheel[0], 255));
    rig.engine.Advance(12, rig.frame);
    EXPECT_EQ(rig.frame.Get(0), (LedColor{1, 2, 3, 126}));
    EXPECT_EQ(rig.frame.Get(1), LedColor::Of(kColourWheel[1], 255));
    EXPECT_EQ(rig.frame.Get(2), LedColor::Of(kColour, 255));
}

TEST(PeripheralEngine, ListLongerThanTheLedsLaysOnlyTheDevicesLeds) {
    // The headset has 13 LEDs; a frame of 15 entries shows anything laid past them.
    std::vector<config::LightListEntry> list(200);
    for (auto& entry : list) {
        entry.effectCode = 4;
    }
    Rig rig(Cls::Headset, 0, Light(true, 1), 4, 15);
    rig.engine.SetLightList(list);
    rig.engine.Advance(0, rig.frame);
    rig.engine.Advance(100, rig.frame);
    EXPECT_EQ(rig.frame.Get(12), LedColor{});
    EXPECT_EQ(rig.frame.Get(13), kJunk);
    EXPECT_EQ(rig.frame.Get(14), kJunk);
}

// --- scheduling ---

TEST(PeripheralEngine, StepsEveryIntervalOfCounts) {
    // Speeds 0-4 step every 28, 23, 18, 13, 7 counts; any other speed on every count.
    struct Case {
        int speed;
        std::uint32_t counts;
    };
    for (const Case c : {Case{0, 28}, Case{2, 18}, Case{4, 7}, Case{5, 1}, Case{7, 1}, Case{200, 1}}) {
        SCOPED_TRACE(c.speed);
        Rig rig(Cls::Mouse, 0, Light(false, 1), c.speed);
        rig.engine.Advance(100, rig.frame);
        EXPECT_EQ(rig.engine.Effect().phase, 1);
        EXPECT_EQ(rig.engine.NextDueMs(), 100 + c.counts * kPeripheralCountMs);
        if (c.counts > 1) {
            EXPECT_FALSE(rig.engine.Advance(100 + (c.counts - 1) * kPeripheralCountMs + 1, rig.frame));
            EXPECT_EQ(rig.engine.Effect().phase, 1);
        }
        EXPECT_TRUE(rig.engine.Advance(100 + c.counts * kPeripheralCountMs, rig.frame));
        EXPECT_EQ(rig.engine.Effect().phase, 2);
        // A late pass runs every step that fell due.
        rig.engine.Advance(100 + 4 * c.counts * kPeripheralCountMs, rig.frame);
        EXPECT_EQ(rig.engine.Effect().phase, 5);
    }
}

TEST(PeripheralEngine, StillModesSleepUntilAnInputChanges) {
    struct Case {
        Cls cls;
        int mode;
        bool dark;
    };
    const Case cases[] = {{Cls::Mouse, 3, false},    {Cls::Mouse, 9, true},    {Cls::Mouse, 6, false},
                          {Cls::MousePad, 3, false}, {Cls::MousePad, 8, true}, {Cls::Headset, 3, false},
                          {Cls::Headset, 8, true}};
    for (const Case c : cases) {
        SCOPED_TRACE(testing::Message() << NameOf(c.cls) << " mode " << c.mode);
        Rig rig(c.cls, c.mode, Light(false, 1));
        EXPECT_EQ(rig.engine.NextDueMs(), 0U);
        EXPECT_TRUE(rig.engine.Advance(50, rig.frame));
        EXPECT_EQ(rig.engine.NextDueMs(), std::nullopt);
        EXPECT_FALSE(rig.engine.Advance(5000, rig.frame));
        // A new colour is shown at the next pass.
        auto light = Light(false, 1);
        light.red = 99;
        rig.engine.SetLightState(light);
        EXPECT_EQ(rig.engine.NextDueMs(), 5000U);
        EXPECT_EQ(rig.engine.Advance(5001, rig.frame), !c.dark);
        EXPECT_EQ(rig.frame.Get(0).red, c.dark ? 0 : 99);
        EXPECT_EQ(rig.engine.NextDueMs(), std::nullopt);
    }
}

TEST(PeripheralEngine, AnimatedListWakesAStillModeForItsNextChange) {
    struct Case {
        const char* name;
        std::uint8_t code;
        std::uint8_t speed;
        std::uint8_t present;
        std::optional<std::uint32_t> due;  // after a first pass at 1300
    };
    const Case cases[] = {
        {"breathing moves every count", 0, 0, 1, 1302},
        {"blink at speed 7 toggles every count", 2, 7, 0, 1302},
        {"blink at speed 4 toggles 1400 ms after 0", 2, 4, 0, 1400},
        {"colour cycle at its 7th count", 3, 4, 1, 1312},
        {"steady", 1, 4, 1, std::nullopt},
        {"absent breathing", 0, 4, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<config::LightListEntry> list(2);
        list[0].effectCode = 4;
        list[1].effectCode = c.code;
        list[1].speed = c.speed;
        list[1].present = c.present;
        Rig pad(Cls::MousePad, 3, Light(false, 1));
        pad.engine.SetLightList(list);
        pad.engine.Advance(1300, pad.frame);
        EXPECT_EQ(pad.engine.NextDueMs(), c.due);
        // The mouse does not lay its list, so it sleeps.
        Rig mouse(Cls::Mouse, 3, Light(false, 1));
        mouse.engine.SetLightList(list);
        mouse.engine.Advance(1300, mouse.frame);
        EXPECT_EQ(mouse.engine.NextDueMs(), std::nullopt);
    }
}

// Passes that follow NextDueMs, or come late, render what a pass on every count renders.
TEST(PeripheralEngine, SparsePassesMatchAPassOnEveryCount) {
    struct Case {
        Cls cls;
        int mode;
        bool multi;
        int speed;
        int list;  // 0 none, 1 every code, 2 blinking and cycling only
    };
    const Case cases[] = {
        {Cls::Mouse, 0, true, 4, 0},    {Cls::Mouse, 4, true, 4, 0},    {Cls::Mouse, 5, true, 3, 0},
        {Cls::Mouse, 8, false, 4, 0},   {Cls::MousePad, 6, true, 4, 0}, {Cls::MousePad, 7, false, 7, 1},
        {Cls::Headset, 0, false, 0, 0}, {Cls::Headset, 2, true, 7, 1},  {Cls::Headset, 12, true, 4, 1},
        {Cls::Mouse, 10, false, 4, 0},  {Cls::MousePad, 5, true, 2, 0}, {Cls::MousePad, 3, true, 4, 2},
        {Cls::Headset, 0, true, 2, 2},  {Cls::MousePad, 9, true, 4, 2},
    };
    std::vector<config::LightListEntry> every(6);
    for (std::size_t i = 0; i < every.size(); ++i) {
        every[i].effectCode = static_cast<std::uint8_t>(i % 5);
        every[i].present = 1;
        every[i].speed = 4;
        every[i].brightness = 4;
        every[i].multiColor = 1;
    }
    std::vector<config::LightListEntry> blinkCycle = every;
    blinkCycle[0].effectCode = 2;
    blinkCycle[0].speed = 3;
    blinkCycle[5].effectCode = 3;
    blinkCycle[5].speed = 0;
    std::vector<config::LightEffectStep> steps = {CustomStep(4, 3), CustomStep(1, 0), CustomStep(2, 4),
                                                  CustomStep(3, 0), CustomStep(5, 0)};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].duration = static_cast<std::int32_t>(300 + 150 * i);
        steps[i].direction = static_cast<std::uint8_t>(i % 2);
    }
    // Long enough for the blinking modes to toggle at speed 4 (every 1400 ms).
    constexpr std::uint32_t kEnd = 3000;
    constexpr std::uint32_t kLateGap = 400;
    for (const Case c : cases) {
        SCOPED_TRACE(testing::Message() << NameOf(c.cls) << " mode " << c.mode);
        auto light = Light(c.multi, 1);
        light.speed = static_cast<std::uint8_t>(c.speed);
        Rig dense(c.cls, c.mode, light, c.speed);
        Rig due(c.cls, c.mode, light, c.speed);
        Rig late(c.cls, c.mode, light, c.speed);
        for (Rig* rig : {&dense, &due, &late}) {
            rig->engine.SetCustomEffect(steps);
            if (c.list != 0) {
                rig->engine.SetLightList(c.list == 1 ? every : blinkCycle);
            }
        }
        // The engine that sleeps until NextDueMs shows at every count what the one that
        // passes on every count shows: it never sleeps past a change.
        std::uint32_t dueAt = 0;
        for (std::uint32_t now = 0; now <= kEnd; now += kPeripheralCountMs) {
            dense.engine.Advance(now, dense.frame);
            if (now >= dueAt) {
                due.engine.Advance(now, due.frame);
                const auto next = due.engine.NextDueMs();
                ASSERT_TRUE(next.has_value());
                ASSERT_GT(*next, now);
                dueAt = *next;
            }
            for (int led = 0; led < LedsOf(c.cls); ++led) {
                ASSERT_EQ(due.frame.Get(led), dense.frame.Get(led)) << "at " << now << " led " << led;
            }
        }
        due.engine.Advance(kEnd, due.frame);
        std::uint32_t now = 0;
        for (; now < kEnd; now += kLateGap) {
            late.engine.Advance(now, late.frame);
        }
        late.engine.Advance(kEnd, late.frame);
        for (const Rig* rig : {&due, &late}) {
            EXPECT_EQ(rig->engine.Effect().phase, dense.engine.Effect().phase);
            EXPECT_EQ(rig->engine.Effect().secondPhase, dense.engine.Effect().secondPhase);
            EXPECT_EQ(rig->engine.Effect().blinkFlag, dense.engine.Effect().blinkFlag);
            EXPECT_EQ(rig->engine.Effect().lastBlinkMs, dense.engine.Effect().lastBlinkMs);
            EXPECT_EQ(rig->engine.Reactive(), dense.engine.Reactive());
            EXPECT_EQ(rig->engine.Player().Phase(), dense.engine.Player().Phase());
            for (int led = 0; led < LedsOf(c.cls); ++led) {
                EXPECT_EQ(rig->frame.Get(led), dense.frame.Get(led)) << led;
            }
        }
    }
}

}  // namespace
}  // namespace norvane::devices::light
