// Cost of one keyboard light pass: the mode's step, the light list layers and the
// packing of the frame for the wire; and of the peripheral engine's passes.
#include "devices/light/frame_packing.h"
#include "devices/light/keyboard_engine.h"
#include "devices/light/peripheral_engine.h"
#include "devices/light/peripheral_geometry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace norvane;
using namespace norvane::devices::light;

RandomSource Xorshift() {
    return [x = std::uint32_t{2463534242U}]() mutable {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
}

// mode, with an animated light list (0 or 1)
void BM_KeyboardPass(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const bool layers = state.range(1) != 0;
    KeyboardLightEngine engine(Xorshift());
    config::LightInfo light;
    light.brightness = 4;
    light.multiColor = 1;
    light.direction = 1;
    engine.SetLightState(light);
    config::AudioLightInfo audio;
    audio.mode = 2;
    engine.SetAudioLightState(audio);
    config::LightEffectStep step;
    step.effectCode = 4;
    step.brightness = 4;
    step.speed = 4;
    step.multiColor = 1;
    step.duration = 1000;
    const std::vector<config::LightEffectStep> steps = {step, step};
    engine.SetCustomEffect(steps);
    if (layers) {
        std::vector<config::LightListEntry> list(170);
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i].effectCode = static_cast<std::uint8_t>(i % 5);
            list[i].present = 1;
            list[i].brightness = 4;
            list[i].speed = 4;
            list[i].multiColor = static_cast<std::uint8_t>(i % 2);
        }
        engine.SetLightList(list);
    }
    engine.SetMode(mode, 4);
    std::vector<std::uint8_t> keyLedMap(170, 255);
    for (std::size_t key = 0; key < 126; ++key) {
        keyLedMap[key] = static_cast<std::uint8_t>(key);
    }
    std::vector<std::int32_t> spectrum(25);
    LightFrame frame(170);
    std::uint32_t now = 0;
    for (auto _ : state) {
        now += 2 * kCountPeriodMs;  // every pass runs a step
        if (mode == 29) {
            for (std::size_t i = 0; i < spectrum.size(); ++i) {
                spectrum[i] = static_cast<std::int32_t>((now / 16 + i * 97) % 2400);
            }
            engine.FeedAudioSpectrum(spectrum);
        }
        engine.Advance(now, frame);
        auto buffer = PackKeyboardFrame(frame, keyLedMap);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_KeyboardPass)
    ->ArgNames({"mode", "layers"})
    ->Args({4, 0})
    ->Args({7, 0})
    ->Args({14, 0})
    ->Args({22, 0})
    ->Args({29, 0})
    ->Args({20, 0})
    ->Args({3, 1})
    ->Args({31, 1});

void BM_PackKeyboardFrame(benchmark::State& state) {
    LightFrame frame(170);
    frame.Fill({200, 100, 50, 128});
    std::vector<std::uint8_t> keyLedMap(170);
    for (std::size_t key = 0; key < keyLedMap.size(); ++key) {
        keyLedMap[key] = static_cast<std::uint8_t>(key);
    }
    for (auto _ : state) {
        auto buffer = PackKeyboardFrame(frame, keyLedMap);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_PackKeyboardFrame);

// --- peripheral engine ---

int PeripheralLeds(PeripheralClass cls) {
    switch (cls) {
        case PeripheralClass::Mouse:
            return kMouseLeds;
        case PeripheralClass::MousePad:
            return kMousePadLeds;
        case PeripheralClass::Headset:
            return kHeadsetLeds;
    }
    return 0;
}

// class (0 mouse, 1 pad, 2 headset), mode, animated light list (0 none, 1 every code, 2 blink and cycle)
PeripheralLightEngine MakePeripheral(const benchmark::State& state) {
    const auto cls = static_cast<PeripheralClass>(state.range(0));
    PeripheralLightEngine engine(cls, PeripheralLeds(cls), Xorshift());
    config::LightInfo light;
    light.brightness = 4;
    light.multiColor = 1;
    light.direction = 1;
    light.speed = 4;
    engine.SetLightState(light);
    config::LightEffectStep step;
    step.effectCode = 4;
    step.brightness = 4;
    step.speed = 4;
    step.multiColor = 1;
    step.duration = 1000;
    const std::vector<config::LightEffectStep> steps = {step, step};
    engine.SetCustomEffect(steps);
    if (state.range(2) != 0) {
        // 1: every code, breathing included; 2: blinking and cycling only.
        const std::uint8_t codes = state.range(2) == 1 ? 5 : 2;
        std::vector<config::LightListEntry> list(15);
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i].effectCode = static_cast<std::uint8_t>(state.range(2) == 1 ? i % codes : 2 + i % codes);
            list[i].present = 1;
            list[i].brightness = 4;
            list[i].speed = 4;
        }
        engine.SetLightList(list);
    }
    engine.SetMode(static_cast<int>(state.range(1)), 4);
    return engine;
}

// One pass that runs a step (speed 4 steps every 7 counts).
void BM_PeripheralPass(benchmark::State& state) {
    PeripheralLightEngine engine = MakePeripheral(state);
    LightFrame frame(static_cast<std::size_t>(engine.LedCount()));
    std::uint32_t now = 0;
    for (auto _ : state) {
        now += 7 * kPeripheralCountMs;
        benchmark::DoNotOptimize(engine.Advance(now, frame));
    }
}

// One second of the light thread that sleeps until NextDueMs: the work of its passes
// (not the cost of waking), and how many passes it makes.
void BM_PeripheralSecond(benchmark::State& state) {
    PeripheralLightEngine engine = MakePeripheral(state);
    LightFrame frame(static_cast<std::size_t>(engine.LedCount()));
    std::uint32_t now = 0;
    std::int64_t passes = 0;
    for (auto _ : state) {
        std::uint32_t left = 1000;
        while (left > 0) {
            engine.Advance(now, frame);
            ++passes;
            const auto next = engine.NextDueMs();
            const std::uint32_t sleep = std::min(next ? std::max<std::uint32_t>(*next - now, 1) : left, left);
            now += sleep;
            left -= sleep;
        }
        if (engine.Class() == PeripheralClass::Mouse && engine.Mode() == 6) {
            engine.TriggerReactive();  // one click a second
        }
    }
    state.counters["passes/s"] =
        benchmark::Counter(static_cast<double>(passes) / static_cast<double>(state.iterations()));
}

void PeripheralModes(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"class", "mode", "list"});
    for (const auto& args : std::vector<std::vector<std::int64_t>>{{0, 0, 0},
                                                                   {0, 3, 0},
                                                                   {0, 5, 0},
                                                                   {0, 6, 0},
                                                                   {0, 12, 0},
                                                                   {1, 0, 0},
                                                                   {1, 3, 0},
                                                                   {1, 3, 1},
                                                                   {1, 3, 2},
                                                                   {1, 6, 0},
                                                                   {1, 9, 0},
                                                                   {2, 0, 0},
                                                                   {2, 2, 1},
                                                                   {2, 0, 2},
                                                                   {2, 7, 0}}) {
        bench->Args(args);
    }
}
BENCHMARK(BM_PeripheralPass)->Apply(PeripheralModes);
BENCHMARK(BM_PeripheralSecond)->Apply(PeripheralModes);

}  // namespace
