#pragma once

#include "config/de6533_profiledata.h"
#include "devices/common/name_lists.h"
#include "devices/common/status_poll.h"
#include "devices/device_events.h"
#include "devices/event_readers.h"
#include "devices/headset/headset_audio.h"
#include "devices/peripheral_light.h"
#include "devices/usb_device.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::pages {
class CMagicControlUI;
}  // namespace norvane::pages

namespace norvane::devices {

namespace headset {
class CVoice6533ControlUI;
}  // namespace headset

// The USB headset: its page (the headset picture with its LED spots, the lighting, audio and
// voice-changer panels), its lighting in software with the frames sent as output reports of
// its own, its settings block and event reader as the mousepad's, and its audio through the
// audio configuration library.
//
// Threads: the page, every device transaction and every audio operation run on the UI
// thread. The light thread renders through PeripheralLighting; the event reader stores what
// an event asks for in atomics (and the record's active block) and posts a device event.
class CTarnexDE6533Device : public CTarnexUSBDevice {
public:
    static constexpr std::string_view kClassName = "TarnexDE6533Device";
    static constexpr std::string_view kPictureName = "de6533_device_key_light";
    static constexpr int kDeviceKind = 7;
    static constexpr int kHeadsetLightClass = 3;
    static constexpr int kResyncDelayMs = 500;
    static constexpr std::string_view kMacroIndexFile = "velto_macro.config";
    // Language text shown when a new curve's name is taken.
    static constexpr std::string_view kNameTakenText = "message_text_5";
    // Result of SaveCustomCurve.
    static constexpr int kCurveSaved = 1;
    static constexpr int kCurveNameTaken = 0;
    static constexpr int kCurveNothingToDo = -1;

    CTarnexDE6533Device();
    ~CTarnexDE6533Device() override;
    CTarnexDE6533Device(const CTarnexDE6533Device&) = delete;
    CTarnexDE6533Device& operator=(const CTarnexDE6533Device&) = delete;

    std::string_view GetClass() const override { return kClassName; }

    // --- operations of the base ---
    void InitPage() override;
    int ApplyProfileLighting() override;
    void SendLightFrame() override;
    void SyncFromDevice() override;
    void ResyncFromDevice() override;
    void PollStatus() override;
    int LoadProfileToPage() override;
    void RefreshPage() override;
    int WriteDeviceSettings(const DeviceSettingsRequest& request) override;
    void LoadLightNames() override;
    std::string GetProfileName() const override;
    void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
    bool OpenEventInterface(int slot, std::string_view path, bool reopen = false) override;
    void CloseEventInterface(int slot) override;
    void OnDeviceEvent() override;
    void StopDeviceThreads() override;

    // --- the headset's own ---
    void BuildPage();
    // Once, from InitPage: the library, its devices and features, the start-up defaults and
    // the audio state.
    void StartAudio();
    // The recording device's microphone, monitoring and voice-changer state into the settings.
    void ReadAudioState();

    // --- audio operations (page events) ---
    void ApplyEqualiser(int n);
    void SetCustomBand(int band);
    void ApplySelectedCustomCurve();
    // 1 saved, 0 the name is taken (the message is shown), -1 nothing to do.
    int SaveCustomCurve();
    void DeleteCustomCurve();
    void ToggleMicrophoneMute();
    void SetMicrophoneLevel();
    void ToggleMonitoringMute();
    void SetMonitoringLevel();
    void ToggleVoiceChanger();
    void SelectVoice(int n);

    // --- state, for the pages and tests ---
    bool IsEventInterfaceOpen(int slot) const { return readers_.IsOpen(slot); }
    bool LightThreadRunning() const { return lighting_.Running(); }
    config::CDe6533Profiledata& Profile() { return profile_; }
    const config::HeadsetSettings& Settings() const { return settings_; }
    const config::EqBands& Bands() const { return bands_; }
    const std::vector<std::string>& CustomNames() const { return customNames_; }
    bool MicrophoneMuted() const { return micMuted_; }
    bool MonitoringMuted() const { return monitorMuted_; }
    const headset::HeadsetAudio& Audio() const { return audio_; }
    std::optional<headset::AudioStart> AudioStartResult() const { return audioStart_; }
    // The messages the audio side showed, oldest first.
    const std::vector<std::string>& Messages() const { return messages_; }
    light::PeripheralLightRecord Record() const { return lighting_.Record(); }
    PeripheralLighting& Lighting() { return lighting_; }
    int LastReadBack() const { return lastReadBack_; }

protected:
    void OnPageNotify(ui::TNotifyUI& msg) override;
    config::CBasicProfiledata* ProfileData() override { return &profile_; }

private:
    void OnEventCode(std::uint16_t code);
    std::vector<config::LightModeName> ModeNames();
    void ShowMessage(std::string_view text);
    void StoreSettings();
    // The bands on the sliders and to "EQ_Slider1"... of the playback device.
    void ShowAndWriteBands();
    void ShowBands();
    void RefreshVoicePanel();
    void RefreshMagicPanel();
    void ShowCapabilities();
    headset::CVoice6533ControlUI* VoicePanel();
    pages::CMagicControlUI* MagicPanel();
    bool MicrophoneReady() const { return audio_.HasRecording(); }
    struct CaptureSide;
    static const CaptureSide kMicrophone;
    static const CaptureSide kMonitoring;
    void ShowSide(const CaptureSide& side, bool on);
    void ToggleMute(const CaptureSide& side);
    void SetLevel(const CaptureSide& side);

    config::CDe6533Profiledata profile_;
    DeviceNameLists names_;
    int lastReadBack_ = 0;

    // Audio state: the object's copy of the settings, the bands, the curve names, the mutes.
    headset::HeadsetAudio audio_;
    std::optional<headset::AudioStart> audioStart_;
    config::HeadsetSettings settings_;
    config::EqBands bands_{};
    std::vector<std::string> customNames_;
    bool micMuted_ = false;
    bool monitorMuted_ = false;
    std::vector<std::string> messages_;
    ui::CControlUI* voicePanel_ = nullptr;
    ui::CControlUI* magicPanel_ = nullptr;
    bool refreshing_ = false;

    // What the event reader asks of the UI thread.
    DeviceEventPost eventPost_{*this};
    std::atomic<bool> resyncPending_{false};
    std::atomic<bool> refreshPending_{false};

    // Last: destroyed, and joined, before everything their bodies use.
    PeripheralLighting lighting_{light::PeripheralClass::Headset};
    EventReaders readers_;
};

}  // namespace norvane::devices
