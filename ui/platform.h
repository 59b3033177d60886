#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/menu.h"
#include "ui/paint_host.h"
#include "ui/types.h"

namespace norvane::ui {

class CResourceManager;
class WindowImplBase;

enum class WindowState { Normal, Minimized, Maximized };

// The native side of one window.
class IWindowHost : public IPaintHost {
public:
    virtual ~IWindowHost() = default;
    virtual void SetTitle(std::string_view title) = 0;
    virtual void Show(bool show) = 0;
    // Shows the window without making it the active window.
    virtual void ShowInactive() = 0;
    virtual bool IsShown() const = 0;
    // Client size in scaled pixels.
    virtual void SetClientSize(Size size) = 0;
    virtual void Center() = 0;
    virtual void Move(Point topLeft) = 0;
    // The window's client area in screen coordinates.
    virtual Rect ScreenRect() const = 0;
    // Minimise, maximise or restore; the host reports the change through
    // WindowImplBase::OnHostStateChanged.
    virtual void SetState(WindowState state) = 0;
    virtual WindowState State() const = 0;
    // Runs a nested loop until EndModal.
    virtual void RunModal() = 0;
    virtual void EndModal() = 0;
    // Any thread: messages wait in the window's queue; the UI thread should dispatch them.
    virtual void Wake() = 0;
    // UI thread: runs task from the event loop once the current event has been handled;
    // dropped when the host is destroyed first.
    virtual void RunLater(std::function<void()> task) = 0;
};

// A notification-area icon; activations post the callback message to its window with the
// mouse event code (kWmLButtonUp, kWmRButtonUp, kWmLButtonDblClk) in lparam.
class ITrayIconHost {
public:
    virtual ~ITrayIconHost() = default;
    virtual void SetToolTip(std::string_view text) = 0;
    virtual void SetIcon(const std::filesystem::path& image) = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsShown() const = 0;
};

struct FileDialogOptions {
    std::string title;
    // Filter in the "Profile Files(*.json)|*.json|" form, or empty for all files.
    std::string filter;
    std::filesystem::path folder;
    std::string defaultName;
    bool save = false;
};

// The backend of the whole UI: windows, the event loop, pop-ups, dialogs, tray and fonts.
class IUiPlatform {
public:
    virtual ~IUiPlatform() = default;
    virtual std::unique_ptr<IWindowHost> CreateWindowHost(WindowImplBase& window, WindowImplBase* owner) = 0;
    virtual CResourceManager& Resources() = 0;
    virtual int RunMessageLoop() = 0;
    virtual void Quit(int code) = 0;
    // Shows a pop-up menu at a screen point; the chosen item's name, empty when dismissed.
    virtual std::string TrackMenu(const std::vector<MenuItem>& items, Point screen,
                                  WindowImplBase* owner) = 0;
    // The chosen file, empty when cancelled.
    virtual std::filesystem::path FileDialog(const FileDialogOptions& options, WindowImplBase* owner) = 0;
    virtual std::unique_ptr<ITrayIconHost> CreateTrayIcon(WindowImplBase& window,
                                                          unsigned callbackMessage) = 0;
    // Makes a font file available to this process; false when it cannot be loaded.
    virtual bool AddPrivateFont(const std::filesystem::path& file) = 0;
    virtual Size ScreenSize() const = 0;
    // The mouse pointer in screen coordinates (where pop-up menus open).
    virtual Point CursorPos() const { return {}; }
};

// The process's UI backend, set once at start-up (or by a test fixture).
IUiPlatform* CurrentPlatform();
void SetCurrentPlatform(IUiPlatform* platform);

}  // namespace norvane::ui
