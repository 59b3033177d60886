#include "devices/mouse/button_table.h"
#include "devices/mouse/mouse_wire.h"

#include <algorithm>

namespace norvane::devices::mouse {
namespace {

// Buttons whose bindings reach the device: with a key list entry, below 126.
std::size_t BoundButtons(std::span<const config::KeyListEntry> keyList, std::span<const int> buttonMap) {
    return std::min({keyList.size(), buttonMap.size(), static_cast<std::size_t>(kMaxMouseKeys)});
}

}  // namespace

std::vector<int> ListUsedMacros(std::span<const config::KeyListEntry> keyList, std::span<const int> buttonMap,
                                int macroCount) {
    std::vector<int> used;
    for (std::size_t i = 0; i < BoundButtons(keyList, buttonMap); ++i) {
        const config::KeyAssignment& a = keyList[i].current;
        if (buttonMap[i] == kNoPhysicalKey || !config::IsMacroType(a.type) || a.param1 >= macroCount) {
            continue;
        }
        if (std::find(used.begin(), used.end(), a.param1) == used.end()) {
            used.push_back(a.param1);
        }
    }
    return used;
}

std::vector<std::uint8_t> AssembleMouseKeyTable(std::span<const std::uint8_t> factoryTable,
                                                std::span<const int> buttonMap,
                                                std::span<const config::KeyListEntry> keyList, int macroCount,
                                                MacroBindings bindings) {
    std::vector<std::uint8_t> table(factoryTable.begin(), factoryTable.end());
    const std::vector<int> used = ListUsedMacros(keyList, buttonMap, macroCount);
    for (std::size_t i = 0; i < BoundButtons(keyList, buttonMap); ++i) {
        const int key = buttonMap[i];
        if (key < 0 || key == kNoPhysicalKey || 3 * static_cast<std::size_t>(key) + 2 >= table.size()) {
            continue;
        }
        config::KeyAssignment a = keyList[i].current;
        if (config::IsMacroType(a.type)) {
            const auto slot = std::find(used.begin(), used.end(), a.param1);
            if (bindings == MacroBindings::Slots && slot != used.end()) {
                a.param1 = static_cast<std::uint8_t>(slot - used.begin());
            } else {
                a = keyList[i].defaultAssignment;
            }
        }
        const auto at = 3 * static_cast<std::size_t>(key);
        table[at] = a.type;
        table[at + 1] = a.param1;
        table[at + 2] = a.param2;
    }
    return table;
}

}  // namespace norvane::devices::mouse
