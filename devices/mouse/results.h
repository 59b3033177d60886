#pragma once

// Result codes of the mouse's own sequences, beside the command codes of device::result.
namespace norvane::devices::mouse::result {

// The device reported a key count of 0 or above kMaxMouseKeys: nothing read, the keys kept.
inline constexpr int kBadKeyCount = -311;
// No complete factory key table of the device's current key count is held: not written.
inline constexpr int kNoKeyTable = -312;
// The light mode names hold no code to send: the settings are not written.
inline constexpr int kNoModeCode = -313;
// A recoil pattern is not one the mouse accepts, or the image does not fit its length
// fields: nothing sent.
inline constexpr int kBadShootPattern = -314;

}  // namespace norvane::devices::mouse::result
