// The macro memory image of macros and recoil patterns.
#include "devices/common/macro_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices {
namespace {

std::vector<config::PackedMacroEvent> Events(std::size_t count, std::uint8_t seed) {
    std::vector<config::PackedMacroEvent> events(count);
    for (std::size_t i = 0; i < count; ++i) {
        events[i].bytes = {static_cast<std::uint8_t>(seed + i), 0x01, 0x8A, static_cast<std::uint8_t>(i)};
    }
    return events;
}

TEST(MacroImage, HeaderOffsetsAndRecords) {
    const std::vector<std::vector<config::PackedMacroEvent>> macros = {Events(1, 0x10), Events(2, 0x20), {}};
    const MacroImage image = BuildMacroMemoryImage(macros, 4096);
    ASSERT_EQ(image.result, 0);
    // 16 + 6 x 3 + 4 x 3 = 46.
    const std::vector<std::uint8_t> expected = {
        0xAA, 0x55, 46, 0, 3,    0,    0,    0, 0,    0,    0,    0, 0, 0, 0, 0,  // header
        22,   0,    30, 0, 42,   0,                                               // offsets
        1,    0,    0,  0, 0x10, 0x01, 0x8A, 0,                                   // record 0
        2,    0,    0,  0, 0x20, 0x01, 0x8A, 0, 0x21, 0x01, 0x8A, 1,              // record 1
        0,    0,    0,  0,                                                        // record 2: empty
    };
    EXPECT_EQ(image.bytes, expected);
    EXPECT_EQ(MacroImageLength(macros), expected.size());
}

TEST(MacroImage, CapacityDecidesAndTheOverflowCountsEvents) {
    // Two macros: 16 + 12 + 4 x events.
    struct Case {
        std::size_t events;
        std::size_t capacity;
        int result;
    };
    for (const Case& c :
         {Case{25, 128, 0}, Case{26, 128, 2}, Case{27, 128, 3}, Case{1, 0, 9}, Case{0, 28, 0}}) {
        const std::vector<std::vector<config::PackedMacroEvent>> macros = {Events(c.events, 0), {}};
        const MacroImage image = BuildMacroMemoryImage(macros, c.capacity);
        EXPECT_EQ(image.result, c.result) << c.events << " events in " << c.capacity;
        EXPECT_EQ(image.bytes.empty(), c.result != 0);
    }
}

}  // namespace
}  // namespace norvane::devices
