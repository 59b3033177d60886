#include "ui/tray_icon.h"

namespace norvane::ui {

bool CTrayIcon::Create(WindowImplBase& window, const std::filesystem::path& icon, std::string_view toolTip,
                       unsigned callbackMessage) {
    IUiPlatform* platform = CurrentPlatform();
    if (platform == nullptr) {
        return false;
    }
    host_ = platform->CreateTrayIcon(window, callbackMessage);
    if (!host_) {
        return false;
    }
    host_->SetIcon(icon);
    host_->SetToolTip(toolTip);
    host_->Show(true);
    return true;
}

void CTrayIcon::SetToolTip(std::string_view text) {
    if (host_) {
        host_->SetToolTip(text);
    }
}

void CTrayIcon::Show(bool show) {
    if (host_) {
        host_->Show(show);
    }
}

}  // namespace norvane::ui
