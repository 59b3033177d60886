// Light sync: the effect steps, the effect mapping of the sync mode, and the sync thread.
#include "tests/shell/device_list_fixture.h"

#include "devices/light/tables.h"
#include "platform/diag.h"
#include "shell/device_list/light_sync.h"
#include "shell/device_list/same_mode.h"

#include <gtest/gtest.h>

namespace norvane::test {
namespace {

using namespace std::chrono_literals;
using devices::light::LedColor;
using shell::SyncEffect;
using shell::SyncSettings;
namespace light = devices::light;

SyncSettings Settings(SyncEffect effect, std::uint8_t direction = 1, std::uint8_t colourful = 0) {
    return SyncSettings{effect, 4, 0, direction, colourful, 10, 20, 30};
}

TEST(SyncEffectsTest, BreathingFollowsTheCurveBothWaysAndWraps) {
    shell::SyncEffects forward;
    const SyncSettings s = Settings(SyncEffect::Breathing, 1);
    EXPECT_EQ(forward.Step(s, 0), LedColor::Of({10, 20, 30}, light::Scale(light::Breathing(1), 255)));
    for (int i = 0; i < 126; ++i) {
        forward.Step(s, 0);
    }
    EXPECT_EQ(forward.BreathingPosition(), 127U);
    forward.Step(s, 0);
    EXPECT_EQ(forward.BreathingPosition(), 0U);

    shell::SyncEffects backward;
    SyncSettings dim = Settings(SyncEffect::Breathing, 0);
    dim.brightness = 2;
    EXPECT_EQ(backward.Step(dim, 0), LedColor::Of({10, 20, 30}, light::Scale(light::Breathing(127), 126)));
    EXPECT_EQ(backward.BreathingPosition(), 127U);
    EXPECT_EQ(backward.BreathingWheel(), 0U);  // without the colourful flag the wheel stands
}

TEST(SyncEffectsTest, ColourfulBreathingMovesTheWheelAtTheBottomOfTheCurve) {
    shell::SyncEffects effects;
    const SyncSettings s = Settings(SyncEffect::Breathing, 1, 1);
    // Positions 1 and then (after a full turn) 0 and 1 each move the wheel by 16.
    EXPECT_EQ(effects.Step(s, 0).red, light::Wheel(16).red);
    EXPECT_EQ(effects.BreathingWheel(), 16U);
    for (int i = 0; i < 127; ++i) {
        effects.Step(s, 0);
    }
    EXPECT_EQ(effects.BreathingPosition(), 0U);
    EXPECT_EQ(effects.BreathingWheel(), 32U);
    for (int turn = 0; turn < 12; ++turn) {
        for (int i = 0; i < 128; ++i) {
            effects.Step(s, 0);
        }
    }
    EXPECT_LT(effects.BreathingWheel(), light::kWheelSize);
}

TEST(SyncEffectsTest, SteadyCycleAndOff) {
    shell::SyncEffects effects;
    SyncSettings steady = Settings(SyncEffect::Steady);
    steady.brightness = 9;  // clamped to the table
    EXPECT_EQ(effects.Step(steady, 0), LedColor::Of({10, 20, 30}, 255));
    EXPECT_EQ(effects.Step(Settings(SyncEffect::Off), 0), LedColor{});
    auto bad = Settings(SyncEffect::Off);
    bad.effect = static_cast<SyncEffect>(9);
    EXPECT_EQ(effects.Step(bad, 0), LedColor{});

    const SyncSettings cycle = Settings(SyncEffect::ColourCycle, 0);  // always forward
    EXPECT_EQ(effects.Step(cycle, 0), LedColor::Of(light::Wheel(1), 255));
    for (int i = 0; i < 190; ++i) {
        effects.Step(cycle, 0);
    }
    EXPECT_EQ(effects.CycleWheel(), 191U);
    EXPECT_EQ(effects.Step(cycle, 0), LedColor::Of(light::Wheel(0), 255));
}

TEST(SyncEffectsTest, FlashTogglesAfterTheThresholdTimesTwoHundredMilliseconds) {
    shell::SyncEffects effects;
    SyncSettings s = Settings(SyncEffect::Flash, 1, 1);
    s.speed = 4;  // threshold 7: 1400 ms
    const std::uint32_t start = 10000;
    EXPECT_EQ(effects.Step(s, start), LedColor::Of(light::Wheel(14), 255));
    EXPECT_TRUE(effects.FlashOn());
    EXPECT_EQ(effects.Step(s, start + 1399), LedColor::Of(light::Wheel(14), 255));
    EXPECT_EQ(effects.Step(s, start + 1400), LedColor{});
    EXPECT_EQ(effects.FlashWheel(), 28U);
    for (std::uint32_t t = 2; t < 20; ++t) {
        effects.Step(s, start + t * 1400);
    }
    EXPECT_LT(effects.FlashWheel(), light::kWheelSize);
    s.colourful = 0;
    shell::SyncEffects plain;
    EXPECT_EQ(plain.Step(s, start), LedColor::Of({10, 20, 30}, 255));
}

TEST(SyncEffectsTest, StepThresholdsBySpeedAreClamped) {
    EXPECT_EQ(shell::SyncThreshold(0), 28);
    EXPECT_EQ(shell::SyncThreshold(2), 18);
    EXPECT_EQ(shell::SyncThreshold(4), 7);
    EXPECT_EQ(shell::SyncThreshold(200), 7);
    EXPECT_EQ(shell::SyncThreshold(-1), 28);
}

TEST(SyncEffectsTest, DeviceEffectNumbersMapBothWays) {
    using device::DeviceKind;
    struct Case {
        DeviceKind kind;
        std::array<std::uint8_t, 5> effects;
    };
    const Case cases[] = {
        {DeviceKind::Keyboard, {5, 6, 23, 4, 28}}, {DeviceKind::KeyboardAlternate, {5, 6, 23, 4, 28}},
        {DeviceKind::MouseCable, {2, 3, 4, 1, 9}}, {DeviceKind::MouseReceiver, {2, 3, 4, 1, 9}},
        {DeviceKind::MousePad, {2, 3, 4, 1, 8}},   {DeviceKind::Headset, {2, 3, 4, 1, 8}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.effects.size(); ++i) {
            const auto effect = static_cast<SyncEffect>(i);
            EXPECT_EQ(shell::SyncEffectOf(c.kind, c.effects[i]), effect);
            EXPECT_EQ(shell::DeviceEffectOf(c.kind, effect), c.effects[i]);
        }
    }
    EXPECT_FALSE(shell::SyncEffectOf(DeviceKind::Keyboard, 2));
    EXPECT_FALSE(shell::SyncEffectOf(DeviceKind::MouseCable, 5));
    EXPECT_FALSE(shell::SyncEffectOf(DeviceKind::MousePad, 9));
}

class SameModeTest : public DeviceListTest {
protected:
    void SetUp() override {
        DeviceListTest::SetUp();
        MakeList();
    }
    static void SetMode(devices::CTarnexUSBDevice& device, std::uint8_t mode) {
        config::LightInfo state = device.LightState();
        state.selectedMode = mode;
        state.brightness = 3;
        state.speed = 2;
        state.direction = 1;
        state.red = 200;
        const auto words = devices::LightInfoToWords(state);
        device.SetLightState(words[0], words[1], words[2], words[3]);
    }
};

TEST_F(SameModeTest, KeyboardBreathingPutsTheOpenDevicesIntoTheirBreathingAndSyncsThem) {
    Plug("keyboard");
    Plug("mouse");
    sim::SimDevice& pad = Plug("mousepad");
    Plug("headset");
    Scan();
    pad.Unplug();
    Scan();
    ASSERT_EQ(list->MousePads().size(), 1U);
    devices::CTarnexUSBDevice& padPage = *list->MousePads()[0];
    SetMode(padPage, 3);
    SetMode(Keyboard(), 5);

    ASSERT_TRUE(list->ApplySameMode(Keyboard()));
    EXPECT_EQ(list->Sync().Settings(), (SyncSettings{SyncEffect::Breathing, 3, 2, 1, 0, 200, 0, 0}));
    EXPECT_EQ(Keyboard().LightState().selectedMode, 5);
    EXPECT_EQ(Mouse().LightState().selectedMode, 2);
    EXPECT_EQ(list->Headsets()[0]->LightState().selectedMode, 2);
    EXPECT_TRUE(Keyboard().CommandChannel().IsSync());
    EXPECT_TRUE(Mouse().CommandChannel().IsSync());
    // A device that is not there is left as it was.
    EXPECT_EQ(padPage.LightState().selectedMode, 3);
    EXPECT_FALSE(padPage.CommandChannel().IsSync());
    EXPECT_EQ(Mouse().LightState().red, 200);
    EXPECT_TRUE(list->Sync().AnyFollowing());
}

TEST_F(SameModeTest, AnEffectWithoutASyncEquivalentChangesNothing) {
    Plug("keyboard");
    Plug("mouse");
    Scan();
    SetMode(Keyboard(), 7);
    SetMode(Mouse(), 1);
    EXPECT_FALSE(list->ApplySameMode(Keyboard()));
    EXPECT_EQ(Mouse().LightState().selectedMode, 1);
    EXPECT_FALSE(Mouse().CommandChannel().IsSync());
    EXPECT_FALSE(list->Sync().AnyFollowing());
}

TEST_F(SameModeTest, WithOneDeviceLeftTheHeadsetLeavesTheSyncAndSyncOptionsTurnOff) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Plug("headset");
    Scan();
    SetMode(Keyboard(), 5);
    ASSERT_TRUE(list->ApplySameMode(Keyboard()));
    devices::CTarnexUSBDevice& headset = *list->Headsets()[0];
    ASSERT_TRUE(headset.CommandChannel().IsSync());
    Tile(kKeyboardTile).SetSyncOption(true);
    keyboard.Unplug();
    Scan();
    EXPECT_FALSE(headset.CommandChannel().IsSync());
    for (const auto* tile : list->Tiles()) {
        EXPECT_FALSE(tile->IsSyncSelected());
    }
}

TEST_F(SameModeTest, AStepPaintsEveryLedOfTheFollowingDevicesOnly) {
    Plug("keyboard");
    Plug("mouse");
    Scan();
    Keyboard().CommandChannel().SetSync(true);
    list->Sync().SetSettings(SyncSettings{SyncEffect::Steady, 4, 0, 1, 0, 1, 2, 3});
    const LedColor colour = list->Sync().Step(0);
    EXPECT_EQ(colour, LedColor::Of({1, 2, 3}, 255));
    for (int led = 0; led < Keyboard().LedCount(); ++led) {
        ASSERT_EQ(Keyboard().GetLedColor(led), colour) << led;
    }
    for (int led = 0; led < Mouse().LedCount(); ++led) {
        ASSERT_EQ(Mouse().GetLedColor(led), LedColor{}) << led;
    }
}

TEST(LightSyncThreadTest, PaintsFollowingDevicesWhileTheUiThreadChangesThemAndStopsInBound) {
    devices::CTarnexUSBDevice a;
    devices::CTarnexUSBDevice b;
    a.SetLedCount(15);
    b.SetLedCount(15);
    a.CommandChannel().SetOpen(true);
    b.CommandChannel().SetOpen(true);
    shell::LightSync sync;
    sync.SetDevices(shell::SyncDevices{{}, {&a}, {&b}, {}});
    sync.SetSettings(SyncSettings{SyncEffect::Steady, 4, 4, 1, 0, 9, 8, 7});
    platform::diag::ScopedCapture capture;
    ASSERT_TRUE(sync.Start());
    a.CommandChannel().SetSync(true);
    sync.Wake();
    const LedColor expected = LedColor::Of({9, 8, 7}, 255);
    bool painted = false;
    for (int i = 0; i < 2000 && !painted; ++i) {
        std::this_thread::sleep_for(1ms);
        painted = a.GetLedColor(14) == expected;
    }
    EXPECT_TRUE(painted);
    // Settings and devices change while the thread runs.
    for (int i = 0; i < 50; ++i) {
        sync.SetSettings(
            SyncSettings{static_cast<SyncEffect>(i % 5), 2, static_cast<std::uint8_t>(i % 5), 1, 1, 1, 1, 1});
        b.CommandChannel().SetSync(i % 2 == 0);
        std::this_thread::sleep_for(100us);
    }
    b.CommandChannel().SetSync(false);
    EXPECT_EQ(sync.Stop(), devices::StopResult::Ended);
    const auto lines = capture.Lines();
    EXPECT_NE(std::ranges::find(lines, std::string(shell::kLightSyncStopText)), lines.end());
}

TEST(LightSyncThreadTest, IdleThreadSleepsUntilStopped) {
    shell::LightSync sync;
    ASSERT_TRUE(sync.Start());
    std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(sync.Running());
    EXPECT_EQ(sync.Stop(), devices::StopResult::Ended);
    EXPECT_FALSE(sync.Running());
}

}  // namespace
}  // namespace norvane::test
