#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Text helpers shared by every subsystem. Text in memory is UTF-8; wide strings are used
// where code points matter.
namespace norvane::config {

// UTF-8 to code points; malformed sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);

// Case-insensitive equality of two UTF-8 texts, by code point (non-ASCII letters too).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Exactly eight upper-case hexadecimal digits, most significant first.
std::string ToHex8(std::uint32_t value);

// Removes every occurrence of c.
void StripChar(std::string& bytes, char c);

// Empty or white space only (any Unicode white space).
bool IsBlank(std::string_view text);

// Leading white space removed, then an optional sign and the decimal digits that follow
// (the C library rule); anything else gives 0. Saturates at the int range.
long long LeadingInteger(std::string_view text);

// "DPI_slider_3" gives {"DPI_slider_", 3}; a name without "_" gives nullopt. The part
// after the last "_" is read with LeadingInteger, so a non-number gives 0.
struct IndexedName {
    std::string prefix;
    long long number = 0;
};
std::optional<IndexedName> SplitIndexedName(std::string_view name);

// Local time as "%d_%02d_%02d_%02d_%02d_%02d_%03d" (year … millisecond).
std::string MakeTimestampId();

// The file name without folder and extension.
std::string FileTitleOf(const std::filesystem::path& path);

}  // namespace norvane::config
