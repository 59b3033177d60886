#pragma once

#include "tests/support/temp_dir.h"

#include <json/json.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::test {

// Clears every proxy variable for the scope, so no test leaves the loopback interface.
class NoProxyEnvironment {
public:
    NoProxyEnvironment()
        : vars_{{{"http_proxy", std::nullopt},
                 {"HTTP_PROXY", std::nullopt},
                 {"https_proxy", std::nullopt},
                 {"HTTPS_PROXY", std::nullopt},
                 {"all_proxy", std::nullopt},
                 {"ALL_PROXY", std::nullopt},
                 {"no_proxy", std::nullopt},
                 {"NO_PROXY", std::nullopt}}} {}

private:
    std::array<ScopedEnv, 8> vars_;
};

inline Json::Value ParseJson(std::string_view text) {
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
        return Json::Value();
    }
    return root;
}

inline std::string HexOf(std::string_view bytes) {
    static constexpr std::string_view kDigits = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0xF]);
    }
    return hex;
}

}  // namespace norvane::test
