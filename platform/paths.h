#pragma once

#include <filesystem>
#include <string_view>

namespace norvane::platform {

// The per-user data folder: $NORVANE_DATA_HOME when set, else $XDG_DATA_HOME/NORVANE
// (default ~/.local/share/NORVANE). Created whenever it is asked for; an empty path
// when it cannot be created.
std::filesystem::path UserDataFolder();

// A folder directly below the user data folder (for example a device type name),
// created on demand. Empty when the name is not a safe file name or creation fails.
std::filesystem::path UserDataFolder(std::string_view subfolder);

// The folder that holds "skin", "DefaultData", "Font", "SDK" and "Update": the
// executable's folder when any of them lies beside it, else the installed data folder
// found from the executable (<prefix>/bin/../share/norvane, so an installed tree may be
// moved), else the configured install data folder.
std::filesystem::path ProgramFolder();

// The rule behind ProgramFolder for a given executable folder.
std::filesystem::path ProgramFolderBeside(const std::filesystem::path& executableFolder);

// The program folder of an installed copy as configured: <prefix>/share/norvane.
std::filesystem::path InstalledProgramFolder();

// ProgramFolder() / name, e.g. ProgramSubfolder("DefaultData").
std::filesystem::path ProgramSubfolder(std::string_view name);

// A name that may become one path component: not empty, not "." or "..", no '/',
// '\\' or NUL, and at most 255 bytes.
bool IsSafeFileName(std::string_view name);

}  // namespace norvane::platform
