#include "device/hid_channel.h"
#include "device/commands.h"
#include "device/hid_path_list.h"
#include "device/path_keys.h"

#include "tests/device/sim_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace norvane::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PathKeysTest, TagsAreFoundIgnoringCaseAndReadAsHex) {
    struct Case {
        const char* path;
        std::uint16_t vid, pid, mi, col;
    };
    const Case cases[] = {
        {"/dev/hidraw5#vid_320f&pid_50b7&mi_01&col04", 0x320F, 0x50B7, 1, 4},
        {"\\\\?\\HID#VID_320F&PID_50B7&MI_01&COL04#8&1a2b&0&0003#{4d1e55b2}", 0x320F, 0x50B7, 1, 4},
        {"/dev/hidraw1#vid_0c76&pid_1630&mi_03", 0x0C76, 0x1630, 3, 0},
        {"/dev/hidraw2#vid_320f&pid_221d&col0a", 0x320F, 0x221D, 0, 10},
        {"no keys at all", 0, 0, 0, 0},
        {"vid_&pid_zz", 0, 0, 0, 0},
        {"vid_1320f", 0x320F, 0, 0, 0},  // cut to 16 bits
        // Keys are read after the '#' only, whatever the node or device name holds.
        {"/dev/vid_1234&col07/hidraw5#pid_50b7", 0, 0x50B7, 0, 0},
        {"sim:pad&mi_02&col09:1#vid_320f&pid_1004&mi_01", 0x320F, 0x1004, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(VendorIdFromPath(c.path), c.vid);
        EXPECT_EQ(ProductIdFromPath(c.path), c.pid);
        EXPECT_EQ(InterfaceNumberFromPath(c.path), c.mi);
        EXPECT_EQ(CollectionNumberFromPath(c.path), c.col);
    }
    EXPECT_EQ(FormatInterfacePath("/dev/hidraw5", 0x320F, 0x50B7, 1, 4, 4),
              "/dev/hidraw5#vid_320f&pid_50b7&mi_01&col04");
    EXPECT_EQ(FormatInterfacePath("/dev/hidraw1", 0x0C76, 0x1630, 3, 1, 1),
              "/dev/hidraw1#vid_0c76&pid_1630&mi_03");
    EXPECT_EQ(FormatInterfacePath("/dev/hidraw1", 0x046D, 0xC52B, std::nullopt, 2, 3),
              "/dev/hidraw1#vid_046d&pid_c52b&col02");
    EXPECT_EQ(PathNode("/dev/hidraw5#vid_320f"), "/dev/hidraw5");
}

TEST(HidChannelStateTest, DataSizeLinkModeAndClosedChannel) {
    HidChannel channel;
    EXPECT_EQ(channel.DataSize(), 512);
    EXPECT_EQ(channel.ChunkSize(), 24);
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_FALSE(channel.SetDataSize(513));
    EXPECT_FALSE(channel.SetDataSize(-1));
    EXPECT_EQ(channel.DataSize(), 512);
    EXPECT_TRUE(channel.SetDataSize(378));
    EXPECT_EQ(channel.DataSize(), 378);
    channel.SetLinkMode(LinkMode::Receiver);
    EXPECT_TRUE(channel.IsWireless());
    EXPECT_EQ(channel.ChunkSize(), 24);
    EXPECT_EQ(channel.TimeoutMs(), 5000);
    channel.SetLinkMode(LinkMode::Cable);
    EXPECT_EQ(channel.ChunkSize(), 56);
    EXPECT_EQ(channel.TimeoutMs(), 1000);

    // Not open: 0 at once, no lock taken (the I/O lock is held here).
    const std::lock_guard lock(channel.IoLock());
    Report answer{};
    answer.fill(0x55);
    EXPECT_EQ(channel.Exchange(Bytes{4, 0, 0, 1}, answer), 0);
    EXPECT_EQ(answer[0], 0);
    EXPECT_FALSE(channel.IsBusy());
}

class ChannelSimTest : public test::SimChannelTest {};

TEST_F(ChannelSimTest, StaleAnswerOfAnEarlierRequestIsDrainedNotReturned) {
    Connect("keyboard");
    // The answer to an earlier, timed-out BeginConfig arrives late…
    Bytes stale(64, 0);
    stale[0] = 4;
    stale[3] = 0x01;
    device_->SendInputReport(1, stale);
    // …and the next BeginConfig gets no answer: the stale one must not stand in for it.
    device_->InjectFault({sim::FaultKind::NoAnswer, 0x01});
    Report answer{};
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), 0);
    EXPECT_EQ(answer[3], 0);
}

