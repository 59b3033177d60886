#include "devices/light/light_list_layers.h"

#include "devices/light/tables.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::light {
namespace {

config::LightListEntry Entry(std::uint8_t code, std::uint8_t present = 1) {
    config::LightListEntry entry;
    entry.effectCode = code;
    entry.brightness = 4;
    entry.speed = 4;
    entry.red = 7;
    entry.green = 8;
    entry.blue = 9;
    entry.present = present;
    return entry;
}

TEST(LightListLayers, EachCodeAnimatesItsOwnLed) {
    std::vector<config::LightListEntry> list = {Entry(0), Entry(1),    Entry(2), Entry(3),
                                                Entry(4), Entry(0, 0), Entry(9)};
    LightFrame frame(8);
    frame.Fill({50, 50, 50, 50});
    LightListLayers layers;
    layers.Reset(list);
    layers.Apply(list, LayerOrder::Keyboard, frame, 1400);
    // Breathing moves by speed + 4 = 8 per pass.
    EXPECT_EQ(frame.Get(0), (LedColor{7, 8, 9, Scale(kBreathingCurve[8], 255)}));
    EXPECT_EQ(frame.Get(1), (LedColor{7, 8, 9, 255}));
    // Blink: the 1400 ms interval has passed since 0, so it is lit.
    EXPECT_EQ(frame.Get(2), (LedColor{7, 8, 9, 255}));
    // Colour cycle: threshold 7 passes, still at the first wheel colour.
    EXPECT_EQ(frame.Get(3), LedColor::Of(kColourWheel[0], 255));
    EXPECT_EQ(frame.Get(4), LedColor{});
    // An absent breathing entry and an unknown code leave the mode's step alone.
    EXPECT_EQ(frame.Get(5), (LedColor{50, 50, 50, 50}));
    EXPECT_EQ(frame.Get(6), (LedColor{50, 50, 50, 50}));
    EXPECT_EQ(frame.Get(7), (LedColor{50, 50, 50, 50}));

    for (int pass = 1; pass < 7; ++pass) {
        layers.Apply(list, LayerOrder::Keyboard, frame, 1400 + static_cast<std::uint32_t>(pass));
    }
    // The seventh pass moves the cycle on by one, after the blink toggle moved it by 14.
    EXPECT_EQ(frame.Get(3), LedColor::Of(kColourWheel[15], 255));
    EXPECT_EQ(frame.Get(2), (LedColor{7, 8, 9, 255}));
    layers.Apply(list, LayerOrder::Keyboard, frame, 2800);
    EXPECT_EQ(frame.Get(2), LedColor{});
    EXPECT_TRUE(LightListLayers::Animated(list));
    EXPECT_FALSE(
        LightListLayers::Animated(std::vector<config::LightListEntry>{Entry(1), Entry(4), Entry(0, 0)}));
}

TEST(LightListLayers, KeyboardCyclesBeforeTheBlinkToggleMovesTheColour) {
    // Every entry's blink timer moves its colour index by 14, whatever its code; the
    // keyboard shows the colour cycle before that, the other devices after it.
    const std::vector<config::LightListEntry> list = {Entry(3)};
    LightFrame keyboard(1);
    LightFrame peripheral(1);
    LightListLayers keyboardLayers;
    LightListLayers peripheralLayers;
    keyboardLayers.Reset(list);
    peripheralLayers.Reset(list);
    keyboardLayers.Apply(list, LayerOrder::Keyboard, keyboard, 1400);
    peripheralLayers.Apply(list, LayerOrder::Peripheral, peripheral, 1400);
    EXPECT_EQ(keyboard.Get(0), LedColor::Of(kColourWheel[0], 255));
    EXPECT_EQ(peripheral.Get(0), LedColor::Of(kColourWheel[14], 255));
}

TEST(LightListLayers, ListLongerThanTheFrameOrTheArraysIsCut) {
    // A profile may carry more entries than the device has LEDs (or than 170).
    const std::vector<config::LightListEntry> list(300, Entry(1));
    LightListLayers layers;
    layers.Reset(list);
    LightFrame small(15);
    layers.Apply(list, LayerOrder::Peripheral, small, 0);
    EXPECT_EQ(small.Get(14), (LedColor{7, 8, 9, 255}));
    LightFrame large(200);
    layers.Apply(list, LayerOrder::Keyboard, large, 0);
    EXPECT_EQ(large.Get(169), (LedColor{7, 8, 9, 255}));
    EXPECT_EQ(large.Get(170), LedColor{});
}

}  // namespace
}  // namespace norvane::devices::light
