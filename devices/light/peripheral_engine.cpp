#include "devices/light/peripheral_engine.h"

#include "devices/light/peripheral_geometry.h"
#include "devices/light/tables.h"

#include <algorithm>

namespace norvane::devices::light {

namespace {

// How the wave step of a class spaces its LEDs.
struct WaveShape {
    int multiSpacing;  // colour table [phase + 1 + spacing × n]
    int singleDelta;   // single colour: the phase moves over 96 by this much
    int singleOffset;  // wave table [phase + offset + spacing × n]
    int singleSpacing;
};

constexpr std::array<WaveShape, 3> kWaveShapes = {{
    {7, 1, 1, 7},    // mouse, per row
    {7, 1, 1, 7},    // mousepad, per LED
    {16, 3, 0, 10},  // headset, per LED
}};

constexpr int kWaveSteps = 96;
constexpr int kRingColourStep = 12;
constexpr int kReactiveStep = 15;
constexpr std::size_t kPairRingSize = 8;

// After a long pause (channel closed, device in sync) a pass replays at most this many
// counts; the thread never sleeps longer than that while something moves.
constexpr std::uint32_t kMaxCatchUpCounts = 256;

const WaveShape& ShapeOf(PeripheralClass cls) {
    return kWaveShapes[static_cast<std::size_t>(cls)];
}

Rgb RgbOf(LedColor entry) {
    return {entry.red, entry.green, entry.blue};
}

}  // namespace

PeripheralLightEngine::PeripheralLightEngine(PeripheralClass cls, int ledCount, RandomSource random)
    : class_(cls),
      ledCount_(std::clamp(ledCount, 0, static_cast<int>(kMaxLeds))),
      random_(std::move(random)) {
    Seed();
}

bool PeripheralLightEngine::PlaysCustom(PeripheralClass cls, int mode) {
    if (cls == PeripheralClass::Mouse) {
        return mode < 0 || mode >= 10;
    }
    return mode < 0 || mode == 5 || mode >= 9;
}

std::uint8_t PeripheralLightEngine::ReactiveState(int led) const {
    return led >= 0 && led < ledCount_ ? reactiveState_[static_cast<std::size_t>(led)] : 0;
}

std::uint8_t PeripheralLightEngine::ReactiveColour(int led) const {
    return led >= 0 && led < ledCount_ ? reactiveColour_[static_cast<std::size_t>(led)] : 0;
}

// --- inputs ---

// The pad and the headset seed their ring like the mouse: nothing else sets an entry,
// so without the seed their ring modes would show every LED dark.
void PeripheralLightEngine::Seed() {
    ClearLedEffects(reactive_);
    reactive_.ring[0] = 1;
}

void PeripheralLightEngine::SetMode(int mode, int speed) {
    if (mode != mode_) {
        Seed();
        renderPending_ = true;
    }
    if (speed != speed_) {
        renderPending_ = true;
    }
    mode_ = mode;
    speed_ = speed;
}

void PeripheralLightEngine::SetLightState(const config::LightInfo& light) {
    if (!(light == light_)) {
        light_ = light;
        renderPending_ = true;
    }
}

void PeripheralLightEngine::SetLightList(std::span<const config::LightListEntry> list) {
    lightList_.assign(list.begin(), list.end());
    layers_.Reset(lightList_);
    listAnimated_ = LightListLayers::Animated(LaidList());
    if (class_ != PeripheralClass::Mouse) {
        renderPending_ = true;
    }
}

void PeripheralLightEngine::SetCustomEffect(std::span<const config::LightEffectStep> steps) {
    steps_.assign(steps.begin(), steps.end());
    player_.Restart();
    if (PlaysCustom(class_, mode_)) {
        renderPending_ = true;
    }
}

void PeripheralLightEngine::TriggerReactive() {
    if (class_ != PeripheralClass::Mouse || mode_ != 6) {
        return;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(ledCount_); ++i) {
        reactiveState_[i] = 1;
        reactive_.values[i] = 255;
        reactiveColour_[i] = static_cast<std::uint8_t>(random_() % kWheelSize);
    }
    renderPending_ = true;
}

// --- scheduling ---

std::uint32_t PeripheralLightEngine::Need() const {
    return std::max<std::uint32_t>(Interval(speed_), 1);
}

bool PeripheralLightEngine::CountsEachPass() const {
    return PlaysCustom(class_, mode_) || (LaysList() && listAnimated_);
}

bool PeripheralLightEngine::StillMode() const {
    const bool mouse = class_ == PeripheralClass::Mouse;
    if (mode_ == 3 || mode_ == (mouse ? 9 : 8)) {
        return true;
    }
    if (mouse && mode_ == 6) {
        const auto count = static_cast<std::size_t>(ledCount_);
        return std::all_of(reactiveState_.begin(), reactiveState_.begin() + count,
                           [](std::uint8_t state) { return state == 0; });
    }
    return false;
}

// Passes that show the same frame are slept through and run when the thread wakes, so
// it wakes before more of them pile up than one pass replays.
std::optional<std::uint32_t> PeripheralLightEngine::Due() const {
    std::optional<std::uint32_t> due;
    if (PlaysCustom(class_, mode_)) {
        due = player_.NextChangeMs(steps_, light_.speed, lastCountMs_, kPeripheralCountMs);
    } else if (!StillMode()) {
        const std::uint32_t need = Need();
        const std::uint32_t left = counter_ < need ? need - counter_ : 1;
        due = lastCountMs_ + left * kPeripheralCountMs;
    }
    if (LaysList() && listAnimated_) {
        const auto layers = layers_.NextChangeMs(LaidList(), lastCountMs_, kPeripheralCountMs);
        if (layers && (!due || *layers - lastCountMs_ < *due - lastCountMs_)) {
            due = layers;
        }
    }
    if (due && CountsEachPass()) {
        const std::uint32_t latest = lastCountMs_ + kMaxCatchUpCounts * kPeripheralCountMs;
        if (*due - lastCountMs_ > latest - lastCountMs_) {
            due = latest;
        }
    }
    return due;
}

void PeripheralLightEngine::CountOnce(std::uint32_t atMs, LightFrame& frame) {
    ++counter_;
    if (PlaysCustom(class_, mode_)) {
        player_.Pass(steps_, light_.speed, frame, atMs);
    } else if (counter_ >= Interval(speed_)) {
        Step(atMs, frame);
        counter_ = 0;
    }
    if (LaysList()) {
        layers_.Apply(LaidList(), LayerOrder::Peripheral, frame, atMs);
    }
}

bool PeripheralLightEngine::Advance(std::uint32_t nowMs, LightFrame& frame) {
    std::array<std::uint32_t, kMaxLeds> before{};
    const std::size_t watched = std::min(frame.Size(), kMaxLeds);
    for (std::size_t i = 0; i < watched; ++i) {
        before[i] = frame.Get(static_cast<int>(i)).Pack();
    }

    // A changed input renders at once and starts the count again from here.
    if (renderPending_ || !clockStarted_) {
        renderPending_ = false;
        clockStarted_ = true;
        lastCountMs_ = nowMs;
        counter_ = 0;
        Step(nowMs, frame);
        if (LaysList()) {
            layers_.Apply(LaidList(), LayerOrder::Peripheral, frame, nowMs);
        }
    }
    lastPassMs_ = nowMs;
    const std::uint32_t counts = (nowMs - lastCountMs_) / kPeripheralCountMs;
    const std::uint32_t replay = std::min(counts, kMaxCatchUpCounts);
    const std::uint32_t firstMs = lastCountMs_ + (counts - replay) * kPeripheralCountMs;
    lastCountMs_ += counts * kPeripheralCountMs;

    if (CountsEachPass()) {
        for (std::uint32_t n = 1; n <= replay; ++n) {
            CountOnce(firstMs + n * kPeripheralCountMs, frame);
        }
    } else if (replay > 0) {
        // Nothing changes between steps: run the steps that fell due, each at its own count.
        const std::uint32_t need = Need();
        const std::uint32_t total = counter_ + replay;
        const std::uint32_t steps = total / need;
        for (std::uint32_t s = 0; s < steps; ++s) {
            const std::uint32_t count = (s + 1) * need - counter_;
            Step(firstMs + count * kPeripheralCountMs, frame);
        }
        counter_ = total % need;
        if (steps > 0 && LaysList()) {
            layers_.Apply(LaidList(), LayerOrder::Peripheral, frame, nowMs);
        }
    }
    if (!Due()) {
        // The count starts again with the next input that changes the frame.
        clockStarted_ = false;
    }

    for (std::size_t i = 0; i < watched; ++i) {
        if (before[i] != frame.Get(static_cast<int>(i)).Pack()) {
            return true;
        }
    }
    return false;
}

std::optional<std::uint32_t> PeripheralLightEngine::NextDueMs() const {
    if (renderPending_) {
        return lastPassMs_;
    }
    return Due();
}

// --- steps ---

void PeripheralLightEngine::Step(std::uint32_t nowMs, LightFrame& frame) {
    if (PlaysCustom(class_, mode_)) {
        player_.Pass(steps_, light_.speed, frame, nowMs);
        return;
    }
    const bool mouse = class_ == PeripheralClass::Mouse;
    switch (mode_) {
        case 0:
            WaveStep(frame);
            return;
        case 1:
            EffectSpectrum(effect_, light_, frame);
            return;
        case 2:
            EffectBreathing(effect_, light_, frame);
            return;
        case 3:
            EffectStatic(light_, frame);
            return;
        case 4:
            EffectBlink(effect_, light_, frame, nowMs);
            return;
        case 5:
            MouseRows(frame);  // the pad and the headset play custom in mode 5
            return;
        case 6:
            if (mouse) {
                MouseReactive(frame);
            } else {
                RingOverLeds(frame);
            }
            return;
        case 7:
            if (mouse) {
                EffectFourColourBreathing(effect_, light_, frame);
            } else {
                RingOverPairs(frame);
            }
            return;
        case 8:
            if (mouse) {
                EffectFourColourBlink(effect_, light_, frame, nowMs);
            } else {
                EffectOff(frame);
            }
            return;
        default:
            EffectOff(frame);  // mouse mode 9
            return;
    }
}

void PeripheralLightEngine::Put(LightFrame& frame, int led, LedColor colour) const {
    if (led >= 0 && led < ledCount_) {
        frame.Set(led, colour);
    }
}

void PeripheralLightEngine::WaveStep(LightFrame& frame) {
    const WaveShape& shape = ShapeOf(class_);
    const bool forward = light_.direction != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    const bool multi = light_.multiColor != 0;
    if (multi) {
        effect_.phase = StepPhase(forward, static_cast<int>(kWheelSize), effect_.phase, 1);
    } else {
        effect_.phase = StepPhase(forward, kWaveSteps, effect_.phase, shape.singleDelta);
    }
    const unsigned phase = effect_.phase;
    auto shade = [&](unsigned n) {
        if (multi) {
            return LedColor::Of(Wheel(phase + 1 + static_cast<unsigned>(shape.multiSpacing) * n), level);
        }
        const unsigned at = phase + static_cast<unsigned>(shape.singleOffset) +
                            static_cast<unsigned>(shape.singleSpacing) * n;
        return LedColor::Of(ColourOf(light_), Scale(WaveAt(at), level));
    };
    if (class_ == PeripheralClass::Mouse) {
        for (std::size_t r = 0; r < kMouseRowCount; ++r) {
            const LedColor entry = shade(static_cast<unsigned>(r));
            for (std::uint8_t led : kMouseRows[r]) {
                if (led != kNoLed) {
                    Put(frame, led, entry);
                }
            }
        }
        return;
    }
    for (int i = 0; i < ledCount_; ++i) {
        Put(frame, i, shade(static_cast<unsigned>(i)));
    }
}

// Multi-colour ring steps move the phase by 12 per LED (or row, or pair) and take the
// wheel there; while the ring's head is lit the LED keeps the colour it has.
Rgb PeripheralLightEngine::RingColour(const LightFrame& frame, int keepLed, bool headLit) {
    if (light_.multiColor == 0) {
        return ColourOf(light_);
    }
    effect_.phase = static_cast<std::uint8_t>(effect_.phase + kRingColourStep);
    return headLit ? RgbOf(frame.Get(keepLed)) : Wheel(effect_.phase);
}

void PeripheralLightEngine::MouseRows(LightFrame& frame) {
    const bool forward = light_.direction != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    auto& v = reactive_.values;
    effect_.phase = StepPhase(forward, static_cast<int>(kWheelSize), effect_.phase, 1);
    TriggerLedValues(reactive_);
    RotateRing(reactive_, light_.direction);
    for (std::size_t r = 0; r < kMouseRowCount; ++r) {
        DecayLedValue(reactive_, static_cast<int>(r), mode_);
        const bool headLit = (forward ? v[0] : v[kMouseRowCount - 1]) != 0;
        const Rgb colour = RingColour(frame, kMouseRows[r][0], headLit);
        const LedColor entry = LedColor::Of(colour, Scale(v[r], level));
        for (std::uint8_t led : kMouseRows[r]) {
            if (led != kNoLed) {
                Put(frame, led, entry);
            }
        }
    }
}

// A flashed LED rises to 255, then falls back to 0 and rests (idle) until the next trigger.
void PeripheralLightEngine::MouseReactive(LightFrame& frame) {
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    for (std::size_t i = 0; i < static_cast<std::size_t>(ledCount_); ++i) {
        auto& value = reactive_.values[i];
        auto& state = reactiveState_[i];
        if (state == 1) {
            value = static_cast<std::uint8_t>(std::min(255, value + kReactiveStep));
            if (value == 255) {
                state = 2;
            }
        } else if (state == 2) {
            value = static_cast<std::uint8_t>(std::max(0, value - kReactiveStep));
            if (value == 0) {
                state = 0;
            }
        }
        const Rgb colour = light_.multiColor != 0 ? kColourTable[reactiveColour_[i]] : ColourOf(light_);
        Put(frame, static_cast<int>(i), LedColor::Of(colour, Scale(value, level)));
    }
}

void PeripheralLightEngine::RingOverLeds(LightFrame& frame) {
    const bool forward = light_.direction != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    auto& v = reactive_.values;
    const auto count = static_cast<std::size_t>(ledCount_);
    effect_.phase = StepPhase(forward, static_cast<int>(kWheelSize), effect_.phase, 1);
    if (ringCounter_ >= 2) {
        ringCounter_ = 0;
        for (std::size_t i = 0; i < std::min(count, kRingSize); ++i) {
            if (reactive_.ring[i] != 0) {
                v[i] = 255;
            }
        }
        RotateRing(reactive_, light_.direction);
    }
    ++ringCounter_;
    if (count == 0) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        DecayLedValue(reactive_, static_cast<int>(i), mode_);
        const bool headLit = (forward ? v[0] : v[count - 1]) != 0;
        const Rgb colour = RingColour(frame, static_cast<int>(i), headLit);
        Put(frame, static_cast<int>(i), LedColor::Of(colour, Scale(v[i], level)));
    }
}

