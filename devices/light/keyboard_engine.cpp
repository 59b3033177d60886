#include "devices/light/keyboard_engine.h"

#include "devices/light/keyboard_geometry.h"
#include "devices/light/tables.h"

#include <algorithm>
#include <random>

namespace norvane::devices::light {

namespace {

constexpr std::size_t kLeds = kKeyboardLeds;
constexpr int kRingWheelStart = 138;
constexpr int kRingWheelStep = 12;
constexpr std::uint8_t kFillValue = 254;
constexpr int kShowRippleEnd = 124;

template <typename Fn>
void ForKeyOrder(Fn&& fn) {
    for (std::size_t n = 0; n < kKeyOrderSize; ++n) {
        if (kKeyOrder[n] < kNoKey) {
            fn(n, static_cast<std::size_t>(kKeyOrder[n]));
        }
    }
}

template <typename Fn>
void ForColumn(std::size_t column, Fn&& fn) {
    for (std::uint8_t key : kKeyMatrix[column]) {
        if (key < kNoKey) {
            fn(static_cast<std::size_t>(key));
        }
    }
}

int Led(std::size_t index) {
    return static_cast<int>(index);
}

std::uint8_t WheelSum(unsigned a, unsigned b) {
    return static_cast<std::uint8_t>((a + b) % kWheelSize);
}

}  // namespace

RandomSource DefaultRandomSource() {
    return [engine = std::minstd_rand(std::random_device{}())]() mutable {
        return static_cast<std::uint32_t>(engine());
    };
}

KeyboardLightEngine::KeyboardLightEngine(RandomSource random) : random_(std::move(random)) {
}

void KeyboardLightEngine::SetMode(int mode, int speed) {
    if (mode != mode_ || mode == 19) {
        restartPending_ = true;
    }
    if (mode != mode_ || speed != speed_) {
        renderPending_ = true;
    }
    mode_ = mode;
    speed_ = speed;
}

void KeyboardLightEngine::SetLightState(const config::LightInfo& light) {
    if (!(light == light_)) {
        light_ = light;
        renderPending_ = true;
    }
}

void KeyboardLightEngine::SetAudioLightState(const config::AudioLightInfo& audio) {
    if (!(audio == audio_)) {
        audio_ = audio;
        renderPending_ = true;
    }
}

void KeyboardLightEngine::SetLightList(std::span<const config::LightListEntry> list) {
    lightList_.assign(list.begin(), list.end());
    layers_.Reset(lightList_);
    renderPending_ = true;
}

void KeyboardLightEngine::SetCustomEffect(std::span<const config::LightEffectStep> steps) {
    steps_.assign(steps.begin(), steps.end());
    player_.Restart();
    renderPending_ = true;
}

void KeyboardLightEngine::FeedAudioLevels(std::span<const std::int32_t> values) {
    outside_.fill(0);
    std::copy_n(values.begin(), std::min<std::size_t>(values.size(), kOutsideValues), outside_.begin());
    if (mode_ == 30) {
        renderPending_ = true;
    }
}

void KeyboardLightEngine::StartRipple(int key) {
    if (key < 0 || key >= kNoKey || kKeyCell[static_cast<std::size_t>(key)].column == kNoCell) {
        return;
    }
    const Cell cell = kKeyCell[static_cast<std::size_t>(key)];
    for (auto& mask : masks_) {
        mask[cell.column] = static_cast<std::uint8_t>(mask[cell.column] | 1U << (cell.row + 1U));
    }
}

void KeyboardLightEngine::SetKeyHit(int key, bool down) {
    if (key >= 0 && key < kKeyboardLeds) {
        hitFlags_[static_cast<std::size_t>(key)] = down ? 1 : 2;
    }
}

std::uint8_t KeyboardLightEngine::ColourIndex(int led) const {
    return led >= 0 && led < kKeyboardLeds ? colourIndex_[static_cast<std::size_t>(led)] : 0;
}

std::uint8_t KeyboardLightEngine::KeyPhase(int led) const {
    return led >= 0 && led < kKeyboardLeds ? keyPhase_[static_cast<std::size_t>(led)] : 0;
}

std::uint8_t KeyboardLightEngine::MaskColumn(MaskDirection direction, int column) const {
    if (column < 0 || column >= static_cast<int>(kMatrixColumns)) {
        return 0;
    }
    return masks_[static_cast<std::size_t>(direction)][static_cast<std::size_t>(column)];
}

bool KeyboardLightEngine::StandsStill(int mode) {
    return mode == 6 || mode == 17 || mode == 19 || mode == 28 || mode == 30;
}

// --- scheduling ---

bool KeyboardLightEngine::StepDue() const {
    std::uint32_t need = TickThreshold(mode_, speed_);
    if (mode_ == 12 || mode_ == 18) {
        need = std::max<std::uint32_t>(need, 1);
    } else if (mode_ == 29) {
        need = std::max<std::uint32_t>(need, 2);
    }
    return counter_ >= need;
}

bool KeyboardLightEngine::Advance(std::uint32_t nowMs, LightFrame& frame) {
    if (!clockStarted_) {
        clockStarted_ = true;
        lastCountMs_ = nowMs;
    }
    const std::uint32_t counts = (nowMs - lastCountMs_) / kCountPeriodMs;
    counter_ = std::min<std::uint32_t>(counter_ + counts, 255);
    lastCountMs_ += counts * kCountPeriodMs;
    lastPassMs_ = nowMs;

    if (restartPending_) {
        Restart(frame);
        renderPending_ = true;
    }
    bool stepped = false;
    if (!InModeTable(mode_)) {
        player_.Pass(steps_, light_.speed, frame, nowMs);
        stepped = true;
    } else if (renderPending_ || StepDue()) {
        RunStep(nowMs, frame);
        counter_ = 0;
        stepped = true;
    }
    renderPending_ = false;
    layers_.Apply(lightList_, LayerOrder::Keyboard, frame, nowMs);
    return stepped;
}

std::optional<std::uint32_t> KeyboardLightEngine::NextDueMs() const {
    if (restartPending_ || renderPending_) {
        return lastPassMs_;
    }
    if (!InModeTable(mode_) || LightListLayers::Animated(lightList_)) {
        return lastPassMs_ + 1;
    }
    if (StandsStill(mode_)) {
        return std::nullopt;
    }
    if (StepDue()) {
        return lastPassMs_ + 1;
    }
    std::uint32_t need = TickThreshold(mode_, speed_);
    need = std::max<std::uint32_t>(need, mode_ == 29 ? 2 : 1);
    return lastCountMs_ + (need - counter_) * kCountPeriodMs;
}

// --- restart ---

void KeyboardLightEngine::Restart(LightFrame& frame) {
    restartPending_ = false;
    effect_.phase = 0;
    waveCounter_ = 0;
    colourIndex_.fill(0);
    keyPhase_.fill(0);
    hitFlags_.fill(0);
    reactive_.values.fill(0);
    for (auto& mask : masks_) {
        mask.fill(0);
    }
    spectrum_.fill(0);
    showStage_ = 0;
    showStep_ = 0;
    musicFrames_ = 0;
    player_.Restart();
    if (mode_ != 19) {
        // Keys a mode does not paint stay dark instead of keeping the last mode's colours.
        frame.Clear();
    }

    switch (mode_) {
        case 13:
            for (auto& mask : masks_) {
                mask[9] |= 0x40;
            }
            return;
        case 15:
            for (std::size_t c = 0; c < kMatrixColumns; ++c) {
                for (std::size_t r = 1; r < kMaskRows; ++r) {
                    const std::uint8_t key = kSecondMatrix[c][r];
                    if (key != kNoCell) {
                        reactive_.values[key] = kPulseStart[(r - 1) + kMatrixRows * c];
                        colourIndex_[key] = static_cast<std::uint8_t>(7 * c);
                    }
                }
            }
            return;
        case 16:
            for (auto& mask : masks_) {
                mask[1] |= 0x01;
            }
            return;
        case 22:
            for (std::size_t c = 0; c < kMatrixColumns; ++c) {
                auto s = static_cast<std::uint8_t>(192 - 8 * c);
                for (std::size_t r = 0; r < kMaskRows; ++r) {
                    const auto next = static_cast<std::uint8_t>(s - 35);
                    s = next >= 192 ? static_cast<std::uint8_t>(s - 98) : next;
                    const std::uint8_t key = kSecondMatrix[c][r];
                    if (key != kNoCell) {
                        keyPhase_[key] = s;
                        colourIndex_[key] = static_cast<std::uint8_t>(7 * c);
                    }
                }
            }
            return;
        default: {
            std::uint8_t sum = 0;
            for (auto& h : colourIndex_) {
                h = sum;
                sum = static_cast<std::uint8_t>(sum + (sum >= 160 && sum <= 222 ? 97 : 33));
            }
            return;
        }
    }
}

// --- helpers ---

std::uint8_t KeyboardLightEngine::RandomWheel() {
    return static_cast<std::uint8_t>(random_() % kWheelSize);
}

LedColor KeyboardLightEngine::Shade(std::size_t led, unsigned value) const {
    const Rgb colour = light_.multiColor != 0 ? Wheel(colourIndex_[led]) : ColourOf(light_);
    return LedColor::Of(colour, Scale(value, BrightnessLevel(light_.brightness)));
}

void KeyboardLightEngine::DecayAndShade(std::size_t led, LightFrame& frame) {
    DecayLedValue(reactive_, Led(led), mode_);
    frame.Set(Led(led), Shade(led, reactive_.values[led]));
}

void KeyboardLightEngine::AdvanceMasks() {
    auto& right = masks_[static_cast<std::size_t>(MaskDirection::Right)];
    auto& left = masks_[static_cast<std::size_t>(MaskDirection::Left)];
    std::copy_backward(right.begin(), right.end() - 1, right.end());
    right[0] = 0;
    std::copy(left.begin() + 1, left.end(), left.begin());
    left.back() = 0;
    for (auto& column : masks_[static_cast<std::size_t>(MaskDirection::Up)]) {
        column = static_cast<std::uint8_t>(column >> 1);
    }
    for (auto& column : masks_[static_cast<std::size_t>(MaskDirection::Down)]) {
        column = static_cast<std::uint8_t>((column << 1) & 0x7F);
    }
}

void KeyboardLightEngine::LightMasks() {
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        const unsigned bits = masks_[0][c] | masks_[1][c] | masks_[2][c] | masks_[3][c];
        for (std::size_t r = 0; r < kMaskRows; ++r) {
            const std::uint8_t key = kSecondMatrix[c][r];
            if ((bits & (1U << r)) == 0 || key == kNoCell) {
                continue;
            }
            reactive_.values[key] = 255;
            if (light_.multiColor != 0) {
                colourIndex_[key] = RandomWheel();
            }
        }
    }
}

