#pragma once

#include "config/light_data.h"
#include "config/profile_data.h"
#include "device/hid_channel.h"
#include "devices/keyboard/key_table.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/settings_record.h"

#include <array>
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

struct MacroWriteResult {
    // 0 written, or nothing to write; -1 not written (no image, or the device transaction
    // failed); > 0 the macros are that many events too large, nothing written.
    int code = 0;
    int wire = device::result::kSuccess;  // the device transaction's code (1 when none was needed)

    bool OnDevice() const { return code == 0; }
};
// The listed macros of the data folder's library, in list order (the device slots), as one
// macro memory image inside a bracket.
MacroWriteResult WriteMacros(device::HidChannel& channel, const std::filesystem::path& dataFolder,
                             std::span<const int> macroIndices);

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

inline constexpr std::size_t kStatusSize = 6;
using StatusBlock = std::array<std::uint8_t, kStatusSize>;
// Battery and link status with byte 3 = 1 through the receiver, 0 by cable; -101 unsent when
// the device behind the receiver is not linked.
int PollStatus(device::HidChannel& channel, StatusBlock& status);

// Number of macros in the data folder's "macro.config" (0 when unreadable).
int MacroCount(const std::filesystem::path& dataFolder);

}  // namespace norvane::devices::keyboard
