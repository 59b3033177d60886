#pragma once

#include "config/key_codes.h"
#include "config/light_data.h"
#include "config/profile_data.h"
#include "device/catalogue.h"
#include "device/command_packet.h"
#include "device/hid_channel.h"
#include "devices/common/status_poll.h"
#include "devices/light/base_effects.h"
#include "devices/light/light_frame.h"
#include "devices/light/reactive.h"
#include "ui/container.h"
#include "ui/notify.h"

#include <json/value.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CTabLayoutUI;
class WindowImplBase;
}  // namespace norvane::ui

namespace norvane::pages {
class CDeviceKeyButtonUI;
class CKeySetControlUI;
class CLightControlUI;
}  // namespace norvane::pages

namespace norvane::devices {

// The arguments of a settings-block write; each device kind reads the ones it needs.
struct DeviceSettingsRequest {
    int slot = 0;
    int value = 0;
    int flag = 1;
    int screenWidth = 0;
    int screenHeight = 0;

    // The whole settings block (slot 0, value 0, flag 1) for a screen of that size.
    static DeviceSettingsRequest ForScreen(ui::Size screen) { return {0, 0, 1, screen.cx, screen.cy}; }
};

// A 16-byte record per LED, kept beside the frame for the derived classes.
using LedRecord = std::array<std::uint8_t, 16>;

// The base of every device object: the device's page (a horizontal layout of the toolkit,
// and the notify sink of its own controls) and the owner of its command and event channels,
// its light state, LED frame and files.
//
// Threads: the page, its controls and every operation that is not marked otherwise belong
// to the UI thread. The light thread of a derived class renders with the Effect*
// operations and SetLedColor, which are safe beside the UI thread: frame entries are atomic
// words, the light state, effect state and reactive arrays sit under LightLock().
class CTarnexUSBDevice : public ui::CHorizontalLayoutUI, public ui::INotifyUI {
public:
    static constexpr std::string_view kClassName = "TarnexUSBDevice";
    static constexpr std::chrono::milliseconds kFailedSendPause{200};
    static constexpr std::string_view kFunctionSwitch = "device_function_switch";
    static constexpr std::string_view kKeyFunctionSwitch = "device_key_function_switch";
    // To the main window: wparam the tile index, lparam 1 online or 0 offline.
    static constexpr unsigned kLinkStateMessage = 0x0D03;
    // To the main window (sent on the UI thread, posted from others) when a change of light
    // state or host lighting leaves the device taking frames, so a tile resting its frames
    // starts them: wparam the tile index.
    static constexpr unsigned kLightFramesMessage = 0x0D41;
    // The object's own timer that reads the settings back after a device event.
    static constexpr int kResyncTimerId = 1002;

    CTarnexUSBDevice();
    ~CTarnexUSBDevice() override;

    std::string_view GetClass() const override { return kClassName; }
    void SetManager(ui::CPaintManagerUI* manager, ui::CControlUI* parent) override;
    // Notifications of the window: only those of this page's own controls are handled, and
    // the object's resync timer runs ResyncFromDevice.
    void Notify(ui::TNotifyUI& msg) override;

