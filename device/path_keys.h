#pragma once

#include <cstdint>
#include <string_view>

// Keys in an interface path ("…#vid_320f&pid_50b7&mi_01&col04"): the tag is found without
// regard to case and the hexadecimal digits after it are read; 0 when the tag is absent.
namespace norvane::device {

std::uint16_t PathKey(std::string_view path, std::string_view tag);
inline std::uint16_t VendorIdFromPath(std::string_view path) { return PathKey(path, "vid_"); }
inline std::uint16_t ProductIdFromPath(std::string_view path) { return PathKey(path, "pid_"); }
inline std::uint16_t InterfaceNumberFromPath(std::string_view path) { return PathKey(path, "&mi_"); }
inline std::uint16_t CollectionNumberFromPath(std::string_view path) { return PathKey(path, "&col"); }

}  // namespace norvane::device
