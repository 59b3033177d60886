#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Per-LED intensities and the ring of the reactive effects.
namespace norvane::devices::light {

inline constexpr std::size_t kMaxLeds = 170;
inline constexpr std::size_t kRingSize = 23;

struct ReactiveArrays {
    std::array<std::uint8_t, kMaxLeds> values{};  // V
    std::array<std::uint8_t, kRingSize> ring{};   // R

    friend bool operator==(const ReactiveArrays&, const ReactiveArrays&) = default;
};

// Lowers V[led] by the first rule of the mode's decay that applies, never below 0.
// Indices outside the array are ignored.
void DecayLedValue(ReactiveArrays& arrays, int led, int mode);

// V := 255 for each of the first nine ring entries that is set.
void TriggerLedValues(ReactiveArrays& arrays);

// Rotates the ring by one place: toward the end when direction is not 0.
void RotateRing(ReactiveArrays& arrays, int direction);

void ClearLedEffects(ReactiveArrays& arrays);

}  // namespace norvane::devices::light
