#include "device/hid_descriptor.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace norvane::device {
namespace {

// Bounds the kernel also enforces.
constexpr std::uint32_t kMaxReportSize = 256;
constexpr std::uint32_t kMaxReportCount = 12288;
constexpr std::size_t kMaxUsages = 12288;
constexpr std::size_t kMaxGlobalStack = 8;
constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::uint64_t kMaxReportBits = 16384ULL * 8;

enum class ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };

struct GlobalState {
    std::uint16_t usagePage = 0;
    std::int32_t logicalMinimum = 0;
    std::int32_t logicalMaximum = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct LocalState {
    std::vector<std::uint32_t> usages;
    std::uint32_t usageMinimum = 0;
    std::uint32_t usageMaximum = 0;
    bool hasMinimum = false;
    bool hasMaximum = false;

    void Clear() { *this = LocalState{}; }
};

struct OpenCollection {
    bool application = false;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

std::uint32_t Unsigned(std::span<const std::uint8_t> data) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

std::int32_t Signed(std::span<const std::uint8_t> data) {
    const std::uint32_t value = Unsigned(data);
    switch (data.size()) {
        case 1:
            return static_cast<std::int8_t>(value);
        case 2:
            return static_cast<std::int16_t>(value);
        case 4:
            return static_cast<std::int32_t>(value);
        default:
            return 0;
    }
}

// Usages of up to two bytes take the current usage page; four-byte usages carry their own.
std::uint32_t ExtendUsage(std::uint32_t value, std::size_t size, std::uint16_t page) {
    return size == 4 ? value : (static_cast<std::uint32_t>(page) << 16) | (value & 0xFFFF);
}

class Parser {
public:
    DescriptorParseResult Run(std::span<const std::uint8_t> bytes) {
        DescriptorParseResult result;
        if (bytes.size() > kMaxReportDescriptorSize) {
            result.error = "descriptor longer than " + std::to_string(kMaxReportDescriptorSize) + " bytes";
            return result;
        }
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            const std::uint8_t prefix = bytes[pos];
            if (prefix == 0xFE) {  // long item: skipped
                if (pos + 3 > bytes.size()) {
                    return Fail("truncated long item", pos);
                }
                const std::size_t size = bytes[pos + 1];
                if (pos + 3 + size > bytes.size()) {
                    return Fail("truncated long item", pos);
                }
                pos += 3 + size;
                continue;
            }
            static constexpr std::array<std::size_t, 4> kSizes = {0, 1, 2, 4};
            const std::size_t size = kSizes[prefix & 3U];
            if (pos + 1 + size > bytes.size()) {
                return Fail("truncated item", pos);
            }
            const auto data = bytes.subspan(pos + 1, size);
            const auto type = static_cast<ItemType>((prefix >> 2) & 3U);
            const std::uint8_t tag = prefix >> 4;
            std::string error;
            switch (type) {
                case ItemType::Main:
                    error = Main(tag, data);
                    break;
                case ItemType::Global:
                    error = Global(tag, data);
                    break;
                case ItemType::Local:
                    error = Local(tag, data);
                    break;
                case ItemType::Reserved:
                    break;
            }
            if (!error.empty()) {
                return Fail(error, pos);
            }
            pos += 1 + size;
        }
        if (!stack_.empty()) {
            return Fail("unbalanced collection at end of descriptor", bytes.size());
        }
        descriptor_.usesReportIds = usesReportIds_;
        result.descriptor = std::move(descriptor_);
        return result;
    }

private:
    static DescriptorParseResult Fail(const std::string& what, std::size_t offset) {
        DescriptorParseResult result;
        result.error = what + " at byte " + std::to_string(offset);
        return result;
    }

    std::string Main(std::uint8_t tag, std::span<const std::uint8_t> data) {
        switch (tag) {
            case 0x8:
                return AddField(HidReportType::Input, Unsigned(data));
            case 0x9:
                return AddField(HidReportType::Output, Unsigned(data));
            case 0xB:
                return AddField(HidReportType::Feature, Unsigned(data));
            case 0xA: {  // collection
                if (stack_.size() >= kMaxCollectionDepth) {
                    return "collections nested too deeply";
                }
                const std::uint32_t usage =
                    local_.usages.empty()
                        ? (local_.hasMinimum ? local_.usageMinimum : ExtendUsage(0, 0, global_.usagePage))
                        : local_.usages.front();
                OpenCollection open;
                open.application = Unsigned(data) == 1;
                open.usagePage = static_cast<std::uint16_t>(usage >> 16);
                open.usage = static_cast<std::uint16_t>(usage & 0xFFFF);
                if (stack_.empty()) {
                    descriptor_.collections.push_back({open.usagePage, open.usage});
                }
                if (open.application) {
                    lastApplication_ = open;
                }
                stack_.push_back(open);
                local_.Clear();
                return {};
            }
            case 0xC:  // end collection
                if (stack_.empty()) {
                    return "end collection without collection";
                }
                stack_.pop_back();
                local_.Clear();
                return {};
            default:
                local_.Clear();
                return {};
        }
    }

