#pragma once

#include "device/hid_channel.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The battery and link status record of the wireless-capable peripherals.
namespace norvane::devices {

inline constexpr std::size_t kStatusSize = 6;
using StatusBlock = std::array<std::uint8_t, kStatusSize>;

// Battery level, power state, byte 3 = 1 through the receiver, 0 by cable; -101 unsent when
// the device behind the receiver is not linked. status is changed only on success.
int PollStatus(device::HidChannel& channel, StatusBlock& status);

}  // namespace norvane::devices
