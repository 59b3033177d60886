// The mouse object's page: the picture, the DPI stages, the report rate, the pointer
// settings, the settings tabs and the key info list.
#include "devices/mouse/mouse_device.h"

#include "config/key_codes.h"
#include "config/strings.h"
#include "devices/light/frame_packing.h"
#include "pages/device_key_button.h"
#include "pages/key_set/key_set_control.h"
#include "pages/shoot/shoot_control.h"
#include "platform/diag.h"
#include "ui/container.h"
#include "ui/control_factory.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/option.h"
#include "ui/paint_manager.h"
#include "ui/platform.h"
#include "ui/resource_manager.h"
#include "ui/slider.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace norvane::devices {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::string_view kSliderFore = "Control/SliderBar_BK1.png";
constexpr std::string_view kCurrentThumb = "Control/SliderBar1_Thumb.png";
constexpr std::string_view kOtherThumb = "Control/SliderBar2_Thumb.png";

std::string LanguageText(std::string_view id) {
    if (ui::IUiPlatform* platform = ui::CurrentPlatform()) {
        return platform->Resources().Text(id);
    }
    return std::string(id);
}

std::string Indexed(std::string_view prefix, int index) {
    return std::string(prefix) + std::to_string(index);
}

void SelectOption(ui::CControlUI* control, bool selected) {
    if (auto* option = dynamic_cast<ui::COptionUI*>(control)) {
        option->Selected(selected, false);
    }
}

bool IsSelected(const ui::CControlUI* control) {
    const auto* option = dynamic_cast<const ui::COptionUI*>(control);
    return option != nullptr && option->IsSelected();
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

// --- page ---

void CTarnexMouseDevice::InitPage() {
    lighting_.SetLedCount(LedCount());
    CTarnexUSBDevice::InitPage();  // registers the notifier, indexes "key_" N and "light_" N
    BuildPage();
}

void CTarnexMouseDevice::BuildPage() {
    CollectPreviewSpots();
    FindPanels();
    SetSelectionPanel(FindPageControl("mouse_device_key_light"));
    SelectSettingsTab(0);
}

void CTarnexMouseDevice::CollectPreviewSpots() {
    previewSpots_.assign(static_cast<std::size_t>(LedCount()), nullptr);
    for (int i = 0; i < LedCount(); ++i) {
        ui::CControlUI* spot = FindPageControl(Indexed(kPreviewPrefix, i));
        previewSpots_[static_cast<std::size_t>(i)] = spot;
        if (auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(spot)) {
            button->SetLightOverlay(kWhite, 255, true);
        }
    }
    logo_ = FindPageControl(kLogo);
}

void CTarnexMouseDevice::FindPanels() {
    // Panels the layout does not have yet are skipped.
    profilePanel_ = FindPageControl("DeviceProfileItem");
    lightPanel_ = FindPageControl("LightControlItem");
    macroPanel_ = FindPageControl("MacroControlItem");
    ConnectMacroPanel(macroPanel_, *this, macroLink_);
    keySetPanel_ = FindPageControl("KeySetControlItem");
    if (pages::CKeySetControlUI* panel = KeySetPanel()) {
        panel->SetApplyHandler([this](config::KeyAssignment current, config::KeyAssignment) {
            return ApplySelectedKey(current);
        });
        panel->Build(pages::CKeySetControlUI::kMouse, names_.macroNames);
    }
    shootPanel_ = FindPageControl("ShootControlItem");
    if (pages::CShootControlUI* panel = ShootPanel(); panel != nullptr && !TypeName().empty()) {
        panel->Build(DataFolder(), DefaultDataFolderPath());
    }
    if (keySetPanel_ != nullptr) {
        keySetPanel_->SetVisible(false);
    }
}

void CTarnexMouseDevice::SwitchFunctionTab(int type) {
    CTarnexUSBDevice::SwitchFunctionTab(type);
    if (ui::CControlUI* hint = FindPageControl(kHint)) {
        hint->SetVisible(false);
    }
}

void CTarnexMouseDevice::SelectKey(int index) {
    CTarnexUSBDevice::SelectKey(index);
    if (keySetPanel_ != nullptr) {
        keySetPanel_->SetVisible(true);
    }
    pages::CKeySetControlUI* panel = KeySetPanel();
    if (panel == nullptr) {
        return;
    }
    if (index < 0 || index >= static_cast<int>(keyList_.size())) {
        panel->HideEditor();
        return;
    }
    const config::KeyListEntry& entry = keyList_[static_cast<std::size_t>(index)];
    panel->ShowKey(entry.current, entry.defaultAssignment);
}

pages::CKeySetControlUI* CTarnexMouseDevice::KeySetPanel() const {
    return dynamic_cast<pages::CKeySetControlUI*>(keySetPanel_);
}

pages::CShootControlUI* CTarnexMouseDevice::ShootPanel() const {
    return dynamic_cast<pages::CShootControlUI*>(shootPanel_);
}

bool CTarnexMouseDevice::ApplySelectedKey(config::KeyAssignment current) {
    if (!SetSelectedKeyAssignment(current.type, current.param1, current.param2)) {
        return false;
    }
    SaveDeviceProfile();
    RefreshKeyInfoList();
    return true;
}

void CTarnexMouseDevice::SelectSettingsTab(int index) {
    auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindPageControl(kSettingsTabs));
    if (tabs == nullptr) {
        return;
    }
    const int shown = index >= 0 && index < tabs->GetCount() ? index : 0;
    tabs->SelectItem(shown);
    auto* options = dynamic_cast<ui::CContainerUI*>(FindPageControl(kSettingsOptions));
    if (options == nullptr) {
        return;
    }
    const std::string wanted = Lower(Indexed(kSettingsOption, shown));
    for (int i = 0; i < options->GetCount(); ++i) {
        ui::CControlUI* child = options->GetItemAt(i);
        if (child != nullptr && child->GetClass() == "Option") {
            SelectOption(child, Lower(child->GetName()) == wanted);
        }
    }
}

