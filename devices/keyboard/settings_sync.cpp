#include "devices/keyboard/settings_sync.h"

#include "devices/keyboard/wire.h"
#include "platform/diag.h"

namespace norvane::devices::keyboard {

int SyncSettingsFromDevice(device::HidChannel& channel, const KeyboardTables& tables,
                           std::span<const config::LightModeName> modes,
                           std::span<const std::uint8_t> brightnessLevels, KeyboardSettingsState& state,
                           config::CKeyboardProfiledata& profile) {
    SettingsReadBack readBack;
    if (const int r = ReadSettingsRecord(channel, readBack); r != device::result::kSuccess) {
        return r;
    }
    KeyboardSettingsState next = state;
    next.activeProfile = readBack.activeProfile;
    next.raw = readBack.record;
    DecodeSettingsRecord(readBack.record, modes, next.light, next.settings);

    std::vector<config::KeyColor> colors;
    if (next.light.selectedMode == kCustomLightMode) {
        const std::uint8_t level =
            next.light.brightness < brightnessLevels.size() ? brightnessLevels[next.light.brightness] : 0;
        if (const int r = ReadCustomColors(channel, tables, level, colors); r != device::result::kSuccess) {
            return r;
        }
    }

    state = next;
    config::KeyboardSettings stored = profile.GetKeyboardSettings();
    stored.wFlag = next.settings.wFlag;
    stored.key6Flag = next.settings.key6Flag;
    stored.winFlag = next.settings.winFlag;
    stored.wheelMode = next.settings.wheelMode;
    profile.SetKeyboardSettings(stored);
    profile.SetLightInfo(next.light);
    if (!colors.empty() && !profile.SetCustomColors(colors, next.light.customGroup)) {
        platform::diag::Trace("keyboard: custom colours of group " + std::to_string(next.light.customGroup) +
                              " not stored");
    }
    if (!profile.SaveProfile()) {
        platform::diag::Trace("keyboard: profile not saved after the settings read");
    }
    return device::result::kSuccess;
}

}  // namespace norvane::devices::keyboard
