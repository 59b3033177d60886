#pragma once

#include <json/value.h>

#include <filesystem>
#include <optional>
#include <string>

// Reading and writing of every JSON file. Reads are size-limited and never throw; writes
// replace the file atomically in the styled form (three-space indentation, margin 74).
namespace norvane::config {

class JsonFileStore {
public:
    // The whole file, or empty when it is missing, unreadable or over 16 MiB.
    static std::string ReadFileText(const std::filesystem::path& path);
    // The parsed root (comments allowed), or null when the file is missing, empty, too
    // large or not JSON.
    static Json::Value ReadJsonFile(const std::filesystem::path& path);
    // Parses a text the way ReadJsonFile does.
    static Json::Value ParseJson(std::string_view text);
    // The parsed value, or nullopt when the text is not JSON.
    static std::optional<Json::Value> TryParseJson(std::string_view text);
    // The styled text of a value, ending in one newline.
    static std::string StyledText(const Json::Value& value);
    // Replaces the file atomically; false (old file intact) when it cannot be written.
    static bool WriteJsonFile(const std::filesystem::path& path, const Json::Value& value);
    // Moves an unreadable file aside as "<name>.corrupt-<timestamp>" so that a rewrite
    // does not destroy what it held. True when there was such a file and it was kept.
    static bool KeepUnreadableFile(const std::filesystem::path& path);
    // The root object of a file about to be rewritten, or null when the file is missing or
    // empty. A file holding anything else is kept aside first, so its content survives.
    static Json::Value ReadObjectForUpdate(const std::filesystem::path& path);
    // True when the file exists and holds something other than blanks or a JSON object
    // (every file of the system has an object at its root).
    static bool IsCorruptFile(const std::filesystem::path& path);
};

}  // namespace norvane::config
