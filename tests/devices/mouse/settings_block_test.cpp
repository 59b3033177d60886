// The mouse's settings block from the profile's values, and a block read back.
#include "devices/mouse/settings_block.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::mouse {
namespace {

using config::CorrectionEntry;
using config::DpiStage;
using config::LightModeName;

// Codes that differ from the indices, so a lookup by index shows.
const std::vector<LightModeName> kModes = {
    {"m0", true, 0x21},  {"m1", true, 0x22},  {"m2", true, 0x23},  {"m3", true, 0x24}, {"m4", true, 0x25},
    {"m5", true, 0x26},  {"m6", true, 0x27},  {"m7", true, 0x28},  {"m8", true, 0x29}, {"m9", true, 0x2A},
    {"m10", true, 0x2B}, {"m11", true, 0x2C}, {"m12", true, 0x2D},
};

std::vector<DpiStage> Stages(std::size_t count) {
    std::vector<DpiStage> stages;
    for (std::size_t i = 0; i < count; ++i) {
        const auto n = static_cast<std::uint8_t>(i + 1);
        stages.push_back({1, static_cast<std::uint8_t>(i % 2), static_cast<std::uint16_t>(0x100 * n + n),
                          static_cast<std::uint16_t>(0x200 + n), static_cast<std::uint8_t>(0x10 * n),
                          static_cast<std::uint8_t>(0x10 * n + 1), static_cast<std::uint8_t>(0x10 * n + 2)});
    }
    return stages;
}

struct Inputs {
    std::vector<DpiStage> stages = Stages(5);
    std::vector<CorrectionEntry> corrections = {{7, 8, 0, "off"}, {9, 10, 1, "on"}, {11, 12, 1, "later"}};
    MouseSettingsInputs in;

