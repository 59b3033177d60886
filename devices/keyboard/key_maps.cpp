#include "devices/keyboard/key_maps.h"

#include <algorithm>

namespace norvane::devices::keyboard {

KeyMaps BuildKeyMaps(std::span<const std::uint8_t> keyTable, std::span<const std::uint8_t> ledMap,
                     int keyCount) {
    KeyMaps maps;
    const std::size_t count = std::min({keyCount < 0 ? std::size_t{0} : static_cast<std::size_t>(keyCount),
                                        keyTable.size() / 3, ledMap.size(), std::size_t{kKeyIndexCount}});
    for (std::size_t j = 0; j < kKeyIndexCount; ++j) {
        const config::KeyAssignment code = kFactoryKeyCodes[j];
        for (std::size_t k = 0; k < count; ++k) {
            if (keyTable[3 * k] == code.type && keyTable[3 * k + 1] == code.param1 &&
                keyTable[3 * k + 2] == code.param2) {
                maps.position[j] = static_cast<std::uint8_t>(k);
                maps.led[j] = ledMap[k];
                break;
            }
        }
    }
    return maps;
}

}  // namespace norvane::devices::keyboard