bool KeyboardLightEngine::MasksEmpty() const {
    return std::all_of(masks_.begin(), masks_.end(), [](const auto& mask) {
        return std::all_of(mask.begin(), mask.end(), [](std::uint8_t column) { return column == 0; });
    });
}

// A wave that reaches the given edge bit of the column on its own is sent out again.
void KeyboardLightEngine::Reflect(int column, std::uint8_t bit) {
    const auto c = static_cast<std::size_t>(column);
    if ((masks_[0][c] | masks_[1][c] | masks_[2][c] | masks_[3][c]) == bit) {
        for (auto& mask : masks_) {
            mask[c] |= bit;
        }
    }
}

void KeyboardLightEngine::ColumnWave(LightFrame& frame, bool pulse) {
    const bool multi = light_.multiColor != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    effect_.phase = StepPhase(light_.direction != 0, multi ? 192 : 96, effect_.phase, 1);
    for (std::size_t c = 0; c < kMatrixColumns; ++c) {
        LedColor entry;
        if (multi) {
            const unsigned offset = pulse ? 2 * c : 1 + 7 * c;
            entry = LedColor::Of(Wheel(effect_.phase + offset), level);
        } else {
            const std::uint8_t curve =
                pulse ? PulseAt((effect_.phase + c) % 96) : WaveAt(effect_.phase + 1 + 7 * c);
            entry = LedColor::Of(ColourOf(light_), Scale(curve, level));
        }
        ForColumn(c, [&](std::size_t key) { frame.Set(Led(key), entry); });
    }
}

