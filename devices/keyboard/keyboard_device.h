#pragma once

#include "config/keyboard_profiledata.h"
#include "devices/common/name_lists.h"
#include "devices/common/status_poll.h"
#include "devices/device_events.h"
#include "devices/device_thread.h"
#include "devices/event_readers.h"
#include "devices/keyboard/key_tables.h"
#include "devices/keyboard/settings_sync.h"
#include "devices/keyboard/wire.h"
#include "devices/light/keyboard_engine.h"
#include "devices/macro_panel_link.h"
#include "devices/profile_switch.h"
#include "devices/usb_device.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CControlFactory;
}  // namespace norvane::ui

namespace norvane::devices {

// The keyboard's device object: its page (key picture, option controls), its data and
// settings on the device, its light engine and light thread, and its two event readers.
//
// Threads: everything runs on the UI thread except the light thread (engine and frame, under
// engineMutex_) and the event readers, which only store what an event asks for in atomics
// and post a device event to the main window (DeviceEventPost).
class CTarnexKeyboardDevice : public CTarnexUSBDevice {
public:
    static constexpr std::string_view kClassName = "TarnexKeyboardDevice";
    // The resync after a device event runs this long after it on the UI clock.
    static constexpr int kResyncDelayMs = 50;
    static constexpr int kKeyButtonKey110 = 110;
    static constexpr std::string_view kPictureName = "keyboard_device_key_light_";
    static constexpr std::string_view kLayoutTabs = "keyboard_device_key_layout";
    static constexpr int kLayoutVariants = 5;

    CTarnexKeyboardDevice();
    ~CTarnexKeyboardDevice() override;
    CTarnexKeyboardDevice(const CTarnexKeyboardDevice&) = delete;
    CTarnexKeyboardDevice& operator=(const CTarnexKeyboardDevice&) = delete;

    std::string_view GetClass() const override { return kClassName; }

    // --- operations of the base ---
    void InitPage() override;
    int ApplyProfileLighting() override;
    void SendLightFrame() override;
    bool StreamsLightFrames() const override;
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
    int WriteDeviceSettings(const DeviceSettingsRequest& request) override;
    void LoadLightNames() override;
    void SwitchFunctionTab(int type) override;
    void LoadProfileFiles() override;
    std::string GetProfileName() const override;
    void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
    void SetAudioLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) override;
    void SelectKey(int index) override;
    pages::CKeySetControlUI* KeySetPanel() const override;
    void FeedAudioSpectrum(std::span<const std::int32_t> levels) override;
    void FeedAudioLevels(std::span<const std::int32_t> levels) override;

    // --- the keyboard's own operations ---
    // Indexes the key picture of variant 0 and finds the panels the layout has.
    void BuildPage();
    std::array<std::uint32_t, 4> GetLightState() const { return LightInfoToWords(LightState()); }
    // The key picture of variant v (tab v, buttons of "keyboard_device_key_light_" v).
    void SelectLayoutVariant(int variant);
    int LayoutVariantShown() const { return layoutVariant_; }
    // The interface language index; it picks the key picture at the next key read.
    void SetLanguageIndex(int index) { languageIndex_ = index; }
    // Key count, key table and LED map; on success the layout variant of the keyboard.
    int ReadKeysFromDevice();
    // The active slot's settings into the page and profile; the mode restarts when it changed.
    int ReadSettingsFromDevice();
    void SetCustomGroup(int group);
    // The current group's custom colours from the profile into the frame, then to the device.
    int LoadCustomColors();
    void ApplyCustomColors();
    // Mode 19: the key takes the light state's colour, stored in its group and, by cable, sent.
    int PaintKey(int keyIndex);
    // Mode 19: the selected keys of the picture lit in the light state's colour or dark, stored
    // in the current group and, by cable, sent. kNoAnswer when no key is selected.
    int PaintSelectedKeys(bool lit);
    // Mode 19: the frame's per-key colours to the keyboard's colour table (index 0).
    int WriteCustomColors();
    // LoadProfileToPage, ValidateMacroKeys, RefreshPage, settings, macros, custom colours, keys.
    ProfileSwitchResult SwitchProfile();
    // The captions and reassignment marks of the key picture from the key list.
    void RefreshKeyCaptions();

