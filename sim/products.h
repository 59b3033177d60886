#pragma once

#include "sim/firmware.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The catalogue's products as virtual devices: identity, USB interfaces with their report
// descriptors, and the factory memory of their firmware.
namespace norvane::sim {

struct SimInterfaceSpec {
    std::uint16_t number;
    std::vector<std::uint8_t> descriptor;
};

struct SimProductSpec {
    std::string_view name;  // as given to --simulate
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint16_t version;  // bcdDevice
    std::vector<SimInterfaceSpec> interfaces;
    bool receiver = false;
};

// "keyboard", "keyboard2" (0x511D), "keyboard-alt" (0x05AC:0x024F), "mouse", "receiver",
// "mousepad", "headset".
std::optional<SimProductSpec> FindSimProduct(std::string_view name);
std::vector<std::string_view> SimProductNames();

// Factory memory of a product's firmware.
FirmwareModel MakeFirmware(const SimProductSpec& product);

// Report descriptors: the four collections of a peripheral's interface 1 (keyboard,
// system control, consumer events with report 3, vendor commands with report 4), the
// headset's single consumer collection, and boot keyboard and mouse interfaces.
std::vector<std::uint8_t> PeripheralDescriptor();
std::vector<std::uint8_t> HeadsetDescriptor();
std::vector<std::uint8_t> BootKeyboardDescriptor();
std::vector<std::uint8_t> BootMouseDescriptor();

inline constexpr std::uint8_t kEventReportId = 3;
inline constexpr std::uint8_t kCommandReportId = 4;
inline constexpr std::uint8_t kHeadsetLedReportId = 0xFF;

}  // namespace norvane::sim
