#include "config/json_file_store.h"

#include "config/strings.h"
#include "platform/atomic_file.h"
#include "platform/diag.h"

#include <json/reader.h>
#include <json/writer.h>

#include <algorithm>
#include <memory>
#include <system_error>

namespace norvane::config {

std::string JsonFileStore::ReadFileText(const std::filesystem::path& path) {
    std::optional<std::string> text = platform::ReadFileLimited(path);
    if (!text) {
        if (platform::diag::Enabled()) {
            platform::diag::Trace("readjsonFile 错误吗：：" + path.string());
        }
        return {};
    }
    // The text ends at the first NUL byte.
    const std::size_t nul = text->find('\0');
    if (nul != std::string::npos) {
        text->resize(nul);
    }
    return std::move(*text);
}

std::optional<Json::Value> JsonFileStore::TryParseJson(std::string_view text) {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    builder["stackLimit"] = 256;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        // Nesting deeper than the stack limit.
        return std::nullopt;
    }
    return root;
}

Json::Value JsonFileStore::ParseJson(std::string_view text) {
    return TryParseJson(text).value_or(Json::Value());
}

Json::Value JsonFileStore::ReadJsonFile(const std::filesystem::path& path) {
    const std::string text = ReadFileText(path);
    if (text.empty()) {
        if (platform::diag::Enabled()) {
            platform::diag::Trace(path.string());
        }
        return {};
    }
    return ParseJson(text);
}

std::string JsonFileStore::StyledText(const Json::Value& value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::StyledWriter writer;
    std::string text = writer.write(value);
#pragma GCC diagnostic pop
    if (text.empty() || text.back() != '\n') {
        text.push_back('\n');
    }
    return text;
}

bool JsonFileStore::WriteJsonFile(const std::filesystem::path& path, const Json::Value& value) {
    std::string text;
    try {
        text = StyledText(value);
    } catch (const std::exception&) {
        return false;
    }
    return platform::WriteFileAtomically(path, text);
}

bool JsonFileStore::IsCorruptFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) == 0) {
        return false;
    }
    const std::optional<std::string> text = platform::ReadFileLimited(path);
    if (!text) {
        return true;  // unreadable or too large
    }
    const std::string_view content(text->data(), std::min(text->size(), text->find('\0')));
    // Only JSON's own white space makes a file empty.
    if (content.find_first_not_of(" \t\n\r") == std::string_view::npos) {
        return false;
    }
    const std::optional<Json::Value> root = TryParseJson(content);
    return !root || !root->isObject();
}

bool JsonFileStore::KeepUnreadableFile(const std::filesystem::path& path) {
    if (!IsCorruptFile(path)) {
        return false;
    }
    std::filesystem::path backup = path;
    backup += ".corrupt-" + MakeTimestampId();
    std::error_code ec;
    std::filesystem::rename(path, backup, ec);
    if (ec) {
        platform::diag::Trace("could not keep unreadable file " + path.string() + ": " + ec.message());
        return false;
    }
    platform::diag::Trace("kept unreadable file as " + backup.string());
    return true;
}

Json::Value JsonFileStore::ReadObjectForUpdate(const std::filesystem::path& path) {
    Json::Value root = ReadJsonFile(path);
    if (root.isObject()) {
        return root;
    }
    KeepUnreadableFile(path);
    return {};
}

}  // namespace norvane::config
