#pragma once

#include "devices/keyboard/factory_key_codes.h"

#include <array>
#include <cstdint>
#include <span>

// Where each key index sits in the keyboard's own key table, and which LED lights it.
namespace norvane::devices::keyboard {

inline constexpr std::uint8_t kNoPosition = 255;
inline constexpr std::uint8_t kNoLed = 255;

struct KeyMaps {
    KeyMaps() {
        position.fill(kNoPosition);
        led.fill(kNoLed);
    }

    std::array<std::uint8_t, kKeyIndexCount> position;  // KeyPositionMap
    std::array<std::uint8_t, kKeyIndexCount> led;       // KeyLedMap

    friend bool operator==(const KeyMaps&, const KeyMaps&) = default;
};

// Key j gets the first device position below keyCount whose three table bytes equal its
// factory code, and the LED the LED map gives that position. keyCount is cut to what the
// two tables hold.
KeyMaps BuildKeyMaps(std::span<const std::uint8_t> keyTable, std::span<const std::uint8_t> ledMap,
                     int keyCount);

}  // namespace norvane::devices::keyboard
