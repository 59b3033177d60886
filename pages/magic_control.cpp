#include "pages/magic_control.h"

#include <string>

#include "ui/option.h"

namespace norvane::pages {

void CMagicControlUI::FindParts() {
    if (found_) {
        return;
    }
    optionLayout_ = FindSubControl("magic_option_layout");
    enableOption_ = dynamic_cast<ui::COptionUI*>(FindSubControl("magic_enable_option"));
    // Looked up once the parts exist; a panel without them keeps trying.
    found_ = optionLayout_ != nullptr && enableOption_ != nullptr;
}

void CMagicControlUI::EnableMagicOptions(bool enable) {
    FindParts();
    if (optionLayout_ != nullptr) {
        optionLayout_->SetEnabled(enable);
    }
}

void CMagicControlUI::SetMagicEnable(bool enable) {
    FindParts();
    if (enableOption_ != nullptr) {
        enableOption_->Selected(enable, false);
    }
    EnableMagicOptions(enable);
}

bool CMagicControlUI::IsMagicEnable() {
    FindParts();
    return enableOption_ != nullptr && enableOption_->IsSelected();
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
