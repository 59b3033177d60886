#pragma once

#include "devices/light/light_frame.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The headset's LED frame as output reports of its own: report ID 0xFF, bank, colour code,
// a zero, then up to seven colour values of one half of the LEDs.
namespace norvane::devices::headset {

inline constexpr int kHeadsetLeds = 13;
inline constexpr std::uint8_t kLedReportId = 0xFF;
inline constexpr std::size_t kLedReportSize = 17;
inline constexpr std::size_t kLedReportCount = 12;
// Scaled channel values never go above this.
inline constexpr std::uint8_t kLedValueCap = 247;

using LedReport = std::array<std::uint8_t, kLedReportSize>;
using LedReports = std::array<LedReport, kLedReportCount>;

// One channel of one LED: value x level / 256, capped.
constexpr std::uint8_t ScaledLedValue(std::uint8_t value, std::uint8_t level) {
    const unsigned scaled = static_cast<unsigned>(value) * level / 256U;
    return static_cast<std::uint8_t>(scaled > kLedValueCap ? kLedValueCap : scaled);
}

// The twelve reports of a frame (LEDs past the frame's size are dark): red, green, blue, each
// for banks 0x22 and 0x44, LEDs 0-6 with codes 0xAA-0xAC and 7-12 with 0xAD-0xAF. The reports
// are cut from one buffer, so a report of six values keeps the seventh value of the report
// before it in byte 10, as the device has always been sent.
LedReports BuildLedReports(const light::LightFrame& frame);

}  // namespace norvane::devices::headset
