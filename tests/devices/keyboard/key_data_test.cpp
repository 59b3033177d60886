// The keyboard's fixed tables and the pure steps between device bytes and key data.
#include "config/profile_data.h"
#include "devices/keyboard/event_codes.h"
#include "devices/keyboard/factory_key_codes.h"
#include "devices/keyboard/key_colors.h"
#include "devices/keyboard/key_maps.h"
#include "devices/keyboard/key_table.h"
#include "devices/keyboard/layout_variant.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <numeric>

namespace norvane::devices::keyboard {
namespace {

using config::KeyAssignment;
using config::KeyListEntry;

std::vector<std::uint8_t> TableOf(const std::vector<KeyAssignment>& codes) {
    std::vector<std::uint8_t> table;
    for (const KeyAssignment& a : codes) {
        table.insert(table.end(), {a.type, a.param1, a.param2});
    }
    return table;
}

// The factory profile's defaults are the same table, written independently.
TEST(KeyboardFactoryKeyCodes, MatchTheDefaultsOfTheFactoryProfile) {
    config::CBasicProfiledata profile;
    const auto folder = platform::ProgramSubfolder("DefaultData");
    profile.SetDefaultPath(folder / "keyboard.Json");
    ASSERT_NE(profile.LoadOtherDocument(folder / "keyboard.Json"), config::LoadStatus::Missing);
    const std::vector<KeyListEntry> keys = profile.GetOtherKeyList();
    ASSERT_EQ(keys.size(), kKeyIndexCount);
    for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
        EXPECT_EQ(keys[i].defaultAssignment, kFactoryKeyCodes[i]) << "key " << i;
    }
    EXPECT_EQ(kFactoryKeyCodes[95], (KeyAssignment{0x20, 0x20, 0x00}));
    EXPECT_EQ(kFactoryKeyCodes[120], (KeyAssignment{0xD0, 0xA2, 0x01}));
}

TEST(KeyboardKeyMaps, FirstMatchingPositionAndItsLed) {
    // Device order differs from key order; position 3 repeats key 1's code.
    const std::vector<std::uint8_t> table = TableOf({kFactoryKeyCodes[2],
                                                     kFactoryKeyCodes[0],
                                                     kFactoryKeyCodes[1],
                                                     kFactoryKeyCodes[1],
                                                     kFactoryKeyCodes[18],
                                                     {0x70, 0x00, 0x00}});
    const std::vector<std::uint8_t> leds = {10, 11, 12, 13, 14, 15};
    const KeyMaps maps = BuildKeyMaps(table, leds, 6);
    EXPECT_EQ(maps.position[0], 1);
    EXPECT_EQ(maps.led[0], 11);
    EXPECT_EQ(maps.position[1], 2);  // not 3
    EXPECT_EQ(maps.led[1], 12);
    EXPECT_EQ(maps.position[2], 0);
    // 18, 19, 20 and 126-169 share the blank code: all on the one blank position.
    for (std::size_t key : {18u, 19u, 20u, 104u, 126u, 169u}) {
        EXPECT_EQ(maps.position[key], 4) << "key " << key;
        EXPECT_EQ(maps.led[key], 14) << "key " << key;
    }
    EXPECT_EQ(maps.position[3], kNoPosition);
    EXPECT_EQ(maps.led[3], kNoLed);
}

TEST(KeyboardKeyMaps, KeyCountLimitsTheSearch) {
    const std::vector<std::uint8_t> table = TableOf({kFactoryKeyCodes[0], kFactoryKeyCodes[5]});
    const std::vector<std::uint8_t> leds = {7, 8};
    EXPECT_EQ(BuildKeyMaps(table, leds, 1).position[5], kNoPosition);
    // A key count past the buffers is cut to them.
    const KeyMaps maps = BuildKeyMaps(table, std::span(leds).first(1), 170);
    EXPECT_EQ(maps.position[0], 0);
    EXPECT_EQ(maps.position[5], kNoPosition);
    EXPECT_EQ(BuildKeyMaps(table, leds, -1), KeyMaps{});
}

// Maps of a device that holds key i at position i with LED i (keys 0-125).
KeyMaps IdentityMaps() {
    KeyMaps maps;
    for (std::size_t i = 0; i < kMappedKeyCount; ++i) {
        maps.position[i] = static_cast<std::uint8_t>(i);
        maps.led[i] = static_cast<std::uint8_t>(i);
    }
    return maps;
}

std::vector<KeyListEntry> FactoryKeys() {
    std::vector<KeyListEntry> keys;
    for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
        const auto index = static_cast<std::uint16_t>(i);
        keys.push_back({index, kFactoryKeyCodes[i], index, kFactoryKeyCodes[i]});
    }
    return keys;
}

