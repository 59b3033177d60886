#include "input/x11_keycodes.h"

#include <array>

#include "config/key_code_tables.h"

namespace norvane::input {

namespace {

// X keycode = evdev code + 8. Extended flags follow what a low-level keyboard hook reports
// (right Shift and Num Lock included); media keys keep their E0 codes, which name no key
// of the scan code table.
inline constexpr std::array<X11KeyRow, 124> kX11KeyTable{{
    {9, 0x01, 0},    // Esc
    {10, 0x02, 0},   // 1
    {11, 0x03, 0},   // 2
    {12, 0x04, 0},   // 3
    {13, 0x05, 0},   // 4
    {14, 0x06, 0},   // 5
    {15, 0x07, 0},   // 6
    {16, 0x08, 0},   // 7
    {17, 0x09, 0},   // 8
    {18, 0x0A, 0},   // 9
    {19, 0x0B, 0},   // 0
    {20, 0x0C, 0},   // -
    {21, 0x0D, 0},   // =
    {22, 0x0E, 0},   // BackSpace
    {23, 0x0F, 0},   // Tab
    {24, 0x10, 0},   // Q
    {25, 0x11, 0},   // W
    {26, 0x12, 0},   // E
    {27, 0x13, 0},   // R
    {28, 0x14, 0},   // T
    {29, 0x15, 0},   // Y
    {30, 0x16, 0},   // U
    {31, 0x17, 0},   // I
    {32, 0x18, 0},   // O
    {33, 0x19, 0},   // P
    {34, 0x1A, 0},   // [
    {35, 0x1B, 0},   // ]
    {36, 0x1C, 0},   // Enter
    {37, 0x1D, 0},   // left Ctrl
    {38, 0x1E, 0},   // A
    {39, 0x1F, 0},   // S
    {40, 0x20, 0},   // D
    {41, 0x21, 0},   // F
    {42, 0x22, 0},   // G
    {43, 0x23, 0},   // H
    {44, 0x24, 0},   // J
    {45, 0x25, 0},   // K
    {46, 0x26, 0},   // L
    {47, 0x27, 0},   // ;
    {48, 0x28, 0},   // '
    {49, 0x29, 0},   // `
    {50, 0x2A, 0},   // left Shift
    {51, 0x2B, 0},   // backslash
    {52, 0x2C, 0},   // Z
    {53, 0x2D, 0},   // X
    {54, 0x2E, 0},   // C
    {55, 0x2F, 0},   // V
    {56, 0x30, 0},   // B
    {57, 0x31, 0},   // N
    {58, 0x32, 0},   // M
    {59, 0x33, 0},   // ,
    {60, 0x34, 0},   // .
    {61, 0x35, 0},   // /
    {62, 0x36, 1},   // right Shift
    {63, 0x37, 0},   // keypad *
    {64, 0x38, 0},   // left Alt
    {65, 0x39, 0},   // Space
    {66, 0x3A, 0},   // Caps Lock
    {67, 0x3B, 0},   // F1
    {68, 0x3C, 0},   // F2
    {69, 0x3D, 0},   // F3
    {70, 0x3E, 0},   // F4
    {71, 0x3F, 0},   // F5
    {72, 0x40, 0},   // F6
    {73, 0x41, 0},   // F7
    {74, 0x42, 0},   // F8
    {75, 0x43, 0},   // F9
    {76, 0x44, 0},   // F10
    {77, 0x45, 1},   // Num Lock
    {78, 0x46, 0},   // Scroll Lock
    {79, 0x47, 0},   // keypad 7
    {80, 0x48, 0},   // keypad 8
    {81, 0x49, 0},   // keypad 9
    {82, 0x4A, 0},   // keypad -
    {83, 0x4B, 0},   // keypad 4
    {84, 0x4C, 0},   // keypad 5
    {85, 0x4D, 0},   // keypad 6
    {86, 0x4E, 0},   // keypad +
    {87, 0x4F, 0},   // keypad 1
    {88, 0x50, 0},   // keypad 2
    {89, 0x51, 0},   // keypad 3
    {90, 0x52, 0},   // keypad 0
    {91, 0x53, 0},   // keypad .
    {94, 0x56, 0},   // 102nd key
    {95, 0x57, 0},   // F11
    {96, 0x58, 0},   // F12
    {97, 0x73, 0},   // Ro
    {100, 0x79, 0},  // Henkan
    {101, 0x70, 0},  // Katakana/Hiragana
    {102, 0x7B, 0},  // Muhenkan
    {104, 0x1C, 1},  // keypad Enter
    {105, 0x1D, 1},  // right Ctrl
    {106, 0x35, 1},  // keypad /
    {107, 0x37, 1},  // Print Screen
    {108, 0x38, 1},  // right Alt
    {110, 0x47, 1},  // Home
    {111, 0x48, 1},  // Up
    {112, 0x49, 1},  // Page Up
    {113, 0x4B, 1},  // Left
    {114, 0x4D, 1},  // Right
    {115, 0x4F, 1},  // End
    {116, 0x50, 1},  // Down
    {117, 0x51, 1},  // Page Down
    {118, 0x52, 1},  // Insert
    {119, 0x53, 1},  // Delete
    {121, 0x20, 1},  // Mute
    {122, 0x2E, 1},  // Volume Down
    {123, 0x30, 1},  // Volume Up
    {127, 0x45, 0},  // Pause
    {129, 0x7E, 0},  // keypad comma
    {130, 0x72, 0},  // Hangul
    {131, 0x71, 0},  // Hanja
    {132, 0x7D, 0},  // Yen
    {133, 0x5B, 1},  // left Win
    {134, 0x5C, 1},  // right Win
    {135, 0x5D, 1},  // Menu
    {148, 0x21, 1},  // Calculator
    {163, 0x6C, 1},  // Mail
    {171, 0x19, 1},  // Next Track
    {172, 0x22, 1},  // Play/Pause
    {173, 0x10, 1},  // Previous Track
    {174, 0x24, 1},  // Stop
    {180, 0x32, 1},  // Browser Home
    {225, 0x65, 1},  // Browser Search
}};

}  // namespace

std::optional<ScanCode> ScanCodeOfXKeycode(unsigned xKeycode) {
    for (const X11KeyRow& row : kX11KeyTable) {
        if (row.xKeycode == xKeycode) {
            return ScanCode{row.scanCode, row.extended != 0};
        }
    }
    return std::nullopt;
}

std::optional<unsigned> XKeycodeOfScanCode(ScanCode code) {
    for (const X11KeyRow& row : kX11KeyTable) {
        if (row.scanCode == code.scanCode && (row.extended != 0) == code.extended) {
            return row.xKeycode;
        }
    }
    return std::nullopt;
}

KeyHookRecord KeyRecordOfXKeycode(unsigned xKeycode, std::uint32_t timeMs) {
    KeyHookRecord record;
    record.time = timeMs;
    const auto code = ScanCodeOfXKeycode(xKeycode);
    if (!code) {
        return record;
    }
    record.scanCode = code->scanCode;
    record.flags = code->extended ? kKeyFlagExtended : 0;
    if (const auto row = config::FindByScanCode(code->scanCode, record.flags)) {
        record.keyCode = config::kScanCodeTable[*row].keyCode;
    }
    return record;
}

}  // namespace norvane::input
