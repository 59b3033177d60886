#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the program asks the desktop to open: a web page, the desktop's keyboard or mouse
// settings. The programs are started detached; a test installs a launcher that records.
namespace norvane::platform::shell {

class ILauncher {
public:
    virtual ~ILauncher() = default;
    // Starts argv[0] (looked up in PATH) with the rest as its arguments, without waiting for
    // it; false when it could not be started.
    virtual bool Launch(std::span<const std::string> argv) = 0;
    // Whether a program of that name is in PATH.
    virtual bool Exists(std::string_view program) = 0;
};

// The launcher in use: the process's own unless a test set one (null restores it).
ILauncher& Launcher();
void SetLauncher(ILauncher* launcher);

// The page with the desktop's default handler ("xdg-open"); only http and https addresses.
bool OpenUrl(std::string_view url);

enum class InputSettings { kKeyboard, kMouse };
// The first settings program of the known desktops that is installed; false when none is.
bool OpenInputSettings(InputSettings which);

}  // namespace norvane::platform::shell
