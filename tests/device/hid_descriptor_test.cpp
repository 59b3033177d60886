#include "device/hid_descriptor.h"
#include "device/hid_descriptor_json.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>

namespace norvane::device {
namespace {

std::vector<std::uint8_t> LoadHex(const std::string& name) {
    const auto text = test::ReadText(std::string(NORVANE_DEVICE_TEST_DATA) + "/" + name + ".hex");
    auto bytes = ParseHexBytes(text);
    EXPECT_TRUE(bytes.has_value()) << name;
    return bytes.value_or(std::vector<std::uint8_t>{});
}

Json::Value ParseJson(const std::string& text) {
    Json::Value value;
    Json::CharReaderBuilder builder;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << errors;
    return value;
}

class RealDescriptorTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RealDescriptorTest, CollectionsAndReportLengthsMatchTheIndependentParser) {
    const auto bytes = LoadHex(GetParam());
    ASSERT_FALSE(bytes.empty());
    const auto parsed = ParseReportDescriptor(bytes);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    const Json::Value expected = ParseJson(
        test::ReadText(std::string(NORVANE_DEVICE_TEST_DATA) + "/" + GetParam() + ".expected.json"));
    const Json::Value actual = ParseJson(DescriptorToJson(*parsed.descriptor));
    EXPECT_EQ(actual["top_level_collections"], expected["top_level_collections"])
        << DescriptorToJson(*parsed.descriptor);
    EXPECT_EQ(actual["reports"], expected["reports"]) << DescriptorToJson(*parsed.descriptor);
}

TEST_P(RealDescriptorTest, EveryTruncationFailsCleanlyOrParses) {
    const auto bytes = LoadHex(GetParam());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const auto parsed = ParseReportDescriptor(std::span(bytes).first(n));
        if (!parsed.descriptor) {
            EXPECT_FALSE(parsed.error.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, RealDescriptorTest,
                         ::testing::Values("mt03", "mt08", "mt14", "mt33", "mt43"));

TEST(HidDescriptorTest, ReportsBelongToTheirTopLevelCollection) {
    const auto parsed = ParseReportDescriptor(LoadHex("mt03"));
    ASSERT_TRUE(parsed.descriptor);
    const ReportDescriptor& d = *parsed.descriptor;
    EXPECT_EQ(d.CollectionOfReport(HidReportType::Input, 1), 1);
    // Report 6 sits in an application collection nested inside collection 2.
    EXPECT_EQ(d.CollectionOfReport(HidReportType::Feature, 6), 2);
    EXPECT_EQ(d.CollectionOfReport(HidReportType::Input, 3), 3);
    EXPECT_EQ(d.CollectionOfReport(HidReportType::Input, 5), 4);
    EXPECT_EQ(d.CollectionOfReport(HidReportType::Input, 9), 0);
    EXPECT_EQ(d.MaxReportLength(4, HidReportType::Input), 64u);
    EXPECT_EQ(d.MaxReportLength(4, HidReportType::Output), 0u);
}

TEST(HidDescriptorTest, UnpacksButtonsAndSignedValues) {
    // Mouse of mt03: report 3 = two buttons, six pad bits, X and Y as 16-bit values.
    const auto parsed = ParseReportDescriptor(LoadHex("mt03"));
    ASSERT_TRUE(parsed.descriptor);
    const std::vector<std::uint8_t> report = {3, 0x02, 0x34, 0x12, 0x10, 0x00};
    const auto usages = UnpackInputReport(*parsed.descriptor, 3, report);
    ASSERT_EQ(usages.size(), 3u);
    EXPECT_TRUE(usages[0].isButton);
    EXPECT_EQ(usages[0].usagePage, 0x09);
    EXPECT_EQ(usages[0].usage, 2);
    EXPECT_FALSE(usages[1].isButton);
    EXPECT_EQ(usages[1].usagePage, 0x01);
    EXPECT_EQ(usages[1].usage, 0x30);
    EXPECT_EQ(usages[1].value, 0x1234);
    EXPECT_EQ(usages[2].usage, 0x31);
    EXPECT_EQ(usages[2].value, 0x10);
    // The same report asked of another collection yields nothing.
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, report).empty());
}

TEST(HidDescriptorTest, UnpacksConsumerArrayIntoItsUsage) {
    // Consumer control, report 3, one 16-bit array slot over usages 0..0x1FFF.
    const std::vector<std::uint8_t> desc = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x15,
                                            0x00, 0x26, 0xFF, 0x1F, 0x19, 0x00, 0x2A, 0xFF, 0x1F,
                                            0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
    const auto parsed = ParseReportDescriptor(desc);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    const std::vector<std::uint8_t> event = {3, 0x02, 0x04};
    const auto usages = UnpackInputReport(*parsed.descriptor, 1, event);
    ASSERT_EQ(usages.size(), 1u);
    EXPECT_EQ(usages[0].usage, 0x402);
    EXPECT_EQ(usages[0].usagePage, 0x0C);
    // Slot 0 means no usage; an out-of-range index and a short report unpack to nothing.
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{3, 0, 0}).empty());
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{3, 0xFF, 0xFF}).empty());
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{3, 0x02}).empty());
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{}).empty());
}

