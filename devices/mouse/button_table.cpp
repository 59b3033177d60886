#include "devices/mouse/button_table.h"

#include <algorithm>

namespace norvane::devices::mouse {

std::vector<int> BuildButtonMap(std::span<const std::uint8_t> factoryTable, int keyCount) {
    const auto count = static_cast<std::size_t>(std::max(keyCount, 0));
    std::vector<int> map(std::max(count, kButtonCount), kNoPhysicalKey);
    const std::size_t keys = std::min(count, factoryTable.size() / 3);
    for (std::size_t button = 0; button < kButtonCount; ++button) {
        const config::KeyAssignment& row = kButtonFunctionTable[button];
        for (std::size_t k = 0; k < keys; ++k) {
            const config::KeyAssignment key{factoryTable[3 * k], factoryTable[3 * k + 1],
                                            factoryTable[3 * k + 2]};
            if (key == row) {
                map[button] = static_cast<int>(k);
                break;
            }
        }
    }
    return map;
}

}  // namespace norvane::devices::mouse
