// The mouse object's device operations and profile: reads, writes, the profile switch. Every
// sequence goes through the mouse's wire operations, which test the link through the
// receiver, close their configuration bracket on every path and change nothing unless they
// succeeded in full.
#include "device/commands.h"
#include "devices/common/light_mode_code.h"
#include "devices/common/macro_write.h"
#include "devices/mouse/mouse_device.h"
#include "pages/key_set/key_set_control.h"
#include "platform/diag.h"
#include "ui/platform.h"

#include <algorithm>
#include <string>

namespace norvane::devices {
namespace {

namespace code = device::result;

void TraceFailure(std::string_view what, int result) {
    if (result != code::kSuccess && platform::diag::Enabled()) {
        platform::diag::Trace("mouse: " + std::string(what) + " " + std::to_string(result));
    }
}

bool Linked(device::HidChannel& channel) {
    return channel.IsOpen() && (!channel.IsWireless() || device::QueryLink(channel));
}

}  // namespace

// --- profile ---

std::string CTarnexMouseDevice::GetProfileName() const {
    return profile_.GetProfilePath().string();
}

void CTarnexMouseDevice::TakeLightInfo(const config::LightInfo& info) {
    StoreLightState(info);
    lighting_.SetLightState(info);
}

void CTarnexMouseDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
    CTarnexUSBDevice::SetLightState(w0, w1, w2, w3);
    const config::LightInfo info = LightState();
    lighting_.SetLightState(info);
    profile_.SetLightInfo(info);
}

int CTarnexMouseDevice::ApplyProfileLighting() {
    StoreLightState(lighting_.ApplyProfile(profile_, LightConfigFile()));
    return 1;
}

int CTarnexMouseDevice::LoadProfileToPage() {
    LoadProfileFiles();
    const auto path = CurrentProfileFile();
    if (path.empty() || profile_.LoadDeviceDocument(path) == config::LoadStatus::Missing) {
        return 0;
    }
    keyList_ = profile_.GetKeyList();
    otherKeyList_ = profile_.GetOtherKeyList();
    ApplyProfileLighting();
    stages_ = profile_.GetDpiStages();
    currentStage_ = profile_.GetCurrentDpiStage();
    settings_ = profile_.GetMouseSettings();
    return 1;
}

void CTarnexMouseDevice::RestoreDefaults() {
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->HideEditor();
    }
    CTarnexUSBDevice::RestoreDefaults();
}

void CTarnexMouseDevice::SetKeyList(std::vector<config::KeyListEntry> list) {
    keyList_ = std::move(list);
    profile_.SetKeyList(keyList_);
}

bool CTarnexMouseDevice::SetSelectedKeyAssignment(std::uint8_t type, std::uint8_t param1, std::uint8_t param2) {
    const int selected = SelectedKey();
    if (selected < 0 || selected >= static_cast<int>(keyList_.size())) {
        return false;
    }
    keyList_[static_cast<std::size_t>(selected)].current = {type, param1, param2};
    profile_.SetKeyList(keyList_);
    return true;
}

bool CTarnexMouseDevice::HoldsTheOnlyLeftClick(int index) const {
    constexpr config::KeyAssignment kLeftClick{0x10, 0x01, 0x00};
    if (index < 0 || index >= static_cast<int>(keyList_.size()) ||
        keyList_[static_cast<std::size_t>(index)].current != kLeftClick) {
        return false;
    }
    return std::ranges::count_if(keyList_, [&](const config::KeyListEntry& e) { return e.current == kLeftClick; }) ==
           1;
}

void CTarnexMouseDevice::LoadLightNames() {
    names_ = devices::LoadLightNames(DataFolder(), DefaultDataFolderPath(), GetLightClass());
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->SetMacroNames(names_.macroNames);
    }
}

std::vector<config::LightModeName> CTarnexMouseDevice::ModeNames() {
    if (names_.modeCodes.empty()) {
        LoadLightNames();
    }
    return LightModes(names_);
}

void CTarnexMouseDevice::ValidateMacroKeys() {
    LoadLightNames();
    const std::size_t macros = names_.macroNames.size();
    bool changed = false;
    for (config::KeyListEntry& entry : keyList_) {
        if (config::IsMacroType(entry.current.type) && entry.current.param1 >= macros) {
            entry.current = entry.defaultAssignment;
            changed = true;
        }
    }
    if (changed) {
        profile_.SetKeyList(keyList_);
        SaveDeviceProfile();
        RefreshPage();
    }
}

std::vector<int> CTarnexMouseDevice::ListUsedMacros() {
    return mouse::ListUsedMacros(keyList_, keys_.buttonMap, MacroCount(DataFolder()));
}

// --- device ---