TEST(KeyboardKeyTable, MacroSlotsFollowKeyOrderOfFirstUse) {
    std::vector<KeyListEntry> keys = FactoryKeys();
    keys[3].current = {0x70, 2, 1};    // macro 2, first used on key 3: slot 0
    keys[5].current = {0x70, 0, 0};    // macro 0: slot 1
    keys[9].current = {0x71, 0, 7};    // macro 0 again
    keys[11].current = {0x70, 3, 0};   // past the library of 3: the default
    keys[130].current = {0x70, 1, 0};  // no position is written past key 125
    KeyMaps maps = IdentityMaps();
    maps.position[130] = 100;
    EXPECT_EQ(ListUsedMacros(keys, maps, 3), (std::vector<int>{2, 0}));

    const std::vector<std::uint8_t> current(std::size_t{3} * 126, 0xEE);
    const std::vector<std::uint8_t> table = AssembleKeyTable(current, keys, maps, 3, MacroBindings::Slots);
    ASSERT_EQ(table.size(), current.size());
    auto at = [&](std::size_t p) { return KeyAssignment{table[3 * p], table[3 * p + 1], table[3 * p + 2]}; };
    EXPECT_EQ(at(3), (KeyAssignment{0x70, 0, 1}));
    EXPECT_EQ(at(5), (KeyAssignment{0x70, 1, 0}));
    EXPECT_EQ(at(9), (KeyAssignment{0x71, 1, 7}));
    EXPECT_EQ(at(11), kFactoryKeyCodes[11]);
    EXPECT_EQ(at(100), kFactoryKeyCodes[100]);
    EXPECT_EQ(keys[3].current, (KeyAssignment{0x70, 2, 1}));  // the list keeps its bindings

    const std::vector<std::uint8_t> fallback =
        AssembleKeyTable(current, keys, maps, 3, MacroBindings::Defaults);
    EXPECT_EQ(fallback[9], kFactoryKeyCodes[3].type);
    EXPECT_EQ(fallback[11], kFactoryKeyCodes[3].param2);
    EXPECT_EQ(fallback[27 + 2], kFactoryKeyCodes[9].param2);
}

TEST(KeyboardKeyTable, KeysWithoutPositionLeaveTheReadTableAsItWas) {
    std::vector<KeyListEntry> keys = FactoryKeys();
    keys[0].current = {0x20, 0x00, 0x04};
    KeyMaps maps;          // nothing mapped
    maps.position[1] = 1;  // key 1 only
    maps.position[2] = 9;  // past a 2-entry table
    const std::vector<std::uint8_t> current = {1, 2, 3, 4, 5, 6};
    const std::vector<std::uint8_t> table = AssembleKeyTable(current, keys, maps, 0, MacroBindings::Slots);
    EXPECT_EQ(table, (std::vector<std::uint8_t>{1, 2, 3, 0x20, 0x00, 0x3A}));
    EXPECT_TRUE(ListUsedMacros({}, maps, 5).empty());
}

TEST(KeyboardLedColors, Key95LightsLed97AndStrayLedsAreSkipped) {
    KeyMaps maps = IdentityMaps();
    maps.led[97] = 95;   // key 97 moved to LED 95
    maps.led[10] = 200;  // an LED past the table
    maps.led[11] = kNoLed;
    std::vector<config::KeyColor> colors(kKeyIndexCount);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i + 1),
                     static_cast<std::uint8_t>(i + 2), 255};
    }
    const std::vector<std::uint8_t> table = BuildLedColorTable(colors, maps, 126);
    ASSERT_EQ(table.size(), 378u);
    auto led = [&](std::size_t k) {
        return std::vector<std::uint8_t>(table.begin() + 3 * k, table.begin() + 3 * k + 3);
    };
    EXPECT_EQ(led(97), (std::vector<std::uint8_t>{95, 96, 97}));
    EXPECT_EQ(led(95), (std::vector<std::uint8_t>{97, 98, 99}));
    EXPECT_EQ(led(10), (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(led(11), (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(led(125), (std::vector<std::uint8_t>{125, 126, 127}));
    // A short key count keeps key 95 out of a table without LED 97.
    EXPECT_EQ(BuildLedColorTable(colors, maps, 97).size(), 291u);
}

TEST(KeyboardLedColors, ReadBackGoesThroughTheLedMap) {
    KeyMaps maps;
    maps.led[0] = 2;
    maps.led[1] = 0;
    maps.led[2] = 9;  // past the table
    const std::vector<std::uint8_t> table = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<config::KeyColor> colors = KeyColorsFromLedTable(table, maps, 190);
    ASSERT_EQ(colors.size(), kKeyIndexCount);
    EXPECT_EQ(colors[0], (config::KeyColor{7, 8, 9, 189}));
    EXPECT_EQ(colors[1], (config::KeyColor{1, 2, 3, 189}));
    EXPECT_EQ(colors[2], config::KeyColor{});
    EXPECT_EQ(colors[3], config::KeyColor{});
}

TEST(KeyboardLayoutVariant, OnlyTheSecondKeyboardFollowsTheLanguage) {
    const std::array<int, 12> languages = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 255, -1};
    const std::array<int, 12> expected = {0, 0, 0, 2, 0, 0, 1, 3, 4, 0, 0, 0};
    for (std::size_t i = 0; i < languages.size(); ++i) {
        EXPECT_EQ(LayoutVariant(0x320F, 0x511D, languages[i]), expected[i]) << "language " << languages[i];
        EXPECT_EQ(LayoutVariant(0x320F, 0x50B7, languages[i]), 0);
        EXPECT_EQ(LayoutVariant(0x05AC, 0x511D, languages[i]), 0);
    }
}

TEST(KeyboardEventCodes, Classification) {
    using K = KeyboardEventKind;
    const std::vector<std::pair<std::uint32_t, KeyboardEvent>> cases = {
        {0x401, {K::Resync, 0}},
        {0x402, {K::Rebuild, 0}},
        {0x403, {}},
        {0x1000, {K::ProfileSwitch, 0}},
        {0x1003, {K::ProfileSwitch, 3}},
        {0x10FF, {K::ProfileSwitch, 15}},
        {0x1102, {K::ProfileSwitch, 2}},
        {0x1200, {}},
        {0x0F10, {}},
        {0x11010, {}},
        {0, {}},
    };
    for (const auto& [code, event] : cases) {
        EXPECT_EQ(ClassifyKeyboardEvent(code), event) << std::hex << code;
    }
}

}  // namespace
}  // namespace norvane::devices::keyboard
