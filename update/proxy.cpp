#include "update/proxy.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <charconv>
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

// The host part of a no_proxy entry: "name:port" and "[address]:port" lose the port.
std::string_view EntryHost(std::string_view entry) {
    if (entry.starts_with('[')) {
        const std::size_t close = entry.find(']');
        return close == std::string_view::npos ? entry : entry.substr(1, close - 1);
    }
    const std::size_t colon = entry.find(':');
    if (colon != std::string_view::npos && entry.find(':', colon + 1) == std::string_view::npos) {
        return entry.substr(0, colon);
    }
    return entry;  // a name, or an IPv6 address without brackets
}

struct Address {
    int family = AF_UNSPEC;
    std::array<unsigned char, 16> bytes{};
};

std::optional<Address> ParseAddress(std::string_view text) {
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) {
        return std::nullopt;
    }
    const std::string terminated(text);
    Address address;
    for (const int family : {AF_INET, AF_INET6}) {
        if (::inet_pton(family, terminated.c_str(), address.bytes.data()) == 1) {
            address.family = family;
            return address;
        }
    }
    return std::nullopt;
}

// "address/bits": whether host lies in that range.
bool InRange(const Address& host, std::string_view range) {
    const std::size_t slash = range.find('/');
    const std::optional<Address> network = ParseAddress(range.substr(0, slash));
    const std::string_view bitsText = range.substr(slash + 1);
    unsigned bits = 0;
    const auto [end, error] = std::from_chars(bitsText.data(), bitsText.data() + bitsText.size(), bits);
    const unsigned width = host.family == AF_INET ? 32 : 128;
    if (!network || network->family != host.family || error != std::errc{} ||
        end != bitsText.data() + bitsText.size() || bitsText.empty() || bits > width) {
        return false;
    }
    for (unsigned i = 0; i < bits; ++i) {
        const unsigned mask = 0x80U >> (i % 8);
        if ((host.bytes[i / 8] & mask) != (network->bytes[i / 8] & mask)) {
            return false;
        }
    }
    return true;
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
    // An address matches whole entries and ranges, never as a domain suffix.
    const std::optional<Address> address = ParseAddress(host);
    std::string_view rest = noProxyList;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(", \t");
        std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (entry == "*") {
            return true;
        }
        if (entry.find('/') != std::string_view::npos) {
            if (address && InRange(*address, entry)) {
                return true;
            }
            continue;
        }
        entry = EntryHost(entry);
        if (address) {
            const std::optional<Address> other = ParseAddress(entry);
            if (other && other->family == address->family && other->bytes == address->bytes) {
                return true;
            }
            continue;
        }
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
