#include "device/catalogue.h"
#include "device/commands.h"
#include "device/hid_interface.h"
#include "device/path_keys.h"
#include "sim/bounded_log.h"
#include "sim/sim_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace norvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every catalogue row a product's interfaces match, found as discovery finds them:
// candidate test on the path keys, then identification with the opened collection's usage.
std::set<int> MatchedRows(SimBackend& backend) {
    std::set<int> rows;
    std::vector<std::string> paths;
    EXPECT_TRUE(backend.Enumerate(paths));
    for (const std::string& path : paths) {
        const auto vid = device::VendorIdFromPath(path);
        const auto pid = device::ProductIdFromPath(path);
        const auto mi = device::InterfaceNumberFromPath(path);
        const auto col = device::CollectionNumberFromPath(path);
        if (!device::IsCatalogCandidate(vid, pid, mi, col)) {
            continue;
        }
        device::HidInterface probe(&backend);
        EXPECT_TRUE(probe.Open(path, true, false, true, false)) << path;
        const auto caps = probe.Capabilities();
        const auto attrs = probe.Attributes();
        const auto match =
            device::IdentifyInterface({attrs.vendorId, attrs.productId, mi, col, caps.usagePage, caps.usage});
        if (match) {
            rows.insert(match->row);
        }
    }
    return rows;
}

