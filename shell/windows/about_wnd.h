#pragma once

#include "ui/types.h"
#include "ui/window.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace norvane::shell {

// The about window: the program's version and the title-bar buttons.
class CAboutWnd final : public ui::WindowImplBase {
public:
    static constexpr std::string_view kSkinFile = "AboutWnd.xml";
    static constexpr std::string_view kClassName = "AboutWnd";
    static constexpr std::string_view kTitle = "  ";
    static constexpr ui::Size kSize{800, 572};

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void InitWindow() override;
    void Notify(ui::TNotifyUI& msg) override;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

    // "software_ver_label" = the text of "software_rev_text" + the application's version.
    void SetVersionLabel();

private:
    ui::CControlUI* closeButton_ = nullptr;
    ui::CControlUI* maxButton_ = nullptr;
    ui::CControlUI* restoreButton_ = nullptr;
    ui::CControlUI* minButton_ = nullptr;
    ui::CControlUI* menuButton_ = nullptr;
};

// The version text of the application row of the firmware identity table.
std::string_view ApplicationVersionText();

}  // namespace norvane::shell