    // --- virtual operations ---
    // Registers the object as a notifier of its window and indexes the key and light
    // buttons ("key_" N, "light_" N; numbers past the counts are ignored).
    virtual void InitPage();
    virtual int ApplyProfileLighting();
    virtual void EffectBreathing();
    virtual void EffectFourColourBreathing();
    virtual void EffectStatic();
    virtual void EffectSpectrum();
    virtual void EffectBlink();
    virtual void EffectFourColourBlink();
    virtual void EffectOff();
    // Shows the frame on the light buttons and, by cable, sends it to the device.
    virtual void SendLightFrame();
    // Whether SendLightFrame writes to the device now (not only to the page).
    virtual bool StreamsLightFrames() const;
    // Whether the page can be seen (the window is shown); a device whose light thread renders
    // only for the page may then rest.
    virtual void SetPagePreview(bool shown) { static_cast<void>(shown); }
    // Any thread. Out-of-range indices are ignored (set) or read as 0 (get).
    virtual void SetLedColor(int index, light::LedColor entry);
    virtual light::LedColor GetLedColor(int index) const;
    virtual void SyncFromDevice();
    virtual void ResyncFromDevice();
    // Run by the tile's timers 1003 and 1004.
    virtual void ReservedOperation1003();
    virtual void ReservedOperation1004();
    virtual void PollStatus();
    virtual bool CheckLink();
    virtual int LoadProfileToPage();
    virtual void RefreshPage();
    virtual void ValidateMacroKeys();
    virtual void RestoreDefaults();
    virtual std::vector<int> ListUsedMacros();
    virtual int WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> list);
    virtual int WriteCurrentKeyAssignments(int bank);
    // The current key list with every macro-bound key written as its default, for a write
    // whose macros are not on the device; the key list itself is kept.
    virtual int WriteCurrentKeysMacrosAsDefaults(int bank);
    virtual int WriteMacros(std::span<const int> macroIndices);
    virtual int WriteDeviceSettings(const DeviceSettingsRequest& request);
    virtual void LoadLightNames();
    virtual void SetKeyPositionMap(std::vector<int> map);
    virtual void DecayLedValue(int index, int mode);
    virtual void TriggerLedValues();
    virtual void RotateRing(int direction);
    virtual void ClearLedEffects();
    virtual void SwitchFunctionTab(int type);
    virtual int GetFunctionTab() const;
    virtual void LoadProfileFiles();
    virtual std::string GetProfileName() const;
    virtual void SaveDeviceProfile();
    virtual void SetLightClass(int lightClass);
    virtual int GetLightClass() const;
    // The 16-byte light state as four little-endian words.
    virtual void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3);
    // The nine-byte audio light state in three little-endian words; shown on the light panel.
    virtual void SetAudioLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);
    // Reads the state back from the light panel (when there is one), stores and returns it.
    virtual std::array<std::uint32_t, 3> GetAudioLightState();
    virtual void SelectKey(int index);
    // The page's key assignment panel; none on pages without one.
    virtual pages::CKeySetControlUI* KeySetPanel() const { return nullptr; }
    // UI thread: what the device's event readers handed over (see DeviceEventPost).
    virtual void OnDeviceEvent() {}
    // Stops the object's light thread and event readers (the owner's teardown, before its
    // window goes).
    virtual void StopDeviceThreads() {}
    virtual void FeedAudioSpectrum(std::span<const std::int32_t> levels);
    virtual void FeedAudioLevels(std::span<const std::int32_t> levels);
    // The event interface of slot 0 (cable) or 1 (receiver): opened on the device's arrival,
    // closed on its removal. The base opens and closes the slot; a class that reads events
    // also starts and stops its reader. reopen: a re-attach that closes the slot first.
    virtual bool OpenEventInterface(int slot, std::string_view path, bool reopen = false);
    virtual void CloseEventInterface(int slot);

    // --- configuration (non-virtual) ---
    void SetPageLayoutPath(std::string path) { pageLayoutPath_ = std::move(path); }
    const std::string& PageLayoutPath() const { return pageLayoutPath_; }
    void SetMainWindow(ui::WindowImplBase* window) { mainWindow_ = window; }
    ui::WindowImplBase* MainWindow() const { return mainWindow_; }
    void SetKeyButtonCount(int count);
    int KeyButtonCount() const { return keyButtonCount_; }
    // Resizes the light buttons, the frame and the per-LED records and zeroes them. Called
    // during configuration, before any light thread runs.
    void SetLedCount(int count);
    int LedCount() const { return ledCount_; }
    void SetTileIndex(int index) { tileIndex_ = index; }
    int TileIndex() const { return tileIndex_; }
    // Also passed on to the power panel.
    void SetWirelessCapable(bool capable);
    bool IsWirelessCapable() const { return wirelessCapable_; }
    // Whether the tile polls the device's status: wireless-capable devices for their battery,
    // and the mousepad for its phone charger.
    bool PollsStatus() const;
    void SetProfileName(std::string name) { profileName_ = std::move(name); }
    void SetLightConfigName(std::string name) { lightConfigName_ = std::move(name); }
    const std::string& LightConfigName() const { return lightConfigName_; }
    void SetTypeName(std::string name) { typeName_ = std::move(name); }
    const std::string& TypeName() const { return typeName_; }
    void SetPowerPanel(ui::CControlUI* panel);
    ui::CControlUI* PowerPanel() const { return powerPanel_; }
    // Shows a status record (level, power state, receiver flag, …) on the power panel, when
    // the panel shows status records.
    void ShowStatusOnPowerPanel(std::span<const std::uint8_t> status);
    // The last status record a poll read.
    const std::optional<StatusBlock>& LastStatus() const { return lastStatus_; }
    // Copies the row and takes the device kind and role from it.
    void SetCatalogEntry(const device::DeviceCatalogEntry& entry);
    const std::optional<device::DeviceCatalogEntry>& CatalogEntry() const { return catalogEntry_; }
    device::DeviceKind Kind() const { return kind_; }
    device::DeviceRole Role() const { return role_; }
    void SetTile(ui::CControlUI* tile) { tile_ = tile; }
    ui::CControlUI* Tile() const { return tile_; }
    void SetLightPanel(ui::CControlUI* panel) { lightPanel_ = panel; }
    // The page's lighting panel; nullptr when the page has none.
    pages::CLightControlUI* LightPanel() const;
    // Fills the lighting panel with the device's modes (brightness and speed 0–4) and shows the
    // light record (and, on keyboards, the music-light record).
    void FillLightPanel(const std::vector<std::string>& modeNames, const std::vector<bool>& modeVisible);
    void ShowLightOnPanel();
    // A user change of the light record: stored, kept in the profile, saved and sent.
    virtual void WriteLightInfo(const config::LightInfo& info, ui::Size screen);
    // The same for the music-light record.
    virtual void WriteAudioLightInfo(const config::AudioLightInfo& info);
    void SetProfilePanel(ui::CControlUI* panel) { profilePanel_ = panel; }
    void SetSelectionPanel(ui::CControlUI* panel) { selectionPanel_ = panel; }
    // The device picture, repainted by the tile after each frame.
    ui::CControlUI* SelectionPanel() const { return selectionPanel_; }
    // Tells the main window that the device went online or offline (the tile's link checks).
    void ReportLinkState(bool online);
    // Stores the flag; a keyboard (kind 1) given 1 also turns host lighting on in the device.
    // The result of that command, else 1.
    int SetHostLighting(int flag);
    int HostLighting() const { return hostLighting_.load(); }
    void SetWindowActive(int flag) { windowActive_.store(flag); }
    int WindowActive() const { return windowActive_.load(); }
    // Ignored unless the tile polls the device's status.
    void SetStatusPollSuspended(int flag);
    bool IsStatusPollSuspended() const { return statusPollSuspended_.load() != 0; }

    // --- paths (built on every call; empty when a name is not a safe file name) ---
    std::filesystem::path DataFolder() const;
    std::filesystem::path DefaultDataFolderPath() const;
    std::filesystem::path DefaultProfileFile() const;
    std::filesystem::path CurrentProfileFile() const;
    std::filesystem::path LightConfigFile() const;

    // --- state ---
    device::HidChannel& CommandChannel() { return commandChannel_; }
    device::HidChannel& EventChannel() { return eventChannel_; }
    config::LightInfo LightState() const;
    config::AudioLightInfo AudioLightState() const;
    light::EffectState EffectStateNow() const;
    void SetEffectState(const light::EffectState& state);
    light::ReactiveArrays ReactiveState() const;
    int SelectedKey() const { return selectedKey_; }
    const std::vector<pages::CDeviceKeyButtonUI*>& KeyButtons() const { return keyButtons_; }
    const std::vector<pages::CDeviceKeyButtonUI*>& LightButtons() const { return lightButtons_; }
    const std::vector<int>& KeyPositionMap() const { return keyPositionMap_; }
    // Milliseconds of the effects' clock (blink timing); steady time unless replaced.
    void SetEffectClock(std::function<std::uint32_t()> clock) { effectClock_ = std::move(clock); }

    // The light state, audio light state, effect state and reactive arrays.
    std::mutex& LightLock() const { return lightMutex_; }

