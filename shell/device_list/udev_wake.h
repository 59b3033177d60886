#pragma once

#include "devices/device_thread.h"

#include <functional>

namespace norvane::shell {

// Listens for hidraw nodes coming and going (udev's netlink events) and calls a wake
// action, so the scan need not wait for its next period. Where no udev daemon runs no
// event ever comes, and the periodic scan alone finds devices.
class UdevWake {
public:
    explicit UdevWake(std::function<void()> wake) : wake_(std::move(wake)) {}
    ~UdevWake() { Stop(); }
    UdevWake(const UdevWake&) = delete;
    UdevWake& operator=(const UdevWake&) = delete;

    // False when the monitor cannot be set up (the scan works without it).
    bool Start();
    devices::StopResult Stop() { return thread_.Stop(); }
    bool Running() const { return thread_.Running(); }

private:
    std::function<void()> wake_;
    devices::DeviceThread thread_{devices::DeviceThread::kLightThreadBound};
};

}  // namespace norvane::shell