    void SetKeyList(std::vector<config::KeyListEntry> list);
    void SetOtherKeyList(std::vector<config::KeyListEntry> list);
    // The selected key's current assignment; false when no key of the list is selected.
    bool SetSelectedKeyAssignment(std::uint8_t type, std::uint8_t param1, std::uint8_t param2);
    // The key panel's apply: the selected key's current assignment stored, the profile saved
    // and the captions renewed; false when no key is selected.
    bool ApplySelectedKey(config::KeyAssignment current);
    const std::vector<config::KeyListEntry>& KeyList() const { return keyList_; }

    // Event interfaces: slot 0 the cable slot (kind 1), 1 the receiver slot (kind 9). With
    // reopen a running reader of that slot is stopped and its interface closed first.
    bool OpenEventInterface(int slot, std::string_view path, bool reopen = false) override;
    void CloseEventInterface(int slot) override;
    bool IsEventInterfaceOpen(int slot) const;
    // While the page is not shown, the light thread renders only the modes streamed to the
    // keyboard and otherwise sleeps until woken. Any thread.
    void SetPagePreview(bool shown) override;
    bool PagePreview() const { return pagePreview_.load(); }
    void StopDeviceThreads() override;
    bool LightThreadRunning() const { return lightThread_.Running(); }

    void OnDeviceEvent() override;
    int EventId() const { return eventPost_.Id(); }
    bool RebuildPending() const { return rebuildPending_.load(); }

    // --- state, for the pages and tests ---
    const keyboard::KeyboardTables& Tables() const { return tables_; }
    const keyboard::KeyboardSettingsState& Settings() const { return settings_; }
    const DeviceNameLists& Names() const { return names_; }
    config::CKeyboardProfiledata& Profile() { return profile_; }
    int EngineMode() const;

protected:
    void OnPageNotify(ui::TNotifyUI& msg) override;
    config::CBasicProfiledata* ProfileData() override { return &profile_; }

private:
    void IndexPicture(int variant);
    void FindPanels();
    void StartLight();
    // Light state into the base, the profile and the engine; the mode restarts when it changed.
    void TakeLightState(const config::LightInfo& light);
    void SetOptionControls();
    void ShowRepeatDelay(int delay);
    // "reset_repeat_btn": the repeat rate and delay of the factory profile, shown and stored.
    void ResetRepeatSettings();
    void StoreSettings();
    std::vector<config::KeyColor> FrameKeyColors() const;
    // The frame as the group's custom colours: stored, saved and, by cable, sent.
    int StoreCustomFrame(int group);
    std::uint8_t BrightnessLevelOfLight() const;
    void OnEventCode(std::uint16_t code);
    std::vector<config::LightModeName> ModeNames();

    keyboard::KeyboardTables tables_;
    keyboard::KeyboardSettingsState settings_;
    config::CKeyboardProfiledata profile_;
    DeviceNameLists names_;
    std::vector<config::KeyListEntry> keyList_;
    std::vector<config::KeyListEntry> otherKeyList_;
    int layoutVariant_ = 0;
    int languageIndex_ = 0;
    bool refreshing_ = false;  // RefreshPage sets controls: their notifications are not changes

    ui::CControlUI* keySetPanel_ = nullptr;
    ui::CControlUI* macroPanel_ = nullptr;
    DeviceMacroLink macroLink_{
        *this,
        {[this] { return keyList_; },
         [this](std::vector<config::KeyListEntry> keys) { SetKeyList(std::move(keys)); },
         [this] { RefreshKeyCaptions(); }}};

    // The light engine and the times of its clock (steady milliseconds since lightEpoch_).
    mutable std::mutex engineMutex_;
    light::KeyboardLightEngine engine_;  // guarded by engineMutex_
    const StopSignal::Clock::time_point lightEpoch_ = StopSignal::Clock::now();
    std::atomic<bool> pagePreview_{true};

    // What the event readers ask of the UI thread.
    DeviceEventPost eventPost_{*this};
    std::atomic<bool> rebuildPending_{false};
    std::atomic<bool> resyncPending_{false};
    std::atomic<int> switchedProfile_{-1};

    // Last: destroyed, and joined, before everything their bodies use.
    DeviceThread lightThread_{DeviceThread::kLightThreadBound};
    EventReaders readers_;
};

}  // namespace norvane::devices
