#include "device/catalogue.h"
#include "device/hid_interface.h"
#include "device/hidraw_backend.h"
#include "device/path_keys.h"
#include "sim/products.h"
#include "tests/device/fake_sysfs.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <algorithm>

namespace norvane::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes CorpusDescriptor(const std::string& name) {
    return ParseHexBytes(test::ReadText(std::string(NORVANE_DEVICE_TEST_DATA) + "/" + name + ".hex")).value();
}

class HidrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyboardBoot_ = sysfs_.Add(2, {0x320F, 0x50B7, 0x0102, 0, sim::BootKeyboardDescriptor()});
        keyboard_ = sysfs_.Add(3, {0x320F, 0x50B7, 0x0102, 1, sim::PeripheralDescriptor()});
        headset_ = sysfs_.Add(10, {0x0C76, 0x1630, 0x0100, 3, sim::HeadsetDescriptor()});
        backend_ = std::make_unique<HidrawBackend>(sysfs_.Config());
    }

    test::FakeSysfs sysfs_;
    std::string keyboardBoot_, keyboard_, headset_;
    std::unique_ptr<HidrawBackend> backend_;
};

TEST_F(HidrawTest, OnePathPerTopLevelCollectionWithItsKeys) {
    std::vector<std::string> paths;
    ASSERT_TRUE(backend_->Enumerate(paths));
    const std::vector<std::string> expected = {
        "/dev/hidraw2#vid_320f&pid_50b7&mi_00",       "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col01",
        "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col02", "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col03",
        "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04", "/dev/hidraw10#vid_0c76&pid_1630&mi_03",
    };
    EXPECT_EQ(paths, expected);
}

TEST_F(HidrawTest, RealDescriptorsGiveTheirCollectionsAndReportLengths) {
    struct Case {
        const char* name;
        int collections;
        int collection;  // opened
        std::uint16_t usagePage, usage, input, output, feature;
    };
    // Lengths from the independent parser's reports of a collection whose usage is unique.
    const Case cases[] = {
        {"mt03", 4, 4, 511, 1, 64, 0, 0},    {"mt08", 6, 2, 1, 2, 8, 0, 0},
        {"mt14", 5, 3, 65280, 1, 64, 64, 0}, {"mt33", 6, 2, 13, 14, 0, 0, 3},
        {"mt43", 4, 4, 140, 7, 64, 64, 0},
    };
    int n = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string node = sysfs_.Add(n++, {0x1234, 0x5678, 0x0200, 0, CorpusDescriptor(c.name)});
        std::vector<std::string> paths;
        ASSERT_TRUE(backend_->Enumerate(paths));
        std::vector<std::string> mine;
        for (const auto& path : paths) {
            if (PathNode(path) == "/dev/" + node) {
                mine.push_back(path);
            }
        }
        ASSERT_EQ(mine.size(), static_cast<std::size_t>(c.collections));
        HidInterface interface(backend_.get());
        ASSERT_TRUE(
            interface.Open(mine[static_cast<std::size_t>(c.collection) - 1], true, true, true, false));
        EXPECT_EQ(interface.CollectionNumber(), c.collection);
        const HidCapabilities caps = interface.Capabilities();
        EXPECT_EQ(caps.usagePage, c.usagePage);
        EXPECT_EQ(caps.usage, c.usage);
        EXPECT_EQ(caps.inputReportByteLength, c.input);
        EXPECT_EQ(caps.outputReportByteLength, c.output);
        EXPECT_EQ(caps.featureReportByteLength, c.feature);
        EXPECT_EQ(interface.Attributes().versionNumber, 0x0200);
    }
}

