#include "devices/light/light_frame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace norvane::devices::light {
namespace {

TEST(LightFrame, OutOfRangeIndicesAreIgnored) {
    LightFrame frame(4);
    frame.Fill({9, 9, 9, 9});
    frame.Set(-1, {1, 2, 3, 4});
    frame.Set(4, {1, 2, 3, 4});
    EXPECT_EQ(frame.Get(-1), LedColor{});
    EXPECT_EQ(frame.Get(4), LedColor{});
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frame.Get(i), (LedColor{9, 9, 9, 9}));
    }
    frame.Set(3, {1, 2, 3, 4});
    EXPECT_EQ(frame.Get(3), (LedColor{1, 2, 3, 4}));
    EXPECT_EQ(LightFrame{}.Get(0), LedColor{});
    frame.Resize(6);
    EXPECT_EQ(frame.Size(), 6U);
    EXPECT_EQ(frame.Get(3), LedColor{});
    frame.Set(5, {1, 1, 1, 1});
    EXPECT_EQ(frame.Get(5), (LedColor{1, 1, 1, 1}));
}

TEST(LightFrame, ReaderNeverSeesAHalfWrittenEntry) {
    // The writer stores entries whose four bytes are equal; a torn read would mix two.
    LightFrame frame(170);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (std::uint32_t n = 0; !stop.load(); ++n) {
            const auto b = static_cast<std::uint8_t>(n);
            frame.Fill({b, b, b, b});
        }
    });
    int torn = 0;
    for (int pass = 0; pass < 2000; ++pass) {
        for (int i = 0; i < 170; ++i) {
            const LedColor c = frame.Get(i);
            torn += c.red != c.green || c.green != c.blue || c.blue != c.level ? 1 : 0;
        }
    }
    stop = true;
    writer.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace norvane::devices::light
