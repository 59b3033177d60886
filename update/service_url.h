#pragma once

#include "platform/registry.h"
#include "update/proxy.h"

#include <optional>
#include <string>
#include <string_view>

// Where the update service is: NORVANE_UPDATE_URL, else the settings file's
// "UpdateServiceUrl" value, else the address this program was built with.
namespace norvane::update {

inline constexpr std::string_view kUpdateUrlEnvironment = "NORVANE_UPDATE_URL";
inline constexpr std::string_view kUpdateUrlValue = "UpdateServiceUrl";

// The built-in service URL (set at configure time with -DNORVANE_UPDATE_URL=...).
std::string_view DefaultUpdateServiceUrl();

// An absolute http or https URL with something after the scheme and no blanks or
// control characters, with a "/" added when it does not end in one; nothing otherwise.
std::optional<std::string> NormaliseServiceUrl(std::string_view url);

struct ServiceUrlChoice {
    std::string url;
    std::string_view source;  // "NORVANE_UPDATE_URL", "UpdateServiceUrl" or "default"
};

// The first usable address of the three places; unusable ones are skipped (and traced).
ServiceUrlChoice ResolveUpdateServiceUrl(const platform::Registry& registry = platform::Registry::ForUser(),
                                         const EnvironmentLookup& environment = ProcessEnvironment);

}  // namespace norvane::update