protected:
    using ui::CControlUI::Notify;
    // The page's message map: a notification of one of this page's controls.
    virtual void OnPageNotify(ui::TNotifyUI& msg);
    // The object's profile data: the base's profile operations (paths, save, device index,
    // restoring the defaults) work on it; without one they do nothing.
    virtual config::CBasicProfiledata* ProfileData() { return nullptr; }
    // The light state without the derived classes' reactions to it.
    void StoreLightState(const config::LightInfo& info);
    // Posts kLightFramesMessage for the object's tile when the device takes frames. Any thread.
    void LightFramesMayStart();
    // Unless suspended: the status record read, kept and shown on the power panel.
    void ReadStatusToPowerPanel();
    // Through the receiver: whether the device behind it answers as linked (false by cable).
    bool ReceiverLinked();
    // ResyncFromDevice after delayMs on the window's clock (a pending one starts again).
    void ScheduleResync(int delayMs);
    // Milliseconds on the window's clock (the toolkit's timers run on it).
    std::uint64_t UiNowMs() const;
    std::uint32_t EffectNowMs() const;
    ui::CControlUI* FindPageControl(std::string_view name);
    // The frame on the page's visible light buttons.
    void ShowFrameOnPage();
    // Sends light frame bytes unless a failed send paused sending; a failure pauses it for
    // kFailedSendPause on the window's clock.
    void SendFrameBytes(std::span<const std::uint8_t> bytes);

    device::HidChannel commandChannel_;
    device::HidChannel eventChannel_;
    device::DeviceInfoBlock deviceInfo_;

    ui::CControlUI* selectionPanel_ = nullptr;
    ui::CControlUI* tile_ = nullptr;
    ui::CControlUI* powerPanel_ = nullptr;
    ui::CTabLayoutUI* functionSwitch_ = nullptr;
    ui::CTabLayoutUI* keyFunctionSwitch_ = nullptr;
    ui::CControlUI* lightPanel_ = nullptr;
    ui::CControlUI* profilePanel_ = nullptr;
    ui::WindowImplBase* mainWindow_ = nullptr;

    std::string pageLayoutPath_;
    std::string profileName_;
    std::string lightConfigName_;
    std::string typeName_;

    int keyButtonCount_ = 0;
    int ledCount_ = 0;
    std::vector<pages::CDeviceKeyButtonUI*> keyButtons_;
    std::vector<pages::CDeviceKeyButtonUI*> lightButtons_;
    light::LightFrame frame_;
    std::vector<LedRecord> ledRecords_;

    std::vector<int> keyToPosition_;
    std::vector<int> keyToLed_;
    std::vector<int> keyPositionMap_;

    Json::Value profileDoc_;
    Json::Value lightConfigDoc_;
    Json::Value defaultDoc_;

    // The derived classes' light lists, each under its lock.
    std::mutex lightListMutex_;
    std::vector<config::LightListEntry> lightList_;
    std::mutex effectStepsMutex_;
    std::vector<config::LightEffectStep> effectSteps_;
    int effectStepCount_ = 0;
    int effectStepCursor_ = 0;

    std::atomic<int> hostLighting_{1};
    std::atomic<int> windowActive_{1};
    int tileIndex_ = -1;
    int selectedKey_ = -1;
    int functionTab_ = 1;
    device::DeviceKind kind_ = device::DeviceKind::Keyboard;
    device::DeviceRole role_ = device::DeviceRole::Command;
    bool wirelessCapable_ = false;
    std::atomic<int> statusPollSuspended_{0};
    int lightClass_ = 0;
    std::optional<device::DeviceCatalogEntry> catalogEntry_;

private:
    mutable std::mutex lightMutex_;
    config::LightInfo lightState_;            // guarded by lightMutex_
    config::AudioLightInfo audioLightState_;  // guarded by lightMutex_
    light::EffectState effect_;               // guarded by lightMutex_
    light::ReactiveArrays reactive_;          // guarded by lightMutex_

    std::function<std::uint32_t()> effectClock_;
    // Device sends are skipped until then after a failed one (UI clock).
    std::optional<std::uint64_t> sendPausedUntilMs_;
    std::optional<StatusBlock> lastStatus_;
    bool notifierRegistered_ = false;
};

// The 16-byte light state and its four little-endian words.
config::LightInfo LightInfoFromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3);
std::array<std::uint32_t, 4> LightInfoToWords(const config::LightInfo& info);
config::AudioLightInfo AudioLightFromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);
std::array<std::uint32_t, 3> AudioLightToWords(const config::AudioLightInfo& info);

}  // namespace norvane::devices
