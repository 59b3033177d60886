#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Constant tables of the light effects. Lookups go through the helpers at the end,
// which clamp brightness and speed indices and reduce every other index into its table.
namespace norvane::devices::light {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::array<std::uint8_t, 5> kBrightnessLevels = {0, 63, 126, 190, 255};

inline constexpr std::array<std::uint8_t, 64> kBreathingRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};

// Rises over entries 0-63, falls over 64-127.
inline constexpr std::array<std::uint8_t, 128> kBreathingCurve = [] {
    std::array<std::uint8_t, 128> curve{};
    for (std::size_t i = 0; i < 64; ++i) {
        curve[i] = kBreathingRise[i];
        curve[127 - i] = kBreathingRise[i];
    }
    return curve;
}();

inline constexpr std::array<std::uint8_t, 32> kWheelRise = {
    1,  3,  5,  7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81, 89, 99, 109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<std::uint8_t, 32> kWheelFall = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
    69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

inline constexpr std::size_t kWheelSize = 192;

// Six runs of 32: red to yellow, to green, to cyan, to blue, to magenta, back to red.
inline constexpr std::array<Rgb, kWheelSize> kColourWheel = [] {
    std::array<Rgb, kWheelSize> wheel{};
    for (std::size_t i = 0; i < 32; ++i) {
        const std::uint8_t u = kWheelRise[i];
        const std::uint8_t d = kWheelFall[i];
        wheel[i] = {255, u, 0};
        wheel[32 + i] = {d, 255, 0};
        wheel[64 + i] = {0, 255, u};
        wheel[96 + i] = {0, d, 255};
        wheel[128 + i] = {u, 0, 255};
        wheel[160 + i] = {255, 0, d};
    }
    return wheel;
}();

// The wheel followed by its first 64 colours: any 8-bit index reads a colour.
inline constexpr std::array<Rgb, 256> kColourTable = [] {
    std::array<Rgb, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = kColourWheel[i % kWheelSize];
    }
    return table;
}();

inline constexpr std::array<Rgb, 4> kFourColours = {
    {{0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};

// Blink interval in units of 200 ms, by speed index.
inline constexpr std::array<std::uint8_t, 5> kBlinkIntervalUnits = {28, 23, 18, 13, 7};
inline constexpr std::uint32_t kBlinkUnitMs = 200;

// Breathing curve entries 16-63 (22 up to 255), then mirrored.
inline constexpr std::array<std::uint8_t, 96> kWaveCurve = [] {
    std::array<std::uint8_t, 96> curve{};
    for (std::size_t i = 0; i < 48; ++i) {
        curve[i] = kBreathingRise[16 + i];
        curve[95 - i] = kBreathingRise[16 + i];
    }
    return curve;
}();

inline constexpr std::array<std::uint8_t, 25> kPulseRise = {0,   4,   8,   14,  22,  33,  45,  61,  77,
                                                            84,  100, 110, 120, 130, 140, 150, 158, 166,
                                                            175, 182, 191, 204, 220, 234, 255};

// A quick rise, the falling half of the breathing curve down to 0 at entry 88, then dark.
inline constexpr std::array<std::uint8_t, 192> kPulseCurve = [] {
    std::array<std::uint8_t, 192> curve{};
    for (std::size_t i = 0; i < kPulseRise.size(); ++i) {
        curve[i] = kPulseRise[i];
    }
    for (std::size_t k = 0; k < 64; ++k) {
        curve[25 + k] = kBreathingCurve[64 + k];
    }
    return curve;
}();

// Counts between effect advances, by speed index; any other speed advances on every count.
inline constexpr std::array<std::uint8_t, 5> kIntervalTable = {28, 23, 18, 13, 7};
inline constexpr std::array<std::uint8_t, 5> kFastIntervalTable = {5, 4, 3, 2, 1};

// Keyboard modes 1-30: counts between steps, by speed index.
inline constexpr int kKeyboardModeCount = 30;
inline constexpr std::array<std::array<std::uint8_t, 5>, kKeyboardModeCount> kTickThresholds = [] {
    std::array<std::array<std::uint8_t, 5>, kKeyboardModeCount> table{};
    for (auto& row : table) {
        row = {5, 4, 3, 2, 1};
    }
    table[16 - 1] = {4, 4, 4, 4, 4};
    table[17 - 1] = {4, 4, 4, 4, 0};
    return table;
}();

// --- lookups ---

constexpr std::size_t ClampIndex(int index, std::size_t size) {
    if (index < 0) {
        return 0;
    }
    return static_cast<std::size_t>(index) >= size ? size - 1 : static_cast<std::size_t>(index);
}

constexpr std::uint8_t BrightnessLevel(int index) {
    return kBrightnessLevels[ClampIndex(index, 5)];
}
constexpr std::uint32_t BlinkIntervalMs(int speed) {
    return kBlinkIntervalUnits[ClampIndex(speed, 5)] * kBlinkUnitMs;
}
constexpr std::uint8_t Interval(int speed) {
    return speed >= 0 && speed < 5 ? kIntervalTable[static_cast<std::size_t>(speed)] : 0;
}
constexpr std::uint8_t FastInterval(int speed) {
    return speed >= 0 && speed < 5 ? kFastIntervalTable[static_cast<std::size_t>(speed)] : 0;
}
constexpr Rgb Wheel(unsigned index) {
    return kColourWheel[index % kWheelSize];
}
constexpr Rgb FourColour(unsigned index) {
    return kFourColours[index % kFourColours.size()];
}
constexpr std::uint8_t Breathing(unsigned index) {
    return kBreathingCurve[index % kBreathingCurve.size()];
}
constexpr std::uint8_t WaveAt(unsigned index) {
    return kWaveCurve[index % kWaveCurve.size()];
}
constexpr std::uint8_t PulseAt(unsigned index) {
    return kPulseCurve[index % kPulseCurve.size()];
}

// Counts before a keyboard mode steps; 0 for modes outside 1-30.
constexpr std::uint8_t TickThreshold(int mode, int speed) {
    if (mode < 1 || mode > kKeyboardModeCount) {
        return 0;
    }
    return kTickThresholds[static_cast<std::size_t>(mode - 1)][ClampIndex(speed, 5)];
}

// value × level / 256, as the effects scale a colour or a curve by a brightness level.
constexpr std::uint8_t Scale(unsigned value, unsigned level) {
    return static_cast<std::uint8_t>(value * level >> 8);
}

static_assert(kColourWheel[31] == Rgb{255, 255, 0} && kColourWheel[191] == Rgb{255, 0, 0});
static_assert(kWaveCurve[0] == 22 && kWaveCurve[47] == 255 && kWaveCurve[48] == 255 && kWaveCurve[95] == 22);
static_assert(kPulseCurve[24] == 255 && kPulseCurve[88] == 0 && kPulseCurve[87] > 0 && kPulseCurve[191] == 0);

}  // namespace norvane::devices::light
