#include "shell/windows/msg_wnd.h"

#include "platform/diag.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/window_scale.h"

#include <algorithm>
#include <array>
#include <memory>

namespace norvane::shell {

int AcceptedMessageScale(int scale) {
    return ui::AcceptedWindowScale(scale, "MSG_WND DPI SET ERROR");
}

void CMsgWnd::InitWindow() {
    closeButton_ = FindControl("closebtn");
}

void CMsgWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.type != ui::notify::kClick || msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    if (name == "confirm_btn") {
        Close(1);
    } else if (name == "cancel_btn" || msg.sender == closeButton_) {
        Close(0);
    }
}

std::intptr_t CMsgWnd::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                           bool& handled) {
    if (msg == ui::kWmDpiChanged) {
        scale_ = ui::FollowScaleChange(*this, wparam, lparam);
        handled = true;
    }
    return 0;
}

void CMsgWnd::SetTitleText(std::string_view title) {
    if (title.empty()) {
        return;
    }
    if (ui::CControlUI* label = FindControl("MessageTitle"); label != nullptr) {
        label->SetText(std::string(title));
    }
}

void CMsgWnd::SetMessageText(std::string_view text, bool isTextId) {
    ui::CControlUI* label = FindControl("MessageText");
    if (text.empty() || label == nullptr) {
        return;
    }
    if (isTextId) {
        label->SetTextId(std::string(text));
    } else {
        label->SetTextId({});
        label->SetText(std::string(text));
    }
}

void CMsgWnd::SetScale(int scale) {
    if (scale == scale_) {
        return;
    }
    scale_ = AcceptedMessageScale(scale);
    SetAllDPI(scale_);
}

void CMsgWnd::SetButtonMode(int mode) {
    ui::CControlUI* confirm = FindControl("confirm_btn");
    ui::CControlUI* cancel = FindControl("cancel_btn");
    if (confirm == nullptr || cancel == nullptr || (mode != 0 && mode != 1)) {
        return;
    }
    cancel->SetVisible(mode == 1);
    confirm->SetVisible(true);
}

int ShowMessageBox(ui::WindowImplBase* owner, std::string_view title, std::string_view text, int scale,
                   bool isTextId, int buttonMode) {
    auto window = std::make_unique<CMsgWnd>();
    if (!window->Create(owner, CMsgWnd::kTitle)) {
        return -1;
    }
    window->SetTitleText(title);
    window->SetMessageText(text, isTextId);
    window->SetScale(scale);
    window->SetButtonMode(buttonMode);
    window->CenterWindow();
    const int result = window->ShowModal();
    return result == 1 ? 1 : 0;
}

}  // namespace norvane::shell
