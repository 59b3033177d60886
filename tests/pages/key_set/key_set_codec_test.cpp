// Encoding the key panel's fields into assignments, decoding assignments back into fields,
// and the lookup of captured keys.
#include <gtest/gtest.h>

#include "config/key_code_tables.h"
#include "pages/key_set/key_set_codec.h"

namespace norvane::pages {
namespace {

using config::KeyAssignment;
using config::KeyFunctionFamily;

constexpr KeyAssignment kDefault{0x20, 0x00, 0x04};  // the key's out-of-the-box value (A)
constexpr KeyAssignment kEditing{0x20, 0x00, 0x1D};  // the value being edited (Z)
constexpr int kMacros = 3;

KeySetFields Family(KeyFunctionFamily family) {
    KeySetFields f;
    f.familyUserData = static_cast<int>(family);
    return f;
}

struct EncodeCase {
    const char* what;
    KeySetFields fields;
    KeyAssignment expected;
};

TEST(KeySetEncode, FieldsGiveTheAssignmentOfTheirFamily) {
    std::vector<EncodeCase> cases;
    const auto add = [&cases](const char* what, KeyFunctionFamily family, auto set, KeyAssignment expected) {
        KeySetFields f = Family(family);
        set(f);
        cases.push_back({what, f, expected});
    };
    add(
        "default", KeyFunctionFamily::Default, [](KeySetFields&) {}, kDefault);
    add("right button", KeyFunctionFamily::MouseButton, [](KeySetFields& f) { f.mouseButton = 2; },
        {0x10, 0x02, 0x00});
    add("middle button", KeyFunctionFamily::MouseButton, [](KeySetFields& f) { f.mouseButton = 1; },
        {0x10, 0x04, 0x00});
    add(
        "no button chosen keeps the value", KeyFunctionFamily::MouseButton, [](KeySetFields&) {}, kEditing);
    add("scroll right 3, delay 2, speed 5", KeyFunctionFamily::HorizontalScroll,
        [](KeySetFields& f) {
            f.swingDirection = 1;
            f.swingCount = 3;
            f.swingDelay = 2;
            f.swingSpeed = 5;
        },
        {0x11, 0x25, 0x83});
    add("scroll left 5", KeyFunctionFamily::HorizontalScroll,
        [](KeySetFields& f) {
            f.swingDirection = 0;
            f.swingCount = 5;
        },
        {0x11, 0x00, 0x05});
    add("delay 20 keeps its low nibble", KeyFunctionFamily::HorizontalScroll,
        [](KeySetFields& f) {
            f.swingDirection = 0;
            f.swingDelay = 20;
            f.swingSpeed = 1;
        },
        {0x11, 0x41, 0x00});
    add("wheel down 3", KeyFunctionFamily::VerticalScroll,
        [](KeySetFields& f) {
            f.wheelDirection = 1;
            f.wheelCount = 3;
        },
        {0x12, 0x00, 0xFD});
    add("wheel down 1", KeyFunctionFamily::VerticalScroll,
        [](KeySetFields& f) {
            f.wheelDirection = 1;
            f.wheelCount = 1;
        },
        {0x12, 0x00, 0xFF});
    add("wheel up 5, delay 1, speed 15", KeyFunctionFamily::VerticalScroll,
        [](KeySetFields& f) {
            f.wheelDirection = 0;
            f.wheelCount = 5;
            f.wheelDelay = 1;
            f.wheelSpeed = 15;
        },
        {0x12, 0x1F, 0x05});
    add("DPI cycle", KeyFunctionFamily::Dpi, [](KeySetFields& f) { f.dpi = 2; }, {0x13, 0x03, 0x00});
    add("rapid fire 80 ms, 2 shots", KeyFunctionFamily::RapidFire,
        [](KeySetFields& f) {
            f.fireInterval = 80;
            f.fireShots = 2;
        },
        {0x14, 0x50, 0x02});
    add("rapid fire numbers cut to a byte", KeyFunctionFamily::RapidFire,
        [](KeySetFields& f) {
            f.fireInterval = 300;
            f.fireShots = 257;
        },
        {0x14, 0x2C, 0x01});
    add("key Z with Shift", KeyFunctionFamily::KeyboardKey,
        [](KeySetFields& f) {
            f.modifierOption = 2;
            f.keyFieldEmpty = false;
        },
        {0x20, 0x02, 0x1D});
    add("key Z with Win", KeyFunctionFamily::KeyboardKey,
        [](KeySetFields& f) {
            f.modifierOption = 4;
            f.keyFieldEmpty = false;
        },
        {0x20, 0x08, 0x1D});
    add("empty key field with Alt", KeyFunctionFamily::KeyboardKey,
        [](KeySetFields& f) { f.modifierOption = 3; }, {0x20, 0x04, 0x00});
    add("key Z, no modifier option", KeyFunctionFamily::KeyboardKey,
        [](KeySetFields& f) { f.keyFieldEmpty = false; }, {0x20, 0x00, 0x1D});
    add("media: mute", KeyFunctionFamily::Media, [](KeySetFields& f) { f.media = 7; }, {0x30, 0xE2, 0x00});
    add("media: player", KeyFunctionFamily::Media, [](KeySetFields& f) { f.media = 0; }, {0x30, 0x83, 0x01});
    add("system: sleep", KeyFunctionFamily::System, [](KeySetFields& f) { f.system = 1; },
        {0x40, 0x02, 0x00});
    add("macro 2 while held", KeyFunctionFamily::Macro,
        [](KeySetFields& f) {
            f.macro = 2;
            f.repeatMode = 1;
        },
        {0x70, 0x02, 0x01});
    add("macro 1 seven times", KeyFunctionFamily::Macro,
        [](KeySetFields& f) {
            f.macro = 1;
            f.repeatMode = 4;
            f.repeatCount = 7;
        },
        {0x71, 0x01, 0x07});
    add(
        "no macro chosen keeps the value", KeyFunctionFamily::Macro,
        [](KeySetFields& f) { f.repeatMode = 0; }, kEditing);
    add(
        "macro past the library keeps the value", KeyFunctionFamily::Macro,
        [](KeySetFields& f) {
            f.macro = kMacros;
            f.repeatMode = 0;
        },
        kEditing);
    add("gun key 3", KeyFunctionFamily::GunKey, [](KeySetFields& f) { f.gun = 3; }, {0x72, 0x03, 0x00});
    add("shortcut paste", KeyFunctionFamily::Combination, [](KeySetFields& f) { f.shortcut = 6; },
        {0x20, 0x10, 0x19});
    for (const EncodeCase& c : cases) {
        EXPECT_EQ(EncodeKeySet(c.fields, kEditing, kDefault, kMacros), c.expected) << c.what;
    }
    KeySetFields unknown;
    unknown.familyUserData = 12;
    EXPECT_EQ(EncodeKeySet(unknown, kEditing, kDefault, kMacros), kDefault) << "unknown family";
    unknown.familyUserData = -1;
    EXPECT_EQ(EncodeKeySet(unknown, kEditing, kDefault, kMacros), kDefault) << "no family selected";
    KeySetFields macro = Family(KeyFunctionFamily::Macro);
    macro.macro = 0;
    macro.repeatMode = 0;
    EXPECT_EQ(EncodeKeySet(macro, kEditing, kDefault, 0), kEditing) << "empty library";
}

TEST(KeySetDecode, AssignmentsSelectTheirFamilyAndParameters) {
    struct Case {
        KeyAssignment value;
        KeyFunctionFamily family;
    };
    const Case cases[] = {
        {{0x10, 0x08, 0x00}, KeyFunctionFamily::MouseButton},
        {{0x11, 0x25, 0x83}, KeyFunctionFamily::HorizontalScroll},
        {{0x12, 0x00, 0xFD}, KeyFunctionFamily::VerticalScroll},
        {{0x13, 0x01, 0x00}, KeyFunctionFamily::Dpi},
        {{0x14, 0x50, 0x02}, KeyFunctionFamily::RapidFire},
        {{0x20, 0x01, 0x04}, KeyFunctionFamily::KeyboardKey},
        {{0x30, 0xCD, 0x00}, KeyFunctionFamily::Media},
        {{0x40, 0x04, 0x00}, KeyFunctionFamily::System},
        {{0x70, 0x01, 0x02}, KeyFunctionFamily::Macro},
        {{0x71, 0x00, 0x09}, KeyFunctionFamily::Macro},
        {{0x72, 0x02, 0x00}, KeyFunctionFamily::GunKey},
        {{0x20, 0x10, 0x06}, KeyFunctionFamily::Combination},
        {{0x20, 0x81, 0x06}, KeyFunctionFamily::Combination},
        {{0xB0, 0x00, 0x00}, KeyFunctionFamily::Combination},
        {{0x00, 0x00, 0x05}, KeyFunctionFamily::Default},
    };
    for (const Case& c : cases) {
        const KeySetDecoded d = DecodeKeySet(c.value, kDefault, kMacros);
        ASSERT_TRUE(d.family.has_value()) << int(c.value.type);
        EXPECT_EQ(*d.family, c.family) << int(c.value.type) << " " << int(c.value.param1);
    }
    // Equal to the default: family 0 whatever the type.
    const KeyAssignment mouseDefault{0x10, 0x01, 0x00};
    EXPECT_EQ(DecodeKeySet(mouseDefault, mouseDefault, kMacros).family, KeyFunctionFamily::Default);
    // Types that fit no family.
    for (const KeyAssignment odd :
         {KeyAssignment{0xA0, 0x01, 0x00}, KeyAssignment{0xD0, 0xA2, 0x01}, KeyAssignment{0x16, 0, 0},
          KeyAssignment{0x23, 0, 0}, KeyAssignment{0x22, 0, 3}}) {
        EXPECT_FALSE(DecodeKeySet(odd, kDefault, kMacros).family.has_value()) << int(odd.type);
    }
}

TEST(KeySetDecode, ParametersComeBackAsTheFieldsShowThem) {
    const KeySetDecoded swing = DecodeKeySet({0x11, 0x25, 0x83}, kDefault, kMacros);
    EXPECT_EQ(swing.scroll.delay, 2);
    EXPECT_EQ(swing.scroll.speed, 5);
    EXPECT_EQ(swing.scroll.count, 3);
    EXPECT_TRUE(swing.scroll.secondDirection);
    const KeySetDecoded wheel = DecodeKeySet({0x12, 0x00, 0x81}, kDefault, kMacros);
    EXPECT_EQ(wheel.scroll.count, 127);
    EXPECT_TRUE(wheel.scroll.secondDirection);
    const KeySetDecoded fire = DecodeKeySet({0x14, 0x50, 0x02}, kDefault, kMacros);
    EXPECT_EQ(fire.fireInterval, 80);
    EXPECT_EQ(fire.fireShots, 2);
    const KeySetDecoded mediaUnknown = DecodeKeySet({0x30, 0x99, 0x09}, kDefault, kMacros);
    EXPECT_FALSE(mediaUnknown.presetItem.has_value()) << "no row: the selector keeps its item";
    EXPECT_EQ(DecodeKeySet({0xB0, 0x00, 0x00}, kDefault, kMacros).presetItem, -1)
        << "combination with no preset";

    const KeySetDecoded rightAltA = DecodeKeySet({0x20, 0x40, 0x04}, kDefault, kMacros);
    EXPECT_EQ(rightAltA.modifierOption, 3) << "right Alt is the Alt option";
    ASSERT_TRUE(rightAltA.keyRow.has_value());
    EXPECT_EQ(config::kKeyCodeTable[*rightAltA.keyRow].nameId, "keyboard_key_A");

    struct MacroCase {
        KeyAssignment value;
        int macro;
        int repeatMode;
        bool cycleShown;
    };
    const MacroCase macros[] = {
        {{0x70, 0x02, 0x03}, 2, 3, false},
        {{0x70, 0x03, 0x01}, -1, -1, false},  // past the library: nothing selected
        {{0x71, 0x01, 0x09}, 1, 4, true},
        {{0x71, 0x05, 0x09}, -1, 4, false},
    };
    for (const MacroCase& c : macros) {
        const KeySetDecoded d = DecodeKeySet(c.value, kDefault, kMacros);
        EXPECT_EQ(d.macro, c.macro) << int(c.value.type) << "/" << int(c.value.param1);
        EXPECT_EQ(d.repeatMode, c.repeatMode) << int(c.value.type) << "/" << int(c.value.param1);
        EXPECT_EQ(d.cycleShown, c.cycleShown) << int(c.value.type) << "/" << int(c.value.param1);
    }
    EXPECT_EQ(DecodeKeySet({0x71, 0x01, 0x09}, kDefault, kMacros).repeatCount, 9);
}

// Fields the decoder fills in, then encoded again: the same assignment.
KeySetFields FieldsOf(const KeySetDecoded& d) {
    KeySetFields f;
    f.familyUserData = static_cast<int>(*d.family);
    const int item = d.presetItem.value_or(-1);
    f.mouseButton = f.dpi = f.media = f.system = f.shortcut = item;
    f.swingDirection = f.wheelDirection = d.scroll.secondDirection ? 1 : 0;
    f.swingCount = f.wheelCount = d.scroll.count;
    f.swingDelay = f.wheelDelay = d.scroll.delay;
    f.swingSpeed = f.wheelSpeed = d.scroll.speed;
    f.fireInterval = d.fireInterval;
    f.fireShots = d.fireShots;
    f.modifierOption = d.modifierOption;
    f.keyFieldEmpty = !d.keyRow.has_value();
    f.macro = d.macro;
    f.repeatMode = d.repeatMode;
    f.repeatCount = d.repeatCount.value_or(0);
    f.gun = d.gun;
    return f;
}

TEST(KeySetRoundTrip, EveryFamilyEncodesWhatItDecoded) {
    const KeyAssignment values[] = {
        {0x10, 0x01, 0x00}, {0x10, 0x10, 0x00}, {0x11, 0xF0, 0x7F}, {0x11, 0x25, 0x83}, {0x12, 0x34, 0x05},
        {0x12, 0x00, 0xFF}, {0x12, 0x00, 0x81}, {0x13, 0x02, 0x00}, {0x14, 0x00, 0xFF}, {0x20, 0x01, 0x04},
        {0x20, 0x02, 0x2C}, {0x20, 0x04, 0x3A}, {0x20, 0x08, 0x28}, {0x20, 0x00, 0x45}, {0x30, 0x27, 0x02},
        {0x30, 0x8A, 0x01}, {0x40, 0x01, 0x00}, {0x70, 0x00, 0x00}, {0x70, 0x02, 0x02}, {0x71, 0x01, 0xFF},
        {0x72, 0x00, 0x00}, {0x72, 0x03, 0x00}, {0x20, 0x10, 0x2E}, {0x20, 0x10, 0x12},
    };
    for (const KeyAssignment v : values) {
        const KeySetDecoded d = DecodeKeySet(v, kDefault, kMacros);
        ASSERT_TRUE(d.family.has_value()) << int(v.type);
        EXPECT_EQ(EncodeKeySet(FieldsOf(d), d.editing, kDefault, kMacros), v)
            << std::hex << int(v.type) << " " << int(v.param1) << " " << int(v.param2);
    }
}

TEST(KeySetCapture, ScanCodesFindKeyboardKeysOnly) {
    struct Case {
        std::uint8_t scan;
        std::uint32_t flags;
        const char* nameId;  // nullptr: nothing is captured
        bool modifier;
        int option;
    };
    const Case cases[] = {
        {0x1E, 0, "keyboard_key_A", false, 0},
        {0x1D, 0, "keyboard_key_LCtrl", true, 1},
        {0x1D, 1, "keyboard_key_RCtrl", true, 1},
        {0x36, 1, "keyboard_key_RShift", true, 2},
        {0x38, 1, "keyboard_key_RAlt", true, 3},
        {0x5C, 1, "keyboard_key_RWin", true, 4},
        {0x5B, 1, "keyboard_key_LWin", true, 4},
        {0x1C, 1, "keyboard_key_Num Enter", false, 0},
        {0x1C, 0, "keyboard_key_Enter", false, 0},
        {0x45, 0, "keyboard_key_Pause", false, 0},
        {0x45, 1, "keyboard_key_Num Lock", false, 0},
        {0x57, 0, "keyboard_key_F11", false, 0},
        {0x1E, 1, nullptr, false, 0},  // no row: extended A
        {0x00, 0, nullptr, false, 0},
        {0x22, 1, nullptr, false, 0},  // play/pause is no keyboard key
    };
    for (const Case& c : cases) {
        const std::optional<CapturedKey> key = CaptureKey(c.scan, c.flags);
        if (c.nameId == nullptr) {
            EXPECT_FALSE(key.has_value()) << int(c.scan) << "/" << c.flags;
            continue;
        }
        ASSERT_TRUE(key.has_value()) << c.nameId;
        EXPECT_EQ(config::kKeyCodeTable[key->row].nameId, c.nameId);
        EXPECT_EQ(key->modifier, c.modifier) << c.nameId;
        EXPECT_EQ(key->modifierOption, c.option) << c.nameId;
        EXPECT_EQ(key->triple, config::kKeyCodeTable[key->row].assignment) << c.nameId;
    }
}

}  // namespace
}  // namespace norvane::pages
