#include "devices/usb_device.h"

#include "config/strings.h"
#include "device/commands.h"
#include "devices/device_paths.h"
#include "devices/function_tab.h"
#include "devices/light/frame_packing.h"
#include "devices/page_panels.h"
#include "pages/device_key_button.h"
#include "pages/light/light_control.h"
#include "platform/diag.h"
#include "ui/paint_host.h"
#include "ui/paint_manager.h"
#include "ui/window.h"

#include <algorithm>
#include <cstring>

namespace norvane::devices {
namespace {

constexpr std::string_view kKeyPrefix = "key_";
constexpr std::string_view kLightPrefix = "light_";
constexpr std::string_view kRoutedText = "测试成功   、n";

std::uint64_t SteadyMs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

template <std::size_t N>
std::array<std::uint8_t, N * 4> WordBytes(const std::array<std::uint32_t, N>& words) {
    std::array<std::uint8_t, N * 4> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (i % 4)));
    }
    return bytes;
}

template <std::size_t N>
std::array<std::uint32_t, N> BytesToWords(std::span<const std::uint8_t> bytes) {
    std::array<std::uint32_t, N> words{};
    for (std::size_t i = 0; i < bytes.size() && i < N * 4; ++i) {
        words[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
    }
    return words;
}

}  // namespace

config::LightInfo LightInfoFromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
    const auto bytes = WordBytes<4>({w0, w1, w2, w3});
    config::LightInfo info;
    static_assert(sizeof(info) == bytes.size());
    std::memcpy(&info, bytes.data(), bytes.size());
    return info;
}

std::array<std::uint32_t, 4> LightInfoToWords(const config::LightInfo& info) {
    std::array<std::uint8_t, 16> bytes{};
    std::memcpy(bytes.data(), &info, bytes.size());
    return BytesToWords<4>(bytes);
}

config::AudioLightInfo AudioLightFromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    const auto bytes = WordBytes<3>({w0, w1, w2});
    config::AudioLightInfo info;
    static_assert(sizeof(info) == 9);
    std::memcpy(&info, bytes.data(), sizeof(info));
    return info;
}

std::array<std::uint32_t, 3> AudioLightToWords(const config::AudioLightInfo& info) {
    std::array<std::uint8_t, 9> bytes{};
    std::memcpy(bytes.data(), &info, bytes.size());
    return BytesToWords<3>(bytes);
}

CTarnexUSBDevice::CTarnexUSBDevice() = default;

CTarnexUSBDevice::~CTarnexUSBDevice() {
    if (notifierRegistered_ && manager_ != nullptr) {
        manager_->RemoveNotifier(this);
    }
    // A reader of a derived class may still wait on these; closing releases it.
    eventChannel_.Cable().Close();
    eventChannel_.Receiver().Close();
    commandChannel_.Cable().Close();
    commandChannel_.Receiver().Close();
}

void CTarnexUSBDevice::SetManager(ui::CPaintManagerUI* manager, ui::CControlUI* parent) {
    if (manager != manager_ && notifierRegistered_ && manager_ != nullptr) {
        manager_->RemoveNotifier(this);
        notifierRegistered_ = false;
    }
    CHorizontalLayoutUI::SetManager(manager, parent);
}

void CTarnexUSBDevice::Notify(ui::TNotifyUI& msg) {
    if (msg.sender == this && msg.type == ui::notify::kTimer) {
        if (msg.wparam == kResyncTimerId) {
            KillTimer(kResyncTimerId);
            ResyncFromDevice();
        }
        return;
    }
    if (msg.sender == nullptr || msg.sender->GetName().empty()) {
        return;
    }
    if (ui::CPaintManagerUI::FindSubControlByName(this, msg.sender->GetName()) != msg.sender) {
        return;
    }
    platform::diag::Trace(kRoutedText);
    OnPageNotify(msg);
}

void CTarnexUSBDevice::OnPageNotify(ui::TNotifyUI& msg) {
    (void)msg;
}

