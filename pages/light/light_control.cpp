#include "pages/light/light_control.h"

#include "pages/colour_edit.h"
#include "pages/light/light_mode_table.h"
#include "pages/panel_layout.h"
#include "platform/diag.h"
#include "ui/button.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/option.h"
#include "ui/slider.h"

#include <algorithm>
#include <array>
#include <memory>

namespace norvane::pages {
namespace {

constexpr std::string_view kShowAudioMissing = " SetAudioLightInfo control is NULL";
constexpr std::string_view kReadAudioMissing = "GetAudioLightInfo control is NULL";
constexpr std::string_view kReadAudioEditMissing = "GetLightAudioColor control is NULL";

constexpr std::array<std::string_view, 8> kMusicControls{
    CLightControlUI::kMusicModeCombo,  CLightControlUI::kMusicSevenCheck,   CLightControlUI::kMusicBackOption,
    CLightControlUI::kMusicForeOption, CLightControlUI::kMusicEditRed,      CLightControlUI::kMusicEditGreen,
    CLightControlUI::kMusicEditBlue,   CLightControlUI::kMusicColourButton,
};

constexpr ui::Color Argb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000U | (ui::Color{r} << 16) | (ui::Color{g} << 8) | ui::Color{b};
}
constexpr std::uint8_t Red(ui::Color c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t Green(ui::Color c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t Blue(ui::Color c) {
    return static_cast<std::uint8_t>(c);
}

// Which component an edit holds: 0 red, 1 green, 2 blue; −1 for other names.
int ComponentOf(std::string_view name) {
    if (name.empty()) {
        return -1;
    }
    switch (name.back()) {
        case 'R':
            return 0;
        case 'G':
            return 1;
        case 'B':
            return 2;
        default:
            return -1;
    }
}

void SetComponent(std::uint8_t& r, std::uint8_t& g, std::uint8_t& b, int component, std::uint8_t value) {
    std::array<std::uint8_t*, 3> parts{&r, &g, &b};
    *parts[static_cast<std::size_t>(component)] = value;
}

bool IsSelected(const ui::CControlUI* control) {
    const auto* option = dynamic_cast<const ui::COptionUI*>(control);
    return option != nullptr && option->IsSelected();
}

void Select(ui::CControlUI* control, bool selected) {
    if (auto* option = dynamic_cast<ui::COptionUI*>(control)) {
        option->Selected(selected, false);
    }
}

int CurSel(ui::CControlUI* control) {
    const auto* combo = dynamic_cast<const ui::CComboUI*>(control);
    return combo != nullptr ? combo->GetCurSel() : -1;
}

void SelectItem(ui::CControlUI* control, int index) {
    if (auto* combo = dynamic_cast<ui::CComboUI*>(control)) {
        combo->SelectItem(index, false);
    }
}

}  // namespace

void CLightControlUI::DoInit() {
    LoadPanelLayout(*this, kLayoutFile);
}

void CLightControlUI::SetPos(const ui::Rect& rc) {
    ArrangeColourRows(rc.Width() >= kOneColourRowWidth);
    CHorizontalLayoutUI::SetPos(rc);
}

void CLightControlUI::ArrangeColourRows(bool oneRow) {
    constexpr std::array<std::string_view, 3> kRows{"light_colour_row_0", "light_colour_row_1",
                                                    "light_colour_row_2"};
    std::array<ui::CContainerUI*, 3> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = dynamic_cast<ui::CContainerUI*>(Find(kRows[i]));
        if (rows[i] == nullptr) {
            return;
        }
    }
    auto* colours = dynamic_cast<ui::CContainerUI*>(Find("deng_color_layout"));
    if (oneRow == oneColourRow_ || colours == nullptr) {
        return;
    }
    oneColourRow_ = oneRow;
    ui::CContainerUI& first = *rows[0];
    if (oneRow) {
        for (std::size_t i = 1; i < rows.size(); ++i) {
            movedToFirstRow_[i] = rows[i]->GetCount();
            while (rows[i]->GetCount() > 0) {
                first.Add(rows[i]->Detach(rows[i]->GetItemAt(0)));
            }
            rows[i]->SetVisible(false);
        }
        colours->SetFixedHeight(first.GetFixedHeight());
        return;
    }
    // Back into their own rows, last row first.
    int height = 0;
    for (std::size_t i = rows.size() - 1; i >= 1; --i) {
        const int from = first.GetCount() - movedToFirstRow_[i];
        while (first.GetCount() > from && from >= 0) {
            rows[i]->Add(first.Detach(first.GetItemAt(from)));
        }
        rows[i]->SetVisible(true);
        height += rows[i]->GetFixedHeight() + colours->GetChildPadding();
    }
    colours->SetFixedHeight(first.GetFixedHeight() + height);
}

ui::CControlUI* CLightControlUI::Find(std::string_view name) const {
    return const_cast<CLightControlUI*>(this)->FindSubControl(name);
}

void CLightControlUI::SetGroupEnabled(std::string_view name, bool enabled) {
    if (ui::CControlUI* c = Find(name)) {
        c->SetEnabled(enabled);
    }
}

void CLightControlUI::SetGroupVisible(std::string_view name, bool visible) {
    if (ui::CControlUI* c = Find(name)) {
        c->SetVisible(visible);
    }
}

void CLightControlUI::SetDirectionLabels(std::string_view left, std::string_view right) {
    if (ui::CControlUI* c = Find(kLeftOption)) {
        c->SetTextId(std::string(left));
    }
    if (ui::CControlUI* c = Find(kRightOption)) {
        c->SetTextId(std::string(right));
    }
}

void CLightControlUI::SetSameModeAllowed(bool allowed) {
    sameModeAllowed_ = allowed;
    ApplyModeTable(SelectedMode());
}

void CLightControlUI::FillModes(const std::vector<std::string>& names, const std::vector<bool>& visible,
                                int maxBrightness, int maxSpeed) {
    if (auto* combo = dynamic_cast<ui::CComboUI*>(Find(kModeCombo))) {
        combo->RemoveAll();
        for (std::size_t i = 0; i < names.size(); ++i) {
            auto item = std::make_unique<ui::CListLabelElementUI>();
            item->SetFixedHeight(kModeItemHeight);
            item->SetTextId(names[i]);
            item->SetUserData(names[i]);
            item->SetVisible(i < visible.size() && visible[i]);
            combo->Add(std::move(item));
        }
    }
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(Find(kBrightnessSlider))) {
        slider->SetMaxValue(maxBrightness);
    }
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(Find(kSpeedSlider))) {
        slider->SetMaxValue(maxSpeed);
    }
}

