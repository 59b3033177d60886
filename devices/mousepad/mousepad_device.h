#pragma once

#include "config/profile_data.h"
#include "devices/common/name_lists.h"
#include "devices/common/status_poll.h"
#include "devices/device_events.h"
#include "devices/event_readers.h"
#include "devices/peripheral_light.h"
#include "devices/usb_device.h"

#include <atomic>
#include <memory>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace norvane::devices {

// The lighted mousepad with its phone charger: its page (the pad picture with its LED spots),
// its lighting in software and on the device, and its event reader.
//
// Threads: the page and every device transaction run on the UI thread. The light thread
// renders through PeripheralLighting; the event reader stores what an event asks for in
// atomics (and the record's active block) and posts a device event.
class CTarnexMousePadDevice : public CTarnexUSBDevice {
public:
    static constexpr std::string_view kClassName = "TarnexMousePadDevice";
    static constexpr std::string_view kPictureName = "mousepad_device_key_light";
    static constexpr int kDeviceKind = 3;
    static constexpr int kPadLightClass = 2;
    static constexpr int kResyncDelayMs = 500;
    // The pad's page names macros from its own index file.
    static constexpr std::string_view kMacroIndexFile = "velto_macro.config";

    static constexpr int kPadLeds = 15;

    CTarnexMousePadDevice();
    ~CTarnexMousePadDevice() override;
    CTarnexMousePadDevice(const CTarnexMousePadDevice&) = delete;
    CTarnexMousePadDevice& operator=(const CTarnexMousePadDevice&) = delete;

    std::string_view GetClass() const override { return kClassName; }

    // --- operations of the base ---
    void InitPage() override;
    int ApplyProfileLighting() override;
    void SyncFromDevice() override;
    void ResyncFromDevice() override;
    void PollStatus() override;
    int LoadProfileToPage() override;
    void RefreshPage() override;
    int WriteDeviceSettings(const DeviceSettingsRequest& request) override;
    void LoadLightNames() override;
    std::string GetProfileName() const override;
    void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) override;
    bool OpenEventInterface(int slot, std::string_view path, bool reopen = false) override;
    void CloseEventInterface(int slot) override;
    void OnDeviceEvent() override;
    void StopDeviceThreads() override;

    // --- the pad's own ---
    virtual void BuildPage();
    std::array<std::uint32_t, 4> GetLightState() const { return LightInfoToWords(LightState()); }
    bool IsEventInterfaceOpen(int slot) const { return readers_.IsOpen(slot); }
    bool LightThreadRunning() const { return lighting_.Running(); }

    // --- state, for the pages and tests ---
    config::CBasicProfiledata& Profile() { return *profile_; }
    const DeviceNameLists& Names() const { return names_; }
    light::PeripheralLightRecord Record() const { return lighting_.Record(); }
    PeripheralLighting& Lighting() { return lighting_; }
    int LastReadBack() const { return lastReadBack_; }

protected:
    // A device that is a pad with more on top (the headset): its light class, LED count and
    // profile data.
    CTarnexMousePadDevice(light::PeripheralClass lightClass, int ledCount,
                          std::unique_ptr<config::CBasicProfiledata> profile);
    config::CBasicProfiledata* ProfileData() override { return profile_.get(); }
    std::vector<config::LightModeName> ModeNames();
    // Starts (or restarts) the light thread.
    void StartLight();

private:
    void OnEventCode(std::uint16_t code);

    std::unique_ptr<config::CBasicProfiledata> profile_;
    DeviceNameLists names_;
    int lastReadBack_ = 0;

    // What the event reader asks of the UI thread.
    DeviceEventPost eventPost_{*this};
    std::atomic<bool> resyncPending_{false};
    std::atomic<bool> refreshPending_{false};

    // Last: destroyed, and joined, before everything their bodies use.
    PeripheralLighting lighting_;
    EventReaders readers_;
};

}  // namespace norvane::devices
