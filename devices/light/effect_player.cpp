#include "devices/light/effect_player.h"

#include "devices/light/tables.h"

#include <algorithm>

namespace norvane::devices::light {

namespace {

constexpr int kWaveSpacing = 12;
constexpr int kBlinkColourOffset = 14;

std::uint8_t Advance(std::uint8_t phase, int limit) {
    return static_cast<std::uint8_t>(phase + 1 >= limit ? 0 : phase + 1);
}

Rgb StepColour(const config::LightEffectStep& step) {
    return {step.red, step.green, step.blue};
}

}  // namespace

void EffectPlayer::Pass(std::span<const config::LightEffectStep> steps, int lightSpeed, LightFrame& frame,
                        std::uint32_t nowMs) {
    if (stepIndex_ >= steps.size()) {
        stepIndex_ = 0;
    }
    if (steps.empty()) {
        frame.Clear();
        return;
    }
    if (!stepStarted_) {
        stepStarted_ = true;
        stepStartMs_ = nowMs;
    }
    const config::LightEffectStep& step = steps[stepIndex_];
    ++tick_;
    Render(step, lightSpeed, frame, nowMs);
    if (tick_ == 255) {
        tick_ = 0;
    }
    stepBegins_ = static_cast<std::int64_t>(nowMs - stepStartMs_) > static_cast<std::int64_t>(step.duration);
    if (stepBegins_) {
        stepIndex_ = (stepIndex_ + 1) % steps.size();
        stepStartMs_ = nowMs;
    }
}

std::optional<std::uint32_t> EffectPlayer::NextChangeMs(std::span<const config::LightEffectStep> steps,
                                                        int lightSpeed, std::uint32_t lastPassMs,
                                                        std::uint32_t passMs) const {
    if (steps.empty()) {
        return std::nullopt;
    }
    passMs = std::max<std::uint32_t>(passMs, 1);
    if (!stepStarted_ || stepBegins_ || stepIndex_ >= steps.size()) {
        return lastPassMs + passMs;
    }
    // Passes from the last one until the first at or after `ms` from it (at least one).
    auto passesUntil = [&](std::int64_t ms) { return std::max<std::int64_t>(1, (ms + passMs - 1) / passMs); };
    const config::LightEffectStep& step = steps[stepIndex_];
    // The pass after the one that ends the step renders the next step.
    const auto sinceStart = static_cast<std::int64_t>(lastPassMs - stepStartMs_);
    std::int64_t passes = passesUntil(static_cast<std::int64_t>(step.duration) + 1 - sinceStart) + 1;
    auto byTicks = [&](std::uint8_t interval) {
        passes = std::min<std::int64_t>(passes, interval > tick_ ? interval - tick_ : 1);
    };
    switch (step.effectCode) {
        case 0:
        case 4:
            byTicks(Interval(step.speed));
            break;
        case 5:
            byTicks(FastInterval(step.speed));
            break;
        case 2: {
            const auto sinceToggle = static_cast<std::int64_t>(lastPassMs - lastBlinkMs_);
            const std::int64_t interval = std::int64_t{kBlinkUnitMs} * Interval(lightSpeed);
            passes = std::min(passes, passesUntil(interval - sinceToggle));
            break;
        }
        default:
            // Codes 1 and 3 show the same frame until the step ends.
            break;
    }
    constexpr std::int64_t kFarthest = std::int64_t{1} << 30;
    return lastPassMs + static_cast<std::uint32_t>(std::min(passes * passMs, kFarthest));
}

void EffectPlayer::Render(const config::LightEffectStep& step, int lightSpeed, LightFrame& frame,
                          std::uint32_t nowMs) {
    const std::uint8_t level = BrightnessLevel(step.brightness);
    const bool multi = step.multiColor != 0;
    const int ledCount = static_cast<int>(frame.Size());
    switch (step.effectCode) {
        case 0:
            if (tick_ >= Interval(step.speed)) {
                phase_ = Advance(phase_, 128);
                tick_ = 0;
            }
            frame.Fill(
                LedColor::Of(multi ? kColourTable[0] : StepColour(step), Scale(Breathing(phase_), level)));
            break;
        case 1:
            if (tick_ >= Interval(step.speed)) {
                phase_ = Advance(phase_, 9);
                tick_ = 0;
            }
            frame.Fill(LedColor::Of(StepColour(step), level));
            break;
        case 2:
            phase_ = Advance(phase_, 128);
            if (tick_ >= Interval(step.speed)) {
                tick_ = 0;
            }
            if (nowMs - lastBlinkMs_ >= kBlinkUnitMs * Interval(lightSpeed)) {
                blinkFlag_ = blinkFlag_ != 0 ? 0 : 1;
                lastBlinkMs_ = nowMs;
                blinkColour_ = static_cast<std::uint8_t>(phase_ + kBlinkColourOffset);
            }
            if (blinkFlag_ == 0) {
                frame.Clear();
            } else {
                frame.Fill(LedColor::Of(multi ? Wheel(blinkColour_) : StepColour(step), level));
            }
            break;
        case 4: {
            if (tick_ >= Interval(step.speed)) {
                phase_ = Advance(phase_, static_cast<int>(kWheelSize));
                tick_ = 0;
            }
            const int d = step.direction == 0 ? phase_ + 1 : std::min(192 - phase_, 191);
            for (int i = 0; i < ledCount; ++i) {
                const auto at = static_cast<unsigned>(d + kWaveSpacing * (i + 1));
                frame.Set(i, multi ? LedColor::Of(Wheel(static_cast<unsigned>(d + kWaveSpacing * i)), level)
                                   : LedColor::Of(StepColour(step), Scale(WaveAt(at), level)));
            }
            break;
        }
        case 5:
            if (tick_ >= FastInterval(step.speed)) {
                phase_ = Advance(phase_, static_cast<int>(kWheelSize));
                tick_ = 0;
            }
            frame.Fill(LedColor::Of(Wheel(phase_), level));
            break;
        default:
            // Code 3 and unknown codes leave the frame as it is.
            break;
    }
}

}  // namespace norvane::devices::light
