#pragma once

#include <cstdint>
#include <optional>

#include "input/hook_records.h"

// X keycodes (evdev code + 8) to set-1 make codes with their extended flag.
namespace norvane::input {

struct X11KeyRow {
    std::uint8_t xKeycode;
    std::uint8_t scanCode;
    std::uint8_t extended;
};

struct ScanCode {
    std::uint8_t scanCode = 0;
    bool extended = false;
    friend constexpr bool operator==(const ScanCode&, const ScanCode&) = default;
};

// nullopt for keys without a set-1 make code.
std::optional<ScanCode> ScanCodeOfXKeycode(unsigned xKeycode);
// The inverse, for sending keys: the first X keycode with that make code.
std::optional<unsigned> XKeycodeOfScanCode(ScanCode code);
// The hook record of an X key event (keyCode from the scan code table, 0 when unknown).
KeyHookRecord KeyRecordOfXKeycode(unsigned xKeycode, std::uint32_t timeMs);

}  // namespace norvane::input
