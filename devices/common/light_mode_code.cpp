#include "devices/common/light_mode_code.h"

#include <algorithm>

namespace norvane::devices {
namespace {

std::optional<std::uint8_t> CodeOf(const config::LightModeName& mode) {
    if (mode.value < 0 || mode.value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(mode.value);
}

}  // namespace

std::optional<std::uint8_t> LightModeCode(std::span<const config::LightModeName> modes, int modeIndex) {
    if (modeIndex >= 0 && static_cast<std::size_t>(modeIndex) < modes.size()) {
        if (auto code = CodeOf(modes[static_cast<std::size_t>(modeIndex)])) {
            return code;
        }
    }
    if (modes.empty()) {
        return std::nullopt;
    }
    return CodeOf(modes.front());
}

std::uint8_t LightModeIndex(std::span<const config::LightModeName> modes, std::uint8_t code,
                            std::uint8_t currentIndex) {
    const std::size_t limit = std::min<std::size_t>(modes.size(), 0x100);
    for (std::size_t i = 0; i < limit; ++i) {
        if (modes[i].value == code) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return currentIndex;
}

}  // namespace norvane::devices
