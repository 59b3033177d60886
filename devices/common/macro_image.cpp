#include "devices/common/macro_image.h"

#include <limits>

namespace norvane::devices {
namespace {

constexpr std::size_t kMax16 = std::numeric_limits<std::uint16_t>::max();

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::size_t MacroImageLength(std::span<const std::vector<config::PackedMacroEvent>> macros) {
    std::size_t length = kMacroImageHeaderSize + 6 * macros.size();
    for (const auto& events : macros) {
        length += 4 * events.size();
    }
    return length;
}

MacroImage BuildMacroMemoryImage(std::span<const std::vector<config::PackedMacroEvent>> macros,
                                 std::size_t capacity) {
    MacroImage image;
    const std::size_t length = MacroImageLength(macros);
    if (capacity < length) {
        const std::size_t over = (length - capacity) / 4 + 1;
        image.result = over > static_cast<std::size_t>(std::numeric_limits<int>::max())
                           ? std::numeric_limits<int>::max()
                           : static_cast<int>(over);
        return image;
    }
    if (length > kMax16) {
        image.result = -1;
        return image;
    }
    image.bytes.assign(length, 0);
    Put16(image.bytes, 0, kMacroImageMagic);
    Put16(image.bytes, 2, length);
    Put16(image.bytes, 4, macros.size());
    std::size_t record = kMacroImageHeaderSize + 2 * macros.size();
    for (std::size_t m = 0; m < macros.size(); ++m) {
        Put16(image.bytes, kMacroImageHeaderSize + 2 * m, record);
        Put16(image.bytes, record, macros[m].size());
        std::size_t at = record + 4;
        for (const config::PackedMacroEvent& event : macros[m]) {
            for (std::uint8_t b : event.bytes) {
                image.bytes[at++] = b;
            }
        }
        record = at;
    }
    return image;
}

}  // namespace norvane::devices
