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
constexpr std::array<std::string_view, 2> kRowRoots = {"DeviceOption", "MpDevicePower"};
// Panels whose layout file holds their controls build as a column of those controls.
constexpr std::array<std::string_view, 1> kPanelRoots = {"Voice6533Control"};
constexpr std::array<std::string_view, 5> kPanels = {"DeviceProfile", "LightControl", "KeySetControl",
                                                     "MacroControl", "ShootControl"};

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
    if (Listed(kPageRoots, tag) || Listed(kPanelRoots, tag)) {
        return std::make_unique<ui::CVerticalLayoutUI>();
    }
    if (Listed(kRowRoots, tag)) {
        return std::make_unique<ui::CHorizontalLayoutUI>();
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

ui::CControlUI* AddLayout(ui::CPaintManagerUI& manager, std::string_view addition,
                          ui::IDialogBuilderCallback* callback) {
    auto eq = addition.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq + 1 == addition.size()) {
        return nullptr;
    }
    auto* container = dynamic_cast<ui::CContainerUI*>(manager.FindControl(addition.substr(0, eq)));
    if (container == nullptr) {
        return nullptr;
    }
    ui::CDialogBuilder builder;
    std::unique_ptr<ui::CControlUI> root = builder.Create(addition.substr(eq + 1), &manager, callback);
    return root != nullptr ? container->Add(std::move(root)) : nullptr;
}

bool SetNamedAttribute(ui::CPaintManagerUI& manager, ui::CControlUI* scope, std::string_view assignment) {
    auto eq = assignment.find('=');
    auto dot = assignment.substr(0, eq).find('.');
    if (eq == std::string_view::npos || dot == std::string_view::npos || dot == 0 || dot + 1 == eq) {
        return false;
    }
    std::string_view name = assignment.substr(0, dot);
    ui::CControlUI* target = nullptr;
    if (scope != nullptr) {
        scope->ForEach([&](ui::CControlUI& c) {
            if (target == nullptr && c.GetName() == name) {
                target = &c;
            }
        });
    }
    if (target == nullptr) {
        target = manager.FindControl(name);
    }
    if (target == nullptr) {
        return false;
    }
    target->SetAttribute(assignment.substr(dot + 1, eq - dot - 1), assignment.substr(eq + 1));
    return true;
}

}  // namespace norvane::app
