#include "config/keyboard_profiledata.h"

#include "config/json_access.h"

namespace norvane::config {
namespace {

std::uint16_t Word(const Json::Value& o, std::string_view key) {
    return static_cast<std::uint16_t>(json::IntegerOf(o, key) & 0xFFFF);
}

bool ValidGroup(int group) {
    return group >= 0 && group < kMaxCustomColorGroups;
}

}  // namespace

KeyboardSettings CKeyboardProfiledata::GetKeyboardSettings() {
    settings_ = {};
    if (const Json::Value* s = json::Member(DeviceDocument(), "SystemStages")) {
        settings_ = {Word(*s, "Repeat"),      Word(*s, "RepeatDelay"), Word(*s, "Key6Flag"),
                     Word(*s, "PollingRate"), Word(*s, "WFlag"),       Word(*s, "WinFlag"),
                     Word(*s, "WheelMode")};
    }
    return settings_;
}

void CKeyboardProfiledata::SetKeyboardSettings(const KeyboardSettings& settings) {
    settings_ = settings;
    Json::Value& s = json::EnsureMember(Document(), "SystemStages");
    json::EnsureMember(s, "Repeat") = settings.repeat;
    json::EnsureMember(s, "RepeatDelay") = settings.repeatDelay;
    json::EnsureMember(s, "Key6Flag") = settings.key6Flag;
    json::EnsureMember(s, "PollingRate") = settings.pollingRate;
    json::EnsureMember(s, "WFlag") = settings.wFlag;
    json::EnsureMember(s, "WinFlag") = settings.winFlag;
    json::EnsureMember(s, "WheelMode") = settings.wheelMode;
}

std::vector<KeyColor> CKeyboardProfiledata::GetCustomColors(int group, int count) {
    if (!ValidGroup(group) || count < 0 || count > kMaxKeyColors) {
        return {};
    }
    Json::Value& groups =
        json::EnsureMember(json::EnsureMember(Document(), "CustomLightMode"), "LightColorInfo");
    Json::Value& colors = json::EnsureElement(groups, static_cast<std::size_t>(group));
    if (!colors.isArray()) {
        colors = Json::Value(Json::arrayValue);
    }
    customColors_.clear();
    for (int i = 0; i < count; ++i) {
        Json::Value& key = json::EnsureElement(colors, static_cast<std::size_t>(i));
        if (!key.isObject()) {
            key = KeyColorToJson({});
        }
        customColors_.push_back(ReadKeyColor(key));
    }
    return customColors_;
}

bool CKeyboardProfiledata::SetCustomColors(const std::vector<KeyColor>& colors, int group) {
    if (!ValidGroup(group) || colors.size() > static_cast<std::size_t>(kMaxKeyColors)) {
        return false;
    }
    customColors_ = colors;
    Json::Value& groups =
        json::EnsureMember(json::EnsureMember(Document(), "CustomLightMode"), "LightColorInfo");
    Json::Value& target = json::EnsureElement(groups, static_cast<std::size_t>(group));
    for (std::size_t i = 0; i < colors.size(); ++i) {
        json::EnsureElement(target, i) = KeyColorToJson(colors[i]);
    }
    return true;
}

int CKeyboardProfiledata::GetCustomGroupIndex() {
    customGroupIndex_ = 0;
    if (const Json::Value* mode = json::Member(DeviceDocument(), "CustomLightMode")) {
        const std::int64_t index = json::IntegerOf(*mode, "CustomLightModeGroupIndex");
        customGroupIndex_ = index >= 0 && index < kMaxCustomColorGroups ? static_cast<int>(index) : 0;
    }
    return customGroupIndex_;
}

bool CKeyboardProfiledata::SetCustomGroupIndex(int index) {
    if (!ValidGroup(index)) {
        return false;
    }
    customGroupIndex_ = index;
    json::EnsureMember(json::EnsureMember(Document(), "CustomLightMode"), "CustomLightModeGroupIndex") =
        index;
    return true;
}

}  // namespace norvane::config