// --- DPI display ---

void CTarnexMouseDevice::SetDpiRanges() {
    const bool entry = scale_.EntryEnabled();
    for (int n = 0; n < kStageCount; ++n) {
        if (auto* slider = dynamic_cast<ui::CSliderUI*>(FindPageControl(Indexed(kDpiSlider, n)))) {
            slider->SetMinValue(0);
            slider->SetMaxValue(entry ? scale_.sliderMax : 0);
            slider->SetEnabled(entry);
        }
        if (auto* edit = dynamic_cast<ui::CEditUI*>(FindPageControl(Indexed(kDpiEdit, n)))) {
            edit->SetNumberLimits(0, entry ? scale_.MaxTypedDpi() : 0);
            edit->SetEnabled(entry);
        }
    }
}

void CTarnexMouseDevice::ShowStage(int stage, int slider) {
    const bool current = stage == currentStage_;
    if (auto* bar = dynamic_cast<ui::CSliderUI*>(FindPageControl(Indexed(kDpiSlider, stage)))) {
        bar->SetValue(slider);
        bar->SetForeImage(std::string(kSliderFore));
        const std::string thumb(current ? kCurrentThumb : kOtherThumb);
        bar->SetThumbImage(thumb);
        bar->SetThumbHotImage(thumb);
        bar->SetThumbPushedImage(thumb);
    }
    if (ui::CControlUI* edit = FindPageControl(Indexed(kDpiEdit, stage))) {
        edit->SetText(scale_.EntryEnabled() ? std::to_string(scale_.DisplayDpi(slider)) : std::string());
    }
    if (ui::CControlUI* enable = FindPageControl(Indexed(kDpiEnable, stage))) {
        // The current stage cannot be switched off.
        enable->SetEnabled(!current);
    }
    SelectOption(FindPageControl(Indexed(kDpiSelect, stage)), current);
}