// The answer to a timed-out read arrives during the next read of the same command at
// another offset: its echoed offset tells it apart, so the next read gets its own data.
TEST_F(ChannelSimTest, ALateAnswerForAnotherOffsetDoesNotStandInForTheNextRead) {
    Connect("keyboard");
    channel_.SetTimeouts(200, 200);
    device_->InjectFault({sim::FaultKind::LateAnswer, 0x05, 0, 1, 500});  // after both reads
    device_->InjectFault({sim::FaultKind::LateAnswer, 0x05, 0, 1, 200});  // after the stale one
    Bytes first(8);
    EXPECT_EQ(ReadSettings(channel_, first, 0), result::kNoAnswer);
    Bytes second(8);
    EXPECT_EQ(ReadSettings(channel_, second, 25), result::kSuccess);
    const Bytes expected = device_->WithFirmware(
        [](sim::FirmwareModel& fw) { return Bytes(fw.Settings().begin() + 25, fw.Settings().begin() + 33); });
    EXPECT_EQ(second, expected);
    // A device that echoes neither length nor offset is matched on the command byte alone.
    Bytes bare(64, 0);
    bare[0] = 4;
    bare[3] = 0x01;
    device_->InjectFault({sim::FaultKind::NoAnswer, 0x01});
    Report answer{};
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device_->SendInputReport(1, bare);
    });
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), result::kSuccess);
    late.join();
}

// Exchanges that end with their own answer leave nothing to drain; one that timed out
// may leave its answer behind, and that answer must never stand in for the next request,
// whether that request is answered (with other data by now) or not at all.
TEST_F(ChannelSimTest, ALateAnswerAfterATimedOutExchangeIsNeverReturnedForTheNextRequest) {
    Connect("keyboard");
    Bytes before(8);
    ASSERT_EQ(ReadSettings(channel_, before, 0), result::kSuccess);
    ASSERT_EQ(ReadSettings(channel_, before, 0), result::kSuccess);

    const auto waitForLateAnswer = [] { std::this_thread::sleep_for(std::chrono::milliseconds(600)); };
    const auto setSettings = [this](std::uint8_t seed) {
        device_->WithFirmware([&](sim::FirmwareModel& fw) {
            const Bytes pattern = test::Pattern(8, seed);
            std::copy(pattern.begin(), pattern.end(), fw.Settings().begin());
            return 0;
        });
    };

    // Answered: the fresh answer carries the memory as it is now.
    device_->InjectFault({sim::FaultKind::LateAnswer, 0x05, 0, 1, 400});  // after both reads
    Bytes timedOut(8);
    EXPECT_EQ(ReadSettings(channel_, timedOut, 0), result::kNoAnswer);
    waitForLateAnswer();
    setSettings(0x30);
    Bytes fresh(8);
    EXPECT_EQ(ReadSettings(channel_, fresh, 0), result::kSuccess);
    EXPECT_EQ(fresh, test::Pattern(8, 0x30));

    // Unanswered: no answer at all rather than the late one.
    device_->InjectFault({sim::FaultKind::LateAnswer, 0x05, 0, 1, 400});
    EXPECT_EQ(ReadSettings(channel_, timedOut, 0), result::kNoAnswer);
    waitForLateAnswer();
    device_->InjectFault({sim::FaultKind::NoAnswer, 0x05});
    Bytes none(8);
    EXPECT_EQ(ReadSettings(channel_, none, 0), result::kNoAnswer);

    // A receiver's 0xAA is not the request's own answer either: the real one may follow.
    Connect("receiver", LinkMode::Receiver);
    channel_.SetTimeouts(60, 60);
    device_->SetLinked(false);
    Report answer{};
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), result::kReceiverAsleep);
    device_->SetLinked(true);
    Bytes late(64, 0);
    late[0] = 4;
    late[3] = 0x01;
    late[8] = 0x77;
    device_->SendInputReport(1, late);
    device_->InjectFault({sim::FaultKind::NoAnswer, 0x01});
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), result::kNoAnswer);
    EXPECT_EQ(answer[8], 0);
}

// The headset's command collection also carries its key reports: those queued between
// exchanges must not use up the two reads of the next one.
TEST_F(ChannelSimTest, HeadsetKeyReportsQueuedBetweenExchangesDoNotCostTheNextAnswer) {
    Connect("headset");
    Report answer{};
    ASSERT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), result::kSuccess);
    device_->SendInputReport(3, Bytes{1, 0x01});
    device_->SendInputReport(3, Bytes{1, 0x00});
    device_->SendInputReport(3, Bytes{1, 0x02});
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x02, 0, 0), answer), result::kSuccess);
    EXPECT_EQ(answer[3], 0x02);
}

TEST_F(ChannelSimTest, RequestsAreCutOrPaddedTo64Bytes) {
    Connect("keyboard");
    Bytes longRequest = test::ExpectedRequest(0x01, 0, 0);
    longRequest.resize(80, 0xEE);
    Report answer{};
    EXPECT_EQ(channel_.Exchange(longRequest, answer), 1);
    EXPECT_EQ(Sent().back(), test::ExpectedRequest(0x01, 0, 0));
    EXPECT_EQ(channel_.Exchange(Bytes{4, 1, 0, 1}, answer), 1);
    EXPECT_EQ(Sent().back(), test::ExpectedRequest(0x01, 0, 0));
}

