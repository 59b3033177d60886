#include "devices/keyboard/key_colors.h"

#include <algorithm>

namespace norvane::devices::keyboard {

std::vector<std::uint8_t> BuildLedColorTable(std::span<const config::KeyColor> colors, const KeyMaps& maps,
                                             int keyCount) {
    std::vector<std::uint8_t> table(
        3 * static_cast<std::size_t>(std::clamp(keyCount, 0, int{kKeyIndexCount})), 0);
    const std::size_t keys = std::min(colors.size(), kMappedKeyCount);
    for (std::size_t i = 0; i < keys; ++i) {
        const std::size_t led = i == kLedRemappedKey ? kLedOfRemappedKey : maps.led[i];
        if (led == kNoLed || 3 * led + 2 >= table.size()) {
            continue;
        }
        table[3 * led] = colors[i].red;
        table[3 * led + 1] = colors[i].green;
        table[3 * led + 2] = colors[i].blue;
    }
    return table;
}

std::vector<config::KeyColor> KeyColorsFromLedTable(std::span<const std::uint8_t> table, const KeyMaps& maps,
                                                    std::uint8_t brightnessLevel) {
    std::vector<config::KeyColor> colors(kKeyIndexCount);
    const auto level = static_cast<std::uint8_t>(brightnessLevel * 255 / 256);
    for (std::size_t i = 0; i < kKeyIndexCount; ++i) {
        const std::size_t led = maps.led[i];
        if (led == kNoLed || 3 * led + 2 >= table.size()) {
            continue;
        }
        colors[i] = {table[3 * led], table[3 * led + 1], table[3 * led + 2], level};
    }
    return colors;
}

}  // namespace norvane::devices::keyboard
