#include "devices/light/light_list_layers.h"

#include "devices/light/tables.h"

#include <algorithm>

namespace norvane::devices::light {

namespace {

constexpr std::uint8_t kCodeBreathing = 0;
constexpr std::uint8_t kCodeSteady = 1;
constexpr std::uint8_t kCodeBlink = 2;
constexpr std::uint8_t kCodeCycle = 3;
constexpr std::uint8_t kCodeOff = 4;
constexpr int kBlinkColourStep = 14;

std::size_t LayerCount(std::span<const config::LightListEntry> list, const LightFrame& frame) {
    return std::min({list.size(), frame.Size(), kMaxLeds});
}

Rgb EntryColour(const config::LightListEntry& entry) {
    return {entry.red, entry.green, entry.blue};
}

int Led(std::size_t index) {
    return static_cast<int>(index);
}

}  // namespace

void LightListLayers::Reset(std::span<const config::LightListEntry> list) {
    const std::size_t count = std::min(list.size(), kMaxLeds);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& entry = list[i];
        phase_[i] = 0;
        colourIndex_[i] = 0;
        blinkIntervalMs_[i] = kBlinkUnitMs * Interval(entry.speed);
        blinkFlag_[i] = 0;
        lastBlinkMs_[i] = 0;
        stepCounter_[i] = 0;
        stepThreshold_[i] = Interval(entry.speed);
    }
}

bool LightListLayers::Animated(std::span<const config::LightListEntry> list) {
    return std::any_of(list.begin(), list.end(), [](const config::LightListEntry& entry) {
        return entry.effectCode == kCodeBlink ||
               (entry.present != 0 && (entry.effectCode == kCodeBreathing || entry.effectCode == kCodeCycle));
    });
}

std::optional<std::uint32_t> LightListLayers::NextChangeMs(std::span<const config::LightListEntry> list,
                                                           std::uint32_t lastPassMs,
                                                           std::uint32_t passMs) const {
    passMs = std::max<std::uint32_t>(passMs, 1);
    const std::size_t count = std::min(list.size(), kMaxLeds);
    std::optional<std::int64_t> passes;
    auto within = [&](std::int64_t n) {
        const std::int64_t k = std::max<std::int64_t>(n, 1);
        passes = passes ? std::min(*passes, k) : k;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const auto& entry = list[i];
        const bool present = entry.present != 0;
        if (entry.effectCode == kCodeBreathing && present) {
            within(1);
        }
        if (entry.effectCode == kCodeCycle && present) {
            within(stepThreshold_[i] > stepCounter_[i] ? stepThreshold_[i] - stepCounter_[i] : 1);
        }
        // A blink toggle shows on a blinking LED and moves the colour of a cycling one.
        if (entry.effectCode == kCodeBlink || (entry.effectCode == kCodeCycle && present)) {
            const auto since = static_cast<std::int64_t>(lastPassMs - lastBlinkMs_[i]);
            const std::int64_t ms = static_cast<std::int64_t>(blinkIntervalMs_[i]) - since;
            within((ms + passMs - 1) / passMs);
        }
    }
    if (!passes) {
        return std::nullopt;
    }
    return lastPassMs + static_cast<std::uint32_t>(*passes * passMs);
}

void LightListLayers::Breathe(const config::LightListEntry& entry, std::size_t led, LightFrame& frame) {
    phase_[led] = static_cast<std::uint8_t>(phase_[led] + entry.speed + 4);
    if (phase_[led] >= 128) {
        phase_[led] = 0;
        ++colourIndex_[led];
        if (colourIndex_[led] > 192) {
            colourIndex_[led] = 191;
        }
    }
    const Rgb colour = entry.multiColor != 0 ? kColourTable[colourIndex_[led]] : EntryColour(entry);
    frame.Set(Led(led),
              LedColor::Of(colour, Scale(Breathing(phase_[led]), BrightnessLevel(entry.brightness))));
}

void LightListLayers::Cycle(const config::LightListEntry& entry, std::size_t led, LightFrame& frame) {
    if (++stepCounter_[led] >= stepThreshold_[led]) {
        stepCounter_[led] = 0;
        colourIndex_[led] =
            static_cast<std::uint8_t>(colourIndex_[led] + 1 > 191 ? 0 : colourIndex_[led] + 1);
    }
    frame.Set(Led(led), LedColor::Of(Wheel(colourIndex_[led]), BrightnessLevel(entry.brightness)));
}

void LightListLayers::Blink(std::span<const config::LightListEntry> list, std::size_t count,
                            LightFrame& frame, std::uint32_t nowMs) {
    for (std::size_t i = 0; i < count; ++i) {
        if (nowMs - lastBlinkMs_[i] >= blinkIntervalMs_[i]) {
            blinkFlag_[i] = blinkFlag_[i] != 0 ? 0 : 1;
            lastBlinkMs_[i] = nowMs;
            const int next = colourIndex_[i] + kBlinkColourStep;
            colourIndex_[i] = static_cast<std::uint8_t>(next > 191 ? 0 : next);
        }
        const auto& entry = list[i];
        if (entry.effectCode != kCodeBlink) {
            continue;
        }
        if (blinkFlag_[i] == 0) {
            frame.Set(Led(i), {});
            continue;
        }
        const Rgb colour = entry.multiColor != 0 ? Wheel(colourIndex_[i]) : EntryColour(entry);
        frame.Set(Led(i), LedColor::Of(colour, BrightnessLevel(entry.brightness)));
    }
}

void LightListLayers::Apply(std::span<const config::LightListEntry> list, LayerOrder order, LightFrame& frame,
                            std::uint32_t nowMs) {
    const std::size_t count = LayerCount(list, frame);
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i].effectCode == kCodeBreathing && list[i].present != 0) {
            Breathe(list[i], i, frame);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i].effectCode == kCodeSteady) {
            frame.Set(Led(i), LedColor::Of(EntryColour(list[i]), BrightnessLevel(list[i].brightness)));
        }
    }
    auto cycle = [&] {
        for (std::size_t i = 0; i < count; ++i) {
            if (list[i].effectCode == kCodeCycle && list[i].present != 0) {
                Cycle(list[i], i, frame);
            }
        }
    };
    if (order == LayerOrder::Keyboard) {
        cycle();
        Blink(list, count, frame, nowMs);
    } else {
        Blink(list, count, frame, nowMs);
        cycle();
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i].effectCode == kCodeOff) {
            frame.Set(Led(i), {});
        }
    }
}

}  // namespace norvane::devices::light
