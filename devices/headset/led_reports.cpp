#include "devices/headset/led_reports.h"

#include <algorithm>

namespace norvane::devices::headset {
namespace {

struct ReportRow {
    std::uint8_t bank;
    std::uint8_t code;
    int channel;  // 0 red, 1 green, 2 blue
    int firstLed;
    int ledCount;
};

constexpr std::array<ReportRow, kLedReportCount> kReportRows = {{
    {0x22, 0xAA, 0, 0, 7},
    {0x22, 0xAD, 0, 7, 6},
    {0x44, 0xAA, 0, 0, 7},
    {0x44, 0xAD, 0, 7, 6},
    {0x22, 0xAB, 1, 0, 7},
    {0x22, 0xAE, 1, 7, 6},
    {0x44, 0xAB, 1, 0, 7},
    {0x44, 0xAE, 1, 7, 6},
    {0x22, 0xAC, 2, 0, 7},
    {0x22, 0xAF, 2, 7, 6},
    {0x44, 0xAC, 2, 0, 7},
    {0x44, 0xAF, 2, 7, 6},
}};

constexpr std::size_t kValuesOffset = 4;

}  // namespace

LedReports BuildLedReports(const light::LightFrame& frame) {
    std::array<std::array<std::uint8_t, kHeadsetLeds>, 3> channels{};
    for (int i = 0; i < kHeadsetLeds; ++i) {
        const light::LedColor led = frame.Get(i);
        const auto index = static_cast<std::size_t>(i);
        channels[0][index] = ScaledLedValue(led.red, led.level);
        channels[1][index] = ScaledLedValue(led.green, led.level);
        channels[2][index] = ScaledLedValue(led.blue, led.level);
    }
    LedReports reports{};
    LedReport buffer{};
    buffer[0] = kLedReportId;
    for (std::size_t r = 0; r < kReportRows.size(); ++r) {
        const ReportRow& row = kReportRows[r];
        buffer[1] = row.bank;
        buffer[2] = row.code;
        buffer[3] = 0;
        const auto& values = channels[static_cast<std::size_t>(row.channel)];
        std::copy_n(values.begin() + row.firstLed, row.ledCount, buffer.begin() + kValuesOffset);
        reports[r] = buffer;
    }
    return reports;
}

}  // namespace norvane::devices::headset
