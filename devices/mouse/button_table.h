#pragma once

#include "config/key_codes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The mouse's logical buttons and where they sit in the device's key table.
namespace norvane::devices::mouse {

inline constexpr std::size_t kButtonCount = 11;
// Button map entry of a logical button that no physical key carries.
inline constexpr int kNoPhysicalKey = 170;
// Key table entries a mouse may report (3 bytes each).
inline constexpr int kMaxMouseKeys = 126;

// The factory assignment by which each logical button is found in the factory key table:
// left, right, middle, forward, back, DPI up, DPI down, DPI cycle, GM key, DPI shift, rapid fire.
inline constexpr std::array<config::KeyAssignment, kButtonCount> kButtonFunctionTable{{
    {0x10, 0x01, 0x00},
    {0x10, 0x02, 0x00},
    {0x10, 0x04, 0x00},
    {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00},
    {0x13, 0x01, 0x00},
    {0x13, 0x02, 0x00},
    {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00},
    {0x16, 0x90, 0x01},
    {0x14, 0x78, 0x02},
}};

// Logical button -> physical key index: max(keyCount, kButtonCount) entries, each
// kNoPhysicalKey unless it is a logical button whose factory assignment one of the first
// keyCount entries of the table holds (the first such key). Entries past the table's end
// are not looked at.
std::vector<int> BuildButtonMap(std::span<const std::uint8_t> factoryTable, int keyCount);

}  // namespace norvane::devices::mouse
