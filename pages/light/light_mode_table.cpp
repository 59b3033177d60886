#include "pages/light/light_mode_table.h"

#include <algorithm>

namespace norvane::pages {
namespace {

constexpr auto E = GroupState::kEnabled;
constexpr auto O = GroupState::kDisabled;
constexpr auto H = GroupState::kHidden;

constexpr std::array<int, 6> Modes(int a, int b = -1, int c = -1, int d = -1, int e = -1, int f = -1) {
    return {a, b, c, d, e, f};
}

constexpr std::array kKeyboardRows{
    ModeRow{Modes(1, 2), true, true, true, true, E, true},
    ModeRow{Modes(3, 24), true, true, true, true, E, true, kExtraNone, &kLabelsRotation},
    ModeRow{Modes(4, 11), false, false, false, true, E, false, kDisableColourLayout},
    ModeRow{Modes(5, 7, 13, 14, 23, 25), true, true, true, true, E, false},
    ModeRow{Modes(6), true, true, true, true, O, false, kSameMode},
    ModeRow{Modes(8, 9, 10, 15, 22), true, true, true, true, E, false},
    ModeRow{Modes(12), false, false, false, true, E, true, kExtraNone, &kLabelsUpward},
    ModeRow{Modes(16), true, true, true, true, O, false},
    ModeRow{Modes(17), false, false, false, true, H, false, kShowSecondaryMode | kDisableColourLayout},
    ModeRow{Modes(18), false, false, false, true, O, true, kExtraNone, &kLabelsInward},
    ModeRow{Modes(19), false, true, true, true, H, false, kShowCustomGroups},
    ModeRow{Modes(21), true, true, true, true, E, true, kExtraNone, &kLabelsDownward},
    ModeRow{Modes(26), true, true, true, true, E, false},
    ModeRow{Modes(27), false, false, false, true, E, false},
    ModeRow{Modes(28), false, false, false, false, O, false, kSameMode},
    ModeRow{Modes(29), true, true, true, true, H, true, kShowMusicMode},
    ModeRow{Modes(30), false, false, false, true, O, false, kDisableColourLayout},
};

constexpr std::array kMouseRows{
    ModeRow{Modes(0, 5), true, true, true, true, E, true},
    ModeRow{Modes(1), false, false, false, true, E, false, kSameMode},
    ModeRow{Modes(2, 4, 6), true, true, true, true, E, false, kSameMode},
    ModeRow{Modes(3), false, true, true, true, O, false, kSameMode},
    ModeRow{Modes(7, 8), false, false, false, true, E, false},
    ModeRow{Modes(9), false, false, false, false, O, false, kSameMode},
};

constexpr std::array kPadRows{
    ModeRow{Modes(0), true, true, true, true, E, true},
    ModeRow{Modes(1), false, false, false, true, E, false, kSameMode},
    ModeRow{Modes(2, 4), true, true, true, true, E, false, kSameMode},
    ModeRow{Modes(3), false, true, true, true, O, false, kSameMode},
    ModeRow{Modes(8), false, false, false, false, O, false, kSameMode},
};

constexpr std::array kKind5Rows{
    ModeRow{Modes(0, 2, 3), true, true, true, true, E, std::nullopt},
    ModeRow{Modes(1), false, true, true, true, O, std::nullopt},
    ModeRow{Modes(4), false, false, false, true, E, std::nullopt},
};

constexpr ModeRow kPeripheralOther{Modes(-1), false, false, false, false, O, false};
constexpr ModeRow kKind5Other{Modes(-1), false, false, false, false, O, std::nullopt};

constexpr ModeTable kKeyboardTable{ModeReset::kKeyboard, kKeyboardRows, kPeripheralOther};
constexpr ModeTable kMouseTable{ModeReset::kPeripheral, kMouseRows, kPeripheralOther};
constexpr ModeTable kPadTable{ModeReset::kPeripheral, kPadRows, kPeripheralOther};
constexpr ModeTable kKind5Table{ModeReset::kNone, kKind5Rows, kKind5Other};

}  // namespace

const ModeTable* ModeTableFor(int deviceKind) {
    switch (deviceKind) {
        case 1:
        case 9:  // the keyboard's second identity
            return &kKeyboardTable;
        case 2:
        case 6:  // the mouse through its receiver
            return &kMouseTable;
        case 3:
        case 4:
        case 7:
            return &kPadTable;
        case 5:
            return &kKind5Table;
        default:
            return nullptr;
    }
}

const ModeRow& ModeRowFor(const ModeTable& table, int mode) {
    if (mode >= 0) {
        for (const ModeRow& row : table.rows) {
            if (std::ranges::find(row.modes, mode) != row.modes.end()) {
                return row;
            }
        }
    }
    return table.other;
}

}  // namespace norvane::pages