void PeripheralLightEngine::RingOverPairs(LightFrame& frame) {
    const bool forward = light_.direction != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    auto& v = reactive_.values;
    auto& ring = reactive_.ring;
    effect_.phase = StepPhase(forward, static_cast<int>(kWheelSize), effect_.phase, 1);
    if (ringCounter_ >= 2) {
        ringCounter_ = 0;
        for (std::size_t p = 0; p < kPairCount; ++p) {
            if (ring[p] != 0) {
                v[p] = 255;
            }
        }
        // Against the direction: toward the start when the direction is not 0.
        const auto first = ring.begin();
        const auto end = first + kPairRingSize;
        if (forward) {
            std::rotate(first, first + 1, end);
        } else {
            std::rotate(first, end - 1, end);
        }
    }
    ++ringCounter_;
    for (std::size_t p = 0; p < kPairCount; ++p) {
        DecayLedValue(reactive_, static_cast<int>(p), mode_);
        const bool headLit = (forward ? v[0] : v[kPairCount - 1]) != 0;
        const Rgb colour = RingColour(frame, kLedPairs[p][0], headLit);
        const LedColor entry = LedColor::Of(colour, Scale(v[p], level));
        for (std::uint8_t led : kLedPairs[p]) {
            Put(frame, led, entry);
        }
    }
}

}  // namespace norvane::devices::light
