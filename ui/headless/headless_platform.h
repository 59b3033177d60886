#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui/platform.h"
#include "ui/resource_manager.h"

namespace norvane::ui::headless {

class HeadlessPlatform;

// The native side of a window without a display: it records what a real one would show.
class HeadlessWindowHost : public IWindowHost {
public:
    HeadlessWindowHost(HeadlessPlatform& platform, WindowImplBase& window);
    ~HeadlessWindowHost() override;

    void Invalidate(const Rect& rc) override;
    void StartTimer(std::uint64_t key, int periodMs) override;
    void StopTimer(std::uint64_t key) override;
    std::uint64_t Now() const override;
    void ShowEditOverlay(CEditUI& edit) override { overlayEdit_ = &edit; }
    void HideEditOverlay() override { overlayEdit_ = nullptr; }
    void ShowDropDown(CComboUI& combo) override { dropDown_ = &combo; }
    void ControlGone(CControlUI& control) override;
    Size ImageSize(std::string_view path) override;
    void SetTitle(std::string_view title) override { title_ = std::string(title); }
    void Show(bool show) override { shown_ = show; }
    void ShowInactive() override { shown_ = true; }
    bool IsShown() const override { return shown_; }
    void SetClientSize(Size size) override { size_ = size; }
    void Center() override;
    void Move(Point topLeft) override { topLeft_ = topLeft; }
    Rect ScreenRect() const override;
    void SetState(WindowState state) override;
    WindowState State() const override { return state_; }
    void RunModal() override;
    void EndModal() override;
    void Wake() override;
    // Run by the platform's next Pump.
    void RunLater(std::function<void()> task) override { later_.push_back(std::move(task)); }
    std::vector<std::function<void()>> TakeLaterTasks() { return std::exchange(later_, {}); }

    WindowImplBase& Window() { return window_; }
    const std::string& Title() const { return title_; }
    CEditUI* OverlayEdit() const { return overlayEdit_; }
    CComboUI* OpenDropDown() const { return dropDown_; }
    void ClearDropDown() { dropDown_ = nullptr; }
    const Rect& Dirty() const { return dirty_; }
    void ClearDirty() { dirty_ = {}; }

private:
    HeadlessPlatform& platform_;
    WindowImplBase& window_;
    std::string title_;
    bool shown_ = false;
    bool modalEnded_ = false;
    WindowState state_ = WindowState::Normal;
    Size size_;
    Point topLeft_;
    Rect dirty_;
    CEditUI* overlayEdit_ = nullptr;
    CComboUI* dropDown_ = nullptr;
    std::vector<std::function<void()>> later_;
};

// The UI backend for tests and tools without a display: a virtual clock that the test
// advances, synthetic input (see headless_input.h), scripted menus, dialogs and modal runs.
class HeadlessPlatform : public IUiPlatform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    std::unique_ptr<IWindowHost> CreateWindowHost(WindowImplBase& window, WindowImplBase* owner) override;
    CResourceManager& Resources() override { return resources_; }
    int RunMessageLoop() override;
    void Quit(int code) override;
    std::string TrackMenu(const std::vector<MenuItem>& items, Point screen, WindowImplBase* owner) override;
    std::filesystem::path FileDialog(const FileDialogOptions& options, WindowImplBase* owner) override;
    std::unique_ptr<ITrayIconHost> CreateTrayIcon(WindowImplBase& window, unsigned callbackMessage) override;
    bool AddPrivateFont(const std::filesystem::path& file) override;
    Size ScreenSize() const override { return screen_; }

    // Virtual time in milliseconds. Advance fires every timer due up to now + ms in time
    // order, one notification per expiry, then dispatches the queued messages.
    std::uint64_t Now() const { return now_; }
    void Advance(std::uint64_t ms);
    // Dispatches the queued messages of every window, then runs the tasks hosts were given
    // to run later (UI thread).
    void Pump();
    // Waits (real time) until some window has queued messages or the limit passes.
    bool WaitForMessages(std::uint64_t limitMs);
    // How many times windows asked to be woken (a window asks once per dispatch round).
    std::uint64_t WakeCount() const;

    // Called when a window starts a modal run; it drives the window (input, Close) on the UI
    // thread. Without a driver, or when the driver does not close it, the run dispatches
    // messages until something closes the window, giving up after modalLimitMs of real time
    // with the result -1.
    void SetModalDriver(std::function<void(WindowImplBase&)> driver) { modalDriver_ = std::move(driver); }
    void SetModalLimit(std::uint64_t ms) { modalLimitMs_ = ms; }
    void SetMenuChooser(std::function<std::string(const std::vector<MenuItem>&)> chooser) {
        menuChooser_ = std::move(chooser);
    }
    void SetFileDialogAnswer(std::filesystem::path answer) { fileAnswer_ = std::move(answer); }
    const FileDialogOptions& LastFileDialog() const { return lastFileDialog_; }
    void SetScreenSize(Size size) { screen_ = size; }
    // Whether Quit was called since the last RunMessageLoop started, and its code.
    bool QuitRequested() const { return quit_; }
    int QuitCode() const { return quitCode_; }

    struct TrayRecord {
        WindowImplBase* window = nullptr;
        unsigned message = 0;
        std::string toolTip;
        std::filesystem::path icon;
        bool shown = false;
    };
    // Tray icons alive, in creation order.
    std::vector<const TrayRecord*> TrayIcons() const;
    // Simulates a mouse event on a tray icon: posts its callback message.
    bool ClickTray(std::size_t index, unsigned mouseCode);
    const std::vector<std::filesystem::path>& PrivateFonts() const { return fonts_; }

    HeadlessWindowHost* HostOf(const WindowImplBase& window) const;

private:
    friend class HeadlessWindowHost;
    friend class HeadlessTray;
    void StartTimer(HeadlessWindowHost* host, std::uint64_t key, int periodMs);
    void StopTimer(std::uint64_t key);
    void RunModal(HeadlessWindowHost& host, const bool& ended);
    void Wake();
    bool AnyPending() const;

    CResourceManager resources_;
    std::vector<HeadlessWindowHost*> hosts_;
    struct Timer {
        HeadlessWindowHost* host;
        std::uint64_t due;
        int period;
        std::uint64_t order;
    };
    std::map<std::uint64_t, Timer> timers_;
    std::uint64_t timerOrder_ = 0;
    std::uint64_t now_ = 0;
    mutable std::mutex wakeMutex_;
    std::condition_variable wakeCv_;
    std::uint64_t wakeCount_ = 0;
    bool quit_ = false;
    int quitCode_ = 0;
    std::function<void(WindowImplBase&)> modalDriver_;
    std::uint64_t modalLimitMs_ = 5000;
    std::function<std::string(const std::vector<MenuItem>&)> menuChooser_;
    std::filesystem::path fileAnswer_;
    FileDialogOptions lastFileDialog_;
    std::vector<std::unique_ptr<TrayRecord>> trays_;
    std::vector<std::filesystem::path> fonts_;
    Size screen_{1920, 1080};
};

// Pixel size of a PNG file read from its header; {0,0} for anything else.
Size ReadPngSize(const std::filesystem::path& file);

}  // namespace norvane::ui::headless
