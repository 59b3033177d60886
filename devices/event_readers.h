#pragma once

#include "device/hid_channel.h"
#include "devices/device_thread.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace norvane::devices {

// The event interfaces of a device object, slot 0 by cable and slot 1 through the receiver,
// each with its reader thread. A reader hands every event code to the owner's callback on
// its own thread. Open, Close and Stop run on the owner's (UI) thread.
class EventReaders {
public:
    using OnCode = std::function<void(std::uint16_t)>;

    // bound: how long a stop waits for a reader; endText: traced when a reader ended.
    EventReaders(device::HidChannel& events, std::chrono::milliseconds bound, std::string_view endText);
    ~EventReaders();
    EventReaders(const EventReaders&) = delete;
    EventReaders& operator=(const EventReaders&) = delete;

    // Opens the slot's interface and starts its reader; with reopen (or a reader running) the
    // slot is closed first. False for a slot other than 0 and 1 or an interface that does not open.
    bool Open(int slot, std::string_view path, bool reopen, OnCode onCode);
    // Stops the slot's reader and closes its interface.
    void Close(int slot);
    bool IsOpen(int slot) const;
    // Stops every reader; the interfaces stay as they are.
    void StopAll();

private:
    device::HidInterface& Interface(int slot);
    std::mutex& Lock(int slot);
    void StopReader(int slot);

    device::HidChannel& events_;
    const std::string_view endText_;
    std::array<std::atomic<bool>, 2> open_{};
    // Last: joined before the rest goes.
    std::array<DeviceThread, 2> readers_;
};

}  // namespace norvane::devices
