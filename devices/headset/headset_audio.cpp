#include "devices/headset/headset_audio.h"

#include "platform/diag.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace norvane::devices::headset {
namespace {

using audio::AudioDeviceRecord;

constexpr std::size_t kFeatureFields = 7;
constexpr std::uint32_t kActiveState = 1;
constexpr std::uint32_t kRecordingType = 2;
constexpr std::array<std::uint32_t, 4> kPlaybackTypes = {1, 12, 7, 4};
constexpr std::string_view kSupportFeature = "GetSupportFeature";

// The start-up properties in order, with their device and parameter.
struct StartProperty {
    std::string_view name;
    AudioSide side;
    std::span<const std::int32_t> parameter;
};

constexpr auto P = AudioSide::Playback;
constexpr auto R = AudioSide::Recording;
constexpr auto kStartProperties = std::to_array<StartProperty>({
    {"VirtualSurroundEffectControl", P, HeadsetAudio::kSurround},
    {"Enable_ENC_LFX", R, {}},
    {"VolumeControl", R, HeadsetAudio::kAll},
    {"Enable_EQ_GFX", P, {}},
    {"EQ_Slider1", P, {}},
    {"EQ_Slider2", P, {}},
    {"EQ_Slider3", P, {}},
    {"EQ_Slider4", P, {}},
    {"EQ_Slider5", P, {}},
    {"EQ_Slider6", P, {}},
    {"EQ_Slider7", P, {}},
    {"EQ_Slider8", P, {}},
    {"EQ_Slider9", P, {}},
    {"EQ_Slider10", P, {}},
    {"Enable_RFX_GFX", P, {}},
    {"RFX_ENVIRONMENT", P, {}},
    {"RFX_ROOMSIZE", P, {}},
    {"MuteControl", R, {}},
    {"VolumeScalarControl", R, HeadsetAudio::kAll},
    {"AAVolumeControl", R, HeadsetAudio::kFirst},
    {"AAMuteControl", R, {}},
    {"AAVolumeScalarControl", R, HeadsetAudio::kFirst},
    {"Enable_MAGICVOICE", R, {}},
    {"MagicVoice_Selection", R, {}},
});

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::uint8_t> ParameterBytes(std::span<const std::int32_t> words) {
    std::vector<std::uint8_t> bytes(words.size() * sizeof(std::int32_t));
    if (!words.empty()) {
        std::memcpy(bytes.data(), words.data(), bytes.size());
    }
    return bytes;
}

void Trace(std::string_view what, std::string_view property) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("headset audio: " + std::string(what) + " " + std::string(property));
    }
}

}  // namespace

std::optional<AudioFeatures> ParseSupportFeature(std::string_view text) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    if (fields.size() < kFeatureFields) {
        return std::nullopt;
    }
    const auto f0 = ParseNumber(fields[0]);
    const auto f4 = ParseNumber(fields[4]);
    const auto f6 = ParseNumber(fields[6]);
    if (!f0 || !f4 || !f6) {
        return std::nullopt;
    }
    return AudioFeatures{static_cast<std::int64_t>(*f0), static_cast<std::int64_t>(*f4),
                         static_cast<std::int64_t>(*f6)};
}

std::optional<AudioDeviceRecord> ChoosePlayback(std::span<const AudioDeviceRecord> list) {
    for (const std::uint32_t type : kPlaybackTypes) {
        const auto found = std::ranges::find_if(
            list, [type](const AudioDeviceRecord& r) { return r.state == kActiveState && r.type == type; });
        if (found != list.end()) {
            return *found;
        }
    }
    return std::nullopt;
}

std::optional<AudioDeviceRecord> ChooseRecording(std::span<const AudioDeviceRecord> list) {
    const auto found =
        std::ranges::find_if(list, [](const AudioDeviceRecord& r) { return r.type == kRecordingType; });
    return found == list.end() ? std::nullopt : std::optional(*found);
}

