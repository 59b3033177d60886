#include "pages/key_set/key_set_codec.h"

#include "config/key_code_tables.h"

#include <span>

namespace norvane::pages {
namespace {

using config::KeyAssignment;
using config::KeyFunctionFamily;

constexpr int kRepeatWithCount = 4;

std::optional<KeyAssignment> PresetAt(std::span<const config::PresetRow> list, int item) {
    if (item < 0 || static_cast<std::size_t>(item) >= list.size()) {
        return std::nullopt;
    }
    return list[static_cast<std::size_t>(item)].assignment;
}

KeyAssignment EncodeKeyboard(const KeySetFields& f, KeyAssignment editing) {
    const std::uint8_t usage = f.keyFieldEmpty ? std::uint8_t{0} : editing.param2;
    return config::EncodeKeyboardKey(f.modifierOption, usage);
}

KeyAssignment EncodeMacroFields(const KeySetFields& f, KeyAssignment editing, int macroCount) {
    if (f.macro < 0 || macroCount <= 0 || f.macro >= macroCount) {
        return editing;  // no macro chosen yet
    }
    return config::EncodeMacro(f.macro, f.repeatMode, f.repeatCount);
}

}  // namespace

KeyAssignment EncodeKeySet(const KeySetFields& f, KeyAssignment editing, KeyAssignment defaultValue,
                           int macroCount) {
    switch (static_cast<KeyFunctionFamily>(f.familyUserData)) {
        case KeyFunctionFamily::Default:
            return defaultValue;
        case KeyFunctionFamily::MouseButton:
            return PresetAt(config::kMouseButtonPresets, f.mouseButton).value_or(editing);
        case KeyFunctionFamily::HorizontalScroll:
            return config::EncodeHorizontalScroll(f.swingDelay, f.swingSpeed, f.swingCount,
                                                  f.swingDirection == 1);
        case KeyFunctionFamily::VerticalScroll:
            return config::EncodeVerticalScroll(f.wheelDelay, f.wheelSpeed, f.wheelCount,
                                                f.wheelDirection == 1);
        case KeyFunctionFamily::Dpi:
            return PresetAt(config::kDpiPresets, f.dpi).value_or(editing);
        case KeyFunctionFamily::RapidFire:
            return config::EncodeRapidFire(f.fireInterval, f.fireShots);
        case KeyFunctionFamily::KeyboardKey:
            return EncodeKeyboard(f, editing);
        case KeyFunctionFamily::Media:
            return PresetAt(config::kMediaPresets, f.media).value_or(editing);
        case KeyFunctionFamily::System:
            return PresetAt(config::kSystemPresets, f.system).value_or(editing);
        case KeyFunctionFamily::Macro:
            return EncodeMacroFields(f, editing, macroCount);
        case KeyFunctionFamily::GunKey:
            return f.gun >= 0 ? config::EncodeGunKey(f.gun) : editing;
        case KeyFunctionFamily::Combination:
            return PresetAt(config::kShortcutPresets, f.shortcut).value_or(editing);
    }
    return defaultValue;
}

KeySetDecoded DecodeKeySet(KeyAssignment value, KeyAssignment defaultValue, int macroCount) {
    KeySetDecoded d;
    d.editing = value;
    d.family = config::FamilyOf(value, defaultValue);
    if (!d.family) {
        return d;
    }
    const auto asItem = [](std::optional<std::size_t> row) -> std::optional<int> {
        return row ? std::optional<int>(static_cast<int>(*row)) : std::nullopt;
    };
    const bool macroFound = value.param1 < macroCount;
    switch (*d.family) {
        case KeyFunctionFamily::Default:
            break;
        case KeyFunctionFamily::MouseButton:
        case KeyFunctionFamily::Dpi:
        case KeyFunctionFamily::Media:
        case KeyFunctionFamily::System:
            d.presetItem = asItem(config::FindPresetRow(value));
            break;
        case KeyFunctionFamily::HorizontalScroll:
            d.scroll = config::DecodeHorizontalScroll(value);
            break;
        case KeyFunctionFamily::VerticalScroll:
            d.scroll = config::DecodeVerticalScroll(value);
            break;
        case KeyFunctionFamily::RapidFire:
            d.fireInterval = value.param1;
            d.fireShots = value.param2;
            break;
        case KeyFunctionFamily::KeyboardKey: {
            const config::DecodedKeyboardKey key = config::DecodeKeyboardKey(value);
            d.modifierOption = key.modifierChoice;
            d.keyRow = key.keyRow;
            d.editing = key.value;
            break;
        }
        case KeyFunctionFamily::Macro:
            d.macro = macroFound ? value.param1 : -1;
            if (value.type == config::Code(config::FunctionType::MacroRepeat)) {
                d.repeatMode = kRepeatWithCount;
                d.repeatCount = value.param2;
                d.cycleShown = macroFound;
            } else {
                d.repeatMode = macroFound ? value.param2 : -1;
            }
            break;
        case KeyFunctionFamily::GunKey:
            d.gun = value.param1;
            break;
        case KeyFunctionFamily::Combination:
            if (value.type == config::Code(config::FunctionType::CombinationNoPreset)) {
                d.presetItem = -1;
            } else {
                d.presetItem = asItem(config::DecodeKeyboardKey(value).shortcutRow);
            }
            break;
    }
    return d;
}

std::optional<CapturedKey> CaptureKey(std::uint8_t scanCode, std::uint32_t hookFlags) {
    const std::optional<std::size_t> row = config::FindByScanCode(scanCode, hookFlags);
    if (!row || *row >= config::kScanCodeRowCount) {
        return std::nullopt;
    }
    const KeyAssignment triple = config::kKeyCodeTable[*row].assignment;
    if (triple.type != config::Code(config::FunctionType::KeyboardKey)) {
        return std::nullopt;
    }
    CapturedKey key;
    key.row = *row;
    key.triple = triple;
    key.modifier = *row < config::kModifierRowCount;
    key.modifierOption = key.modifier ? config::ModifierChoiceOfRow(*row) : 0;
    return key;
}

}  // namespace norvane::pages
