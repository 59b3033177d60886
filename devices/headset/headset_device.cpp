// The headset object's page, profile, lighting, settings block and event reader.
#include "devices/headset/headset_device.h"

#include "devices/headset/led_reports.h"
#include "devices/headset/voice6533_control.h"
#include "devices/mousepad/pad_wire.h"
#include "devices/peripheral_events.h"
#include "pages/magic_control.h"
#include "platform/diag.h"
#include "ui/paint_manager.h"

#include <algorithm>
#include <string>

namespace norvane::devices {
namespace {

namespace code = device::result;

constexpr std::string_view kEventReadText = "接收到自动添加设备的同步信息要求  TEST";
constexpr std::string_view kResyncText = "接收到自动添加设备的同步信息要求";
constexpr std::string_view kReaderEndText = "MS设备同步线程设定退出";

void TraceFailure(std::string_view what, int result) {
    if (result != code::kSuccess && platform::diag::Enabled()) {
        platform::diag::Trace("headset: " + std::string(what) + " " + std::to_string(result));
    }
}

}  // namespace

CTarnexDE6533Device::CTarnexDE6533Device()
    : readers_(eventChannel_, DeviceThread::kLightThreadBound, kReaderEndText) {
    SetLedCount(headset::kHeadsetLeds);
    lighting_.SetLedCount(LedCount());
}

CTarnexDE6533Device::~CTarnexDE6533Device() {
    CTarnexDE6533Device::StopDeviceThreads();
}

void CTarnexDE6533Device::StopDeviceThreads() {
    lighting_.Stop();
    readers_.StopAll();
}

// --- page ---

void CTarnexDE6533Device::InitPage() {
    lighting_.SetLedCount(LedCount());
    CTarnexUSBDevice::InitPage();
    BuildPage();
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

std::string CTarnexDE6533Device::GetProfileName() const {
    return profile_.GetProfilePath().string();
}

int CTarnexDE6533Device::ApplyProfileLighting() {
    StoreLightState(lighting_.ApplyProfile(profile_, LightConfigFile()));
    return 1;
}

void CTarnexDE6533Device::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                        std::uint32_t w3) {
    CTarnexUSBDevice::SetLightState(w0, w1, w2, w3);
    lighting_.SetLightState(LightState());
}

int CTarnexDE6533Device::LoadProfileToPage() {
    LoadProfileFiles();
    const auto path = CurrentProfileFile();
    if (path.empty() || profile_.LoadDeviceDocument(path) == config::LoadStatus::Missing) {
        return 0;
    }
    ApplyProfileLighting();
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

void CTarnexDE6533Device::LoadLightNames() {
    names_ = devices::LoadLightNames(DataFolder(), DefaultDataFolderPath(), GetLightClass(), kMacroIndexFile);
}

std::vector<config::LightModeName> CTarnexDE6533Device::ModeNames() {
    if (names_.modeCodes.empty()) {
        LoadLightNames();
    }
    return LightModes(names_);
}

void CTarnexDE6533Device::RefreshPage() {
    LoadLightNames();
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
    lighting_.Start(frame_, commandChannel_);
}

void CTarnexDE6533Device::ResyncFromDevice() {
    commandChannel_.SetSync(false);
    if (!commandChannel_.IsOpen()) {
        return;
    }
    light::PeripheralLightRecord record = lighting_.Record();
    lastReadBack_ = mousepad::ReadPadSettings(commandChannel_, ModeNames(), record);
    TraceFailure("settings read", lastReadBack_);
    if (lastReadBack_ == code::kSuccess) {
        lighting_.SetRecord(record);
    }
}

int CTarnexDE6533Device::WriteDeviceSettings(const DeviceSettingsRequest& request) {
    const int r = mousepad::WritePadSettings(commandChannel_, request.slot, lighting_.Record(),
                                             profile_.GetLightInfo().selectedMode, ModeNames());
    TraceFailure("settings write", r);
    return r;
}

void CTarnexDE6533Device::PollStatus() {
    ReadStatusToPowerPanel();
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

// --- events ---

bool CTarnexDE6533Device::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    return readers_.Open(slot, path, reopen, [this](std::uint16_t code) { OnEventCode(code); });
}

void CTarnexDE6533Device::CloseEventInterface(int slot) {
    readers_.Close(slot);
}

// Reader thread: atomics, the record's active block and a post.
void CTarnexDE6533Device::OnEventCode(std::uint16_t eventCode) {
    platform::diag::Trace(kEventReadText);
    const PeripheralEvent event = ClassifyPeripheralEvent(eventCode);
    switch (event.kind) {
        case PeripheralEventKind::Resync:
            platform::diag::Trace(kResyncText);
            resyncPending_.store(true);
            eventPost_.Post(MainWindow());
            break;
        case PeripheralEventKind::ActiveBlock:
            if (commandChannel_.IsOpen()) {
                lighting_.SetActiveBlock(event.block);
                refreshPending_.store(true);
                eventPost_.Post(MainWindow());
            }
            break;
        case PeripheralEventKind::Reactive:
        case PeripheralEventKind::None:
            break;
    }
}

// UI thread.
void CTarnexDE6533Device::OnDeviceEvent() {
    if (resyncPending_.exchange(false)) {
        ScheduleResync(kResyncDelayMs);
    }
    if (refreshPending_.exchange(false)) {
        RefreshPage();
    }
}

}  // namespace norvane::devices