ui::CControlUI* CTarnexUSBDevice::FindPageControl(std::string_view name) {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

// --- virtual operations ---

void CTarnexUSBDevice::InitPage() {
    if (manager_ != nullptr && !notifierRegistered_) {
        manager_->AddNotifier(this);
        notifierRegistered_ = true;
    }
    std::fill(keyButtons_.begin(), keyButtons_.end(), nullptr);
    std::fill(lightButtons_.begin(), lightButtons_.end(), nullptr);
    ForEach([this](ui::CControlUI& control) {
        auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(&control);
        if (button == nullptr) {
            return;
        }
        const auto split = config::SplitIndexedName(button->GetName());
        if (!split || split->number < 0) {
            return;
        }
        const auto index = static_cast<std::size_t>(split->number);
        if (split->prefix == kKeyPrefix && index < keyButtons_.size()) {
            keyButtons_[index] = button;
        } else if (split->prefix == kLightPrefix && index < lightButtons_.size()) {
            lightButtons_[index] = button;
        }
    });
}

int CTarnexUSBDevice::ApplyProfileLighting() {
    return 0;
}

void CTarnexUSBDevice::EffectBreathing() {
    const std::lock_guard lock(lightMutex_);
    light::EffectBreathing(effect_, lightState_, frame_);
}

void CTarnexUSBDevice::EffectFourColourBreathing() {
    const std::lock_guard lock(lightMutex_);
    light::EffectFourColourBreathing(effect_, lightState_, frame_);
}

void CTarnexUSBDevice::EffectStatic() {
    const std::lock_guard lock(lightMutex_);
    light::EffectStatic(lightState_, frame_);
}

void CTarnexUSBDevice::EffectSpectrum() {
    const std::lock_guard lock(lightMutex_);
    light::EffectSpectrum(effect_, lightState_, frame_);
}

void CTarnexUSBDevice::EffectBlink() {
    const std::uint32_t now = EffectNowMs();
    const std::lock_guard lock(lightMutex_);
    light::EffectBlink(effect_, lightState_, frame_, now);
}

void CTarnexUSBDevice::EffectFourColourBlink() {
    const std::uint32_t now = EffectNowMs();
    const std::lock_guard lock(lightMutex_);
    light::EffectFourColourBlink(effect_, lightState_, frame_, now);
}

void CTarnexUSBDevice::EffectOff() {
    light::EffectOff(frame_);
}

void CTarnexUSBDevice::SendLightFrame() {
    if (hostLighting_.load() == 0) {
        return;
    }
    ShowFrameOnPage();
    if (commandChannel_.IsWireless()) {
        return;
    }
    const auto buffer = light::PackLightFrame(frame_);
    SendFrameBytes(std::span(buffer).first(light::LightFrameBytes(static_cast<std::size_t>(ledCount_))));
}

bool CTarnexUSBDevice::StreamsLightFrames() const {
    return hostLighting_.load() != 0 && commandChannel_.IsOpen() && !commandChannel_.IsWireless();
}

void CTarnexUSBDevice::ShowFrameOnPage() {
    for (int i = 0; i < ledCount_; ++i) {
        const auto index = static_cast<std::size_t>(i);
        pages::CDeviceKeyButtonUI* button = index < lightButtons_.size() ? lightButtons_[index] : nullptr;
        if (button != nullptr && button->IsVisible()) {
            const light::LedColor entry = frame_.Get(i);
            button->SetLightOverlay(light::ButtonColour(entry), entry.level, true);
        }
    }
}

void CTarnexUSBDevice::SendFrameBytes(std::span<const std::uint8_t> bytes) {
    const std::uint64_t now = UiNowMs();
    if (sendPausedUntilMs_ && now < *sendPausedUntilMs_) {
        return;
    }
    sendPausedUntilMs_.reset();
    if (device::WriteLightFrame(commandChannel_, bytes) != device::result::kSuccess) {
        sendPausedUntilMs_ = now + static_cast<std::uint64_t>(kFailedSendPause.count());
    }
}

void CTarnexUSBDevice::SetLedColor(int index, light::LedColor entry) {
    frame_.Set(index, entry);
}

light::LedColor CTarnexUSBDevice::GetLedColor(int index) const {
    return frame_.Get(index);
}

void CTarnexUSBDevice::SyncFromDevice() {
}
void CTarnexUSBDevice::ResyncFromDevice() {
}
void CTarnexUSBDevice::ReservedOperation1003() {
}
void CTarnexUSBDevice::ReservedOperation1004() {
}
void CTarnexUSBDevice::PollStatus() {
}

void CTarnexUSBDevice::ReadStatusToPowerPanel() {
    if (IsStatusPollSuspended()) {
        return;
    }
    StatusBlock status{};
    if (devices::PollStatus(commandChannel_, status) != device::result::kSuccess) {
        return;
    }
    lastStatus_ = status;
    ShowStatusOnPowerPanel(status);
}

bool CTarnexUSBDevice::ReceiverLinked() {
    return commandChannel_.IsOpen() && commandChannel_.IsWireless() && device::QueryLink(commandChannel_);
}

void CTarnexUSBDevice::ScheduleResync(int delayMs) {
    KillTimer(kResyncTimerId);
    SetTimer(kResyncTimerId, delayMs);
}

bool CTarnexUSBDevice::CheckLink() {
    return true;
}

int CTarnexUSBDevice::LoadProfileToPage() {
    return 0;
}

void CTarnexUSBDevice::RefreshPage() {
}
void CTarnexUSBDevice::ValidateMacroKeys() {
}
void CTarnexUSBDevice::RestoreDefaults() {
    if (ProfileData() == nullptr) {
        return;
    }
    LoadProfileFiles();
    const auto current = CurrentProfileFile();
    const auto defaults = DefaultProfileFile();
    if (current.empty() || defaults.empty()) {
        return;
    }
    // The default document becomes the current profile's.
    config::CBasicProfiledata fresh;
    fresh.SetDefaultPath(defaults);
    if (fresh.LoadDeviceDocument(defaults) == config::LoadStatus::Missing ||
        !fresh.SaveDocumentTo(fresh.DeviceDocument(), current)) {
        return;
    }
    LoadProfileToPage();
    SaveDeviceProfile();
    RefreshPage();
}

std::vector<int> CTarnexUSBDevice::ListUsedMacros() {
    return {};
}

int CTarnexUSBDevice::WriteKeyAssignments(int bank, std::span<const config::KeyListEntry> list) {
    (void)bank;
    (void)list;
    return 0;
}

int CTarnexUSBDevice::WriteCurrentKeyAssignments(int bank) {
    (void)bank;
    return 0;
}

int CTarnexUSBDevice::WriteCurrentKeysMacrosAsDefaults(int bank) {
    (void)bank;
    return 0;
}

int CTarnexUSBDevice::WriteMacros(std::span<const int> macroIndices) {
    (void)macroIndices;
    return 0;
}

int CTarnexUSBDevice::WriteDeviceSettings(const DeviceSettingsRequest& request) {
    (void)request;
    return 0;
}

void CTarnexUSBDevice::LoadLightNames() {
}

void CTarnexUSBDevice::SetKeyPositionMap(std::vector<int> map) {
    keyPositionMap_ = std::move(map);
}

void CTarnexUSBDevice::DecayLedValue(int index, int mode) {
    const std::lock_guard lock(lightMutex_);
    light::DecayLedValue(reactive_, index, mode);
}

void CTarnexUSBDevice::TriggerLedValues() {
    const std::lock_guard lock(lightMutex_);
    light::TriggerLedValues(reactive_);
}

void CTarnexUSBDevice::RotateRing(int direction) {
    const std::lock_guard lock(lightMutex_);
    light::RotateRing(reactive_, direction);
}

void CTarnexUSBDevice::ClearLedEffects() {
    const std::lock_guard lock(lightMutex_);
    light::ClearLedEffects(reactive_);
}

void CTarnexUSBDevice::SwitchFunctionTab(int type) {
    functionTab_ = type;
    if (functionSwitch_ == nullptr) {
        functionSwitch_ = dynamic_cast<ui::CTabLayoutUI*>(FindPageControl(kFunctionSwitch));
    }
    if (keyFunctionSwitch_ == nullptr) {
        keyFunctionSwitch_ = dynamic_cast<ui::CTabLayoutUI*>(FindPageControl(kKeyFunctionSwitch));
    }
    const FunctionTabPages pages = FunctionTabPagesFor(type, kind_);
    if (pages.function && functionSwitch_ != nullptr) {
        functionSwitch_->SelectItem(*pages.function);
    }
    if (pages.keyFunction && keyFunctionSwitch_ != nullptr) {
        keyFunctionSwitch_->SelectItem(*pages.keyFunction);
    }
}

int CTarnexUSBDevice::GetFunctionTab() const {
    return functionTab_;
}

void CTarnexUSBDevice::LoadProfileFiles() {
    if (config::CBasicProfiledata* profile = ProfileData()) {
        profile->SetProfilePath(CurrentProfileFile());
        profile->SetDefaultPath(DefaultProfileFile());
        profile->SetLightConfigPath(LightConfigFile());
    }
}

std::string CTarnexUSBDevice::GetProfileName() const {
    return {};
}

void CTarnexUSBDevice::SaveDeviceProfile() {
    if (config::CBasicProfiledata* profile = ProfileData(); profile != nullptr && !profile->SaveProfile()) {
        platform::diag::Trace(typeName_ + ": profile not saved");
    }
}

void CTarnexUSBDevice::SetLightClass(int lightClass) {
    lightClass_ = lightClass;
    if (config::CBasicProfiledata* profile = ProfileData()) {
        profile->SetDeviceIndex(0);
    }
}

int CTarnexUSBDevice::GetLightClass() const {
    return lightClass_;
}

void CTarnexUSBDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
    StoreLightState(LightInfoFromWords(w0, w1, w2, w3));
}