void CTarnexMouseDevice::SyncFromDevice() {
    if (Linked(commandChannel_)) {
        mouse::MouseKeys keys;
        const int r = mouse::ReadMouseKeys(commandChannel_, keys);
        TraceFailure("key read", r);
        if (r == code::kSuccess) {
            keys_ = std::move(keys);
            deviceInfo_ = keys_.info;
            scale_ = mouse::DpiScale::FromInfo(keys_.info);
        }
    }
    LoadProfileToPage();
    RefreshPage();
    lighting_.Start(frame_, commandChannel_);
}

void CTarnexMouseDevice::ResyncFromDevice() {
    commandChannel_.SetSync(false);
    if (!commandChannel_.IsOpen()) {
        return;
    }
    mouse::MouseSettingsReadBack readBack;
    const int r = mouse::ReadMouseSettings(commandChannel_, readBack);
    TraceFailure("settings read", r);
    if (r != code::kSuccess) {
        return;  // a failed read changes nothing
    }
    const mouse::MouseReadBackState state =
        mouse::DecodeMouseReadBack(readBack.block, readBack.activeBlock, ModeNames(), LightState());
    mirror_ = state.mirror;
    light::PeripheralLightRecord record = lighting_.Record();
    record.SetActiveBlock(readBack.activeBlock);
    record.SetMode(state.light.selectedMode);
    record.SetBrightness(state.light.brightness);
    record.SetSpeed(state.light.speed);
    record.SetMultiColor(state.light.multiColor);
    record.SetColor(state.light.red, state.light.green, state.light.blue);
    lighting_.SetRecord(record);
    TakeLightInfo(state.light);
    profile_.SetLightInfo(state.light);
    if (profile_.SetCurrentDpiStage(state.currentStage) && state.currentStage < static_cast<int>(stages_.size())) {
        currentStage_ = state.currentStage;
    }
    SaveDeviceProfile();
    RefreshPage();
}

void CTarnexMouseDevice::PollStatus() {
    ReadStatusToPowerPanel();
}

bool CTarnexMouseDevice::CheckLink() {
    return ReceiverLinked();
}

int CTarnexMouseDevice::WriteDeviceSettings(const DeviceSettingsRequest& request) {
    const std::vector<config::LightModeName> modes = ModeNames();
    const std::vector<config::DpiStage> stages = profile_.GetDpiStages();
    const std::vector<config::CorrectionEntry> corrections = profile_.GetCorrectionList();
    mouse::MouseSettingsInputs inputs;
    inputs.light = profile_.GetLightInfo();
    inputs.modes = modes;
    inputs.stages = stages;
    inputs.currentStage = profile_.GetCurrentDpiStage();
    inputs.settings = profile_.GetMouseSettings();
    inputs.corrections = corrections;
    inputs.screenWidth = request.screenWidth;
    inputs.screenHeight = request.screenHeight;
    if (inputs.screenWidth == 0 && inputs.screenHeight == 0) {
        if (const ui::IUiPlatform* platform = ui::CurrentPlatform()) {
            const ui::Size screen = platform->ScreenSize();
            inputs.screenWidth = screen.cx;
            inputs.screenHeight = screen.cy;
        }
    }
    const int r = mouse::WriteMouseSettings(commandChannel_, 0, inputs);
    TraceFailure("settings write", r);
    return r;
}

int CTarnexMouseDevice::WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> list) {
    const int r = mouse::WriteMouseKeyTable(commandChannel_, keys_, bank, list, MacroCount(DataFolder()));
    TraceFailure("key table write", r);
    return r;
}

int CTarnexMouseDevice::WriteCurrentKeyAssignments(int bank) {
    return WriteKeyAssignments(bank, keyList_);
}

int CTarnexMouseDevice::WriteCurrentKeysMacrosAsDefaults(int bank) {
    const int r = mouse::WriteMouseKeyTable(commandChannel_, keys_, bank, keyList_, MacroCount(DataFolder()),
                                            MacroBindings::Defaults);
    TraceFailure("key table write", r);
    return r;
}

int CTarnexMouseDevice::WriteMacros(std::span<const int> macroIndices) {
    const MacroWriteResult r = mouse::WriteMouseMacros(commandChannel_, DataFolder(), macroIndices);
    TraceFailure("macro write", r.wire);
    return r.code;
}

int CTarnexMouseDevice::WriteShootPatterns() {
    const int r = mouse::WriteShootPatterns(commandChannel_, DataFolder());
    TraceFailure("shoot write", r);
    return r;
}

ProfileSwitchResult CTarnexMouseDevice::SwitchProfile() {
    ProfileSwitchResult result;
    result.load = LoadProfileToPage();
    ValidateMacroKeys();
    RefreshPage();
    result.settings = WriteDeviceSettings({});
    const std::vector<int> used = ListUsedMacros();
    result.macros = WriteMacros(used);
    result.colors = code::kSuccess;
    // Macros not on the device: their buttons get their defaults this time.
    result.keys = result.macros == 0 ? WriteCurrentKeyAssignments(0) : WriteCurrentKeysMacrosAsDefaults(0);
    return result;
}

}  // namespace norvane::devices
