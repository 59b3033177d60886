#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::platform {

// The program's few persistent settings values, kept as "name=value" lines in one
// small file, replaced atomically on every write.
class Registry {
public:
    // $XDG_CONFIG_HOME/NORVANE/settings.ini (default ~/.config/NORVANE/settings.ini).
    static Registry ForUser();
    explicit Registry(std::filesystem::path file) : file_(std::move(file)) {}

    const std::filesystem::path& File() const { return file_; }

    std::optional<std::string> ReadString(std::string_view name) const;
    // A decimal value of at most 32 bits; nothing when missing or not a number.
    std::optional<std::uint32_t> ReadDword(std::string_view name) const;

    // Names may not be empty or hold '=', line breaks or NUL; values may not hold
    // line breaks or NUL. The folder is created when missing. False on failure.
    bool WriteString(std::string_view name, std::string_view value) const;
    bool WriteDword(std::string_view name, std::uint32_t value) const;

private:
    std::map<std::string, std::string, std::less<>> Load() const;

    std::filesystem::path file_;
};

inline constexpr std::string_view kLanguageValue = "LANGUAGE";
inline constexpr std::string_view kDisplayVersionValue = "DisplayVersion";

// The saved interface language id, when one was saved.
std::optional<std::uint32_t> ReadSavedLanguage(const Registry& registry = Registry::ForUser());
bool SaveLanguage(std::uint32_t languageId, const Registry& registry = Registry::ForUser());

// The installed version text: "DisplayVersion" from the settings file when present,
// else the version this program was built as.
std::string InstalledVersionText(const Registry& registry = Registry::ForUser());

}  // namespace norvane::platform
