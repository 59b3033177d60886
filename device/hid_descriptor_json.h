#pragma once

#include "device/hid_descriptor.h"

#include <string>

namespace norvane::device {

// The descriptor as JSON: "top_level_collections" (usage page and usage in descriptor
// order) and "reports" (type, report ID, bytes on the wire, application collection),
// reports ordered by type (input, output, feature) and report ID.
std::string DescriptorToJson(const ReportDescriptor& descriptor);

}  // namespace norvane::device
