#include "update/service_url.h"

#include "platform/diag.h"
#include "update/url_credentials.h"

#include <algorithm>

#ifndef NORVANE_DEFAULT_UPDATE_URL
#error "NORVANE_DEFAULT_UPDATE_URL must be defined by the build"
#endif

namespace norvane::update {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::ranges::equal(text.substr(0, prefix.size()), prefix, [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

}  // namespace

std::string_view DefaultUpdateServiceUrl() {
    return NORVANE_DEFAULT_UPDATE_URL;
}

std::optional<std::string> NormaliseServiceUrl(std::string_view url) {
    std::size_t schemeLength = 0;
    if (StartsWithNoCase(url, "http://")) {
        schemeLength = 7;
    } else if (StartsWithNoCase(url, "https://")) {
        schemeLength = 8;
    } else {
        return std::nullopt;
    }
    const bool clean = std::ranges::none_of(url, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
    if (!clean || url.size() == schemeLength || url[schemeLength] == '/') {
        return std::nullopt;
    }
    std::string normalised(url);
    if (normalised.back() != '/') {
        normalised.push_back('/');
    }
    return normalised;
}

ServiceUrlChoice ResolveUpdateServiceUrl(const platform::Registry& registry,
                                         const EnvironmentLookup& environment) {
    if (const std::optional<std::string> value = environment(kUpdateUrlEnvironment.data());
        value && !value->empty()) {
        if (std::optional<std::string> url = NormaliseServiceUrl(*value)) {
            return {*std::move(url), kUpdateUrlEnvironment};
        }
        platform::diag::Trace("update: ignoring NORVANE_UPDATE_URL, not an http or https URL: " +
                              WithoutCredentials(*value));
    }
    if (const std::optional<std::string> value = registry.ReadString(kUpdateUrlValue);
        value && !value->empty()) {
        if (std::optional<std::string> url = NormaliseServiceUrl(*value)) {
            return {*std::move(url), kUpdateUrlValue};
        }
        platform::diag::Trace("update: ignoring UpdateServiceUrl in " + registry.File().string() +
                              ", not an http or https URL: " + WithoutCredentials(*value));
    }
    return {std::string(DefaultUpdateServiceUrl()), "default"};
}

}  // namespace norvane::update
