#include "platform/registry.h"

#include "platform/atomic_file.h"
#include "platform/diag.h"
#include "platform/version.h"

#include <charconv>
#include <cstdlib>
#include <mutex>
#include <system_error>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxRegistryFileSize = 64 * 1024;

// Serialises read-modify-write cycles within this process.
std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ValidName(std::string_view name) {
    return !name.empty() && name.find('=') == std::string_view::npos && !HasLineBreakOrNul(name);
}

}  // namespace

Registry Registry::ForUser() {
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = fs::path(home) / ".config";
    }
    return Registry(base.empty() ? fs::path{} : base / "NORVANE" / "settings.ini");
}

std::map<std::string, std::string, std::less<>> Registry::Load() const {
    std::map<std::string, std::string, std::less<>> values;
    if (file_.empty()) {
        return values;
    }
    const std::optional<std::string> content = ReadFileLimited(file_, kMaxRegistryFileSize);
    if (!content) {
        return values;
    }
    std::string_view rest = *content;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos || eq == 0) {
            continue;
        }
        values.insert_or_assign(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
    }
    return values;
}

std::optional<std::string> Registry::ReadString(std::string_view name) const {
    const auto values = Load();
    const auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::uint32_t> Registry::ReadDword(std::string_view name) const {
    const std::optional<std::string> text = ReadString(name);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool Registry::WriteString(std::string_view name, std::string_view value) const {
    if (file_.empty() || !ValidName(name) || HasLineBreakOrNul(value)) {
        return false;
    }
    const std::scoped_lock lock(WriteMutex());
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    if (ec) {
        diag::Trace("cannot create settings folder " + file_.parent_path().string());
        return false;
    }
    auto values = Load();
    values.insert_or_assign(std::string(name), std::string(value));
    std::string content;
    for (const auto& [key, text] : values) {
        content.append(key).append("=").append(text).append("\n");
    }
    return WriteFileAtomically(file_, content);
}

bool Registry::WriteDword(std::string_view name, std::uint32_t value) const {
    return WriteString(name, std::to_string(value));
}

std::optional<std::uint32_t> ReadSavedLanguage(const Registry& registry) {
    return registry.ReadDword(kLanguageValue);
}

bool SaveLanguage(std::uint32_t languageId, const Registry& registry) {
    return registry.WriteDword(kLanguageValue, languageId);
}

std::string InstalledVersionText(const Registry& registry) {
    if (std::optional<std::string> text = registry.ReadString(kDisplayVersionValue); text && !text->empty()) {
        return *std::move(text);
    }
    return kInstalledVersion;
}

}  // namespace norvane::platform
