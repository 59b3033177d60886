// A keyboard, a mouse by cable and a mousepad animating together in one process, each
// object with its light thread, and the tiles' 5 ms frame timers sending their frames from
// one thread: CPU time of the process per second of wall time.
#include "bench/devices/peripheral_rig.h"
#include "devices/keyboard/keyboard_device.h"

#include <chrono>

namespace {

using norvane::bench::kScenes;

// The three objects on one simulated bus; the keyboard in light mode `keyboardMode`
// (speed 4, multi-colour), the mouse in the wave, the pad in its ring over the LEDs.
struct Desk {
    explicit Desk(std::uint8_t keyboardMode)
        : keyboard(backend, "keyboard", "keyboard", 0, norvane::bench::KeyboardInMode(keyboardMode)) {
        keyboard.object.SetPagePreview(false);  // no page is shown
        norvane::bench::LightScene(mouse.object.Lighting(), kScenes[0]);
        norvane::bench::LightScene(pad.object.Lighting(), kScenes[2]);
    }
    bool Running(int keyboardMode) {
        return keyboard.object.LightThreadRunning() && keyboard.object.EngineMode() == keyboardMode &&
               mouse.object.LightThreadRunning() && pad.object.LightThreadRunning();
    }
    void SendFrames() {
        keyboard.SendFrame();
        mouse.SendFrame();
        pad.SendFrame();
    }

    norvane::bench::ScopedDataHome data;
    norvane::sim::SimBackend backend;
    norvane::bench::Attached<norvane::devices::CTarnexKeyboardDevice> keyboard;
    norvane::bench::MouseByCable mouse{backend};
    norvane::bench::MousePad pad{backend};
};

// Process CPU per wall second in percent of one core with the keyboard in mode range(0);
// with range(1) = 1 the calling thread sends the three frames every 5 ms.
void BM_AllDevicesCpu(benchmark::State& state) {
    const auto keyboardMode = static_cast<std::uint8_t>(state.range(0));
    Desk desk(keyboardMode);
    if (!desk.Running(keyboardMode)) {
        state.SkipWithError("a light thread is not running");
        return;
    }
    if (state.range(1) != 0) {
        norvane::bench::MeasureCpuShare(state, std::chrono::milliseconds(5), [&desk] { desk.SendFrames(); });
    } else {
        norvane::bench::MeasureCpuShare(state);
    }
}
BENCHMARK(BM_AllDevicesCpu)
    ->ArgNames({"keyboard_mode", "send"})
    ->Args({29, 0})  // keyboard streamed from the host (music)
    ->Args({29, 1})
    ->Args({4, 0})  // keyboard on its own spectrum
    ->Args({4, 1})
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

}  // namespace
