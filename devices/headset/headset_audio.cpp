#include "devices/headset/headset_audio.h"

#include "devices/audio/audio_properties.h"
#include "platform/diag.h"

#include <string>

namespace norvane::devices::headset {
namespace {

void Trace(std::string_view what, std::string_view property) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("headset audio: " + std::string(what) + " " + std::string(property));
    }
}

}  // namespace

AudioStart HeadsetAudio::Start(const audio::AudioDeviceIdentity& identity, const MessageSink& show) {
    library_ = audio::MakeAudioLibrary(identity);
    if (!library_) {
        return AudioStart::NoLibrary;
    }
    devices_ = audio::OpenAudioDevices(*library_);
    for (std::string_view message : devices_.messages) {
        show(message);
    }
    switch (devices_.status) {
        case audio::AudioOpenStatus::Ready:
            return AudioStart::Ready;
        case audio::AudioOpenStatus::InitFailed:
            library_.reset();
            return AudioStart::InitFailed;
        case audio::AudioOpenStatus::NoPlaybackDevice:
            break;
    }
    return AudioStart::NoPlayback;
}

void HeadsetAudio::WriteStartDefaults() {
    for (std::string_view name : audio::kStartupDefaults) {
        if (DeviceFor(name) != nullptr && !Read(name)) {
            Write(name, 0);
        }
    }
}

audio::AudioCapabilities HeadsetAudio::Capabilities() const {
    if (!Ready()) {
        return {};
    }
    audio::AudioCapabilities caps = library_->Capabilities();
    if (!devices_.HasRecording()) {
        caps.microphone = false;
        caps.monitoring = false;
        caps.voiceChanger = false;
    }
    return caps;
}

const audio::AudioDeviceRecord* HeadsetAudio::DeviceFor(std::string_view property) const {
    const audio::PropertyInfo* info = audio::FindProperty(property);
    if (!Ready() || info == nullptr) {
        return nullptr;
    }
    if (info->device == audio::PropertyDevice::Recording) {
        return devices_.recording ? &*devices_.recording : nullptr;
    }
    return &devices_.playback;
}

std::optional<double> HeadsetAudio::Read(std::string_view property) {
    const audio::AudioDeviceRecord* device = DeviceFor(property);
    if (device == nullptr) {
        return std::nullopt;
    }
    auto value = audio::ReadProperty(*library_, *device, *audio::FindProperty(property));
    if (!value) {
        Trace("read failed", property);
    }
    return value;
}

bool HeadsetAudio::Write(std::string_view property, double value) {
    const audio::AudioDeviceRecord* device = DeviceFor(property);
    if (device == nullptr) {
        return false;
    }
    if (audio::WriteProperty(*library_, *device, *audio::FindProperty(property), value) != 0) {
        Trace("write failed", property);
        return false;
    }
    return true;
}

}  // namespace norvane::devices::headset
