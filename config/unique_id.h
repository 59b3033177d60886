#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Identifiers for new files: timestamps that no file and no entry uses yet.
namespace norvane::config {

// How many timestamps UniqueTimestampId tries, one millisecond apart.
inline constexpr int kUniqueIdTries = 100;

// A MakeTimestampId value that `taken` does not reject and that names no file
// "<id><extension>" in the folder. Two ids made within one millisecond are equal, so a
// taken one is retried a millisecond later. Nullopt when every try was taken or the folder
// cannot be searched: never an id that is in use.
std::optional<std::string> UniqueTimestampId(const std::filesystem::path& folder, std::string_view extension,
                                             const std::function<bool(std::string_view)>& taken);

}  // namespace norvane::config
