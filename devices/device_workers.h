#pragma once

#include "device/hid_interface.h"
#include "devices/device_thread.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// The two kinds of device worker, on the device thread pattern.
namespace norvane::devices {

// A light pass: renders what is due and says when the next pass is due; nothing means
// "not until woken" (an effect that stands still until an input changes).
using LightPass = std::function<std::optional<StopSignal::Clock::time_point>()>;

// Runs pass on thread until stopped, sleeping between passes.
bool StartLightThread(DeviceThread& thread, LightPass pass);

// Reads event codes from events without time limit and hands each to onCode on the reader
// thread. A stop closes the interface, which releases a blocked read. While the interface is
// closed (device removed) the reader sleeps until woken or stopped; after a failed read on
// an open interface it waits kReadRetry before reading again.
inline constexpr std::chrono::milliseconds kReadRetry{100};
bool StartEventReader(DeviceThread& thread, device::HidInterface& events,
                      std::function<void(std::uint16_t)> onCode);

}  // namespace norvane::devices