TEST(SimProductsTest, EveryProductYieldsItsCatalogueRows) {
    struct Case {
        const char* product;
        std::set<int> rows;
    };
    const Case cases[] = {
        {"keyboard", {0, 1}}, {"keyboard-alt", {2, 3}}, {"mouse", {4, 5}},       {"receiver", {6, 7}},
        {"mousepad", {8, 9}}, {"headset", {10}},        {"keyboard2", {11, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.product);
        SimBackend backend;
        backend.Add(*FindSimProduct(c.product));
        EXPECT_EQ(MatchedRows(backend), c.rows);
    }
    EXPECT_FALSE(FindSimProduct("toaster"));
    std::string error;
    EXPECT_FALSE(MakeSimBackend("keyboard,toaster", error));
    EXPECT_NE(error.find("toaster"), std::string::npos);
    auto backend = MakeSimBackend("keyboard,mouse,keyboard", error);
    ASSERT_TRUE(backend);
    EXPECT_NE(backend->Find("keyboard-2"), nullptr);
}

TEST(SimProductsTest, CommandCollectionsCarry64ByteReports) {
    for (const auto name : SimProductNames()) {
        SCOPED_TRACE(name);
        SimBackend backend;
        SimDevice& device = backend.Add(*FindSimProduct(name));
        const bool headset = name == "headset";
        const auto* descriptor = device.Descriptor(headset ? 3 : 1);
        ASSERT_NE(descriptor, nullptr);
        const int collection = headset ? 1 : 4;
        EXPECT_EQ(descriptor->MaxReportLength(collection, device::HidReportType::Input), 64u);
        EXPECT_EQ(descriptor->FindReport(device::HidReportType::Output, kCommandReportId)->ByteLength(), 64u);
    }
}

TEST(SimDeviceTest, EventReportsUnpackToTheirCodes) {
    SimBackend backend;
    SimDevice& mouse = backend.Add(*FindSimProduct("mouse"));
    device::HidInterface events(&backend);
    ASSERT_TRUE(events.Open("sim:mouse:1#vid_320f&pid_221c&mi_01&col03", true, true, true, false));
    for (const std::uint16_t code : {0x401, 0x402, 0x403, 0x1002, 0x1123}) {
        mouse.SendEvent(code);
        Bytes report(events.Capabilities().inputReportByteLength);
        std::size_t count = 0;
        ASSERT_TRUE(events.ReadReport(report, count, 100));
        const auto usages = events.UnpackInputReport(std::span(report).first(count));
        ASSERT_EQ(usages.size(), 1u);
        EXPECT_EQ(usages[0].usage, code);
    }
}

TEST(SimDeviceTest, EventCodeNeedsAtLeastOneUsage) {
    SimBackend backend;
    SimDevice& pad = backend.Add(*FindSimProduct("mousepad"));
    device::HidInterface events(&backend);
    ASSERT_TRUE(events.Open("sim:mousepad:1#vid_320f&pid_1004&mi_01&col03", true, true, true, false));
    using Kind = device::EventRead::Kind;
    pad.SendEvent(0x401);
    const auto code = events.ReadEventCode(100);
    EXPECT_EQ(code.kind, Kind::Code);
    EXPECT_EQ(code.code, 0x401);
    pad.SendInputReport(1, {kEventReportId, 0, 0});  // released: no usage
    EXPECT_EQ(events.ReadEventCode(100).kind, Kind::NoUsage);
    pad.SendInputReport(1, {kEventReportId});  // cut short
    EXPECT_EQ(events.ReadEventCode(100).kind, Kind::NoUsage);
    // Idle and gone are told apart.
    EXPECT_EQ(events.ReadEventCode(0).kind, Kind::Idle);
    EXPECT_EQ(events.ReadEventCode(20).kind, Kind::Idle);
    pad.Unplug();
    EXPECT_EQ(events.ReadEventCode(100).kind, Kind::Closed);
    events.Close();
    EXPECT_EQ(events.ReadEventCode(100).kind, Kind::Closed);
}

TEST(SimDeviceTest, HeadsetLedOutputReportsAreRecorded) {
    SimBackend backend;
    SimDevice& headset = backend.Add(*FindSimProduct("headset"));
    device::HidInterface command(&backend);
    ASSERT_TRUE(command.Open("sim:headset:3#vid_0c76&pid_1630&mi_03", true, true, true, false));
    Bytes led(17, 0);
    led[0] = kHeadsetLedReportId;
    led[1] = 0x22;
    led[2] = 0xAA;
    led[4] = 0x80;
    EXPECT_TRUE(command.SetOutputReport(led));
    // A report ID the collection does not own is refused.
    Bytes foreign = led;
    foreign[0] = 0x05;
    EXPECT_FALSE(command.SetOutputReport(foreign));
    headset.WithFirmware([&](FirmwareModel& fw) {
        ASSERT_EQ(fw.OutputReports().size(), 1u);
        EXPECT_EQ(fw.OutputReports()[0], led);
    });
    const auto wire = headset.WireLog();
    ASSERT_EQ(wire.size(), 1u);
    EXPECT_EQ(wire[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(wire[0].bytes, led);

    // Streaming for hours keeps only the newest reports.
    for (int i = 0; i < 20000; ++i) {
        led[4] = static_cast<std::uint8_t>(i);
        ASSERT_TRUE(command.SetOutputReport(led));
    }
    headset.WithFirmware([&](FirmwareModel& fw) {
        EXPECT_LE(fw.OutputReports().size(), kMaxLoggedRecords);
        EXPECT_EQ(fw.OutputReports().back(), led);
    });
    EXPECT_LE(headset.WireLog().size(), kMaxLoggedRecords);
    EXPECT_EQ(headset.WireLog().back().bytes, led);
}

// Only the collection that owns output report 4 takes commands. The boot keyboard's LED
// report is unnumbered: Scroll Lock alone is the single byte 0x04, and must not be answered
// (an answer there would be a key press on the host).
TEST(SimDeviceTest, OnlyTheCommandCollectionAnswersReportFour) {
    SimDevice keyboard(*FindSimProduct("keyboard"), "keyboard");
    struct Case {
        std::uint16_t interfaceNumber;
        Bytes report;
        bool answered;
    };
    Bytes command(64, 0);
    command[0] = 0x04;
    command[3] = 0x01;
    command[1] = 0x01;
    const Case cases[] = {
        {0, {0x04}, false},  // LED report of the boot keyboard (Scroll Lock)
        {0, command, false},
        {1, command, true},
    };
    for (const Case& c : cases) {
        keyboard.ClearWireLog();
        EXPECT_TRUE(keyboard.Receive(c.interfaceNumber, c.report, false));
        const auto wire = keyboard.WireLog();
        const bool answered = std::ranges::any_of(
            wire, [](const WireRecord& r) { return r.direction == WireDirection::DeviceToHost; });
        EXPECT_EQ(answered, c.answered)
            << "interface " << c.interfaceNumber << ", " << c.report.size() << " bytes";
    }
    keyboard.WithFirmware([](FirmwareModel& fw) { EXPECT_EQ(fw.OutputReports().size(), 2u); });
}

TEST(SimDeviceTest, UnplugAndPlug) {
    SimBackend backend;
    SimDevice& pad = backend.Add(*FindSimProduct("mousepad"));
    const std::string path = "sim:mousepad:1#vid_320f&pid_1004&mi_01&col04";
    EXPECT_TRUE(backend.Probe(path));
    device::HidChannel channel(&backend);
    ASSERT_TRUE(channel.Cable().Open(path, true, true, true, false));
    channel.SetLinkMode(device::LinkMode::Cable);
    channel.SetOpen(true);
    Bytes status(6);
    ASSERT_EQ(device::ReadStatus(channel, status, 0), 1);
    EXPECT_EQ(status[5], 1);  // a phone on the pad

    pad.Unplug();
    EXPECT_FALSE(backend.Probe(path));
    std::vector<std::string> paths;
    backend.Enumerate(paths);
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(device::ReadStatus(channel, status, 0), -1);
    EXPECT_FALSE(channel.Cable().Open(path, true, true, true, false));

    pad.Plug();
    EXPECT_TRUE(backend.Probe(path));
    ASSERT_TRUE(channel.Cable().Open(path, true, true, true, false));
    EXPECT_EQ(device::ReadStatus(channel, status, 0), 1);
    // A path whose keys name another product is not this device.
    EXPECT_FALSE(backend.Probe("sim:mousepad:1#vid_320f&pid_50b7&mi_01&col04"));
}

TEST(SimDeviceTest, ConfigurationBracketIsVisible) {
    SimBackend backend;
    SimDevice& keyboard = backend.Add(*FindSimProduct("keyboard"));
    device::HidChannel channel(&backend);
    ASSERT_TRUE(
        channel.Cable().Open("sim:keyboard:1#vid_320f&pid_50b7&mi_01&col04", true, true, true, false));
    channel.SetLinkMode(device::LinkMode::Cable);
    channel.SetOpen(true);
    ASSERT_EQ(device::BeginConfig(channel), 1);
    EXPECT_TRUE(keyboard.WithFirmware([](FirmwareModel& fw) { return fw.InConfig(); }));
    ASSERT_EQ(device::EndConfig(channel), 1);
    EXPECT_FALSE(keyboard.WithFirmware([](FirmwareModel& fw) { return fw.InConfig(); }));
    ASSERT_EQ(device::EnableHostLighting(channel), 1);
    EXPECT_TRUE(keyboard.WithFirmware([](FirmwareModel& fw) { return fw.HostLighting(); }));
}

}  // namespace
}  // namespace norvane::sim
