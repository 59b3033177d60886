#pragma once

#include "config/light_data.h"
#include "devices/keyboard/key_maps.h"

#include <cstdint>
#include <span>
#include <vector>

// The per-LED colour table of the custom mode: red, green, blue of LED k at 3k.
namespace norvane::devices::keyboard {

// Key 95 is lit by LED 97 whatever the LED map says.
inline constexpr std::size_t kLedRemappedKey = 95;
inline constexpr std::uint8_t kLedOfRemappedKey = 97;

// keyCount x 3 bytes, zero but for the colours of keys 0-125 at their LEDs; keys without an
// LED, and LEDs past the table, are skipped. colors is indexed by key index.
std::vector<std::uint8_t> BuildLedColorTable(std::span<const config::KeyColor> colors, const KeyMaps& maps,
                                             int keyCount);

// One colour per key index (170) from a table read back: a key's LED colour at level
// brightnessLevel x 255 / 256; keys without an LED in the table stay 0.
std::vector<config::KeyColor> KeyColorsFromLedTable(std::span<const std::uint8_t> table, const KeyMaps& maps,
                                                    std::uint8_t brightnessLevel);

}  // namespace norvane::devices::keyboard
