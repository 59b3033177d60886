#include "pages/key_set/key_set_control.h"

#include "config/key_code_tables.h"
#include "config/strings.h"
#include "pages/panel_layout.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/option.h"

#include <algorithm>
#include <array>
#include <string>

namespace norvane::pages {
namespace {

using config::KeyAssignment;
using config::KeyFunctionFamily;

constexpr std::string_view kLayout = "keyset_layout";
constexpr std::string_view kFamilyCombo = "keyset_function_combo";
constexpr std::string_view kFamilyTabs = "function_switch_tablayout";
constexpr std::string_view kMouseKeyCombo = "keyset_mousekey_combo";
constexpr std::string_view kSwingCombo = "keyset_mouseswing_combo";
constexpr std::string_view kSwingCount = "keyset_mouseswing_num_edit";
constexpr std::string_view kSwingDelay = "keyset_mouseswing_delay_edit";
constexpr std::string_view kSwingSpeed = "keyset_mouseswing_speed_edit";
constexpr std::string_view kWheelCombo = "keyset_mousewheel_combo";
constexpr std::string_view kWheelCount = "keyset_mousewheel_num_edit";
constexpr std::string_view kWheelDelay = "keyset_mousewheel_delay_edit";
constexpr std::string_view kWheelSpeed = "keyset_mousewheel_speed_edit";
constexpr std::string_view kDpiCombo = "keyset_mousedpi_combo";
constexpr std::string_view kFireInterval = "keyset_mousefire_interval_edit";
constexpr std::string_view kFireShots = "keyset_mousefire_num_edit";
constexpr std::string_view kKeyField = "keyset_keyboard_text_edit";
constexpr std::string_view kMediaCombo = "keyset_media_combo";
constexpr std::string_view kSystemCombo = "keyset_system_combo";
constexpr std::string_view kMacroCombo = "keyset_macro_combo";
constexpr std::string_view kRepeatCombo = "keyset_macro_over_combo";
constexpr std::string_view kCycleLayout = "keyset_macro_cycle_layout";
constexpr std::string_view kCycleEdit = "keyset_macro_cycle_edit";
constexpr std::string_view kGunCombo = "keyset_gunkey_combo";
constexpr std::string_view kShortcutCombo = "keyset_combokey_combo";
constexpr std::string_view kTextTest = "text_test";
constexpr std::array<std::string_view, 3> kSaveButtons{"key_butt_keysave", "key_butt_keycancel",
                                                       "key_butt_prosave"};
constexpr int kModifierOptions = 5;
constexpr int kRepeatWithCount = 4;

// Families the keyboard's selector does not offer.
constexpr std::array<KeyFunctionFamily, 2> kMouseOnlyFamilies{KeyFunctionFamily::Dpi,
                                                              KeyFunctionFamily::GunKey};

int FamilyNumber(KeyFunctionFamily family) {
    return static_cast<int>(family);
}

// The combo whose item decoding selects for a preset family.
std::string_view PresetCombo(KeyFunctionFamily family) {
    switch (family) {
        case KeyFunctionFamily::MouseButton:
            return kMouseKeyCombo;
        case KeyFunctionFamily::Dpi:
            return kDpiCombo;
        case KeyFunctionFamily::Media:
            return kMediaCombo;
        case KeyFunctionFamily::System:
            return kSystemCombo;
        case KeyFunctionFamily::Combination:
            return kShortcutCombo;
        default:
            return {};
    }
}

}  // namespace

void CKeySetControlUI::DoInit() {
    LoadPanelLayout(*this, kLayoutFile);
}

ui::CComboUI* CKeySetControlUI::Combo(std::string_view name) {
    return dynamic_cast<ui::CComboUI*>(FindSubControl(name));
}

ui::CEditUI* CKeySetControlUI::Edit(std::string_view name) {
    return dynamic_cast<ui::CEditUI*>(FindSubControl(name));
}

void CKeySetControlUI::Build(int deviceKind, std::span<const std::string> macroNames) {
    deviceKind_ = deviceKind;
    if (ui::CComboUI* families = Combo(kFamilyCombo)) {
        for (int i = 0; i < families->GetCount(); ++i) {
            ui::CControlUI* item = families->GetItemAt(i);
            const long long family = config::LeadingInteger(item->GetUserData());
            const bool mouseOnly = std::ranges::any_of(
                kMouseOnlyFamilies, [family](KeyFunctionFamily f) { return family == FamilyNumber(f); });
            item->SetVisible(!(mouseOnly && deviceKind == kKeyboard));
        }
    }
    HideEditor();
    SetMacroNames(macroNames);
}

void CKeySetControlUI::SetMacroNames(std::span<const std::string> macroNames) {
    ui::CComboUI* macros = Combo(kMacroCombo);
    if (macros == nullptr) {
        return;
    }
    macros->RemoveAll();
    for (const std::string& name : macroNames) {
        macros->AddString(name, {}, kMacroItemHeight);
    }
    macros->SelectItem(-1, false);
    if (const ui::CControlUI* layout = FindSubControl(kLayout); layout != nullptr && layout->IsOwnVisible()) {
        Decode(editing_);
    }
}

void CKeySetControlUI::AppendMacro(std::string name) {
    if (ui::CComboUI* macros = Combo(kMacroCombo)) {
        macros->AddString(std::move(name), {}, kMacroItemHeight);
    }
}

void CKeySetControlUI::RemoveMacro(int index) {
    if (ui::CComboUI* macros = Combo(kMacroCombo); macros != nullptr && index >= 0) {
        macros->RemoveAt(index);
    }
}

void CKeySetControlUI::RenameMacro(int index, std::string name) {
    ui::CComboUI* macros = Combo(kMacroCombo);
    if (macros == nullptr || index < 0 || name.empty()) {
        return;
    }
    if (ui::CControlUI* item = macros->GetItemAt(index)) {
        item->SetText(std::move(name));
    }
}

int CKeySetControlUI::MacroCount() {
    ui::CComboUI* macros = Combo(kMacroCombo);
    return macros != nullptr ? macros->GetCount() : 0;
}

void CKeySetControlUI::HideEditor() {
    if (ui::CControlUI* layout = FindSubControl(kLayout)) {
        layout->SetVisible(false);
    }
}

void CKeySetControlUI::ShowKey(KeyAssignment current, KeyAssignment defaultValue) {
    current_ = current;
    default_ = defaultValue;
    if (ui::CControlUI* layout = FindSubControl(kLayout)) {
        layout->SetVisible(true);
    }
    Decode(current);
}

std::string CKeySetControlUI::Translate(std::string_view nameId) {
    ui::CControlUI* label = FindSubControl(kTextTest);
    if (label == nullptr) {
        return std::string(nameId);
    }
    label->SetTextId(std::string(nameId));
    std::string text = label->GetText();
    return text.empty() ? std::string(nameId) : text;
}

int CKeySetControlUI::SelectedModifierOption() {
    for (int n = 0; n < kModifierOptions; ++n) {
        const auto* option =
            dynamic_cast<ui::COptionUI*>(FindSubControl(std::string(kModifierOption) + std::to_string(n)));
        if (option != nullptr && option->IsSelected()) {
            return n;
        }
    }
    return -1;
}

void CKeySetControlUI::SelectModifierOption(int option) {
    for (int n = 0; n < kModifierOptions; ++n) {
        if (auto* control = dynamic_cast<ui::COptionUI*>(
                FindSubControl(std::string(kModifierOption) + std::to_string(n)))) {
            control->Selected(n == option, false);
        }
    }
}

void CKeySetControlUI::ShowFamilyPage(int family) {
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindSubControl(kFamilyTabs));
        tabs != nullptr && family >= 0) {
        tabs->SelectItem(family);
    }
}

