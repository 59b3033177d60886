#pragma once

#include <cstdint>

// What an event code read from the keyboard's event interface asks for.
namespace norvane::devices::keyboard {

inline constexpr std::uint32_t kEventResync = 0x401;
inline constexpr std::uint32_t kEventRebuild = 0x402;

enum class KeyboardEventKind {
    None,
    Resync,         // 0x401: read the settings again
    Rebuild,        // 0x402: reload the profile page, then read the settings again
    ProfileSwitch,  // 0x10xx, 0x11xx: the keyboard changed its active profile
};

struct KeyboardEvent {
    KeyboardEventKind kind = KeyboardEventKind::None;
    std::uint8_t profileIndex = 0;  // ProfileSwitch: the low 4 bits of the code

    friend constexpr bool operator==(const KeyboardEvent&, const KeyboardEvent&) = default;
};

constexpr KeyboardEvent ClassifyKeyboardEvent(std::uint32_t code) {
    if (code == kEventResync) {
        return {KeyboardEventKind::Resync, 0};
    }
    if (code == kEventRebuild) {
        return {KeyboardEventKind::Rebuild, 0};
    }
    const std::uint32_t high = code >> 8;
    if (code > kEventRebuild && (high == 0x10 || high == 0x11)) {
        return {KeyboardEventKind::ProfileSwitch, static_cast<std::uint8_t>(code & 0x0F)};
    }
    return {};
}

}  // namespace norvane::devices::keyboard
