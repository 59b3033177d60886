#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// HID report descriptor parsing: top-level collections, reports and the fields needed to
// unpack an input report into usages.
namespace norvane::device {

enum class HidReportType : std::uint8_t { Input, Output, Feature };

struct HidTopCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// One report of one type, as the sum of its fields.
struct HidReportInfo {
    HidReportType type = HidReportType::Input;
    std::uint8_t reportId = 0;  // 0 when the descriptor uses no report IDs
    std::uint32_t bits = 0;     // payload bits, without the report-ID byte
    int collection = 0;         // top-level collection, 1-based in descriptor order
    // Application collection most recently opened where the report first appears.
    std::uint16_t applicationUsagePage = 0;
    std::uint16_t applicationUsage = 0;

    // Bytes on the wire: the payload plus the report-ID byte when the report is numbered.
    std::size_t ByteLength() const { return (bits + 7) / 8 + (reportId != 0 ? 1 : 0); }
};

// One main item (Input, Output or Feature) with the state that was in force for it.
struct HidField {
    HidReportType type = HidReportType::Input;
    std::uint8_t reportId = 0;
    int collection = 0;
    std::uint32_t bitOffset = 0;  // from the start of the payload (after the report-ID byte)
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t flags = 0;  // bit 0 constant, bit 1 variable, bit 2 relative
    std::uint16_t usagePage = 0;
    std::int32_t logicalMinimum = 0;
    std::int32_t logicalMaximum = 0;
    std::vector<std::uint32_t> usages;  // explicit usages; extended (page << 16 | usage) when 4 bytes
    std::uint32_t usageMinimum = 0;
    std::uint32_t usageMaximum = 0;
    bool hasUsageRange = false;

    bool IsConstant() const { return (flags & 1U) != 0; }
    bool IsVariable() const { return (flags & 2U) != 0; }
};

struct ReportDescriptor {
    std::vector<HidTopCollection> collections;
    std::vector<HidReportInfo> reports;  // in order of first appearance
    std::vector<HidField> fields;
    bool usesReportIds = false;

    const HidReportInfo* FindReport(HidReportType type, std::uint8_t reportId) const;
    // Collection (1-based) that owns a report, 0 when unknown.
    int CollectionOfReport(HidReportType type, std::uint8_t reportId) const;
    // Longest report of a type in a collection, in bytes including one report-ID byte
    // even for unnumbered reports (the length a caller's buffer needs); 0 when none.
    std::size_t MaxReportLength(int collection, HidReportType type) const;
};

struct DescriptorParseResult {
    std::optional<ReportDescriptor> descriptor;
    std::string error;  // set when descriptor is empty
};

// Largest descriptor the kernel hands out.
inline constexpr std::size_t kMaxReportDescriptorSize = 4096;

DescriptorParseResult ParseReportDescriptor(std::span<const std::uint8_t> bytes);

// One unpacked usage of an input report: buttons (1-bit variables and array entries)
// first, then values, in descriptor order.
struct HidUsageData {
    std::uint8_t reportId = 0;
    bool isButton = false;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::int32_t value = 0;  // 1 for buttons
};

// Unpacks an input report ([report ID][payload], byte 0 = 0 for unnumbered reports) of
// one collection. Fields beyond the received length are skipped.
std::vector<HidUsageData> UnpackInputReport(const ReportDescriptor& descriptor, int collection,
                                            std::span<const std::uint8_t> report);

// Parses hexadecimal text ("05 0c 09 01", "0x05,0x0c", "050c…"); nullopt on a stray character
// or an odd digit count.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace norvane::device