    std::string AddField(HidReportType type, std::uint32_t flags) {
        if (stack_.empty()) {
            local_.Clear();
            return "main item outside any collection";
        }
        if (global_.reportSize > kMaxReportSize) {
            return "report size too large";
        }
        if (global_.reportCount > kMaxReportCount) {
            return "report count too large";
        }
        HidReportInfo& report = ReportFor(type, global_.reportId);
        const std::uint64_t fieldBits = static_cast<std::uint64_t>(global_.reportSize) * global_.reportCount;
        if (report.bits + fieldBits > kMaxReportBits) {
            return "report too long";
        }
        HidField field;
        field.type = type;
        field.reportId = global_.reportId;
        field.collection = static_cast<int>(descriptor_.collections.size());
        field.bitOffset = report.bits;
        field.reportSize = global_.reportSize;
        field.reportCount = global_.reportCount;
        field.flags = flags;
        field.usagePage = global_.usagePage;
        field.logicalMinimum = global_.logicalMinimum;
        field.logicalMaximum = global_.logicalMaximum;
        field.usages = std::move(local_.usages);
        if (local_.hasMinimum && local_.hasMaximum) {
            field.hasUsageRange = true;
            field.usageMinimum = local_.usageMinimum;
            field.usageMaximum = std::max(local_.usageMinimum, local_.usageMaximum);
        }
        report.bits += static_cast<std::uint32_t>(fieldBits);
        descriptor_.fields.push_back(std::move(field));
        local_.Clear();
        return {};
    }

    HidReportInfo& ReportFor(HidReportType type, std::uint8_t id) {
        for (HidReportInfo& report : descriptor_.reports) {
            if (report.type == type && report.reportId == id) {
                return report;
            }
        }
        HidReportInfo report;
        report.type = type;
        report.reportId = id;
        report.collection = static_cast<int>(descriptor_.collections.size());
        report.applicationUsagePage = lastApplication_.usagePage;
        report.applicationUsage = lastApplication_.usage;
        descriptor_.reports.push_back(report);
        return descriptor_.reports.back();
    }

    std::string Global(std::uint8_t tag, std::span<const std::uint8_t> data) {
        switch (tag) {
            case 0x0:
                global_.usagePage = static_cast<std::uint16_t>(Unsigned(data));
                break;
            case 0x1:
                global_.logicalMinimum = Signed(data);
                break;
            case 0x2:
                // A maximum below a non-negative minimum is meant unsigned (0..255 written as 0xFF).
                global_.logicalMaximum =
                    global_.logicalMinimum >= 0 && Signed(data) < global_.logicalMinimum
                        ? static_cast<std::int32_t>(std::min<std::uint32_t>(Unsigned(data), 0x7FFFFFFF))
                        : Signed(data);
                break;
            case 0x7:
                global_.reportSize = Unsigned(data);
                break;
            case 0x8: {
                const std::uint32_t id = Unsigned(data);
                if (id == 0 || id > 255) {
                    return "invalid report ID";
                }
                global_.reportId = static_cast<std::uint8_t>(id);
                usesReportIds_ = true;
                break;
            }
            case 0x9:
                global_.reportCount = Unsigned(data);
                break;
            case 0xA:
                if (globalStack_.size() >= kMaxGlobalStack) {
                    return "global stack overflow";
                }
                globalStack_.push_back(global_);
                break;
            case 0xB:
                if (globalStack_.empty()) {
                    return "pop without push";
                }
                global_ = globalStack_.back();
                globalStack_.pop_back();
                break;
            default:  // physical range, unit, exponent: not needed
                break;
        }
        return {};
    }

    std::string Local(std::uint8_t tag, std::span<const std::uint8_t> data) {
        const std::uint32_t usage = ExtendUsage(Unsigned(data), data.size(), global_.usagePage);
        switch (tag) {
            case 0x0:
                if (local_.usages.size() >= kMaxUsages) {
                    return "too many usages";
                }
                local_.usages.push_back(usage);
                break;
            case 0x1:
                local_.usageMinimum = usage;
                local_.hasMinimum = true;
                break;
            case 0x2:
                local_.usageMaximum = usage;
                local_.hasMaximum = true;
                break;
            default:  // designators, strings, delimiters: not needed
                break;
        }
        return {};
    }

    ReportDescriptor descriptor_;
    GlobalState global_;
    LocalState local_;
    std::vector<GlobalState> globalStack_;
    std::vector<OpenCollection> stack_;
    OpenCollection lastApplication_;  // most recently opened, even when closed again
    bool usesReportIds_ = false;
};

std::uint32_t ExtractBits(std::span<const std::uint8_t> payload, std::uint32_t offset, std::uint32_t size) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < size && i < 32; ++i) {
        const std::uint32_t bit = offset + i;
        if (((payload[bit / 8] >> (bit % 8)) & 1U) != 0) {
            value |= 1U << i;
        }
    }
    return value;
}

