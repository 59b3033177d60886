#pragma once

#include <cstdint>
#include <optional>

// What an event code read from a mouse's or mousepad's event interface asks for.
namespace norvane::devices {

inline constexpr std::uint32_t kPeripheralEventResync = 0x401;
inline constexpr std::uint32_t kPeripheralEventReactive = 0x403;

enum class PeripheralEventKind {
    None,
    Resync,       // 0x401: read the settings back
    Reactive,     // 0x403: a reactive flash (mouse)
    ActiveBlock,  // 0x10xx, 0x11xx: the device changed its active settings block
};

struct PeripheralEvent {
    PeripheralEventKind kind = PeripheralEventKind::None;
    std::uint8_t block = 0;             // ActiveBlock: the low 4 bits
    std::optional<std::uint8_t> stage;  // ActiveBlock by 0x11xx: bits 4-7, the current DPI stage

    friend constexpr bool operator==(const PeripheralEvent&, const PeripheralEvent&) = default;
};

constexpr PeripheralEvent ClassifyPeripheralEvent(std::uint32_t code) {
    if (code == kPeripheralEventResync) {
        return {PeripheralEventKind::Resync, 0, std::nullopt};
    }
    if (code == kPeripheralEventReactive) {
        return {PeripheralEventKind::Reactive, 0, std::nullopt};
    }
    const std::uint32_t high = code >> 8;
    if (code > kPeripheralEventResync && (high == 0x10 || high == 0x11)) {
        const auto block = static_cast<std::uint8_t>(code & 0x0F);
        if (high == 0x11) {
            return {PeripheralEventKind::ActiveBlock, block, static_cast<std::uint8_t>((code >> 4) & 0x0F)};
        }
        return {PeripheralEventKind::ActiveBlock, block, std::nullopt};
    }
    return {};
}

}  // namespace norvane::devices