TEST_F(HidrawTest, CatalogueInterfacesAreIdentifiedFromSysfs) {
    HidInterface command(backend_.get());
    ASSERT_TRUE(command.Open("/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    const auto caps = command.Capabilities();
    const auto attrs = command.Attributes();
    EXPECT_EQ(attrs.versionNumber, 0x0102);
    EXPECT_EQ(caps.inputReportByteLength, 64);
    const auto match = IdentifyInterface({attrs.vendorId, attrs.productId, command.InterfaceNumber(),
                                          command.CollectionNumber(), caps.usagePage, caps.usage});
    ASSERT_TRUE(match);
    EXPECT_EQ(match->row, 0);

    HidInterface headset(backend_.get());
    ASSERT_TRUE(headset.Open("/dev/hidraw10#vid_0c76&pid_1630&mi_03", true, true, true, false));
    EXPECT_EQ(headset.CollectionNumber(), 0);
    EXPECT_EQ(IdentifyInterface(
                  {0x0C76, 0x1630, 3, 0, headset.Capabilities().usagePage, headset.Capabilities().usage})
                  ->row,
              10);
}

TEST_F(HidrawTest, ReadsDeliverOnlyTheOpenedCollectionsReports) {
    HidInterface events(backend_.get());
    HidInterface command(backend_.get());
    ASSERT_TRUE(events.Open("/dev/hidraw3#vid_320f&pid_50b7&mi_01&col03", true, true, true, false));
    ASSERT_TRUE(command.Open("/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    Bytes answer(64, 0);
    answer[0] = 4;
    answer[3] = 0x1A;
    sysfs_.SendInput(keyboard_, {1, 0, 0, 4, 0, 0, 0, 0, 0});  // a key press of collection 1
    sysfs_.SendInput(keyboard_, {3, 0x01, 0x04});
    sysfs_.SendInput(keyboard_, answer);

    Bytes buffer(64);
    std::size_t count = 0;
    ASSERT_TRUE(command.ReadReport(buffer, count, 100));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(buffer, answer);
    EXPECT_FALSE(command.ReadReport(buffer, count, 0));

    ASSERT_TRUE(events.ReadReport(buffer, count, 100));
    ASSERT_EQ(count, 3u);
    const auto usages = events.UnpackInputReport(std::span(buffer).first(count));
    ASSERT_EQ(usages.size(), 1u);
    EXPECT_EQ(usages[0].usage, 0x401);
    EXPECT_FALSE(events.ReadReport(buffer, count, 0));
}

TEST_F(HidrawTest, UnnumberedReportsGetALeadingZero) {
    HidInterface boot(backend_.get());
    ASSERT_TRUE(boot.Open("/dev/hidraw2#vid_320f&pid_50b7&mi_00", true, true, true, false));
    sysfs_.SendInput(keyboardBoot_, {0x02, 0x00, 0x04, 0, 0, 0, 0, 0});
    Bytes buffer(boot.Capabilities().inputReportByteLength);
    ASSERT_EQ(buffer.size(), 9u);
    std::size_t count = 0;
    ASSERT_TRUE(boot.ReadReport(buffer, count, 100));
    EXPECT_EQ(count, 9u);
    EXPECT_EQ(buffer, (Bytes{0, 0x02, 0x00, 0x04, 0, 0, 0, 0, 0}));
}

TEST_F(HidrawTest, WritesSendReportIdAndPayload) {
    HidInterface headset(backend_.get());
    ASSERT_TRUE(headset.Open("/dev/hidraw10#vid_0c76&pid_1630&mi_03", true, true, true, false));
    Bytes led(17, 0x11);
    led[0] = 0xFF;
    EXPECT_TRUE(headset.SetOutputReport(led));
    Bytes received(64);
    const auto n = ::recv(sysfs_.Peer(headset_, 0), received.data(), received.size(), MSG_DONTWAIT);
    ASSERT_EQ(n, 17);
    received.resize(17);
    EXPECT_EQ(received, led);
    // A report the collection has no output report for is refused.
    led[0] = 0x33;
    EXPECT_FALSE(headset.SetOutputReport(led));
}

// A Bluetooth keyboard behind a USB dongle: the dongle's interface number and version are
// not the keyboard's.
TEST_F(HidrawTest, OnlyUsbDevicesTakeInterfaceAndVersionFromTheirUsbAncestors) {
    sysfs_.Add(7, {0x320F, 0x50B7, 0x0102, 1, sim::PeripheralDescriptor(), 5});
    const auto node = backend_->ReadNode("hidraw7");
    ASSERT_TRUE(node);
    EXPECT_EQ(node->interfaceNumber, std::nullopt);
    EXPECT_EQ(node->attributes.versionNumber, 0);
    std::vector<std::string> paths;
    ASSERT_TRUE(backend_->Enumerate(paths));
    EXPECT_NE(std::find(paths.begin(), paths.end(), "/dev/hidraw7#vid_320f&pid_50b7&col04"), paths.end());
    EXPECT_EQ(std::find(paths.begin(), paths.end(), "/dev/hidraw7#vid_320f&pid_50b7&mi_01&col04"),
              paths.end());
}

// What a node gave is kept only while its sysfs entry is the same: a node name that comes
// back for another device (same product and interface, another descriptor) is read afresh,
// whether it is next looked up by path or listed.
TEST_F(HidrawTest, AReusedNodeNameIsNotServedFromTheCache) {
    const std::string before = "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04";
    const std::string after = "/dev/hidraw3#vid_320f&pid_50b7&mi_01";
    std::vector<std::string> paths;
    for (const bool listFirst : {false, true}) {
        SCOPED_TRACE(listFirst ? "listed first" : "looked up first");
        ASSERT_TRUE(backend_->Enumerate(paths));
        ASSERT_TRUE(backend_->Describe(before));
        sysfs_.Remove("hidraw3");
        sysfs_.Add(3, {0x320F, 0x50B7, 0x0102, 1, sim::HeadsetDescriptor()});
        if (listFirst) {
            ASSERT_TRUE(backend_->Enumerate(paths));
            EXPECT_NE(std::find(paths.begin(), paths.end(), after), paths.end());
            EXPECT_EQ(std::find(paths.begin(), paths.end(), before), paths.end());
        }
        EXPECT_FALSE(backend_->Probe(before));
        const auto description = backend_->Describe(after);
        ASSERT_TRUE(description);
        EXPECT_EQ(description->capabilities.usagePage, 0x0C);
        // And back to the keyboard's interface for the next round.
        sysfs_.Remove("hidraw3");
        sysfs_.Add(3, {0x320F, 0x50B7, 0x0102, 1, sim::PeripheralDescriptor()});
        EXPECT_FALSE(backend_->Probe(after));
        EXPECT_TRUE(backend_->Probe(before));
    }
}

TEST_F(HidrawTest, OpenFailuresReportTheirCause) {
    HidInterface command(backend_.get());
    sysfs_.DenyOpens(EACCES);
    EXPECT_FALSE(command.Open("/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    EXPECT_EQ(backend_->LastOpenError(), EACCES);
    sysfs_.DenyOpens(0);
    // Keys that name another device, a missing collection, an unknown node.
    EXPECT_FALSE(command.Open("/dev/hidraw3#vid_320f&pid_221c&mi_01&col04", true, true, true, false));
    EXPECT_FALSE(command.Open("/dev/hidraw3#vid_320f&pid_50b7&mi_01&col05", true, true, true, false));
    EXPECT_FALSE(command.Open("/dev/hidraw99#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    EXPECT_FALSE(command.Open("/dev/sda#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    EXPECT_EQ(backend_->LastOpenError(), ENOENT);
    // Interface and collection keys must fit the node: hidraw2 is interface 0 with one
    // collection, hidraw3 interface 1 with four, hidraw10 interface 3 with one.
    for (const char* path :
         {"/dev/hidraw2#vid_320f&pid_50b7&mi_01&col04", "/dev/hidraw2#vid_320f&pid_50b7&mi_00&col01",
          "/dev/hidraw2#vid_320f&pid_50b7", "/dev/hidraw3#vid_320f&pid_50b7&mi_00&col04",
          "/dev/hidraw3#vid_320f&pid_50b7&mi_01", "/dev/hidraw10#vid_0c76&pid_1630&mi_03&col01"}) {
        EXPECT_FALSE(command.Open(path, true, true, true, false)) << path;
        EXPECT_FALSE(backend_->Probe(path)) << path;
    }
    EXPECT_TRUE(backend_->Probe("/dev/hidraw2#vid_320f&pid_50b7&mi_00"));
}

TEST_F(HidrawTest, PresenceProbeAndUnplug) {
    const std::string path = "/dev/hidraw3#vid_320f&pid_50b7&mi_01&col04";
    EXPECT_TRUE(backend_->Probe(path));
    EXPECT_FALSE(backend_->Probe("/dev/hidraw3#vid_320f&pid_1004&mi_01&col04"));
    HidInterface command(backend_.get());
    ASSERT_TRUE(command.Open(path, true, true, true, false));
    sysfs_.Hangup(keyboard_);
    sysfs_.Remove(keyboard_);
    EXPECT_FALSE(backend_->Probe(path));
    // The number comes back for another interface of the same product: not the old device.
    sysfs_.Add(3, {0x320F, 0x50B7, 0x0102, 0, sim::BootKeyboardDescriptor()});
    EXPECT_FALSE(backend_->Probe(path));
    Bytes buffer(64);
    std::size_t count = 0;
    EXPECT_FALSE(command.ReadReport(buffer, count, 1000));
    EXPECT_FALSE(command.WriteReport(Bytes(64, 4), count, 100));
}

TEST(HidrawTreeTest, BrokenNodesAreSkippedAndAnEmptyTreeIsAnEmptyList) {
    test::FakeSysfs sysfs;
    HidrawBackend backend(sysfs.Config());
    std::vector<std::string> paths = {"stale"};
    EXPECT_TRUE(backend.Enumerate(paths));  // no hidraw class at all
    EXPECT_TRUE(paths.empty());

    sysfs.Add(1, {0x320F, 0x1004, 0x0100, 1, {0xA1, 0x01}});  // unbalanced descriptor
    const std::string good = sysfs.Add(2, {0x320F, 0x1004, 0x0100, 1, sim::PeripheralDescriptor()});
    const std::string noUevent = sysfs.Add(3, {0x320F, 0x1004, 0x0100, 1, sim::PeripheralDescriptor()});
    std::filesystem::remove(std::filesystem::canonical(sysfs.Root() / "class/hidraw" / noUevent / "device") /
                            "uevent");
    // A Bluetooth-style node: no USB interface above the HID device.
    sysfs.Add(4, {0x046D, 0xB012, 0, std::nullopt, sim::BootMouseDescriptor()});
    ASSERT_TRUE(backend.Enumerate(paths));
    const std::vector<std::string> expected = {
        "/dev/hidraw2#vid_320f&pid_1004&mi_01&col01",
        "/dev/hidraw2#vid_320f&pid_1004&mi_01&col02",
        "/dev/hidraw2#vid_320f&pid_1004&mi_01&col03",
        "/dev/hidraw2#vid_320f&pid_1004&mi_01&col04",
        "/dev/hidraw4#vid_046d&pid_b012",
    };
    EXPECT_EQ(paths, expected);
}

}  // namespace
}  // namespace norvane::device
