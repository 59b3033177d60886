#include "config/key_codes.h"
#include "config/key_code_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

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

struct KeyRow {
    std::uint16_t keyCode;
    KeyAssignment assignment;
    std::string nameId;
};

// A run of keys whose key codes and usages both count up, named by `names`.
void AddRun(std::vector<KeyRow>& rows, std::uint16_t firstCode, std::uint8_t firstUsage,
            const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        rows.push_back({static_cast<std::uint16_t>(firstCode + i),
                        {0x20, 0x00, static_cast<std::uint8_t>(firstUsage + i)},
                        "keyboard_key_" + names[i]});
    }
}

void AddKeys(std::vector<KeyRow>& rows,
             const std::vector<std::tuple<std::string, std::uint16_t, std::uint8_t>>& keys) {
    for (const auto& [name, code, usage] : keys) {
        rows.push_back({code, {0x20, 0x00, usage}, "keyboard_key_" + name});
    }
}

std::vector<std::string> Numbered(const std::string& prefix, int first, int last) {
    std::vector<std::string> names;
    for (int n = first; n <= last; ++n) {
        names.push_back(prefix + std::to_string(n));
    }
    return names;
}

TEST(KeyCodeTables, EveryKeyCodeRowByValue) {
    std::vector<KeyRow> rows;
    const std::vector<std::pair<std::string, std::uint16_t>> modifiers{
        {"LCtrl", 0xA2}, {"LShift", 0xA0}, {"LAlt", 0xA4}, {"LWin", 0x5B},
        {"RCtrl", 0xA3}, {"RShift", 0xA1}, {"RAlt", 0xA5}, {"RWin", 0x5C}};
    for (std::size_t k = 0; k < modifiers.size(); ++k) {
        rows.push_back({modifiers[k].second,
                        {0x20, static_cast<std::uint8_t>(1U << k), 0x00},
                        "keyboard_key_" + modifiers[k].first});
    }
    std::vector<std::string> letters;
    for (char c = 'A'; c <= 'Z'; ++c) {
        letters.emplace_back(1, c);
    }
    AddRun(rows, 0x41, 0x04, letters);
    AddRun(rows, 0x31, 0x1E, Numbered("", 1, 9));
    AddKeys(rows, {{"0", 0x30, 0x27},
                   {"Enter", 0x0D, 0x28},
                   {"Esc", 0x1B, 0x29},
                   {"BackSpace", 0x08, 0x2A},
                   {"Tab", 0x09, 0x2B},
                   {"Space", 0x20, 0x2C},
                   {"-", 0xBD, 0x2D},
                   {"=", 0xBB, 0x2E},
                   {"[", 0xDB, 0x2F},
                   {"]", 0xDD, 0x30},
                   {"xiegang", 0xDC, 0x31},
                   {";", 0xBA, 0x33},
                   {"'", 0xDE, 0x34},
                   {"`", 0xC0, 0x35},
                   {"<", 0xBC, 0x36},
                   {".", 0xBE, 0x37},
                   {"/", 0xBF, 0x38},
                   {"Caplk", 0x14, 0x39}});
    AddRun(rows, 0x70, 0x3A, Numbered("F", 1, 12));
    AddKeys(rows, {{"Print Scr", 0x2C, 0x46},
                   {"Scroll Lock", 0x91, 0x47},
                   {"Pause", 0x13, 0x48},
                   {"Insert", 0x2D, 0x49},
                   {"Home", 0x24, 0x4A},
                   {"Page Up", 0x21, 0x4B},
                   {"Delete", 0x2E, 0x4C},
                   {"End", 0x23, 0x4D},
                   {"Page Down", 0x22, 0x4E},
                   {"Right", 0x27, 0x4F},
                   {"Left", 0x25, 0x50},
                   {"Down", 0x28, 0x51},
                   {"Up", 0x26, 0x52},
                   {"Num Lock", 0x90, 0x53},
                   {"Num /", 0x6F, 0x54},
                   {"Num *", 0x6A, 0x55},
                   {"Num -", 0x6D, 0x56},
                   {"Num +", 0x6B, 0x57},
                   {"Num Enter", 0x101, 0x58}});
    AddRun(rows, 0x61, 0x59, Numbered("Num ", 1, 9));
    AddKeys(rows, {{"Num 0", 0x60, 0x62},
                   {"Decimal", 0x6E, 0x63},
                   {"App", 0x5D, 0x65},
                   {"K45", 0xE2, 0x64},
                   {"K56", 0xC1, 0x87},
                   {"K14", 0xFF, 0x89},
                   {"K107", 0xC2, 0x85},
                   {"K131", 0xEB, 0x8B},
                   {"K132", 0xFF, 0x8A},
                   {"K133", 0xFF, 0x88},
                   {"K150", 0xE9, 0x91},
                   {"K151", 0xFF, 0x90},
                   {"K42", 0xBF, 0x32}});
    const std::vector<std::tuple<std::string, std::uint16_t, std::uint16_t>> consumer{
        {"keyboard_key_Launch App2", 0xB7, 0x0192},
        {"keyboard_key_Browaer Home", 0xAC, 0x0223},
        {"keyboard_key_Media Play Pause", 0xB3, 0x00CD},
        {"keyboard_key_Browser Search", 0xAA, 0x0221},
        {"keyboard_key_Launch Mail", 0xB4, 0x018A},
        {"keyboard_key_Volume Up", 0xAF, 0x00E9},
        {"keyboard_key_Volume Mute", 0xAD, 0x00E2},
        {"keyboard_key_Media Stop", 0xB2, 0x00B7},
        {"keyboard_key_Volume Down", 0xAE, 0x00EA},
        {"keyboard_key_Browser Favorites", 0xAB, 0x022A},
        {"keyboard_key_Browser ForWard", 0xA7, 0x0225},
        {"keyboard_key_Browser Back", 0xA6, 0x0224},
        {"keyboard_key_Media Prev Track", 0xB1, 0x00B6},
        {"keyboard_key_Media Next Track", 0xB0, 0x00B5},
        {"keyboard_key_Computer", 0xB6, 0x0194},
        {"keyboard_key_Browser Refresh", 0xA8, 0x0227},
        {"wed_stop", 0xA9, 0x0226},
        {"keyboard_key_Launch Media Select", 0xB5, 0x0183}};
    for (const auto& [name, code, usage] : consumer) {
        rows.push_back(
            {code,
             {0x30, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)},
             name});
    }
    const std::vector<std::string> system{"Power", "Sleep", "Wakeup"};
    for (std::size_t i = 0; i < system.size(); ++i) {
        rows.push_back({static_cast<std::uint16_t>(0x103 + i),
                        {0x40, static_cast<std::uint8_t>(1U << i), 0x00},
                        "keyboard_key_" + system[i]});
    }
    for (int m = 1; m <= 5; ++m) {
        rows.push_back({0, {0xD0, 0xA2, static_cast<std::uint8_t>(m)}, "keyboard_key_M" + std::to_string(m)});
    }
    rows.push_back({0, {0xA0, 0x01, 0x00}, "keyboard_key_FN"});
    rows.push_back({0, {0xA0, 0x1B, 0x00}, "keyboard_key_GM"});

    ASSERT_EQ(rows.size(), kKeyCodeTable.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(kKeyCodeTable[i].keyCode, rows[i].keyCode) << "row " << i;
        EXPECT_EQ(kKeyCodeTable[i].assignment, rows[i].assignment) << "row " << i;
        EXPECT_EQ(kKeyCodeTable[i].nameId, rows[i].nameId) << "row " << i;
    }
}

