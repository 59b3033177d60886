#pragma once

#include "config/light_data.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The name lists a device page shows: macros, built-in light modes, zones and custom lights.
namespace norvane::devices {

struct DeviceNameLists {
    std::vector<std::string> macroNames;   // "MacroName" of "macro.config"
    std::vector<std::string> modeNames;    // "LightName" of "DefaultLightName"[class]
    std::vector<bool> modeVisible;         // "visible"
    std::vector<std::int32_t> modeCodes;   // "value": the codes sent to the device
    std::vector<std::string> zoneNames;    // "LightName" of "AreaLightName"[class]
    std::vector<std::string> customNames;  // "LightName" of "LightInfo"[class] of "velto_light.config"
};

inline constexpr std::string_view kMacroIndexFile = "macro.config";

// Fresh lists from the device data folder (the macro index file, "velto_light.config") and
// the factory folder ("default_light.json"); a missing or unreadable file gives empty lists.
DeviceNameLists LoadLightNames(const std::filesystem::path& dataFolder, const std::filesystem::path& defaultFolder,
                               int lightClass, std::string_view macroIndexFile = kMacroIndexFile);

// The built-in light modes of the lists with their codes, in list order.
std::vector<config::LightModeName> LightModes(const DeviceNameLists& lists);

}  // namespace norvane::devices
