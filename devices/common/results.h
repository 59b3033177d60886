#pragma once

// Result codes of the device objects' own sequences, beside the command codes of
// device::result.
namespace norvane::devices::result {

// The device reported a key count of 0 or above what its kind holds: nothing read, the
// tables kept.
inline constexpr int kBadKeyCount = -301;
// No complete key table of the device's current key count is held: the key table is not written.
inline constexpr int kNoKeyTable = -302;
// The light mode names hold no code to send: the settings are not written.
inline constexpr int kNoModeCode = -303;
// A recoil pattern is not one the mouse accepts, or the image does not fit its length
// fields: nothing sent.
inline constexpr int kBadShootPattern = -304;

}  // namespace norvane::devices::result