void CLightControlUI::ApplyModeTable(int mode) {
    const ModeTable* table = ModeTableFor(deviceKind_);
    if (table == nullptr) {
        return;
    }
    if (table->reset == ModeReset::kKeyboard) {
        for (std::string_view name :
             {"lightcustom_layout", "deng_same_mode", "light_combo_ZZCCmodeSelectLayout",
              "light_combo_AudiomodeSelectLayout"}) {
            SetGroupVisible(name, false);
        }
        SetGroupVisible("deng_speed_layout", true);
        SetGroupEnabled("light_color_layout", true);
        if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(Find("light_color_tablayout"))) {
            tabs->SelectItem(0);
        }
        SetDirectionLabels(kLabelsHorizontal.left, kLabelsHorizontal.right);
    }
    if (table->reset != ModeReset::kNone) {
        SetGroupVisible(kSameModeButton, false);
        SetGroupEnabled("deng_fx_layout", true);
    }
    SetGroupEnabled("lighteffect_layout", true);

    const ModeRow& row = ModeRowFor(*table, mode);
    SetGroupEnabled(kMultiColourCheck, row.multiColour);
    SetGroupEnabled("deng_color_layout", row.colour);
    SetGroupEnabled("colorpallet_layout", row.palette);
    SetGroupEnabled("deng_light_layout", row.brightness);
    if (row.speed == GroupState::kHidden) {
        SetGroupVisible("deng_speed_layout", false);
    } else {
        SetGroupEnabled("deng_speed_layout", row.speed == GroupState::kEnabled);
    }
    if (row.direction) {
        SetGroupEnabled("deng_fx_layout", *row.direction);
    }
    if (row.labels != nullptr) {
        SetDirectionLabels(row.labels->left, row.labels->right);
    }
    if ((row.extras & kShowSecondaryMode) != 0) {
        SetGroupVisible("light_combo_ZZCCmodeSelectLayout", true);
    }
    if ((row.extras & kDisableColourLayout) != 0) {
        SetGroupEnabled("light_color_layout", false);
    }
    if ((row.extras & kShowCustomGroups) != 0) {
        SetGroupVisible("lightcustom_layout", true);
    }
    if ((row.extras & kShowMusicMode) != 0) {
        SetGroupVisible("light_combo_AudiomodeSelectLayout", true);
        if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(Find("light_color_tablayout"))) {
            tabs->SelectItem(1);
        }
    }
    if ((row.extras & kSameMode) != 0 && sameModeAllowed_) {
        SetGroupVisible(kSameModeButton, true);
    }
}

