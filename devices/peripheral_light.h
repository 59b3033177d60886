#pragma once

#include "config/light_data.h"
#include "config/profile_data.h"
#include "device/hid_channel.h"
#include "devices/device_thread.h"
#include "devices/light/light_frame.h"
#include "devices/light/light_record.h"
#include "devices/light/peripheral_engine.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>

namespace norvane::devices {

// The software lighting of a mouse, mousepad or headset: the light record, the peripheral
// engine and the light thread that renders the engine into the object's frame (the tile's
// frame timer shows and sends it).
//
// Threads: the setters run on the UI thread (and the mouse's event readers call
// TriggerReactive); the light thread runs Advance. The engine and the record sit under one
// mutex; frame entries are atomic words.
class PeripheralLighting {
public:
    // While the channel is closed or the main window's light sync drives the device, the
    // thread looks again after this long.
    static constexpr std::chrono::milliseconds kIdleRecheck{100};
    // The tile's frame timer sends the frame every 5 ms at the most: between two passes the
    // thread sleeps at least this long and the next pass replays the counts in between.
    static constexpr std::chrono::milliseconds kShortestPassGap{5};

    explicit PeripheralLighting(light::PeripheralClass cls);
    ~PeripheralLighting();
    PeripheralLighting(const PeripheralLighting&) = delete;
    PeripheralLighting& operator=(const PeripheralLighting&) = delete;

    // Before the thread runs.
    void SetLedCount(int count);

    // Stops a running thread, then renders into frame while the channel is open and not in sync.
    // The channel and the frame must outlive the thread (the owner stops it first).
    bool Start(light::LightFrame& frame, const device::HidChannel& channel);
    // Bounded stop; the end text is traced when the thread ended.
    StopResult Stop();
    bool Running() const { return thread_.Running(); }

    // The lighting of a profile: the light info into the record (mode, brightness, speed,
    // multi-colour, colour) and the engine, the light list and the custom steps.
    void Apply(const config::LightInfo& info, std::span<const config::LightListEntry> list,
               std::span<const config::LightEffectStep> steps);
    // The same from a profile: its light info and list, and the custom steps of its light
    // configuration (loaded from lightConfigFile when that is not empty). Returns the light info.
    config::LightInfo ApplyProfile(config::CBasicProfiledata& profile, const std::filesystem::path& lightConfigFile);
    // The light state the steps draw with (brightness, direction, multi-colour, colour).
    void SetLightState(const config::LightInfo& info);
    // A record read back from the device; the engine runs its mode and speed.
    void SetRecord(const light::PeripheralLightRecord& record);
    light::PeripheralLightRecord Record() const;
    // Byte 0: the device's active settings block.
    void SetActiveBlock(std::uint8_t block);
    void TriggerReactive();

    int EngineMode() const;
    // For tests: one pass at the given engine time.
    bool AdvanceAt(std::uint32_t nowMs, light::LightFrame& frame);

private:
    void TakeRecordLocked();

    mutable std::mutex mutex_;
    light::PeripheralLightEngine engine_;  // guarded by mutex_
    light::PeripheralLightRecord record_;  // guarded by mutex_
    const light::PeripheralClass class_;
    const StopSignal::Clock::time_point epoch_ = StopSignal::Clock::now();
    // Last: joined before the engine goes.
    DeviceThread thread_{DeviceThread::kLightThreadBound};
};

}  // namespace norvane::devices
