#pragma once

#include "devices/device_thread.h"
#include "devices/light/light_frame.h"
#include "shell/device_list/sync_effects.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace norvane::devices {
class CTarnexUSBDevice;
}  // namespace norvane::devices

namespace norvane::shell {

inline constexpr const char* kLightSyncStopText = "同步灯光线程设定退出";

// The device objects the sync looks at, by list. Pages are only ever added, and the owner
// stops the sync thread before any page is destroyed.
struct SyncDevices {
    std::vector<devices::CTarnexUSBDevice*> keyboards;
    std::vector<devices::CTarnexUSBDevice*> mice;
    std::vector<devices::CTarnexUSBDevice*> mousePads;
    std::vector<devices::CTarnexUSBDevice*> headsets;
};

// Plays one effect in step on every device whose sync flag is set, on its own thread. The
// device lists and the settings are handed over under a lock; the thread works on copies.
// A device's sync flag and channel state are atomic; its LED frame entries are atomic words.
class LightSync {
public:
    static constexpr std::chrono::milliseconds kIdleWait{1000};

    LightSync();
    ~LightSync();
    LightSync(const LightSync&) = delete;
    LightSync& operator=(const LightSync&) = delete;

    // Any thread.
    void SetDevices(SyncDevices devices);
    void SetSettings(const SyncSettings& settings);
    SyncSettings Settings() const;
    // Some mouse, keyboard, mousepad or headset has an open channel and its sync flag set.
    bool AnyFollowing() const;

    // One effect step written into every LED of every following device (mice, mousepads,
    // headsets, keyboards). Called by the sync thread, or by a caller while it does not run.
    devices::light::LedColor Step(std::uint32_t nowMs);

    // Replaces the sync clock (milliseconds; steady time by default). Before Start.
    void SetClock(std::function<std::uint32_t()> clock) { clock_ = std::move(clock); }
    bool Start();
    devices::StopResult Stop() { return thread_.Stop(); }
    // The devices or settings changed: the thread looks again at once.
    void Wake() { thread_.Wake(); }
    bool Running() const { return thread_.Running(); }

private:
    SyncDevices Snapshot() const;

    mutable std::mutex mutex_;
    SyncDevices devices_;    // guarded by mutex_
    SyncSettings settings_;  // guarded by mutex_
    SyncEffects effects_;    // the stepping thread's own
    std::function<std::uint32_t()> clock_;
    devices::DeviceThread thread_{devices::DeviceThread::kLightThreadBound};
};

}  // namespace norvane::shell
