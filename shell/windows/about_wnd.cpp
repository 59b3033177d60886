#include "shell/windows/about_wnd.h"

#include "device/catalogue.h"
#include "shell/main_wnd/program_messages.h"
#include "ui/notify.h"

namespace norvane::shell {

namespace {

constexpr std::string_view kVersionTextId = "software_rev_text";
constexpr int kAboutTimerId = 1;

}  // namespace

std::string_view ApplicationVersionText() {
    const auto rows = device::FirmwareIdentities();
    return rows.empty() ? std::string_view{} : rows.back().versionText;
}

void CAboutWnd::InitWindow() {
    closeButton_ = FindControl("closebtn");
    maxButton_ = FindControl("maxbtn");
    restoreButton_ = FindControl("restorebtn");
    minButton_ = FindControl("minbtn");
    menuButton_ = FindControl("menubtn");
    SetVersionLabel();
}

void CAboutWnd::SetVersionLabel() {
    ui::CControlUI* label = FindControl("software_ver_label");
    ui::CControlUI* resolver = FindControl("text_test");
    if (label == nullptr || resolver == nullptr) {
        return;
    }
    resolver->SetTextId(std::string(kVersionTextId));
    label->SetText(resolver->GetText() + std::string(ApplicationVersionText()));
}

void CAboutWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.type == ui::notify::kTimer && msg.sender == pm_.GetRoot() && msg.wparam == kAboutTimerId) {
        pm_.KillTimer(pm_.GetRoot(), kAboutTimerId);
        return;
    }
    if (msg.type != ui::notify::kClick || msg.sender == nullptr) {
        return;
    }
    if (msg.sender == closeButton_) {
        Close(0);
    } else if (msg.sender == minButton_) {
        Minimize();
    } else if (msg.sender == maxButton_) {
        Maximize();
    } else if (msg.sender == restoreButton_) {
        Restore();
    }
}

std::intptr_t CAboutWnd::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                             bool& handled) {
    (void)wparam;
    (void)lparam;
    if (msg == kLanguageChangedMessage) {
        SetVersionLabel();
        pm_.Invalidate({0, 0, pm_.GetClientSize().cx, pm_.GetClientSize().cy});
        pm_.NeedUpdate();
        handled = true;
    }
    return 0;
}

}  // namespace norvane::shell