void CTarnexMouseDevice::ShowStageEnabled(int stage, bool enabled, bool changed) {
    if (ui::CControlUI* layout = FindPageControl(Indexed(kDpiLayout, stage))) {
        layout->SetEnabled(enabled);
    }
    SelectOption(FindPageControl(Indexed(kDpiEnable, stage)), enabled);
    if (!changed) {
        return;
    }
    std::vector<ui::CControlUI*> checked;
    for (int n = 0; n < kStageCount; ++n) {
        ui::CControlUI* box = FindPageControl(Indexed(kDpiEnable, n));
        if (box == nullptr) {
            continue;
        }
        if (enabled) {
            box->SetEnabled(n != currentStage_);
        }
        if (IsSelected(box)) {
            checked.push_back(box);
        }
    }
    // The last enabled stage cannot be switched off.
    if (!enabled && checked.size() == 1) {
        checked.front()->SetEnabled(false);
    }
}

void CTarnexMouseDevice::ShowStageColour(int stage) {
    if (ui::CControlUI* swatch = FindPageControl(Indexed(kDpiColour, stage))) {
        swatch->SetBkColor(0xFF000000U | GetStageColour(stage));
    }
}

void CTarnexMouseDevice::ShowDpiControls() {
    const int shown = std::min<int>(kStageCount, static_cast<int>(stages_.size()));
    for (int n = 0; n < shown; ++n) {
        const config::DpiStage& stage = stages_[static_cast<std::size_t>(n)];
        ShowStage(n, stage.dpiX);
        ShowStageEnabled(n, stage.enabled != 0, false);
        ShowStageColour(n);
    }
}

void CTarnexMouseDevice::ShowReportRate() {
    const int rate = settings_.reportRateStage < kReportRates ? settings_.reportRateStage : 0;
    for (int n = 0; n < kReportRates; ++n) {
        SelectOption(FindPageControl(Indexed(kReportRateOption, n)), n == rate);
    }
}

void CTarnexMouseDevice::RefreshKeyInfoList() {
    auto* list = dynamic_cast<ui::CListUI*>(FindPageControl(kKeyInfoList));
    if (list == nullptr) {
        return;
    }
    list->RemoveAll();
    for (const config::KeyListEntry& entry : keyList_) {
        const config::AssignmentCaption caption = config::NameAssignment(entry.current, names_.macroNames);
        std::string text;
        if (caption.kind == config::AssignmentCaption::Kind::NameIds) {
            for (const std::string& id : caption.parts) {
                text += (text.empty() ? "" : "+") + LanguageText(id);
            }
        } else if (caption.kind == config::AssignmentCaption::Kind::Text && !caption.parts.empty()) {
            text = caption.parts.front();
        }
        auto row = std::make_unique<ui::CListLabelElementUI>();
        row->SetText(text);
        list->Add(std::move(row));
    }
}

int CTarnexMouseDevice::SliderValue(int stage) {
    if (auto* bar = dynamic_cast<ui::CSliderUI*>(FindPageControl(Indexed(kDpiSlider, stage)))) {
        return bar->GetValue();
    }
    return stage < static_cast<int>(stages_.size()) ? stages_[static_cast<std::size_t>(stage)].dpiX : 0;
}

void CTarnexMouseDevice::RefreshPage() {
    refreshing_ = true;
    LoadLightNames();
    FillLightPanel(names_.modeNames, names_.modeVisible);
    RefreshKeyInfoList();
    SetDpiRanges();
    ShowDpiControls();
    ShowReportRate();
    refreshing_ = false;
}

// --- stages and settings ---

void CTarnexMouseDevice::SetDpiStages(std::vector<config::DpiStage> stages) {
    stages_ = std::move(stages);
    currentStage_ = std::clamp(currentStage_, 0, std::max(0, static_cast<int>(stages_.size()) - 1));
    StoreStages();
}