void CTarnexUSBDevice::StoreLightState(const config::LightInfo& info) {
    {
        const std::lock_guard lock(lightMutex_);
        lightState_ = info;
    }
    LightFramesMayStart();
}

void CTarnexUSBDevice::LightFramesMayStart() {
    if (mainWindow_ == nullptr || tileIndex_ < 0 || !StreamsLightFrames()) {
        return;
    }
    // Handled at once on the UI thread; another thread must not wait for it.
    if (mainWindow_->IsUiThread()) {
        mainWindow_->SendMessage(kLightFramesMessage, tileIndex_, 0);
    } else {
        mainWindow_->PostMessage(kLightFramesMessage, tileIndex_, 0);
    }
}

void CTarnexUSBDevice::SetAudioLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    const config::AudioLightInfo state = AudioLightFromWords(w0, w1, w2);
    {
        const std::lock_guard lock(lightMutex_);
        audioLightState_ = state;
    }
    if (auto* panel = dynamic_cast<ILightPanel*>(lightPanel_)) {
        panel->ShowAudioLightState(state);
    }
}

pages::CLightControlUI* CTarnexUSBDevice::LightPanel() const {
    return dynamic_cast<pages::CLightControlUI*>(lightPanel_);
}

void CTarnexUSBDevice::FillLightPanel(const std::vector<std::string>& modeNames,
                                      const std::vector<bool>& modeVisible) {
    constexpr int kTopLevel = 4;  // brightness and speed are indices into 5-entry tables
    if (pages::CLightControlUI* panel = LightPanel()) {
        panel->SetDeviceKind(static_cast<int>(kind_));
        panel->FillModes(modeNames, modeVisible, kTopLevel, kTopLevel);
        ShowLightOnPanel();
    }
}

