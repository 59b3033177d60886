#include "update/proxy.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>

namespace norvane::update {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::optional<std::string> FirstSet(std::span<const char* const> names,
                                    const EnvironmentLookup& environment) {
    for (const char* name : names) {
        if (std::optional<std::string> value = environment(name); value && !value->empty()) {
            return value;
        }
    }
    return std::nullopt;
}

std::string_view StripBrackets(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        return host.substr(1, host.size() - 2);
    }
    return host;
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
    if (const char* value = std::getenv(name)) {  // NOLINT(concurrency-mt-unsafe): read only
        return std::string(value);
    }
    return std::nullopt;
}

bool HostBypassesProxy(std::string_view host, std::string_view noProxyList) {
    host = StripBrackets(host);
    while (!host.empty() && host.back() == '.') {
        host.remove_suffix(1);
    }
    std::string_view rest = noProxyList;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(", \t");
        std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (entry == "*") {
            return true;
        }
        entry = StripBrackets(entry);
        while (!entry.empty() && entry.front() == '.') {
            entry.remove_prefix(1);
        }
        if (entry.empty() || entry.size() > host.size()) {
            continue;
        }
        const std::string_view tail = host.substr(host.size() - entry.size());
        if (EqualNoCase(tail, entry) &&
            (tail.size() == host.size() || host[host.size() - entry.size() - 1] == '.')) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ConfiguredProxy(std::string_view scheme, std::string_view host,
                                           const EnvironmentLookup& environment) {
    constexpr std::array<const char*, 2> kNoProxy = {"no_proxy", "NO_PROXY"};
    if (const std::optional<std::string> bypass = FirstSet(kNoProxy, environment);
        bypass && HostBypassesProxy(host, *bypass)) {
        return std::nullopt;
    }
    // HTTP_PROXY in upper case is left alone: web servers set it from a request header.
    constexpr std::array<const char*, 2> kHttps = {"https_proxy", "HTTPS_PROXY"};
    constexpr std::array<const char*, 1> kHttp = {"http_proxy"};
    constexpr std::array<const char*, 2> kAll = {"all_proxy", "ALL_PROXY"};
    std::optional<std::string> proxy;
    if (EqualNoCase(scheme, "https")) {
        proxy = FirstSet(kHttps, environment);
    } else if (EqualNoCase(scheme, "http")) {
        proxy = FirstSet(kHttp, environment);
    }
    return proxy ? proxy : FirstSet(kAll, environment);
}

}  // namespace norvane::update
