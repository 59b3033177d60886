#include "devices/mousepad/mousepad_device.h"

#include "device/commands.h"
#include "devices/common/config_bracket.h"
#include "devices/mousepad/pad_wire.h"
#include "devices/peripheral_events.h"
#include "platform/diag.h"
#include "ui/paint_manager.h"

#include <string>

namespace norvane::devices {
namespace {

namespace code = device::result;

constexpr std::string_view kEventReadText = "接收到自动添加设备的同步信息要求  TEST";
constexpr std::string_view kResyncText = "接收到自动添加设备的同步信息要求";
constexpr std::string_view kReaderEndText = "MS设备同步线程设定退出";

void TraceFailure(std::string_view what, int result) {
    if (result != code::kSuccess && platform::diag::Enabled()) {
        platform::diag::Trace("mousepad: " + std::string(what) + " " + std::to_string(result));
    }
}

}  // namespace

CTarnexMousePadDevice::CTarnexMousePadDevice()
    : CTarnexMousePadDevice(light::PeripheralClass::MousePad, kPadLeds, std::make_unique<config::CBasicProfiledata>()) {
}

CTarnexMousePadDevice::CTarnexMousePadDevice(light::PeripheralClass lightClass, int ledCount,
                                             std::unique_ptr<config::CBasicProfiledata> profile)
    : profile_(std::move(profile)),
      lighting_(lightClass),
      readers_(eventChannel_, DeviceThread::kLightThreadBound, kReaderEndText) {
    SetLedCount(ledCount);
    lighting_.SetLedCount(LedCount());
}

void CTarnexMousePadDevice::StartLight() {
    lighting_.Start(frame_, commandChannel_);
}

CTarnexMousePadDevice::~CTarnexMousePadDevice() {
    StopDeviceThreads();
}

void CTarnexMousePadDevice::StopDeviceThreads() {
    lighting_.Stop();
    readers_.StopAll();
}

// --- page ---

void CTarnexMousePadDevice::InitPage() {
    lighting_.SetLedCount(LedCount());
    CTarnexUSBDevice::InitPage();
    BuildPage();
}

void CTarnexMousePadDevice::BuildPage() {
    SetSelectionPanel(FindPageControl(kPictureName));
    // Panels the layout does not have yet are skipped.
    profilePanel_ = FindPageControl("DeviceProfileItem");
    lightPanel_ = FindPageControl("LightControlItem");
}

// --- profile ---

std::string CTarnexMousePadDevice::GetProfileName() const {
    return profile_->GetProfilePath().string();
}

int CTarnexMousePadDevice::ApplyProfileLighting() {
    StoreLightState(lighting_.ApplyProfile(*profile_, LightConfigFile()));
    return 1;
}

void CTarnexMousePadDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                          std::uint32_t w3) {
    CTarnexUSBDevice::SetLightState(w0, w1, w2, w3);
    lighting_.SetLightState(LightState());
}

int CTarnexMousePadDevice::LoadProfileToPage() {
    LoadProfileFiles();
    const auto path = CurrentProfileFile();
    if (path.empty() || profile_->LoadDeviceDocument(path) == config::LoadStatus::Missing) {
        return 0;
    }
    ApplyProfileLighting();
    return 1;
}

void CTarnexMousePadDevice::LoadLightNames() {
    names_ = devices::LoadLightNames(DataFolder(), DefaultDataFolderPath(), GetLightClass(), kMacroIndexFile);
}

std::vector<config::LightModeName> CTarnexMousePadDevice::ModeNames() {
    if (names_.modeCodes.empty()) {
        LoadLightNames();
    }
    return LightModes(names_);
}

void CTarnexMousePadDevice::RefreshPage() {
    LoadLightNames();
    FillLightPanel(names_.modeNames, names_.modeVisible);
}

// --- device ---

void CTarnexMousePadDevice::SyncFromDevice() {
    if (commandChannel_.IsOpen()) {
        ConfigBracket bracket(commandChannel_);
        device::DeviceInfoBlock info;
        const int read = device::ReadDeviceInfo(commandChannel_, info);
        const int r = FirstFailure({bracket.BeginResult(), read, bracket.Close()});
        TraceFailure("device info read", r);
        if (read == code::kSuccess) {
            deviceInfo_ = info;
        }
    }
    LoadProfileToPage();
    RefreshPage();
    StartLight();
}

void CTarnexMousePadDevice::ResyncFromDevice() {
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

int CTarnexMousePadDevice::WriteDeviceSettings(const DeviceSettingsRequest& request) {
    const int r = mousepad::WritePadSettings(commandChannel_, request.slot, lighting_.Record(),
                                             profile_->GetLightInfo().selectedMode, ModeNames());
    TraceFailure("settings write", r);
    return r;
}

void CTarnexMousePadDevice::PollStatus() {
    ReadStatusToPowerPanel();
}

// --- events ---

bool CTarnexMousePadDevice::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    return readers_.Open(slot, path, reopen, [this](std::uint16_t code) { OnEventCode(code); });
}

void CTarnexMousePadDevice::CloseEventInterface(int slot) {
    readers_.Close(slot);
}

// Reader thread: atomics, the record's active block and a post.
void CTarnexMousePadDevice::OnEventCode(std::uint16_t eventCode) {
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
void CTarnexMousePadDevice::OnDeviceEvent() {
    if (resyncPending_.exchange(false)) {
        ScheduleResync(kResyncDelayMs);
    }
    if (refreshPending_.exchange(false)) {
        RefreshPage();
    }
}

}  // namespace norvane::devices