void CTarnexUSBDevice::ShowLightOnPanel() {
    if (pages::CLightControlUI* panel = LightPanel()) {
        panel->ShowLightInfo(LightState());
        if (kind_ == device::DeviceKind::Keyboard || kind_ == device::DeviceKind::KeyboardAlternate) {
            panel->ShowAudioLightState(AudioLightState());
        }
    }
}

void CTarnexUSBDevice::WriteLightInfo(const config::LightInfo& info, ui::Size screen) {
    const auto words = LightInfoToWords(info);
    SetLightState(words[0], words[1], words[2], words[3]);
    if (config::CBasicProfiledata* profile = ProfileData()) {
        profile->SetLightInfo(info);
    }
    SaveDeviceProfile();
    WriteDeviceSettings(DeviceSettingsRequest::ForScreen(screen));
}

void CTarnexUSBDevice::WriteAudioLightInfo(const config::AudioLightInfo& info) {
    const auto words = AudioLightToWords(info);
    SetAudioLightState(words[0], words[1], words[2]);
    if (config::CBasicProfiledata* profile = ProfileData()) {
        profile->SetAudioLight(info);
    }
    SaveDeviceProfile();
}

std::array<std::uint32_t, 3> CTarnexUSBDevice::GetAudioLightState() {
    std::optional<config::AudioLightInfo> shown;
    if (const auto* panel = dynamic_cast<const ILightPanel*>(lightPanel_)) {
        shown = panel->ReadAudioLightState();
    }
    const std::lock_guard lock(lightMutex_);
    if (shown) {
        audioLightState_ = *shown;
    }
    return AudioLightToWords(audioLightState_);
}

void CTarnexUSBDevice::SelectKey(int index) {
    selectedKey_ = index;
}

void CTarnexUSBDevice::FeedAudioSpectrum(std::span<const std::int32_t> levels) {
    (void)levels;
}

void CTarnexUSBDevice::FeedAudioLevels(std::span<const std::int32_t> levels) {
    (void)levels;
}

bool CTarnexUSBDevice::OpenEventInterface(int slot, std::string_view path, bool reopen) {
    if (slot < 0 || slot > 1) {
        return false;
    }
    device::HidInterface& side = slot == 0 ? eventChannel_.Cable() : eventChannel_.Receiver();
    if (reopen) {
        side.Close();
    }
    return side.Open(path, true, true, true, false);
}

