#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// LED groups of the mouse, the mousepad and the headset.
namespace norvane::devices::light {

inline constexpr std::uint8_t kNoLed = 0xFF;

inline constexpr int kMouseLeds = 15;
inline constexpr int kMousePadLeds = 15;
inline constexpr int kHeadsetLeds = 13;

// The mouse's 7 rows; rows 0-5 hold two LEDs, row 6 three.
inline constexpr std::size_t kMouseRowCount = 7;
inline constexpr std::array<std::array<std::uint8_t, 3>, kMouseRowCount> kMouseRows = {{
    {0, 13, kNoLed},
    {1, 12, kNoLed},
    {2, 11, kNoLed},
    {3, 10, kNoLed},
    {4, 9, kNoLed},
    {5, 8, kNoLed},
    {6, 14, 7},
}};

// The 7 pairs of the mousepad and the headset; LED 0 belongs to none.
inline constexpr std::size_t kPairCount = 7;
inline constexpr std::array<std::array<std::uint8_t, 2>, kPairCount> kLedPairs = {{
    {1, 14},
    {2, 13},
    {3, 12},
    {4, 11},
    {5, 10},
    {6, 9},
    {7, 8},
}};

}  // namespace norvane::devices::light
