#pragma once

#include "devices/audio/audio_library.h"

#include <optional>
#include <string_view>

// Which sound card belongs to a headset, from sysfs.
namespace norvane::devices::audio {

// The card of the USB device that also carries the headset's command interface (its hidraw
// node); else the first card whose USB device has the headset's vendor and product id.
// sysfsRoot is "/sys" but for tests.
std::optional<int> FindHeadsetCard(const AudioDeviceIdentity& identity, std::string_view sysfsRoot = "/sys");

}  // namespace norvane::devices::audio
