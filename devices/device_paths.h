#pragma once

#include <filesystem>
#include <string_view>

// The files of a device. Every path is built anew on each call, so a folder removed while
// the program runs is created again. Names that become path components are checked first:
// an unsafe or empty name yields an empty path and creates nothing.
namespace norvane::devices {

// The per-user data folder + type name, created when missing.
std::filesystem::path DeviceDataFolder(std::string_view typeName);
// The program's "DefaultData" folder.
std::filesystem::path DefaultDataFolder();
// DefaultData / type name + ".Json".
std::filesystem::path DefaultProfilePath(std::string_view typeName);
// Data folder / profile name + ".Json".
std::filesystem::path CurrentProfilePath(std::string_view typeName, std::string_view profileName);
// Data folder / light configuration name + ".config".
std::filesystem::path LightConfigPath(std::string_view typeName, std::string_view lightConfigName);

}  // namespace norvane::devices
