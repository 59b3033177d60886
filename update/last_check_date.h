#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The date of the last update check, kept in "updatetime.config" in the user's data folder as
// {"updatelasttime": {"value": "2026-12-11"}}, formatted from the local date without leading
// zeros ("2026-1-5").
namespace norvane::update {

inline constexpr std::string_view kLastCheckFile = "updatetime.config";

// Today's local date in the file's form.
std::string TodayText();

// The stored date text; nothing when the file, the member or its text is missing.
std::optional<std::string> ReadLastCheckDate(const std::filesystem::path& file);

// Writes a new document holding only the date; false when it could not be written.
bool WriteLastCheckDate(const std::filesystem::path& file, std::string_view date);

}  // namespace norvane::update
