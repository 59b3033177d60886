#pragma once

#include <array>
#include <memory>
#include <string_view>

namespace norvane::ui {
class CControlUI;
class CPaintManagerUI;
}  // namespace norvane::ui

namespace norvane::shell {

// A layout tag of the main window's skin: either a control class made through the control
// factory, or a sub-layout built with the window's paint manager.
struct LayoutTagRow {
    std::string_view tag;
    std::string_view className;  // registered class name; empty for a sub-layout
    std::string_view subLayout;  // skin-relative layout file; empty for a class
};

inline constexpr auto kLayoutTags = std::to_array<LayoutTagRow>({
    {"CircleProgress", "CCircleProgressUI", {}},
    {"SelectPanel", "CSelectPanelUI", {}},
    {"DeviceKeyButton", "CDeviceKeyButtonUI", {}},
    {"HandImgButton", "CHandImgButtonUI", {}},
    {"AudioRecord", "CAudioRecordUI", {}},
    {"HandImgSelectButton", "CHandImgSelectButtonUI", {}},
    {"RedioMacroButton", "CRedioMacroButtonUI", {}},
    {"ComboEditContainerElement", "CComboEditContainerElementUI", {}},
    {"TarnexMousePadDevice", "TarnexMousePadDevice", {}},
    {"TarnexDE6533Device", "TarnexDE6533Device", {}},
    {"TarnexMouseDevice", "TarnexMouseDevice", {}},
    {"TarnexKeyboardDevice", "TarnexKeyboardDevice", {}},
    {"DeviceProfile", "CDeviceProfileUI", {}},
    {"LightControl", "CLightControlUI", {}},
    {"MagicControl", "CMagicControlUI", {}},
    {"Voice6533Control", "CVoice6533ControlUI", {}},
    {"KeySetControl", "CKeySetControlUI", {}},
    {"MacroControl", "CMacroControlUI", {}},
    {"ShootControl", "CShootControlUI", {}},
    {"DeviceProfileUI", {}, "XML/CustomControlXML/DeviceProfile.xml"},
    {"LightSetControlUI", {}, "XML/CustomControlXML/LightControl.xml"},
    {"Voice6533SetControlUI", {}, "XML/CustomControlXML/Voice6533Control.xml"},
    {"MagicSetControlUI", {}, "XML/CustomControlXML/MagicControl.xml"},
    {"KeySetControlUI", {}, "XML/CustomControlXML/KeySetControl.xml"},
    {"MacroSetControlUI", {}, "XML/CustomControlXML/MacroControl.xml"},
    {"ShootKeySetControlUI", {}, "XML/CustomControlXML/ShootControl.xml"},
    {"VirtualSetControlUI", {}, "XML/CustomControlXML/VirtualSet.xml"},
});

// The row of a tag, ignoring case; null for a tag the window does not know.
const LayoutTagRow* FindLayoutTag(std::string_view tag);

// The window's layout callback: a new control of the tag's class (nothing while that class
// is not registered), or the root of the tag's sub-layout built with the manager and no
// callback (nothing when it cannot be built); nothing for any other tag.
std::unique_ptr<ui::CControlUI> CreateLayoutTag(std::string_view tag, ui::CPaintManagerUI& manager);

}  // namespace norvane::shell
