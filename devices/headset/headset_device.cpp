// The headset object's page, profile, lighting, settings block and event reader.
#include "devices/headset/headset_device.h"

#include "devices/headset/led_reports.h"
#include "devices/headset/voice6533_control.h"
#include "pages/magic_control.h"
#include "ui/paint_manager.h"

#include <algorithm>
#include <string>

namespace norvane::devices {
CTarnexDE6533Device::CTarnexDE6533Device()
    : CTarnexDE6533Device(std::make_unique<config::CDe6533Profiledata>()) {
}

CTarnexDE6533Device::CTarnexDE6533Device(std::unique_ptr<config::CDe6533Profiledata> profile)
    : CTarnexMousePadDevice(light::PeripheralClass::Headset, headset::kHeadsetLeds, std::move(profile)),
      // The pad holds the profile data this constructor made as the headset's.
      profile_(static_cast<config::CDe6533Profiledata&>(*ProfileData())) {
}

CTarnexDE6533Device::~CTarnexDE6533Device() {
    StopDeviceThreads();
}

// --- page ---

void CTarnexDE6533Device::InitPage() {
    CTarnexMousePadDevice::InitPage();  // builds the page
    StartAudio();
}

void CTarnexDE6533Device::BuildPage() {
    SetSelectionPanel(FindPageControl(kPictureName));
    // Panels the layout does not have yet are skipped.
    profilePanel_ = FindPageControl("DeviceProfileItem");
    lightPanel_ = FindPageControl("LightControlItem");
    magicPanel_ = FindPageControl("MagicControlItem");
    voicePanel_ = FindPageControl("Voice6533ControlItem");
    if (auto* magic = MagicPanel()) {
        magic->SetDeviceKind(kDeviceKind);
    }
    if (auto* voice = VoicePanel()) {
        voice->SetDeviceKind(kDeviceKind);
    }
}

headset::CVoice6533ControlUI* CTarnexDE6533Device::VoicePanel() {
    return dynamic_cast<headset::CVoice6533ControlUI*>(voicePanel_);
}

pages::CMagicControlUI* CTarnexDE6533Device::MagicPanel() {
    return dynamic_cast<pages::CMagicControlUI*>(magicPanel_);
}

// --- profile ---

int CTarnexDE6533Device::LoadProfileToPage() {
    if (CTarnexMousePadDevice::LoadProfileToPage() == 0) {
        return 0;
    }
    settings_ = profile_.GetHeadsetSettings();
    const std::vector<int> bands = settings_.eqType == config::kCustomEqType
                                       ? profile_.GetCustomEqBands(settings_.customEqSelectIndex)
                                       : profile_.GetEqBands(settings_.eqType);
    if (bands.size() == bands_.size()) {
        std::ranges::copy(bands, bands_.begin());
    }
    customNames_ = profile_.GetCustomEqNames();
    return 1;
}

void CTarnexDE6533Device::RefreshPage() {
    CTarnexMousePadDevice::RefreshPage();
    refreshing_ = true;
    RefreshMagicPanel();
    RefreshVoicePanel();
    refreshing_ = false;
    ShowCapabilities();
}

// --- device ---

void CTarnexDE6533Device::SyncFromDevice() {
    LoadProfileToPage();
    ReadAudioState();
    RefreshPage();
    StartLight();
}

// The frame goes to the command interface as the headset's own output reports; their results
// do not matter, the frame timer sends the next set soon.
void CTarnexDE6533Device::SendLightFrame() {
    if (HostLighting() == 0) {
        return;
    }
    ShowFrameOnPage();
    if (!commandChannel_.IsOpen()) {
        return;
    }
    device::HidInterface& side = commandChannel_.Active();
    for (const headset::LedReport& report : headset::BuildLedReports(frame_)) {
        static_cast<void>(side.SetOutputReport(report));
    }
}

bool CTarnexDE6533Device::StreamsLightFrames() const {
    return HostLighting() != 0 && commandChannel_.IsOpen();
}

// --- events ---

// Reader thread: atomics, the record's active block and a post.
// UI thread.
}  // namespace norvane::devices
