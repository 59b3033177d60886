#include "device/path_keys.h"

#include <algorithm>
#include <cctype>

namespace norvane::device {

std::optional<std::uint16_t> FindPathKey(std::string_view path, std::string_view tag) {
    // The node or device name before the '#' may hold anything.
    if (const std::size_t hash = path.find('#'); hash != std::string_view::npos) {
        path.remove_prefix(hash + 1);
    }
    const auto lower = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    const auto found = std::search(path.begin(), path.end(), tag.begin(), tag.end(), lower);
    if (found == path.end() || tag.empty()) {
        return std::nullopt;
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

std::uint16_t PathKey(std::string_view path, std::string_view tag) {
    return FindPathKey(path, tag).value_or(0);
}

std::string FormatInterfacePath(std::string_view node, std::uint16_t vendorId, std::uint16_t productId,
                                std::optional<std::uint16_t> interfaceNumber, int collection,
                                int collectionCount) {
    const auto hex = [](unsigned value, int digits) {
        constexpr std::string_view kDigits = "0123456789abcdef";
        std::string text(static_cast<std::size_t>(digits), '0');
        for (int i = digits - 1; i >= 0; --i, value >>= 4) {
            text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        }
        return text;
    };
    std::string path = std::string(node) + "#vid_" + hex(vendorId, 4) + "&pid_" + hex(productId, 4);
    if (interfaceNumber) {
        path += "&mi_" + hex(*interfaceNumber, 2);
    }
    if (collectionCount > 1) {
        path += "&col" + hex(static_cast<unsigned>(collection) & 0xFF, 2);
    }
    return path;
}

std::string_view PathNode(std::string_view path) {
    return path.substr(0, path.find('#'));
}

}  // namespace norvane::device
