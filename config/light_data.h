#pragma once

#include <json/value.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Lighting records held in profiles and device objects, and the light files a device
// reads: the light configuration file, ".light" effect files and the light mode names.
namespace norvane::config {

// Light classes: index into the per-class arrays of the light files.
inline constexpr int kLightClassKeyboard = 0;
inline constexpr int kLightClassMouse = 1;
inline constexpr int kLightClassMousePad = 2;
inline constexpr int kLightClassHeadset = 3;

struct LightInfo {
    std::uint8_t selectedMode = 0;  // "SelectItem"
    std::uint8_t brightness = 0;    // "Light"
    std::uint8_t speed = 0;         // "Speed"
    std::uint8_t direction = 0;     // "Fx"
    std::uint8_t multiColor = 0;    // "MultiColor" (0 or 1)
    std::uint8_t red = 0;           // "Red"
    std::uint8_t green = 0;         // "Green"
    std::uint8_t blue = 0;          // "Blue"
    std::array<std::uint8_t, 3> reserved1{};
    std::uint8_t secondaryMode = 0;  // "ZZCCLedMode"
    std::uint8_t customGroup = 0;    // "CustomGroup"
    std::uint8_t previousMode = 0;   // "OldLedmode"
    std::array<std::uint8_t, 2> reserved2{};

    friend bool operator==(const LightInfo&, const LightInfo&) = default;
};
static_assert(sizeof(LightInfo) == 16);

struct AudioLightInfo {
    std::uint8_t mode = 0;  // "AudioMode"
    std::uint8_t backgroundRed = 0;
    std::uint8_t backgroundGreen = 0;
    std::uint8_t backgroundBlue = 0;
    std::uint8_t foregroundRed = 0;
    std::uint8_t foregroundGreen = 0;
    std::uint8_t foregroundBlue = 0;
    std::uint8_t sevenColor = 0;  // "7ColorFlags"
    std::uint8_t colorType = 0;   // "ColorTypeFlags": 1 foreground, 0 background

    friend bool operator==(const AudioLightInfo&, const AudioLightInfo&) = default;
};
static_assert(sizeof(AudioLightInfo) == 9);

// Per-LED effect of the custom lighting ("LightList" element).
struct LightListEntry {
    std::uint8_t effectCode = 0;  // "LEDREGMode"
    std::uint8_t brightness = 0;  // "LEDBrightness"
    std::uint8_t speed = 0;       // "LEDSpeed"
    std::uint8_t direction = 0;   // "LEDDirection" (0 or 1)
    std::uint8_t multiColor = 0;  // "LEDMultiColor" (0 or 1)
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 2> reserved{};
    std::uint8_t present = 0;  // 1 when the element was an object

    friend bool operator==(const LightListEntry&, const LightListEntry&) = default;
};

// One step of a ".light" custom effect.
struct LightEffectStep {
    std::uint8_t effectCode = 0;
    std::uint8_t brightness = 0;
    std::uint8_t speed = 0;
    std::uint8_t direction = 0;
    std::uint8_t multiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::array<std::uint8_t, 8> reserved{};
    std::int32_t duration = 0;     // "Time", milliseconds
    std::int32_t repetitions = 0;  // "Cyle"

    friend bool operator==(const LightEffectStep&, const LightEffectStep&) = default;
};

struct KeyColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    friend bool operator==(const KeyColor&, const KeyColor&) = default;
};

// Conversions between the records and their JSON objects.
LightInfo ReadLightInfo(const Json::Value& object);
Json::Value LightInfoToJson(const LightInfo& info);
AudioLightInfo ReadAudioLightInfo(const Json::Value& object);
Json::Value AudioLightInfoToJson(const AudioLightInfo& info);
LightListEntry ReadLightListEntry(const Json::Value& element);
LightEffectStep ReadLightEffectStep(const Json::Value& element);
KeyColor ReadKeyColor(const Json::Value& object);
Json::Value KeyColorToJson(const KeyColor& color);

// The steps of a ".light" file ("LEDEffectList"); empty when missing or unreadable.
std::vector<LightEffectStep> ReadLightEffectFile(const std::filesystem::path& path);

// A ".light" file named by a light configuration entry's "Guid", inside the device's data
// folder; empty when the identifier cannot be a file name or the folder is not absolute.
std::filesystem::path LightEffectPath(const std::filesystem::path& dataFolder, std::string_view guid);

// One built-in light mode of the light mode name file.
struct LightModeName {
    std::string name;  // language text id
    bool visible = false;
    std::int32_t value = 0;  // the code the device is sent
};

struct LightNames {
    std::vector<LightModeName> modes;
    std::vector<std::string> zones;
};

// "DefaultLightName" and "AreaLightName" of the light class from "default_light.json".
LightNames ReadLightModeNames(const std::filesystem::path& path, int lightClass);

// One custom light of the light configuration file ("velto_light.config").
struct CustomLightName {
    std::string name;
    std::string guid;
};
// "LightInfo"[lightClass] of a light configuration document.
std::vector<CustomLightName> CustomLightNames(const Json::Value& lightConfig, int lightClass);

}  // namespace norvane::config
