#include "devices/keyboard/keyboard_device.h"

#include "config/key_codes.h"
#include "config/strings.h"
#include "devices/keyboard/key_table.h"
#include "devices/page_panels.h"
#include "pages/device_key_button.h"
#include "pages/key_set/key_set_control.h"
#include "platform/diag.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/option.h"
#include "ui/paint_manager.h"
#include "ui/platform.h"
#include "ui/resource_manager.h"
#include "ui/slider.h"

#include <algorithm>
#include <string>

namespace norvane::devices {
namespace {

constexpr std::string_view kKeyPrefix = "key_";
constexpr std::string_view kLightPrefix = "light_";
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kRepeatDelayChoices = 4;
constexpr int kRepeatDelayStepMs = 250;

constexpr std::string_view kWinLockOption = "winlockflag_option";
constexpr std::string_view kWFlagOption = "wflag_option";
constexpr std::string_view kKey6Option = "6flag_option";
constexpr std::string_view kRepeatSlider = "repeat_rate_slider";
constexpr std::string_view kRepeatDelayCheck = "repeat_delay_check_";
constexpr std::string_view kRepeatDelayLabel = "repeat_delay_time_label1";
constexpr std::string_view kPollingOption = "polling_rate_option_";
constexpr std::string_view kRepeatInput = "repeat_input_richedit";
constexpr std::string_view kResetRepeatButton = "reset_repeat_btn";

std::string LanguageText(std::string_view id) {
    if (ui::IUiPlatform* platform = ui::CurrentPlatform()) {
        return platform->Resources().Text(id);
    }
    return std::string(id);
}

int ChoiceOf(int value) {
    return value >= 0 && value < kRepeatDelayChoices ? value : 0;
}

void SelectOption(ui::CControlUI* control, bool selected) {
    if (auto* option = dynamic_cast<ui::COptionUI*>(control)) {
        option->Selected(selected, false);
    }
}

}  // namespace

// --- page ---

void CTarnexKeyboardDevice::InitPage() {
    CTarnexUSBDevice::InitPage();  // registers the notifier
    BuildPage();
}

void CTarnexKeyboardDevice::BuildPage() {
    if (pageLayoutPath_.empty()) {
        SetKeyButtonCount(0);
        SetLedCount(0);
        return;
    }
    IndexPicture(0);
    FindPanels();
}

void CTarnexKeyboardDevice::IndexPicture(int variant) {
    std::fill(keyButtons_.begin(), keyButtons_.end(), nullptr);
    std::fill(lightButtons_.begin(), lightButtons_.end(), nullptr);
    auto* picture =
        dynamic_cast<ui::CContainerUI*>(FindPageControl(std::string(kPictureName) + std::to_string(variant)));
    if (picture == nullptr) {
        return;
    }
    for (int i = 0; i < picture->GetCount(); ++i) {
        auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(picture->GetItemAt(i));
        const auto split = button != nullptr ? config::SplitIndexedName(button->GetName()) : std::nullopt;
        if (!split || split->number < 0) {
            continue;
        }
        const auto index = static_cast<std::size_t>(split->number);
        if (split->prefix == kKeyPrefix && index < keyButtons_.size()) {
            keyButtons_[index] = button;
        } else if (split->prefix == kLightPrefix && index < lightButtons_.size()) {
            lightButtons_[index] = button;
            button->SetLightOverlay(kWhite, 255, true);
        }
    }
    SetSelectionPanel(picture);
}

void CTarnexKeyboardDevice::FindPanels() {
    // Panels the layout does not have yet are skipped.
    profilePanel_ = FindPageControl("DeviceProfileItem");
    lightPanel_ = FindPageControl("LightControlItem");
    if (lightPanel_ != nullptr) {
        LoadLightNames();
        FillLightPanel(names_.modeNames, names_.modeVisible);
    }
    macroPanel_ = FindPageControl("MacroControlItem");
    ConnectMacroPanel(macroPanel_, *this, macroLink_);
    keySetPanel_ = FindPageControl("KeySetControlItem");
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->SetApplyHandler([this](config::KeyAssignment current, config::KeyAssignment) {
            return ApplySelectedKey(current);
        });
        panel->Build(pages::CKeySetControlUI::kKeyboard, names_.macroNames);
    }
    if (keySetPanel_ != nullptr) {
        keySetPanel_->SetVisible(false);
    }
}

void CTarnexKeyboardDevice::SelectLayoutVariant(int variant) {
    if (variant < 0 || variant >= kLayoutVariants) {
        variant = 0;
    }
    layoutVariant_ = variant;
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindPageControl(kLayoutTabs))) {
        tabs->SelectItem(variant);
    }
    IndexPicture(variant);
    RefreshKeyCaptions();
}

void CTarnexKeyboardDevice::SwitchFunctionTab(int type) {
    CTarnexUSBDevice::SwitchFunctionTab(type);
    const auto key = static_cast<std::size_t>(kKeyButtonKey110);
    if (key < keyButtons_.size() && keyButtons_[key] != nullptr) {
        if (type == 1) {
            keyButtons_[key]->SetEnabled(true);
        } else if (type == 2) {
            keyButtons_[key]->SetEnabled(false);
        }
    }
}

