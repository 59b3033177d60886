#include "pages/magic_control.h"

#include <string>

#include "pages/panel_layout.h"
#include "ui/option.h"

namespace norvane::pages {

void CMagicControlUI::DoInit() {
    LoadPanelLayout(*this, kLayoutFile);
}

CMagicControlUI::Parts CMagicControlUI::FindParts() {
    // Looked up on every use (an indexed lookup), so parts rebuilt later are never stale.
    return {FindSubControl("magic_option_layout"),
            dynamic_cast<ui::COptionUI*>(FindSubControl("magic_enable_option"))};
}

void CMagicControlUI::EnableMagicOptions(bool enable) {
    if (ui::CControlUI* layout = FindParts().optionLayout) {
        layout->SetEnabled(enable);
    }
}

void CMagicControlUI::SetMagicEnable(bool enable) {
    if (ui::COptionUI* option = FindParts().enableOption) {
        option->Selected(enable, false);
    }
    EnableMagicOptions(enable);
}

bool CMagicControlUI::IsMagicEnable() {
    ui::COptionUI* option = FindParts().enableOption;
    return option != nullptr && option->IsSelected();
}

void CMagicControlUI::SetMagicType(int n) {
    for (int i = 1; i <= 4; ++i) {
        if (auto* option =
                dynamic_cast<ui::COptionUI*>(FindSubControl("magic_option_" + std::to_string(i)))) {
            option->Selected(false, false);
        }
    }
    if (n >= 1 && n <= 4) {
        if (auto* option =
                dynamic_cast<ui::COptionUI*>(FindSubControl("magic_option_" + std::to_string(n)))) {
            option->Selected(true, false);
        }
        selectedVoice_ = n;
    } else {
        selectedVoice_ = 0;
    }
}

}  // namespace norvane::pages
