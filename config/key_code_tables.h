#pragma once

// The key code table (platform key code, assignment, name id), the scan code table
// parallel to its first 113 rows, and the list of caption name ids.

#include "config/key_codes.h"

namespace norvane::config {

// Key codes are the platform's virtual-key codes, except 0x101 keypad Enter, 0xFF keys
// without one, 0x103–0x105 the system functions and 0 rows with no key. Rows 59 and 113
// share 0xBF; a search by key code finds row 59.
inline constexpr std::array<KeyCodeRow, kKeyCodeRowCount> kKeyCodeTable{{
    {0x0A2, {0x20, 0x01, 0x00}, "keyboard_key_LCtrl"},                // 0
    {0x0A0, {0x20, 0x02, 0x00}, "keyboard_key_LShift"},               // 1
    {0x0A4, {0x20, 0x04, 0x00}, "keyboard_key_LAlt"},                 // 2
    {0x05B, {0x20, 0x08, 0x00}, "keyboard_key_LWin"},                 // 3
    {0x0A3, {0x20, 0x10, 0x00}, "keyboard_key_RCtrl"},                // 4
    {0x0A1, {0x20, 0x20, 0x00}, "keyboard_key_RShift"},               // 5
    {0x0A5, {0x20, 0x40, 0x00}, "keyboard_key_RAlt"},                 // 6
    {0x05C, {0x20, 0x80, 0x00}, "keyboard_key_RWin"},                 // 7
    {0x041, {0x20, 0x00, 0x04}, "keyboard_key_A"},                    // 8
    {0x042, {0x20, 0x00, 0x05}, "keyboard_key_B"},                    // 9
    {0x043, {0x20, 0x00, 0x06}, "keyboard_key_C"},                    // 10
    {0x044, {0x20, 0x00, 0x07}, "keyboard_key_D"},                    // 11
    {0x045, {0x20, 0x00, 0x08}, "keyboard_key_E"},                    // 12
    {0x046, {0x20, 0x00, 0x09}, "keyboard_key_F"},                    // 13
    {0x047, {0x20, 0x00, 0x0A}, "keyboard_key_G"},                    // 14
    {0x048, {0x20, 0x00, 0x0B}, "keyboard_key_H"},                    // 15
    {0x049, {0x20, 0x00, 0x0C}, "keyboard_key_I"},                    // 16
    {0x04A, {0x20, 0x00, 0x0D}, "keyboard_key_J"},                    // 17
    {0x04B, {0x20, 0x00, 0x0E}, "keyboard_key_K"},                    // 18
    {0x04C, {0x20, 0x00, 0x0F}, "keyboard_key_L"},                    // 19
    {0x04D, {0x20, 0x00, 0x10}, "keyboard_key_M"},                    // 20
    {0x04E, {0x20, 0x00, 0x11}, "keyboard_key_N"},                    // 21
    {0x04F, {0x20, 0x00, 0x12}, "keyboard_key_O"},                    // 22
    {0x050, {0x20, 0x00, 0x13}, "keyboard_key_P"},                    // 23
    {0x051, {0x20, 0x00, 0x14}, "keyboard_key_Q"},                    // 24
    {0x052, {0x20, 0x00, 0x15}, "keyboard_key_R"},                    // 25
    {0x053, {0x20, 0x00, 0x16}, "keyboard_key_S"},                    // 26
    {0x054, {0x20, 0x00, 0x17}, "keyboard_key_T"},                    // 27
    {0x055, {0x20, 0x00, 0x18}, "keyboard_key_U"},                    // 28
    {0x056, {0x20, 0x00, 0x19}, "keyboard_key_V"},                    // 29
    {0x057, {0x20, 0x00, 0x1A}, "keyboard_key_W"},                    // 30
    {0x058, {0x20, 0x00, 0x1B}, "keyboard_key_X"},                    // 31
    {0x059, {0x20, 0x00, 0x1C}, "keyboard_key_Y"},                    // 32
    {0x05A, {0x20, 0x00, 0x1D}, "keyboard_key_Z"},                    // 33
    {0x031, {0x20, 0x00, 0x1E}, "keyboard_key_1"},                    // 34
    {0x032, {0x20, 0x00, 0x1F}, "keyboard_key_2"},                    // 35
    {0x033, {0x20, 0x00, 0x20}, "keyboard_key_3"},                    // 36
    {0x034, {0x20, 0x00, 0x21}, "keyboard_key_4"},                    // 37
    {0x035, {0x20, 0x00, 0x22}, "keyboard_key_5"},                    // 38
    {0x036, {0x20, 0x00, 0x23}, "keyboard_key_6"},                    // 39
    {0x037, {0x20, 0x00, 0x24}, "keyboard_key_7"},                    // 40
    {0x038, {0x20, 0x00, 0x25}, "keyboard_key_8"},                    // 41
    {0x039, {0x20, 0x00, 0x26}, "keyboard_key_9"},                    // 42
    {0x030, {0x20, 0x00, 0x27}, "keyboard_key_0"},                    // 43
    {0x00D, {0x20, 0x00, 0x28}, "keyboard_key_Enter"},                // 44
    {0x01B, {0x20, 0x00, 0x29}, "keyboard_key_Esc"},                  // 45
    {0x008, {0x20, 0x00, 0x2A}, "keyboard_key_BackSpace"},            // 46
    {0x009, {0x20, 0x00, 0x2B}, "keyboard_key_Tab"},                  // 47
    {0x020, {0x20, 0x00, 0x2C}, "keyboard_key_Space"},                // 48
    {0x0BD, {0x20, 0x00, 0x2D}, "keyboard_key_-"},                    // 49
    {0x0BB, {0x20, 0x00, 0x2E}, "keyboard_key_="},                    // 50
    {0x0DB, {0x20, 0x00, 0x2F}, "keyboard_key_["},                    // 51
    {0x0DD, {0x20, 0x00, 0x30}, "keyboard_key_]"},                    // 52
    {0x0DC, {0x20, 0x00, 0x31}, "keyboard_key_xiegang"},              // 53
    {0x0BA, {0x20, 0x00, 0x33}, "keyboard_key_;"},                    // 54
    {0x0DE, {0x20, 0x00, 0x34}, "keyboard_key_'"},                    // 55
    {0x0C0, {0x20, 0x00, 0x35}, "keyboard_key_`"},                    // 56
    {0x0BC, {0x20, 0x00, 0x36}, "keyboard_key_<"},                    // 57
    {0x0BE, {0x20, 0x00, 0x37}, "keyboard_key_."},                    // 58
    {0x0BF, {0x20, 0x00, 0x38}, "keyboard_key_/"},                    // 59
    {0x014, {0x20, 0x00, 0x39}, "keyboard_key_Caplk"},                // 60
    {0x070, {0x20, 0x00, 0x3A}, "keyboard_key_F1"},                   // 61
    {0x071, {0x20, 0x00, 0x3B}, "keyboard_key_F2"},                   // 62
    {0x072, {0x20, 0x00, 0x3C}, "keyboard_key_F3"},                   // 63
    {0x073, {0x20, 0x00, 0x3D}, "keyboard_key_F4"},                   // 64
    {0x074, {0x20, 0x00, 0x3E}, "keyboard_key_F5"},                   // 65
    {0x075, {0x20, 0x00, 0x3F}, "keyboard_key_F6"},                   // 66
    {0x076, {0x20, 0x00, 0x40}, "keyboard_key_F7"},                   // 67
    {0x077, {0x20, 0x00, 0x41}, "keyboard_key_F8"},                   // 68
    {0x078, {0x20, 0x00, 0x42}, "keyboard_key_F9"},                   // 69
    {0x079, {0x20, 0x00, 0x43}, "keyboard_key_F10"},                  // 70
    {0x07A, {0x20, 0x00, 0x44}, "keyboard_key_F11"},                  // 71
    {0x07B, {0x20, 0x00, 0x45}, "keyboard_key_F12"},                  // 72
    {0x02C, {0x20, 0x00, 0x46}, "keyboard_key_Print Scr"},            // 73
    {0x091, {0x20, 0x00, 0x47}, "keyboard_key_Scroll Lock"},          // 74
    {0x013, {0x20, 0x00, 0x48}, "keyboard_key_Pause"},                // 75
    {0x02D, {0x20, 0x00, 0x49}, "keyboard_key_Insert"},               // 76
    {0x024, {0x20, 0x00, 0x4A}, "keyboard_key_Home"},                 // 77
    {0x021, {0x20, 0x00, 0x4B}, "keyboard_key_Page Up"},              // 78
    {0x02E, {0x20, 0x00, 0x4C}, "keyboard_key_Delete"},               // 79
    {0x023, {0x20, 0x00, 0x4D}, "keyboard_key_End"},                  // 80
    {0x022, {0x20, 0x00, 0x4E}, "keyboard_key_Page Down"},            // 81
    {0x027, {0x20, 0x00, 0x4F}, "keyboard_key_Right"},                // 82
    {0x025, {0x20, 0x00, 0x50}, "keyboard_key_Left"},                 // 83
    {0x028, {0x20, 0x00, 0x51}, "keyboard_key_Down"},                 // 84
    {0x026, {0x20, 0x00, 0x52}, "keyboard_key_Up"},                   // 85
    {0x090, {0x20, 0x00, 0x53}, "keyboard_key_Num Lock"},             // 86
    {0x06F, {0x20, 0x00, 0x54}, "keyboard_key_Num /"},                // 87
    {0x06A, {0x20, 0x00, 0x55}, "keyboard_key_Num *"},                // 88
    {0x06D, {0x20, 0x00, 0x56}, "keyboard_key_Num -"},                // 89
    {0x06B, {0x20, 0x00, 0x57}, "keyboard_key_Num +"},                // 90
    {0x101, {0x20, 0x00, 0x58}, "keyboard_key_Num Enter"},            // 91
    {0x061, {0x20, 0x00, 0x59}, "keyboard_key_Num 1"},                // 92
    {0x062, {0x20, 0x00, 0x5A}, "keyboard_key_Num 2"},                // 93
    {0x063, {0x20, 0x00, 0x5B}, "keyboard_key_Num 3"},                // 94
    {0x064, {0x20, 0x00, 0x5C}, "keyboard_key_Num 4"},                // 95
    {0x065, {0x20, 0x00, 0x5D}, "keyboard_key_Num 5"},                // 96
    {0x066, {0x20, 0x00, 0x5E}, "keyboard_key_Num 6"},                // 97
    {0x067, {0x20, 0x00, 0x5F}, "keyboard_key_Num 7"},                // 98
    {0x068, {0x20, 0x00, 0x60}, "keyboard_key_Num 8"},                // 99
    {0x069, {0x20, 0x00, 0x61}, "keyboard_key_Num 9"},                // 100
    {0x060, {0x20, 0x00, 0x62}, "keyboard_key_Num 0"},                // 101
    {0x06E, {0x20, 0x00, 0x63}, "keyboard_key_Decimal"},              // 102
    {0x05D, {0x20, 0x00, 0x65}, "keyboard_key_App"},                  // 103
    {0x0E2, {0x20, 0x00, 0x64}, "keyboard_key_K45"},                  // 104
    {0x0C1, {0x20, 0x00, 0x87}, "keyboard_key_K56"},                  // 105
    {0x0FF, {0x20, 0x00, 0x89}, "keyboard_key_K14"},                  // 106
    {0x0C2, {0x20, 0x00, 0x85}, "keyboard_key_K107"},                 // 107
    {0x0EB, {0x20, 0x00, 0x8B}, "keyboard_key_K131"},                 // 108
    {0x0FF, {0x20, 0x00, 0x8A}, "keyboard_key_K132"},                 // 109
    {0x0FF, {0x20, 0x00, 0x88}, "keyboard_key_K133"},                 // 110
    {0x0E9, {0x20, 0x00, 0x91}, "keyboard_key_K150"},                 // 111
    {0x0FF, {0x20, 0x00, 0x90}, "keyboard_key_K151"},                 // 112
    {0x0BF, {0x20, 0x00, 0x32}, "keyboard_key_K42"},                  // 113
    {0x0B7, {0x30, 0x92, 0x01}, "keyboard_key_Launch App2"},          // 114
    {0x0AC, {0x30, 0x23, 0x02}, "keyboard_key_Browaer Home"},         // 115
    {0x0B3, {0x30, 0xCD, 0x00}, "keyboard_key_Media Play Pause"},     // 116
    {0x0AA, {0x30, 0x21, 0x02}, "keyboard_key_Browser Search"},       // 117
    {0x0B4, {0x30, 0x8A, 0x01}, "keyboard_key_Launch Mail"},          // 118
    {0x0AF, {0x30, 0xE9, 0x00}, "keyboard_key_Volume Up"},            // 119
    {0x0AD, {0x30, 0xE2, 0x00}, "keyboard_key_Volume Mute"},          // 120
    {0x0B2, {0x30, 0xB7, 0x00}, "keyboard_key_Media Stop"},           // 121
    {0x0AE, {0x30, 0xEA, 0x00}, "keyboard_key_Volume Down"},          // 122
    {0x0AB, {0x30, 0x2A, 0x02}, "keyboard_key_Browser Favorites"},    // 123
    {0x0A7, {0x30, 0x25, 0x02}, "keyboard_key_Browser ForWard"},      // 124
    {0x0A6, {0x30, 0x24, 0x02}, "keyboard_key_Browser Back"},         // 125
    {0x0B1, {0x30, 0xB6, 0x00}, "keyboard_key_Media Prev Track"},     // 126
    {0x0B0, {0x30, 0xB5, 0x00}, "keyboard_key_Media Next Track"},     // 127
    {0x0B6, {0x30, 0x94, 0x01}, "keyboard_key_Computer"},             // 128
    {0x0A8, {0x30, 0x27, 0x02}, "keyboard_key_Browser Refresh"},      // 129
    {0x0A9, {0x30, 0x26, 0x02}, "wed_stop"},                          // 130
    {0x0B5, {0x30, 0x83, 0x01}, "keyboard_key_Launch Media Select"},  // 131
    {0x103, {0x40, 0x01, 0x00}, "keyboard_key_Power"},                // 132
    {0x104, {0x40, 0x02, 0x00}, "keyboard_key_Sleep"},                // 133
    {0x105, {0x40, 0x04, 0x00}, "keyboard_key_Wakeup"},               // 134
    {0x000, {0xD0, 0xA2, 0x01}, "keyboard_key_M1"},                   // 135
    {0x000, {0xD0, 0xA2, 0x02}, "keyboard_key_M2"},                   // 136
    {0x000, {0xD0, 0xA2, 0x03}, "keyboard_key_M3"},                   // 137
    {0x000, {0xD0, 0xA2, 0x04}, "keyboard_key_M4"},                   // 138
    {0x000, {0xD0, 0xA2, 0x05}, "keyboard_key_M5"},                   // 139
    {0x000, {0xA0, 0x01, 0x00}, "keyboard_key_FN"},                   // 140
    {0x000, {0xA0, 0x1B, 0x00}, "keyboard_key_GM"},                   // 141
}};

// Parallel to rows 0–112 of kKeyCodeTable: set-1 make code and extended flag.
inline constexpr std::array<ScanCodeRow, kScanCodeRowCount> kScanCodeTable{{
    {0x0A2, 0x1D, 0},  // LCtrl
    {0x0A0, 0x2A, 0},  // LShift
    {0x0A4, 0x38, 0},  // LAlt
    {0x05B, 0x5B, 1},  // LWin
    {0x0A3, 0x1D, 1},  // RCtrl
    {0x0A1, 0x36, 1},  // RShift
    {0x0A5, 0x38, 1},  // RAlt
    {0x05C, 0x5C, 1},  // RWin
    {0x041, 0x1E, 0},  // A
    {0x042, 0x30, 0},  // B
    {0x043, 0x2E, 0},  // C
    {0x044, 0x20, 0},  // D
    {0x045, 0x12, 0},  // E
    {0x046, 0x21, 0},  // F
    {0x047, 0x22, 0},  // G
    {0x048, 0x23, 0},  // H
    {0x049, 0x17, 0},  // I
    {0x04A, 0x24, 0},  // J
    {0x04B, 0x25, 0},  // K
    {0x04C, 0x26, 0},  // L
    {0x04D, 0x32, 0},  // M
    {0x04E, 0x31, 0},  // N
    {0x04F, 0x18, 0},  // O
    {0x050, 0x19, 0},  // P
    {0x051, 0x10, 0},  // Q
    {0x052, 0x13, 0},  // R
    {0x053, 0x1F, 0},  // S
    {0x054, 0x14, 0},  // T
    {0x055, 0x16, 0},  // U
    {0x056, 0x2F, 0},  // V
    {0x057, 0x11, 0},  // W
    {0x058, 0x2D, 0},  // X
    {0x059, 0x15, 0},  // Y
    {0x05A, 0x2C, 0},  // Z
    {0x031, 0x02, 0},  // 1
    {0x032, 0x03, 0},  // 2
    {0x033, 0x04, 0},  // 3
    {0x034, 0x05, 0},  // 4
    {0x035, 0x06, 0},  // 5
    {0x036, 0x07, 0},  // 6
    {0x037, 0x08, 0},  // 7
    {0x038, 0x09, 0},  // 8
    {0x039, 0x0A, 0},  // 9
    {0x030, 0x0B, 0},  // 0
    {0x00D, 0x1C, 0},  // Enter
    {0x01B, 0x01, 0},  // Esc
    {0x008, 0x0E, 0},  // BackSpace
    {0x009, 0x0F, 0},  // Tab
    {0x020, 0x39, 0},  // Space
    {0x0BD, 0x0C, 0},  // -
    {0x0BB, 0x0D, 0},  // =
    {0x0DB, 0x1A, 0},  // [
    {0x0DD, 0x1B, 0},  // ]
    {0x0DC, 0x2B, 0},  // xiegang
    {0x0BA, 0x27, 0},  // ;
    {0x0DE, 0x28, 0},  // '
    {0x0C0, 0x29, 0},  // `
    {0x0BC, 0x33, 0},  // <
    {0x0BE, 0x34, 0},  // .
    {0x0BF, 0x35, 0},  // /
    {0x014, 0x3A, 0},  // Caplk
    {0x070, 0x3B, 0},  // F1
    {0x071, 0x3C, 0},  // F2
    {0x072, 0x3D, 0},  // F3
    {0x073, 0x3E, 0},  // F4
    {0x074, 0x3F, 0},  // F5
    {0x075, 0x40, 0},  // F6
    {0x076, 0x41, 0},  // F7
    {0x077, 0x42, 0},  // F8
    {0x078, 0x43, 0},  // F9
    {0x079, 0x44, 0},  // F10
    {0x07A, 0x57, 0},  // F11
    {0x07B, 0x58, 0},  // F12
    {0x02C, 0x37, 1},  // Print Scr
    {0x091, 0x46, 0},  // Scroll Lock
    {0x013, 0x45, 0},  // Pause
    {0x02D, 0x52, 1},  // Insert
    {0x024, 0x47, 1},  // Home
    {0x021, 0x49, 1},  // Page Up
    {0x02E, 0x53, 1},  // Delete
    {0x023, 0x4F, 1},  // End
    {0x022, 0x51, 1},  // Page Down
    {0x027, 0x4D, 1},  // Right
    {0x025, 0x4B, 1},  // Left
    {0x028, 0x50, 1},  // Down
    {0x026, 0x48, 1},  // Up
    {0x090, 0x45, 1},  // Num Lock
    {0x06F, 0x35, 1},  // Num /
    {0x06A, 0x37, 0},  // Num *
    {0x06D, 0x4A, 0},  // Num -
    {0x06B, 0x4E, 0},  // Num +
    {0x101, 0x1C, 1},  // Num Enter
    {0x061, 0x4F, 0},  // Num 1
    {0x062, 0x50, 0},  // Num 2
    {0x063, 0x51, 0},  // Num 3
    {0x064, 0x4B, 0},  // Num 4
    {0x065, 0x4C, 0},  // Num 5
    {0x066, 0x4D, 0},  // Num 6
    {0x067, 0x47, 0},  // Num 7
    {0x068, 0x48, 0},  // Num 8
    {0x069, 0x49, 0},  // Num 9
    {0x060, 0x52, 0},  // Num 0
    {0x06E, 0x53, 0},  // Decimal
    {0x05D, 0x5D, 1},  // App
    {0x0E2, 0x56, 0},  // K45
    {0x0C1, 0x73, 0},  // K56
    {0x0FF, 0x7D, 0},  // K14
    {0x0C2, 0x7E, 0},  // K107
    {0x0EB, 0x7B, 0},  // K131
    {0x0FF, 0x79, 0},  // K132
    {0x0FF, 0x70, 0},  // K133
    {0x0E9, 0x71, 0},  // K150
    {0x0FF, 0x72, 0},  // K151
}};

// Every language text id a caption may use, in group order.
inline constexpr std::array<std::string_view, 207> kFunctionNameTable{
    "gun_1_txt",
    "gun_2_txt",
    "gun_3_txt",
    "gun_4_txt",
    "custem_open",
    "custem_new",
    "custem_undo",
    "custem_save",
    "custem_copy",
    "custem_cut",
    "custem_paste",
    "custem_find",
    "custem_select_all",
    "custem_narrow",
    "custem_magnify",
    "mouse_key_left",
    "mouse_key_middle",
    "mouse_key_right",
    "mouse_key_forward",
    "mouse_key_back",
    "mouse_key_fire_key",
    "mouse_key_shortcut_key",
    "win_key_text",
    "mouse_key_smart_key",
    "close_text",
    "mouse_key_DPI_loop",
    "mouse_key_DPI_add",
    "mouse_key_DPI_sub",
    "mouse_key_DPI_shift",
    "show_window",
    "system_power",
    "system_sleep",
    "system_wake_up",
    "mouse_key_fire_key",
    "media_text",
    "media_play",
    "media_stop",
    "media_prev",
    "media_next",
    "media_vol_sub",
    "media_vol_add",
    "media_mute",
    "web_text",
    "web_refresh",
    "wed_stop",
    "wed_back",
    "wed_forward",
    "wed_favorite",
    "web_search",
    "media_mypc",
    "media_calc",
    "media_mail",
    "mouse_key_DPI_add",
    "mouse_key_DPI_sub",
    "mouse_key_DPI_loop",
    "mouse_key_up_Swing",
    "mouse_key_down_Swing",
    "mouse_key_left_Swing",
    "mouse_key_right_Swing",
    "mouse_key_left",
    "mouse_key_middle",
    "mouse_key_right",
    "mouse_key_forward",
    "mouse_key_back",
    "keyboard_key_LCtrl",
    "keyboard_key_LShift",
    "keyboard_key_LAlt",
    "keyboard_key_LWin",
    "keyboard_key_RCtrl",
    "keyboard_key_RShift",
    "keyboard_key_RAlt",
    "keyboard_key_RWin",
    "keyboard_key_A",
    "keyboard_key_B",
    "keyboard_key_C",
    "keyboard_key_D",
    "keyboard_key_E",
    "keyboard_key_F",
    "keyboard_key_G",
    "keyboard_key_H",
    "keyboard_key_I",
    "keyboard_key_J",
    "keyboard_key_K",
    "keyboard_key_L",
    "keyboard_key_M",
    "keyboard_key_N",
    "keyboard_key_O",
    "keyboard_key_P",
    "keyboard_key_Q",
    "keyboard_key_R",
    "keyboard_key_S",
    "keyboard_key_T",
    "keyboard_key_U",
    "keyboard_key_V",
    "keyboard_key_W",
    "keyboard_key_X",
    "keyboard_key_Y",
    "keyboard_key_Z",
    "keyboard_key_1",
    "keyboard_key_2",
    "keyboard_key_3",
    "keyboard_key_4",
    "keyboard_key_5",
    "keyboard_key_6",
    "keyboard_key_7",
    "keyboard_key_8",
    "keyboard_key_9",
    "keyboard_key_0",
    "keyboard_key_Enter",
    "keyboard_key_Esc",
    "keyboard_key_BackSpace",
    "keyboard_key_Tab",
    "keyboard_key_Space",
    "keyboard_key_-",
    "keyboard_key_=",
    "keyboard_key_[",
    "keyboard_key_]",
    "keyboard_key_xiegang",
    "keyboard_key_;",
    "keyboard_key_'",
    "keyboard_key_`",
    "keyboard_key_<",
    "keyboard_key_.",
    "keyboard_key_/",
    "keyboard_key_Caplk",
    "keyboard_key_F1",
    "keyboard_key_F2",
    "keyboard_key_F3",
    "keyboard_key_F4",
    "keyboard_key_F5",
    "keyboard_key_F6",
    "keyboard_key_F7",
    "keyboard_key_F8",
    "keyboard_key_F9",
    "keyboard_key_F10",
    "keyboard_key_F11",
    "keyboard_key_F12",
    "keyboard_key_Print Scr",
    "keyboard_key_Scroll Lock",
    "keyboard_key_Pause",
    "keyboard_key_Insert",
    "keyboard_key_Home",
    "keyboard_key_Page Up",
    "keyboard_key_Delete",
    "keyboard_key_End",
    "keyboard_key_Page Down",
    "keyboard_key_Right",
    "keyboard_key_Left",
    "keyboard_key_Down",
    "keyboard_key_Up",
    "keyboard_key_Num Lock",
    "keyboard_key_Num /",
    "keyboard_key_Num *",
    "keyboard_key_Num -",
    "keyboard_key_Num +",
    "keyboard_key_Num Enter",
    "keyboard_key_Num 1",
    "keyboard_key_Num 2",
    "keyboard_key_Num 3",
    "keyboard_key_Num 4",
    "keyboard_key_Num 5",
    "keyboard_key_Num 6",
    "keyboard_key_Num 7",
    "keyboard_key_Num 8",
    "keyboard_key_Num 9",
    "keyboard_key_Num 0",
    "keyboard_key_Decimal",
    "keyboard_key_App",
    "keyboard_key_K45",
    "keyboard_key_K56",
    "keyboard_key_K14",
    "keyboard_key_K107",
    "keyboard_key_K131",
    "keyboard_key_K132",
    "keyboard_key_K133",
    "keyboard_key_K150",
    "keyboard_key_K151",
    "keyboard_key_K42",
    "keyboard_key_Launch App2",
    "keyboard_key_Browaer Home",
    "keyboard_key_Media Play Pause",
    "keyboard_key_Browser Search",
    "keyboard_key_Launch Mail",
    "keyboard_key_Volume Up",
    "keyboard_key_Volume Mute",
    "keyboard_key_Media Stop",
    "keyboard_key_Volume Down",
    "keyboard_key_Browser Favorites",
    "keyboard_key_Browser ForWard",
    "keyboard_key_Browser Back",
    "keyboard_key_Media Prev Track",
    "keyboard_key_Media Next Track",
    "keyboard_key_Computer",
    "keyboard_key_Browser Refresh",
    "wed_stop",
    "keyboard_key_Launch Media Select",
    "keyboard_key_Power",
    "keyboard_key_Sleep",
    "keyboard_key_Wakeup",
    "keyboard_key_M1",
    "keyboard_key_M2",
    "keyboard_key_M3",
    "keyboard_key_M4",
    "keyboard_key_M5",
    "keyboard_key_FN",
    "keyboard_key_GM",
    "keyboard_key_COLOR",
};

}  // namespace norvane::config