void CLightControlUI::ShowColour(std::uint8_t r, std::uint8_t g, std::uint8_t b, bool selectPalette) {
    const std::array<std::pair<std::string_view, std::uint8_t>, 3> edits{
        {{kEditRed, r}, {kEditGreen, g}, {kEditBlue, b}}};
    for (const auto& [name, value] : edits) {
        if (ui::CControlUI* edit = Find(name)) {
            edit->SetText(std::to_string(value));
        }
    }
    if (auto* palette = dynamic_cast<ui::CColorPaletteUI*>(Find(kPalette));
        palette != nullptr && selectPalette) {
        palette->SetSelectColor(Argb(r, g, b));
    }
    if (ui::CControlUI* button = Find(kColourButton)) {
        button->SetBkColor(Argb(r, g, b));
    }
}

void CLightControlUI::ShowLightInfo(const config::LightInfo& info) {
    SelectItem(Find(kModeCombo), info.selectedMode);
    ApplyModeTable(info.selectedMode);
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(Find(kBrightnessSlider))) {
        slider->SetValue(info.brightness);
    }
    if (auto* slider = dynamic_cast<ui::CSliderUI*>(Find(kSpeedSlider))) {
        slider->SetValue(info.speed);
    }
    ShowColour(info.red, info.green, info.blue, true);
    Select(Find(kMultiColourCheck), info.multiColor != 0);
    SelectItem(Find(kSecondaryCombo), info.secondaryMode);
    Select(Find(kLeftOption), info.direction != 0);
    Select(Find(kRightOption), info.direction == 0);
}

void CLightControlUI::ShowCustomGroup(int group) {
    SelectItem(Find(kCustomCombo), group);
}

int CLightControlUI::SelectedMode() const {
    return CurSel(Find(kModeCombo));
}
int CLightControlUI::CustomGroup() const {
    return CurSel(Find(kCustomCombo));
}
int CLightControlUI::SecondaryMode() const {
    return CurSel(Find(kSecondaryCombo));
}

int CLightControlUI::Brightness() const {
    const auto* slider = dynamic_cast<const ui::CSliderUI*>(Find(kBrightnessSlider));
    return slider != nullptr ? slider->GetValue() : 0;
}

int CLightControlUI::Speed() const {
    const auto* slider = dynamic_cast<const ui::CSliderUI*>(Find(kSpeedSlider));
    return slider != nullptr ? slider->GetValue() : 0;
}

std::string CLightControlUI::EditText(std::string_view editName) const {
    const ui::CControlUI* edit = Find(editName);
    return edit != nullptr ? edit->GetText() : std::string();
}

ui::Color CLightControlUI::PaletteColour() const {
    const auto* palette = dynamic_cast<const ui::CColorPaletteUI*>(Find(kPalette));
    return palette != nullptr ? palette->GetSelectColor() : 0xFF000000U;
}

bool CLightControlUI::MultiColour() const {
    return IsSelected(Find(kMultiColourCheck));
}

ui::Color CLightControlUI::PresetColour(int index) const {
    const ui::CControlUI* preset = Find(std::string(kPresetPrefix) + std::to_string(index));
    return preset != nullptr ? preset->GetBkColor() : 0;
}

