#pragma once

#include "devices/audio/audio_library.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Telling the headset's output among the sound server's objects by their properties.
namespace norvane::devices::audio {

using ObjectProperties = std::map<std::string, std::string, std::less<>>;

// A USB vendor or product id as the sound server writes it ("0x0d8c", also without "0x").
std::optional<std::uint16_t> ParseUsbId(std::string_view text);

// Whether an object's "device.vendor.id" and "device.product.id" name the headset.
bool NamesHeadset(const ObjectProperties& properties, const AudioDeviceIdentity& identity);

// Whether a node is a playback sink.
bool IsAudioSink(const ObjectProperties& properties);

// The headset's sink among the server's sinks: one that names the headset itself, or whose
// "device.id" is a device that does. The sink named skip (the equaliser's own) never counts.
using ObjectMap = std::map<std::uint32_t, ObjectProperties>;
std::optional<std::uint32_t> FindHeadsetSink(const ObjectMap& sinks, const ObjectMap& devices,
                                             const AudioDeviceIdentity& identity, std::string_view skip);

}  // namespace norvane::devices::audio
