#include "config/music_style.h"

#include "config/json_access.h"
#include "config/json_file_store.h"
#include "platform/atomic_file.h"

#include <algorithm>

namespace norvane::config {
namespace {

constexpr std::array<char, 3> kComponents{'R', 'G', 'B'};

std::string LevelKey(int component, int style) {
    return std::string("nStyle") + kComponents[static_cast<std::size_t>(component)] + std::to_string(style);
}

std::uint8_t Limited(const Json::Value& o, const std::string& key, int maximum) {
    return static_cast<std::uint8_t>(std::min<int>(json::ByteOf(o, key), maximum));
}

Json::Value DeviceOf(const Json::Value& root) {
    const Json::Value* device = json::Member(root, "Device");
    return device != nullptr ? *device : Json::Value();
}

}  // namespace

MusicStyleInfo ReadMusicStyle(const Json::Value& device) {
    MusicStyleInfo info;
    const Json::Value* record = json::Member(device, "AudioLightInfo");
    if (record == nullptr) {
        return info;
    }
    info.style = Limited(*record, "nAudioStyle", kMusicStyleCount - 1);
    for (int s = 0; s < kMusicStyleCount; ++s) {
        const auto index = static_cast<std::size_t>(s);
        info.names[index] = json::StringOf(*record, "nStyleName" + std::to_string(s + 1));
        for (int c = 0; c < 3; ++c) {
            info.levels[index][static_cast<std::size_t>(c)] =
                Limited(*record, LevelKey(c, s), kMaxMusicLevel);
        }
    }
    return info;
}

void WriteMusicStyle(Json::Value& device, const MusicStyleInfo& info) {
    Json::Value record(Json::objectValue);
    record["nAudioStyle"] = info.style;
    for (int s = 0; s < kMusicStyleCount; ++s) {
        const auto index = static_cast<std::size_t>(s);
        record["nStyleName" + std::to_string(s + 1)] = info.names[index];
        for (int c = 0; c < 3; ++c) {
            record[LevelKey(c, s)] = info.levels[index][static_cast<std::size_t>(c)];
        }
    }
    json::EnsureMember(device, "AudioLightInfo") = record;
}

Json::Value LoadAudioFile(const std::filesystem::path& userFile, const std::filesystem::path& factoryFile) {
    if (JsonFileStore::ReadFileText(userFile).empty()) {
        if (const std::optional<std::string> bytes = platform::ReadFileLimited(factoryFile)) {
            // An unreadable or oversize file is kept aside, not overwritten.
            JsonFileStore::KeepUnreadableFile(userFile);
            platform::WriteFileAtomically(userFile, *bytes);
        }
    }
    return DeviceOf(JsonFileStore::ReadJsonFile(userFile));
}

bool SaveAudioFile(const std::filesystem::path& userFile, const Json::Value& device) {
    Json::Value root = JsonFileStore::ReadObjectForUpdate(userFile);
    json::EnsureMember(root, "Device") = device;
    return JsonFileStore::WriteJsonFile(userFile, root);
}

Json::Value ResetAudioFile(const std::filesystem::path& userFile, const std::filesystem::path& factoryFile) {
    const std::optional<std::string> bytes = platform::ReadFileLimited(factoryFile);
    if (!bytes || !platform::WriteFileAtomically(userFile, *bytes)) {
        return DeviceOf(JsonFileStore::ReadJsonFile(userFile));
    }
    return DeviceOf(JsonFileStore::ParseJson(*bytes));
}

}  // namespace norvane::config
