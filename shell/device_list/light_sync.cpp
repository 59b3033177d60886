#include "shell/device_list/light_sync.h"

#include "devices/usb_device.h"
#include "platform/diag.h"

#include <algorithm>
#include <chrono>

namespace norvane::shell {
namespace {

bool Follows(devices::CTarnexUSBDevice* device) {
    return device != nullptr && device->CommandChannel().IsOpen() && device->CommandChannel().IsSync();
}

bool AnyFollows(const std::vector<devices::CTarnexUSBDevice*>& list) {
    return std::ranges::any_of(list, Follows);
}

void Paint(const std::vector<devices::CTarnexUSBDevice*>& list, devices::light::LedColor colour) {
    for (devices::CTarnexUSBDevice* device : list) {
        if (device == nullptr || !device->CommandChannel().IsSync()) {
            continue;
        }
        for (int led = 0; led < device->LedCount(); ++led) {
            device->SetLedColor(led, colour);
        }
    }
}

std::uint32_t SteadyMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

LightSync::LightSync() : clock_(SteadyMs) {
}

LightSync::~LightSync() {
    thread_.Stop();
}

void LightSync::SetDevices(SyncDevices devices) {
    {
        const std::lock_guard lock(mutex_);
        devices_ = std::move(devices);
    }
    thread_.Wake();
}

void LightSync::SetSettings(const SyncSettings& settings) {
    {
        const std::lock_guard lock(mutex_);
        settings_ = settings;
    }
    thread_.Wake();
}

SyncSettings LightSync::Settings() const {
    const std::lock_guard lock(mutex_);
    return settings_;
}

SyncDevices LightSync::Snapshot() const {
    const std::lock_guard lock(mutex_);
    return devices_;
}

bool LightSync::AnyFollowing() const {
    const SyncDevices d = Snapshot();
    return AnyFollows(d.mice) || AnyFollows(d.keyboards) || AnyFollows(d.mousePads) || AnyFollows(d.headsets);
}

devices::light::LedColor LightSync::Step(std::uint32_t nowMs) {
    const SyncDevices d = Snapshot();
    const devices::light::LedColor colour = effects_.Step(Settings(), nowMs);
    Paint(d.mice, colour);
    Paint(d.mousePads, colour);
    Paint(d.headsets, colour);
    Paint(d.keyboards, colour);
    return colour;
}

bool LightSync::Start() {
    return thread_.Start([this](const devices::StopSignal& signal) {
        using WaitResult = devices::StopSignal::WaitResult;
        while (!signal.StopRequested()) {
            if (!AnyFollowing()) {
                if (signal.WaitFor(kIdleWait) == WaitResult::Stopped) {
                    break;
                }
                continue;
            }
            // One step per threshold of 1 ms ticks; a wake (new settings) restarts the count.
            const std::chrono::milliseconds step{SyncThreshold(Settings().speed)};
            const WaitResult waited = signal.WaitFor(step);
            if (waited == WaitResult::Stopped) {
                break;
            }
            if (waited == WaitResult::Due) {
                Step(clock_());
            }
        }
        platform::diag::Trace(kLightSyncStopText);
    });
}

}  // namespace norvane::shell
