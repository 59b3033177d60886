#pragma once

#include "shell/main_wnd/main_wnd.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string_view>

namespace norvane::ui {
class IUiPlatform;
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::shell {

// The program's private fonts, relative to the program folder, in load order.
inline constexpr auto kPrivateFontFiles = std::to_array<std::string_view>({
    "Font/Simplified_Chinese.ttf",
    "Font/Korvalis-Regular.otf",
    "Font/NotoSansThai-Regular.ttf",
    "Font/NotoSansCJKtc-Regular.otf",
});

// Makes the private fonts available to the process; a missing or unreadable one is skipped.
// The number loaded.
int LoadPrivateFonts(ui::IUiPlatform& platform, const std::filesystem::path& programFolder);

// Registers the program's control classes with the factory (picture controls, the device
// list's tile, the device pages built so far).
void RegisterControlClasses(ui::CControlFactory& factory);

// Start-up and shutdown of the main window on a UI platform whose event loop the caller
// owns: resources, control classes, messages, the window (hidden until the first scan),
// and the ordered teardown.
class Program {
public:
    struct Options {
        std::filesystem::path programFolder;  // holds "skin", "Font" and "DefaultData"
        CMainWnd::Options window;             // defaultData and trayIcon filled in when empty
    };

    Program(ui::IUiPlatform& platform, Options options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Fonts, skin folder and resource index, control classes, registered messages, and the
    // main window (created hidden, centred). False when the window cannot be built.
    bool Start();
    // Runs the event loop until the window ends it; the exit code.
    int Run();
    // Stops the window's threads (bounded), then destroys the window. Idempotent.
    void Shutdown();

    CMainWnd* Window() { return window_.get(); }
    int FontsLoaded() const { return fontsLoaded_; }

private:
    ui::IUiPlatform& platform_;
    Options options_;
    std::unique_ptr<CMainWnd> window_;
    int fontsLoaded_ = 0;
};

}  // namespace norvane::shell
