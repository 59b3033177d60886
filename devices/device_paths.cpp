#include "devices/device_paths.h"

#include "platform/paths.h"

#include <string>

namespace norvane::devices {
namespace {

// folder / stem + extension, when stem names a file of its own.
std::filesystem::path FileIn(const std::filesystem::path& folder, std::string_view stem,
                             std::string_view extension) {
    if (folder.empty() || stem.empty()) {
        return {};
    }
    std::string name(stem);
    name += extension;
    return platform::IsSafeFileName(name) ? folder / name : std::filesystem::path{};
}

}  // namespace

std::filesystem::path DeviceDataFolder(std::string_view typeName) {
    return platform::UserDataFolder(typeName);
}

std::filesystem::path DefaultDataFolder() {
    return platform::ProgramSubfolder("DefaultData");
}

std::filesystem::path DefaultProfilePath(std::string_view typeName) {
    if (!platform::IsSafeFileName(typeName)) {
        return {};
    }
    return FileIn(DefaultDataFolder(), typeName, ".Json");
}

std::filesystem::path CurrentProfilePath(std::string_view typeName, std::string_view profileName) {
    if (profileName.empty() || !platform::IsSafeFileName(profileName)) {
        return {};
    }
    return FileIn(DeviceDataFolder(typeName), profileName, ".Json");
}

std::filesystem::path LightConfigPath(std::string_view typeName, std::string_view lightConfigName) {
    if (lightConfigName.empty() || !platform::IsSafeFileName(lightConfigName)) {
        return {};
    }
    return FileIn(DeviceDataFolder(typeName), lightConfigName, ".config");
}

}  // namespace norvane::devices