void CTarnexKeyboardDevice::SelectKey(int index) {
    CTarnexUSBDevice::SelectKey(index);
    if (keySetPanel_ != nullptr) {
        keySetPanel_->SetVisible(true);
    }
    pages::CKeySetControlUI* panel = KeySetPanel();
    if (panel == nullptr) {
        return;
    }
    const auto entry = std::ranges::find_if(
        keyList_, [index](const config::KeyListEntry& e) { return e.keyIndex == index; });
    if (entry == keyList_.end()) {
        panel->HideEditor();
        return;
    }
    panel->ShowKey(entry->current, entry->defaultAssignment);
}

pages::CKeySetControlUI* CTarnexKeyboardDevice::KeySetPanel() const {
    return dynamic_cast<pages::CKeySetControlUI*>(keySetPanel_);
}

bool CTarnexKeyboardDevice::ApplySelectedKey(config::KeyAssignment current) {
    if (!SetSelectedKeyAssignment(current.type, current.param1, current.param2)) {
        return false;
    }
    SaveDeviceProfile();
    RefreshKeyCaptions();
    return true;
}

void CTarnexKeyboardDevice::RefreshKeyCaptions() {
    for (const config::KeyListEntry& entry : keyList_) {
        const std::size_t index = entry.keyIndex;
        pages::CDeviceKeyButtonUI* button = index < keyButtons_.size() ? keyButtons_[index] : nullptr;
        if (button == nullptr) {
            continue;
        }
        button->SetKeySetHidden(entry.current == entry.defaultAssignment ? 1 : 0);
        const config::AssignmentCaption caption = config::NameAssignment(entry.current, names_.macroNames);
        if (caption.kind == config::AssignmentCaption::Kind::NameIds && !caption.parts.empty()) {
            if (caption.parts.size() == 1) {
                button->SetTextId(caption.parts.front());
            } else {
                std::string joined;
                for (const std::string& id : caption.parts) {
                    joined += (joined.empty() ? "" : "+") + LanguageText(id);
                }
                button->SetText(joined);
            }
        } else if (caption.kind == config::AssignmentCaption::Kind::Text) {
            button->SetText(caption.parts.empty() ? std::string() : caption.parts.front());
        }
    }
}

// --- profile ---

void CTarnexKeyboardDevice::LoadProfileFiles() {
    CTarnexUSBDevice::LoadProfileFiles();
    if (const auto light = LightConfigFile(); !light.empty()) {
        profile_.LoadLightConfig(light);
    }
}

std::string CTarnexKeyboardDevice::GetProfileName() const {
    return profileName_;
}

int CTarnexKeyboardDevice::LoadProfileToPage() {
    LoadProfileFiles();
    const auto path = CurrentProfileFile();
    if (path.empty() || profile_.LoadDeviceDocument(path) == config::LoadStatus::Missing) {
        return 0;
    }
    keyList_ = profile_.GetKeyList();
    otherKeyList_ = profile_.GetOtherKeyList();
    ApplyProfileLighting();
    settings_.settings = profile_.GetKeyboardSettings();
    return 1;
}

void CTarnexKeyboardDevice::RestoreDefaults() {
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->HideEditor();
    }
    CTarnexUSBDevice::RestoreDefaults();
}

void CTarnexKeyboardDevice::SetKeyList(std::vector<config::KeyListEntry> list) {
    keyList_ = std::move(list);
    profile_.SetKeyList(keyList_);
}

void CTarnexKeyboardDevice::SetOtherKeyList(std::vector<config::KeyListEntry> list) {
    otherKeyList_ = std::move(list);
    profile_.SetOtherKeyList(otherKeyList_);
}

bool CTarnexKeyboardDevice::SetSelectedKeyAssignment(std::uint8_t type, std::uint8_t param1,
                                                     std::uint8_t param2) {
    for (config::KeyListEntry& entry : keyList_) {
        if (SelectedKey() >= 0 && entry.keyIndex == SelectedKey()) {
            entry.current = {type, param1, param2};
            profile_.SetKeyList(keyList_);
            return true;
        }
    }
    return false;
}

void CTarnexKeyboardDevice::ValidateMacroKeys() {
    LoadLightNames();
    const std::size_t macros = names_.macroNames.size();
    bool changed = false;
    for (config::KeyListEntry& entry : keyList_) {
        if (config::IsMacroType(entry.current.type) && entry.current.param1 >= macros) {
            entry.current = entry.defaultAssignment;
            changed = true;
        }
    }
    if (changed) {
        profile_.SetKeyList(keyList_);
        SaveDeviceProfile();
        RefreshKeyCaptions();
    }
}

std::vector<int> CTarnexKeyboardDevice::ListUsedMacros() {
    return keyboard::ListUsedMacros(keyList_, tables_.maps, devices::MacroCount(DataFolder()));
}

void CTarnexKeyboardDevice::LoadLightNames() {
    names_ = devices::LoadLightNames(DataFolder(), DefaultDataFolderPath(), GetLightClass());
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->SetMacroNames(names_.macroNames);
    }
}

