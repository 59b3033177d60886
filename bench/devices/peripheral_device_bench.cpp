// The mouse (by cable) and mousepad device objects on their simulated devices: CPU time per
// second of wall time of the light thread alone and with the tile's 5 ms frame timer sending
// each frame, beside the timer alone; and one frame send from the object to the device.
#include "bench/devices/peripheral_rig.h"
#include "devices/light/frame_packing.h"

#include <chrono>

namespace {

using norvane::bench::kScenes;

constexpr std::chrono::milliseconds kFramePeriod{5};

template <typename Object>
struct Rig {
    norvane::bench::ScopedDataHome data;
    norvane::sim::SimBackend backend;
    Object attached{backend};
};

// Process CPU per wall second in percent of one core while the object lights scene
// range(0); with range(1) = 1 the calling thread is the frame timer and
// sender_percent_of_core is its share (the frame packing, the channel, and the simulated
// device taking the write and answering it); range(1) = 2 adds the object's event reader,
// which the answers to the frames reach as well (they come on the same interface).
template <typename Object>
void LightCpu(benchmark::State& state) {
    Rig<Object> rig;
    const auto& scene = kScenes.at(static_cast<std::size_t>(state.range(0)));
    norvane::bench::LightScene(rig.attached.object.Lighting(), scene);
    if (!rig.attached.object.LightThreadRunning() ||
        rig.attached.object.Lighting().EngineMode() != scene.mode) {
        state.SkipWithError("light thread not running in the mode");
        return;
    }
    if (state.range(1) == 2 && !rig.attached.OpenEvents()) {
        state.SkipWithError("event reader not open");
        return;
    }
    if (state.range(1) != 0) {
        norvane::bench::MeasureCpuShare(state, kFramePeriod, [&rig] { rig.attached.SendFrame(); });
    } else {
        norvane::bench::MeasureCpuShare(state);
    }
}

void BM_MouseLightCpu(benchmark::State& state) {
    LightCpu<norvane::bench::MouseByCable>(state);
}
BENCHMARK(BM_MouseLightCpu)
    ->ArgNames({"scene", "send"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Args({0, 2})
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

void BM_PadLightCpu(benchmark::State& state) {
    LightCpu<norvane::bench::MousePad>(state);
}
BENCHMARK(BM_PadLightCpu)
    ->ArgNames({"scene", "send"})
    ->ArgsProduct({{0, 2, 3, 4, 5}, {0, 1}})
    ->Args({0, 2})
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

// The 5 ms timer alone, its ticks doing nothing: what waking the calling thread costs.
void BM_FrameTimerAlone(benchmark::State& state) {
    norvane::bench::MeasureCpuShare(state, kFramePeriod, [] {});
}
BENCHMARK(BM_FrameTimerAlone)->Iterations(3)->Unit(benchmark::kSecond);

// One tile timer tick with the light thread stopped: wire=1 the object's frame send to the
// simulated device, wire=0 the packing of the frame alone.
template <typename Object>
void FrameSend(benchmark::State& state) {
    Rig<Object> rig;
    rig.attached.object.StopDeviceThreads();
    if (state.range(0) != 0) {
        for (auto _ : state) {
            rig.attached.SendFrame();
        }
        return;
    }
    const norvane::devices::light::LightFrame frame(static_cast<std::size_t>(rig.attached.object.LedCount()));
    for (auto _ : state) {
        auto packed = norvane::devices::light::PackLightFrame(frame);
        benchmark::DoNotOptimize(packed);
    }
}

void BM_MouseFrameSend(benchmark::State& state) {
    FrameSend<norvane::bench::MouseByCable>(state);
}
BENCHMARK(BM_MouseFrameSend)->ArgName("wire")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PadFrameSend(benchmark::State& state) {
    FrameSend<norvane::bench::MousePad>(state);
}
BENCHMARK(BM_PadFrameSend)->ArgName("wire")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
