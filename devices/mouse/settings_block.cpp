#include "devices/mouse/settings_block.h"

#include "devices/common/light_mode_code.h"

#include <algorithm>

namespace norvane::devices::mouse {
namespace {

void Put16(MouseSettingsBlock& block, std::size_t at, int value) {
    const int v = std::clamp(value, 0, 0xFFFF);
    block[at] = static_cast<std::uint8_t>(v & 0xFF);
    block[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 0xFF));
}

}  // namespace

std::optional<MouseSettingsBlock> BuildMouseSettingsBlock(const MouseSettingsInputs& in) {
    const int mode = in.light.selectedMode >= kFirstHostMode ? 0 : in.light.selectedMode;
    const std::optional<std::uint8_t> code = LightModeCode(in.modes, mode);
    if (!code) {
        return std::nullopt;
    }
    MouseSettingsBlock b{};
    b[0] = in.firstByte;
    b[1] = *code;
    b[2] = std::min(in.light.brightness, kMaxLightIndex);
    b[3] = static_cast<std::uint8_t>(kMaxLightIndex - std::min(in.light.speed, kMaxLightIndex));
    b[4] = in.light.direction;
    b[5] = in.light.multiColor;
    b[6] = in.light.red;
    b[7] = in.light.green;
    b[8] = in.light.blue;
    b[11] = Byte(in.settings.reportRateStage);
    b[12] = Byte(in.currentStage);
    const std::size_t stages = std::min<std::size_t>(in.stages.size(), kBlockStages);
    for (std::size_t i = 0; i < stages; ++i) {
        const config::DpiStage& s = in.stages[i];
        const std::size_t at = 14 + 9 * i;
        b[at] = s.enabled;
        b[at + 1] = s.separateXY;
        Put16(b, at + 2, s.dpiX);
        Put16(b, at + 4, s.dpiY);
        b[at + 6] = s.red;
        b[at + 7] = s.green;
        b[at + 8] = s.blue;
    }
    b[59] = in.flag;
    Put16(b, 60, in.screenWidth);
    Put16(b, 62, in.screenHeight);
    const auto correction = std::find_if(in.corrections.begin(), in.corrections.end(),
                                         [](const config::CorrectionEntry& c) { return c.select != 0; });
    if (correction != in.corrections.end()) {
        b[64] = correction->minSquare;
        b[65] = correction->pixelThreshold;
    }
    return b;
}

MouseReadBackState DecodeMouseReadBack(const MouseReadBack& block, std::uint8_t activeBlock,
                                       std::span<const config::LightModeName> modes,
                                       const config::LightInfo& current) {
    MouseReadBackState state;
    state.mirror = block;
    state.mirror[0] = activeBlock;
    state.light = current;
    state.light.selectedMode = LightModeIndex(modes, block[1], current.selectedMode);
    state.light.brightness = std::min(block[2], kMaxLightIndex);
    state.light.speed = static_cast<std::uint8_t>(kMaxLightIndex - std::min(block[3], kMaxLightIndex));
    state.light.multiColor = block[5];
    state.light.red = block[6];
    state.light.green = block[7];
    state.light.blue = block[8];
    state.currentStage = block[12];
    return state;
}

}  // namespace norvane::devices::mouse
