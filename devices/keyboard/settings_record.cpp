#include "devices/keyboard/settings_record.h"

#include <algorithm>

namespace norvane::devices::keyboard {

std::optional<std::uint8_t> KeyboardModeCode(std::span<const config::LightModeName> modes, int modeIndex) {
    const std::optional<std::uint8_t> code = LightModeCode(modes, modeIndex);
    if (code && (*code == 29 || *code == 30)) {
        return kKeepModeCode;
    }
    return code;
}

std::uint8_t KeyboardModeIndex(std::span<const config::LightModeName> modes, std::uint8_t code,
                               std::uint8_t currentIndex) {
    return code == kKeepModeCode ? currentIndex : LightModeIndex(modes, code, currentIndex);
}

std::optional<SettingsRecord> EncodeSettingsRecord(std::uint8_t value, const config::LightInfo& light,
                                                   const config::KeyboardSettings& settings,
                                                   std::span<const config::LightModeName> modes) {
    const std::optional<std::uint8_t> code = KeyboardModeCode(modes, light.selectedMode);
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
    light.selectedMode = KeyboardModeIndex(modes, record[1], light.selectedMode);
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
