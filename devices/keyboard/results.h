#pragma once

// Result codes of the keyboard's own sequences, beside the command codes of device::result.
namespace norvane::devices::keyboard::result {

// The device reported a key count of 0 or above 170: nothing read, the tables kept.
inline constexpr int kBadKeyCount = -301;
// No complete key table of the device's current key count is held: the key table is not written.
inline constexpr int kNoKeyTable = -302;
// The light mode names hold no code to send: the settings are not written.
inline constexpr int kNoModeCode = -303;

}  // namespace norvane::devices::keyboard::result
