#include "config/light_data.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "platform/paths.h"

namespace norvane::config {

LightInfo ReadLightInfo(const Json::Value& o) {
    LightInfo info;
    info.selectedMode = json::ByteOf(o, "SelectItem");
    info.brightness = json::ByteOf(o, "Light");
    info.speed = json::ByteOf(o, "Speed");
    info.direction = json::ByteOf(o, "Fx");
    info.multiColor = json::BoolOf(o, "MultiColor") ? 1 : 0;
    info.red = json::ByteOf(o, "Red");
    info.green = json::ByteOf(o, "Green");
    info.blue = json::ByteOf(o, "Blue");
    info.secondaryMode = json::ByteOf(o, "ZZCCLedMode");
    info.customGroup = json::ByteOf(o, "CustomGroup");
    info.previousMode = json::ByteOf(o, "OldLedmode");
    return info;
}

Json::Value LightInfoToJson(const LightInfo& info) {
    Json::Value o(Json::objectValue);
    o["SelectItem"] = info.selectedMode;
    o["Light"] = info.brightness;
    o["Speed"] = info.speed;
    o["Fx"] = info.direction;
    o["MultiColor"] = info.multiColor;
    o["Red"] = info.red;
    o["Green"] = info.green;
    o["Blue"] = info.blue;
    o["ZZCCLedMode"] = info.secondaryMode;
    o["CustomGroup"] = info.customGroup;
    o["OldLedmode"] = info.previousMode;
    return o;
}

AudioLightInfo ReadAudioLightInfo(const Json::Value& o) {
    AudioLightInfo info;
    info.mode = json::ByteOf(o, "AudioMode");
    info.backgroundRed = json::ByteOf(o, "BkColorR");
    info.backgroundGreen = json::ByteOf(o, "BkColorG");
    info.backgroundBlue = json::ByteOf(o, "BkColorB");
    info.foregroundRed = json::ByteOf(o, "FgColorR");
    info.foregroundGreen = json::ByteOf(o, "FgColorG");
    info.foregroundBlue = json::ByteOf(o, "FgColorB");
    info.sevenColor = json::BoolOf(o, "7ColorFlags") ? 1 : 0;
    // The colour type always reads as foreground.
    info.colorType = 1;
    return info;
}

Json::Value AudioLightInfoToJson(const AudioLightInfo& info) {
    Json::Value o(Json::objectValue);
    o["AudioMode"] = info.mode;
    o["BkColorR"] = info.backgroundRed;
    o["BkColorG"] = info.backgroundGreen;
    o["BkColorB"] = info.backgroundBlue;
    o["FgColorR"] = info.foregroundRed;
    o["FgColorG"] = info.foregroundGreen;
    o["FgColorB"] = info.foregroundBlue;
    o["7ColorFlags"] = info.sevenColor;
    o["ColorTypeFlags"] = info.colorType;
    return o;
}

LightListEntry ReadLightListEntry(const Json::Value& e) {
    LightListEntry entry;
    if (!e.isObject()) {
        return entry;
    }
    entry.effectCode = json::ByteOf(e, "LEDREGMode");
    entry.brightness = json::ByteOf(e, "LEDBrightness");
    entry.speed = json::ByteOf(e, "LEDSpeed");
    entry.direction = json::BoolOf(e, "LEDDirection") ? 1 : 0;
    entry.multiColor = json::BoolOf(e, "LEDMultiColor") ? 1 : 0;
    entry.red = json::ByteOf(e, "red");
    entry.green = json::ByteOf(e, "green");
    entry.blue = json::ByteOf(e, "blue");
    entry.present = 1;
    return entry;
}

LightEffectStep ReadLightEffectStep(const Json::Value& e) {
    LightEffectStep step;
    step.effectCode = json::ByteOf(e, "LEDREGMode");
    step.brightness = json::ByteOf(e, "LEDBrightness");
    step.speed = json::ByteOf(e, "LEDSpeed");
    step.direction = json::ByteOf(e, "LEDDirection");
    step.multiColor = json::ByteOf(e, "LEDMultiColor");
    step.red = json::ByteOf(e, "red");
    step.green = json::ByteOf(e, "green");
    step.blue = json::ByteOf(e, "blue");
    step.duration = static_cast<std::int32_t>(json::IntegerOf(e, "Time"));
    step.repetitions = static_cast<std::int32_t>(json::IntegerOf(e, "Cyle"));
    return step;
}

KeyColor ReadKeyColor(const Json::Value& o) {
    return {json::ByteOf(o, "Red"), json::ByteOf(o, "Green"), json::ByteOf(o, "Blue"),
            json::ByteOf(o, "Alpha")};
}

Json::Value KeyColorToJson(const KeyColor& color) {
    Json::Value o(Json::objectValue);
    o["Red"] = color.red;
    o["Green"] = color.green;
    o["Blue"] = color.blue;
    o["Alpha"] = color.alpha;
    return o;
}

std::vector<LightEffectStep> ReadLightEffectFile(const std::filesystem::path& path) {
    std::vector<LightEffectStep> steps;
    if (path.empty()) {
        return steps;
    }
    const Json::Value root = JsonFileStore::ReadJsonFile(path);
    if (const Json::Value* list = json::Member(root, "LEDEffectList"); list != nullptr && list->isArray()) {
        steps.reserve(list->size());
        for (const Json::Value& element : *list) {
            steps.push_back(ReadLightEffectStep(element));
        }
    }
    return steps;
}

std::filesystem::path LightEffectPath(const std::filesystem::path& dataFolder, std::string_view guid) {
    const std::string fileName = std::string(guid) + ".light";
    if (guid.empty() || !platform::IsSafeFileName(fileName) || !dataFolder.is_absolute()) {
        return {};
    }
    return dataFolder / fileName;
}

LightNames ReadLightModeNames(const std::filesystem::path& path, int lightClass) {
    LightNames names;
    if (lightClass < 0) {
        return names;
    }
    const auto index = static_cast<std::size_t>(lightClass);
    const Json::Value root = JsonFileStore::ReadJsonFile(path);
    if (const Json::Value* modes = json::Member(root, "DefaultLightName")) {
        if (const Json::Value* list = json::Element(*modes, index); list != nullptr && list->isArray()) {
            for (const Json::Value& e : *list) {
                names.modes.push_back({json::StringOf(e, "LightName"), json::BoolOf(e, "visible"),
                                       static_cast<std::int32_t>(json::IntegerOf(e, "value"))});
            }
        }
    }
    if (const Json::Value* zones = json::Member(root, "AreaLightName")) {
        if (const Json::Value* list = json::Element(*zones, index); list != nullptr && list->isArray()) {
            for (const Json::Value& e : *list) {
                names.zones.push_back(json::StringOf(e, "LightName"));
            }
        }
    }
    return names;
}

std::vector<CustomLightName> CustomLightNames(const Json::Value& lightConfig, int lightClass) {
    std::vector<CustomLightName> names;
    if (lightClass < 0) {
        return names;
    }
    if (const Json::Value* info = json::Member(lightConfig, "LightInfo")) {
        if (const Json::Value* list = json::Element(*info, static_cast<std::size_t>(lightClass));
            list != nullptr && list->isArray()) {
            for (const Json::Value& e : *list) {
                names.push_back({json::StringOf(e, "LightName"), json::StringOf(e, "Guid")});
            }
        }
    }
    return names;
}

}  // namespace norvane::config
