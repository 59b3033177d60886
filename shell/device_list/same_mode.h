#pragma once

#include "device/catalogue.h"
#include "shell/device_list/sync_effects.h"

#include <cstdint>
#include <optional>

namespace norvane::shell {

// The sync effect a device's light effect number stands for; nullopt for any other effect.
std::optional<SyncEffect> SyncEffectOf(device::DeviceKind kind, std::uint8_t effect);
// A device's own effect number for a sync effect.
std::uint8_t DeviceEffectOf(device::DeviceKind kind, SyncEffect effect);

}  // namespace norvane::shell
