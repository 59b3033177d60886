#pragma once

#include "config/profile_data.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace norvane::config {

// Headset "SystemSetStages".
struct HeadsetSettings {
    std::int32_t magicEnable = 0;          // "MagicEnable"
    std::int32_t magicType = 0;            // "MagicType"
    std::int32_t eqType = 0;               // "EqType"
    std::int32_t customEqSelectIndex = 0;  // "CustomEqSeletIndex"
    std::int32_t micInSelect = 0;          // "MicInSelect"
    std::int32_t micInValue = 0;           // "MicInValue"
    std::int32_t micMonitorSelect = 0;     // "MicMoniterSelect"
    std::int32_t micMonitorValue = 0;      // "MicMoniterValue"

    friend bool operator==(const HeadsetSettings&, const HeadsetSettings&) = default;
};

inline constexpr int kEqBandCount = 10;
inline constexpr int kCustomEqType = 13;
inline constexpr int kMaxCustomEqSlots = 20;
using EqBands = std::array<int, kEqBandCount>;

// Row of "EQHzValueInfo" for an equaliser type: 1–12 their own row, 13 none (-1), any
// other value row 1.
int EqPresetRow(int eqType);

class CDe6533Profiledata : public CBasicProfiledata {
public:
    HeadsetSettings GetHeadsetSettings();
    void SetHeadsetSettings(const HeadsetSettings& settings);

    // The ten band values of a type's preset row (a missing row is written as zeros);
    // the custom type gives an empty list.
    std::vector<int> GetEqBands(int eqType);
    void SetEqBands(int eqType, const EqBands& values);
    // A slot outside 0…19 gives an empty list and is not written.
    std::vector<int> GetCustomEqBands(int slot);
    bool SetCustomEqBands(int slot, const EqBands& values);
    std::vector<std::string> GetCustomEqNames();
    void SetCustomEqNames(const std::vector<std::string>& names);
    // Removes a custom curve: its name and its band row together.
    bool RemoveCustomEq(int slot);

private:
    HeadsetSettings settings_;
};

}  // namespace norvane::config
