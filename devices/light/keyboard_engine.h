#pragma once

#include "config/light_data.h"
#include "devices/light/base_effects.h"
#include "devices/light/effect_player.h"
#include "devices/light/light_frame.h"
#include "devices/light/light_list_layers.h"
#include "devices/light/reactive.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace norvane::devices::light {

inline constexpr int kKeyboardLeds = 170;
inline constexpr int kMusicLevels = 25;
inline constexpr int kOutsideValues = 6;

// The step counter of the keyboard modes advances once per period; a mode steps when the
// counter reaches its threshold (5 counts at speed 0 = 80 ms, 1 count at speed 4 = 16 ms).
inline constexpr std::uint32_t kCountPeriodMs = 16;

// Direction masks: one column byte per matrix column, bit k = row k of kSecondMatrix.
enum class MaskDirection { Right = 0, Left = 1, Up = 2, Down = 3 };

// Uniform 32-bit random numbers; injected so that tests are repeatable.
using RandomSource = std::function<std::uint32_t()>;
RandomSource DefaultRandomSource();

// Renders the keyboard's light modes 1-30 into a 170-LED frame. It holds no lock and
// starts no thread: the device object's light thread calls Advance, the UI thread and
// the device's event readers call the setters, and the device object serialises them.
class KeyboardLightEngine {
public:
    explicit KeyboardLightEngine(RandomSource random = DefaultRandomSource());

    // --- inputs ---
    // A setter that changes something makes the next pass render at once.
    // A new mode index restarts the mode before the next step; mode 19 always restarts.
    void SetMode(int mode, int speed);
    void RestartMode() { restartPending_ = true; }
    void SetLightState(const config::LightInfo& light);
    void SetAudioLightState(const config::AudioLightInfo& audio);
    // The profile's light list; runs the initialising form of its animations.
    void SetLightList(std::span<const config::LightListEntry> list);
    // The steps of the current custom effect; the player starts again at step 0.
    void SetCustomEffect(std::span<const config::LightEffectStep> steps);
    // At most 25 spectrum levels are kept; the rest are zero.
    void FeedAudioSpectrum(std::span<const std::int32_t> levels);
    // At most 6 values are kept; the first three are the colour of mode 30.
    void FeedAudioLevels(std::span<const std::int32_t> values);
    // A ripple from the key's cell (all four direction masks), as a key press starts one.
    void StartRipple(int key);
    // Fade modes 8 and 25: a key rises while held and falls once released.
    void SetKeyHit(int key, bool down);

    // --- scheduling ---
    // One pass of the light thread at time nowMs: counts the elapsed periods, runs the
    // mode's step when it is due (modes outside the table play the custom effect on every
    // pass), then lays the light list over the frame. Returns true when a step ran.
    bool Advance(std::uint32_t nowMs, LightFrame& frame);
    // When the frame next changes if nothing else does: the time of the next step, the
    // next pass (nowMs + 1) while the custom effect or animated light list entries play,
    // or nothing for a mode that stands still until an input changes.
    std::optional<std::uint32_t> NextDueMs() const;

    // One step of the current mode, without scheduling and layers (restarts first when due).
    void Step(std::uint32_t nowMs, LightFrame& frame);

    // Modes 29 and 30 exist only on the host and stream their frames to the keyboard.
    static bool StreamsFrames(int mode) { return mode == 29 || mode == 30; }
    // Modes whose frame changes only when an input changes.
    static bool StandsStill(int mode);
    static bool InModeTable(int mode) { return mode >= 1 && mode <= 30; }

    // --- state, for the page and for tests ---
    int Mode() const { return mode_; }
    const ReactiveArrays& Reactive() const { return reactive_; }
    std::uint8_t ColourIndex(int led) const;
    std::uint8_t KeyPhase(int led) const;
    std::uint8_t MaskColumn(MaskDirection direction, int column) const;
    const EffectPlayer& Player() const { return player_; }
    const EffectState& Effect() const { return effect_; }
    std::int64_t MusicAccumulator() const { return musicAccumulator_; }

private:
    void Restart(LightFrame& frame);
    void RunStep(std::uint32_t nowMs, LightFrame& frame);
    bool StepDue() const;

    std::uint8_t RandomWheel();
    LedColor Shade(std::size_t led, unsigned value) const;
    void DecayAndShade(std::size_t led, LightFrame& frame);
    void ColumnWave(LightFrame& frame, bool pulse);
    void KeyWave(LightFrame& frame);
    void AdvanceMasks();
    void LightMasks();
    bool MasksEmpty() const;
    void Reflect(int column, std::uint8_t bit);
    void ShowStep(LightFrame& frame);
    void RenderMusic(LightFrame& frame);

    RandomSource random_;
    int mode_ = 0;
    int speed_ = 0;
    config::LightInfo light_{};
    config::AudioLightInfo audio_{};
    std::vector<config::LightListEntry> lightList_;
    std::vector<config::LightEffectStep> steps_;

    EffectState effect_;
    ReactiveArrays reactive_;
    std::array<std::uint8_t, kKeyboardLeds> colourIndex_{};  // H
    std::array<std::uint8_t, kKeyboardLeds> keyPhase_{};     // K
    std::array<std::uint8_t, kKeyboardLeds> hitFlags_{};     // F: 1 rising, 2 falling
    std::array<std::array<std::uint8_t, 23>, 4> masks_{};
    std::uint8_t waveCounter_ = 0;
    std::uint8_t showStage_ = 0;
    std::uint8_t showStep_ = 0;

    std::array<std::int32_t, kMusicLevels> spectrum_{};
    std::array<std::int32_t, kOutsideValues> outside_{};
    std::int64_t musicAccumulator_ = 0;
    std::uint8_t musicFrames_ = 0;
    std::uint8_t musicWheel_ = 0;

    EffectPlayer player_;
    LightListLayers layers_;

    bool restartPending_ = true;
    bool renderPending_ = true;
    bool clockStarted_ = false;
    std::uint32_t lastCountMs_ = 0;
    std::uint32_t lastPassMs_ = 0;
    std::uint32_t counter_ = 0;
};

}  // namespace norvane::devices::light
