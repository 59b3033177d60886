#include "app/preview_stand_ins.h"

#include <array>
#include <charconv>
#include <string>

#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/label.h"
#include "ui/render.h"

namespace norvane::app {

namespace {

constexpr std::array<std::string_view, 4> kPageRoots = {"TarnexKeyboardDevice", "TarnexMouseDevice",
                                                        "TarnexMousePadDevice", "TarnexDE6533Device"};
constexpr std::array<std::string_view, 8> kPanels = {"DeviceProfile", "LightControl", "KeySetControl",
                                                     "MacroControl",  "ShootControl", "Voice6533Control",
                                                     "DeviceOption",  "MpDevicePower"};

bool Listed(auto const& list, std::string_view tag) {
    for (std::string_view entry : list) {
        if (entry == tag) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<ui::CControlUI> MakePreviewStandIn(std::string_view tag) {
    const auto& factory = ui::CControlFactory::Instance();
    if (factory.Has(tag) || factory.Has("C" + std::string(tag) + "UI")) {
        return nullptr;
    }
    if (Listed(kPageRoots, tag)) {
        return std::make_unique<ui::CVerticalLayoutUI>();
    }
    if (!Listed(kPanels, tag)) {
        return nullptr;
    }
    auto box = std::make_unique<ui::CLabelUI>();
    box->SetText(std::string(tag));
    box->SetTextStyle(ui::kAlignCenter | ui::kAlignVCenter | ui::kTextSingleLine);
    box->SetAttribute("textcolor", "#FF8A909A");
    box->SetAttribute("bkcolor", "#FF15171B");
    box->SetAttribute("bordercolor", "#FF2E333C");
    box->SetAttribute("bordersize", "1");
    box->SetAttribute("borderround", "8");
    return box;
}

bool SelectTab(ui::CPaintManagerUI& manager, std::string_view selection) {
    auto eq = selection.rfind('=');
    if (eq == std::string_view::npos || eq == 0) {
        return false;
    }
    std::string_view digits = selection.substr(eq + 1);
    int index = -1;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
        return false;
    }
    auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(manager.FindControl(selection.substr(0, eq)));
    return tabs != nullptr && index >= 0 && index < tabs->GetCount() && tabs->SelectItem(index);
}

}  // namespace norvane::app
