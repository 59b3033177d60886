// Light mode index <-> device code through the light mode names.
#include "devices/common/light_mode_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace norvane::devices {
namespace {

using config::LightModeName;

// Codes that differ from the indices, so a lookup by index shows.
const std::vector<LightModeName> kModes = {
    {"a", true, 5}, {"b", true, 7}, {"c", true, 29}, {"d", true, 7}, {"e", true, 300}, {"f", true, -4},
};

TEST(LightModeCode, LookupIsBoundsCheckedAndFallsBackToModeZero) {
    struct Case {
        std::vector<LightModeName> modes;
        int index;
        std::optional<std::uint8_t> code;
    };
    const std::vector<Case> cases = {
        {kModes, 0, 5},
        {kModes, 1, 7},
        {kModes, 2, 29},
        {kModes, 4, 5},    // a value past a byte
        {kModes, 5, 5},    // a negative value
        {kModes, 6, 5},    // past the list
        {kModes, 255, 5},  // index 255
        {kModes, -1, 5},
        {{}, 0, std::nullopt},
        {{{"x", true, -1}}, 0, std::nullopt},
        {{{"x", true, 256}, {"y", true, 3}}, 7, std::nullopt},  // mode 0 has no usable code
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LightModeCode(c.modes, c.index), c.code) << "index " << c.index << " of " << c.modes.size();
    }
}

TEST(LightModeCode, CodeBackToTheFirstIndexOrTheCurrentOne) {
    EXPECT_EQ(LightModeIndex(kModes, 7, 3), 1);  // first of 1 and 3
    EXPECT_EQ(LightModeIndex(kModes, 5, 3), 0);
    EXPECT_EQ(LightModeIndex(kModes, 29, 0), 2);
    EXPECT_EQ(LightModeIndex(kModes, 9, 3), 3);
    EXPECT_EQ(LightModeIndex({}, 5, 2), 2);
}

}  // namespace
}  // namespace norvane::devices