void CKeySetControlUI::WriteNumber(std::string_view edit, int value) {
    if (ui::CEditUI* control = Edit(edit)) {
        control->SetTextNotify(std::to_string(value), false);
    }
}

KeySetFields CKeySetControlUI::ReadFields() {
    const auto selected = [this](std::string_view name) {
        const ui::CComboUI* combo = Combo(name);
        return combo != nullptr ? combo->GetCurSel() : -1;
    };
    const auto number = [this](std::string_view name) {
        const ui::CEditUI* edit = Edit(name);
        return edit != nullptr ? static_cast<int>(config::LeadingInteger(edit->GetText())) : 0;
    };
    KeySetFields f;
    f.familyUserData = -1;
    if (ui::CComboUI* families = Combo(kFamilyCombo)) {
        if (const ui::CControlUI* item = families->GetItemAt(families->GetCurSel())) {
            f.familyUserData = static_cast<int>(config::LeadingInteger(item->GetUserData()));
        }
    }
    f.mouseButton = selected(kMouseKeyCombo);
    f.swingDirection = selected(kSwingCombo);
    f.swingCount = number(kSwingCount);
    f.swingDelay = number(kSwingDelay);
    f.swingSpeed = number(kSwingSpeed);
    f.wheelDirection = selected(kWheelCombo);
    f.wheelCount = number(kWheelCount);
    f.wheelDelay = number(kWheelDelay);
    f.wheelSpeed = number(kWheelSpeed);
    f.dpi = selected(kDpiCombo);
    f.fireInterval = number(kFireInterval);
    f.fireShots = number(kFireShots);
    f.modifierOption = SelectedModifierOption();
    const ui::CEditUI* keyField = Edit(kKeyField);
    f.keyFieldEmpty = keyField == nullptr || keyField->GetText().empty();
    f.media = selected(kMediaCombo);
    f.system = selected(kSystemCombo);
    f.macro = selected(kMacroCombo);
    f.repeatMode = selected(kRepeatCombo);
    f.repeatCount = number(kCycleEdit);
    f.gun = selected(kGunCombo);
    f.shortcut = selected(kShortcutCombo);
    return f;
}

