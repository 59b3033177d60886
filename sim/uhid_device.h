#pragma once

#include "platform/unique_fd.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::sim {

// One virtual HID device created through /dev/uhid: the kernel gives it a real
// hidraw node, and every report an application writes to that node arrives here.
class UhidDevice {
public:
    struct Identity {
        std::string name;
        std::string phys;  // ends in "/inputN": N is the USB interface number
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        std::uint16_t version = 0;
    };

    // An event the kernel sent to the device.
    struct Event {
        enum class Type { Output, Open, Close, Start, Stop, Other };
        Type type = Type::Other;
        std::vector<std::uint8_t> data;  // output report, report ID first when numbered
    };

    UhidDevice() = default;
    UhidDevice(UhidDevice&&) noexcept = default;
    UhidDevice& operator=(UhidDevice&&) noexcept = default;
    ~UhidDevice();

    // Creates the device; false with errno set when /dev/uhid cannot be used.
    bool Create(const Identity& identity, std::span<const std::uint8_t> reportDescriptor,
                const char* uhidPath = "/dev/uhid");
    void Destroy();
    bool Valid() const { return fd_.Valid(); }
    int Fd() const { return fd_.Get(); }

    // Waits up to timeoutMs (-1 without limit) for the next kernel event; false on
    // timeout or error.
    bool ReadEvent(Event& event, int timeoutMs);

    // Delivers one input report (report ID first when the descriptor numbers reports).
    bool SendInput(std::span<const std::uint8_t> report);

private:
    platform::UniqueFd fd_;
};

}  // namespace norvane::sim
