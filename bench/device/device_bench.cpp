// Our cost per report on a zero-latency wire (the simulator answers in the write), and
// the cost of listing and matching hidraw nodes on a fake sysfs tree.
#include "device/catalogue.h"
#include "device/commands.h"
#include "device/hid_channel.h"
#include "device/hidraw_backend.h"
#include "device/path_keys.h"
#include "sim/sim_backend.h"
#include "tests/device/fake_sysfs.h"

#include <benchmark/benchmark.h>

namespace {

using namespace norvane;

struct SimLink {
    explicit SimLink(device::LinkMode mode) : channel(&backend) {
        backend.Add(*sim::FindSimProduct(mode == device::LinkMode::Receiver ? "receiver" : "keyboard"));
        std::vector<std::string> paths;
        backend.Enumerate(paths);
        for (const auto& path : paths) {
            if (device::CollectionNumberFromPath(path) == 4) {
                auto& slot = mode == device::LinkMode::Receiver ? channel.Receiver() : channel.Cable();
                slot.Open(path, true, true, true, false);
            }
        }
        channel.SetLinkMode(mode);
        channel.SetOpen(true);
    }
    sim::SimBackend backend;
    device::HidChannel channel;
};

void PerReport(benchmark::State& state, std::int64_t reportsPerIteration) {
    // Seconds per report ("311n" = 311 ns).
    state.counters["per_report"] =
        benchmark::Counter(static_cast<double>(state.iterations() * reportsPerIteration),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Exchange(benchmark::State& state) {
    SimLink link(device::LinkMode::Cable);
    for (auto _ : state) {
        benchmark::DoNotOptimize(device::EnableHostLighting(link.channel));
    }
    PerReport(state, 1);
}
BENCHMARK(BM_Exchange)->Repetitions(9)->ReportAggregatesOnly(true)->DisplayAggregatesOnly(true);

void BM_KeyboardLightFrame(benchmark::State& state) {
    const auto mode = static_cast<device::LinkMode>(state.range(0));
    SimLink link(mode);
    std::vector<std::uint8_t> frame(378, 0x40);
    const std::int64_t reports = mode == device::LinkMode::Receiver ? 16 : 7;
    for (auto _ : state) {
        benchmark::DoNotOptimize(device::WriteLightFrame(link.channel, frame));
    }
    PerReport(state, reports);
}
BENCHMARK(BM_KeyboardLightFrame)
    ->Arg(static_cast<int>(device::LinkMode::Cable))
    ->Arg(static_cast<int>(device::LinkMode::Receiver))
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->DisplayAggregatesOnly(true);

void BM_EnumerateAndMatch64Nodes(benchmark::State& state) {
    test::FakeSysfs sysfs;
    const std::vector<std::pair<std::uint16_t, std::uint16_t>> products = {
        {0x320F, 0x50B7}, {0x320F, 0x221C}, {0x320F, 0x1004}, {0x046D, 0xC52B}};
    for (int n = 0; n < 64; ++n) {
        const auto [vid, pid] = products[static_cast<std::size_t>(n) % products.size()];
        sysfs.Add(n, {vid, pid, 0x0100, static_cast<std::uint16_t>(n % 2), sim::PeripheralDescriptor()});
    }
    device::HidrawBackend backend(sysfs.Config());
    std::size_t matched = 0;
    for (auto _ : state) {
        std::vector<std::string> paths;
        backend.Enumerate(paths);
        matched = 0;
        for (const auto& path : paths) {
            const auto mi = device::InterfaceNumberFromPath(path);
            const auto col = device::CollectionNumberFromPath(path);
            if (!device::IsCatalogCandidate(device::VendorIdFromPath(path), device::ProductIdFromPath(path),
                                            mi, col)) {
                continue;
            }
            const auto description = backend.Describe(path);
            if (description &&
                device::IdentifyInterface(
                    {description->attributes.vendorId, description->attributes.productId, mi, col,
                     description->capabilities.usagePage, description->capabilities.usage})) {
                ++matched;
            }
        }
        benchmark::DoNotOptimize(matched);
    }
    state.counters["matched"] = static_cast<double>(matched);
}
BENCHMARK(BM_EnumerateAndMatch64Nodes)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
