#include "config/key_codes.h"

#include "config/key_code_tables.h"

namespace norvane::config {
namespace {

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::optional<std::size_t> FirstRow(std::span<const PresetRow> rows, KeyAssignment a) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].assignment.param1 == a.param1 && rows[i].assignment.param2 == a.param2) {
            return i;
        }
    }
    return std::nullopt;
}

AssignmentCaption Ids(std::initializer_list<std::string_view> ids) {
    AssignmentCaption caption{AssignmentCaption::Kind::NameIds, {}};
    for (std::string_view id : ids) {
        caption.parts.emplace_back(id);
    }
    return caption;
}

AssignmentCaption NameKeyboardKey(KeyAssignment a) {
    for (const KeyCodeRow& row : kKeyCodeTable) {
        if (row.assignment.param1 == a.param1 && row.assignment.param2 == a.param2) {
            return Ids({row.nameId});
        }
    }
    if (a.param1 == 0 && a.param2 == 0) {
        return Ids({"close_text"});
    }
    // No single key: join the rows that name the modifier and the key. A zero parameter
    // names nothing (it would otherwise match every key row).
    AssignmentCaption caption{AssignmentCaption::Kind::NameIds, {}};
    for (const KeyCodeRow& row : kKeyCodeTable) {
        if (row.assignment.type != a.type) {
            continue;
        }
        const bool modifierMatches = a.param1 != 0 && row.assignment.param1 == a.param1;
        const bool usageMatches = a.param2 != 0 && row.assignment.param2 == a.param2;
        if (modifierMatches || usageMatches) {
            caption.parts.emplace_back(row.nameId);
        }
    }
    if (a.param1 == 0x10) {
        for (const PresetRow& row : kShortcutPresets) {
            if (row.assignment.param2 == a.param2) {
                caption.parts.emplace_back(row.nameId);
                break;
            }
        }
    }
    if (caption.parts.empty()) {
        caption.kind = AssignmentCaption::Kind::Unchanged;
    }
    return caption;
}

}  // namespace

