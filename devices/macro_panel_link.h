#pragma once

#include "pages/macro/macro_panel_links.h"

#include <functional>
#include <vector>

namespace norvane::ui {
class CControlUI;
}  // namespace norvane::ui

namespace norvane::devices {

class CTarnexUSBDevice;

// The keyboard's or mouse's side of its macro panel: its key list, profile files, name
// lists and device write.
class DeviceMacroLink final : public pages::IMacroDeviceLink {
public:
    struct KeyAccess {
        std::function<std::vector<config::KeyListEntry>()> keys;
        std::function<void(std::vector<config::KeyListEntry>)> setKeys;
        std::function<void()> refreshCaptions;
    };

    DeviceMacroLink(CTarnexUSBDevice& device, KeyAccess access);

    std::vector<config::KeyListEntry> CurrentKeys() const override;
    void StoreCurrentKeys(std::vector<config::KeyListEntry> keys) override;
    std::vector<std::filesystem::path> ProfileFiles() const override;
    std::filesystem::path CurrentProfileFile() const override;
    void ReloadMacroNames() override;
    void RefreshKeyCaptions() override;
    ui::CComboUI* MacroSelector() override;
    std::optional<pages::MacroWriteOutcome> WriteToDevice() override;

private:
    CTarnexUSBDevice& device_;
    KeyAccess access_;
};

// Gives the page's macro panel (when it has one) the device's macro folder and this link,
// and loads the library into it.
void ConnectMacroPanel(ui::CControlUI* panel, CTarnexUSBDevice& device, DeviceMacroLink& link);

}  // namespace norvane::devices
