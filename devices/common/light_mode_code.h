#pragma once

#include "config/light_data.h"

#include <cstdint>
#include <optional>
#include <span>

// Light mode index <-> the code a device is sent, through the built-in light mode names.
namespace norvane::devices {

// Light speed and brightness are indices of 5-entry tables.
inline constexpr std::uint8_t kMaxLightIndex = 4;

// The "value" of the mode index. An index outside the list, or one whose value is outside
// 0-255, falls back to mode 0's value; nothing when mode 0 has no usable value either.
std::optional<std::uint8_t> LightModeCode(std::span<const config::LightModeName> modes, int modeIndex);
// The first mode index whose "value" is the code; the current index when none is.
std::uint8_t LightModeIndex(std::span<const config::LightModeName> modes, std::uint8_t code,
                            std::uint8_t currentIndex);

}  // namespace norvane::devices
