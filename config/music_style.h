#pragma once

#include <json/value.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// The music-light styles of "AudioFile.json": four named styles with a red, green and blue
// level each, and the current style. The record lives under "Device"."AudioLightInfo".
namespace norvane::config {

inline constexpr int kMusicStyleCount = 4;
inline constexpr int kMaxMusicLevel = 9;

struct MusicStyleInfo {
    std::uint8_t style = 0;                                              // "nAudioStyle", 0–3
    std::array<std::string, kMusicStyleCount> names;                     // "nStyleName1" … "nStyleName4"
    std::array<std::array<std::uint8_t, 3>, kMusicStyleCount> levels{};  // "nStyleR0" … "nStyleB3", 0–9

    friend bool operator==(const MusicStyleInfo&, const MusicStyleInfo&) = default;
};

// The record of a "Device" object; all zero with empty names when it has none. Numbers
// keep their low 8 bits and are then limited to the style and level ranges.
MusicStyleInfo ReadMusicStyle(const Json::Value& device);
// Writes all seventeen keys into device."AudioLightInfo"; other members stay.
void WriteMusicStyle(Json::Value& device, const MusicStyleInfo& info);

// The "Device" object of the user's file; when that file is missing, empty, unreadable or
// too large, the factory file is copied to it first (an unreadable one kept aside).
Json::Value LoadAudioFile(const std::filesystem::path& userFile, const std::filesystem::path& factoryFile);
// Puts the "Device" object into the user's file, keeping the file's other members.
bool SaveAudioFile(const std::filesystem::path& userFile, const Json::Value& device);
// Overwrites the user's file with the factory file; returns the new "Device" object.
Json::Value ResetAudioFile(const std::filesystem::path& userFile, const std::filesystem::path& factoryFile);

}  // namespace norvane::config
