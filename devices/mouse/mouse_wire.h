#pragma once

#include "config/profile_data.h"
#include "device/command_packet.h"
#include "device/hid_channel.h"
#include "devices/common/macro_write.h"
#include "devices/mouse/settings_block.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// The mouse's command sequences. Each returns a command result code (device::result,
// mouse::result) and changes nothing on the caller's side unless the whole sequence
// succeeded. A closed channel or, through the receiver, a device that does not answer as
// linked ends a sequence with 0 before or between its steps (macro writes: code -1); a
// configuration bracket, once opened, is closed on every path.
namespace norvane::devices::mouse {

// What the first full read gives: the device info, the factory key table and the button map.
struct MouseKeys {
    device::DeviceInfoBlock info;
    std::vector<std::uint8_t> factoryTable;  // key count x 3 bytes
    std::vector<int> buttonMap;              // see BuildButtonMap

    int KeyCount() const { return info.KeyCount(); }
    // A read of 1 ... kMaxMouseKeys keys whose whole table is held.
    bool Complete() const;
};

// BeginConfig, device info, data size := key count x 3, factory key table, EndConfig; on
// success keys is replaced. A key count of 0 or above kMaxMouseKeys is refused (kBadKeyCount).
int ReadMouseKeys(device::HidChannel& channel, MouseKeys& keys);

// One settings block at block x 128 inside a bracket.
int WriteMouseSettings(device::HidChannel& channel, int block, const MouseSettingsBlock& settings);
// The block of the inputs at block x 128; kNoModeCode unsent when the light mode has no code.
int WriteMouseSettings(device::HidChannel& channel, int block, const MouseSettingsInputs& inputs);

struct MouseSettingsReadBack {
    std::uint8_t activeBlock = 0;
    MouseReadBack block{};  // as read, byte 0 included
};
// The active block index (1 byte at 0) and that block (71 bytes at index x 128).
int ReadMouseSettings(device::HidChannel& channel, MouseSettingsReadBack& readBack);

// Macro indices the logical buttons with a physical key use (buttons below 126, type 0x70
// or 0x71, index below macroCount), in order of first use; device slot s holds the s-th.
std::vector<int> ListUsedMacros(std::span<const config::KeyListEntry> keyList, std::span<const int> buttonMap,
                                int macroCount);

// A copy of the factory table with each mapped button's assignment at 3 x its physical key:
// macro bindings renumbered to their slots (Slots) or replaced by the button's default
// (Defaults, or a binding past the library). The key list is not changed.
std::vector<std::uint8_t> AssembleMouseKeyTable(std::span<const std::uint8_t> factoryTable,
                                                std::span<const int> buttonMap,
                                                std::span<const config::KeyListEntry> keyList, int macroCount,
                                                MacroBindings bindings);

// ReadDeviceInfo, then the assembled key table for bank 0 inside a bracket. Refused
// (kNoKeyTable, unsent) unless keys holds a complete factory table of the key count the device
// reports now; any bank but 0 is refused (-201) before any I/O.
int WriteMouseKeyTable(device::HidChannel& channel, const MouseKeys& keys, int bank,
                       std::span<const config::KeyListEntry> keyList, int macroCount,
                       MacroBindings bindings = MacroBindings::Slots);

// The listed macros of the data folder's library as the mouse's macro memory.
MacroWriteResult WriteMouseMacros(device::HidChannel& channel, const std::filesystem::path& dataFolder,
                                  std::span<const int> macroIndices);

// The four recoil patterns "ShootData_0.Shoot" ... "ShootData_3.Shoot" of the data folder as
// one image (a missing or empty file is an entry without events) inside a bracket. A pattern
// that is not valid, or an image that does not fit its 16-bit fields, is refused
// (kBadShootPattern, unsent).
int WriteShootPatterns(device::HidChannel& channel, const std::filesystem::path& dataFolder);

}  // namespace norvane::devices::mouse
