#include "platform/paths.h"

#include "platform/diag.h"

#include <array>
#include <cstdlib>
#include <system_error>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProductFolder = "NORVANE";
constexpr std::array<std::string_view, 5> kProgramSubfolders = {"skin", "DefaultData", "Font", "SDK",
                                                                "Update"};

std::string_view Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

// Creates the folder (and its parents) when missing; empty path on failure.
fs::path Ensure(fs::path folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        diag::Trace("cannot create folder " + folder.string() + ": " + ec.message());
        return {};
    }
    return folder;
}

bool HoldsProgramData(const fs::path& folder) {
    std::error_code ec;
    for (const std::string_view name : kProgramSubfolders) {
        if (fs::is_directory(folder / name, ec)) {
            return true;
        }
    }
    return false;
}

fs::path ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path{} : exe.parent_path();
}

}  // namespace

fs::path UserDataFolder() {
    if (const std::string_view override = Env("NORVANE_DATA_HOME"); !override.empty()) {
        return Ensure(fs::path(override));
    }
    // XDG: a relative value is invalid and must be ignored.
    if (const std::string_view xdg = Env("XDG_DATA_HOME"); !xdg.empty() && xdg.front() == '/') {
        return Ensure(fs::path(xdg) / kProductFolder);
    }
    const std::string_view home = Env("HOME");
    if (home.empty()) {
        diag::Trace("neither HOME nor XDG_DATA_HOME is set");
        return {};
    }
    return Ensure(fs::path(home) / ".local" / "share" / kProductFolder);
}

fs::path UserDataFolder(std::string_view subfolder) {
    if (!IsSafeFileName(subfolder)) {
        return {};
    }
    const fs::path root = UserDataFolder();
    return root.empty() ? fs::path{} : Ensure(root / subfolder);
}

fs::path InstalledProgramFolder() {
    return fs::path(NORVANE_INSTALL_DATADIR);
}

fs::path ProgramFolderBeside(const fs::path& executableFolder) {
    if (executableFolder.empty()) {
        return InstalledProgramFolder();
    }
    if (HoldsProgramData(executableFolder)) {
        return executableFolder;
    }
    // The install layout seen from the executable's folder (bin/ -> share/norvane).
    const fs::path installed = (executableFolder / NORVANE_INSTALL_DATADIR_FROM_BINDIR).lexically_normal();
    return HoldsProgramData(installed) ? installed : InstalledProgramFolder();
}

fs::path ProgramFolder() {
    return ProgramFolderBeside(ExecutableFolder());
}

fs::path ProgramSubfolder(std::string_view name) {
    return ProgramFolder() / name;
}

bool IsSafeFileName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

}  // namespace norvane::platform
