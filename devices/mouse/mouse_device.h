#pragma once

#include "config/mouse_profiledata.h"
#include "devices/common/name_lists.h"
#include "devices/common/status_poll.h"
#include "devices/device_events.h"
#include "devices/event_readers.h"
#include "devices/mouse/button_table.h"
#include "devices/mouse/dpi_scale.h"
#include "devices/mouse/mouse_wire.h"
#include "devices/mouse/settings_block.h"
#include "devices/peripheral_light.h"
#include "devices/profile_switch.h"
#include "devices/macro_panel_link.h"
#include "devices/usb_device.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::pages {
class CShootControlUI;
}  // namespace norvane::pages

namespace norvane::devices {

// The mouse's device object, by cable or through its receiver: its page (the mouse picture,
// DPI stages, report rate, pointer settings, key info list), its settings, key table,
// macros and recoil patterns on the device, its lighting in software and its two event
// readers.
//
// Threads: the page and every device transaction run on the UI thread. The light thread
// renders through PeripheralLighting; the event readers store what an event asks for in
// atomics (the reactive flash goes straight to the lighting) and post a device event.
class CTarnexMouseDevice : public CTarnexUSBDevice {
public:
    static constexpr std::string_view kClassName = "TarnexMouseDevice";
    static constexpr int kDeviceKind = 2;
    static constexpr int kMouseLightClass = 1;
    static constexpr int kStageCount = 5;
    static constexpr int kReportRates = 5;
    static constexpr int kResyncDelayMs = 50;

    static constexpr std::string_view kDpiSlider = "DPI_slider_";
    static constexpr std::string_view kDpiEdit = "DPI_edit_";
    static constexpr std::string_view kDpiEnable = "DPI_enable_check_";
    static constexpr std::string_view kDpiSelect = "DPI_select_check_";
    static constexpr std::string_view kDpiLayout = "DPI_layout_";
    static constexpr std::string_view kDpiColour = "DPI_color_option_";
    static constexpr std::string_view kReportRateOption = "polling_rate_option_";
    static constexpr std::string_view kPointerSpeed = "pointer_speed_slider";
    static constexpr std::string_view kPointerPrecision = "pointer_precision_check";
    static constexpr std::string_view kScrollPage = "scrolls_page_check";
    static constexpr std::string_view kScrollSpeed = "scroll_speed_slider";
    static constexpr std::string_view kDoubleClick = "double_click_slider";
    static constexpr std::string_view kSettingsOption = "mouse_device_seting_option_";
    static constexpr std::string_view kSettingsTabs = "mouse_device_seting_layout";
    static constexpr std::string_view kSettingsOptions = "mouse_option_layout";
    static constexpr std::string_view kHint = "device_tishi_info";
    static constexpr std::string_view kKeyInfoList = "device_setkeyinfo_list";
    static constexpr std::string_view kPreviewPrefix = "light_0_";
    static constexpr std::string_view kLogo = "logo";

    CTarnexMouseDevice();
    ~CTarnexMouseDevice() override;
    CTarnexMouseDevice(const CTarnexMouseDevice&) = delete;
    CTarnexMouseDevice& operator=(const CTarnexMouseDevice&) = delete;

    std::string_view GetClass() const override { return kClassName; }

    // --- operations of the base ---
    void InitPage() override;
    int ApplyProfileLighting() override;
    void SendLightFrame() override;
    void SyncFromDevice() override;
    void ResyncFromDevice() override;
    void PollStatus() override;
    bool CheckLink() override;
    int LoadProfileToPage() override;
    void RefreshPage() override;
    void ValidateMacroKeys() override;
    void RestoreDefaults() override;
    std::vector<int> ListUsedMacros() override;
    int WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> list) override;
    int WriteCurrentKeyAssignments(int bank) override;
    int WriteCurrentKeysMacrosAsDefaults(int bank) override;
    int WriteMacros(std::span<const int> macroIndices) override;
    // Block 0, first byte 0, flag 1; a request without a screen size takes the primary screen's.
    int WriteDeviceSettings(const DeviceSettingsRequest& request) override;
    void LoadLightNames() override;
    void SwitchFunctionTab(int type) override;
    std::string GetProfileName() const override;
    void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
    void SelectKey(int index) override;
    pages::CKeySetControlUI* KeySetPanel() const override;
    bool OpenEventInterface(int slot, std::string_view path, bool reopen = false) override;
    void CloseEventInterface(int slot) override;
    void OnDeviceEvent() override;
    void StopDeviceThreads() override;

