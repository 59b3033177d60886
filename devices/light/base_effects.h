#pragma once

#include "config/light_data.h"
#include "devices/light/light_frame.h"

#include <cstdint>

// The base effects every device renders: each step gives every LED the same entry.
namespace norvane::devices::light {

struct EffectState {
    std::uint8_t phase = 0;
    std::uint8_t secondPhase = 0;
    std::uint8_t blinkFlag = 0;
    std::uint32_t lastBlinkMs = 0;
};

// Forward: position + delta, 0 once it reaches the limit. Backward: position - delta,
// limit - delta once it leaves 0 ... limit - 1.
constexpr std::uint8_t StepPhase(bool forward, int limit, int position, int delta) {
    if (forward) {
        const int next = position + delta;
        return static_cast<std::uint8_t>(next >= limit ? 0 : next);
    }
    const int next = position - delta;
    return static_cast<std::uint8_t>(next < 0 || next >= limit ? limit - delta : next);
}

void EffectBreathing(EffectState& state, const config::LightInfo& light, LightFrame& frame);
void EffectFourColourBreathing(EffectState& state, const config::LightInfo& light, LightFrame& frame);
void EffectStatic(const config::LightInfo& light, LightFrame& frame);
void EffectSpectrum(EffectState& state, const config::LightInfo& light, LightFrame& frame);
void EffectBlink(EffectState& state, const config::LightInfo& light, LightFrame& frame, std::uint32_t nowMs);
void EffectFourColourBlink(EffectState& state, const config::LightInfo& light, LightFrame& frame,
                           std::uint32_t nowMs);
void EffectOff(LightFrame& frame);

inline Rgb ColourOf(const config::LightInfo& light) {
    return {light.red, light.green, light.blue};
}

}  // namespace norvane::devices::light
