#include "devices/common/name_lists.h"

#include "config/json_file_store.h"
#include "config/light_data.h"
#include "config/macro_library.h"

namespace norvane::devices {

DeviceNameLists LoadLightNames(const std::filesystem::path& dataFolder, const std::filesystem::path& defaultFolder,
                               int lightClass) {
    DeviceNameLists lists;
    config::MacroLibrary library(dataFolder);
    library.Load();
    lists.macroNames = library.Names();

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
