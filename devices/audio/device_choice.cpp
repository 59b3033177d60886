#include "devices/audio/device_choice.h"

#include "devices/audio/audio_properties.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace norvane::devices::audio {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A decimal integer that fits 32 bits, signed or not; negative values keep their bit pattern.
std::optional<std::uint32_t> ParseWord(std::string_view text) {
    text = Trimmed(text);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<DeviceFeatures> ReadFeatures(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                           std::vector<std::string_view>& messages) {
    const auto text = ReadText(library, record, property::kGetSupportFeature);
    auto features = ParseSupportFeature(text.value_or(std::string()));
    if (!features) {
        messages.push_back(kUpdateApoFailedMessage);
    }
    return features;
}

}  // namespace

std::optional<DeviceFeatures> ParseSupportFeature(std::string_view text) {
    const auto fields = SplitFields(Trimmed(text));
    if (fields.size() < kSupportFeatureFields) {
        return std::nullopt;
    }
    const auto field0 = ParseWord(fields[0]);
    const auto field4 = ParseWord(fields[4]);
    const auto field6 = ParseWord(fields[6]);
    if (!field0 || !field4 || !field6) {
        return std::nullopt;
    }
    return DeviceFeatures{*field0, *field4, *field6};
}

std::optional<AudioDeviceRecord> ChoosePlayback(std::span<const AudioDeviceRecord> list) {
    for (const std::uint32_t type : kPlaybackTypes) {
        const auto found = std::ranges::find_if(list, [type](const AudioDeviceRecord& record) {
            return record.state == kPlaybackActiveState && record.type == type;
        });
        if (found != list.end()) {
            return *found;
        }
    }
    return std::nullopt;
}

std::optional<AudioDeviceRecord> ChooseRecording(std::span<const AudioDeviceRecord> list) {
    const auto found = std::ranges::find(list, kRecordingType, &AudioDeviceRecord::type);
    return found == list.end() ? std::nullopt : std::optional(*found);
}

std::vector<AudioDeviceRecord> ReadDeviceList(IAudioConfigLibrary& library, int list) {
    std::vector<AudioDeviceRecord> records;
    int count = 0;
    if (library.GetDeviceCount(list, count) != 0 || count <= 0) {
        return records;
    }
    // A library answering an absurd count is not trusted for more than this many calls.
    constexpr int kMostDevices = 256;
    count = std::min(count, kMostDevices);
    records.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        AudioDeviceRecord record;
        if (library.GetDeviceById(list, index, record) == 0) {
            records.push_back(record);
        }
    }
    return records;
}

AudioDevices OpenAudioDevices(IAudioConfigLibrary& library) {
    AudioDevices devices;
    if (library.ConfLibInit() != 0) {
        devices.status = AudioOpenStatus::InitFailed;
        devices.messages.push_back(kConfLibInitFailedMessage);
        return devices;
    }
    if (library.CreateDeviceList() != 0) {
        return devices;
    }
    const auto playback = ChoosePlayback(ReadDeviceList(library, kPlaybackList));
    if (!playback) {
        return devices;
    }
    devices.status = AudioOpenStatus::Ready;
    devices.playback = *playback;
    devices.recording = ChooseRecording(ReadDeviceList(library, kRecordingList));
    devices.playbackFeatures = ReadFeatures(library, devices.playback, devices.messages);
    if (devices.recording) {
        devices.recordingFeatures = ReadFeatures(library, *devices.recording, devices.messages);
    }
    return devices;
}

}  // namespace norvane::devices::audio
