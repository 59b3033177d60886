// The keyboard device object on the simulated keyboard: CPU time its light thread takes per
// second of wall time, in a host-streamed mode and in on-board modes, and one full frame from
// render to wire.
#include "bench/devices/sim_rig.h"
#include "devices/keyboard/keyboard_device.h"

#include <benchmark/benchmark.h>

namespace {

using norvane::devices::CTarnexKeyboardDevice;

// A keyboard object attached by cable to a simulated keyboard in light mode `mode`, after
// its first full read.
struct Rig {
    explicit Rig(std::uint8_t mode)
        : attached(backend, "keyboard", "keyboard", 0, norvane::bench::KeyboardInMode(mode)) {}

    norvane::bench::ScopedDataHome data;
    norvane::sim::SimBackend backend;
    norvane::bench::Attached<CTarnexKeyboardDevice> attached;
    CTarnexKeyboardDevice& page = attached.object;
    norvane::sim::SimDevice* keyboard = attached.device;
};

// Light thread CPU per wall second, in percent of one core (the caller sleeps meanwhile).
void BM_KeyboardLightThreadCpu(benchmark::State& state) {
    Rig rig(static_cast<std::uint8_t>(state.range(0)));
    rig.page.SetPagePreview(state.range(1) != 0);
    if (!rig.page.LightThreadRunning() || rig.page.EngineMode() != state.range(0)) {
        state.SkipWithError("light thread not running in the mode");
        return;
    }
    norvane::bench::MeasureCpuShare(state);
}
BENCHMARK(BM_KeyboardLightThreadCpu)
    ->ArgNames({"mode", "preview"})
    ->Args({29, 0})  // music: streamed, a step every 32 ms at speed 4
    ->Args({4, 0})   // spectrum on the keyboard, page not shown
    ->Args({4, 1})   // spectrum on the keyboard, previewed on the page every 16 ms
    ->Args({6, 1})   // static on the keyboard: stands still
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

// One frame from render to wire: an engine pass, then the object's frame send (page buttons,
// packing, 378 bytes to the simulated keyboard in mode 29).
void BM_KeyboardFullFrame(benchmark::State& state) {
    Rig rig(29);
    rig.page.StopDeviceThreads();
    norvane::devices::light::KeyboardLightEngine engine;
    norvane::config::LightInfo light;
    light.selectedMode = 29;
    light.brightness = 4;
    light.speed = 4;
    engine.SetLightState(light);
    engine.SetMode(29, 4);
    norvane::devices::light::LightFrame frame(norvane::devices::light::kKeyboardLeds);
    std::uint32_t now = 0;
    for (auto _ : state) {
        now += 16;
        engine.Advance(now, frame);
        rig.page.SendLightFrame();
        rig.keyboard->ClearWireLog();
    }
}
BENCHMARK(BM_KeyboardFullFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
