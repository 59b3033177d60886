// The headset's LED frame as its twelve output reports: order, scaling, the cap, and the
// seventh value a six-value report carries over.
#include "devices/headset/led_reports.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace norvane::test {
namespace {

namespace hs = devices::headset;
using devices::light::LedColor;
using devices::light::LightFrame;

struct ScaleCase {
    std::uint8_t value;
    std::uint8_t level;
    std::uint8_t sent;
};

TEST(HeadsetLedReports, ChannelValuesAreScaledByLevelAndCapped) {
    for (const ScaleCase& c : {ScaleCase{255, 255, 247}, ScaleCase{248, 255, 247}, ScaleCase{249, 254, 247},
                               ScaleCase{200, 255, 199}, ScaleCase{255, 128, 127}, ScaleCase{1, 255, 0},
                               ScaleCase{100, 0, 0}, ScaleCase{0, 255, 0}}) {
        EXPECT_EQ(hs::ScaledLedValue(c.value, c.level), c.sent) << int(c.value) << " at " << int(c.level);
    }
}

TEST(HeadsetLedReports, TwelveReportsByChannelBankAndHalf) {
    // Red 1..13, green 101..113, blue 201..213 at level 255 (each scaled down by one).
    LightFrame frame(13);
    for (int i = 0; i < 13; ++i) {
        const auto n = static_cast<std::uint8_t>(i + 1);
        frame.Set(i,
                  LedColor{n, static_cast<std::uint8_t>(100 + n), static_cast<std::uint8_t>(200 + n), 255});
    }
    const hs::LedReports reports = hs::BuildLedReports(frame);
    struct Row {
        std::uint8_t bank;
        std::uint8_t code;
        int base;   // channel offset of the values
        int first;  // first LED
        int count;
    };
    constexpr std::array<Row, 12> kRows = {{{0x22, 0xAA, 0, 0, 7},
                                            {0x22, 0xAD, 0, 7, 6},
                                            {0x44, 0xAA, 0, 0, 7},
                                            {0x44, 0xAD, 0, 7, 6},
                                            {0x22, 0xAB, 100, 0, 7},
                                            {0x22, 0xAE, 100, 7, 6},
                                            {0x44, 0xAB, 100, 0, 7},
                                            {0x44, 0xAE, 100, 7, 6},
                                            {0x22, 0xAC, 200, 0, 7},
                                            {0x22, 0xAF, 200, 7, 6},
                                            {0x44, 0xAC, 200, 0, 7},
                                            {0x44, 0xAF, 200, 7, 6}}};
    for (std::size_t r = 0; r < kRows.size(); ++r) {
        SCOPED_TRACE(r);
        const Row& row = kRows[r];
        const hs::LedReport& report = reports[r];
        EXPECT_EQ(report[0], 0xFF);
        EXPECT_EQ(report[1], row.bank);
        EXPECT_EQ(report[2], row.code);
        EXPECT_EQ(report[3], 0);
        for (int k = 0; k < row.count; ++k) {
            // value v + 1 at level 255 is sent as v.
            EXPECT_EQ(report[static_cast<std::size_t>(4 + k)], row.base + row.first + k) << k;
        }
        // A six-value report keeps the seventh value of the report before it.
        const int seventh = row.count == 7 ? row.base + 6 : kRows[r - 1].base + 6;
        EXPECT_EQ(report[10], seventh);
        for (std::size_t b = 11; b < report.size(); ++b) {
            EXPECT_EQ(report[b], 0) << b;
        }
    }
}

TEST(HeadsetLedReports, LedsBeyondASmallFrameAreDark) {
    LightFrame frame(3);
    frame.Fill(LedColor{255, 255, 255, 255});
    const hs::LedReports reports = hs::BuildLedReports(frame);
    EXPECT_EQ(reports[0][4], 247);
    EXPECT_EQ(reports[0][6], 247);
    EXPECT_EQ(reports[0][7], 0);
    EXPECT_EQ(reports[1][4], 0);
}

}  // namespace
}  // namespace norvane::test