void KeyboardLightEngine::KeyWave(LightFrame& frame) {
    const bool multi = light_.multiColor != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    effect_.phase = StepPhase(light_.direction != 0, multi ? 192 : 96, effect_.phase, 1);
    ForKeyOrder([&](std::size_t n, std::size_t key) {
        const unsigned at = effect_.phase + 5 * n;
        frame.Set(Led(key), multi ? LedColor::Of(Wheel(at), level)
                                  : LedColor::Of(ColourOf(light_), Scale(WaveAt(at), level)));
    });
}

// Mode 14: a column sweep, keys closing in on key 50, then a ripple from it.
void KeyboardLightEngine::ShowStep(LightFrame& frame) {
    auto light = [&](std::uint8_t key) {
        if (key < kNoKey) {
            reactive_.values[key] = 255;
        }
    };
    switch (showStage_) {
        case 0:
            std::for_each(kShowSweep[showStep_].begin(), kShowSweep[showStep_].end(), light);
            if (++showStep_ >= kShowSweepSteps) {
                showStage_ = 1;
                showStep_ = 0;
            }
            break;
        case 1:
            if (showStep_ < kShowCloseSteps) {
                std::for_each(kShowClose[showStep_].begin(), kShowClose[showStep_].end(), light);
            }
            if (showStep_ < 255) {
                ++showStep_;
            }
            if (showStep_ > 31 && reactive_.values[kShowCentreKey] == 0) {
                showStage_ = 2;
            }
            break;
        case 2:
            StartRipple(kShowCentreKey);
            showStage_ = 3;
            break;
        case 3:
            // The ripple ends when it reaches the bottom-left key or leaves the picture.
            LightMasks();
            AdvanceMasks();
            if (reactive_.values[kShowRippleEnd] != 0 || MasksEmpty()) {
                showStage_ = 4;
            }
            break;
        default:
            LightMasks();
            AdvanceMasks();
            if (MasksEmpty() && std::all_of(reactive_.values.begin(), reactive_.values.end(),
                                            [](std::uint8_t v) { return v == 0; })) {
                showStage_ = 0;
                showStep_ = 0;
            }
            break;
    }
    for (std::size_t led = 0; led < kLeds; ++led) {
        DecayAndShade(led, frame);
    }
}

