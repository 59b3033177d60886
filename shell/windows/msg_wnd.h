#pragma once

#include "ui/window.h"
#include "ui/window_scale.h"

#include <cstdint>
#include <string_view>

namespace norvane::shell {

// The buttons of a message: confirm only, or confirm and cancel.
enum class MessageButtons : std::uint8_t { kConfirm = 0, kConfirmCancel = 1 };

// The modal message window: a title, a text and confirm (result 1) or cancel and close
// (result 0).
class CMsgWnd final : public ui::WindowImplBase {
public:
    static constexpr std::string_view kSkinFile = "XML_MSG";
    static constexpr std::string_view kClassName = "MsgWnd";
    static constexpr std::string_view kTitle = "msgwnd";
    static constexpr int kDefaultScale = ui::kDefaultWindowScale;

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

    // An empty title keeps the layout's.
    void SetTitleText(std::string_view title);
    // isTextId: text is a language text id resolved in the current language.
    void SetMessageText(std::string_view text, bool isTextId);
    // A scale other than the window's must be one of the accepted ones, else 96; it then
    // applies to every window.
    void SetScale(int scale);
    int Scale() const { return scale_; }
    // 0: confirm only; 1: confirm and cancel; other modes leave the buttons as they are.
    void SetButtonMode(int mode);

private:
    ui::CControlUI* closeButton_ = nullptr;
    int scale_ = kDefaultScale;
};

// The scale itself when it is one of 48, 72, ..., 192; else 96, with a trace line.
int AcceptedMessageScale(int scale);

// Shows a message modally over owner (may be null); 1 when confirmed, 0 when cancelled or
// closed, -1 when the window could not be built.
int ShowMessageBox(ui::WindowImplBase* owner, std::string_view title, std::string_view text, int scale,
                   bool isTextId, int buttonMode);

}  // namespace norvane::shell