// A 32-bit array slot whose logical range spans the whole signed range: the index is
// value - minimum, which does not fit 32 signed bits.
TEST(HidDescriptorTest, ArrayIndexOverTheFullSignedRange) {
    const std::vector<std::uint8_t> desc = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x15, 0xFF, 0x27,
                                            0xFF, 0xFF, 0xFF, 0x7F, 0x19, 0x00, 0x2A, 0xFF, 0x03,
                                            0x75, 0x20, 0x95, 0x01, 0x81, 0x00, 0xC0};
    const auto parsed = ParseReportDescriptor(desc);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    EXPECT_TRUE(UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{0, 0xFF, 0xFF, 0xFF, 0x7F})
                    .empty());
    const auto usages = UnpackInputReport(*parsed.descriptor, 1, std::vector<std::uint8_t>{0, 0x01, 0, 0, 0});
    ASSERT_EQ(usages.size(), 1u);
    EXPECT_EQ(usages[0].usage, 2);
}

TEST(HidDescriptorTest, UnnumberedReportsHaveNoIdByte) {
    const std::vector<std::uint8_t> desc = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                            0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x20, 0x09, 0x01,
                                            0x81, 0x02, 0x09, 0x02, 0x91, 0x02, 0xC0};
    const auto parsed = ParseReportDescriptor(desc);
    ASSERT_TRUE(parsed.descriptor) << parsed.error;
    EXPECT_FALSE(parsed.descriptor->usesReportIds);
    ASSERT_EQ(parsed.descriptor->reports.size(), 2u);
    EXPECT_EQ(parsed.descriptor->reports[0].ByteLength(), 32u);
    EXPECT_EQ(parsed.descriptor->MaxReportLength(1, HidReportType::Input), 33u);
    EXPECT_EQ(parsed.descriptor->collections[0].usagePage, 0xFF00);
}

TEST(HidDescriptorTest, MalformedDescriptorsAreRejected) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"truncated item", {0x05, 0x01, 0x09}},
        {"end without collection", {0xC0}},
        {"unbalanced", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}},
        {"pop without push", {0xB4}},
        {"report id 0", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"report count huge",
         {0x05, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x02, 0xC0}},
        {"report size huge",
         {0x05, 0x01, 0xA1, 0x01, 0x77, 0x00, 0x00, 0x01, 0x00, 0x95, 0x01, 0x81, 0x02, 0xC0}},
        {"main item outside collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"truncated long item", {0xFE, 0x05, 0x00, 0x01}},
        {"too deep", std::vector<std::uint8_t>(66, 0xA1)},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseReportDescriptor(c.bytes);
        EXPECT_FALSE(parsed.descriptor) << c.name;
        EXPECT_FALSE(parsed.error.empty()) << c.name;
    }
    EXPECT_FALSE(
        ParseReportDescriptor(std::vector<std::uint8_t>(kMaxReportDescriptorSize + 1, 0)).descriptor);
    // An empty descriptor is valid and describes nothing.
    const auto empty = ParseReportDescriptor({});
    ASSERT_TRUE(empty.descriptor);
    EXPECT_TRUE(empty.descriptor->collections.empty());
}

TEST(HidDescriptorTest, HexText) {
    EXPECT_EQ(ParseHexBytes("05 0c\n09 01"), (std::vector<std::uint8_t>{0x05, 0x0C, 0x09, 0x01}));
    EXPECT_EQ(ParseHexBytes("0x05,0x0C"), (std::vector<std::uint8_t>{0x05, 0x0C}));
    EXPECT_EQ(ParseHexBytes("a1C0"), (std::vector<std::uint8_t>{0xA1, 0xC0}));
    EXPECT_EQ(ParseHexBytes(""), std::vector<std::uint8_t>{});
    EXPECT_FALSE(ParseHexBytes("05 0"));
    EXPECT_FALSE(ParseHexBytes("0 5"));
    EXPECT_FALSE(ParseHexBytes("zz"));
}

}  // namespace
}  // namespace norvane::device
