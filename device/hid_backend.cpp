#include "device/hid_backend.h"

#include <algorithm>

namespace norvane::device {

HidCapabilities CapabilitiesOf(const ReportDescriptor& descriptor, int collection) {
    HidCapabilities caps;
    if (collection >= 1 && static_cast<std::size_t>(collection) <= descriptor.collections.size()) {
        caps.usagePage = descriptor.collections[static_cast<std::size_t>(collection) - 1].usagePage;
        caps.usage = descriptor.collections[static_cast<std::size_t>(collection) - 1].usage;
    }
    const auto length = [&](HidReportType type) {
        return static_cast<std::uint16_t>(
            std::min<std::size_t>(descriptor.MaxReportLength(collection, type), 0xFFFF));
    };
    caps.inputReportByteLength = length(HidReportType::Input);
    caps.outputReportByteLength = length(HidReportType::Output);
    caps.featureReportByteLength = length(HidReportType::Feature);
    return caps;
}

}  // namespace norvane::device