std::uint32_t CTarnexMouseDevice::GetStageColour(int stage) const {
    if (stage < 0 || stage >= static_cast<int>(stages_.size())) {
        return 0;
    }
    const config::DpiStage& s = stages_[static_cast<std::size_t>(stage)];
    return static_cast<std::uint32_t>(s.red) << 16 | static_cast<std::uint32_t>(s.green) << 8 | s.blue;
}

bool CTarnexMouseDevice::SetStageColour(int stage, std::uint32_t rgb) {
    if (stage < 0 || stage >= static_cast<int>(stages_.size())) {
        return false;
    }
    config::DpiStage& s = stages_[static_cast<std::size_t>(stage)];
    s.red = static_cast<std::uint8_t>(rgb >> 16);
    s.green = static_cast<std::uint8_t>(rgb >> 8);
    s.blue = static_cast<std::uint8_t>(rgb);
    ShowStageColour(stage);
    SaveAndApply();
    return true;
}

void CTarnexMouseDevice::SetMouseSettings(const config::MouseSettings& settings) {
    settings_ = settings;
    StoreSettings();
}

void CTarnexMouseDevice::SelectDpiStage(int index) {
    if (index < 0 || index >= std::min<int>(kStageCount, static_cast<int>(stages_.size()))) {
        return;
    }
    currentStage_ = index;
    for (int n = 0; n < std::min<int>(kStageCount, static_cast<int>(stages_.size())); ++n) {
        stages_[static_cast<std::size_t>(n)].dpiX = static_cast<std::uint16_t>(std::max(SliderValue(n), 0));
    }
    refreshing_ = true;
    ShowDpiControls();
    refreshing_ = false;
    SaveAndApply();
}

void CTarnexMouseDevice::StoreStages() {
    profile_.SetDpiStages(stages_);
    profile_.SetCurrentDpiStage(currentStage_);
}

void CTarnexMouseDevice::StoreSettings() {
    profile_.SetMouseSettings(settings_);
    SaveDeviceProfile();
}

void CTarnexMouseDevice::SaveAndApply() {
    StoreStages();
    SaveDeviceProfile();
    WriteDeviceSettings({});
}

// --- page events ---

bool CTarnexMouseDevice::OnDpiNotify(ui::TNotifyUI& msg, std::string_view prefix, int n) {
    if (n < 0 || n >= std::min<int>(kStageCount, static_cast<int>(stages_.size()))) {
        return false;
    }
    config::DpiStage& stage = stages_[static_cast<std::size_t>(n)];
    const std::string& type = msg.type;
    if (prefix == kDpiSlider && (type == ui::notify::kValueChanged || type == ui::notify::kMoveValueChanged)) {
        const int value = SliderValue(n);
        if (type == ui::notify::kMoveValueChanged) {
            if (ui::CControlUI* edit = FindPageControl(Indexed(kDpiEdit, n)); edit && scale_.EntryEnabled()) {
                edit->SetText(std::to_string(scale_.DisplayDpi(value)));
            }
            return true;
        }
        stage.dpiX = static_cast<std::uint16_t>(std::max(value, 0));
        ShowStage(n, stage.dpiX);
        SaveAndApply();
        return true;
    }
    if (prefix == kDpiEdit && type == ui::notify::kKillFocus) {
        if (!scale_.EntryEnabled()) {
            return true;
        }
        const int value = scale_.SliderOf(msg.sender->GetText());
        stage.dpiX = static_cast<std::uint16_t>(value);
        ShowStage(n, value);  // the edit shows the DPI actually stored
        SaveAndApply();
        return true;
    }
    if (prefix == kDpiEnable && type == ui::notify::kSelectChanged) {
        const bool enabled = IsSelected(msg.sender);
        stage.enabled = enabled ? 1 : 0;
        ShowStageEnabled(n, enabled, true);
        SaveAndApply();
        return true;
    }
    if (prefix == kDpiSelect && type == ui::notify::kSelectChanged && IsSelected(msg.sender)) {
        SelectDpiStage(n);
        return true;
    }
    return false;
}

