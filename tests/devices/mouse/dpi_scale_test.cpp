// Slider units, DPI and typed DPI texts over the mouse's sensor ranges.
#include "devices/mouse/dpi_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norvane::devices::mouse {
namespace {

constexpr std::uint16_t kCoarse = 0x3325;
constexpr std::uint16_t kLinear = 0x3389;

const DpiScale kCoarseScale{kCoarse, 100, 63, 200};
const DpiScale kLinearScale{kLinear, 50, 320, 100};

TEST(DpiScale, FromTheDeviceInfoBlock) {
    device::DeviceInfoBlock info;
    info.bytes[9] = 0x25;
    info.bytes[10] = 0x33;
    info.bytes[11] = 100;
    info.bytes[12] = 0x3F;
    info.bytes[13] = 0x01;
    info.bytes[14] = 0xC8;
    info.bytes[15] = 0x02;
    const DpiScale scale = DpiScale::FromInfo(info);
    EXPECT_EQ(scale.sensor, kCoarse);
    EXPECT_EQ(scale.step, 100);
    EXPECT_EQ(scale.sliderMax, 0x13F);
    EXPECT_EQ(scale.base, 0x2C8);
    EXPECT_TRUE(scale.EntryEnabled());
    EXPECT_EQ(scale.MaxTypedDpi(), 48 * 100 + (0x13F - 48) * 200 + 0x2C8);  // the top position's DPI
}

TEST(DpiScale, SliderPositionsShowTheirDpi) {
    struct Case {
        DpiScale scale;
        int slider;
        int dpi;
    };
    const std::vector<Case> cases = {
        {kCoarseScale, 0, 200},   {kCoarseScale, 1, 300},
        {kCoarseScale, 48, 5000},  // the knee: still 100 per unit
        {kCoarseScale, 49, 5200},  // 200 per unit above it
        {kCoarseScale, 60, 7400}, {kCoarseScale, 63, 8000},
        {kCoarseScale, 64, 8000},                            // past the slider: its top
        {kCoarseScale, -5, 200},  {kLinearScale, 48, 2500},  // no knee on other sensors
        {kLinearScale, 60, 3100}, {kLinearScale, 320, 16100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scale.DisplayDpi(c.slider), c.dpi)
            << "sensor " << c.scale.sensor << " slider " << c.slider;
    }
}

TEST(DpiScale, TypedTextsBecomeSliderPositions) {
    struct Case {
        DpiScale scale;
        std::string text;
        int slider;
    };
    const std::vector<Case> cases = {
        {kCoarseScale, "5000", 48},
        {kCoarseScale, "6200", 54},  // above the knee: shows 6200 again
        {kCoarseScale, "5100", 48},  // between two coarse positions: the lower one
        {kCoarseScale, "5200", 49},
        {kCoarseScale, "7400", 60},
        {kCoarseScale, "4999", 47},
        {kCoarseScale, "50", 0},  // below the base: the base
        {kCoarseScale, "", 0},
        {kCoarseScale, "abc", 0},
        {kCoarseScale, "-700", 0},
        {kCoarseScale, "6200 dpi", 54},  // the leading digits
        {kCoarseScale, "  6200", 54},
        {kCoarseScale, "62x00", 0},
        {kCoarseScale, "99999", 63},  // clamped to the slider
        {kCoarseScale, "99999999999999999999", 63},
        {kLinearScale, "6200", 122},
        {kLinearScale, "6249", 122},
        {kLinearScale, "100", 0},
        {kLinearScale, "20000", 320},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scale.SliderOf(c.text), c.slider)
            << "sensor " << c.scale.sensor << " text '" << c.text << "'";
    }
}

TEST(DpiScale, EverySliderPositionSurvivesItsOwnDisplay) {
    for (const DpiScale& scale : {kCoarseScale, kLinearScale, DpiScale{kCoarse, 50, 100, 400},
                                  DpiScale{kCoarse, 255, 47, 0}, DpiScale{kCoarse, 1, 400, 50}}) {
        for (int v = 0; v <= scale.sliderMax; ++v) {
            const int dpi = scale.DisplayDpi(v);
            ASSERT_EQ(scale.SliderOf(std::to_string(dpi)), v)
                << "sensor " << scale.sensor << " step " << scale.step << " shows " << dpi;
        }
    }
}

TEST(DpiScale, NoStepOrNoRangeDisablesEntry) {
    const std::vector<DpiScale> disabled = {
        {kCoarse, 0, 63, 200},  // info never read, or a step of 0
        {kLinear, 0, 320, 100},
        {kCoarse, 100, 0, 200},
        {},
    };
    for (const DpiScale& scale : disabled) {
        EXPECT_FALSE(scale.EntryEnabled());
        EXPECT_EQ(scale.SliderOf("6200"), 0);
        EXPECT_EQ(scale.SliderOf(""), 0);
        EXPECT_EQ(scale.DisplayDpi(10), scale.base);
    }
    EXPECT_FALSE(DpiScale::FromInfo(device::DeviceInfoBlock{}).EntryEnabled());
}

}  // namespace
}  // namespace norvane::devices::mouse
