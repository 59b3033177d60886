#include "shell/windows/skin_choice.h"

#include "platform/atomic_file.h"

#include <string>

namespace norvane::shell {

bool WriteSkinChoice(const std::filesystem::path& folder, bool picked, std::string_view image) {
    if (folder.empty() || image.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        return false;
    }
    std::string content = "[SKINIMAGE]\nFLAGS=";
    content += picked ? "1" : "0";
    content += "\nIMAGE=";
    content += image;
    content += '\n';
    return platform::WriteFileAtomically(folder / kSkinSettingsFile, content);
}

}  // namespace norvane::shell
