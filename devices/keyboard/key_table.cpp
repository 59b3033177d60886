#include "devices/keyboard/key_table.h"

#include <algorithm>

namespace norvane::devices::keyboard {
namespace {

std::size_t MappedKeys(std::span<const config::KeyListEntry> keys) {
    return std::min(keys.size(), kMappedKeyCount);
}

}  // namespace

std::vector<int> ListUsedMacros(std::span<const config::KeyListEntry> keys, const KeyMaps& maps,
                                int macroCount) {
    std::vector<int> used;
    for (std::size_t i = 0; i < MappedKeys(keys); ++i) {
        const config::KeyAssignment& a = keys[i].current;
        if (maps.position[i] == kNoPosition || !config::IsMacroType(a.type) || a.param1 >= macroCount) {
            continue;
        }
        if (std::find(used.begin(), used.end(), a.param1) == used.end()) {
            used.push_back(a.param1);
        }
    }
    return used;
}

std::vector<std::uint8_t> AssembleKeyTable(std::span<const std::uint8_t> currentTable,
                                           std::span<const config::KeyListEntry> keys, const KeyMaps& maps,
                                           int macroCount, MacroBindings bindings) {
    std::vector<std::uint8_t> table(currentTable.begin(), currentTable.end());
    const std::vector<int> used = ListUsedMacros(keys, maps, macroCount);
    for (std::size_t i = 0; i < MappedKeys(keys); ++i) {
        const std::size_t p = maps.position[i];
        if (p == kNoPosition || 3 * p + 2 >= table.size()) {
            continue;
        }
        config::KeyAssignment a = keys[i].current;
        if (config::IsMacroType(a.type)) {
            const auto slot = std::find(used.begin(), used.end(), a.param1);
            if (bindings == MacroBindings::Slots && slot != used.end()) {
                a.param1 = static_cast<std::uint8_t>(slot - used.begin());
            } else {
                a = keys[i].defaultAssignment;
            }
        }
        table[3 * p] = a.type;
        table[3 * p + 1] = a.param1;
        table[3 * p + 2] = a.param2;
    }
    return table;
}

}  // namespace norvane::devices::keyboard
