#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The 21-byte light record of the mouse, the mousepad and the headset: the light thread's mode
// and speed selectors, and the image of the first bytes of the device's settings block.
namespace norvane::devices::light {

inline constexpr std::size_t kLightRecordSize = 21;

// Byte positions of the record.
namespace light_record {
inline constexpr std::size_t kActiveBlock = 0;  // the device's active settings block
inline constexpr std::size_t kMode = 1;         // mode index in memory, mode code on the wire
inline constexpr std::size_t kBrightness = 2;
inline constexpr std::size_t kSpeed = 3;  // speed in memory, 4 - speed on the wire
inline constexpr std::size_t kDirection = 4;
inline constexpr std::size_t kMultiColor = 5;
inline constexpr std::size_t kRed = 6;
inline constexpr std::size_t kGreen = 7;
inline constexpr std::size_t kBlue = 8;
// Bytes 9-20: device data, kept as read back and sent back unchanged.
inline constexpr std::size_t kDeviceData = 9;
}  // namespace light_record

struct PeripheralLightRecord {
    std::array<std::uint8_t, kLightRecordSize> bytes{};

    constexpr std::uint8_t ActiveBlock() const { return bytes[light_record::kActiveBlock]; }
    constexpr std::uint8_t Mode() const { return bytes[light_record::kMode]; }
    constexpr std::uint8_t Brightness() const { return bytes[light_record::kBrightness]; }
    constexpr std::uint8_t Speed() const { return bytes[light_record::kSpeed]; }
    constexpr std::uint8_t Direction() const { return bytes[light_record::kDirection]; }
    constexpr std::uint8_t MultiColor() const { return bytes[light_record::kMultiColor]; }
    constexpr std::uint8_t Red() const { return bytes[light_record::kRed]; }
    constexpr std::uint8_t Green() const { return bytes[light_record::kGreen]; }
    constexpr std::uint8_t Blue() const { return bytes[light_record::kBlue]; }

    constexpr void SetActiveBlock(std::uint8_t v) { bytes[light_record::kActiveBlock] = v; }
    constexpr void SetMode(std::uint8_t v) { bytes[light_record::kMode] = v; }
    constexpr void SetBrightness(std::uint8_t v) { bytes[light_record::kBrightness] = v; }
    constexpr void SetSpeed(std::uint8_t v) { bytes[light_record::kSpeed] = v; }
    constexpr void SetDirection(std::uint8_t v) { bytes[light_record::kDirection] = v; }
    constexpr void SetMultiColor(std::uint8_t v) { bytes[light_record::kMultiColor] = v; }
    constexpr void SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        bytes[light_record::kRed] = red;
        bytes[light_record::kGreen] = green;
        bytes[light_record::kBlue] = blue;
    }

    friend constexpr bool operator==(const PeripheralLightRecord&, const PeripheralLightRecord&) = default;
};

}  // namespace norvane::devices::light
