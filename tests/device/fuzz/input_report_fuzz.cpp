// Input reports unpacked against the descriptor of the same device. The input is
// [descriptor length, little-endian, 2 bytes][descriptor][input report].
#include "device/hid_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace norvane::device;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span input(data, size);
    if (input.size() < 2) {
        return 0;
    }
    const std::size_t length = input[0] | static_cast<std::size_t>(input[1]) << 8;
    if (length > input.size() - 2) {
        return 0;
    }
    const auto parsed = ParseReportDescriptor(input.subspan(2, length));
    if (!parsed.descriptor) {
        return 0;
    }
    const auto report = input.subspan(2 + length);
    const int collections = static_cast<int>(parsed.descriptor->collections.size());
    for (int collection = 1; collection <= collections; ++collection) {
        UnpackInputReport(*parsed.descriptor, collection, report);
    }
    return 0;
}