bool CTarnexMouseDevice::OnSettingsNotify(ui::TNotifyUI& msg, const std::string& name) {
    auto* slider = dynamic_cast<ui::CSliderUI*>(msg.sender);
    const auto sliderValue = [slider] { return static_cast<std::uint16_t>(std::max(slider->GetValue(), 0)); };
    if (slider != nullptr && msg.type == ui::notify::kValueChanged) {
        if (name == kPointerSpeed) {
            settings_.pointerSpeed = sliderValue();
        } else if (name == kScrollSpeed) {
            settings_.wheelLines = sliderValue();
            settings_.scrollPage = 0;
            refreshing_ = true;
            SelectOption(FindPageControl(kScrollPage), false);
            refreshing_ = false;
        } else if (name == kDoubleClick) {
            settings_.doubleClickTime = sliderValue();
        } else {
            return false;
        }
        StoreSettings();
        return true;
    }
    if (msg.type != ui::notify::kSelectChanged) {
        return false;
    }
    const std::uint16_t selected = IsSelected(msg.sender) ? 1 : 0;
    if (name == kPointerPrecision) {
        settings_.pointerPrecision = selected;
    } else if (name == kScrollPage) {
        settings_.scrollPage = selected;
        if (auto* speed = dynamic_cast<ui::CSliderUI*>(FindPageControl(kScrollSpeed))) {
            settings_.wheelLines = static_cast<std::uint16_t>(std::max(speed->GetValue(), 0));
        }
    } else {
        return false;
    }
    StoreSettings();
    return true;
}

void CTarnexMouseDevice::OnPageNotify(ui::TNotifyUI& msg) {
    if (refreshing_ || msg.sender == nullptr) {
        return;
    }
    const std::string& name = msg.sender->GetName();
    const auto split = config::SplitIndexedName(name);
    if (split && split->number >= 0) {
        const int n = static_cast<int>(split->number);
        for (std::string_view prefix : {kDpiSlider, kDpiEdit, kDpiEnable, kDpiSelect}) {
            if (split->prefix == prefix && OnDpiNotify(msg, prefix, n)) {
                return;
            }
        }
        if (split->prefix == kReportRateOption && msg.type == ui::notify::kSelectChanged &&
            IsSelected(msg.sender) && n < kReportRates) {
            settings_.reportRateStage = static_cast<std::uint16_t>(n);
            profile_.SetMouseSettings(settings_);
            SaveAndApply();
            return;
        }
        if (split->prefix == kSettingsOption && msg.type == ui::notify::kSelectChanged && IsSelected(msg.sender)) {
            refreshing_ = true;
            SelectSettingsTab(n);
            refreshing_ = false;
            return;
        }
    }
    OnSettingsNotify(msg, name);
}

// --- light frame ---

void CTarnexMouseDevice::SendLightFrame() {
    if (HostLighting() == 0) {
        return;
    }
    for (std::size_t i = 0; i < previewSpots_.size(); ++i) {
        auto* spot = dynamic_cast<pages::CDeviceKeyButtonUI*>(previewSpots_[i]);
        if (spot != nullptr && spot->IsVisible()) {
            const light::LedColor entry = frame_.Get(static_cast<int>(i));
            spot->SetLightOverlay(light::ButtonColour(entry), entry.level, true);
        }
    }
    if (ui::CControlUI* picture = SelectionPanel()) {
        picture->Invalidate();
    }
    if (auto* logo = dynamic_cast<pages::CDeviceKeyButtonUI*>(logo_); logo != nullptr && logoLed_ != -1) {
        const light::LedColor entry = frame_.Get(logoLed_);
        logo->SetLightOverlay(light::ButtonColour(entry), entry.level, true);
    }
    CTarnexUSBDevice::SendLightFrame();
}

}  // namespace norvane::devices