void CTarnexUSBDevice::CloseEventInterface(int slot) {
    if (slot == 0 || slot == 1) {
        (slot == 0 ? eventChannel_.Cable() : eventChannel_.Receiver()).Close();
    }
}

// --- configuration ---

void CTarnexUSBDevice::SetKeyButtonCount(int count) {
    keyButtonCount_ = std::max(count, 0);
    keyButtons_.assign(static_cast<std::size_t>(keyButtonCount_), nullptr);
}

void CTarnexUSBDevice::SetLedCount(int count) {
    ledCount_ = std::max(count, 0);
    const auto size = static_cast<std::size_t>(ledCount_);
    lightButtons_.assign(size, nullptr);
    frame_.Resize(size);
    ledRecords_.assign(size, LedRecord{});
}

void CTarnexUSBDevice::SetWirelessCapable(bool capable) {
    wirelessCapable_ = capable;
    if (auto* panel = dynamic_cast<IPowerPanel*>(powerPanel_)) {
        panel->SetWirelessCapable(capable);
    }
}

void CTarnexUSBDevice::SetPowerPanel(ui::CControlUI* panel) {
    powerPanel_ = panel;
}

void CTarnexUSBDevice::ShowStatusOnPowerPanel(std::span<const std::uint8_t> status) {
    if (auto* panel = dynamic_cast<IStatusPanel*>(powerPanel_)) {
        panel->ShowStatus(status);
    }
}

void CTarnexUSBDevice::SetCatalogEntry(const device::DeviceCatalogEntry& entry) {
    catalogEntry_ = entry;
    kind_ = entry.kind;
    role_ = entry.role;
}

int CTarnexUSBDevice::SetHostLighting(int flag) {
    hostLighting_.store(flag);
    LightFramesMayStart();
    if (flag == 1 && kind_ == device::DeviceKind::Keyboard) {
        return device::EnableHostLighting(commandChannel_);
    }
    return device::result::kSuccess;
}

void CTarnexUSBDevice::ReportLinkState(bool online) {
    if (mainWindow_ != nullptr) {
        mainWindow_->SendMessage(kLinkStateMessage, tileIndex_, online ? 1 : 0);
    }
}

bool CTarnexUSBDevice::PollsStatus() const {
    return wirelessCapable_ || kind_ == device::DeviceKind::MousePad;
}

void CTarnexUSBDevice::SetStatusPollSuspended(int flag) {
    if (PollsStatus()) {
        statusPollSuspended_.store(flag);
    }
}

// --- paths ---

std::filesystem::path CTarnexUSBDevice::DataFolder() const {
    return DeviceDataFolder(typeName_);
}

std::filesystem::path CTarnexUSBDevice::DefaultDataFolderPath() const {
    return DefaultDataFolder();
}

std::filesystem::path CTarnexUSBDevice::DefaultProfileFile() const {
    return DefaultProfilePath(typeName_);
}

std::filesystem::path CTarnexUSBDevice::CurrentProfileFile() const {
    return CurrentProfilePath(typeName_, profileName_);
}

std::filesystem::path CTarnexUSBDevice::LightConfigFile() const {
    return LightConfigPath(typeName_, lightConfigName_);
}

// --- state ---

config::LightInfo CTarnexUSBDevice::LightState() const {
    const std::lock_guard lock(lightMutex_);
    return lightState_;
}

config::AudioLightInfo CTarnexUSBDevice::AudioLightState() const {
    const std::lock_guard lock(lightMutex_);
    return audioLightState_;
}

light::EffectState CTarnexUSBDevice::EffectStateNow() const {
    const std::lock_guard lock(lightMutex_);
    return effect_;
}

void CTarnexUSBDevice::SetEffectState(const light::EffectState& state) {
    const std::lock_guard lock(lightMutex_);
    effect_ = state;
}

light::ReactiveArrays CTarnexUSBDevice::ReactiveState() const {
    const std::lock_guard lock(lightMutex_);
    return reactive_;
}

std::uint64_t CTarnexUSBDevice::UiNowMs() const {
    if (manager_ != nullptr && manager_->Host() != nullptr) {
        return manager_->Host()->Now();
    }
    return SteadyMs();
}

std::uint32_t CTarnexUSBDevice::EffectNowMs() const {
    return effectClock_ ? effectClock_() : static_cast<std::uint32_t>(SteadyMs());
}

}  // namespace norvane::devices
