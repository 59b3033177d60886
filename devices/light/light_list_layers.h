#pragma once

#include "config/light_data.h"
#include "devices/light/light_frame.h"
#include "devices/light/reactive.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace norvane::devices::light {

// Order in which the per-LED animations are laid over the frame: the keyboard applies
// the colour cycle (code 3) before blinking (code 2), the other devices 0 to 4.
enum class LayerOrder { Keyboard, Peripheral };

// The per-LED animations of a light list: entry i animates LED i alone by its effect
// code (0 breathing, 1 steady, 2 blink, 3 colour cycle, 4 off). One set per device object.
class LightListLayers {
public:
    // The initialising form of codes 0, 2 and 3, run when a new light list is taken.
    void Reset(std::span<const config::LightListEntry> list);

    // One pass: advances the animations and lays them over the frame, LED by LED, over
    // min(list length, frame size, 170) entries.
    void Apply(std::span<const config::LightListEntry> list, LayerOrder order, LightFrame& frame,
               std::uint32_t nowMs);

    // True when some entry changes from pass to pass (codes 0, 2, 3).
    static bool Animated(std::span<const config::LightListEntry> list);

    // With passes every passMs after the last one at lastPassMs: the time of the first pass
    // that may show an entry differently; nullopt when none ever does. Passes in between
    // still have to run, only later.
    std::optional<std::uint32_t> NextChangeMs(std::span<const config::LightListEntry> list,
                                              std::uint32_t lastPassMs, std::uint32_t passMs) const;

private:
    void Breathe(const config::LightListEntry& entry, std::size_t led, LightFrame& frame);
    void Cycle(const config::LightListEntry& entry, std::size_t led, LightFrame& frame);
    void Blink(std::span<const config::LightListEntry> list, std::size_t count, LightFrame& frame,
               std::uint32_t nowMs);

    std::array<std::uint8_t, kMaxLeds> phase_{};
    std::array<std::uint8_t, kMaxLeds> colourIndex_{};
    std::array<std::uint8_t, kMaxLeds> blinkFlag_{};
    std::array<std::uint32_t, kMaxLeds> lastBlinkMs_{};
    std::array<std::uint32_t, kMaxLeds> blinkIntervalMs_{};
    std::array<std::uint8_t, kMaxLeds> stepCounter_{};
    std::array<std::uint8_t, kMaxLeds> stepThreshold_{};
};

}  // namespace norvane::devices::light