AudioStart HeadsetAudio::Start(const audio::AudioDeviceIdentity& identity, const MessageSink& show) {
    library_ = audio::MakeAudioLibrary(identity);
    if (!library_) {
        return AudioStart::NoLibrary;
    }
    if (library_->ConfLibInit() != 0) {
        show(kInitFailedText);
        library_.reset();
        return AudioStart::InitFailed;
    }
    library_->CreateDeviceList();
    std::array<std::vector<AudioDeviceRecord>, 2> lists;
    for (const int list : {audio::kPlaybackList, audio::kRecordingList}) {
        int count = 0;
        if (library_->GetDeviceCount(list, count) != 0) {
            count = 0;
        }
        for (int i = 0; i < count; ++i) {
            AudioDeviceRecord record;
            if (library_->GetDeviceById(list, i, record) == 0) {
                lists[static_cast<std::size_t>(list)].push_back(record);
            }
        }
    }
    if (lists[0].empty()) {
        return AudioStart::NoPlayback;
    }
    playback_ = ChoosePlayback(lists[0]);
    recording_ = ChooseRecording(lists[1]);
    if (!playback_) {
        return AudioStart::NoPlayback;
    }
    playbackFeatures_ = ReadFeatures(*playback_, show);
    if (recording_) {
        recordingFeatures_ = ReadFeatures(*recording_, show);
    }
    return AudioStart::Ready;
}

std::optional<AudioFeatures> HeadsetAudio::ReadFeatures(const AudioDeviceRecord& device, const MessageSink& show) {
    std::array<std::uint8_t, audio::kPropertyBufferSize> buffer{};
    std::optional<AudioFeatures> features;
    if (library_->PropertyControl(device, kSupportFeature, buffer, {}, false) == 0) {
        buffer.back() = 0;
        features = ParseSupportFeature(reinterpret_cast<const char*>(buffer.data()));
    }
    if (!features) {
        show(kFeaturesFailedText);
    }
    return features;
}

void HeadsetAudio::WriteStartDefaults() {
    for (const StartProperty& p : kStartProperties) {
        if (Device(p.side) != nullptr && !Read(p.side, p.name, p.parameter)) {
            WriteInt(p.side, p.name, 0, p.parameter);
        }
    }
}

audio::AudioCapabilities HeadsetAudio::Capabilities() const {
    if (!library_ || !Ready()) {
        return {};
    }
    audio::AudioCapabilities caps = library_->Capabilities();
    if (!recording_) {
        caps.microphone = false;
        caps.monitoring = false;
        caps.voiceChanger = false;
    }
    return caps;
}

const AudioDeviceRecord* HeadsetAudio::Device(AudioSide side) const {
    if (!library_ || !playback_) {
        return nullptr;
    }
    const auto& device = side == AudioSide::Playback ? playback_ : recording_;
    return device ? &*device : nullptr;
}

std::optional<double> HeadsetAudio::Read(AudioSide side, std::string_view property, Parameter parameter) {
    const AudioDeviceRecord* device = Device(side);
    if (device == nullptr) {
        return std::nullopt;
    }
    std::array<std::uint8_t, audio::kPropertyBufferSize> buffer{};
    const auto parameterBytes = ParameterBytes(parameter);
    if (library_->PropertyControl(*device, property, buffer, parameterBytes, false) != 0) {
        Trace("read failed", property);
        return std::nullopt;
    }
    buffer.back() = 0;
    const auto* text = reinterpret_cast<const char*>(buffer.data());
    return ParseNumber(std::string_view(text, std::strlen(text)));
}

bool HeadsetAudio::WriteInt(AudioSide side, std::string_view property, std::int32_t value, Parameter parameter) {
    return Write(side, property, std::bit_cast<std::array<std::uint8_t, 4>>(value), parameter);
}

bool HeadsetAudio::WriteFloat(AudioSide side, std::string_view property, float value, Parameter parameter) {
    return Write(side, property, std::bit_cast<std::array<std::uint8_t, 4>>(value), parameter);
}

bool HeadsetAudio::Write(AudioSide side, std::string_view property, std::span<const std::uint8_t, 4> bytes,
                         Parameter parameter) {
    const AudioDeviceRecord* device = Device(side);
    if (device == nullptr) {
        return false;
    }
    std::array<std::uint8_t, audio::kPropertyBufferSize> buffer{};
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    const auto parameterBytes = ParameterBytes(parameter);
    if (library_->PropertyControl(*device, property, buffer, parameterBytes, true) != 0) {
        Trace("write failed", property);
        return false;
    }
    return true;
}

}  // namespace norvane::devices::headset
