#include "devices/macro_panel_link.h"

#include "config/profile_store.h"
#include "devices/device_write.h"
#include "devices/usb_device.h"
#include "pages/key_set/key_set_control.h"
#include "pages/macro/macro_control.h"
#include "ui/combo.h"

#include <algorithm>

namespace norvane::devices {
namespace {

constexpr std::string_view kMacroSelector = "keyset_macro_combo";

}  // namespace

DeviceMacroLink::DeviceMacroLink(CTarnexUSBDevice& device, KeyAccess access)
    : device_(device), access_(std::move(access)) {
}

std::vector<config::KeyListEntry> DeviceMacroLink::CurrentKeys() const {
    return access_.keys ? access_.keys() : std::vector<config::KeyListEntry>{};
}

void DeviceMacroLink::StoreCurrentKeys(std::vector<config::KeyListEntry> keys) {
    if (access_.setKeys) {
        access_.setKeys(std::move(keys));
    }
    device_.SaveDeviceProfile();
}

std::vector<std::filesystem::path> DeviceMacroLink::ProfileFiles() const {
    const config::ProfileStore store(device_.DataFolder(), device_.DefaultProfileFile());
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < store.Count(); ++i) {
        if (auto path = store.PathOf(i); !path.empty()) {
            files.push_back(std::move(path));
        }
    }
    return files;
}

std::filesystem::path DeviceMacroLink::CurrentProfileFile() const {
    return device_.CurrentProfileFile();
}

void DeviceMacroLink::ReloadMacroNames() {
    device_.LoadLightNames();  // the name lists include the macro names
}

void DeviceMacroLink::RefreshKeyCaptions() {
    if (access_.refreshCaptions) {
        access_.refreshCaptions();
    }
}

ui::CComboUI* DeviceMacroLink::MacroSelector() {
    return dynamic_cast<ui::CComboUI*>(device_.FindSubControl(kMacroSelector));
}

std::optional<pages::MacroWriteOutcome> DeviceMacroLink::WriteToDevice() {
    if (!device_.CommandChannel().IsOpen()) {
        return std::nullopt;
    }
    pages::CKeySetControlUI* keyPanel = device_.KeySetPanel();
    const DeviceWriteReport report = WriteMacrosAndKeys(device_, [keyPanel](int macros) {
        // Macros too large for the device: the selected key falls back to its default.
        if (macros > 0 && keyPanel != nullptr) {
            keyPanel->ShowDefault();
            keyPanel->Apply();
        }
    });
    if (keyPanel != nullptr) {
        keyPanel->WriteDone();
    }
    return pages::MacroWriteOutcome{report.macros, report.macroKeysAtDefaults, report.messageId,
                                    kMacroKeysAtDefaultsMessage};
}

void ConnectMacroPanel(ui::CControlUI* panel, CTarnexUSBDevice& device, DeviceMacroLink& link) {
    auto* macro = dynamic_cast<pages::CMacroControlUI*>(panel);
    if (macro == nullptr) {
        return;
    }
    macro->SetDeviceLink(&link);
    macro->SetMacroFolder(device.DataFolder());
    macro->LoadLibrary();
}

}  // namespace norvane::devices
