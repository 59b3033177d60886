#include "devices/audio/headset_sink.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace norvane::devices::audio {
namespace {

const AudioDeviceIdentity kHeadset{0x0d8c, 0x0012, {}};

TEST(HeadsetSink, UsbIdsAsTheServerWritesThem) {
    const struct {
        std::string text;
        std::optional<std::uint16_t> id;
    } cases[] = {
        {"0x0d8c", 0x0d8c},   {"0x0D8C", 0x0d8c},   {"0d8c", 0x0d8c},          {"12", 0x12},
        {"0xffff", 0xffff},   {"", std::nullopt},   {"0x", std::nullopt},      {"0x10000", std::nullopt},
        {"zz", std::nullopt}, {"-1", std::nullopt}, {"0x0d8c ", std::nullopt}, {" 0d8c", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUsbId(c.text), c.id) << '"' << c.text << '"';
    }
}

TEST(HeadsetSink, ObjectsNameTheHeadsetByVendorAndProduct) {
    const struct {
        ObjectProperties properties;
        bool headset;
    } cases[] = {
        {{{"device.vendor.id", "0x0d8c"}, {"device.product.id", "0x0012"}}, true},
        {{{"device.vendor.id", "0x0d8c"}, {"device.product.id", "0x0013"}}, false},
        {{{"device.vendor.id", "0x0d8d"}, {"device.product.id", "0x0012"}}, false},
        {{{"device.vendor.id", "0x0d8c"}}, false},
        {{{"device.product.id", "0x0012"}}, false},
        {{{"device.vendor.id", "garbage"}, {"device.product.id", "0x0012"}}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NamesHeadset(c.properties, kHeadset), c.headset);
    }
}

TEST(HeadsetSink, FindsTheSinkByItsOwnIdsOrItsDevice) {
    const ObjectMap devices{
        {40, {{"device.vendor.id", "0x0d8c"}, {"device.product.id", "0x0012"}}},
        {41, {{"device.vendor.id", "0x1234"}, {"device.product.id", "0x0012"}}},
    };
    const ObjectProperties sink{{"media.class", "Audio/Sink"}};
    auto with = [&](ObjectProperties extra) {
        ObjectProperties p = sink;
        p.merge(extra);
        return p;
    };
    const struct {
        const char* what;
        ObjectMap sinks;
        std::optional<std::uint32_t> found;
    } cases[] = {
        {"through its device", {{50, with({{"device.id", "41"}})}, {51, with({{"device.id", "40"}})}}, 51},
        {"its own ids", {{52, with({{"device.vendor.id", "0x0d8c"}, {"device.product.id", "0x0012"}})}}, 52},
        {"another card only", {{50, with({{"device.id", "41"}})}}, std::nullopt},
        {"unknown device", {{50, with({{"device.id", "99"}})}}, std::nullopt},
        {"bad device id",
         {{50, with({{"device.id", "40x"}})}, {53, with({{"device.id", ""}})}},
         std::nullopt},
        {"a source of the headset",
         {{54, {{"media.class", "Audio/Source"}, {"device.id", "40"}}}},
         std::nullopt},
        {"the equaliser's own sink",
         {{55,
           with(
               {{"node.name", "eq-sink"}, {"device.vendor.id", "0x0d8c"}, {"device.product.id", "0x0012"}})}},
         std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindHeadsetSink(c.sinks, devices, kHeadset, "eq-sink"), c.found) << c.what;
    }
}

}  // namespace
}  // namespace norvane::devices::audio