ui::Color CLightControlUI::MusicPresetColour(int index) const {
    const ui::CControlUI* preset = Find(std::string(kMusicPresetPrefix) + std::to_string(index));
    return preset != nullptr ? preset->GetBkColor() : 0;
}

config::LightInfo CLightControlUI::OnModeSelected(config::LightInfo info, std::string_view comboName) {
    const int index = CurSel(Find(comboName));
    if (index < 0 || index > 255) {
        return info;
    }
    const auto value = static_cast<std::uint8_t>(index);
    if (comboName == kModeCombo) {
        info.selectedMode = value;
        ApplyModeTable(index);
    } else if (comboName == kSecondaryCombo) {
        info.secondaryMode = value;
    } else if (comboName == kCustomCombo) {
        info.customGroup = value;
    }
    return info;
}

config::LightInfo CLightControlUI::OnSliderChanged(config::LightInfo info,
                                                   std::string_view sliderName) const {
    if (sliderName == kBrightnessSlider) {
        info.brightness = static_cast<std::uint8_t>(std::clamp(Brightness(), 0, 255));
    } else if (sliderName == kSpeedSlider) {
        info.speed = static_cast<std::uint8_t>(std::clamp(Speed(), 0, 255));
    }
    return info;
}

config::LightInfo CLightControlUI::OnOptionChanged(config::LightInfo info,
                                                   std::string_view optionName) const {
    if (optionName == kLeftOption && IsSelected(Find(kLeftOption))) {
        info.direction = 1;
    } else if (optionName == kRightOption && IsSelected(Find(kRightOption))) {
        info.direction = 0;
    } else if (optionName == kMultiColourCheck) {
        info.multiColor = MultiColour() ? 1 : 0;
    }
    return info;
}

std::optional<std::uint8_t> CLightControlUI::ClampedEdit(std::string_view editName) {
    ui::CControlUI* edit = Find(editName);
    if (edit == nullptr) {
        return std::nullopt;
    }
    return TakeColourComponent(*edit);
}

config::LightInfo CLightControlUI::OnColourEdited(config::LightInfo info, std::string_view editName) {
    const int component = ComponentOf(editName);
    const std::optional<std::uint8_t> value = ClampedEdit(editName);
    if (component < 0 || !value) {
        return info;
    }
    SetComponent(info.red, info.green, info.blue, component, *value);
    info.multiColor = 0;
    Select(Find(kMultiColourCheck), false);
    ShowColour(info.red, info.green, info.blue, true);
    return info;
}

config::LightInfo CLightControlUI::OnPaletteChanged(config::LightInfo info) {
    const ui::Color colour = PaletteColour();
    info.red = Red(colour);
    info.green = Green(colour);
    info.blue = Blue(colour);
    info.multiColor = 0;
    Select(Find(kMultiColourCheck), false);
    ShowColour(info.red, info.green, info.blue, false);
    return info;
}

config::LightInfo CLightControlUI::OnPresetClicked(config::LightInfo info, int index) {
    const ui::Color colour = PresetColour(index);
    info.red = Red(colour);
    info.green = Green(colour);
    info.blue = Blue(colour);
    info.multiColor = 0;
    Select(Find(kMultiColourCheck), false);
    ShowColour(info.red, info.green, info.blue, true);
    return info;
}

// --- music light ---

void CLightControlUI::ShowMusicColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::array<std::pair<std::string_view, std::uint8_t>, 3> edits{
        {{kMusicEditRed, r}, {kMusicEditGreen, g}, {kMusicEditBlue, b}}};
    for (const auto& [name, value] : edits) {
        Find(name)->SetText(std::to_string(value));
    }
    if (auto* palette = dynamic_cast<ui::CColorPaletteUI*>(Find(kMusicPalette))) {
        palette->SetSelectColor(Argb(r, g, b));
    }
    Find(kMusicColourButton)->SetBkColor(Argb(r, g, b));
}