// --- steps ---

void KeyboardLightEngine::Step(std::uint32_t nowMs, LightFrame& frame) {
    if (restartPending_) {
        Restart(frame);
    }
    RunStep(nowMs, frame);
}

void KeyboardLightEngine::RunStep(std::uint32_t nowMs, LightFrame& frame) {
    const bool multi = light_.multiColor != 0;
    const bool forward = light_.direction != 0;
    const std::uint8_t level = BrightnessLevel(light_.brightness);
    const Rgb colour = ColourOf(light_);
    auto& v = reactive_.values;

    switch (mode_) {
        case 1:
            ColumnWave(frame, false);
            break;
        case 2:
            ColumnWave(frame, true);
            break;
        case 3:
            KeyWave(frame);
            break;
        case 4:
            EffectSpectrum(effect_, light_, frame);
            break;
        case 5: {
            effect_.phase = static_cast<std::uint8_t>(effect_.phase >= 127 ? 0 : effect_.phase + 1);
            const std::uint8_t breath = Scale(Breathing(effect_.phase), level);
            for (std::size_t c = 0; c < kMatrixColumns; ++c) {
                const LedColor entry = LedColor::Of(multi ? Wheel(7 * c) : colour, breath);
                ForColumn(c, [&](std::size_t key) { frame.Set(Led(key), entry); });
            }
            break;
        }
        case 6:
            if (!multi) {
                frame.Fill(LedColor::Of(colour, level));
                break;
            }
            for (std::size_t r = 0; r < kRingCount; ++r) {
                const LedColor entry = LedColor::Of(Wheel(kRingWheelStart - kRingWheelStep * r), level);
                for (std::uint8_t key : kKeyRings[r]) {
                    if (key < kNoKey && kInKeyOrder[key]) {
                        frame.Set(key, entry);
                    }
                }
            }
            break;
        case 7:
            LightMasks();
            AdvanceMasks();
            for (std::size_t led = 0; led < kLeds; ++led) {
                DecayLedValue(reactive_, Led(led), mode_);
                colourIndex_[led] = WheelSum(colourIndex_[led], 7);
                frame.Set(Led(led), Shade(led, v[led]));
            }
            break;
        case 8:
        case 25:
            for (std::size_t led = 0; led < kLeds; ++led) {
                if (hitFlags_[led] == 1) {
                    v[led] = static_cast<std::uint8_t>(std::min(255, v[led] + 15));
                } else if (hitFlags_[led] == 2) {
                    v[led] = static_cast<std::uint8_t>(std::max(0, v[led] - 5));
                }
                frame.Set(Led(led), Shade(led, v[led]));
            }
            break;
        case 9:
            LightMasks();
            AdvanceMasks();
            for (std::size_t led = 0; led < kLeds; ++led) {
                DecayAndShade(led, frame);
            }
            break;
        case 10:
            for (int i = 0; i < 6; ++i) {
                const std::uint8_t key = kRandomPick[random_() % kRandomPick.size()];
                v[key] = 255;
                colourIndex_[key] = RandomWheel();
            }
            for (std::size_t led = 0; led < kLeds; ++led) {
                DecayAndShade(led, frame);
            }
            break;
        case 11:
            for (std::size_t led = 0; led < kLeds; ++led) {
                colourIndex_[led] = WheelSum(colourIndex_[led], 1);
                frame.Set(Led(led), LedColor::Of(Wheel(colourIndex_[led]), level));
            }
            break;
        case 12:
            effect_.phase = StepPhase(forward, kWheelSize, effect_.phase, 1);
            for (std::size_t c = 0; c < kMatrixColumns; ++c) {
                for (std::size_t r = 0; r < kMatrixRows; ++r) {
                    if (kKeyMatrix[c][r] < kNoKey) {
                        frame.Set(kKeyMatrix[c][r], LedColor::Of(Wheel(effect_.phase + 1 + 24 * r), level));
                    }
                }
            }
            break;
        case 13:
            if (++waveCounter_ % 3 == 0) {
                AdvanceMasks();
            }
            Reflect(9, 0x01);
            Reflect(9, 0x40);
            LightMasks();
            for (std::size_t led = 0; led < kLeds; ++led) {
                DecayAndShade(led, frame);
            }
            break;
        case 14:
            ShowStep(frame);
            break;
        case 15:
            ForKeyOrder([&](std::size_t, std::size_t key) {
                v[key] = static_cast<std::uint8_t>(v[key] + 2);
                if (v[key] >= 192) {
                    v[key] = 0;
                    colourIndex_[key] = RandomWheel();
                }
                const Rgb c = multi ? Wheel(colourIndex_[key]) : colour;
                frame.Set(Led(key), LedColor::Of(c, Scale(PulseAt(v[key]), level)));
            });
            break;
        case 16:
            Reflect(1, 0x01);
            Reflect(22, 0x40);
            LightMasks();
            AdvanceMasks();
            ForKeyOrder([&](std::size_t, std::size_t key) { DecayAndShade(key, frame); });
            break;
        case 17: {
            constexpr std::array<std::uint8_t, 4> kOneColour = {174, 25, 70, 95};
            const std::size_t pick = light_.secondaryMode <= 3 ? light_.secondaryMode : 0;
            frame.Fill(LedColor::Of(Wheel(kOneColour[pick]), level));
            break;
        }
        case 18:
            effect_.phase = StepPhase(forward, kWheelSize, effect_.phase, 1);
            for (std::size_t r = 0; r < kRingCount; ++r) {
                const LedColor entry = LedColor::Of(Wheel(effect_.phase + 7 * (r + 1)), level);
                for (std::uint8_t key : kKeyRings[r]) {
                    if (key < kNoKey) {
                        frame.Set(key, entry);
                    }
                }
            }
            break;
        case 19:
            for (int led = 0; led < kKeyboardLeds; ++led) {
                LedColor entry = frame.Get(led);
                entry.level = level;
                frame.Set(led, entry);
            }
            break;
        case 20:
            player_.Pass(steps_, light_.speed, frame, nowMs);
            break;
        case 21: {
            effect_.phase = StepPhase(forward, kNoKey, effect_.phase, 1);
            const std::uint8_t key = kFillSequence[effect_.phase];
            if (key < kNoKey) {
                v[key] = kFillValue;
            }
            ForKeyOrder([&](std::size_t, std::size_t k) { DecayAndShade(k, frame); });
            break;
        }
        case 22:
            ForKeyOrder([&](std::size_t, std::size_t key) {
                keyPhase_[key] = static_cast<std::uint8_t>(keyPhase_[key] + 1);
                if (keyPhase_[key] >= 192) {
                    keyPhase_[key] = 0;
                    colourIndex_[key] = RandomWheel();
                }
                const Rgb c = multi ? Wheel(colourIndex_[key]) : colour;
                frame.Set(Led(key), LedColor::Of(c, Scale(PulseAt(keyPhase_[key]), level)));
            });
            break;
        case 23:
            EffectBlink(effect_, light_, frame, nowMs);
            break;
        case 24:
            effect_.phase = StepPhase(forward, static_cast<int>(kRunSteps), effect_.phase, 1);
            for (std::uint8_t key : kRunSequence[effect_.phase]) {
                if (key < kNoKey) {
                    v[key] = 255;
                    colourIndex_[key] = 0;
                }
            }
            for (std::size_t led = 0; led < kLeds; ++led) {
                v[led] = static_cast<std::uint8_t>(std::max(0, v[led] - 5));
                colourIndex_[led] = static_cast<std::uint8_t>(std::min(255, colourIndex_[led] + 3));
                frame.Set(Led(led), multi ? LedColor::Of(kColourTable[colourIndex_[led]], level)
                                          : LedColor::Of(colour, Scale(v[led], level)));
            }
            break;
        case 26:
            EffectFourColourBreathing(effect_, light_, frame);
            break;
        case 27:
            EffectFourColourBlink(effect_, light_, frame, nowMs);
            break;
        case 28:
            EffectOff(frame);
            break;
        case 29:
            RenderMusic(frame);
            break;
        case 30: {
            auto byte = [](std::int32_t value) {
                return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            };
            frame.Fill(LedColor::Of({byte(outside_[0]), byte(outside_[1]), byte(outside_[2])}, level));
            break;
        }
        default:
            player_.Pass(steps_, light_.speed, frame, nowMs);
            break;
    }
}

}  // namespace norvane::devices::light