TEST(KeyCodeTables, EveryScanCodeRowByValue) {
    // Set-1 make codes of rows 0–112, in row order.
    const std::vector<std::uint8_t> scan{
        0x1D, 0x2A, 0x38, 0x5B, 0x1D, 0x36, 0x38, 0x5C,                                // modifiers
        0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A–M
        0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N–Z
        0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,                    // 1–9, 0
        0x1C, 0x01, 0x0E, 0x0F, 0x39, 0x0C, 0x0D, 0x1A, 0x1B, 0x2B, 0x27, 0x28, 0x29,  // Enter … `
        0x33, 0x34, 0x35, 0x3A,                                                        // < . / Caplk
        0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,        // F1–F12
        0x37, 0x46, 0x45, 0x52, 0x47, 0x49, 0x53, 0x4F, 0x51, 0x4D, 0x4B, 0x50, 0x48,  // Print Scr … Up
        0x45, 0x35, 0x37, 0x4A, 0x4E, 0x1C,                                      // Num Lock … Num Enter
        0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49, 0x52, 0x53, 0x5D,  // Num 1 … App
        0x56, 0x73, 0x7D, 0x7E, 0x7B, 0x79, 0x70, 0x71, 0x72};                   // K45 … K151
    // The rows the hook marks as extended.
    const std::set<std::string> extended{"LWin",      "RCtrl",     "RShift", "RAlt",      "RWin",
                                         "Print Scr", "Insert",    "Home",   "Page Up",   "Delete",
                                         "End",       "Page Down", "Right",  "Left",      "Down",
                                         "Up",        "Num Lock",  "Num /",  "Num Enter", "App"};
    ASSERT_EQ(scan.size(), kScanCodeTable.size());
    std::size_t flagged = 0;
    for (std::size_t i = 0; i < scan.size(); ++i) {
        const std::string name(kKeyCodeTable[i].nameId.substr(std::string_view("keyboard_key_").size()));
        EXPECT_EQ(kScanCodeTable[i].scanCode, scan[i]) << name;
        EXPECT_EQ(kScanCodeTable[i].extended, extended.count(name)) << name;
        flagged += kScanCodeTable[i].extended;
    }
    EXPECT_EQ(flagged, extended.size());
}

TEST(KeyCodeTables, FunctionNamesAreTheGroupTablesInOrder) {
    std::vector<std::string_view> expected{"gun_1_txt", "gun_2_txt", "gun_3_txt", "gun_4_txt"};
    const auto add = [&](std::span<const PresetRow> rows) {
        for (const PresetRow& row : rows) {
            expected.push_back(row.nameId);
        }
    };
    add(kShortcutPresets);
    add(kDeviceFunctionPresets);
    add(kSystemPresets);
    expected.push_back("mouse_key_fire_key");
    add(kMediaPresets);
    add(kDpiPresets);
    for (std::string_view swing :
         {"mouse_key_up_Swing", "mouse_key_down_Swing", "mouse_key_left_Swing", "mouse_key_right_Swing"}) {
        expected.push_back(swing);
    }
    add(kMouseButtonPresets);
    for (const KeyCodeRow& row : kKeyCodeTable) {
        expected.push_back(row.nameId);
    }
    expected.push_back("keyboard_key_COLOR");
    EXPECT_EQ(std::vector<std::string_view>(kFunctionNameTable.begin(), kFunctionNameTable.end()), expected);
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
