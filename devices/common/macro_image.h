#pragma once

#include "config/macro_event.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The macro memory image of the peripherals (macros, and the mouse's recoil patterns): a
// 16-byte header, one offset per entry, then the entries (event count, two reserved bytes,
// four bytes per event). 16-bit values little-endian.
namespace norvane::devices {

inline constexpr std::uint16_t kMacroImageMagic = 0x55AA;
inline constexpr std::size_t kMacroImageHeaderSize = 16;

// 16 + 6 x entries + 4 x events.
std::size_t MacroImageLength(std::span<const std::vector<config::PackedMacroEvent>> macros);

struct MacroImage {
    // 0 when bytes holds the image; -1 when no image can be formed (its length or a count does
    // not fit 16 bits); else how many events too many: (length - capacity) / 4 + 1.
    int result = 0;
    std::vector<std::uint8_t> bytes;
};

// The image of the entries in slot order, when it fits capacity bytes.
MacroImage BuildMacroMemoryImage(std::span<const std::vector<config::PackedMacroEvent>> macros,
                                 std::size_t capacity);

}  // namespace norvane::devices
