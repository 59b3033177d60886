// The headset object's audio: start-up, the audio state read back, the panels and every
// audio operation of the page.
#include "config/strings.h"
#include "devices/audio/audio_properties.h"
#include "devices/headset/availability_hint.h"
#include "devices/headset/eq_presets.h"
#include "devices/headset/headset_device.h"
#include "devices/headset/voice6533_control.h"
#include "pages/magic_control.h"
#include "platform/diag.h"
#include "ui/option.h"
#include "ui/platform.h"
#include "ui/resource_manager.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace norvane::devices {
namespace {

using headset::CVoice6533ControlUI;
namespace prop = audio::property;

constexpr int kVoiceCount = 4;
constexpr std::string_view kMagicEnable = "magic_enable_option";
constexpr std::string_view kMagicOption = "magic_option_";
constexpr std::string_view kMagicHint = "magic_hint_label";

std::string_view SliderProperty(int band) {
    return prop::kEqSliders[static_cast<std::size_t>(band)];
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// A 0-1 scalar read as a 0-100 level. Rounded, not truncated: a level written as level / 100
// in single precision reads back a hair below it (29 would come back as 28).
int LevelOf(double scalar) {
    return static_cast<int>(std::lround(std::clamp(scalar, 0.0, 1.0) * 100.0));
}

std::string LanguageText(std::string_view id) {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    if (platform != nullptr && platform->Resources().HasText(id)) {
        return platform->Resources().Text(id);
    }
    return std::string(id);
}

}  // namespace

// --- start-up and read-back ---

void CTarnexDE6533Device::StartAudio() {
    if (audioStart_) {
        return;
    }
    audio::AudioDeviceIdentity identity;
    if (CatalogEntry()) {
        identity.vendorId = CatalogEntry()->vendorId;
        identity.productId = CatalogEntry()->productId;
    }
    identity.hidPath = commandChannel_.Active().Path();
    audioStart_ = audio_.Start(identity, [this](std::string_view text) { ShowMessage(text); });
    if (audio_.Ready()) {
        audio_.WriteStartDefaults();
        ReadAudioState();
    }
    ShowCapabilities();
}

void CTarnexDE6533Device::ReadAudioState() {
    if (!MicrophoneReady()) {
        return;
    }
    // Read for display only.
    for (std::string_view property :
         {prop::kGetMaxVol, prop::kGetMinVol, prop::kGetVolStep, prop::kVolumeControl}) {
        static_cast<void>(audio_.Read(property));
    }
    if (const auto mute = audio_.Read(prop::kMuteControl)) {
        micMuted_ = *mute != 0;
        settings_.micInSelect = micMuted_ ? 0 : 1;
    }
    if (const auto level = audio_.Read(prop::kVolumeScalarControl)) {
        settings_.micInValue = LevelOf(*level);
    }
    if (audio_.Read(prop::kGetAAMaxVol)) {
        static_cast<void>(audio_.Read(prop::kGetAAMinVol));
        static_cast<void>(audio_.Read(prop::kGetAAVolStep));
        static_cast<void>(audio_.Read(prop::kAAVolumeControl));
        if (const auto mute = audio_.Read(prop::kAAMuteControl)) {
            monitorMuted_ = *mute != 0;
            settings_.micMonitorSelect = monitorMuted_ ? 0 : 1;
        }
        if (const auto level = audio_.Read(prop::kAAVolumeScalarControl)) {
            settings_.micMonitorValue = LevelOf(*level);
        }
    }
    if (const auto magic = audio_.Read(prop::kEnableMagicVoice); magic && audio_.VoiceChangerExists()) {
        settings_.magicEnable = static_cast<std::int32_t>(*magic);
    }
    if (const auto voice = audio_.Read(prop::kMagicVoiceSelection);
        voice && *voice >= 0 && *voice < kVoiceCount) {
        settings_.magicType = static_cast<std::int32_t>(*voice) + 1;
    }
}

// --- panels ---

void CTarnexDE6533Device::RefreshMagicPanel() {
    if (auto* magic = MagicPanel()) {
        magic->SetMagicEnable(settings_.magicEnable != 0);
        magic->SetMagicType(settings_.magicType);
    }
}

void CTarnexDE6533Device::RefreshVoicePanel() {
    CVoice6533ControlUI* voice = VoicePanel();
    if (voice == nullptr) {
        return;
    }
    voice->ShowMicrophone(settings_.micInSelect != 0, settings_.micInValue);
    voice->ShowMonitoring(settings_.micMonitorSelect != 0, settings_.micMonitorValue);
    voice->ShowEqType(settings_.eqType);
    voice->ShowCustomNames(customNames_);
    voice->ShowCustomSelection(settings_.customEqSelectIndex);
    voice->SetCustomLayoutEnabled(settings_.eqType == config::kCustomEqType);
    ShowBands();
}

void CTarnexDE6533Device::ShowCapabilities() {
    const audio::AudioCapabilities caps = audio_.Capabilities();
    if (CVoice6533ControlUI* voice = VoicePanel()) {
        voice->ShowCapabilities(caps);
    }
    if (ui::CControlUI* enable = FindPageControl(kMagicEnable)) {
        enable->SetEnabled(caps.voiceChanger);
    }
    if (auto* magic = MagicPanel(); magic != nullptr && !caps.voiceChanger) {
        magic->EnableMagicOptions(false);
    }
    headset::ShowAvailability(FindPageControl(kMagicHint), caps.voiceChanger, caps.voiceChangerReason);
}

void CTarnexDE6533Device::ShowBands() {
    if (CVoice6533ControlUI* voice = VoicePanel()) {
        for (int band = 0; band < config::kEqBandCount; ++band) {
            voice->ShowBand(band, bands_[static_cast<std::size_t>(band)]);
        }
    }
}

void CTarnexDE6533Device::ShowAndWriteBands() {
    ShowBands();
    for (int band = 0; band < config::kEqBandCount; ++band) {
        audio_.Write(SliderProperty(band), bands_[static_cast<std::size_t>(band)]);
    }
}

void CTarnexDE6533Device::ShowMessage(std::string_view text) {
    messages_.emplace_back(text);
    platform::diag::Trace("headset: " + std::string(text));
}

void CTarnexDE6533Device::StoreSettings() {
    profile_.SetHeadsetSettings(settings_);
}

// --- page events ---

void CTarnexDE6533Device::OnPageNotify(ui::TNotifyUI& msg) {
    if (refreshing_ || msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    const auto* option = dynamic_cast<const ui::COptionUI*>(msg.sender);
    const bool selectChanged = msg.type == ui::notify::kSelectChanged;
    const bool valueChanged = msg.type == ui::notify::kValueChanged;
    const bool selected = option != nullptr && option->IsSelected();
    const auto split = config::SplitIndexedName(name);
    const int n = split && split->number >= 0 && split->number < 100 ? static_cast<int>(split->number) : -1;
    const std::string_view prefix = split ? std::string_view(split->prefix) : std::string_view();

    if (prefix == CVoice6533ControlUI::kEqOption && n >= 0 && selectChanged && selected) {
        ApplyEqualiser(n);
    } else if (prefix == CVoice6533ControlUI::kEqSlider && n >= 0 && valueChanged) {
        SetCustomBand(n);
    } else if (prefix == kMagicOption && n >= 0 && selectChanged && selected) {
        SelectVoice(n);
    } else if (name == CVoice6533ControlUI::kCustomCombo && msg.type == ui::notify::kItemSelect) {
        ApplySelectedCustomCurve();
    } else if (name == CVoice6533ControlUI::kSaveButton && msg.type == ui::notify::kClick) {
        SaveCustomCurve();
    } else if (name == CVoice6533ControlUI::kDeleteButton && msg.type == ui::notify::kClick) {
        DeleteCustomCurve();
    } else if (name == CVoice6533ControlUI::kMicOption && selectChanged) {
        ToggleMicrophoneMute();
    } else if (name == CVoice6533ControlUI::kMicSlider && valueChanged) {
        SetMicrophoneLevel();
    } else if (name == CVoice6533ControlUI::kMonitorOption && selectChanged) {
        ToggleMonitoringMute();
    } else if (name == CVoice6533ControlUI::kMonitorSlider && valueChanged) {
        SetMonitoringLevel();
    } else if (name == kMagicEnable && selectChanged) {
        ToggleVoiceChanger();
    }
}

// --- equaliser ---

void CTarnexDE6533Device::ApplyEqualiser(int n) {
    CVoice6533ControlUI* voice = VoicePanel();
    if (n == config::kCustomEqType) {
        settings_.eqType = n;
        if (voice != nullptr) {
            voice->ShowEqType(n);
            voice->SetCustomLayoutEnabled(true);
        }
        ApplySelectedCustomCurve();
        SaveDeviceProfile();
        return;
    }
    const auto preset = headset::EqPreset(n);
    if (!preset) {
        return;
    }
    audio_.Write(prop::kEnableEqGfx, 1);
    bands_ = *preset;
    ShowAndWriteBands();
    settings_.eqType = n;
    if (voice != nullptr) {
        voice->ShowEqType(n);
        voice->SetCustomLayoutEnabled(false);
    }
    StoreSettings();
    profile_.SetEqBands(n, bands_);
    SaveDeviceProfile();
}

void CTarnexDE6533Device::SetCustomBand(int band) {
    if (band < 0 || band >= config::kEqBandCount) {
        return;
    }
    CVoice6533ControlUI* voice = VoicePanel();
    if (settings_.eqType != config::kCustomEqType) {
        settings_.eqType = config::kCustomEqType;
        if (voice != nullptr) {
            voice->ShowEqType(config::kCustomEqType);
            voice->ShowCustomSelection(-1);
            voice->SetCustomLayoutEnabled(true);
        }
    }
    auto& value = bands_[static_cast<std::size_t>(band)];
    if (voice != nullptr) {
        value = voice->Band(band).value_or(value);
    }
    audio_.Write(SliderProperty(band), value);
}

void CTarnexDE6533Device::ApplySelectedCustomCurve() {
    CVoice6533ControlUI* voice = VoicePanel();
    const int selection = voice != nullptr ? voice->CustomSelection() : settings_.customEqSelectIndex;
    if (selection < 0) {
        return;
    }
    const std::vector<int> bands = profile_.GetCustomEqBands(selection);
    if (bands.size() != bands_.size()) {
        return;
    }
    std::ranges::copy(bands, bands_.begin());
    audio_.Write(prop::kEnableEqGfx, 1);
    ShowAndWriteBands();
    settings_.customEqSelectIndex = selection;
    StoreSettings();
    SaveDeviceProfile();
}

int CTarnexDE6533Device::SaveCustomCurve() {
    CVoice6533ControlUI* voice = VoicePanel();
    const auto takeSliders = [this, voice] {
        for (int band = 0; voice != nullptr && band < config::kEqBandCount; ++band) {
            auto& value = bands_[static_cast<std::size_t>(band)];
            value = voice->Band(band).value_or(value);
        }
    };
    const std::string name = voice != nullptr ? voice->NewCurveName() : std::string();
    if (name.empty()) {
        const int selection = voice != nullptr ? voice->CustomSelection() : -1;
        if (selection < 0) {
            return kCurveNothingToDo;
        }
        takeSliders();
        settings_.customEqSelectIndex = selection;
        StoreSettings();
        profile_.SetCustomEqBands(selection, bands_);
        SaveDeviceProfile();
        return kCurveSaved;
    }
    if (std::ssize(customNames_) >= config::kMaxCustomEqSlots) {
        return kCurveNothingToDo;
    }
    if (std::ranges::any_of(customNames_,
                            [&](const std::string& n) { return SameNameIgnoringCase(n, name); })) {
        ShowMessage(LanguageText(kNameTakenText));
        return kCurveNameTaken;
    }
    customNames_.push_back(name);
    takeSliders();
    const int index = static_cast<int>(customNames_.size()) - 1;
    settings_.customEqSelectIndex = index;
    voice->ShowCustomNames(customNames_);
    voice->ShowCustomSelection(index);
    StoreSettings();
    profile_.SetCustomEqBands(index, bands_);
    profile_.SetCustomEqNames(customNames_);
    SaveDeviceProfile();
    return kCurveSaved;
}

void CTarnexDE6533Device::DeleteCustomCurve() {
    CVoice6533ControlUI* voice = VoicePanel();
    const int selection = voice != nullptr ? voice->CustomSelection() : -1;
    if (selection < 0 || selection >= std::ssize(customNames_)) {
        return;
    }
    // The curve's name and its band row go together, so the rows keep following the names.
    customNames_.erase(customNames_.begin() + selection);
    profile_.RemoveCustomEq(selection);
    voice->ShowCustomNames(customNames_);
    if (customNames_.empty()) {
        voice->ShowEqType(1);
        settings_.eqType = 1;
        StoreSettings();
        const std::vector<int> bands = profile_.GetEqBands(1);
        if (bands.size() == bands_.size()) {
            std::ranges::copy(bands, bands_.begin());
        }
        ShowBands();
        voice->SetCustomLayoutEnabled(false);
    } else {
        settings_.customEqSelectIndex = 0;
        voice->ShowCustomSelection(0);
        StoreSettings();
        const std::vector<int> bands = profile_.GetCustomEqBands(0);
        if (bands.size() == bands_.size()) {
            std::ranges::copy(bands, bands_.begin());
        }
        ShowBands();
    }
    profile_.SetCustomEqNames(customNames_);
    SaveDeviceProfile();
}

// --- microphone and monitoring ---

// The microphone and its monitoring work alike on their own properties and settings.
struct CTarnexDE6533Device::CaptureSide {
    std::string_view mute;
    std::string_view scalar;
    std::string_view volume;
    std::int32_t config::HeadsetSettings::*select;
    std::int32_t config::HeadsetSettings::*value;
    bool CTarnexDE6533Device::*muted;
    void (CVoice6533ControlUI::*show)(bool, int);
    std::optional<int> (CVoice6533ControlUI::*level)();
};

const CTarnexDE6533Device::CaptureSide CTarnexDE6533Device::kMicrophone{
    prop::kMuteControl,
    prop::kVolumeScalarControl,
    prop::kVolumeControl,
    &config::HeadsetSettings::micInSelect,
    &config::HeadsetSettings::micInValue,
    &CTarnexDE6533Device::micMuted_,
    &CVoice6533ControlUI::ShowMicrophone,
    &CVoice6533ControlUI::MicrophoneLevel};

const CTarnexDE6533Device::CaptureSide CTarnexDE6533Device::kMonitoring{
    prop::kAAMuteControl,
    prop::kAAVolumeScalarControl,
    prop::kAAVolumeControl,
    &config::HeadsetSettings::micMonitorSelect,
    &config::HeadsetSettings::micMonitorValue,
    &CTarnexDE6533Device::monitorMuted_,
    &CVoice6533ControlUI::ShowMonitoring,
    &CVoice6533ControlUI::MonitoringLevel};

void CTarnexDE6533Device::ShowSide(const CaptureSide& side, bool on) {
    if (CVoice6533ControlUI* voice = VoicePanel()) {
        (voice->*side.show)(on, settings_.*side.value);
    }
}

void CTarnexDE6533Device::ToggleMute(const CaptureSide& side) {
    if (!MicrophoneReady()) {
        ShowSide(side, settings_.*side.select != 0);
        return;
    }
    const bool muted = !(this->*side.muted);
    ShowSide(side, !muted);
    if (!audio_.Write(side.mute, muted ? 1 : 0)) {
        ShowSide(side, !(this->*side.muted));
        return;
    }
    this->*side.muted = muted;
    settings_.*side.select = muted ? 0 : 1;
    StoreSettings();
    SaveDeviceProfile();
}

void CTarnexDE6533Device::SetLevel(const CaptureSide& side) {
    CVoice6533ControlUI* voice = VoicePanel();
    const int level = voice != nullptr ? (voice->*side.level)().value_or(settings_.*side.value) : settings_.*side.value;
    if (!MicrophoneReady() || !audio_.Write(side.scalar, level / 100.0)) {
        ShowSide(side, settings_.*side.select != 0);
        return;
    }
    static_cast<void>(audio_.Read(side.volume));
    settings_.*side.value = level;
    StoreSettings();
    SaveDeviceProfile();
}

void CTarnexDE6533Device::ToggleMicrophoneMute() {
    ToggleMute(kMicrophone);
}

void CTarnexDE6533Device::SetMicrophoneLevel() {
    SetLevel(kMicrophone);
}

void CTarnexDE6533Device::ToggleMonitoringMute() {
    ToggleMute(kMonitoring);
}

void CTarnexDE6533Device::SetMonitoringLevel() {
    SetLevel(kMonitoring);
}

// --- voice changer ---

void CTarnexDE6533Device::ToggleVoiceChanger() {
    pages::CMagicControlUI* magic = MagicPanel();
    if (!MicrophoneReady()) {
        refreshing_ = true;
        RefreshMagicPanel();
        refreshing_ = false;
        return;
    }
    const bool on = magic != nullptr ? magic->IsMagicEnable() : settings_.magicEnable == 0;
    if (magic != nullptr) {
        magic->EnableMagicOptions(on);
    }
    audio_.Write(prop::kEnableMagicVoice, on ? 1 : 0);
    if (on) {
        audio_.Write(prop::kEnableMicEcho, 0);
    }
    settings_.magicEnable = on ? 1 : 0;
    StoreSettings();
    SaveDeviceProfile();
}

void CTarnexDE6533Device::SelectVoice(int n) {
    if (n < 1 || n > kVoiceCount) {
        return;
    }
    pages::CMagicControlUI* magic = MagicPanel();
    if (!MicrophoneReady()) {
        refreshing_ = true;
        RefreshMagicPanel();
        refreshing_ = false;
        return;
    }
    audio_.Write(prop::kMagicVoiceSelection, n - 1);
    settings_.magicType = n;
    if (magic != nullptr) {
        magic->SetMagicType(n);
    }
    StoreSettings();
    SaveDeviceProfile();
}

}  // namespace norvane::devices
