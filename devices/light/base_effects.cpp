#include "devices/light/base_effects.h"

namespace norvane::devices::light {

namespace {

constexpr int kBreathingSteps = 128;
constexpr int kSecondPhaseStep = 16;

bool Forward(const config::LightInfo& light) {
    return light.direction != 0;
}

// True when the blink interval has passed: toggles the flag and notes the time.
bool BlinkToggle(EffectState& state, const config::LightInfo& light, std::uint32_t nowMs) {
    if (nowMs - state.lastBlinkMs < BlinkIntervalMs(light.speed)) {
        return false;
    }
    state.blinkFlag = state.blinkFlag != 0 ? 0 : 1;
    state.lastBlinkMs = nowMs;
    return true;
}

}  // namespace

void EffectBreathing(EffectState& state, const config::LightInfo& light, LightFrame& frame) {
    state.phase = StepPhase(Forward(light), kBreathingSteps, state.phase, 1);
    if (state.phase == 0) {
        const int next = state.secondPhase + kSecondPhaseStep;
        state.secondPhase = static_cast<std::uint8_t>(next >= static_cast<int>(kWheelSize) ? 0 : next);
    }
    const Rgb colour = light.multiColor != 0 ? Wheel(state.secondPhase) : ColourOf(light);
    frame.Fill(LedColor::Of(colour, Scale(Breathing(state.phase), BrightnessLevel(light.brightness))));
}

void EffectFourColourBreathing(EffectState& state, const config::LightInfo& light, LightFrame& frame) {
    state.phase = StepPhase(Forward(light), kBreathingSteps, state.phase, 1);
    if (state.phase == 0) {
        state.secondPhase = static_cast<std::uint8_t>((state.secondPhase + 1) % kFourColours.size());
    }
    frame.Fill(LedColor::Of(FourColour(state.secondPhase),
                            Scale(Breathing(state.phase), BrightnessLevel(light.brightness))));
}

void EffectStatic(const config::LightInfo& light, LightFrame& frame) {
    frame.Fill(LedColor::Of(ColourOf(light), BrightnessLevel(light.brightness)));
}

void EffectSpectrum(EffectState& state, const config::LightInfo& light, LightFrame& frame) {
    state.phase = StepPhase(Forward(light), kWheelSize, state.phase, 1);
    frame.Fill(LedColor::Of(Wheel(state.phase), BrightnessLevel(light.brightness)));
}

void EffectBlink(EffectState& state, const config::LightInfo& light, LightFrame& frame, std::uint32_t nowMs) {
    if (BlinkToggle(state, light, nowMs)) {
        const int next = state.phase + kSecondPhaseStep;
        state.phase = static_cast<std::uint8_t>(next >= static_cast<int>(kWheelSize) ? 0 : next);
    }
    if (state.blinkFlag == 0) {
        frame.Clear();
        return;
    }
    const Rgb colour = light.multiColor != 0 ? Wheel(state.phase) : ColourOf(light);
    frame.Fill(LedColor::Of(colour, BrightnessLevel(light.brightness)));
}

void EffectFourColourBlink(EffectState& state, const config::LightInfo& light, LightFrame& frame,
                           std::uint32_t nowMs) {
    if (BlinkToggle(state, light, nowMs)) {
        state.phase = static_cast<std::uint8_t>((state.phase + 1) % kFourColours.size());
    }
    if (state.blinkFlag == 0) {
        frame.Clear();
        return;
    }
    frame.Fill(LedColor::Of(FourColour(state.phase), BrightnessLevel(light.brightness)));
}

void EffectOff(LightFrame& frame) {
    frame.Clear();
}

}  // namespace norvane::devices::light
