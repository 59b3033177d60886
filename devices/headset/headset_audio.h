#pragma once

#include "devices/audio/audio_library.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

// The headset's side of the audio configuration library: start-up (library, device lists,
// device choice, features, defaults) and property reads and writes on the chosen devices.
// Every call that cannot reach the library (none made, no playback device, no recording
// device for a recording property) fails quietly without calling it.
namespace norvane::devices::headset {

inline constexpr std::string_view kInitFailedText = "ConfLibInit called failed!";
inline constexpr std::string_view kFeaturesFailedText = "UpdateAPOAvailable failed!";
// Bit of the recording device's first feature word: the voice changer exists.
inline constexpr std::int64_t kVoiceChangerFeature = 0x20000;

enum class AudioSide { Playback, Recording };

// Fields 0, 4 and 6 of a device's "GetSupportFeature" answer.
struct AudioFeatures {
    std::int64_t word0 = 0;
    std::int64_t word4 = 0;
    std::int64_t word6 = 0;
};

enum class AudioStart { Ready, NoLibrary, InitFailed, NoPlayback };

// "GetSupportFeature" text: comma-separated integers; nothing with fewer than seven fields
// or a field 0, 4 or 6 that is not a number.
std::optional<AudioFeatures> ParseSupportFeature(std::string_view text);

// The playback device: the first of state 1 and type 1, else 12, else 7, else 4. The
// recording device: the first of type 2.
std::optional<audio::AudioDeviceRecord> ChoosePlayback(std::span<const audio::AudioDeviceRecord> list);
std::optional<audio::AudioDeviceRecord> ChooseRecording(std::span<const audio::AudioDeviceRecord> list);

class HeadsetAudio {
public:
    using MessageSink = std::function<void(std::string_view)>;
    // Channel words of the parameter buffer.
    using Parameter = std::span<const std::int32_t>;
    static constexpr std::array<std::int32_t, 1> kAll{audio::kAllChannels};
    static constexpr std::array<std::int32_t, 1> kFirst{audio::kFirstChannel};
    static constexpr std::array<std::int32_t, 3> kSurround{4, -1, 0};

    // Makes the library for the headset, initialises it, lists and chooses the devices and
    // reads their features; messages go to show. Once per object.
    AudioStart Start(const audio::AudioDeviceIdentity& identity, const MessageSink& show);
    // Reads every start-up property; one that cannot be read is written with 0 with the
    // same parameter.
    void WriteStartDefaults();

    bool Ready() const { return playback_.has_value(); }
    bool HasRecording() const { return Ready() && recording_.has_value(); }
    const std::optional<AudioFeatures>& RecordingFeatures() const { return recordingFeatures_; }
    const std::optional<AudioFeatures>& PlaybackFeatures() const { return playbackFeatures_; }
    // What the machine can do; nothing at all without a started library.
    audio::AudioCapabilities Capabilities() const;

    // The value read as a number; nothing when the read failed or the text is not a number.
    std::optional<double> Read(AudioSide side, std::string_view property, Parameter parameter = {});
    bool WriteInt(AudioSide side, std::string_view property, std::int32_t value, Parameter parameter = {});
    bool WriteFloat(AudioSide side, std::string_view property, float value, Parameter parameter = {});

private:
    const audio::AudioDeviceRecord* Device(AudioSide side) const;
    bool Write(AudioSide side, std::string_view property, std::span<const std::uint8_t, 4> bytes,
               Parameter parameter);
    std::optional<AudioFeatures> ReadFeatures(const audio::AudioDeviceRecord& device, const MessageSink& show);

    std::unique_ptr<audio::IAudioConfigLibrary> library_;
    std::optional<audio::AudioDeviceRecord> playback_;
    std::optional<audio::AudioDeviceRecord> recording_;
    std::optional<AudioFeatures> playbackFeatures_;
    std::optional<AudioFeatures> recordingFeatures_;
};

}  // namespace norvane::devices::headset
