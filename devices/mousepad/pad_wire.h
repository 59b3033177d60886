#pragma once

#include "config/light_data.h"
#include "device/hid_channel.h"
#include "devices/common/status_poll.h"
#include "devices/common/results.h"
#include "devices/light/light_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The mousepad's command sequences. Each returns a command result code (device::result, or
// devices::result::kNoModeCode); the caller's record changes only when the whole sequence
// succeeded. A closed channel returns 0 (device::result::kNoAnswer) and sends nothing.
namespace norvane::devices::mousepad {

// Settings blocks are read at n x 25 (28 bytes) and written at block x 64 (the light record).
inline constexpr std::uint16_t kReadBlockStride = 25;
inline constexpr std::uint16_t kWriteBlockStride = 64;
inline constexpr std::size_t kReadBlockSize = 28;
// Selected modes from this one on are sent as mode 0.
inline constexpr int kSentModeLimit = 9;
inline constexpr std::uint8_t kMaxSpeed = 4;

constexpr std::uint16_t ReadBlockOffset(int block) {
    return static_cast<std::uint16_t>(block * kReadBlockStride);
}
constexpr std::uint16_t WriteBlockOffset(int block) {
    return static_cast<std::uint16_t>(block * kWriteBlockStride);
}

// The block sent for a record: a copy with byte 1 = the code of the selected mode (modes from
// kSentModeLimit on, and modes outside the list, take mode 0's code) and byte 3 = 4 - speed
// (speed clamped to 0-4). Nothing when the mode names hold no code.
std::optional<light::PeripheralLightRecord> EncodePadBlock(const light::PeripheralLightRecord& record,
                                                           int selectedMode,
                                                           std::span<const config::LightModeName> modes);

// The encoded record at block x 64 inside a configuration bracket. kNoModeCode, unsent, when
// the mode names hold no code; kWriteFailed, unsent, for a block outside the settings memory.
int WritePadSettings(device::HidChannel& channel, int block, const light::PeripheralLightRecord& record,
                     int selectedMode, std::span<const config::LightModeName> modes);

// The active block n (1 byte at 0) and its 28 bytes at n x 25. On success the record holds
// the first 21 bytes with byte 0 = n, byte 1 the mode index of the code read (the record's
// own mode when no name holds it) and byte 3 = 4 - the byte read (clamped to 0-4).
int ReadPadSettings(device::HidChannel& channel, std::span<const config::LightModeName> modes,
                    light::PeripheralLightRecord& record);

// The 6-byte status block (level, power state, receiver flag at byte 3, phone type at byte 5);
// the same sequence as every other device's.
using devices::PollStatus;
using devices::StatusBlock;

}  // namespace norvane::devices::mousepad
