#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Keys in an interface path ("…#vid_320f&pid_50b7&mi_01&col04"): the tag is found after the
// '#' without regard to case and the hexadecimal digits after it are read; 0 when the tag is
// absent.
namespace norvane::device {

std::uint16_t PathKey(std::string_view path, std::string_view tag);
// The key's value, nullopt when the tag is absent ("&mi_00" is interface 0).
std::optional<std::uint16_t> FindPathKey(std::string_view path, std::string_view tag);
inline std::uint16_t VendorIdFromPath(std::string_view path) {
    return PathKey(path, "vid_");
}
inline std::uint16_t ProductIdFromPath(std::string_view path) {
    return PathKey(path, "pid_");
}
inline std::uint16_t InterfaceNumberFromPath(std::string_view path) {
    return PathKey(path, "&mi_");
}
inline std::uint16_t CollectionNumberFromPath(std::string_view path) {
    return PathKey(path, "&col");
}

// node + "#vid_xxxx&pid_xxxx[&mi_xx][&colxx]" in lower-case hex; the collection suffix only
// when the interface has more than one top-level collection.
std::string FormatInterfacePath(std::string_view node, std::uint16_t vendorId, std::uint16_t productId,
                                std::optional<std::uint16_t> interfaceNumber, int collection,
                                int collectionCount);

// The part of an interface path before its keys.
std::string_view PathNode(std::string_view path);

}  // namespace norvane::device
