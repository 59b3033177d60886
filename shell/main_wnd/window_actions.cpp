// The main window's message, about and skin windows.
#include "shell/main_wnd/main_wnd.h"
#include "update/set_wnd.h"

#include "platform/diag.h"
#include "ui/platform.h"
#include "ui/resource_manager.h"

namespace norvane::shell {

namespace {

void Trace(std::string_view what, std::string_view detail = {}) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace(std::string(what) + (detail.empty() ? "" : " ") + std::string(detail));
    }
}

}  // namespace

int CMainWnd::ShowMessage(std::string_view text, bool isTextId, MessageButtons buttons) {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    lastMessage_ = isTextId && platform != nullptr ? platform->Resources().Text(text) : std::string(text);
    Trace("main window: message", lastMessage_);
    const int shown =
        shutDown_ ? -1 : ShowMessageBox(this, {}, text, pm_.GetDPI(), isTextId, static_cast<int>(buttons));
    if (shown < 0) {
        // Nobody to ask: a message counts as seen, a question as cancelled.
        return buttons == MessageButtons::kConfirm ? 1 : 0;
    }
    return shown;
}

void CMainWnd::OpenAboutWindow() {
    if (aboutWnd_ || shutDown_) {
        return;
    }
    aboutWnd_ = std::make_unique<CAboutWnd>();
    if (!aboutWnd_->Create(this, CAboutWnd::kTitle, CAboutWnd::kSize)) {
        aboutWnd_.reset();
        return;
    }
    aboutWnd_->CenterWindow();
    aboutWnd_->ShowModal();
    aboutWnd_.reset();
}

void CMainWnd::OpenSkinFrame() {
    if (skinFrame_) {
        skinFrame_->DestroyWindow();
        return;
    }
    if (skinButton_ == nullptr || shutDown_) {
        return;
    }
    skinFrame_ = std::make_unique<CSkinFrame>();
    if (!skinFrame_->Open(*this, *skinButton_, [this] { skinFrame_.reset(); })) {
        skinFrame_.reset();
    }
}

void CMainWnd::ApplySkin(const SkinChangedParam& param) {
    ui::CControlUI* root = FindControl("root");
    if (root == nullptr) {
        return;
    }
    if (param.isColour) {
        root->SetBkColor(param.colour);
        root->SetBkImage({});
    } else {
        root->SetBkColor(0);
        root->SetBkImage(param.image);
    }
}

void CMainWnd::CloseChildWindows() {
    if (aboutWnd_) {
        aboutWnd_->Close(0);
    }
    if (skinFrame_) {
        skinFrame_->DestroyWindow();
    }
    // The modal ones end as cancelled; their openers then let go of them.
    if (paletteWnd_ != nullptr) {
        paletteWnd_->Close(0);
    }
    music_.CloseWindow();
    if (setWnd_ != nullptr) {
        setWnd_->RequestClose();
    }
}

}  // namespace norvane::shell
