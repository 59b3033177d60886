#pragma once

#include "config/keyboard_profiledata.h"
#include "config/light_data.h"
#include "devices/common/light_mode_code.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The keyboard's settings record: one 28-byte block per profile slot of the settings memory.
namespace norvane::devices::keyboard {

inline constexpr std::size_t kSettingsRecordSize = 28;
// Slot p lives at p x 25, so neighbouring slots share 3 bytes.
inline constexpr std::uint16_t kSettingsSlotStride = 25;
// Mode byte meaning "leave the mode as it is".
inline constexpr std::uint8_t kKeepModeCode = 0xFE;

using SettingsRecord = std::array<std::uint8_t, kSettingsRecordSize>;

constexpr std::uint16_t SettingsSlotOffset(int slot) {
    return static_cast<std::uint16_t>(slot * kSettingsSlotStride);
}

// The code sent for a light mode index: its "value" (see LightModeCode), 0xFE for the
// host-driven codes 29 and 30; nothing when no usable code exists.
std::optional<std::uint8_t> KeyboardModeCode(std::span<const config::LightModeName> modes, int modeIndex);
// The first mode index whose "value" is the code; the current index for 0xFE or an unknown code.
std::uint8_t KeyboardModeIndex(std::span<const config::LightModeName> modes, std::uint8_t code,
                               std::uint8_t currentIndex);

// The record written for a light state and settings; nothing when the mode has no code.
// "Repeat", "RepeatDelay" live in the profile only.
std::optional<SettingsRecord> EncodeSettingsRecord(std::uint8_t value, const config::LightInfo& light,
                                                   const config::KeyboardSettings& settings,
                                                   std::span<const config::LightModeName> modes);

// Reads a record into the light state and settings; fields the record does not carry keep
// their values ("PollingRate", "Repeat", "RepeatDelay", the previous mode). Speed and
// brightness are clamped to 0-4.
void DecodeSettingsRecord(const SettingsRecord& record, std::span<const config::LightModeName> modes,
                          config::LightInfo& light, config::KeyboardSettings& settings);

}  // namespace norvane::devices::keyboard