KeyAssignment CKeySetControlUI::Encode() {
    editing_ = EncodeKeySet(ReadFields(), editing_, default_, MacroCount());
    return editing_;
}

bool CKeySetControlUI::Decode(KeyAssignment value) {
    const KeySetDecoded d = DecodeKeySet(value, default_, MacroCount());
    editing_ = d.editing;
    if (!d.family) {
        HideEditor();
        return false;
    }
    const auto select = [this](std::string_view name, int item) {
        if (ui::CComboUI* combo = Combo(name); combo != nullptr && !name.empty()) {
            combo->SelectItem(item, false);
        }
    };
    switch (*d.family) {
        case KeyFunctionFamily::HorizontalScroll:
            WriteNumber(kSwingDelay, d.scroll.delay);
            WriteNumber(kSwingSpeed, d.scroll.speed);
            WriteNumber(kSwingCount, d.scroll.count);
            select(kSwingCombo, d.scroll.secondDirection ? 1 : 0);
            break;
        case KeyFunctionFamily::VerticalScroll:
            WriteNumber(kWheelDelay, d.scroll.delay);
            WriteNumber(kWheelSpeed, d.scroll.speed);
            WriteNumber(kWheelCount, d.scroll.count);
            select(kWheelCombo, d.scroll.secondDirection ? 1 : 0);
            break;
        case KeyFunctionFamily::RapidFire:
            WriteNumber(kFireInterval, d.fireInterval);
            WriteNumber(kFireShots, d.fireShots);
            break;
        case KeyFunctionFamily::KeyboardKey:
            SelectModifierOption(d.modifierOption);
            if (ui::CEditUI* field = Edit(kKeyField)) {
                field->SetTextNotify(
                    d.keyRow ? Translate(config::kKeyCodeTable[*d.keyRow].nameId) : std::string(), false);
            }
            break;
        case KeyFunctionFamily::Macro:
            select(kMacroCombo, d.macro);
            select(kRepeatCombo, d.repeatMode);
            if (ui::CControlUI* cycle = FindSubControl(kCycleLayout)) {
                cycle->SetVisible(d.cycleShown);
            }
            if (d.repeatCount) {
                WriteNumber(kCycleEdit, *d.repeatCount);
            }
            break;
        case KeyFunctionFamily::GunKey:
            select(kGunCombo, d.gun);
            break;
        default:
            if (d.presetItem) {
                select(PresetCombo(*d.family), *d.presetItem);
            }
            break;
    }
    ui::CComboUI* families = Combo(kFamilyCombo);
    const int family = FamilyNumber(*d.family);
    int item = -1;
    // Items the device does not offer are hidden and count as missing.
    for (int i = 0; families != nullptr && i < families->GetCount(); ++i) {
        const ui::CControlUI* candidate = families->GetItemAt(i);
        if (candidate->IsOwnVisible() && config::LeadingInteger(candidate->GetUserData()) == family) {
            item = i;
            break;
        }
    }
    if (item < 0) {
        HideEditor();
        return false;
    }
    if (ui::CControlUI* layout = FindSubControl(kLayout)) {
        layout->SetVisible(true);
    }
    families->SelectItem(item, false);
    ShowFamilyPage(family);
    return true;
}

