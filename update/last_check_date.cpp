#include "update/last_check_date.h"

#include "config/json_file_store.h"

#include <ctime>

namespace norvane::update {

namespace {
constexpr const char* kMember = "updatelasttime";
constexpr const char* kValue = "value";
}  // namespace

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return {};
    }
    return std::to_string(local.tm_year + 1900) + "-" + std::to_string(local.tm_mon + 1) + "-" +
           std::to_string(local.tm_mday);
}

std::optional<std::string> ReadLastCheckDate(const std::filesystem::path& file) {
    const Json::Value root = config::JsonFileStore::ReadJsonFile(file);
    if (!root.isObject() || !root[kMember].isObject() || !root[kMember][kValue].isString()) {
        return std::nullopt;
    }
    return root[kMember][kValue].asString();
}

bool WriteLastCheckDate(const std::filesystem::path& file, std::string_view date) {
    Json::Value root(Json::objectValue);
    root[kMember][kValue] = std::string(date);
    return config::JsonFileStore::WriteJsonFile(file, root);
}

}  // namespace norvane::update
