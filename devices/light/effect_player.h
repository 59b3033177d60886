#pragma once

#include "config/light_data.h"
#include "devices/light/light_frame.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace norvane::devices::light {

// Plays a custom effect (a list of timed steps) into a frame, one call per pass of the
// light thread. Every device object owns its own player. The caller guards the step list.
class EffectPlayer {
public:
    // lightSpeed is the device light state's speed; it sets the blink interval of code 2.
    void Pass(std::span<const config::LightEffectStep> steps, int lightSpeed, LightFrame& frame,
              std::uint32_t nowMs);

    // With passes every passMs after the last one at lastPassMs: the time of the first pass
    // whose frame may differ from the last one; nullopt when only a new list can change it.
    // Passes in between still have to run (they move the counters), only later.
    std::optional<std::uint32_t> NextChangeMs(std::span<const config::LightEffectStep> steps, int lightSpeed,
                                              std::uint32_t lastPassMs, std::uint32_t passMs) const;

    // Back to the first step; the next pass begins it.
    void Restart() { *this = EffectPlayer{}; }

    std::size_t StepIndex() const { return stepIndex_; }
    std::uint8_t Phase() const { return phase_; }

private:
    void Render(const config::LightEffectStep& step, int lightSpeed, LightFrame& frame, std::uint32_t nowMs);

    std::size_t stepIndex_ = 0;
    std::uint8_t tick_ = 0;
    std::uint8_t phase_ = 0;
    std::uint8_t blinkFlag_ = 0;
    std::uint8_t blinkColour_ = 0;
    std::uint32_t lastBlinkMs_ = 0;
    std::uint32_t stepStartMs_ = 0;
    bool stepStarted_ = false;
    bool stepBegins_ = false;  // the last pass moved on; the next one renders the new step
};

}  // namespace norvane::devices::light
