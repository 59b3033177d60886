#include "devices/light/frame_packing.h"

#include "devices/light/reactive.h"
#include "devices/light/tables.h"

#include <algorithm>

namespace norvane::devices::light {

std::array<std::uint8_t, kKeyboardFrameBytes> PackLightFrame(const LightFrame& frame) {
    std::array<std::uint8_t, kKeyboardFrameBytes> buffer{};
    const std::size_t leds = std::min(frame.Size(), kMaxLeds);
    for (std::size_t i = 0; i < leds; ++i) {
        const LedColor entry = frame.Get(static_cast<int>(i));
        buffer[3 * i] = Scale(entry.red, entry.level);
        buffer[3 * i + 1] = Scale(entry.green, entry.level);
        buffer[3 * i + 2] = Scale(entry.blue, entry.level);
    }
    return buffer;
}

std::size_t LightFrameBytes(std::size_t ledCount) {
    return 3 * std::min(ledCount, kMaxLeds);
}

std::array<std::uint8_t, kKeyboardFrameBytes> PackKeyboardFrame(const LightFrame& frame,
                                                                std::span<const std::uint8_t> keyLedMap) {
    std::array<std::uint8_t, kKeyboardFrameBytes> buffer{};
    const std::size_t keys = std::min<std::size_t>(kStreamedKeys, keyLedMap.size());
    for (std::size_t key = 0; key < keys; ++key) {
        const std::size_t led = keyLedMap[key];
        if (led >= kMaxLeds) {
            continue;
        }
        const LedColor entry = frame.Get(static_cast<int>(key));
        buffer[3 * led] = Scale(entry.red, entry.level);
        buffer[3 * led + 1] = Scale(entry.blue, entry.level);
        buffer[3 * led + 2] = Scale(entry.green, entry.level);
    }
    return buffer;
}

std::size_t KeyboardStreamLength(int mode) {
    return mode == 29 || mode == 30 ? kKeyboardStreamBytes : 0;
}

}  // namespace norvane::devices::light