std::optional<std::size_t> FindByKeyCode(std::uint16_t keyCode) {
    for (std::size_t i = 0; i < kKeyCodeTable.size(); ++i) {
        if (kKeyCodeTable[i].keyCode == keyCode) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindByScanCode(std::uint8_t scanCode, std::uint32_t hookFlags) {
    const std::uint8_t extended = hookFlags & 1U;
    for (std::size_t i = 0; i < kScanCodeTable.size(); ++i) {
        if (kScanCodeTable[i].scanCode == scanCode && kScanCodeTable[i].extended == extended) {
            return i;
        }
    }
    return std::nullopt;
}

std::span<const PresetRow> PresetListFor(std::uint8_t type) {
    switch (static_cast<FunctionType>(type)) {
        case FunctionType::MouseButton:
            return kMouseButtonPresets;
        case FunctionType::Dpi:
            return kDpiPresets;
        case FunctionType::Consumer:
            return kMediaPresets;
        case FunctionType::System:
            return kSystemPresets;
        case FunctionType::KeyboardKey:
            return kShortcutPresets;
        default:
            return {};
    }
}

std::optional<std::size_t> FindPresetRow(KeyAssignment assignment) {
    return FirstRow(PresetListFor(assignment.type), assignment);
}

AssignmentCaption NameAssignment(KeyAssignment a, std::span<const std::string> macroNames) {
    using Kind = AssignmentCaption::Kind;
    const auto fromRow = [](std::span<const PresetRow> rows, auto matches) {
        for (const PresetRow& row : rows) {
            if (matches(row.assignment)) {
                return Ids({row.nameId});
            }
        }
        return AssignmentCaption{};
    };
    switch (a.type) {
        case 0x00:
        case 0x20:
            return NameKeyboardKey(a);
        case 0x10:
            return fromRow(kMouseButtonPresets, [&](KeyAssignment r) { return r.param1 == a.param1; });
        case 0x11:
            return Ids({(a.param2 & 0x80) != 0 ? "mouse_key_right_Swing" : "mouse_key_left_Swing"});
        case 0x12:
            return Ids({(a.param2 & 0x80) != 0 ? "mouse_key_down_Swing" : "mouse_key_up_Swing"});
        case 0x13:
            return fromRow(kDpiPresets, [&](KeyAssignment r) { return r.param1 == a.param1; });
        case 0x14:
            return Ids({"mouse_key_fire_key"});
        case 0x30:
            return fromRow(kMediaPresets,
                           [&](KeyAssignment r) { return r.param1 == a.param1 && r.param2 == a.param2; });
        case 0x40:
            return fromRow(kSystemPresets,
                           [&](KeyAssignment r) { return r.param1 == a.param1 && r.param2 == a.param2; });
        case 0x16:
            return fromRow(kDeviceFunctionPresets, [&](KeyAssignment r) { return r.type == a.type; });
        case 0x23:
            return fromRow(kDeviceFunctionPresets, [&](KeyAssignment r) { return r == a; });
        case 0xA0:
        case 0xD0: {
            AssignmentCaption caption = fromRow(kDeviceFunctionPresets, [&](KeyAssignment r) {
                return r.type == a.type && r.param1 == a.param1;
            });
            if (caption.kind != Kind::Unchanged) {
                return caption;
            }
            for (const KeyCodeRow& row : kKeyCodeTable) {
                if (row.assignment == a) {
                    return Ids({row.nameId});
                }
            }
            return {};
        }
        case 0x22:
            if (a.param2 <= 8) {
                return Ids({kShortcutPresets[a.param2].nameId});
            }
            return {};
        case 0x70:
        case 0x71:
            if (a.param1 < macroNames.size()) {
                return {Kind::Text, {macroNames[a.param1]}};
            }
            return {};
        case 0x15:
        case 0x21:
        case 0x50:
        case 0x60:
        case 0xB0:
        case 0xC0:
            return {};
        default:
            return {Kind::Text, {std::string(kUnknownTypeCaption)}};
    }
}

KeyAssignment EncodeHorizontalScroll(int delay, int speed, int count, bool right) {
    const std::uint8_t param1 = Byte(((delay & 0x0F) << 4) | (speed & 0x0F));
    const std::uint8_t param2 = right ? Byte(count | 0x80) : Byte(count & 0x7F);
    return {Code(FunctionType::HorizontalScroll), param1, param2};
}

KeyAssignment EncodeVerticalScroll(int delay, int speed, int count, bool down) {
    const std::uint8_t param1 = Byte(((delay & 0x0F) << 4) | (speed & 0x0F));
    const std::uint8_t param2 = down ? Byte((128 - count) | 0x80) : Byte(count & 0x7F);
    return {Code(FunctionType::VerticalScroll), param1, param2};
}

KeyAssignment EncodeRapidFire(int interval, int shots) {
    return {Code(FunctionType::RapidFire), Byte(interval), Byte(shots)};
}

KeyAssignment EncodeKeyboardKey(int modifierChoice, std::uint8_t usage) {
    const std::uint8_t modifier =
        modifierChoice >= 1 && modifierChoice <= 4 ? Byte(1 << (modifierChoice - 1)) : std::uint8_t{0};
    return {Code(FunctionType::KeyboardKey), modifier, usage};
}

KeyAssignment EncodeMacro(int macroIndex, int repeatMode, int repeatCount) {
    if (repeatMode == 4) {
        return {Code(FunctionType::MacroRepeat), Byte(macroIndex), Byte(repeatCount)};
    }
    return {Code(FunctionType::Macro), Byte(macroIndex), Byte(repeatMode)};
}

KeyAssignment EncodeGunKey(int gunIndex) {
    return {Code(FunctionType::GunKey), Byte(gunIndex), 0};
}

ScrollParameters DecodeHorizontalScroll(KeyAssignment a) {
    return {a.param1 >> 4, a.param1 & 0x0F, a.param2 & 0x7F, (a.param2 & 0x80) != 0};
}

ScrollParameters DecodeVerticalScroll(KeyAssignment a) {
    const bool down = (a.param2 & 0x80) != 0;
    return {a.param1 >> 4, a.param1 & 0x0F, down ? 128 - (a.param2 & 0x7F) : a.param2 & 0x7F, down};
}

DecodedKeyboardKey DecodeKeyboardKey(KeyAssignment a) {
    DecodedKeyboardKey result;
    result.value = a;
    if (a.param1 == 0x10 || a.param1 >= 129) {
        result.family = KeyFunctionFamily::Combination;
        for (std::size_t i = 0; i < kShortcutPresets.size(); ++i) {
            if (kShortcutPresets[i].assignment.param2 == a.param2) {
                result.shortcutRow = i;
                break;
            }
        }
        return result;
    }
    if (a.param1 != 0) {
        for (std::size_t k = 0; k < kModifierRowCount; ++k) {
            if (kKeyCodeTable[k].assignment.param1 == a.param1) {
                result.modifierChoice = ModifierChoiceOfRow(k);
                break;
            }
        }
        for (std::size_t row = kModifierRowCount; row < kKeyCodeTable.size(); ++row) {
            const KeyAssignment& r = kKeyCodeTable[row].assignment;
            if (r.param1 == 0 && r.param2 == a.param2) {
                result.keyRow = row;
                break;
            }
        }
        return result;
    }
    for (std::size_t row = 0; row < kKeyCodeTable.size(); ++row) {
        const KeyAssignment& r = kKeyCodeTable[row].assignment;
        if (r.param1 == 0 && r.param2 == a.param2) {
            result.keyRow = row;
            return result;
        }
    }
    result.value.param1 = 0;
    result.value.param2 = 0;
    return result;
}

std::optional<KeyFunctionFamily> FamilyOf(KeyAssignment a, KeyAssignment defaultAssignment) {
    if (a == defaultAssignment) {
        return KeyFunctionFamily::Default;
    }
    switch (a.type) {
        case 0x00:
            return KeyFunctionFamily::Default;
        case 0x10:
            return KeyFunctionFamily::MouseButton;
        case 0x11:
            return KeyFunctionFamily::HorizontalScroll;
        case 0x12:
            return KeyFunctionFamily::VerticalScroll;
        case 0x13:
            return KeyFunctionFamily::Dpi;
        case 0x14:
            return KeyFunctionFamily::RapidFire;
        case 0x20:
            return a.param1 == 0x10 || a.param1 >= 129 ? KeyFunctionFamily::Combination
                                                       : KeyFunctionFamily::KeyboardKey;
        case 0x30:
            return KeyFunctionFamily::Media;
        case 0x40:
            return KeyFunctionFamily::System;
        case 0x70:
        case 0x71:
            return KeyFunctionFamily::Macro;
        case 0x72:
            return KeyFunctionFamily::GunKey;
        case 0xB0:
            return KeyFunctionFamily::Combination;
        default:
            return std::nullopt;
    }
}

}  // namespace norvane::config