std::int32_t SignExtend(std::uint32_t raw, std::uint32_t size) {
    if (size == 0 || size >= 32) {
        return static_cast<std::int32_t>(raw);
    }
    const std::uint32_t sign = 1U << (size - 1);
    return static_cast<std::int32_t>((raw ^ sign) - sign);
}

HidUsageData MakeUsage(std::uint8_t reportId, bool button, std::uint32_t extended, std::uint16_t page,
                       std::int32_t value) {
    HidUsageData data;
    data.reportId = reportId;
    data.isButton = button;
    const auto high = static_cast<std::uint16_t>(extended >> 16);
    data.usagePage = high != 0 ? high : page;
    data.usage = static_cast<std::uint16_t>(extended & 0xFFFF);
    data.value = value;
    return data;
}

}  // namespace

const HidReportInfo* ReportDescriptor::FindReport(HidReportType type, std::uint8_t reportId) const {
    for (const HidReportInfo& report : reports) {
        if (report.type == type && report.reportId == reportId) {
            return &report;
        }
    }
    return nullptr;
}

int ReportDescriptor::CollectionOfReport(HidReportType type, std::uint8_t reportId) const {
    const HidReportInfo* report = FindReport(type, reportId);
    return report != nullptr ? report->collection : 0;
}

std::size_t ReportDescriptor::MaxReportLength(int collection, HidReportType type) const {
    std::size_t length = 0;
    for (const HidReportInfo& report : reports) {
        if (report.type == type && report.collection == collection) {
            length = std::max<std::size_t>(length, (report.bits + 7) / 8 + 1);
        }
    }
    return length;
}

DescriptorParseResult ParseReportDescriptor(std::span<const std::uint8_t> bytes) {
    return Parser().Run(bytes);
}

std::vector<HidUsageData> UnpackInputReport(const ReportDescriptor& descriptor, int collection,
                                            std::span<const std::uint8_t> report) {
    std::vector<HidUsageData> buttons;
    std::vector<HidUsageData> values;
    if (report.empty()) {
        return buttons;
    }
    const std::uint8_t id = report[0];
    const auto payload = report.subspan(1);
    const std::uint64_t availableBits = static_cast<std::uint64_t>(payload.size()) * 8;
    for (const HidField& field : descriptor.fields) {
        if (field.type != HidReportType::Input || field.collection != collection || field.reportId != id ||
            field.IsConstant() || field.reportSize == 0) {
            continue;
        }
        for (std::uint32_t i = 0; i < field.reportCount; ++i) {
            const std::uint64_t offset = field.bitOffset + static_cast<std::uint64_t>(i) * field.reportSize;
            if (offset + field.reportSize > availableBits || field.reportSize > 32) {
                break;
            }
            const std::uint32_t raw =
                ExtractBits(payload, static_cast<std::uint32_t>(offset), field.reportSize);
            const bool isSigned = field.logicalMinimum < 0;
            const std::int32_t value =
                isSigned ? SignExtend(raw, field.reportSize) : static_cast<std::int32_t>(raw);
            if (field.IsVariable()) {
                std::uint32_t usage = 0;
                if (i < field.usages.size()) {
                    usage = field.usages[i];
                } else if (field.hasUsageRange) {
                    usage = std::min(field.usageMinimum + i, field.usageMaximum);
                } else if (!field.usages.empty()) {
                    usage = field.usages.back();
                } else {
                    continue;
                }
                if (field.reportSize == 1) {
                    if (raw != 0) {
                        buttons.push_back(MakeUsage(id, true, usage, field.usagePage, 1));
                    }
                } else {
                    values.push_back(MakeUsage(id, false, usage, field.usagePage, value));
                }
                continue;
            }
            // Array: each slot holds an index into the usages.
            if (value < field.logicalMinimum || value > field.logicalMaximum) {
                continue;
            }
            const std::int64_t index = std::int64_t{value} - field.logicalMinimum;  // 0 to 2^32 - 1
            std::uint32_t usage = 0;
            if (field.hasUsageRange) {
                if (index > std::int64_t{field.usageMaximum} - field.usageMinimum) {
                    continue;
                }
                usage = static_cast<std::uint32_t>(field.usageMinimum + index);
            } else if (static_cast<std::uint64_t>(index) < field.usages.size()) {
                usage = field.usages[static_cast<std::size_t>(index)];
            } else {
                continue;
            }
            if ((usage & 0xFFFF) == 0) {  // "no event"
                continue;
            }
            buttons.push_back(MakeUsage(id, true, usage, field.usagePage, 1));
        }
    }
    buttons.insert(buttons.end(), values.begin(), values.end());
    return buttons;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && high < 0) {
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c)) != 0 || c == ',') {
            if (high >= 0) {
                return std::nullopt;  // a lone digit
            }
            continue;
        }
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
            return std::nullopt;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace norvane::device
