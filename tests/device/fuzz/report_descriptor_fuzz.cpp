// Report descriptors as a device hands them out: parsed, every collection described, and the
// whole as JSON.
#include "device/hid_backend.h"
#include "device/hid_descriptor.h"
#include "device/hid_descriptor_json.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace norvane::device;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = ParseReportDescriptor(std::span(data, size));
    if (!parsed.descriptor) {
        return 0;
    }
    const ReportDescriptor& descriptor = *parsed.descriptor;
    const int collections = static_cast<int>(descriptor.collections.size());
    for (int collection = 0; collection <= collections + 1; ++collection) {
        CapabilitiesOf(descriptor, collection);
    }
    for (const HidReportInfo& report : descriptor.reports) {
        descriptor.FindReport(report.type, report.reportId);
        descriptor.CollectionOfReport(report.type, report.reportId);
    }
    DescriptorToJson(descriptor);
    return 0;
}
