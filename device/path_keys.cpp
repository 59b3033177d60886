#include "device/path_keys.h"

#include <algorithm>
#include <cctype>

namespace norvane::device {

std::uint16_t PathKey(std::string_view path, std::string_view tag) {
    const auto lower = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    const auto found = std::search(path.begin(), path.end(), tag.begin(), tag.end(), lower);
    if (found == path.end() || tag.empty()) {
        return 0;
    }
    std::uint32_t value = 0;
    for (auto it = found + static_cast<std::ptrdiff_t>(tag.size()); it != path.end(); ++it) {
        const auto c = static_cast<unsigned char>(*it);
        if (std::isxdigit(c) == 0) {
            break;
        }
        const std::uint32_t digit =
            std::isdigit(c) != 0 ? c - '0' : static_cast<std::uint32_t>(std::tolower(c) - 'a' + 10);
        value = (value << 4 | digit) & 0xFFFFF;  // keep reading, the result is cut to 16 bits
    }
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

}  // namespace norvane::device

#include <cstdio>

namespace norvane::device {

std::string FormatInterfacePath(std::string_view node, std::uint16_t vendorId, std::uint16_t productId,
                                std::optional<std::uint16_t> interfaceNumber, int collection,
                                int collectionCount) {
    char keys[64];
    int n = std::snprintf(keys, sizeof keys, "#vid_%04x&pid_%04x", vendorId, productId);
    if (interfaceNumber) {
        n += std::snprintf(keys + n, sizeof keys - static_cast<std::size_t>(n), "&mi_%02x", *interfaceNumber);
    }
    if (collectionCount > 1) {
        std::snprintf(keys + n, sizeof keys - static_cast<std::size_t>(n), "&col%02x", collection & 0xFF);
    }
    return std::string(node) + keys;
}

std::string_view PathNode(std::string_view path) {
    return path.substr(0, path.find('#'));
}

}  // namespace norvane::device
