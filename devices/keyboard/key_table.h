#pragma once

#include "config/profile_data.h"
#include "devices/common/macro_write.h"
#include "devices/keyboard/key_maps.h"

#include <cstdint>
#include <span>
#include <vector>

// The key table written to the keyboard: the key list's assignments at their device
// positions, macro bindings turned into device macro slots.
namespace norvane::devices::keyboard {

// Macro indices bound by keys 0-125 that have a device position, below macroCount, in
// order of first use. Device macro slot s holds the s-th of them.
std::vector<int> ListUsedMacros(std::span<const config::KeyListEntry> keys, const KeyMaps& maps,
                                int macroCount);

// A copy of currentTable with the assignment of every key 0-125 that has a device position
// put at 3 x position (positions past the table are skipped). The key list is not changed.
std::vector<std::uint8_t> AssembleKeyTable(std::span<const std::uint8_t> currentTable,
                                           std::span<const config::KeyListEntry> keys, const KeyMaps& maps,
                                           int macroCount, MacroBindings bindings);

}  // namespace norvane::devices::keyboard
