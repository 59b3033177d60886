#include "shell/device_list/page_factory.h"

#include "devices/mousepad/power_panel.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "shell/device_list/device_option.h"
#include "shell/profile_page/device_profile.h"
#include "ui/control_factory.h"

#include <string>

namespace norvane::shell {
namespace {

constexpr std::string_view kDevicePrefix = "Tarnex";
constexpr std::string_view kDeviceSuffix = "Device";

bool FactoryKnows(std::string_view tag) {
    const auto& factory = ui::CControlFactory::Instance();
    const std::string name(tag);
    return factory.Has(name) || factory.Has("C" + name) || factory.Has("C" + name + "UI");
}

// Takes ownership of a built root as T, or wraps it in a new T.
template <typename T>
std::unique_ptr<T> AdoptOrWrap(std::unique_ptr<ui::CControlUI> root) {
    if (auto* typed = dynamic_cast<T*>(root.get())) {
        static_cast<void>(root.release());
        return std::unique_ptr<T>(typed);
    }
    auto wrapper = std::make_unique<T>();
    if (root) {
        wrapper->Add(std::move(root));
    }
    return wrapper;
}

}  // namespace

bool IsDeviceClassTag(std::string_view tag) {
    return tag.size() > kDevicePrefix.size() + kDeviceSuffix.size() && tag.starts_with(kDevicePrefix) &&
           tag.ends_with(kDeviceSuffix);
}

std::unique_ptr<ui::CControlUI> PageBuilderCallback::CreateControl(std::string_view tag) {
    if (outer_ != nullptr) {
        if (auto made = outer_->CreateControl(tag)) {
            return made;
        }
    }
    if (tag == CDeviceOptionUI::kClassName) {
        return std::make_unique<CDeviceOptionUI>();
    }
    if (IsDeviceClassTag(tag) && !FactoryKnows(tag)) {
        return std::make_unique<devices::CTarnexUSBDevice>();
    }
    return nullptr;
}

void RegisterDeviceListControls() {
    ui::CControlFactory::Instance().Register<CDeviceOptionUI>(std::string(CDeviceOptionUI::kClassName));
    devices::RegisterPowerPanel(ui::CControlFactory::Instance());
    RegisterProfileControls(ui::CControlFactory::Instance());
}

std::unique_ptr<devices::CTarnexUSBDevice> BuildDevicePage(std::string_view layout,
                                                           ui::CPaintManagerUI& manager,
                                                           ui::IDialogBuilderCallback* callback) {
    PageBuilderCallback chain(callback);
    ui::CDialogBuilder builder;
    auto root = builder.Create(layout, &manager, &chain);
    if (!root) {
        platform::diag::Trace("device page layout not built, using an empty page: " + std::string(layout));
    }
    return AdoptOrWrap<devices::CTarnexUSBDevice>(std::move(root));
}

std::unique_ptr<CDeviceOptionUI> BuildTile(std::string_view layout, ui::CPaintManagerUI& manager,
                                           ui::IDialogBuilderCallback* callback) {
    PageBuilderCallback chain(callback);
    ui::CDialogBuilder builder;
    auto root = builder.Create(layout, &manager, &chain);
    if (!root) {
        platform::diag::Trace("device tile layout not built: " + std::string(layout));
        return nullptr;
    }
    auto tile = AdoptOrWrap<CDeviceOptionUI>(std::move(root));
    tile->CacheControls();
    return tile;
}

std::unique_ptr<devices::CMpDevicePowerUI> BuildPowerPanel(std::string_view layout,
                                                           ui::CPaintManagerUI& manager,
                                                           ui::IDialogBuilderCallback* callback) {
    PageBuilderCallback chain(callback);
    ui::CDialogBuilder builder;
    auto root = builder.Create(layout, &manager, &chain);
    if (!root) {
        platform::diag::Trace("power panel layout not built, using an empty panel: " + std::string(layout));
    }
    return AdoptOrWrap<devices::CMpDevicePowerUI>(std::move(root));
}

}  // namespace norvane::shell
