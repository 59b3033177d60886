#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "ui/platform.h"

namespace norvane::ui {

// A tray icon owned by a window (see ITrayIconHost for the callback message).
class CTrayIcon {
public:
    bool Create(WindowImplBase& window, const std::filesystem::path& icon, std::string_view toolTip,
                unsigned callbackMessage);
    void Delete() { host_.reset(); }
    void SetToolTip(std::string_view text);
    void Show(bool show);
    bool IsVisible() const { return host_ && host_->IsShown(); }
    bool IsCreated() const { return host_ != nullptr; }

private:
    std::unique_ptr<ITrayIconHost> host_;
};

}  // namespace norvane::ui
