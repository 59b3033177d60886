#pragma once

#include <filesystem>
#include <string_view>

namespace norvane::shell {

inline constexpr std::string_view kSkinSettingsFile = "main.ini";
inline constexpr std::string_view kDefaultBackground = "common/background.png";

// Records the background choice in "main.ini" of folder: section "SKINIMAGE", "FLAGS" 1 for
// a picked image (0 after a reset) and "IMAGE". False when the name cannot be stored (line
// break or NUL) or the file cannot be written.
bool WriteSkinChoice(const std::filesystem::path& folder, bool picked, std::string_view image);

}  // namespace norvane::shell
