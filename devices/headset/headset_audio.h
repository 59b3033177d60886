#pragma once

#include "devices/audio/audio_library.h"
#include "devices/audio/device_choice.h"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

// The headset object's use of the audio configuration library: the library made for the
// headset, the devices chosen at start-up, and property reads and writes on the device each
// property belongs to, with its own parameter and value kind. Without a library, without a
// playback device, or without a recording device for a recording property, nothing is called
// and the call fails.
namespace norvane::devices::headset {

enum class AudioStart { Ready, NoLibrary, InitFailed, NoPlayback };

class HeadsetAudio {
public:
    using MessageSink = std::function<void(std::string_view)>;

    // Makes the library for the headset, initialises it, chooses the devices and reads their
    // features; the messages of the start go to show.
    AudioStart Start(const audio::AudioDeviceIdentity& identity, const MessageSink& show);
    // Reads every start-up property; one that cannot be read is written with 0 with the
    // same parameter.
    void WriteStartDefaults();

    bool Ready() const { return library_ != nullptr && devices_.Ready(); }
    bool HasRecording() const { return Ready() && devices_.HasRecording(); }
    bool VoiceChangerExists() const { return Ready() && devices_.VoiceChangerExists(); }
    // What the machine can do; nothing without a started library, and no microphone,
    // monitoring or voice changer without a recording device.
    audio::AudioCapabilities Capabilities() const;

    // The property's value; nothing when it cannot be read (or is not a property the headset
    // uses).
    std::optional<double> Read(std::string_view property);
    // An integer, or a float for the scalar volumes; false when the write failed or was not made.
    bool Write(std::string_view property, double value);

private:
    const audio::AudioDeviceRecord* DeviceFor(std::string_view property) const;

    std::unique_ptr<audio::IAudioConfigLibrary> library_;
    audio::AudioDevices devices_;
};

}  // namespace norvane::devices::headset
