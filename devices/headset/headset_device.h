#pragma once

#include "config/de6533_profiledata.h"
#include "devices/headset/headset_audio.h"
#include "devices/mousepad/mousepad_device.h"

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

// The USB headset: a mousepad (lighting in software, settings block, read-back, status, event
// reader) with its own page (the headset picture with its LED spots, the lighting, audio and
// voice-changer panels), its frames sent as output reports of its own, and its audio through
// the audio configuration library.
//
// Threads: the page, every device transaction and every audio operation run on the UI
// thread; the light thread and event reader are the mousepad's.
class CTarnexDE6533Device : public CTarnexMousePadDevice {
public:
    static constexpr std::string_view kClassName = "TarnexDE6533Device";
    static constexpr std::string_view kPictureName = "de6533_device_key_light";
    static constexpr int kDeviceKind = 7;
    static constexpr int kHeadsetLightClass = 3;
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
    void SendLightFrame() override;
    bool StreamsLightFrames() const override;
    void SyncFromDevice() override;
    int LoadProfileToPage() override;
    void RefreshPage() override;

    // --- the headset's own ---
    void BuildPage() override;
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

protected:
    void OnPageNotify(ui::TNotifyUI& msg) override;

private:
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

    explicit CTarnexDE6533Device(std::unique_ptr<config::CDe6533Profiledata> profile);

    config::CDe6533Profiledata& profile_;  // the pad's profile data, made as the headset's

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
};

}  // namespace norvane::devices
