#include "shell/windows/skin_frame.h"

#include "platform/diag.h"
#include "platform/paths.h"
#include "shell/windows/skin_choice.h"
#include "shell/windows/skin_observer.h"
#include "ui/container.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/platform.h"

#include <utility>

namespace norvane::shell {

namespace {

constexpr std::string_view kCustomFilter = "(*.png) | *.png |(*.*)|*.*||";

void RecordChoice(bool picked, std::string_view image) {
    if (!WriteSkinChoice(platform::UserDataFolder(), picked, image)) {
        platform::diag::Trace("skin choice not written");
    }
}

}  // namespace

bool CSkinFrame::Open(ui::WindowImplBase& owner, const ui::CControlUI& skinButton,
                      std::function<void()> onGone) {
    if (!Create(&owner, {})) {
        return false;
    }
    onGone_ = std::move(onGone);
    const ui::Rect button = skinButton.GetPos();
    const ui::Point corner = owner.ClientToScreen({button.right, button.bottom});
    const int width = Host() != nullptr ? Host()->ScreenRect().Width() : 0;
    MoveWindow({corner.x - width, corner.y});
    ShowWindow(true, false);
    return true;
}

void CSkinFrame::Notify(ui::TNotifyUI& msg) {
    if (msg.type != ui::notify::kClick || msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    if (name == "skin_image_btn") {
        const std::string image = msg.sender->GetBkImage();
        NotifySkinReceivers({false, 0, image});
        RecordChoice(true, image);
    } else if (name == "skin_color_btn") {
        NotifySkinReceivers({true, msg.sender->GetBkColor(), {}});
    } else if (name == "skin_color") {
        SelectTab(1);
    } else if (name == "skin_image") {
        SelectTab(0);
    } else if (name == "skin_reset") {
        NotifySkinReceivers({false, 0, std::string(kDefaultBackground)});
        RecordChoice(false, kDefaultBackground);
    } else if (name == "skin_Custom") {
        PickCustomImage();
    }
}

std::intptr_t CSkinFrame::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                              bool& handled) {
    (void)lparam;
    if (msg == ui::kWmActivate && wparam == 0 && !IsClosed()) {
        DestroyWindow();
        handled = true;
    }
    return 0;
}

void CSkinFrame::OnFinalMessage() {
    if (auto gone = std::exchange(onGone_, {})) {
        gone();  // may destroy this frame: nothing after it
    }
}

void CSkinFrame::SelectTab(int page) {
    if (auto* tab = dynamic_cast<ui::CTabLayoutUI*>(FindControl("skin_tab")); tab != nullptr) {
        tab->SelectItem(page);
    }
}

void CSkinFrame::PickCustomImage() {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    if (platform == nullptr) {
        return;
    }
    ui::FileDialogOptions options;
    options.filter = std::string(kCustomFilter);
    options.defaultName = "*.png";
    const std::filesystem::path chosen = platform->FileDialog(options, this);
    if (chosen.empty()) {
        return;
    }
    NotifySkinReceivers({false, 0, chosen.string()});
}

}  // namespace norvane::shell
