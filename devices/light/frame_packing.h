#pragma once

#include "devices/light/light_frame.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// LED frames on the wire and on the page.
namespace norvane::devices::light {

inline constexpr std::size_t kKeyboardFrameBytes = 512;

// LED i at bytes 3i, 3i + 1, 3i + 2 as red, green, blue scaled by the level, for the
// first 170 LEDs; the device is sent the first LightFrameBytes(LED count) bytes.
std::array<std::uint8_t, kKeyboardFrameBytes> PackLightFrame(const LightFrame& frame);
std::size_t LightFrameBytes(std::size_t ledCount);
inline constexpr std::size_t kKeyboardStreamBytes = 378;
inline constexpr int kStreamedKeys = 126;

// Keys 0-125 of the frame, each at 3 × its LED (from the key-to-LED map; 170 or more,
// or a key past the map's end, means none) as red, blue, green scaled by the level.
// Keys 126-169 are never streamed.
std::array<std::uint8_t, kKeyboardFrameBytes> PackKeyboardFrame(const LightFrame& frame,
                                                                std::span<const std::uint8_t> keyLedMap);

// Bytes of the packed frame sent per tick: only the host-rendered modes 29 and 30 stream.
std::size_t KeyboardStreamLength(int mode);

// Colour value of a light button on the page: red | blue << 8 | green << 16.
constexpr std::uint32_t ButtonColour(LedColor entry) {
    return static_cast<std::uint32_t>(entry.red) | static_cast<std::uint32_t>(entry.blue) << 8 |
           static_cast<std::uint32_t>(entry.green) << 16;
}

}  // namespace norvane::devices::light
