#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::update {

// Reads one environment variable; empty optional when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment.
std::optional<std::string> ProcessEnvironment(const char* name);

// The proxy the user configured for a URL of this scheme ("http" or "https") and host,
// from the usual variables: https_proxy/HTTPS_PROXY for https, http_proxy (lower case
// only) for http, then all_proxy/ALL_PROXY; none when the host is listed in
// no_proxy/NO_PROXY or nothing is set.
std::optional<std::string> ConfiguredProxy(std::string_view scheme, std::string_view host,
                                           const EnvironmentLookup& environment = ProcessEnvironment);

// True when a no_proxy list (entries separated by commas or blanks) names the host: "*"
// for every host; a name (a leading dot allowed) for itself and its subdomains; an
// address for itself only; "address/bits" for a range of addresses. A port after an
// entry is ignored.
bool HostBypassesProxy(std::string_view host, std::string_view noProxyList);

}  // namespace norvane::update
