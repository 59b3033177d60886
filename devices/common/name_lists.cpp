#include "devices/common/name_lists.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "config/light_data.h"
#include "config/macro_library.h"

namespace norvane::devices {
namespace {

// "MacroName" of each "MacroInfo" entry of an index document.
std::vector<std::string> MacroNamesOf(const Json::Value& index) {
    std::vector<std::string> names;
    const Json::Value* entries = config::json::Member(index, "MacroInfo");
    if (entries == nullptr || !entries->isArray()) {
        return names;
    }
    for (Json::ArrayIndex i = 0; i < entries->size(); ++i) {
        if (const Json::Value* entry = config::json::Element(*entries, i); entry != nullptr && entry->isObject()) {
            names.push_back(config::json::StringOf(*entry, "MacroName"));
        }
    }
    return names;
}

}  // namespace

DeviceNameLists LoadLightNames(const std::filesystem::path& dataFolder, const std::filesystem::path& defaultFolder,
                               int lightClass, std::string_view macroIndexFile) {
    DeviceNameLists lists;
    if (macroIndexFile == kMacroIndexFile) {
        config::MacroLibrary library(dataFolder);
        library.Load();
        lists.macroNames = library.Names();
    } else {
        lists.macroNames = MacroNamesOf(config::JsonFileStore::ReadJsonFile(dataFolder / macroIndexFile));
    }

    const config::LightNames names =
        config::ReadLightModeNames(defaultFolder / "default_light.json", lightClass);
    for (const config::LightModeName& mode : names.modes) {
        lists.modeNames.push_back(mode.name);
        lists.modeVisible.push_back(mode.visible);
        lists.modeCodes.push_back(mode.value);
    }
    lists.zoneNames = names.zones;

    const Json::Value lightConfig = config::JsonFileStore::ReadJsonFile(dataFolder / "velto_light.config");
    for (const config::CustomLightName& custom : config::CustomLightNames(lightConfig, lightClass)) {
        lists.customNames.push_back(custom.name);
    }
    return lists;
}

}  // namespace norvane::devices

namespace norvane::devices {

std::vector<config::LightModeName> LightModes(const DeviceNameLists& lists) {
    std::vector<config::LightModeName> modes;
    modes.reserve(lists.modeCodes.size());
    for (std::size_t i = 0; i < lists.modeCodes.size(); ++i) {
        modes.push_back({i < lists.modeNames.size() ? lists.modeNames[i] : std::string(),
                         i < lists.modeVisible.size() && lists.modeVisible[i], lists.modeCodes[i]});
    }
    return modes;
}

}  // namespace norvane::devices
