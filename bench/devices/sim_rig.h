// Shared by the device object benchmarks: device objects attached by cable to simulated
// devices without a page, a temporary data folder, and the CPU share of the process per
// second of wall time.
#pragma once

#include "device/catalogue.h"
#include "device/path_keys.h"
#include "devices/usb_device.h"
#include "sim/products.h"
#include "sim/sim_backend.h"
#include "sim/sim_device.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <unistd.h>

namespace norvane::bench {

inline std::int64_t CpuNs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

inline std::int64_t ProcessCpuNs() {
    return CpuNs(CLOCK_PROCESS_CPUTIME_ID);
}

inline std::int64_t ThreadCpuNs() {
    return CpuNs(CLOCK_THREAD_CPUTIME_ID);
}

// Context switches (voluntary and not) of the process's threads other than the calling one:
// about one per wake-up of a sleeping thread.
inline std::int64_t OtherThreadSwitches() {
    std::int64_t total = 0;
    const std::string self = std::to_string(::gettid());
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        if (task.path().filename() == self) {
            continue;
        }
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                total += std::strtoll(line.c_str() + line.find(':') + 1, nullptr, 10);
            }
        }
    }
    return total;
}

// A temporary folder as NORVANE_DATA_HOME while it lives. Made before any thread starts.
class ScopedDataHome {
public:
    ScopedDataHome() {
        char folder[] = "/tmp/norvane-devices-bench-XXXXXX";
        if (::mkdtemp(folder) != nullptr) {
            path_ = folder;
            ::setenv("NORVANE_DATA_HOME", folder, 1);  // NOLINT(concurrency-mt-unsafe): before any thread
        }
    }
    ~ScopedDataHome() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

private:
    std::filesystem::path path_;
};

// The path of `device`'s collection `collection` (command 4, events 3), or empty.
inline std::string CollectionPath(sim::SimBackend& backend, const sim::SimDevice& device, int collection) {
    std::vector<std::string> paths;
    backend.Enumerate(paths);
    for (const std::string& path : paths) {
        if (path.find(device.Name() + ":") != std::string::npos &&
            device::CollectionNumberFromPath(path) == collection) {
            return path;
        }
    }
    return {};
}

// Names the object as the device list does for `device` and opens its command collection
// by cable. The object reads and starts its threads on SyncFromDevice.
inline bool AttachByCable(devices::CTarnexUSBDevice& object, sim::SimBackend& backend,
                          const sim::SimDevice& device, std::string_view typeName) {
    for (const auto& row : device::DeviceCatalog()) {
        if (row.vendorId == device.Spec().vendorId && row.productId == device.Spec().productId &&
            row.role == device::DeviceRole::Command) {
            object.SetCatalogEntry(row);
        }
    }
    object.SetProfileName("Profile1");
    object.SetTypeName(std::string(typeName));
    object.SetLightConfigName("velto_light");
    auto& channel = object.CommandChannel();
    channel.Cable().SetBackend(&backend);
    channel.SetTimeouts(60, 60);
    const std::string path = CollectionPath(backend, device, 4);
    const bool opened = !path.empty() && channel.Cable().Open(path, true, true, true, false);
    channel.SetLinkMode(device::LinkMode::Cable);
    channel.SetOpen(opened);
    return opened;
}

// The simulated keyboard's firmware in light mode `mode`, speed 4, multi-colour.
inline std::function<void(sim::FirmwareModel&)> KeyboardInMode(std::uint8_t mode) {
    return [mode](sim::FirmwareModel& f) {
        f.Settings()[1] = mode;
        f.Settings()[2] = 4;
        f.Settings()[3] = 0;
        f.Settings()[5] = 1;
    };
}

// A device object of type Device attached by cable to a simulated `product` added to
// `bus` (which outlives it). `setUp` runs on the simulated firmware before the first read.
template <typename Device>
struct Attached {
    Attached(sim::SimBackend& bus, std::string_view product, std::string_view typeName, int lightClass,
             const std::function<void(sim::FirmwareModel&)>& setUp = {})
        : backend(bus), device(&bus.Add(*sim::FindSimProduct(product))) {
        if (setUp) {
            device->WithFirmware(setUp);
        }
        object.SetLightClass(lightClass);
        AttachByCable(object, backend, *device, typeName);
        object.SyncFromDevice();
    }
    ~Attached() { object.StopDeviceThreads(); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

    // The event reader on the cable side, as the device list starts it.
    bool OpenEvents() {
        object.EventChannel().Cable().SetBackend(&backend);
        return object.OpenEventInterface(0, CollectionPath(backend, *device, 3));
    }

    // The tile timer's work: the frame to the page (none here) and by cable to the device;
    // the simulated device's wire log is emptied after each send.
    void SendFrame() {
        object.SendLightFrame();
        device->ClearWireLog();
    }

    sim::SimBackend& backend;
    sim::SimDevice* device;
    Device object;
};

// Sets the counters of the run: process CPU per wall second and that of the calling thread,
// in percent of one core, and the other threads' wake-ups per second, over iterations of one
// second each. With a period the calling thread runs `tick` at that period (a frame timer);
// without one it sleeps.
inline void MeasureCpuShare(benchmark::State& state, std::chrono::milliseconds period = {},
                            const std::function<void()>& tick = {}) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // past the first renders
    std::int64_t cpu = 0;
    std::int64_t caller = 0;
    std::int64_t wall = 0;
    std::int64_t ticks = 0;
    std::int64_t switches = 0;
    for (auto _ : state) {
        const std::int64_t switches0 = OtherThreadSwitches();
        const std::int64_t cpu0 = ProcessCpuNs();
        const std::int64_t caller0 = ThreadCpuNs();
        const auto wall0 = std::chrono::steady_clock::now();
        const auto end = wall0 + std::chrono::seconds(1);
        if (period.count() > 0 && tick) {
            for (auto next = wall0 + period; next <= end; next += period) {
                std::this_thread::sleep_until(next);
                tick();
                ++ticks;
            }
        }
        std::this_thread::sleep_until(end);
        cpu += ProcessCpuNs() - cpu0;
        caller += ThreadCpuNs() - caller0;
        switches += OtherThreadSwitches() - switches0;
        wall += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - wall0)
                    .count();
    }
    const auto percent = [wall](std::int64_t ns) {
        return wall > 0 ? 100.0 * static_cast<double>(ns) / static_cast<double>(wall) : 0.0;
    };
    state.counters["cpu_percent_of_core"] = percent(cpu);
    state.counters["thread_wakeups_per_s"] =
        wall > 0 ? 1e9 * static_cast<double>(switches) / static_cast<double>(wall) : 0.0;
    if (period.count() > 0) {
        state.counters["sender_percent_of_core"] = percent(caller);
        state.counters["frames_sent"] = static_cast<double>(ticks);
    }
}

}  // namespace norvane::bench
