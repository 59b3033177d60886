// The keyboard device object on the simulated keyboard: CPU time its light thread takes per
// second of wall time, in a host-streamed mode and in on-board modes, and one full frame from
// render to wire.
#include "device/catalogue.h"
#include "device/path_keys.h"
#include "devices/keyboard/keyboard_device.h"
#include "sim/firmware.h"
#include "sim/products.h"
#include "sim/sim_backend.h"
#include "sim/sim_device.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

using norvane::devices::CTarnexKeyboardDevice;

std::int64_t ProcessCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// A keyboard object attached by cable to a simulated keyboard in light mode `mode`
// (speed 4, multi-colour), after its first full read.
struct Rig {
    explicit Rig(std::uint8_t mode) {
        char folder[] = "/tmp/norvane-kbd-bench-XXXXXX";
        if (::mkdtemp(folder) != nullptr) {
            data = folder;
            ::setenv("NORVANE_DATA_HOME", folder, 1);  // NOLINT(concurrency-mt-unsafe): before any thread
        }
        keyboard = &backend.Add(*norvane::sim::FindSimProduct("keyboard"));
        keyboard->WithFirmware([mode](norvane::sim::FirmwareModel& f) {
            f.Settings()[1] = mode;
            f.Settings()[2] = 4;
            f.Settings()[3] = 0;
            f.Settings()[5] = 1;
        });
        for (const auto& row : norvane::device::DeviceCatalog()) {
            if (row.vendorId == keyboard->Spec().vendorId && row.productId == keyboard->Spec().productId &&
                row.role == norvane::device::DeviceRole::Command) {
                page.SetCatalogEntry(row);
            }
        }
        page.SetProfileName("Profile1");
        page.SetTypeName("keyboard");
        page.SetLightConfigName("velto_light");
        std::vector<std::string> paths;
        backend.Enumerate(paths);
        auto& channel = page.CommandChannel();
        channel.Cable().SetBackend(&backend);
        channel.SetTimeouts(60, 60);
        for (const std::string& path : paths) {
            if (norvane::device::CollectionNumberFromPath(path) == 4) {
                channel.Cable().Open(path, true, true, true, false);
            }
        }
        channel.SetLinkMode(norvane::device::LinkMode::Cable);
        channel.SetOpen(true);
        page.SyncFromDevice();
    }
    ~Rig() {
        page.StopDeviceThreads();
        std::error_code ec;
        std::filesystem::remove_all(data, ec);
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    std::filesystem::path data;
    norvane::sim::SimBackend backend;
    norvane::sim::SimDevice* keyboard = nullptr;
    CTarnexKeyboardDevice page;
};

// Light thread CPU per wall second, in percent of one core (the caller sleeps meanwhile).
void BM_KeyboardLightThreadCpu(benchmark::State& state) {
    Rig rig(static_cast<std::uint8_t>(state.range(0)));
    rig.page.SetPagePreview(state.range(1) != 0);
    if (!rig.page.LightThreadRunning() || rig.page.EngineMode() != state.range(0)) {
        state.SkipWithError("light thread not running in the mode");
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::int64_t cpu = 0;
    std::int64_t wall = 0;
    for (auto _ : state) {
        const std::int64_t cpu0 = ProcessCpuNs();
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        cpu += ProcessCpuNs() - cpu0;
        wall += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - wall0)
                    .count();
    }
    state.counters["cpu_percent_of_core"] = 100.0 * static_cast<double>(cpu) / static_cast<double>(wall);
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
