#pragma once

#include "config/light_data.h"
#include "devices/light/base_effects.h"
#include "devices/light/effect_player.h"
#include "devices/light/keyboard_engine.h"
#include "devices/light/light_frame.h"
#include "devices/light/light_list_layers.h"
#include "devices/light/reactive.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace norvane::devices::light {

enum class PeripheralClass { Mouse, MousePad, Headset };

// One count of the light thread: the thread counts about once per 2 ms.
inline constexpr std::uint32_t kPeripheralCountMs = 2;

// Renders the light modes of the mouse, the mousepad and the headset into their frames.
// It holds no lock and starts no thread: the device object's light thread calls Advance
// and the UI thread calls the setters, both under the device object's mutex. The frame
// passed in holds the device's LEDs.
class PeripheralLightEngine {
public:
    PeripheralLightEngine(PeripheralClass cls, int ledCount, RandomSource random = DefaultRandomSource());

    PeripheralClass Class() const { return class_; }
    int LedCount() const { return ledCount_; }

    // --- inputs ---
    // A setter that changes what is shown makes the next pass render at once.
    // A new mode clears V and R and seeds the ring (R[0] = 1) on every class.
    void SetMode(int mode, int speed);
    void SetLightState(const config::LightInfo& light);
    // Takes the list and runs the initialising form of its animations. The pad and the
    // headset lay it over every pass; the mouse only initialises.
    void SetLightList(std::span<const config::LightListEntry> list);
    // Replaces the custom step list; the player starts again at step 0.
    void SetCustomEffect(std::span<const config::LightEffectStep> steps);
    // Mouse in mode 6 only: every LED rises (V = 255, random colour index). Else nothing.
    void TriggerReactive();

    // --- scheduling ---
    // One pass at nowMs: counts the elapsed counts since the last pass, runs the mode's
    // step for each due count (custom modes on every count) and lays the light list
    // (pad, headset). True when the frame changed.
    bool Advance(std::uint32_t nowMs, LightFrame& frame);
    // When the frame next changes if nothing else does; nullopt while it stands still
    // until an input changes.
    std::optional<std::uint32_t> NextDueMs() const;

    // One step of the current mode (no scheduling, no layers).
    void Step(std::uint32_t nowMs, LightFrame& frame);

    // Modes outside the class's table play the custom effect.
    static bool PlaysCustom(PeripheralClass cls, int mode);

    // --- state, for the page and for tests ---
    int Mode() const { return mode_; }
    int Speed() const { return speed_; }
    const ReactiveArrays& Reactive() const { return reactive_; }
    const EffectPlayer& Player() const { return player_; }
    const EffectState& Effect() const { return effect_; }
    // Mouse reactive state of an LED: 0 idle, 1 rising, 2 falling.
    std::uint8_t ReactiveState(int led) const;
    std::uint8_t ReactiveColour(int led) const;

private:
    bool LaysList() const { return class_ != PeripheralClass::Mouse && !lightList_.empty(); }
    // The entries laid over the frame: one per LED of the device at most.
    std::span<const config::LightListEntry> LaidList() const {
        return std::span(lightList_).first(std::min(lightList_.size(), static_cast<std::size_t>(ledCount_)));
    }
    bool CountsEachPass() const;
    bool StillMode() const;
    std::optional<std::uint32_t> Due() const;
    std::uint32_t Need() const;
    void CountOnce(std::uint32_t atMs, LightFrame& frame);
    void Seed();

    void Put(LightFrame& frame, int led, LedColor colour) const;
    Rgb RingColour(const LightFrame& frame, int keepLed, bool headLit);
    void WaveStep(LightFrame& frame);
    void MouseRows(LightFrame& frame);
    void MouseReactive(LightFrame& frame);
    void RingOverLeds(LightFrame& frame);
    void RingOverPairs(LightFrame& frame);

    PeripheralClass class_;
    int ledCount_;
    RandomSource random_;
    int mode_ = 0;
    int speed_ = 0;
    config::LightInfo light_{};
    std::vector<config::LightListEntry> lightList_;
    bool listAnimated_ = false;
    std::vector<config::LightEffectStep> steps_;

    EffectState effect_;
    ReactiveArrays reactive_;
    std::uint8_t ringCounter_ = 0;
    std::array<std::uint8_t, kMaxLeds> reactiveState_{};
    std::array<std::uint8_t, kMaxLeds> reactiveColour_{};

    EffectPlayer player_;
    LightListLayers layers_;

    bool renderPending_ = true;
    bool clockStarted_ = false;
    std::uint32_t lastCountMs_ = 0;
    std::uint32_t lastPassMs_ = 0;
    std::uint32_t counter_ = 0;
};

}  // namespace norvane::devices::light