    Inputs() {
        in.light.selectedMode = 3;
        in.light.brightness = 2;
        in.light.speed = 1;
        in.light.direction = 1;
        in.light.multiColor = 1;
        in.light.red = 0xA1;
        in.light.green = 0xA2;
        in.light.blue = 0xA3;
        in.modes = kModes;
        in.stages = stages;
        in.currentStage = 2;
        in.settings.reportRateStage = 3;
        in.settings.pointerSpeed = 10;  // not on the device
        in.corrections = corrections;
        in.screenWidth = 2560;
        in.screenHeight = 1440;
    }
};

TEST(MouseSettingsBlock, EveryByte) {
    const Inputs inputs;
    const std::optional<MouseSettingsBlock> block = BuildMouseSettingsBlock(inputs.in);
    ASSERT_TRUE(block);
    const MouseSettingsBlock expected = {
        0, 0x24, 2,    3,    1,    1,    0xA1, 0xA2, 0xA3, 0, 0, 3, 2, 0,  // 0-13
        1, 0,    0x01, 0x01, 0x01, 0x02, 0x10, 0x11, 0x12,                 // stage 0
        1, 1,    0x02, 0x02, 0x02, 0x02, 0x20, 0x21, 0x22,                 // stage 1
        1, 0,    0x03, 0x03, 0x03, 0x02, 0x30, 0x31, 0x32,                 // stage 2
        1, 1,    0x04, 0x04, 0x04, 0x02, 0x40, 0x41, 0x42,                 // stage 3
        1, 0,    0x05, 0x05, 0x05, 0x02, 0x50, 0x51, 0x52,                 // stage 4
        1, 0x00, 0x0A, 0xA0, 0x05, 10,   9,                                // 59-65
    };
    EXPECT_EQ(*block, expected);
}

TEST(MouseSettingsBlock, StagesTheListDoesNotHaveStayZero) {
    for (const std::size_t count : {std::size_t{0}, std::size_t{3}, std::size_t{7}}) {
        SCOPED_TRACE(count);
        Inputs inputs;
        inputs.stages = Stages(count);
        inputs.in.stages = inputs.stages;
        const std::optional<MouseSettingsBlock> block = BuildMouseSettingsBlock(inputs.in);
        ASSERT_TRUE(block);
        for (std::size_t i = 0; i < 5; ++i) {
            const bool present = i < count;
            EXPECT_EQ((*block)[14 + 9 * i], present ? 1 : 0) << "stage " << i;
            EXPECT_EQ((*block)[16 + 9 * i], present ? static_cast<int>(i) + 1 : 0) << "stage " << i;
        }
        if (count == 3) {
            for (std::size_t at = 41; at <= 58; ++at) {
                EXPECT_EQ((*block)[at], 0) << "byte " << at;
            }
        }
        EXPECT_EQ((*block)[59], 1);  // the flag after the stages
    }
}

TEST(MouseSettingsBlock, LightModeCodeIsLookedUpSafely) {
    struct Case {
        int selected;
        std::vector<LightModeName> modes;
        std::optional<std::uint8_t> code;
    };
    const std::vector<Case> cases = {
        {0, kModes, 0x21},
        {9, kModes, 0x2A},
        {10, kModes, 0x21},  // modes from 10 on are sent as mode 0
        {12, kModes, 0x21},
        {255, kModes, 0x21},
        {4, {kModes.begin(), kModes.begin() + 2}, 0x21},  // past a short list
        {1, {{"bad", true, 300}, {"m1", true, 0x22}}, 0x22},
        {4, {{"bad", true, 300}, {"m1", true, 0x22}}, std::nullopt},  // mode 0 has no code either
        {0, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        Inputs inputs;
        inputs.in.light.selectedMode = static_cast<std::uint8_t>(c.selected);
        inputs.in.modes = c.modes;
        const std::optional<MouseSettingsBlock> block = BuildMouseSettingsBlock(inputs.in);
        ASSERT_EQ(block.has_value(), c.code.has_value()) << "mode " << c.selected;
        if (block) {
            EXPECT_EQ((*block)[1], *c.code) << "mode " << c.selected;
        }
    }
}

TEST(MouseSettingsBlock, CorrectionScreenAndLightLimits) {
    struct Case {
        std::vector<CorrectionEntry> corrections;
        int width;
        int height;
        std::uint8_t brightness;
        std::uint8_t speed;
        std::vector<std::uint8_t> bytes;  // 2, 3, 60-65
    };
    const std::vector<Case> cases = {
        {{}, 1920, 1080, 4, 0, {4, 4, 0x80, 0x07, 0x38, 0x04, 0, 0}},
        {{{3, 4, 0, ""}}, 0, 0, 0, 4, {0, 0, 0, 0, 0, 0, 0, 0}},  // nothing selected
        {{{3, 4, 2, ""}, {5, 6, 1, ""}}, 800, 600, 2, 2, {2, 2, 0x20, 0x03, 0x58, 0x02, 4, 3}},
        {{}, 70000, -5, 9, 200, {4, 0, 0xFF, 0xFF, 0, 0, 0, 0}},  // out of range: clamped
    };
    for (const Case& c : cases) {
        Inputs inputs;
        inputs.corrections = c.corrections;
        inputs.in.corrections = inputs.corrections;
        inputs.in.screenWidth = c.width;
        inputs.in.screenHeight = c.height;
        inputs.in.light.brightness = c.brightness;
        inputs.in.light.speed = c.speed;
        const std::optional<MouseSettingsBlock> block = BuildMouseSettingsBlock(inputs.in);
        ASSERT_TRUE(block);
        const MouseSettingsBlock& b = *block;
        EXPECT_EQ((std::vector<std::uint8_t>{b[2], b[3], b[60], b[61], b[62], b[63], b[64], b[65]}), c.bytes)
            << c.width << "x" << c.height;
    }
}

TEST(MouseReadBack, LightFieldsAndStageFromTheBlock) {
    config::LightInfo current;
    current.selectedMode = 6;
    current.direction = 1;
    current.secondaryMode = 9;
    current.customGroup = 2;

    MouseReadBack block{};
    block[0] = 0x77;  // whatever the device keeps there
    block[1] = 0x23;  // mode 2's code
    block[2] = 3;
    block[3] = 1;  // speed 3
    block[4] = 0;  // direction: not taken over
    block[5] = 1;
    block[6] = 0x11;
    block[7] = 0x22;
    block[8] = 0x33;
    block[12] = 4;
    block[70] = 0x5A;

    const MouseReadBackState state = DecodeMouseReadBack(block, 2, kModes, current);
    EXPECT_EQ(state.mirror[0], 2);
    EXPECT_EQ(state.mirror[1], 0x23);
    EXPECT_EQ(state.mirror[70], 0x5A);
    EXPECT_EQ(state.light.selectedMode, 2);
    EXPECT_EQ(state.light.brightness, 3);
    EXPECT_EQ(state.light.speed, 3);
    EXPECT_EQ(state.light.multiColor, 1);
    EXPECT_EQ(state.light.red, 0x11);
    EXPECT_EQ(state.light.green, 0x22);
    EXPECT_EQ(state.light.blue, 0x33);
    EXPECT_EQ(state.light.direction, 1);
    EXPECT_EQ(state.light.secondaryMode, 9);
    EXPECT_EQ(state.light.customGroup, 2);
    EXPECT_EQ(state.currentStage, 4);

    // A code no mode has keeps the mode; bytes past the 5-entry tables are clamped.
    block[1] = 0x99;
    block[2] = 200;
    block[3] = 9;
    const MouseReadBackState odd = DecodeMouseReadBack(block, 0, kModes, current);
    EXPECT_EQ(odd.light.selectedMode, 6);
    EXPECT_EQ(odd.light.brightness, 4);
    EXPECT_EQ(odd.light.speed, 0);
    EXPECT_EQ(DecodeMouseReadBack(block, 0, {}, current).light.selectedMode, 6);
}

}  // namespace
}  // namespace norvane::devices::mouse
