#pragma once

#include "devices/audio/audio_library.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Opening the library for the headset: which playback and recording devices it uses and
// what each supports.
namespace norvane::devices::audio {

inline constexpr std::string_view kConfLibInitFailedMessage = "ConfLibInit called failed!";
inline constexpr std::string_view kUpdateApoFailedMessage = "UpdateAPOAvailable failed!";

// Playback devices are taken by type in this order of preference, among those with state 1.
inline constexpr std::array<std::uint32_t, 4> kPlaybackTypes = {1, 12, 7, 4};
inline constexpr std::uint32_t kPlaybackActiveState = 1;
inline constexpr std::uint32_t kRecordingType = 2;
// Field 0 of the recording device's features: the voice changer exists.
inline constexpr std::uint32_t kVoiceChangerFeature = 0x20000;
// "GetSupportFeature" answers at least this many comma-separated fields.
inline constexpr std::size_t kSupportFeatureFields = 7;

// Fields 0, 4 and 6 of a device's "GetSupportFeature" answer.
struct DeviceFeatures {
    std::uint32_t field0 = 0;
    std::uint32_t field4 = 0;
    std::uint32_t field6 = 0;

    friend bool operator==(const DeviceFeatures&, const DeviceFeatures&) = default;
};

// Nothing when the text has fewer than 7 fields or field 0, 4 or 6 is not a 32-bit decimal
// integer; the caller then shows kUpdateApoFailedMessage.
std::optional<DeviceFeatures> ParseSupportFeature(std::string_view text);

std::optional<AudioDeviceRecord> ChoosePlayback(std::span<const AudioDeviceRecord> list);
std::optional<AudioDeviceRecord> ChooseRecording(std::span<const AudioDeviceRecord> list);

enum class AudioOpenStatus {
    Ready,             // a playback device was chosen; see HasRecording
    InitFailed,        // ConfLibInit failed: kConfLibInitFailedMessage
    NoPlaybackDevice,  // list 0 is empty or holds no device the rules take: no property is used
};

struct AudioDevices {
    AudioOpenStatus status = AudioOpenStatus::NoPlaybackDevice;
    AudioDeviceRecord playback;
    std::optional<AudioDeviceRecord> recording;
    std::optional<DeviceFeatures> playbackFeatures;
    std::optional<DeviceFeatures> recordingFeatures;
    // Texts for the page, in order ("ConfLibInit called failed!", "UpdateAPOAvailable failed!").
    std::vector<std::string_view> messages;

    bool Ready() const { return status == AudioOpenStatus::Ready; }
    // Without a recording device the microphone, monitoring and voice operations are skipped.
    bool HasRecording() const { return Ready() && recording.has_value(); }
    bool VoiceChangerExists() const {
        return HasRecording() && recordingFeatures && (recordingFeatures->field0 & kVoiceChangerFeature) != 0;
    }
};

// The whole list of one kind; a failing entry is left out.
std::vector<AudioDeviceRecord> ReadDeviceList(IAudioConfigLibrary& library, int list);

// ConfLibInit, CreateDeviceList, the device choice and each chosen device's features.
AudioDevices OpenAudioDevices(IAudioConfigLibrary& library);

}  // namespace norvane::devices::audio
