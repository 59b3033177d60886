#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::platform {

// Largest file ReadFileLimited accepts by default: anything bigger is not a settings file.
inline constexpr std::size_t kMaxSettingsFileSize = std::size_t{16} * 1024 * 1024;

// Replaces the file's content all at once: a temporary file in the same folder is
// written, flushed to disk and renamed over the target. A crash or a failed write
// leaves either the old or the new content, never a mix. Returns false on failure,
// with the old file untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content);

// The whole file, or nothing when it is missing, unreadable, not a regular file or
// larger than maxSize.
std::optional<std::string> ReadFileLimited(const std::filesystem::path& path,
                                           std::size_t maxSize = kMaxSettingsFileSize);

}  // namespace norvane::platform
