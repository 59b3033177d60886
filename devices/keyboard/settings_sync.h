#pragma once

#include "config/keyboard_profiledata.h"
#include "config/light_data.h"
#include "device/hid_channel.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/settings_record.h"

#include <cstdint>
#include <span>

namespace norvane::devices::keyboard {

inline constexpr std::uint8_t kCustomLightMode = 19;

// What the keyboard's settings read last: the active profile slot, its raw record, and the
// light state and settings decoded from it.
struct KeyboardSettingsState {
    std::uint8_t activeProfile = 0;
    SettingsRecord raw{};
    config::LightInfo light;
    config::KeyboardSettings settings;
};

// Reads the active slot's settings and decodes them over state. In the custom mode the
// per-LED colours are read back too and stored as the custom colours of the group the
// keyboard reports, at brightnessLevels[brightness] x 255 / 256. Then the light state and
// settings are stored in the profile and the profile saved. Any failed read leaves state
// and profile as they were.
int SyncSettingsFromDevice(device::HidChannel& channel, const KeyboardTables& tables,
                           std::span<const config::LightModeName> modes,
                           std::span<const std::uint8_t> brightnessLevels, KeyboardSettingsState& state,
                           config::CKeyboardProfiledata& profile);

}  // namespace norvane::devices::keyboard
