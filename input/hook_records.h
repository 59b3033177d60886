#pragma once

#include <cstdint>

// What one hook event carries. Events are posted, so the record travels by value in the
// message's second parameter instead of pointing at memory of the hook.
namespace norvane::input {

inline constexpr std::uint32_t kKeyFlagExtended = 0x01;
inline constexpr std::uint32_t kKeyFlagInjected = 0x10;

struct KeyHookRecord {
    std::uint16_t keyCode = 0;  // ScanCodeTable key code of the key, 0 when unknown
    std::uint8_t scanCode = 0;  // set-1 make code, 0 when the key has none
    std::uint32_t flags = 0;    // bit 0: extended key
    std::uint32_t time = 0;     // event time in milliseconds (backend clock)

    friend constexpr bool operator==(const KeyHookRecord&, const KeyHookRecord&) = default;
};

struct MouseHookRecord {
    std::int16_t x = 0;  // screen coordinates
    std::int16_t y = 0;
    // The high 16 bits of the mouse data word: the extra button (1 back, 2 forward) for
    // 0x020B/0x020C, the wheel delta (multiples of 120, signed) for wheel messages.
    std::int16_t data = 0;

    friend constexpr bool operator==(const MouseHookRecord&, const MouseHookRecord&) = default;
};

static_assert(sizeof(std::intptr_t) >= 8, "hook records are packed into a 64-bit parameter");

constexpr std::intptr_t PackKeyRecord(const KeyHookRecord& r) {
    const std::uint64_t v = std::uint64_t{r.scanCode} | (std::uint64_t{r.flags & 0xFFu} << 8) |
                            (std::uint64_t{r.keyCode} << 16) | (std::uint64_t{r.time} << 32);
    return static_cast<std::intptr_t>(v);
}
constexpr KeyHookRecord UnpackKeyRecord(std::intptr_t packed) {
    const auto v = static_cast<std::uint64_t>(packed);
    return {static_cast<std::uint16_t>(v >> 16), static_cast<std::uint8_t>(v),
            static_cast<std::uint32_t>((v >> 8) & 0xFFu), static_cast<std::uint32_t>(v >> 32)};
}

constexpr std::intptr_t PackMouseRecord(const MouseHookRecord& r) {
    const std::uint64_t v = std::uint64_t{static_cast<std::uint16_t>(r.x)} |
                            (std::uint64_t{static_cast<std::uint16_t>(r.y)} << 16) |
                            (std::uint64_t{static_cast<std::uint16_t>(r.data)} << 32);
    return static_cast<std::intptr_t>(v);
}
constexpr MouseHookRecord UnpackMouseRecord(std::intptr_t packed) {
    const auto v = static_cast<std::uint64_t>(packed);
    return {static_cast<std::int16_t>(static_cast<std::uint16_t>(v)),
            static_cast<std::int16_t>(static_cast<std::uint16_t>(v >> 16)),
            static_cast<std::int16_t>(static_cast<std::uint16_t>(v >> 32))};
}

}  // namespace norvane::input
