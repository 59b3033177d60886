#pragma once

#include "devices/light/light_frame.h"

#include <array>
#include <cstdint>

namespace norvane::shell {

enum class SyncEffect : std::uint8_t { Breathing = 0, Steady = 1, Flash = 2, ColourCycle = 3, Off = 4 };

// The effect all following devices play, and its parameters.
struct SyncSettings {
    SyncEffect effect = SyncEffect::Breathing;
    std::uint8_t brightness = 0;  // level 0..4
    std::uint8_t speed = 0;       // level 0..4
    std::uint8_t direction = 0;   // 1 forward, 0 backward
    std::uint8_t colourful = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const SyncSettings&, const SyncSettings&) = default;
};

// Steps of the sync clock (1 ms ticks) between two effect steps, by speed level.
inline constexpr std::array<std::uint8_t, 5> kSyncStepThresholds = {28, 23, 18, 13, 7};
// Clamped to the table.
std::uint8_t SyncThreshold(int speed);
// A flash toggles after this many milliseconds per threshold step.
inline constexpr std::uint32_t kFlashMsPerThreshold = 200;

// The running state of the sync effects and one step of them.
class SyncEffects {
public:
    // One step of the effect; the colour and level every following LED gets. nowMs is the
    // sync clock (the flash measures its toggle interval on it).
    devices::light::LedColor Step(const SyncSettings& settings, std::uint32_t nowMs);

    unsigned BreathingPosition() const { return breathingPosition_; }
    unsigned BreathingWheel() const { return breathingWheel_; }
    unsigned FlashWheel() const { return flashWheel_; }
    bool FlashOn() const { return flashOn_; }
    unsigned CycleWheel() const { return cycleWheel_; }

private:
    devices::light::LedColor Breathing(const SyncSettings& s);
    devices::light::LedColor Flash(const SyncSettings& s, std::uint32_t nowMs);

    unsigned breathingPosition_ = 0;
    unsigned breathingWheel_ = 0;
    unsigned flashWheel_ = 0;
    bool flashOn_ = false;
    std::uint32_t lastToggleMs_ = 0;
    unsigned cycleWheel_ = 0;
};

}  // namespace norvane::shell