void CLightControlUI::ShowAudioLightState(const config::AudioLightInfo& state) {
    audio_ = state;
    const bool complete =
        std::ranges::all_of(kMusicControls, [this](std::string_view name) { return Find(name) != nullptr; });
    if (!complete) {
        platform::diag::Trace(kShowAudioMissing);
        return;
    }
    SelectItem(Find(kMusicModeCombo), state.mode);
    ui::CControlUI* seven = Find(kMusicSevenCheck);
    const bool foreground = state.colorType == 1;
    Select(Find(kMusicBackOption), !foreground);
    Select(Find(kMusicForeOption), foreground);
    seven->SetEnabled(foreground);
    if (foreground) {
        Select(seven, state.sevenColor != 0);
        ShowMusicColour(state.foregroundRed, state.foregroundGreen, state.foregroundBlue);
    } else {
        ShowMusicColour(state.backgroundRed, state.backgroundGreen, state.backgroundBlue);
    }
    const bool colours = state.mode != 3;
    SetGroupEnabled("light_audiocolor_layout", colours);
    SetGroupEnabled("audiocolorpallet_layout", colours);
}

config::AudioLightInfo CLightControlUI::ReadAudioLight(bool takeColour) const {
    config::AudioLightInfo read = audio_;
    const bool complete =
        std::ranges::all_of(kMusicControls, [this](std::string_view name) { return Find(name) != nullptr; });
    if (!complete) {
        platform::diag::Trace(kReadAudioMissing);
        return read;
    }
    if (const int mode = CurSel(Find(kMusicModeCombo)); mode >= 0 && mode <= 255) {
        read.mode = static_cast<std::uint8_t>(mode);
    }
    read.sevenColor = IsSelected(Find(kMusicSevenCheck)) ? 1 : 0;
    const bool shownForeground = audio_.colorType == 1;
    const bool back = IsSelected(Find(kMusicBackOption));
    const bool fore = IsSelected(Find(kMusicForeOption));
    read.colorType = back && (shownForeground || !fore) ? 0 : 1;
    if (takeColour) {
        const ui::Color colour = Find(kMusicColourButton)->GetBkColor();
        if (read.colorType == 1) {
            read.foregroundRed = Red(colour);
            read.foregroundGreen = Green(colour);
            read.foregroundBlue = Blue(colour);
        } else {
            read.backgroundRed = Red(colour);
            read.backgroundGreen = Green(colour);
            read.backgroundBlue = Blue(colour);
        }
    }
    return read;
}

config::AudioLightInfo CLightControlUI::OnMusicColourChosen(ui::Color colour, bool fromPreset) {
    config::AudioLightInfo next = audio_;
    if (next.colorType == 1) {
        next.foregroundRed = Red(colour);
        next.foregroundGreen = Green(colour);
        next.foregroundBlue = Blue(colour);
        if (fromPreset) {
            next.sevenColor = 0;
        }
    } else {
        next.backgroundRed = Red(colour);
        next.backgroundGreen = Green(colour);
        next.backgroundBlue = Blue(colour);
    }
    ShowAudioLightState(next);
    return next;
}

config::AudioLightInfo CLightControlUI::OnMusicPresetClicked(int index) {
    return OnMusicColourChosen(MusicPresetColour(index), true);
}

config::AudioLightInfo CLightControlUI::OnMusicColourEdited(std::string_view editName) {
    const int component = ComponentOf(editName);
    const std::optional<std::uint8_t> value = ClampedEdit(editName);
    if (!value) {
        platform::diag::Trace(kReadAudioEditMissing);
        return audio_;
    }
    if (component < 0) {
        return audio_;
    }
    config::AudioLightInfo next = audio_;
    if (next.colorType == 1) {
        SetComponent(next.foregroundRed, next.foregroundGreen, next.foregroundBlue, component, *value);
        next.sevenColor = 0;
    } else {
        SetComponent(next.backgroundRed, next.backgroundGreen, next.backgroundBlue, component, *value);
    }
    ShowAudioLightState(next);
    return next;
}

config::AudioLightInfo CLightControlUI::OnMusicBackgroundBlack() {
    config::AudioLightInfo next = audio_;
    next.backgroundRed = 0;
    next.backgroundGreen = 0;
    next.backgroundBlue = 0;
    ShowAudioLightState(next);
    return next;
}

}  // namespace norvane::pages