TEST(HidChannelSwitchTest, SwitchingLinkMovesExchangesToTheOtherSlot) {
    sim::SimBackend backend;
    sim::SimDevice& mouse = backend.Add(*sim::FindSimProduct("mouse"));
    sim::SimDevice& receiver = backend.Add(*sim::FindSimProduct("receiver"));
    HidChannel channel(&backend);
    ASSERT_TRUE(channel.SwitchLink(LinkMode::Cable, "sim:mouse:1#vid_320f&pid_221c&mi_01&col04"));
    Report answer{};
    ASSERT_EQ(channel.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), 1);
    ASSERT_TRUE(channel.SwitchLink(LinkMode::Receiver, "sim:receiver:1#vid_320f&pid_221d&mi_01&col04"));
    EXPECT_TRUE(channel.IsWireless());
    EXPECT_EQ(channel.ChunkSize(), 24);
    EXPECT_FALSE(channel.Cable().IsOpen());
    ASSERT_EQ(channel.Exchange(test::ExpectedRequest(0x02, 0, 0), answer), 1);
    EXPECT_EQ(mouse.WireLog().size(), 2u);
    EXPECT_EQ(receiver.WireLog().size(), 2u);
    // A slot that cannot open leaves the channel closed.
    EXPECT_FALSE(channel.SwitchLink(LinkMode::Cable, "sim:gone:1#vid_320f&pid_221c&mi_01&col04"));
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_EQ(channel.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), 0);
}

TEST_F(ChannelSimTest, WriteToAGoneDeviceFails) {
    Connect("keyboard");
    device_->Unplug();
    Report answer{};
    EXPECT_EQ(channel_.Exchange(test::ExpectedRequest(0x01, 0, 0), answer), -1);
}

TEST(HidPathListTest, EnumeratesEveryCollectionAndWalksWithACursor) {
    sim::SimBackend empty;
    HidPathList list;
    EXPECT_TRUE(list.Enumerate(empty));
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_FALSE(list.Next());

    sim::SimBackend backend;
    backend.Add(*sim::FindSimProduct("keyboard"));
    backend.Add(*sim::FindSimProduct("headset"));
    ASSERT_TRUE(list.Enumerate(backend));
    std::vector<std::string> paths;
    while (auto path = list.Next()) {
        paths.push_back(*path);
    }
    const std::vector<std::string> expected = {
        "sim:keyboard:0#vid_320f&pid_50b7&mi_00",       "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col01",
        "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col02", "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col03",
        "sim:keyboard:1#vid_320f&pid_50b7&mi_01&col04", "sim:headset:3#vid_0c76&pid_1630&mi_03",
    };
    EXPECT_EQ(paths, expected);
    list.Clear();
    EXPECT_FALSE(list.Next());
}

TEST(HidInterfaceTest, OpenDescribesTheCollectionAndCloseIsIdempotent) {
    sim::SimBackend backend;
    sim::SimDevice& keyboard = backend.Add(*sim::FindSimProduct("keyboard"));
    HidInterface events(&backend);
    events.Close();  // closing a closed interface does nothing
    EXPECT_FALSE(events.Open("sim:keyboard:1#vid_320f&pid_50b7&mi_01&col09", true, false, true, false));
    EXPECT_FALSE(events.Open("sim:nothing:1#vid_320f&pid_50b7&mi_01&col03", true, false, true, false));
    ASSERT_TRUE(events.Open("sim:keyboard:1#vid_320f&pid_50b7&mi_01&col03", true, true, true, false));
    EXPECT_EQ(events.InterfaceNumber(), 1);
    EXPECT_EQ(events.CollectionNumber(), 3);
    EXPECT_EQ(events.Capabilities().usagePage, 0x0C);
    EXPECT_EQ(events.Capabilities().inputReportByteLength, 3);
    EXPECT_EQ(events.Attributes().versionNumber, 0x0102);

    // A command answer on the same USB interface never reaches the event collection.
    keyboard.SendInputReport(1, Bytes(64, 4));
    keyboard.SendEvent(0x1103);
    Bytes report(3);
    std::size_t count = 0;
    ASSERT_TRUE(events.ReadReport(report, count, 100));
    EXPECT_EQ(count, 3u);
    const auto usages = events.UnpackInputReport(report);
    ASSERT_FALSE(usages.empty());
    EXPECT_EQ(usages[0].usage, 0x1103);
    EXPECT_FALSE(events.ReadReport(report, count, 0));

    events.Close();
    events.Close();
    EXPECT_FALSE(events.IsOpen());
    EXPECT_FALSE(events.ReadReport(report, count, 0));
    EXPECT_TRUE(events.UnpackInputReport(report).empty());
}

}  // namespace
}  // namespace norvane::device
