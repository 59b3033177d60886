#include "config/key_codes.h"
#include "config/key_code_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace norvane::config {
namespace {

TEST(KeyCodeTables, RowsMatchTheirDocumentedAnchors) {
    EXPECT_EQ(kKeyCodeTable[0].nameId, "keyboard_key_LCtrl");
    EXPECT_EQ(kKeyCodeTable[8].assignment, (KeyAssignment{0x20, 0x00, 0x04}));    // A
    EXPECT_EQ(kKeyCodeTable[91].keyCode, kKeyCodeKeypadEnter);                    // Num Enter
    EXPECT_EQ(kKeyCodeTable[113].assignment, (KeyAssignment{0x20, 0x00, 0x32}));  // K42
    EXPECT_EQ(kKeyCodeTable[130].nameId, "wed_stop");
    EXPECT_EQ(kKeyCodeTable[131].assignment, (KeyAssignment{0x30, 0x83, 0x01}));  // media select
    EXPECT_EQ(kKeyCodeTable[139].assignment, (KeyAssignment{0xD0, 0xA2, 0x05}));  // M5
    EXPECT_EQ(kKeyCodeTable[141].assignment, (KeyAssignment{0xA0, 0x1B, 0x00}));  // GM
    EXPECT_EQ(kFunctionNameTable.back(), "keyboard_key_COLOR");
    EXPECT_EQ(kFunctionNameTable[4], "custem_open");
    for (std::size_t i = 0; i < kScanCodeTable.size(); ++i) {
        EXPECT_EQ(kScanCodeTable[i].keyCode, kKeyCodeTable[i].keyCode) << "row " << i;
    }
    // Scan code and flag identify a key uniquely.
    std::set<std::pair<int, int>> seen;
    for (const ScanCodeRow& row : kScanCodeTable) {
        EXPECT_TRUE(seen.insert({row.scanCode, row.extended}).second) << int(row.scanCode);
    }
}

TEST(KeyCodeTables, FindByKeyCodeTakesTheFirstOfSharedCodes) {
    EXPECT_EQ(FindByKeyCode(0xBF), 59U);
    EXPECT_EQ(FindByKeyCode(0x41), 8U);
    EXPECT_EQ(FindByKeyCode(0x1234), std::nullopt);
}

TEST(KeyCodeTables, FindByScanCodeUsesTheExtendedBit) {
    struct Case {
        std::uint8_t scan;
        std::uint32_t flags;
        std::size_t row;
    };
    for (const Case& c : {Case{0x1D, 0, 0}, Case{0x1D, 1, 4}, Case{0x45, 0, 75}, Case{0x45, 1, 86},
                          Case{0x1C, 0, 44}, Case{0x1C, 0x81, 91}, Case{0x37, 0, 88}, Case{0x37, 1, 73}}) {
        EXPECT_EQ(FindByScanCode(c.scan, c.flags), c.row) << int(c.scan) << "/" << c.flags;
    }
    EXPECT_EQ(FindByScanCode(0x7F, 0), std::nullopt);
}

TEST(KeyAssignmentCode, IntegerFormRoundTrips) {
    EXPECT_EQ(ToInteger({0x20, 0x01, 0x04}), 0x200104U);
    EXPECT_EQ(FromInteger(16777215), (KeyAssignment{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(FromInteger(0x700203), (KeyAssignment{0x70, 0x02, 0x03}));
}

TEST(KeyAssignmentCode, ScrollEncodingStoresDirectionAndCount) {
    EXPECT_EQ(EncodeVerticalScroll(0, 0, 1, true).param2, 0xFF);
    EXPECT_EQ(EncodeVerticalScroll(0, 0, 127, true).param2, 0x81);
    EXPECT_EQ(EncodeVerticalScroll(0, 0, 5, false).param2, 0x05);
    EXPECT_EQ(EncodeHorizontalScroll(0, 0, 5, true).param2, 0x85);
    // Delay and speed keep their low four bits, the count its low seven.
    const KeyAssignment a = EncodeHorizontalScroll(0x1F, 0x23, 0x85, false);
    EXPECT_EQ(a, (KeyAssignment{0x11, 0xF3, 0x05}));
    const ScrollParameters down = DecodeVerticalScroll(EncodeVerticalScroll(2, 3, 1, true));
    EXPECT_EQ(down.count, 1);
    EXPECT_TRUE(down.secondDirection);
    EXPECT_EQ(down.delay, 2);
    EXPECT_EQ(down.speed, 3);
    EXPECT_EQ(DecodeHorizontalScroll({0x11, 0x00, 0x85}).count, 5);
}

TEST(KeyAssignmentCode, OtherEncoders) {
    EXPECT_EQ(EncodeKeyboardKey(1, 0x04), (KeyAssignment{0x20, 0x01, 0x04}));
    EXPECT_EQ(EncodeKeyboardKey(4, 0x04), (KeyAssignment{0x20, 0x08, 0x04}));
    EXPECT_EQ(EncodeKeyboardKey(0, 0), (KeyAssignment{0x20, 0x00, 0x00}));
    EXPECT_EQ(EncodeMacro(3, 2, 9), (KeyAssignment{0x70, 3, 2}));
    EXPECT_EQ(EncodeMacro(3, 4, 9), (KeyAssignment{0x71, 3, 9}));
    EXPECT_EQ(EncodeRapidFire(300, 2), (KeyAssignment{0x14, 300 & 0xFF, 2}));
    EXPECT_EQ(EncodeGunKey(2), (KeyAssignment{0x72, 2, 0}));
}

TEST(KeyAssignmentCode, DecodeKeyboardKey) {
    // Right Ctrl alone as a modifier reads as a combination.
    DecodedKeyboardKey d = DecodeKeyboardKey({0x20, 0x10, 0x06});
    EXPECT_EQ(d.family, KeyFunctionFamily::Combination);
    EXPECT_EQ(d.shortcutRow, 4U);
    // Right Shift maps to the Shift choice; the key is looked up from row 8 on.
    d = DecodeKeyboardKey({0x20, 0x20, 0x04});
    EXPECT_EQ(d.family, KeyFunctionFamily::KeyboardKey);
    EXPECT_EQ(d.modifierChoice, 2);
    EXPECT_EQ(d.keyRow, 8U);
    // Several modifiers give no single choice.
    EXPECT_EQ(DecodeKeyboardKey({0x20, 0x03, 0x04}).modifierChoice, 0);
    // Unknown usage without modifier: empty key, parameters cleared.
    d = DecodeKeyboardKey({0x20, 0x00, 0xF0});
    EXPECT_EQ(d.keyRow, std::nullopt);
    EXPECT_EQ(d.value, (KeyAssignment{0x20, 0, 0}));
    EXPECT_EQ(ModifierChoiceOfRow(4), 1);
    EXPECT_EQ(ModifierChoiceOfRow(7), 4);
}

TEST(KeyAssignmentCode, FamilyOfAssignment) {
    const KeyAssignment fallback{0x10, 0x01, 0x00};
    EXPECT_EQ(FamilyOf(fallback, fallback), KeyFunctionFamily::Default);
    EXPECT_EQ(FamilyOf({0x20, 0x00, 0x04}, fallback), KeyFunctionFamily::KeyboardKey);
    EXPECT_EQ(FamilyOf({0x20, 0x10, 0x06}, fallback), KeyFunctionFamily::Combination);
    EXPECT_EQ(FamilyOf({0x71, 0x00, 0x03}, fallback), KeyFunctionFamily::Macro);
    EXPECT_EQ(FamilyOf({0xA0, 0x01, 0x00}, fallback), std::nullopt);
    EXPECT_EQ(FindPresetRow({0x30, 0xE9, 0x00}), 6U);
    EXPECT_EQ(FindPresetRow({0x10, 0x08, 0x00}), 4U);
    EXPECT_EQ(FindPresetRow({0x72, 0x00, 0x00}), std::nullopt);
}

TEST(KeyAssignmentNaming, CaptionsByType) {
    using Kind = AssignmentCaption::Kind;
    const std::vector<std::string> macros{"first", "second"};
    struct Case {
        KeyAssignment assignment;
        Kind kind;
        std::vector<std::string> parts;
    };
    const std::vector<Case> cases{
        {{0x20, 0x00, 0x04}, Kind::NameIds, {"keyboard_key_A"}},
        {{0x00, 0x00, 0x04}, Kind::NameIds, {"keyboard_key_A"}},
        {{0x20, 0x00, 0x00}, Kind::NameIds, {"close_text"}},
        {{0x20, 0x01, 0x04}, Kind::NameIds, {"keyboard_key_LCtrl", "keyboard_key_A"}},
        {{0x20, 0x10, 0x06}, Kind::NameIds, {"keyboard_key_RCtrl", "keyboard_key_C", "custem_copy"}},
        {{0x10, 0x04, 0x00}, Kind::NameIds, {"mouse_key_middle"}},
        {{0x11, 0x00, 0x85}, Kind::NameIds, {"mouse_key_right_Swing"}},
        {{0x12, 0x00, 0x05}, Kind::NameIds, {"mouse_key_up_Swing"}},
        {{0x13, 0x03, 0x00}, Kind::NameIds, {"mouse_key_DPI_loop"}},
        {{0x14, 0x10, 0x03}, Kind::NameIds, {"mouse_key_fire_key"}},
        {{0x30, 0xE2, 0x00}, Kind::NameIds, {"media_mute"}},
        {{0x40, 0x02, 0x00}, Kind::NameIds, {"system_sleep"}},
        {{0x16, 0x90, 0x01}, Kind::NameIds, {"mouse_key_DPI_shift"}},
        {{0x23, 0x00, 0x00}, Kind::NameIds, {"show_window"}},
        {{0xA0, 0x02, 0x00}, Kind::NameIds, {"mouse_key_smart_key"}},
        {{0xA0, 0x1B, 0x00}, Kind::NameIds, {"keyboard_key_GM"}},
        {{0xD0, 0xA2, 0x03}, Kind::NameIds, {"keyboard_key_M3"}},
        {{0x22, 0x00, 0x03}, Kind::NameIds, {"custem_save"}},
        {{0x22, 0x00, 0x09}, Kind::Unchanged, {}},
        {{0x70, 0x01, 0x00}, Kind::Text, {"second"}},
        {{0x71, 0x02, 0x05}, Kind::Unchanged, {}},
        {{0xB0, 0x00, 0x00}, Kind::Unchanged, {}},
        {{0x99, 0x00, 0x00}, Kind::Text, {std::string(kUnknownTypeCaption)}},
        // A usage no row has, without modifier, names nothing rather than every key.
        {{0x20, 0x00, 0xF0}, Kind::Unchanged, {}},
    };
    for (const Case& c : cases) {
        const AssignmentCaption caption = NameAssignment(c.assignment, macros);
        EXPECT_EQ(caption.kind, c.kind) << std::hex << ToInteger(c.assignment);
        EXPECT_EQ(caption.parts, c.parts) << std::hex << ToInteger(c.assignment);
    }
}

}  // namespace
}  // namespace norvane::config
