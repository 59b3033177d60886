#include "device/hid_descriptor_json.h"

#include <algorithm>

namespace norvane::device {
namespace {

std::string_view TypeName(HidReportType type) {
    switch (type) {
        case HidReportType::Input:
            return "input";
        case HidReportType::Output:
            return "output";
        case HidReportType::Feature:
            return "feature";
    }
    return "input";
}

}  // namespace

std::string DescriptorToJson(const ReportDescriptor& descriptor) {
    std::string out = "{\n \"top_level_collections\": [";
    for (std::size_t i = 0; i < descriptor.collections.size(); ++i) {
        const HidTopCollection& c = descriptor.collections[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\n   \"usage_page\": " + std::to_string(c.usagePage) +
               ",\n   \"usage\": " + std::to_string(c.usage) + "\n  }";
    }
    out += descriptor.collections.empty() ? "],\n" : "\n ],\n";
    std::vector<HidReportInfo> reports = descriptor.reports;
    std::stable_sort(reports.begin(), reports.end(), [](const HidReportInfo& a, const HidReportInfo& b) {
        return a.type != b.type ? a.type < b.type : a.reportId < b.reportId;
    });
    out += " \"reports\": [";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const HidReportInfo& r = reports[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\n   \"type\": \"" + std::string(TypeName(r.type)) +
               "\",\n   \"report_id\": " + std::to_string(r.reportId) +
               ",\n   \"bytes\": " + std::to_string(r.ByteLength()) + ",\n   \"application\": [\n    " +
               std::to_string(r.applicationUsagePage) + ",\n    " + std::to_string(r.applicationUsage) +
               "\n   ]\n  }";
    }
    out += reports.empty() ? "]\n}\n" : "\n ]\n}\n";
    return out;
}

}  // namespace norvane::device
