#include "shell/device_list/sync_effects.h"

#include "devices/light/tables.h"

namespace norvane::shell {
namespace {

namespace light = devices::light;

constexpr unsigned kCurveLength = light::kBreathingCurve.size();
constexpr unsigned kWheelLength = light::kWheelSize;
constexpr unsigned kBreathingWheelStep = 16;
constexpr unsigned kFlashWheelStep = 14;

unsigned AdvanceWheel(unsigned position, unsigned step) {
    position += step;
    return position >= kWheelLength ? 0 : position;
}

light::Rgb SyncColour(const SyncSettings& s) {
    return light::Rgb{s.red, s.green, s.blue};
}

}  // namespace

std::uint8_t SyncThreshold(int speed) {
    return kSyncStepThresholds[light::ClampIndex(speed, kSyncStepThresholds.size())];
}

light::LedColor SyncEffects::Step(const SyncSettings& s, std::uint32_t nowMs) {
    switch (s.effect) {
        case SyncEffect::Breathing:
            return Breathing(s);
        case SyncEffect::Steady:
            return light::LedColor::Of(SyncColour(s), light::BrightnessLevel(s.brightness));
        case SyncEffect::Flash:
            return Flash(s, nowMs);
        case SyncEffect::ColourCycle:
            cycleWheel_ = AdvanceWheel(cycleWheel_, 1);
            return light::LedColor::Of(light::Wheel(cycleWheel_), light::BrightnessLevel(s.brightness));
        case SyncEffect::Off:
        default:
            return {};
    }
}

light::LedColor SyncEffects::Breathing(const SyncSettings& s) {
    if (s.direction != 0) {
        breathingPosition_ = (breathingPosition_ + 1) % kCurveLength;
    } else {
        breathingPosition_ = breathingPosition_ == 0 ? kCurveLength - 1 : breathingPosition_ - 1;
    }
    if (s.colourful != 0 && breathingPosition_ <= 1) {
        breathingWheel_ = AdvanceWheel(breathingWheel_, kBreathingWheelStep);
    }
    const light::Rgb colour = s.colourful != 0 ? light::Wheel(breathingWheel_) : SyncColour(s);
    const std::uint8_t level =
        light::Scale(light::Breathing(breathingPosition_), light::BrightnessLevel(s.brightness));
    return light::LedColor::Of(colour, level);
}

light::LedColor SyncEffects::Flash(const SyncSettings& s, std::uint32_t nowMs) {
    const std::uint32_t interval = SyncThreshold(s.speed) * kFlashMsPerThreshold;
    if (nowMs - lastToggleMs_ >= interval) {
        flashOn_ = !flashOn_;
        lastToggleMs_ = nowMs;
        flashWheel_ = AdvanceWheel(flashWheel_, kFlashWheelStep);
    }
    if (!flashOn_) {
        return {};
    }
    const light::Rgb colour = s.colourful != 0 ? light::Wheel(flashWheel_) : SyncColour(s);
    return light::LedColor::Of(colour, light::BrightnessLevel(s.brightness));
}

}  // namespace norvane::shell
