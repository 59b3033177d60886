#pragma once

#include "ui/window.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace norvane::shell {

// The skin pop-up under the main window's skin button: background pictures and colours for
// the main window. It closes itself when it loses the focus.
class CSkinFrame final : public ui::WindowImplBase {
public:
    static constexpr std::string_view kSkinFile = "skin.xml";
    static constexpr std::string_view kClassName = "UISkinFrame";

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void Notify(ui::TNotifyUI& msg) override;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

    // Builds the frame and shows it without activating, its top-right corner at the skin
    // button's bottom-right corner. onGone runs once the frame has closed and may destroy it.
    bool Open(ui::WindowImplBase& owner, const ui::CControlUI& skinButton, std::function<void()> onGone);

protected:
    void OnFinalMessage() override;

private:
    void SelectTab(int page);
    void PickCustomImage();
    std::function<void()> onGone_;
};

}  // namespace norvane::shell
