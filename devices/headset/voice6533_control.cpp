#include "devices/headset/voice6533_control.h"

#include "config/de6533_profiledata.h"
#include "devices/headset/availability_hint.h"
#include "pages/panel_layout.h"
#include "ui/combo.h"
#include "ui/option.h"
#include "ui/slider.h"

#include <algorithm>

namespace norvane::devices::headset {
namespace {

std::string Indexed(std::string_view prefix, int n) {
    return std::string(prefix) + std::to_string(n);
}

void Enable(ui::CControlUI* control, bool enabled) {
    if (control != nullptr) {
        control->SetEnabled(enabled);
    }
}

}  // namespace

void CVoice6533ControlUI::DoInit() {
    pages::LoadPanelLayout(*this, kLayoutFile);
}

ui::COptionUI* CVoice6533ControlUI::Option(std::string_view name) {
    return dynamic_cast<ui::COptionUI*>(FindSubControl(name));
}

ui::CSliderUI* CVoice6533ControlUI::Slider(std::string_view name) {
    return dynamic_cast<ui::CSliderUI*>(FindSubControl(name));
}

ui::CComboUI* CVoice6533ControlUI::Combo() {
    return dynamic_cast<ui::CComboUI*>(FindSubControl(kCustomCombo));
}

void CVoice6533ControlUI::ShowEqType(int eqType) {
    for (int n = 1; n <= config::kCustomEqType; ++n) {
        if (ui::COptionUI* option = Option(Indexed(kEqOption, n))) {
            option->Selected(n == eqType, false);
        }
    }
}

void CVoice6533ControlUI::SetCustomLayoutEnabled(bool enabled) {
    customLayoutWanted_ = enabled;
    Enable(FindSubControl(kCustomLayout), enabled && equaliserAvailable_);
}

void CVoice6533ControlUI::ShowBand(int band, int value) {
    if (ui::CSliderUI* slider = Slider(Indexed(kEqSlider, band))) {
        slider->SetValue(value);
    }
}

std::optional<int> CVoice6533ControlUI::Band(int band) {
    ui::CSliderUI* slider = Slider(Indexed(kEqSlider, band));
    return slider != nullptr ? std::optional(slider->GetValue()) : std::nullopt;
}

void CVoice6533ControlUI::ShowCustomNames(std::span<const std::string> names) {
    ui::CComboUI* combo = Combo();
    if (combo == nullptr) {
        return;
    }
    combo->RemoveAll();
    for (const std::string& name : names) {
        combo->AddString(name, {}, kNameRowHeight);
    }
}

void CVoice6533ControlUI::ShowCustomSelection(int index) {
    if (ui::CComboUI* combo = Combo()) {
        combo->SelectItem(index, false);
    }
}

int CVoice6533ControlUI::CustomSelection() {
    const ui::CComboUI* combo = Combo();
    return combo != nullptr ? combo->GetCurSel() : -1;
}

std::string CVoice6533ControlUI::NewCurveName() {
    const ui::CControlUI* edit = FindSubControl(kCustomEdit);
    return edit != nullptr ? edit->GetText() : std::string();
}

void CVoice6533ControlUI::ShowMicrophone(bool on, int level) {
    if (ui::COptionUI* option = Option(kMicOption)) {
        option->Selected(on, false);
    }
    if (ui::CSliderUI* slider = Slider(kMicSlider)) {
        slider->SetValue(level);
    }
}

void CVoice6533ControlUI::ShowMonitoring(bool on, int level) {
    if (ui::COptionUI* option = Option(kMonitorOption)) {
        option->Selected(on, false);
    }
    if (ui::CSliderUI* slider = Slider(kMonitorSlider)) {
        slider->SetValue(level);
    }
}

std::optional<bool> CVoice6533ControlUI::MicrophoneOn() {
    const ui::COptionUI* option = Option(kMicOption);
    return option != nullptr ? std::optional(option->IsSelected()) : std::nullopt;
}

std::optional<int> CVoice6533ControlUI::MicrophoneLevel() {
    const ui::CSliderUI* slider = Slider(kMicSlider);
    return slider != nullptr ? std::optional(slider->GetValue()) : std::nullopt;
}

std::optional<bool> CVoice6533ControlUI::MonitoringOn() {
    const ui::COptionUI* option = Option(kMonitorOption);
    return option != nullptr ? std::optional(option->IsSelected()) : std::nullopt;
}

std::optional<int> CVoice6533ControlUI::MonitoringLevel() {
    const ui::CSliderUI* slider = Slider(kMonitorSlider);
    return slider != nullptr ? std::optional(slider->GetValue()) : std::nullopt;
}

void CVoice6533ControlUI::ShowHint(std::string_view name, bool available, const std::string& reason) {
    ShowAvailability(FindSubControl(name), available, reason);
}

void CVoice6533ControlUI::ShowCapabilities(const audio::AudioCapabilities& caps) {
    equaliserAvailable_ = caps.equaliser;
    for (int n = 1; n <= config::kCustomEqType; ++n) {
        Enable(Option(Indexed(kEqOption, n)), caps.equaliser);
    }
    for (int band = 0; band < config::kEqBandCount; ++band) {
        Enable(Slider(Indexed(kEqSlider, band)), caps.equaliser);
    }
    SetCustomLayoutEnabled(customLayoutWanted_);
    Enable(Option(kMicOption), caps.microphone);
    Enable(Slider(kMicSlider), caps.microphone);
    Enable(Option(kMonitorOption), caps.monitoring);
    Enable(Slider(kMonitorSlider), caps.monitoring);
    ShowHint(kEqHint, caps.equaliser, caps.equaliserReason);
    ShowHint(kMicHint, caps.microphone);
}

}  // namespace norvane::devices::headset
