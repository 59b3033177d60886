#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <filesystem>

#include "ui/platform.h"
#include "ui/resource_manager.h"

namespace norvane::ui::qt {

// The Qt 6 backend. Needs a QApplication alive on the UI thread for its whole life.
class QtPlatform : public IUiPlatform {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;
    std::unique_ptr<IWindowHost> CreateWindowHost(WindowImplBase& window, WindowImplBase* owner) override;
    CResourceManager& Resources() override { return resources_; }
    int RunMessageLoop() override;
    void Quit(int code) override;
    std::string TrackMenu(const std::vector<MenuItem>& items, Point screen, WindowImplBase* owner) override;
    std::filesystem::path FileDialog(const FileDialogOptions& options, WindowImplBase* owner) override;
    std::unique_ptr<ITrayIconHost> CreateTrayIcon(WindowImplBase& window, unsigned callbackMessage) override;
    bool AddPrivateFont(const std::filesystem::path& file) override;
    Size ScreenSize() const override;
    Point CursorPos() const override;

    // Before the QApplication exists: the toolkit scales windows itself (by the screen's DPI,
    // WindowImplBase::SetAllDPI), so Qt's own high-DPI scaling is switched off for the
    // process. False when an application exists already.
    static bool MakeProcessDpiAware();

    // Loads every .ttf/.otf/.ttc file of a folder (the program's "Font" folder); the count loaded.
    int AddPrivateFonts(const std::filesystem::path& folder);
    std::uint64_t Now() const { return static_cast<std::uint64_t>(clock_.elapsed()); }

private:
    CResourceManager resources_;
    QElapsedTimer clock_;
};

// Paints a window's tree into an image of its client size (no display needed).
QImage RenderWindow(WindowImplBase& window);

// Paints a pop-up menu as TrackMenu shows it, with every sub-menu opened beside it (top-level
// menu on the left, the sub-menus stacked on the right), without showing it.
QImage RenderMenu(const std::vector<MenuItem>& items);

// "Profile Files(*.json)|*.json|" filters as Qt's "Profile Files (*.json)".
QString ToQtFilter(std::string_view filter);

}  // namespace norvane::ui::qt
