#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace norvane::pages {

// How one layout group is set by a mode: its enabled state, or hidden.
enum class GroupState : std::uint8_t { kDisabled, kEnabled, kHidden };

// Extras a mode switches on beside the six groups.
enum ModeExtra : std::uint16_t {
    kExtraNone = 0,
    kShowSecondaryMode = 1U << 0,  // "light_combo_ZZCCmodeSelectLayout" shown
    kDisableColourLayout = 1U << 1,
    kShowCustomGroups = 1U << 2,  // "lightcustom_layout" shown
    kShowMusicMode = 1U << 3,     // "light_combo_AudiomodeSelectLayout" shown, colour tab page 1
    kSameMode = 1U << 4,          // "deng_same_mode" shown when it may be offered
};

// The direction option labels a mode gives ("deng_FXL_check", "deng_FXR_check").
struct DirectionLabels {
    std::string_view left;
    std::string_view right;
};

inline constexpr DirectionLabels kLabelsHorizontal{"light_set_right_to_left_text",
                                                   "light_set_left_to_right_text"};
inline constexpr DirectionLabels kLabelsRotation{"light_set_clockwise_text", "light_set_anticlockwise_text"};
inline constexpr DirectionLabels kLabelsUpward{"light_set_down_to_up_text", "light_set_up_to_down_text"};
inline constexpr DirectionLabels kLabelsDownward{"light_set_up_to_down_text", "light_set_down_to_up_text"};
inline constexpr DirectionLabels kLabelsInward{"light_set_outside_to_inside_text",
                                               "light_set_inside_to_outside_text"};

// One row: the modes it covers and the state of the groups M ("deng_7color_check"),
// C ("deng_color_layout"), P ("colorpallet_layout"), L ("deng_light_layout"),
// S ("deng_speed_layout") and D ("deng_fx_layout"; nullopt leaves it as it is).
struct ModeRow {
    std::array<int, 6> modes{-1, -1, -1, -1, -1, -1};
    bool multiColour = false;
    bool colour = false;
    bool palette = false;
    bool brightness = false;
    GroupState speed = GroupState::kDisabled;
    std::optional<bool> direction;
    std::uint16_t extras = kExtraNone;
    const DirectionLabels* labels = nullptr;  // nullptr: the labels are left as they are
};

// The modes of one device family. The reset runs before every change.
enum class ModeReset : std::uint8_t { kNone, kPeripheral, kKeyboard };

struct ModeTable {
    ModeReset reset = ModeReset::kNone;
    std::span<const ModeRow> rows;
    // Used for a mode no row covers.
    ModeRow other;
};

// The table for a device kind; nullptr for kinds the table leaves alone.
const ModeTable* ModeTableFor(int deviceKind);
// The row of a mode in a table (the table's "other" row when none covers it).
const ModeRow& ModeRowFor(const ModeTable& table, int mode);

}  // namespace norvane::pages
