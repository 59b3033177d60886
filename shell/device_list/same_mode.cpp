// "deng_same_mode": one device's light effect played in step on every connected device.
#include "shell/device_list/same_mode.h"
#include "devices/usb_device.h"
#include "shell/device_list/device_list.h"

#include <algorithm>

namespace norvane::shell {
namespace {

using device::DeviceKind;

// Effect numbers of breathing, steady, flash, colour cycle and off, by device family.
constexpr std::array<std::uint8_t, 5> kKeyboardEffects = {5, 6, 23, 4, 28};
constexpr std::array<std::uint8_t, 5> kMouseEffects = {2, 3, 4, 1, 9};
constexpr std::array<std::uint8_t, 5> kPeripheralEffects = {2, 3, 4, 1, 8};

constexpr const std::array<std::uint8_t, 5>& EffectsOf(DeviceKind kind) {
    switch (device::FamilyOf(kind)) {
        case device::DeviceFamily::Keyboard:
            return kKeyboardEffects;
        case device::DeviceFamily::Mouse:
            return kMouseEffects;
        case device::DeviceFamily::MousePad:
        case device::DeviceFamily::Headset:
            break;
    }
    return kPeripheralEffects;
}

}  // namespace

std::optional<SyncEffect> SyncEffectOf(DeviceKind kind, std::uint8_t effect) {
    const auto& row = EffectsOf(kind);
    const auto it = std::ranges::find(row, effect);
    if (it == row.end()) {
        return std::nullopt;
    }
    return static_cast<SyncEffect>(it - row.begin());
}

std::uint8_t DeviceEffectOf(DeviceKind kind, SyncEffect effect) {
    return EffectsOf(kind)[static_cast<std::size_t>(effect)];
}

bool DeviceList::ApplySameMode(devices::CTarnexUSBDevice& current) {
    const config::LightInfo state = current.LightState();
    const auto effect = SyncEffectOf(current.Kind(), state.selectedMode);
    if (!effect) {
        return false;
    }
    lightSync_.SetSettings(SyncSettings{*effect, state.brightness, state.speed, state.direction,
                                        state.multiColor, state.red, state.green, state.blue});
    const ui::Size screen = host_->ScreenSize();
    for (const auto* list : {&keyboards_, &mice_, &mousePads_, &headsets_}) {
        for (devices::CTarnexUSBDevice* device : *list) {
            if (!device->CommandChannel().IsOpen()) {
                continue;
            }
            device->CommandChannel().SetSync(true);
            config::LightInfo own = state;
            own.selectedMode = DeviceEffectOf(device->Kind(), *effect);
            host_->ShowLightState(*device, own);
            const auto words = devices::LightInfoToWords(own);
            device->SetLightState(words[0], words[1], words[2], words[3]);
            device->SaveDeviceProfile();
            device->ApplyProfileLighting();
            device->WriteDeviceSettings(devices::DeviceSettingsRequest::ForScreen(screen));
        }
    }
    lightSync_.Wake();
    return true;
}

}  // namespace norvane::shell
