#pragma once

#include "app/ctl.h"
#include "device/catalogue.h"
#include "device/hid_channel.h"
#include "device/hid_backend.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the device sub-commands of norvane-ctl share.
namespace norvane::ctl {

// One catalogue interface found on the machine.
struct Found {
    std::string path;
    int row = -1;
    device::DeviceCatalogEntry entry{};
    device::HidPathDescription description;
};

// Every interface the catalogue recognises, in enumeration order.
std::vector<Found> MatchedInterfaces(device::HidBackend& backend);

// The command interface of the device the argument names (product, VID:PID or path).
int ResolveDevice(Context& context, std::string_view deviceName, Found& result);
// Resolves the single DEVICE argument of a command.
int NeedDevice(Context& context, std::span<const std::string_view> args, std::string_view command, Found& found);

// Opens the interface in the slot its kind uses and sets the link mode.
int OpenChannel(Context& context, const Found& found, device::HidChannel& channel);

// Explains a failed command operation; returns the exit code.
int CommandFailure(Context& context, std::string_view what, int code);

// Runs body between BeginConfig and EndConfig; EndConfig is sent even when body fails.
int Bracketed(Context& context, device::HidChannel& channel, const std::function<int()>& body);

std::string DeviceLine(const Found& found);
std::string HexDump(std::span<const std::uint8_t> bytes);

}  // namespace norvane::ctl
