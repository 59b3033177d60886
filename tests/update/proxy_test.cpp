#include "update/proxy.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace norvane::update {
namespace {

TEST(ProxyTest, PicksTheVariableForTheSchemeAndHonoursNoProxy) {
    using Env = std::map<std::string, std::string>;
    struct Case {
        const char* name;
        Env env;
        std::string_view scheme;
        std::string_view host;
        std::optional<std::string> proxy;
    };
    const std::array kCases = {
        Case{"nothing set", {}, "http", "example.org", std::nullopt},
        Case{"http_proxy for http", {{"http_proxy", "p1:3128"}}, "http", "example.org", "p1:3128"},
        Case{"http_proxy not for https", {{"http_proxy", "p1:3128"}}, "https", "example.org", std::nullopt},
        Case{"HTTP_PROXY ignored", {{"HTTP_PROXY", "p1:3128"}}, "http", "example.org", std::nullopt},
        Case{"HTTPS_PROXY for https", {{"HTTPS_PROXY", "p2"}}, "https", "example.org", "p2"},
        Case{"https_proxy before HTTPS_PROXY",
             {{"https_proxy", "a"}, {"HTTPS_PROXY", "b"}},
             "https",
             "x.org",
             "a"},
        Case{"all_proxy as fallback", {{"ALL_PROXY", "p3"}}, "https", "example.org", "p3"},
        Case{"scheme variable before all_proxy",
             {{"all_proxy", "p3"}, {"http_proxy", "p1"}},
             "http",
             "x.org",
             "p1"},
        Case{"empty value is unset", {{"http_proxy", ""}, {"all_proxy", "p3"}}, "http", "x.org", "p3"},
        Case{"no_proxy exact",
             {{"http_proxy", "p1"}, {"no_proxy", "example.org"}},
             "http",
             "example.org",
             std::nullopt},
        Case{"no_proxy parent domain",
             {{"http_proxy", "p1"}, {"no_proxy", "a.com, .example.org"}},
             "http",
             "update.example.org",
             std::nullopt},
        Case{"no_proxy is not a suffix match",
             {{"http_proxy", "p1"}, {"no_proxy", "example.org"}},
             "http",
             "badexample.org",
             "p1"},
        Case{"no_proxy star", {{"http_proxy", "p1"}, {"NO_PROXY", "*"}}, "http", "anything", std::nullopt},
        Case{"no_proxy ignores case",
             {{"http_proxy", "p1"}, {"no_proxy", "EXAMPLE.org"}},
             "HTTP",
             "Example.ORG",
             std::nullopt},
        Case{"no_proxy IPv6 literal",
             {{"http_proxy", "p1"}, {"no_proxy", "::1"}},
             "http",
             "[::1]",
             std::nullopt},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const EnvironmentLookup lookup = [&c](const char* name) -> std::optional<std::string> {
            const auto it = c.env.find(name);
            return it == c.env.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        EXPECT_EQ(ConfiguredProxy(c.scheme, c.host, lookup), c.proxy);
    }
}

TEST(ProxyTest, NoProxyEntriesForAddressesAndPorts) {
    struct Case {
        std::string_view host;
        std::string_view noProxy;
        bool bypass;
    };
    constexpr std::array kCases = {
        // Addresses match as a whole, never as a domain suffix.
        Case{"127.0.0.1", "127.0.0.1", true},
        Case{"127.0.0.1", "0.0.1", false},
        Case{"1.2.3.4", ".3.4", false},
        Case{"[::1]", "0:0:0:0:0:0:0:1", true},
        // Address ranges.
        Case{"127.0.0.1", "10.0.0.0/8, 127.0.0.0/8", true},
        Case{"10.1.2.3", "127.0.0.0/8", false},
        Case{"192.168.7.9", "192.168.4.0/22", true},
        Case{"192.168.8.1", "192.168.4.0/22", false},
        Case{"[2001:db8::5]", "2001:db8::/32", true},
        Case{"[2001:db9::5]", "2001:db8::/32", false},
        Case{"127.0.0.1", "::/0", false},
        Case{"example.org", "10.0.0.0/8", false},
        Case{"127.0.0.1", "127.0.0.1/33", false},
        Case{"127.0.0.1", "127.0.0.1/x", false},
        // A port in the entry does not keep it from naming the host.
        Case{"example.org", "example.org:8780", true},
        Case{"update.example.org", ".example.org:443", true},
        Case{"127.0.0.1", "127.0.0.1:8780", true},
        Case{"[::1]", "[::1]:8080", true},
        Case{"[::1]", "[::2]:8080", false},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(HostBypassesProxy(c.host, c.noProxy), c.bypass) << c.host << " with no_proxy=" << c.noProxy;
    }
}

}  // namespace
}  // namespace norvane::update
