#include "update/service_url.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>

namespace norvane::update {
namespace {

TEST(ServiceUrlTest, NormalisesHttpAndHttpsUrlsAndRejectsTheRest) {
    struct Case {
        std::string_view input;
        std::optional<std::string> expected;
    };
    const std::array kCases = {
        Case{"http://127.0.0.1:8780/api/", "http://127.0.0.1:8780/api/"},
        Case{"https://updates.example.org/api", "https://updates.example.org/api/"},
        Case{"HTTP://Host/api/", "HTTP://Host/api/"},
        Case{"ftp://host/api/", std::nullopt},
        Case{"http://", std::nullopt},
        Case{"http:///api/", std::nullopt},
        Case{"http://host/a pi/", std::nullopt},
        Case{"http://host/api/\n", std::nullopt},
        Case{"", std::nullopt},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(NormaliseServiceUrl(c.input), c.expected);
    }
}

TEST(ServiceUrlTest, EnvironmentBeforeSettingsFileBeforeBuiltIn) {
    const test::TempDir dir;
    const platform::Registry registry(dir / "settings.ini");
    const platform::Registry empty(dir / "missing.ini");
    ASSERT_TRUE(registry.WriteString(kUpdateUrlValue, "http://settings.example/api/"));
    const auto env = [](const std::optional<std::string>& value) {
        return [value](const char* name) -> std::optional<std::string> {
            return std::string_view(name) == kUpdateUrlEnvironment ? value : std::nullopt;
        };
    };
    struct Case {
        const char* name;
        const platform::Registry* registry;
        std::optional<std::string> environment;
        std::string url;
        std::string_view source;
    };
    const std::array kCases = {
        Case{"environment wins", &registry, "http://env.example/api", "http://env.example/api/",
             "NORVANE_UPDATE_URL"},
        Case{"settings file next", &registry, std::nullopt, "http://settings.example/api/",
             "UpdateServiceUrl"},
        Case{"empty environment is unset", &registry, "", "http://settings.example/api/", "UpdateServiceUrl"},
        Case{"bad environment is skipped", &registry, "file:///etc/passwd", "http://settings.example/api/",
             "UpdateServiceUrl"},
        Case{"built-in last", &empty, std::nullopt, std::string(DefaultUpdateServiceUrl()), "default"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const ServiceUrlChoice choice = ResolveUpdateServiceUrl(*c.registry, env(c.environment));
        EXPECT_EQ(choice.url, c.url);
        EXPECT_EQ(choice.source, c.source);
    }
    EXPECT_TRUE(NormaliseServiceUrl(DefaultUpdateServiceUrl()).has_value());
}

}  // namespace
}  // namespace norvane::update
