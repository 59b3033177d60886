#include <gtest/gtest.h>

#include "config/key_code_tables.h"
#include "input/x11_keycodes.h"

namespace norvane::input {
namespace {

TEST(X11KeycodesTest, KeycodesGiveTheMakeCodeExtendedFlagAndKeyCodeOfTheHook) {
    struct Case {
        unsigned xKeycode;
        std::uint8_t scanCode;
        bool extended;
        std::uint16_t keyCode;
    };
    const Case cases[] = {
        {38, 0x1E, false, 0x41},   // A
        {9, 0x01, false, 0x1B},    // Esc
        {37, 0x1D, false, 0xA2},   // left Ctrl
        {105, 0x1D, true, 0xA3},   // right Ctrl
        {64, 0x38, false, 0xA4},   // left Alt
        {108, 0x38, true, 0xA5},   // right Alt
        {50, 0x2A, false, 0xA0},   // left Shift
        {62, 0x36, true, 0xA1},    // right Shift
        {133, 0x5B, true, 0x5B},   // left Win
        {135, 0x5D, true, 0x5D},   // Menu
        {36, 0x1C, false, 0x0D},   // Enter
        {104, 0x1C, true, 0x101},  // keypad Enter
        {61, 0x35, false, 0xBF},   // /
        {106, 0x35, true, 0x6F},   // keypad /
        {111, 0x48, true, 0x26},   // Up
        {80, 0x48, false, 0x68},   // keypad 8
        {113, 0x4B, true, 0x25},   // Left
        {119, 0x53, true, 0x2E},   // Delete
        {91, 0x53, false, 0x6E},   // keypad .
        {77, 0x45, true, 0x90},    // Num Lock
        {127, 0x45, false, 0x13},  // Pause
        {107, 0x37, true, 0x2C},   // Print Screen
        {63, 0x37, false, 0x6A},   // keypad *
        {95, 0x57, false, 0x7A},   // F11
        {66, 0x3A, false, 0x14},   // Caps Lock
        {78, 0x46, false, 0x91},   // Scroll Lock
        {94, 0x56, false, 0xE2},   // 102nd key
        {123, 0x30, true, 0},      // Volume Up: no row of the scan code table
        {121, 0x20, true, 0},      // Mute
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xKeycode);
        const auto code = ScanCodeOfXKeycode(c.xKeycode);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(code->scanCode, c.scanCode);
        EXPECT_EQ(code->extended, c.extended);
        const KeyHookRecord record = KeyRecordOfXKeycode(c.xKeycode, 42);
        EXPECT_EQ(record.scanCode, c.scanCode);
        EXPECT_EQ(record.flags & kKeyFlagExtended, c.extended ? kKeyFlagExtended : 0U);
        EXPECT_EQ(record.keyCode, c.keyCode);
        EXPECT_EQ(record.time, 42U);
    }
}

TEST(X11KeycodesTest, KeycodesWithoutAMakeCodeGiveAnEmptyRecord) {
    for (unsigned xKeycode : {0U, 8U, 255U, 1000U}) {
        EXPECT_FALSE(ScanCodeOfXKeycode(xKeycode).has_value()) << xKeycode;
        const KeyHookRecord record = KeyRecordOfXKeycode(xKeycode, 5);
        EXPECT_EQ(record.scanCode, 0);
        EXPECT_EQ(record.keyCode, 0);
    }
}

// Every key of the scan code table can be typed on some X keycode, and that keycode comes
// back as the same row.
TEST(X11KeycodesTest, EveryScanCodeTableRowIsReachable) {
    for (std::size_t i = 0; i < config::kScanCodeTable.size(); ++i) {
        const config::ScanCodeRow& row = config::kScanCodeTable[i];
        SCOPED_TRACE(i);
        const auto xKeycode = XKeycodeOfScanCode({row.scanCode, row.extended != 0});
        ASSERT_TRUE(xKeycode.has_value());
        const KeyHookRecord record = KeyRecordOfXKeycode(*xKeycode, 0);
        EXPECT_EQ(config::FindByScanCode(record.scanCode, record.flags), i);
    }
}

}  // namespace
}  // namespace norvane::input
