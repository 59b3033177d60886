#include "devices/device_workers.h"

#include <utility>

namespace norvane::devices {

bool StartLightThread(DeviceThread& thread, LightPass pass) {
    if (!pass) {
        return false;
    }
    return thread.Start([pass = std::move(pass)](const StopSignal& stop) {
        while (!stop.StopRequested()) {
            const auto next = pass();
            const auto woke = next ? stop.WaitUntil(*next) : stop.Wait();
            if (woke == StopSignal::WaitResult::Stopped) {
                return;
            }
        }
    });
}

bool StartEventReader(DeviceThread& thread, device::HidInterface& events,
                      std::function<void(std::uint16_t)> onCode) {
    if (!onCode) {
        return false;
    }
    auto body = [&events, onCode = std::move(onCode)](const StopSignal& stop) {
        while (!stop.StopRequested()) {
            const device::EventRead read = events.ReadEventCode(-1);
            if (read.HasCode()) {
                onCode(read.code);
                continue;
            }
            if (read.kind == device::EventRead::Kind::NoUsage) {
                continue;  // a release or a short report: read on
            }
            const auto woke = events.IsOpen() ? stop.WaitFor(kReadRetry) : stop.Wait();
            if (woke == StopSignal::WaitResult::Stopped) {
                return;
            }
        }
    };
    return thread.Start(std::move(body), [&events] { events.Close(); });
}

}  // namespace norvane::devices
