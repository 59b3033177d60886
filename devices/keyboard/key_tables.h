#pragma once

#include "devices/keyboard/key_maps.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace norvane::devices::keyboard {

// The keyboard's key table and LED map as last read completely, and the maps built from
// them. Only a read that succeeded in full replaces them.
struct KeyboardTables {
    static constexpr std::size_t kHalf = 512;

    std::array<std::uint8_t, 2 * kHalf> cached{};  // key table, then LED map at 512
    int keyCount = 0;                              // 0 until a complete read
    std::size_t macroMemoryBytes = 0;
    KeyMaps maps;

    bool Valid() const { return keyCount > 0; }
    std::span<const std::uint8_t> KeyTable() const {
        return std::span(cached).first(3 * static_cast<std::size_t>(keyCount));
    }
    std::span<const std::uint8_t> LedMap() const {
        return std::span(cached).subspan(kHalf, static_cast<std::size_t>(keyCount));
    }
};

}  // namespace norvane::devices::keyboard
