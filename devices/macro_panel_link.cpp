#include "devices/macro_panel_link.h"

#include "config/profile_store.h"
#include "devices/usb_device.h"
#include "pages/macro/macro_control.h"
#include "ui/combo.h"

#include <algorithm>

namespace norvane::devices {
namespace {

constexpr std::string_view kMacroSelector = "keyset_macro_combo";
constexpr std::string_view kKeySaveButton = "key_butt_prosave";

}  // namespace

DeviceMacroLink::DeviceMacroLink(CTarnexUSBDevice& device, KeyAccess access)
    : device_(device), access_(std::move(access)) {}

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

bool DeviceMacroLink::HasDevice() const {
    return device_.CommandChannel().IsOpen();
}

std::vector<int> DeviceMacroLink::ListUsedMacros() {
    return device_.ListUsedMacros();
}

int DeviceMacroLink::WriteMacros(std::span<const int> macroIndices) {
    return device_.WriteMacros(macroIndices);
}

int DeviceMacroLink::WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> keys) {
    return device_.WriteKeyAssignments(bank, keys);
}

void DeviceMacroLink::SaveDeviceProfile() {
    device_.SaveDeviceProfile();
}

void DeviceMacroLink::ShowDefaultForSelectedKey() {
    std::vector<config::KeyListEntry> keys = CurrentKeys();
    const int selected = device_.SelectedKey();
    const auto key = std::ranges::find(keys, selected, [](const config::KeyListEntry& e) { return int{e.keyIndex}; });
    if (selected < 0 || key == keys.end()) {
        return;
    }
    key->current = key->defaultAssignment;
    if (access_.setKeys) {
        access_.setKeys(std::move(keys));
    }
    RefreshKeyCaptions();
}

void DeviceMacroLink::WriteFinished() {
    if (ui::CControlUI* save = device_.FindSubControl(kKeySaveButton)) {
        save->SetEnabled(false);
    }
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