std::vector<config::LightModeName> CTarnexKeyboardDevice::ModeNames() {
    if (names_.modeCodes.empty()) {
        LoadLightNames();  // the settings record needs the mode codes
    }
    return LightModes(names_);
}

// --- page controls ---

void CTarnexKeyboardDevice::RefreshPage() {
    refreshing_ = true;
    LoadLightNames();
    RefreshKeyCaptions();
    FillLightPanel(names_.modeNames, names_.modeVisible);
    if (LightPanel() == nullptr) {
        if (auto* panel = dynamic_cast<ILightPanel*>(lightPanel_)) {
            panel->ShowAudioLightState(AudioLightState());
        }
    }
    SetCustomGroup(LightState().customGroup);
    SetOptionControls();
    refreshing_ = false;
}

void CTarnexKeyboardDevice::SetOptionControls() {
    const config::KeyboardSettings& s = settings_.settings;
    SelectOption(FindPageControl(kWinLockOption), s.winFlag != 0);
    SelectOption(FindPageControl(kWFlagOption), s.wFlag != 0);
    SelectOption(FindPageControl(kKey6Option), s.key6Flag != 0);
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(FindPageControl(kRepeatSlider))) {
        slider->SetValue(s.repeat);
    }
    ShowRepeatDelay(s.repeatDelay);
    const int polling = ChoiceOf(s.pollingRate);
    for (int i = 0; i < kRepeatDelayChoices; ++i) {
        SelectOption(FindPageControl(std::string(kPollingOption) + std::to_string(i)), i == polling);
    }
    if (auto* edit = dynamic_cast<ui::CEditUI*>(FindPageControl(kRepeatInput))) {
        edit->SetText({});
        edit->SetHintText(LanguageText("Repeat_input_text"));
    }
}

void CTarnexKeyboardDevice::ShowRepeatDelay(int delay) {
    const int choice = ChoiceOf(delay);
    for (int i = 0; i < kRepeatDelayChoices; ++i) {
        SelectOption(FindPageControl(std::string(kRepeatDelayCheck) + std::to_string(i)), i == choice);
    }
    if (ui::CControlUI* label = FindPageControl(kRepeatDelayLabel)) {
        label->SetText(LanguageText("Repeat_Delay_Time") + std::to_string(kRepeatDelayStepMs * (choice + 1)) +
                       "ms");
    }
}

void CTarnexKeyboardDevice::StoreSettings() {
    profile_.SetKeyboardSettings(settings_.settings);
    SaveDeviceProfile();
}

void CTarnexKeyboardDevice::OnPageNotify(ui::TNotifyUI& msg) {
    // Kind 9 keyboards leave these settings alone; so does RefreshPage setting the controls.
    if (refreshing_ || Kind() != device::DeviceKind::Keyboard) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    config::KeyboardSettings& s = settings_.settings;
    if (msg.type == ui::notify::kSelectChanged) {
        auto* option = dynamic_cast<ui::COptionUI*>(msg.sender);
        const std::uint16_t selected = option != nullptr && option->IsSelected() ? 1 : 0;
        std::uint16_t* flag = name == kWinLockOption ? &s.winFlag
                              : name == kWFlagOption ? &s.wFlag
                              : name == kKey6Option  ? &s.key6Flag
                                                     : nullptr;
        if (flag != nullptr) {
            *flag = selected;
            StoreSettings();
            WriteDeviceSettings({});
            return;
        }
        const auto split = config::SplitIndexedName(name);
        if (split && split->prefix == kRepeatDelayCheck && selected != 0 && split->number >= 0 &&
            split->number < kRepeatDelayChoices) {
            refreshing_ = true;
            ShowRepeatDelay(static_cast<int>(split->number));
            refreshing_ = false;
            s.repeatDelay = static_cast<std::uint16_t>(split->number);
            StoreSettings();
        }
        return;
    }
    if (msg.type == ui::notify::kClick && name == kResetRepeatButton) {
        ResetRepeatSettings();
        return;
    }
    if (msg.type == ui::notify::kValueChanged && name == kRepeatSlider) {
        if (auto* slider = dynamic_cast<ui::CSliderUI*>(msg.sender)) {
            s.repeat = static_cast<std::uint16_t>(std::max(slider->GetValue(), 0));
            StoreSettings();
        }
    }
}

void CTarnexKeyboardDevice::ResetRepeatSettings() {
    // The factory profile's repeat rate and delay; the profile's own device document stays.
    config::CKeyboardProfiledata factory = profile_;
    const config::KeyboardSettings defaults =
        factory.LoadDeviceDocument(DefaultProfileFile()) == config::LoadStatus::Loaded
            ? factory.GetKeyboardSettings()
            : config::KeyboardSettings{};
    config::KeyboardSettings& s = settings_.settings;
    s.repeat = defaults.repeat;
    s.repeatDelay = defaults.repeatDelay;
    refreshing_ = true;
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(FindPageControl(kRepeatSlider))) {
        slider->SetValue(s.repeat);
    }
    ShowRepeatDelay(s.repeatDelay);
    refreshing_ = false;
    StoreSettings();
}

}  // namespace norvane::devices
