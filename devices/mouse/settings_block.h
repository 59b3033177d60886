#pragma once

#include "config/light_data.h"
#include "config/mouse_profiledata.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The mouse's settings block: lighting, report rate, the five DPI stages, screen size and
// sensor correction, one 66-byte block per settings slot (slot n at n x 128).
namespace norvane::devices::mouse {

inline constexpr std::size_t kMouseSettingsSize = 66;
// A block read back: the settings and five bytes the system keeps without reading them.
inline constexpr std::size_t kMouseReadBackSize = 71;
inline constexpr std::uint16_t kMouseSettingsStride = 128;
inline constexpr int kBlockStages = 5;
// Selected light modes from this index on are sent as mode 0.
inline constexpr int kFirstHostMode = 10;

using MouseSettingsBlock = std::array<std::uint8_t, kMouseSettingsSize>;
using MouseReadBack = std::array<std::uint8_t, kMouseReadBackSize>;

struct MouseSettingsInputs {
    config::LightInfo light;
    std::span<const config::LightModeName> modes;  // the built-in light modes with their codes
    std::span<const config::DpiStage> stages;      // the first five are sent
    int currentStage = 0;
    config::MouseSettings settings;
    std::span<const config::CorrectionEntry> corrections;
    int screenWidth = 0;
    int screenHeight = 0;
    std::uint8_t firstByte = 0;
    std::uint8_t flag = 1;
};

// The block of the inputs; nothing when the light mode names hold no code to send.
// Brightness and speed are clamped to 0-4, the screen size to 16 bits.
std::optional<MouseSettingsBlock> BuildMouseSettingsBlock(const MouseSettingsInputs& inputs);

// What a block read back gives the mouse object.
struct MouseReadBackState {
    MouseReadBack mirror{};   // the block with byte 0 = the active block index
    config::LightInfo light;  // mode, brightness, speed, multi-colour and colour from the block
    int currentStage = 0;     // byte 12 as it came (the profile checks it against its stages)
};

// Decodes a block read from the active block index; light fields the block does not carry
// (direction and the rest) keep the values of current; a mode code no mode has keeps the
// current mode; brightness and speed are clamped to 0-4.
MouseReadBackState DecodeMouseReadBack(const MouseReadBack& block, std::uint8_t activeBlock,
                                       std::span<const config::LightModeName> modes,
                                       const config::LightInfo& current);

}  // namespace norvane::devices::mouse
