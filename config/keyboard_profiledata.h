#pragma once

#include "config/profile_data.h"

#include <cstdint>
#include <vector>

namespace norvane::config {

// Keyboard "SystemStages".
struct KeyboardSettings {
    std::uint16_t repeat = 0;       // "Repeat"
    std::uint16_t repeatDelay = 0;  // "RepeatDelay"
    std::uint16_t key6Flag = 0;     // "Key6Flag"
    std::uint16_t pollingRate = 0;  // "PollingRate"
    std::uint16_t wFlag = 0;        // "WFlag"
    std::uint16_t winFlag = 0;      // "WinFlag"
    std::uint16_t wheelMode = 0;    // "WheelMode"

    friend bool operator==(const KeyboardSettings&, const KeyboardSettings&) = default;
};

class CKeyboardProfiledata : public CBasicProfiledata {
public:
    KeyboardSettings GetKeyboardSettings();
    void SetKeyboardSettings(const KeyboardSettings& settings);

    // Per-key colours of a custom group ("CustomLightMode"."LightColorInfo"[group]); keys
    // the group lacks are added as zeros. A group outside 0…15 or a count outside 0…170
    // gives an empty list and changes nothing.
    std::vector<KeyColor> GetCustomColors(int group, int count);
    bool SetCustomColors(const std::vector<KeyColor>& colors, int group);
    // "CustomLightModeGroupIndex"; a stored index outside 0 … kMaxCustomColorGroups − 1
    // reads as 0, so the result can always be passed to GetCustomColors.
    int GetCustomGroupIndex();
    // False (nothing changed) for an index outside 0 … kMaxCustomColorGroups − 1.
    bool SetCustomGroupIndex(int index);

private:
    KeyboardSettings settings_;
    std::vector<KeyColor> customColors_;
    int customGroupIndex_ = 0;
};

}  // namespace norvane::config
