#include "devices/audio/audio_properties.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace norvane::devices::audio {
namespace {

constexpr std::int32_t kSurroundWords[] = {4, kAllChannels, 0};

void PutWord(std::span<std::uint8_t> buffer, std::size_t at, std::int32_t word) {
    std::memcpy(buffer.data() + at, &word, sizeof word);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

const PropertyInfo* FindProperty(std::string_view name) {
    const auto* found = std::ranges::find(kProperties, name, &PropertyInfo::name);
    return found == kProperties.end() ? nullptr : found;
}

PropertyParameter PropertyParameter::For(ParameterKind kind) {
    switch (kind) {
        case ParameterKind::None:
            return {};
        case ParameterKind::AllChannels:
            return Channel(kAllChannels);
        case ParameterKind::FirstChannel:
            return Channel(kFirstChannel);
        case ParameterKind::Surround: {
            PropertyParameter parameter;
            for (std::size_t i = 0; i < std::size(kSurroundWords); ++i) {
                PutWord(parameter.buffer_, i * sizeof(std::int32_t), kSurroundWords[i]);
            }
            parameter.size_ = sizeof kSurroundWords;
            return parameter;
        }
    }
    return {};
}

PropertyParameter PropertyParameter::Channel(std::int32_t channel) {
    PropertyParameter parameter;
    PutWord(parameter.buffer_, 0, channel);
    parameter.size_ = sizeof channel;
    return parameter;
}

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string_view BufferText(std::span<const std::uint8_t> buffer) {
    const auto* begin = reinterpret_cast<const char*>(buffer.data());
    const auto* nul = std::find(begin, begin + buffer.size(), '\0');
    return {begin, static_cast<std::size_t>(nul - begin)};
}

std::optional<std::string> ReadText(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                    std::string_view name, const PropertyParameter& parameter) {
    PropertyBuffer buffer{};
    if (library.PropertyControl(record, name, buffer, parameter.Bytes(), false) != 0) {
        return std::nullopt;
    }
    return std::string(BufferText(buffer));
}

std::optional<double> ReadNumber(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                 std::string_view name, const PropertyParameter& parameter) {
    const auto text = ReadText(library, record, name, parameter);
    return text ? ParseNumber(*text) : std::nullopt;
}

std::optional<int> ReadInt(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                           std::string_view name, const PropertyParameter& parameter) {
    const auto number = ReadNumber(library, record, name, parameter);
    if (!number) {
        return std::nullopt;
    }
    const double whole = std::trunc(*number);
    if (whole < std::numeric_limits<std::int32_t>::min() ||
        whole > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(whole);
}

int WriteInt(IAudioConfigLibrary& library, const AudioDeviceRecord& record, std::string_view name,
             std::int32_t value, const PropertyParameter& parameter) {
    PropertyBuffer buffer{};
    std::memcpy(buffer.data(), &value, sizeof value);
    return library.PropertyControl(record, name, buffer, parameter.Bytes(), true);
}

int WriteFloat(IAudioConfigLibrary& library, const AudioDeviceRecord& record, std::string_view name,
               float value, const PropertyParameter& parameter) {
    static_assert(sizeof(float) == 4);
    PropertyBuffer buffer{};
    std::memcpy(buffer.data(), &value, sizeof value);
    return library.PropertyControl(record, name, buffer, parameter.Bytes(), true);
}

std::optional<double> ReadProperty(IAudioConfigLibrary& library, const AudioDeviceRecord& record,
                                   const PropertyInfo& info) {
    return ReadNumber(library, record, info.name, PropertyParameter::For(info.parameter));
}

int WriteProperty(IAudioConfigLibrary& library, const AudioDeviceRecord& record, const PropertyInfo& info,
                  double value) {
    const auto parameter = PropertyParameter::For(info.parameter);
    if (info.kind == ValueKind::Scalar) {
        return WriteFloat(library, record, info.name, static_cast<float>(value), parameter);
    }
    const double whole = std::isnan(value) ? 0.0 : std::trunc(value);
    const double low = std::numeric_limits<std::int32_t>::min();
    const double high = std::numeric_limits<std::int32_t>::max();
    return WriteInt(library, record, info.name, static_cast<std::int32_t>(std::clamp(whole, low, high)),
                    parameter);
}

}  // namespace norvane::devices::audio
