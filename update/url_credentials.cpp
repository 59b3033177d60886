#include "update/url_credentials.h"

namespace norvane::update {

std::string WithoutCredentials(std::string_view url) {
    const std::size_t scheme = url.find("://");
    const std::size_t authority = scheme == std::string_view::npos ? 0 : scheme + 3;
    const std::size_t authorityEnd = url.find_first_of("/?#", authority);
    const std::string_view host = url.substr(authority, authorityEnd - authority);
    const std::size_t at = host.rfind('@');
    if (at == std::string_view::npos) {
        return std::string(url);
    }
    std::string text(url.substr(0, authority));
    text.append(url.substr(authority + at + 1));
    return text;
}

}  // namespace norvane::update
