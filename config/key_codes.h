#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The three-byte key assignment code, its function types, the preset lists the key page
// picks from, the key code and scan code tables, and the naming of assignments.
namespace norvane::config {

struct KeyAssignment {
    std::uint8_t type = 0;
    std::uint8_t param1 = 0;
    std::uint8_t param2 = 0;

    friend constexpr bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

// Function types carried in KeyAssignment::type.
enum class FunctionType : std::uint8_t {
    KeyboardKeyLegacy = 0x00,
    MouseButton = 0x10,
    HorizontalScroll = 0x11,
    VerticalScroll = 0x12,
    Dpi = 0x13,
    RapidFire = 0x14,
    DpiShift = 0x16,
    KeyboardKey = 0x20,
    EditingShortcut = 0x22,
    ShowWindow = 0x23,
    Consumer = 0x30,
    System = 0x40,
    Macro = 0x70,
    MacroRepeat = 0x71,
    GunKey = 0x72,
    Special = 0xA0,
    CombinationNoPreset = 0xB0,
    OnboardMacro = 0xD0,
};

constexpr std::uint8_t Code(FunctionType type) {
    return static_cast<std::uint8_t>(type);
}
constexpr bool IsMacroType(std::uint8_t type) {
    return type == Code(FunctionType::Macro) || type == Code(FunctionType::MacroRepeat);
}

// Integer form used in profiles: type × 65536 + param1 × 256 + param2.
constexpr std::uint32_t ToInteger(KeyAssignment a) {
    return (std::uint32_t{a.type} << 16) | (std::uint32_t{a.param1} << 8) | a.param2;
}
constexpr KeyAssignment FromInteger(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

// Function families of the key page; the family number is the page index.
enum class KeyFunctionFamily : int {
    Default = 0,
    MouseButton = 1,
    HorizontalScroll = 2,
    VerticalScroll = 3,
    Dpi = 4,
    RapidFire = 5,
    KeyboardKey = 6,
    Media = 7,
    System = 8,
    Macro = 9,
    GunKey = 10,
    Combination = 11,
};

struct PresetRow {
    KeyAssignment assignment;
    std::string_view nameId;
};

inline constexpr std::array<PresetRow, 5> kMouseButtonPresets{{
    {{0x10, 0x01, 0x00}, "mouse_key_left"},
    {{0x10, 0x04, 0x00}, "mouse_key_middle"},
    {{0x10, 0x02, 0x00}, "mouse_key_right"},
    {{0x10, 0x10, 0x00}, "mouse_key_forward"},
    {{0x10, 0x08, 0x00}, "mouse_key_back"},
}};

inline constexpr std::array<PresetRow, 3> kDpiPresets{{
    {{0x13, 0x01, 0x00}, "mouse_key_DPI_add"},
    {{0x13, 0x02, 0x00}, "mouse_key_DPI_sub"},
    {{0x13, 0x03, 0x00}, "mouse_key_DPI_loop"},
}};

inline constexpr std::array<PresetRow, 3> kSystemPresets{{
    {{0x40, 0x01, 0x00}, "system_power"},
    {{0x40, 0x02, 0x00}, "system_sleep"},
    {{0x40, 0x04, 0x00}, "system_wake_up"},
}};

inline constexpr std::array<PresetRow, 18> kMediaPresets{{
    {{0x30, 0x83, 0x01}, "media_text"},
    {{0x30, 0xCD, 0x00}, "media_play"},
    {{0x30, 0xB7, 0x00}, "media_stop"},
    {{0x30, 0xB6, 0x00}, "media_prev"},
    {{0x30, 0xB5, 0x00}, "media_next"},
    {{0x30, 0xEA, 0x00}, "media_vol_sub"},
    {{0x30, 0xE9, 0x00}, "media_vol_add"},
    {{0x30, 0xE2, 0x00}, "media_mute"},
    {{0x30, 0x23, 0x02}, "web_text"},
    {{0x30, 0x27, 0x02}, "web_refresh"},
    {{0x30, 0x26, 0x02}, "wed_stop"},
    {{0x30, 0x24, 0x02}, "wed_back"},
    {{0x30, 0x25, 0x02}, "wed_forward"},
    {{0x30, 0x2A, 0x02}, "wed_favorite"},
    {{0x30, 0x21, 0x02}, "web_search"},
    {{0x30, 0x94, 0x01}, "media_mypc"},
    {{0x30, 0x92, 0x01}, "media_calc"},
    {{0x30, 0x8A, 0x01}, "media_mail"},
}};

inline constexpr std::array<PresetRow, 11> kShortcutPresets{{
    {{0x20, 0x10, 0x12}, "custem_open"},
    {{0x20, 0x10, 0x11}, "custem_new"},
    {{0x20, 0x10, 0x1D}, "custem_undo"},
    {{0x20, 0x10, 0x16}, "custem_save"},
    {{0x20, 0x10, 0x06}, "custem_copy"},
    {{0x20, 0x10, 0x1B}, "custem_cut"},
    {{0x20, 0x10, 0x19}, "custem_paste"},
    {{0x20, 0x10, 0x09}, "custem_find"},
    {{0x20, 0x10, 0x04}, "custem_select_all"},
    {{0x20, 0x10, 0x2D}, "custem_narrow"},
    {{0x20, 0x10, 0x2E}, "custem_magnify"},
}};

// Functions a device may report besides the page's families. Rows 1 and 2 pair 0x02
// with the middle-button name and 0x04 with the right-button name; mouse captions use
// this list as it stands.
inline constexpr std::array<PresetRow, 15> kDeviceFunctionPresets{{
    {{0x10, 0x01, 0x00}, "mouse_key_left"},
    {{0x10, 0x02, 0x00}, "mouse_key_middle"},
    {{0x10, 0x04, 0x00}, "mouse_key_right"},
    {{0x10, 0x10, 0x00}, "mouse_key_forward"},
    {{0x10, 0x08, 0x00}, "mouse_key_back"},
    {{0x14, 0x50, 0x02}, "mouse_key_fire_key"},
    {{0x20, 0x00, 0x00}, "mouse_key_shortcut_key"},
    {{0x20, 0x80, 0x00}, "win_key_text"},
    {{0xA0, 0x02, 0x00}, "mouse_key_smart_key"},
    {{0xA0, 0x00, 0x00}, "close_text"},
    {{0x13, 0x03, 0x00}, "mouse_key_DPI_loop"},
    {{0x13, 0x01, 0x00}, "mouse_key_DPI_add"},
    {{0x13, 0x02, 0x00}, "mouse_key_DPI_sub"},
    {{0x16, 0x00, 0x00}, "mouse_key_DPI_shift"},
    {{0x23, 0x00, 0x00}, "show_window"},
}};

// Key codes with no platform virtual-key meaning.
inline constexpr std::uint16_t kKeyCodeKeypadEnter = 0x101;
inline constexpr std::uint16_t kKeyCodeNone = 0xFF;

struct KeyCodeRow {
    std::uint16_t keyCode;
    KeyAssignment assignment;
    std::string_view nameId;
};

struct ScanCodeRow {
    std::uint16_t keyCode;
    std::uint8_t scanCode;
    std::uint8_t extended;
};

inline constexpr std::size_t kKeyCodeRowCount = 142;
inline constexpr std::size_t kScanCodeRowCount = 113;
inline constexpr std::size_t kModifierRowCount = 8;

// Lookups: the index of the first matching row.
std::optional<std::size_t> FindByKeyCode(std::uint16_t keyCode);
// The hook's scan code and flags (bit 0 = extended key).
std::optional<std::size_t> FindByScanCode(std::uint8_t scanCode, std::uint32_t hookFlags);
// The row of the preset list the assignment's type selects whose param1 and param2 match.
std::optional<std::size_t> FindPresetRow(KeyAssignment assignment);
// The preset list searched for a type (empty for types without one).
std::span<const PresetRow> PresetListFor(std::uint8_t type);

// Caption of an assignment on the device picture.
struct AssignmentCaption {
    enum class Kind {
        Unchanged,  // keep the caption the picture shows
        NameIds,    // language text ids, shown joined with "+"
        Text,       // literal text (a macro name, or the fallback text)
    };
    Kind kind = Kind::Unchanged;
    std::vector<std::string> parts;
};

inline constexpr std::string_view kUnknownTypeCaption = "关闭";

AssignmentCaption NameAssignment(KeyAssignment assignment, std::span<const std::string> macroNames);

// Encoders of the page's parameters.
KeyAssignment EncodeHorizontalScroll(int delay, int speed, int count, bool right);
KeyAssignment EncodeVerticalScroll(int delay, int speed, int count, bool down);
KeyAssignment EncodeRapidFire(int interval, int shots);
// modifierChoice 0 none, 1 Ctrl, 2 Shift, 3 Alt, 4 Win; usage 0 when no key is set.
KeyAssignment EncodeKeyboardKey(int modifierChoice, std::uint8_t usage);
// repeatMode 0–3 gives type 0x70; 4 gives 0x71 with the repeat count.
KeyAssignment EncodeMacro(int macroIndex, int repeatMode, int repeatCount);
KeyAssignment EncodeGunKey(int gunIndex);

// Decoded scroll parameters.
struct ScrollParameters {
    int delay = 0;
    int speed = 0;
    int count = 0;
    bool secondDirection = false;  // right, or down
};
ScrollParameters DecodeHorizontalScroll(KeyAssignment assignment);
ScrollParameters DecodeVerticalScroll(KeyAssignment assignment);

// Modifier choice of a key-capture row (0–7): (row + 1) mod 5 + (row + 1) div 5.
constexpr int ModifierChoiceOfRow(std::size_t row) {
    return static_cast<int>((row + 1) % 5 + (row + 1) / 5);
}

// A keyboard assignment read back into the key page's controls.
struct DecodedKeyboardKey {
    KeyFunctionFamily family = KeyFunctionFamily::KeyboardKey;
    int modifierChoice = 0;
    std::optional<std::size_t> keyRow;       // KeyCodeTable row naming the key
    std::optional<std::size_t> shortcutRow;  // kShortcutPresets row, family Combination
    KeyAssignment value;                     // the value being edited (params cleared when unknown)
};
DecodedKeyboardKey DecodeKeyboardKey(KeyAssignment assignment);

// Family shown for an assignment; nullopt when its type fits no family.
std::optional<KeyFunctionFamily> FamilyOf(KeyAssignment assignment, KeyAssignment defaultAssignment);

}  // namespace norvane::config