void CKeySetControlUI::OnFamilySelected() {
    const KeySetFields f = ReadFields();
    ShowFamilyPage(f.familyUserData);
    if (f.familyUserData == FamilyNumber(KeyFunctionFamily::KeyboardKey)) {
        if (ui::CEditUI* field = Edit(kKeyField)) {
            field->SetTextNotify({}, false);
        }
        SelectModifierOption(-1);
    }
    Apply();
}

void CKeySetControlUI::OnRepeatModeSelected() {
    const ui::CComboUI* repeat = Combo(kRepeatCombo);
    if (ui::CControlUI* cycle = FindSubControl(kCycleLayout)) {
        cycle->SetVisible(repeat != nullptr && repeat->GetCurSel() == kRepeatWithCount);
    }
    Apply();
}

void CKeySetControlUI::OnModifierOption(int option) {
    SelectModifierOption(option);
    Apply();
}

void CKeySetControlUI::SetSaveButtonsEnabled(bool enabled) {
    for (const std::string_view name : kSaveButtons) {
        if (ui::CControlUI* button = FindSubControl(name)) {
            button->SetEnabled(enabled);
        }
    }
}

void CKeySetControlUI::Apply() {
    Encode();
    if (apply_) {
        apply_(editing_, default_);
    }
    SetSaveButtonsEnabled(true);
    writePending_ = true;
}

void CKeySetControlUI::ShowDefault() {
    Decode(default_);
    SetSaveButtonsEnabled(true);
}

void CKeySetControlUI::ShowCurrent() {
    Decode(current_);
    SetSaveButtonsEnabled(false);
}

void CKeySetControlUI::WriteDone() {
    SetSaveButtonsEnabled(false);
    writePending_ = false;
}

void CKeySetControlUI::OnCapturedKey(std::uint8_t scanCode, std::uint32_t hookFlags) {
    const std::optional<CapturedKey> key = CaptureKey(scanCode, hookFlags);
    if (!key) {
        return;
    }
    ui::CEditUI* field = Edit(kKeyField);
    if (key->modifier) {
        SelectModifierOption(key->modifierOption);
        if (field != nullptr) {
            field->SetTextNotify({}, false);
        }
        editing_ = key->triple;
    } else {
        if (SelectedModifierOption() < 0) {
            SelectModifierOption(0);
        }
        if (field != nullptr) {
            field->SetTextNotify(Translate(config::kKeyCodeTable[key->row].nameId), false);
        }
        editing_ = config::EncodeKeyboardKey(SelectedModifierOption(), key->triple.param2);
    }
    Apply();
}

}  // namespace norvane::pages
