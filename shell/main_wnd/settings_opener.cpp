// The main window's side of the settings window: the firmware list it hands over, opening it
// once at a time and telling it of a new language.
#include "device/catalogue.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "shell/main_wnd/main_wnd.h"
#include "update/service_url.h"
#include "update/set_wnd.h"
#include "update/update_service.h"

namespace norvane::shell {

namespace {
constexpr int kRightInset = 30;
constexpr int kTopOffset = 60;
}  // namespace

std::vector<device::OpenDeviceVersion> CMainWnd::OpenDeviceVersions() const {
    std::vector<device::OpenDeviceVersion> versions;
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        device::HidChannel& channel = page->CommandChannel();
        device::HidInterface& cable = channel.Cable();
        if (!channel.IsOpen() || cable.Path().empty()) {
            continue;  // only the cable interface carries the device's firmware version
        }
        const device::HidAttributes attributes = cable.Attributes();
        const auto catalog = device::DeviceCatalog();
        for (std::size_t row = 0; row < catalog.size(); ++row) {
            if (catalog[row].vendorId == attributes.vendorId &&
                catalog[row].productId == attributes.productId &&
                catalog[row].role == device::DeviceRole::Command) {
                versions.push_back({static_cast<int>(row), attributes.versionNumber});
                break;
            }
        }
    }
    return versions;
}

void CMainWnd::OpenSettings(bool centred) {
    if (setWnd_ != nullptr) {
        return;
    }
    update::CSetWnd::Options options;
    options.firmware = device::BuildFirmwareList(OpenDeviceVersions(), update::InstalledVersion(Settings()));
    for (const LanguageEntry& language : languages_) {
        options.languageTexts.push_back(language.textId);
    }
    options.serviceUrl = update::ResolveUpdateServiceUrl(Settings()).url;
    update::CSetWnd window(std::move(options));
    window.SetOwnerWindow(this);
    window.SetLanguageIndex(languageIndex_);
    if (!window.Create(this, update::CSetWnd::kClassName,
                       {update::CSetWnd::kWidth, update::CSetWnd::kHeight})) {
        platform::diag::Trace("main window: settings window not built");
        return;
    }
    window.SetScale(pm_.GetDPI());
    if (centred || Host() == nullptr) {
        window.CenterWindow();
    } else {
        const ui::Rect main = Host()->ScreenRect();
        window.MoveWindow(
            {main.right - pm_.Scale(kRightInset) - window.PaintManager().Scale(update::CSetWnd::kWidth),
             main.top + pm_.Scale(kTopOffset)});
    }
    setWnd_ = &window;
    window.ShowModal();
    setWnd_ = nullptr;
}

void CMainWnd::TellSettingsOfLanguage() {
    if (setWnd_ != nullptr) {
        setWnd_->SendMessage(update::kLanguageChangedMessage);
    }
}

}  // namespace norvane::shell
