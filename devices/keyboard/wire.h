#pragma once

#include "config/light_data.h"
#include "config/profile_data.h"
#include "device/hid_channel.h"
#include "devices/common/macro_write.h"
#include "devices/keyboard/key_table.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/settings_record.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The keyboard's command sequences. Each returns a command result code (device::result,
// keyboard::result); nothing is changed on the caller's side unless the whole sequence
// succeeded. Every sequence does nothing and returns 0 when the channel is not open, and a
// configuration bracket, once opened, is closed on every path.
namespace norvane::devices::keyboard {

// Key count, key table and LED map inside a bracket; on success the tables and maps are
// replaced and the channel's data size is key count x 3.
int ReadKeysFromDevice(device::HidChannel& channel, KeyboardTables& tables);

struct SettingsReadBack {
    std::uint8_t activeProfile = 0;
    SettingsRecord record{};  // byte 0 = the active profile index, byte 16 = 0
};
// The active profile index (settings byte 0) and that slot's record.
int ReadSettingsRecord(device::HidChannel& channel, SettingsReadBack& readBack);

// One record at slot x 25 inside a bracket.
int WriteDeviceSettings(device::HidChannel& channel, int slot, const SettingsRecord& record);
// The record of a light state and settings with byte 0 = value; kNoModeCode unsent when the
// light mode has no code.
int WriteDeviceSettings(device::HidChannel& channel, int slot, std::uint8_t value,
                        const config::LightInfo& light, const config::KeyboardSettings& settings,
                        std::span<const config::LightModeName> modes);

// The key list assembled over the cached key table and written inside a bracket. Refused
// (kNoKeyTable, unsent) unless the tables hold a complete read of the key count the device
// reports now; any bank but 0 is refused (-201) before any I/O.
int WriteKeyAssignments(device::HidChannel& channel, const KeyboardTables& tables, int bank,
                        std::span<const config::KeyListEntry> keys, int macroCount, MacroBindings bindings);

struct KeyWriteResult {
    MacroWriteResult macros;
    int keys = device::result::kNoAnswer;
};
// The device write of a key list: the macros its keys use, then the key table. When the
// macros did not reach the device, macro-bound keys are written with their defaults this time
// (the key list keeps its bindings).
KeyWriteResult WriteKeysWithMacros(device::HidChannel& channel, const KeyboardTables& tables,
                                   const std::filesystem::path& dataFolder,
                                   std::span<const config::KeyListEntry> keys, int bank = 0);

inline constexpr int kKeyColorStride = 512;

// The per-LED colour table read back (index 0), as one colour per key index.
int ReadCustomColors(device::HidChannel& channel, const KeyboardTables& tables, std::uint8_t brightnessLevel,
                     std::vector<config::KeyColor>& colors);
// The per-LED table of per-key colours at index 0; pauses 200 ms after a failure.
int WriteCustomColors(device::HidChannel& channel, const KeyboardTables& tables,
                      std::span<const config::KeyColor> colors);
// The same table at the index of a custom group (a key painted by hand), without the pause.
int WriteGroupColors(device::HidChannel& channel, const KeyboardTables& tables,
                     std::span<const config::KeyColor> colors, int group);

}  // namespace norvane::devices::keyboard
