// The cost of one scan pass and of one light-sync step, on top of the simulator.
#include "devices/usb_device.h"
#include "shell/device_list/device_scan.h"
#include "shell/device_list/light_sync.h"
#include "sim/products.h"
#include "sim/sim_backend.h"

#include <benchmark/benchmark.h>

#include <array>
#include <memory>

namespace {

using namespace norvane;

class NullSink : public shell::ScanSink {
public:
    void DeviceArrived(int slot) override { benchmark::DoNotOptimize(slot); }
    void DeviceRemoved(int slot) override { benchmark::DoNotOptimize(slot); }
    void FirstScanDone() override {}
};

// Every product plugged: range(0) = 1 leaves the headset out, so a slot stays free and each
// pass lists the interfaces; 0 plugs it too, so a pass only probes the present paths.
void BM_ScanPass(benchmark::State& state) {
    sim::SimBackend backend;
    for (const char* product : {"keyboard", "keyboard-alt", "mouse", "receiver", "mousepad", "keyboard2"}) {
        backend.Add(*sim::FindSimProduct(product));
    }
    if (state.range(0) == 0) {
        backend.Add(*sim::FindSimProduct("headset"));
    }
    shell::SlotList slots;
    shell::DeviceScanner scanner(backend, slots);
    NullSink sink;
    scanner.RunPass(sink);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanner.RunPass(sink));
    }
    state.SetLabel(state.range(0) == 0 ? "probe only" : "listing");
}
BENCHMARK(BM_ScanPass)->Arg(0)->Arg(1);

// One step over a keyboard (170 LEDs) and three 15-LED devices, all following.
void BM_LightSyncStep(benchmark::State& state) {
    std::array<std::unique_ptr<devices::CTarnexUSBDevice>, 4> devices;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        devices[i] = std::make_unique<devices::CTarnexUSBDevice>();
        devices[i]->SetLedCount(i == 0 ? 170 : 15);
        devices[i]->CommandChannel().SetOpen(true);
        devices[i]->CommandChannel().SetSync(true);
    }
    shell::LightSync sync;
    sync.SetDevices(
        shell::SyncDevices{{devices[0].get()}, {devices[1].get()}, {devices[2].get()}, {devices[3].get()}});
    sync.SetSettings(
        shell::SyncSettings{static_cast<shell::SyncEffect>(state.range(0)), 4, 4, 1, 1, 1, 2, 3});
    std::uint32_t now = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(sync.Step(now += 7));
    }
}
BENCHMARK(BM_LightSyncStep)->DenseRange(0, 3);

}  // namespace
