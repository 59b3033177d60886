// The settings record between the keyboard's bytes and the light state and settings.
#include "devices/keyboard/settings_record.h"
#include "config/light_data.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <optional>

namespace norvane::devices::keyboard {
namespace {

using config::LightModeName;

// Codes that differ from the indices, so a lookup by index shows.
const std::vector<LightModeName> kModes = {
    {"a", true, 5}, {"b", true, 7}, {"c", true, 29}, {"d", true, 30}, {"e", true, 7}, {"f", true, 300},
};

TEST(KeyboardLightModeCode, HostDrivenModesKeepTheDevicesMode) {
    struct Case {
        std::vector<LightModeName> modes;
        int index;
        std::optional<std::uint8_t> code;
    };
    const std::vector<Case> cases = {
        {kModes, 0, 5},
        {kModes, 1, 7},
        {kModes, 2, 0xFE},  // host-driven modes keep the device's mode
        {kModes, 3, 0xFE},
        {kModes, 5, 5},                // a value past a byte falls back to mode 0
        {kModes, 6, 5},                // past the list
        {{{"m", true, 29}}, 4, 0xFE},  // the fallback mode is host-driven too
        {{}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyboardModeCode(c.modes, c.index), c.code)
            << "index " << c.index << " of " << c.modes.size();
    }
}

TEST(KeyboardLightModeCode, CodeBackToTheFirstIndexOrTheCurrentOne) {
    EXPECT_EQ(KeyboardModeIndex(kModes, 7, 3), 1);  // first of 1 and 4
    EXPECT_EQ(KeyboardModeIndex(kModes, 5, 3), 0);
    EXPECT_EQ(KeyboardModeIndex(kModes, 0xFE, 3), 3);
    const std::vector<LightModeName> keepValue = {{"x", true, 0xFE}};
    EXPECT_EQ(KeyboardModeIndex(keepValue, 0xFE, 3), 3);  // 0xFE never names a mode
    EXPECT_EQ(KeyboardModeIndex(kModes, 9, 3), 3);
    EXPECT_EQ(KeyboardModeIndex({}, 5, 2), 2);
}

config::LightInfo SampleLight() {
    config::LightInfo light;
    light.selectedMode = 1;
    light.brightness = 3;
    light.speed = 1;
    light.direction = 1;
    light.multiColor = 1;
    light.red = 0x11;
    light.green = 0x22;
    light.blue = 0x33;
    light.secondaryMode = 6;
    light.customGroup = 2;
    light.previousMode = 9;
    light.reserved2 = {0x44, 0x55};
    return light;
}

config::KeyboardSettings SampleSettings() {
    return {.repeat = 40,
            .repeatDelay = 2,
            .key6Flag = 1,
            .pollingRate = 3,
            .wFlag = 1,
            .winFlag = 1,
            .wheelMode = 2};
}

TEST(KeyboardSettingsRecord, EncodedBytes) {
    const std::optional<SettingsRecord> record =
        EncodeSettingsRecord(0, SampleLight(), SampleSettings(), kModes);
    ASSERT_TRUE(record);
    const SettingsRecord expected = {0, 7, 3, 3, 1, 1, 0x11, 0x22, 0x33, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0, 6, 1, 1,    1,    3,    0, 0, 2, 0, 0x44};
    EXPECT_EQ(*record, expected);
    EXPECT_EQ((*EncodeSettingsRecord(3, SampleLight(), SampleSettings(), kModes))[0], 3);
    EXPECT_FALSE(EncodeSettingsRecord(0, SampleLight(), SampleSettings(), {}));
}

TEST(KeyboardSettingsRecord, DecodeKeepsWhatTheRecordDoesNotCarry) {
    const SettingsRecord record = {2, 5, 1, 4, 0, 0, 0xA1, 0xA2, 0xA3, 9, 9, 9, 9, 9,
                                   9, 9, 9, 9, 3, 0, 1,    0,    2,    9, 9, 1, 4, 0x66};
    config::LightInfo light = SampleLight();
    config::KeyboardSettings settings = SampleSettings();
    DecodeSettingsRecord(record, kModes, light, settings);
    EXPECT_EQ(light.selectedMode, 0);
    EXPECT_EQ(light.brightness, 1);
    EXPECT_EQ(light.speed, 0);
    EXPECT_EQ(light.direction, 0);
    EXPECT_EQ(light.multiColor, 0);
    EXPECT_EQ(light.red, 0xA1);
    EXPECT_EQ(light.blue, 0xA3);
    EXPECT_EQ(light.secondaryMode, 3);
    EXPECT_EQ(light.customGroup, 4);
    EXPECT_EQ(light.reserved2[0], 0x66);
    EXPECT_EQ(light.previousMode, 9);
    const config::KeyboardSettings expected = {.repeat = 40,
                                               .repeatDelay = 2,
                                               .key6Flag = 1,
                                               .pollingRate = 3,
                                               .wFlag = 0,
                                               .winFlag = 0,
                                               .wheelMode = 1};
    EXPECT_EQ(settings, expected);
}

TEST(KeyboardSettingsRecord, ModeByteFEAndOutOfRangeIndices) {
    SettingsRecord record{};
    record[1] = kKeepModeCode;
    record[2] = 200;  // brightness past the table
    record[3] = 9;    // speed byte past 4
    // Even a mode list that names 0xFE as a code.
    std::vector<LightModeName> modes = kModes;
    modes.push_back({"g", true, 0xFE});
    config::LightInfo light = SampleLight();
    config::KeyboardSettings settings;
    DecodeSettingsRecord(record, modes, light, settings);
    EXPECT_EQ(light.selectedMode, 1);
    EXPECT_EQ(light.brightness, 4);
    EXPECT_EQ(light.speed, 0);
}

TEST(KeyboardSettingsRecord, FactoryModeNamesRoundTrip) {
    const config::LightNames names =
        config::ReadLightModeNames(platform::ProgramSubfolder("DefaultData") / "default_light.json", 0);
    ASSERT_EQ(names.modes.size(), 31u);
    for (std::uint8_t mode = 0; mode < 29; ++mode) {
        config::LightInfo light = SampleLight();
        light.selectedMode = mode;
        const auto record = EncodeSettingsRecord(0, light, SampleSettings(), names.modes);
        ASSERT_TRUE(record);
        config::LightInfo back;
        back.selectedMode = 30;
        config::KeyboardSettings settings;
        DecodeSettingsRecord(*record, names.modes, back, settings);
        EXPECT_EQ(back.selectedMode, mode);
        EXPECT_EQ(back.speed, light.speed);
    }
}

}  // namespace
}  // namespace norvane::devices::keyboard
