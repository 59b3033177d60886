// The keyboard object's device operations: reads, writes and the profile switch. Every
// sequence goes through the keyboard's wire operations, which close their configuration
// bracket on every path and change nothing unless they succeeded in full.
#include "device/commands.h"
#include "devices/keyboard/key_table.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/keyboard/layout_variant.h"
#include "devices/light/tables.h"
#include "platform/diag.h"

#include <string>

namespace norvane::devices {
namespace {

namespace code = device::result;

void TraceFailure(std::string_view what, int result) {
    if (result != code::kSuccess && platform::diag::Enabled()) {
        platform::diag::Trace("keyboard: " + std::string(what) + " " + std::to_string(result));
    }
}

}  // namespace

int CTarnexKeyboardDevice::ReadKeysFromDevice() {
    const int r = keyboard::ReadKeysFromDevice(commandChannel_, tables_);
    TraceFailure("key read", r);
    if (r == code::kSuccess && catalogEntry_) {
        SelectLayoutVariant(
            keyboard::LayoutVariant(catalogEntry_->vendorId, catalogEntry_->productId, languageIndex_));
    }
    return r;
}

int CTarnexKeyboardDevice::ReadSettingsFromDevice() {
    const std::vector<config::LightModeName> modes = ModeNames();
    settings_.light = LightState();
    const int r = keyboard::SyncSettingsFromDevice(commandChannel_, tables_, modes, light::kBrightnessLevels,
                                                   settings_, profile_);
    TraceFailure("settings read", r);
    if (r != code::kSuccess) {
        return r;
    }
    TakeLightState(settings_.light);
    if (settings_.light.selectedMode == keyboard::kCustomLightMode) {
        ApplyCustomColors();
    }
    return r;
}

void CTarnexKeyboardDevice::SyncFromDevice() {
    // Without a complete key read the settings are not read either: the page shows the
    // profile, and the next sync or device event reads again.
    const bool keysRead = ReadKeysFromDevice() == code::kSuccess;
    LoadProfileToPage();
    if (keysRead) {
        ReadSettingsFromDevice();
    }
    RefreshPage();
    StartLight();
}

void CTarnexKeyboardDevice::ResyncFromDevice() {
    if (rebuildPending_.exchange(false)) {
        LoadProfileToPage();
    }
    ReadSettingsFromDevice();
    RefreshPage();
}

void CTarnexKeyboardDevice::PollStatus() {
    ReadStatusToPowerPanel();
}

bool CTarnexKeyboardDevice::CheckLink() {
    return ReceiverLinked();
}

int CTarnexKeyboardDevice::WriteDeviceSettings(const DeviceSettingsRequest& request) {
    const int r =
        keyboard::WriteDeviceSettings(commandChannel_, request.slot, static_cast<std::uint8_t>(request.value),
                                      LightState(), settings_.settings, ModeNames());
    TraceFailure("settings write", r);
    return r;
}

int CTarnexKeyboardDevice::WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> list) {
    const int r = keyboard::WriteKeyAssignments(commandChannel_, tables_, bank, list,
                                                devices::MacroCount(DataFolder()), MacroBindings::Slots);
    TraceFailure("key table write", r);
    return r;
}

int CTarnexKeyboardDevice::WriteCurrentKeyAssignments(int bank) {
    return WriteKeyAssignments(bank, keyList_);
}

int CTarnexKeyboardDevice::WriteCurrentKeysMacrosAsDefaults(int bank) {
    const int r = keyboard::WriteKeyAssignments(commandChannel_, tables_, bank, keyList_,
                                                devices::MacroCount(DataFolder()), MacroBindings::Defaults);
    TraceFailure("key table write", r);
    return r;
}

int CTarnexKeyboardDevice::WriteMacros(std::span<const int> macroIndices) {
    const MacroWriteResult r = devices::WriteMacros(commandChannel_, DataFolder(), macroIndices);
    TraceFailure("macro write", r.wire);
    return r.code;
}

ProfileSwitchResult CTarnexKeyboardDevice::SwitchProfile() {
    ProfileSwitchResult result;
    result.load = LoadProfileToPage();
    ValidateMacroKeys();
    RefreshPage();
    result.settings = WriteDeviceSettings({});
    const std::vector<int> used = ListUsedMacros();
    result.macros = WriteMacros(used);
    result.colors = LoadCustomColors();
    // Macros not on the device: their keys get their defaults this time.
    result.keys = result.macros == 0 ? WriteCurrentKeyAssignments(0) : WriteCurrentKeysMacrosAsDefaults(0);
    return result;
}

}  // namespace norvane::devices
