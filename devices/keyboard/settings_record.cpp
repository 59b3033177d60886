#include "devices/keyboard/settings_record.h"

#include <algorithm>

namespace norvane::devices::keyboard {
namespace {

std::optional<std::uint8_t> CodeOf(const config::LightModeName& mode) {
    if (mode.value < 0 || mode.value > 0xFF) {
        return std::nullopt;
    }
    if (mode.value == 29 || mode.value == 30) {
        return kKeepModeCode;
    }
    return static_cast<std::uint8_t>(mode.value);
}

}  // namespace

std::optional<std::uint8_t> LightModeCode(std::span<const config::LightModeName> modes, int modeIndex) {
    if (modeIndex >= 0 && static_cast<std::size_t>(modeIndex) < modes.size()) {
        if (auto code = CodeOf(modes[static_cast<std::size_t>(modeIndex)])) {
            return code;
        }
    }
    if (modes.empty()) {
        return std::nullopt;
    }
    return CodeOf(modes.front());
}

std::uint8_t LightModeIndex(std::span<const config::LightModeName> modes, std::uint8_t code,
                            std::uint8_t currentIndex) {
    if (code == kKeepModeCode) {
        return currentIndex;
    }
    const std::size_t limit = std::min<std::size_t>(modes.size(), 0x100);
    for (std::size_t i = 0; i < limit; ++i) {
        if (modes[i].value == code) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return currentIndex;
}

std::optional<SettingsRecord> EncodeSettingsRecord(std::uint8_t value, const config::LightInfo& light,
                                                   const config::KeyboardSettings& settings,
                                                   std::span<const config::LightModeName> modes) {
    const std::optional<std::uint8_t> code = LightModeCode(modes, light.selectedMode);
    if (!code) {
        return std::nullopt;
    }
    SettingsRecord r{};
    r[0] = value;
    r[1] = *code;
    r[2] = std::min(light.brightness, kMaxLightIndex);
    r[3] = static_cast<std::uint8_t>(kMaxLightIndex - std::min(light.speed, kMaxLightIndex));
    r[4] = light.direction;
    r[5] = light.multiColor;
    r[6] = light.red;
    r[7] = light.green;
    r[8] = light.blue;
    r[18] = light.secondaryMode;
    r[19] = static_cast<std::uint8_t>(settings.wFlag);
    r[20] = static_cast<std::uint8_t>(settings.key6Flag);
    r[21] = static_cast<std::uint8_t>(settings.winFlag);
    r[22] = static_cast<std::uint8_t>(settings.pollingRate);
    r[25] = static_cast<std::uint8_t>(settings.wheelMode);
    r[27] = light.reserved2[0];
    return r;
}

void DecodeSettingsRecord(const SettingsRecord& record, std::span<const config::LightModeName> modes,
                          config::LightInfo& light, config::KeyboardSettings& settings) {
    light.selectedMode = LightModeIndex(modes, record[1], light.selectedMode);
    light.brightness = std::min(record[2], kMaxLightIndex);
    light.speed = static_cast<std::uint8_t>(kMaxLightIndex - std::min(record[3], kMaxLightIndex));
    light.direction = record[4];
    light.multiColor = record[5];
    light.red = record[6];
    light.green = record[7];
    light.blue = record[8];
    light.secondaryMode = record[18];
    light.customGroup = record[26];
    light.reserved2[0] = record[27];
    settings.wFlag = record[19];
    settings.key6Flag = record[20];
    settings.winFlag = record[21];
    settings.wheelMode = record[25];
}

}  // namespace norvane::devices::keyboard