    // --- the mouse's own operations ---
    void BuildPage();
    std::array<std::uint32_t, 4> GetLightState() const { return LightInfoToWords(LightState()); }
    // Current stage := index (within the stages); DPI X of the five stages from their sliders.
    void SelectDpiStage(int index);
    const std::vector<config::DpiStage>& GetDpiStages() const { return stages_; }
    void SetDpiStages(std::vector<config::DpiStage> stages);
    // 0xRRGGBB; 0 for a stage the list does not have.
    std::uint32_t GetStageColour(int stage) const;
    // Stored, shown and saved; false for a stage the list does not have.
    bool SetStageColour(int stage, std::uint32_t rgb);
    const config::MouseSettings& GetMouseSettings() const { return settings_; }
    void SetMouseSettings(const config::MouseSettings& settings);
    // The four recoil patterns of the data folder as the device's shoot memory.
    int WriteShootPatterns();
    // The shoot panel, built on the data folder and the factory folder; null without one.
    pages::CShootControlUI* ShootPanel() const;
    // Tab index of the settings (out-of-range shows tab 0) and its option.
    void SelectSettingsTab(int index);
    // LoadProfileToPage, ValidateMacroKeys, RefreshPage, settings, macros, keys.
    ProfileSwitchResult SwitchProfile();

    void SetKeyList(std::vector<config::KeyListEntry> list);
    // The selected button's current assignment; false when no button is selected.
    bool SetSelectedKeyAssignment(std::uint8_t type, std::uint8_t param1, std::uint8_t param2);
    // The key panel's apply: the selected key's current assignment stored, the profile saved
    // and the captions renewed; false when no key is selected.
    bool ApplySelectedKey(config::KeyAssignment current);
    const std::vector<config::KeyListEntry>& KeyList() const { return keyList_; }
    // Button index holds the left click (0x10, 0x01, 0) and no other button does.
    bool HoldsTheOnlyLeftClick(int index) const;

    bool IsEventInterfaceOpen(int slot) const { return readers_.IsOpen(slot); }
    bool LightThreadRunning() const { return lighting_.Running(); }

    // --- state, for the pages and tests ---
    config::CMouseProfiledata& Profile() { return profile_; }
    const mouse::MouseKeys& Keys() const { return keys_; }
    const mouse::DpiScale& Scale() const { return scale_; }
    int CurrentStage() const { return currentStage_; }
    const std::optional<mouse::MouseReadBack>& Mirror() const { return mirror_; }
    const DeviceNameLists& Names() const { return names_; }
    light::PeripheralLightRecord Record() const { return lighting_.Record(); }
    PeripheralLighting& Lighting() { return lighting_; }

protected:
    void OnPageNotify(ui::TNotifyUI& msg) override;
    config::CBasicProfiledata* ProfileData() override { return &profile_; }

private:
    void FindPanels();
    void CollectPreviewSpots();
    void OnEventCode(std::uint16_t code);
    std::vector<config::LightModeName> ModeNames();
    // Light state into the base and the lighting (no profile write).
    void TakeLightInfo(const config::LightInfo& info);

    // Page display.
    void SetDpiRanges();
    void ShowStage(int stage, int slider);
    void ShowStageEnabled(int stage, bool enabled, bool changed);
    void ShowStageColour(int stage);
    void ShowDpiControls();
    void ShowReportRate();
    void RefreshKeyInfoList();
    int SliderValue(int stage);
    // Profile writes and the device write the page's changes make.
    void StoreStages();
    void StoreSettings();
    void SaveAndApply();
    bool OnDpiNotify(ui::TNotifyUI& msg, std::string_view prefix, int index);
    bool OnSettingsNotify(ui::TNotifyUI& msg, const std::string& name);

    config::CMouseProfiledata profile_;
    DeviceNameLists names_;
    mouse::MouseKeys keys_;
    mouse::DpiScale scale_;
    std::vector<config::KeyListEntry> keyList_;
    std::vector<config::KeyListEntry> otherKeyList_;
    std::vector<config::DpiStage> stages_;
    int currentStage_ = 0;
    config::MouseSettings settings_;
    std::optional<mouse::MouseReadBack> mirror_;
    std::vector<ui::CControlUI*> previewSpots_;
    ui::CControlUI* logo_ = nullptr;
    ui::CControlUI* keySetPanel_ = nullptr;
    ui::CControlUI* macroPanel_ = nullptr;
    DeviceMacroLink macroLink_{*this,
                               {[this] { return keyList_; },
                                [this](std::vector<config::KeyListEntry> keys) { SetKeyList(std::move(keys)); },
                                [this] { RefreshKeyInfoList(); }}};
    ui::CControlUI* shootPanel_ = nullptr;
    int logoLed_ = -1;
    bool refreshing_ = false;  // the page setting its controls: their notifications are not changes

    // What the event readers ask of the UI thread.
    DeviceEventPost eventPost_{*this};
    std::atomic<bool> resyncPending_{false};
    std::atomic<bool> refreshPending_{false};
    std::atomic<int> reportedStage_{-1};

    // Last: destroyed, and joined, before everything their bodies use.
    PeripheralLighting lighting_{light::PeripheralClass::Mouse};
    EventReaders readers_;
};

}  // namespace norvane::devices
