#include "platform/shell.h"

#include "platform/diag.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

extern char** environ;

namespace norvane::platform::shell {
namespace {

struct SettingsProgram {
    std::string_view program;
    std::string_view keyboardArg;  // empty: the program has no argument
    std::string_view mouseArg;
    std::string_view keyboardProgram;  // a program of its own for the keyboard, when it differs
};

// GNOME, KDE Plasma (6 and 5), Xfce, Cinnamon, MATE, LXQt.
inline constexpr auto kSettingsPrograms = std::to_array<SettingsProgram>({
    {"gnome-control-center", "keyboard", "mouse", {}},
    {"systemsettings", "kcm_keyboard", "kcm_mouse", {}},
    {"kcmshell6", "kcm_keyboard", "kcm_mouse", {}},
    {"kcmshell5", "kcm_keyboard", "kcm_mouse", {}},
    {"xfce4-mouse-settings", {}, {}, "xfce4-keyboard-settings"},
    {"cinnamon-settings", "keyboard", "mouse", {}},
    {"mate-mouse-properties", {}, {}, "mate-keyboard-properties"},
    {"lxqt-config-input", {}, {}, {}},
});

class ProcessLauncher final : public ILauncher {
public:
    bool Launch(std::span<const std::string> argv) override {
        if (argv.empty()) {
            return false;
        }
        // A shell puts the program in the background and ends at once, so nothing is left to
        // reap; the arguments stay arguments (never parsed by the shell).
        std::vector<std::string> args = {"/bin/sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &"};
        args.insert(args.end(), argv.begin(), argv.end());
        std::vector<char*> raw;
        raw.reserve(args.size() + 1);
        for (std::string& a : args) {
            raw.push_back(a.data());
        }
        raw.push_back(nullptr);
        pid_t pid = -1;
        if (::posix_spawn(&pid, raw[0], nullptr, nullptr, raw.data(), environ) != 0) {
            return false;
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    bool Exists(std::string_view program) override {
        const char* path = std::getenv("PATH");
        std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
        for (std::string folder; std::getline(folders, folder, ':');) {
            if (folder.empty()) {
                continue;
            }
            const std::filesystem::path candidate = std::filesystem::path(folder) / std::string(program);
            if (::access(candidate.c_str(), X_OK) == 0) {
                return true;
            }
        }
        return false;
    }
};

ILauncher* g_launcher = nullptr;

}  // namespace

ILauncher& Launcher() {
    static ProcessLauncher own;
    return g_launcher != nullptr ? *g_launcher : own;
}

void SetLauncher(ILauncher* launcher) {
    g_launcher = launcher;
}

bool OpenUrl(std::string_view url) {
    if (!url.starts_with("https://") && !url.starts_with("http://")) {
        return false;
    }
    const std::array<std::string, 2> argv = {"xdg-open", std::string(url)};
    const bool started = Launcher().Launch(argv);
    diag::Trace(std::string(started ? "opened " : "could not open ") + std::string(url));
    return started;
}

bool OpenInputSettings(InputSettings which) {
    const bool keyboard = which == InputSettings::kKeyboard;
    for (const SettingsProgram& row : kSettingsPrograms) {
        if (!Launcher().Exists(row.program)) {
            continue;
        }
        std::vector<std::string> argv = {
            std::string(keyboard && !row.keyboardProgram.empty() ? row.keyboardProgram : row.program)};
        const std::string_view arg = keyboard ? row.keyboardArg : row.mouseArg;
        if (!arg.empty()) {
            argv.emplace_back(arg);
        }
        return Launcher().Launch(argv);
    }
    diag::Trace("no keyboard or mouse settings program of a known desktop is installed");
    return false;
}

}  // namespace norvane::platform::shell
