#pragma once

#include "device/catalogue.h"

#include <ostream>
#include <span>
#include <string_view>

namespace norvane::update {

// "update-check [--url URL] [--firmware CHIP=HEX]... [--timeout-ms N] [--ca-file FILE]":
// queries the update service for every firmware row and the application row and
// prints one line per row. args are the words after "update-check". Exit code 0 when
// every row was answered, 1 when a row failed or the server was not reached, 2 for a
// usage error.
int RunUpdateCheckCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// The same, with the versions of the devices that are open (paired with the firmware
// rows by identity); rows without a device are asked with version 0.
int RunUpdateCheckCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                          std::span<const device::OpenDeviceVersion> openDevices);

}  // namespace norvane::update
