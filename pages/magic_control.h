#pragma once

#include <cstdint>

#include "ui/container.h"

namespace norvane::ui {
class COptionUI;
}

namespace norvane::pages {

// The headset's voice-changer panel: an enable option and four voice options
// ("magic_option_1" to "magic_option_4") inside "magic_option_layout".
class CMagicControlUI : public ui::CHorizontalLayoutUI {
public:
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/MagicControl.xml";

    std::string_view GetClass() const override { return "MagicControl"; }
    // Builds the panel's own layout when the page gave it none.
    void DoInit() override;
    void SetDeviceKind(std::int32_t code) { deviceKind_ = code; }
    std::int32_t DeviceKind() const { return deviceKind_; }
    void EnableMagicOptions(bool enable);
    void SetMagicEnable(bool enable);
    bool IsMagicEnable();
    void SetMagicType(int n);
    int MagicType() const { return selectedVoice_; }

private:
    struct Parts {
        ui::CControlUI* optionLayout;
        ui::COptionUI* enableOption;
    };
    Parts FindParts();
    std::int32_t deviceKind_ = 0;
    std::int32_t selectedVoice_ = 0;
};

}  // namespace norvane::pages
