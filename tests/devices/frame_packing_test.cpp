#include "devices/light/frame_packing.h"

#include <gtest/gtest.h>

#include <vector>

namespace norvane::devices::light {
namespace {

TEST(FramePacking, OtherDevicesPackLedsInOrderAsRedGreenBlue) {
    LightFrame frame(15);
    frame.Set(0, {200, 100, 50, 128});
    frame.Set(14, {255, 0, 255, 255});
    const auto buffer = PackLightFrame(frame);
    EXPECT_EQ(buffer[0], 100);
    EXPECT_EQ(buffer[1], 50);
    EXPECT_EQ(buffer[2], 25);
    EXPECT_EQ(buffer[42], 254);
    EXPECT_EQ(buffer[43], 0);
    EXPECT_EQ(buffer[44], 254);
    EXPECT_EQ(buffer[45], 0);
    EXPECT_EQ(LightFrameBytes(15), 45U);
    // The buffer holds 170 LEDs; a larger frame is cut there.
    LightFrame large(200);
    large.Fill({255, 255, 255, 255});
    const auto full = PackLightFrame(large);
    EXPECT_EQ(full[509], 254);
    EXPECT_EQ(full[510], 0);
    EXPECT_EQ(LightFrameBytes(200), 510U);
}

TEST(FramePacking, KeyboardPacksKeysAtTheirLedAsRedBlueGreen) {
    LightFrame frame(170);
    frame.Set(0, {200, 100, 50, 128});
    frame.Set(1, {255, 255, 255, 255});
    frame.Set(125, {10, 20, 30, 255});
    std::vector<std::uint8_t> map(170, 255);
    map[0] = 5;
    map[1] = 170;  // no LED
    map[125] = 0;
    const auto buffer = PackKeyboardFrame(frame, map);
    EXPECT_EQ(buffer[15], 100);
    EXPECT_EQ(buffer[16], 25);
    EXPECT_EQ(buffer[17], 50);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(buffer[1], 29);
    EXPECT_EQ(buffer[2], 19);
    int lit = 0;
    for (std::uint8_t b : buffer) {
        lit += b != 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 6);
    EXPECT_EQ(ButtonColour({0x11, 0x22, 0x33, 0x44}), 0x223311U);
}

TEST(FramePacking, KeyboardKeysFrom126AreNeverStreamed) {
    LightFrame frame(170);
    frame.Fill({255, 255, 255, 255});
    std::vector<std::uint8_t> map(170, 255);
    for (std::size_t key = 126; key < 170; ++key) {
        map[key] = static_cast<std::uint8_t>(key - 126);
    }
    const auto buffer = PackKeyboardFrame(frame, map);
    for (std::uint8_t b : buffer) {
        EXPECT_EQ(b, 0);
    }
    // A short map covers only its keys; the highest LED lands inside the buffer.
    const std::vector<std::uint8_t> shortMap = {169};
    const auto edge = PackKeyboardFrame(frame, shortMap);
    EXPECT_EQ(edge[507], 254);
    EXPECT_EQ(edge[509], 254);
}

TEST(FramePacking, OnlyKeyboardHostModesStream) {
    for (int mode = 0; mode <= 31; ++mode) {
        EXPECT_EQ(KeyboardStreamLength(mode), mode == 29 || mode == 30 ? 378U : 0U) << mode;
    }
}

}  // namespace
}  // namespace norvane::devices::light
