// The tile: its icons and the timers that drive its device's link, on the virtual clock.
#include "tests/shell/device_list_fixture.h"

#include "platform/diag.h"

#include <gtest/gtest.h>

namespace norvane::test {
namespace {

TEST(TileIconsTest, TypeAndSubtypeChooseTheStemAndNameText) {
    struct Case {
        int type;
        int subtype;
        const char* stem;
    };
    const Case cases[] = {
        {1, 0, "kb_device"},     {2, 0, "ms_device"},     {3, 0, "hard_mp_device"}, {3, 1, "soft_mp_device"},
        {3, 2, "unknow_device"}, {4, 0, "hd_device"},     {7, 0, "hd_device"},      {5, 0, "hub_device"},
        {0, 0, "unknow_device"}, {6, 0, "unknow_device"}, {-1, 0, "unknow_device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.subtype));
        const shell::TileIcons icons = shell::TileIconsFor(c.type, c.subtype);
        const std::string base = std::string("common/device_ico/") + c.stem;
        EXPECT_EQ(icons.normal, base + "_normal.png");
        EXPECT_EQ(icons.selected, base + "_selected.png");
        EXPECT_EQ(icons.syncNormal, base + "_synchro_normal.png");
        EXPECT_EQ(icons.syncSelected, base + "_synchro_selected.png");
        EXPECT_EQ(icons.nameTextId, std::string(c.stem) + "_name_text");
    }
}

class TileTimerTest : public DeviceListTest {
protected:
    // Sets the light state the device already has, as a page or a profile would.
    static void Restate(devices::CTarnexUSBDevice& device) {
        const auto words = devices::LightInfoToWords(device.LightState());
        device.SetLightState(words[0], words[1], words[2], words[3]);
    }
    void SetUp() override {
        DeviceListTest::SetUp();
        MakeList();
    }
    bool Armed(int id) { return window->PaintManager().HasTimer(&Tile(kMouseTile), id); }
};

TEST_F(TileTimerTest, CableAttachSyncsThenStreamsFramesAndPollsWhileTheChannelIsOpen) {
    sim::SimDevice& cable = Plug("mouse");
    Scan();
    ProbeMouse& mouse = Mouse();
    EXPECT_EQ(mouse.syncs, 0);
    platform.Advance(shell::kAttachMs - 1);
    EXPECT_EQ(mouse.syncs, 0);
    platform.Advance(1);
    EXPECT_EQ(mouse.syncs, 1);
    EXPECT_EQ(mouse.checks, 0);  // by cable the link is not asked
    EXPECT_TRUE(Armed(shell::kTimerLightFrame));
    EXPECT_TRUE(Armed(shell::kTimerStatus));
    EXPECT_FALSE(Armed(shell::kTimerLinkWatch));
    EXPECT_FALSE(Armed(shell::kTimerAttach));

    platform.Advance(100);  // frames every 5 ms, the first status poll after 50 ms
    EXPECT_EQ(mouse.frames, 20);
    EXPECT_EQ(mouse.polls, 1);
    platform.Advance(shell::kStatusMs);
    EXPECT_EQ(mouse.polls, 2);

    cable.Unplug();
    Scan();
    const int frames = mouse.frames;
    platform.Advance(10000);
    EXPECT_EQ(mouse.frames, frames);
    EXPECT_EQ(mouse.polls, 2);
}

TEST_F(TileTimerTest, TheMousepadIsPolledForItsChargerAndAKeyboardByCableIsNot) {
    Plug("mousepad");
    Plug("keyboard");
    Scan();
    platform.Advance(shell::kAttachMs);
    int pads = 0;
    int keyboards = 0;
    for (shell::CDeviceOptionUI* tile : list->Tiles()) {
        const device::DeviceKind kind = tile->Device()->Kind();
        if (kind != device::DeviceKind::MousePad && kind != device::DeviceKind::Keyboard) {
            continue;
        }
        const bool pad = kind == device::DeviceKind::MousePad;
        SCOPED_TRACE(pad ? "mousepad" : "keyboard");
        (pad ? pads : keyboards) += 1;
        EXPECT_EQ(tile->Device()->PollsStatus(), pad);
        EXPECT_EQ(window->PaintManager().HasTimer(tile, shell::kTimerStatus), pad);
    }
    EXPECT_EQ(pads, 1);
    EXPECT_GE(keyboards, 1);
}

TEST_F(TileTimerTest, FrameTimerStopsOnItsOwnWhenTheChannelCloses) {
    Plug("mouse");
    Scan();
    platform.Advance(shell::kAttachMs);
    ProbeMouse& mouse = Mouse();
    mouse.CommandChannel().SetOpen(false);
    platform.Advance(5);
    const int frames = mouse.frames;
    platform.Advance(100);
    EXPECT_EQ(mouse.frames, frames);
    EXPECT_FALSE(Armed(shell::kTimerLightFrame));
}

TEST_F(TileTimerTest, HiddenWindowRestsTheFramesOfADeviceThatTakesNone) {
    Plug("mouse");
    Scan();
    platform.Advance(shell::kAttachMs);
    ProbeMouse& mouse = Mouse();
    shell::CDeviceOptionUI& tile = Tile(kMouseTile);
    mouse.streams = false;
    list->SetWindowShown(false);
    platform.Advance(shell::kLightFrameCableMs);  // the tick already armed
    int frames = mouse.frames;
    platform.Advance(1000);
    EXPECT_EQ(mouse.frames, frames);
    EXPECT_FALSE(Armed(shell::kTimerLightFrame));
    EXPECT_TRUE(tile.LightFramesResting());

    // A change of light state that makes the device take frames starts them at the full rate.
    mouse.streams = true;
    Restate(mouse);
    platform.Pump();  // the posted wake
    platform.Advance(shell::kLightFrameCableMs);
    EXPECT_EQ(mouse.frames, frames + 1);
    frames = mouse.frames;
    platform.Advance(100);
    EXPECT_EQ(mouse.frames, frames + 100 / shell::kLightFrameCableMs);

    // One that does not leaves them resting, and so does host lighting turned off.
    mouse.streams = false;
    platform.Advance(shell::kLightFrameCableMs);
    ASSERT_TRUE(tile.LightFramesResting());
    frames = mouse.frames;
    mouse.SetHostLighting(0);
    Restate(mouse);
    platform.Pump();
    platform.Advance(100);
    EXPECT_EQ(mouse.frames, frames);
    EXPECT_TRUE(tile.LightFramesResting());

    // Shown again, the full rate starts at once.
    list->SetWindowShown(true);
    EXPECT_FALSE(tile.LightFramesResting());
    platform.Advance(shell::kLightFrameCableMs);
    EXPECT_EQ(mouse.frames, frames + 1);
    platform.Advance(100);
    EXPECT_EQ(mouse.frames, frames + 1 + 100 / shell::kLightFrameCableMs);

    // Unplugged while resting, a wake does not start frames on the closed channel.
    mouse.streams = false;
    list->SetWindowShown(false);
    platform.Advance(shell::kLightFrameCableMs);
    ASSERT_TRUE(tile.LightFramesResting());
    mouse.CommandChannel().SetOpen(false);
    mouse.streams = true;
    Restate(mouse);
    platform.Pump();
    platform.Advance(100);
    EXPECT_FALSE(Armed(shell::kTimerLightFrame));
}

TEST_F(TileTimerTest, ReceiverWithoutLinkStaysHiddenRetriesAndCountsFailuresUpToTheWrap) {
    Plug("receiver");
    Scan();
    ProbeMouse& mouse = Mouse();
    mouse.linked = false;
    platform.Advance(shell::kAttachMs);
    EXPECT_EQ(mouse.checks, 1);
    EXPECT_EQ(Tile(kMouseTile).LinkFailures(), 1);
    EXPECT_FALSE(Tile(kMouseTile).IsConnected());
    EXPECT_EQ(mouse.syncs, 0);
    EXPECT_TRUE(Armed(shell::kTimerAttach));
    for (int failures = 2; failures < shell::kLinkFailureWrap; ++failures) {
        platform.Advance(shell::kAttachRetryMs);
        EXPECT_EQ(Tile(kMouseTile).LinkFailures(), failures);
    }
    platform.Advance(shell::kAttachRetryMs);
    EXPECT_EQ(Tile(kMouseTile).LinkFailures(), 0);
    EXPECT_EQ(mouse.checks, shell::kLinkFailureWrap);

    mouse.linked = true;
    platform.Advance(shell::kAttachRetryMs);
    EXPECT_TRUE(Tile(kMouseTile).IsConnected());
    EXPECT_EQ(Selected(), kMouseTile);
    EXPECT_EQ(mouse.syncs, 1);
    EXPECT_TRUE(Armed(shell::kTimerLinkWatch));
    EXPECT_TRUE(Armed(shell::kTimerStatus));
}

TEST_F(TileTimerTest, LinkWatchHidesAndShowsTheReceiverTile) {
    Plug("receiver");
    Scan();
    ProbeMouse& mouse = Mouse();
    platform.Advance(shell::kAttachMs);
    ASSERT_TRUE(Tile(kMouseTile).IsConnected());
    const int polls = mouse.polls;

    platform::diag::ScopedCapture capture;
    mouse.linked = false;
    platform.Advance(shell::kLinkWatchFirstMs);
    EXPECT_FALSE(Tile(kMouseTile).IsConnected());
    EXPECT_TRUE(NoDeviceShown());
    mouse.linked = true;
    platform.Advance(shell::kLinkWatchMs);
    EXPECT_TRUE(Tile(kMouseTile).IsConnected());
    EXPECT_EQ(Selected(), kMouseTile);
    EXPECT_GT(mouse.polls, polls);
    const auto lines = capture.Lines();
    EXPECT_NE(std::ranges::find(lines, std::string("2.4gcesvdfherhue")), lines.end());
    EXPECT_NE(std::ranges::find(lines, std::string("2.4gcesvdfherhue  12312423 123342341")), lines.end());
    // The frame timer runs at the receiver's pace.
    const int frames = mouse.frames;
    platform.Advance(500);
    EXPECT_EQ(mouse.frames - frames, 10);
}

TEST_F(TileTimerTest, DeviceTimersCallTheirOperations) {
    Plug("mouse");
    Scan();
    ProbeMouse& mouse = Mouse();
    Tile(kMouseTile).SetTimer(shell::kTimerResync, 100);
    platform.Advance(100);
    EXPECT_EQ(mouse.resyncs, 1);
    platform.Advance(1000);
    EXPECT_EQ(mouse.resyncs, 1);  // each handler kills its own timer first
}

TEST_F(TileTimerTest, ActivationAndVisibilityDriveTheTileState) {
    shell::CDeviceOptionUI& tile = Tile(kMouseTile);
    EXPECT_FALSE(tile.IsConnected());
    tile.Show(true);
    EXPECT_TRUE(tile.IsConnected());
    tile.SetSyncOption(true);
    EXPECT_EQ(tile.NormalImage(), "common/device_ico/ms_device_synchro_normal.png");
    EXPECT_EQ(tile.SelectedImage(), "common/device_ico/ms_device_synchro_selected.png");
    tile.SetSyncOption(false);
    EXPECT_EQ(tile.NormalImage(), "common/device_ico/ms_device_normal.png");
    tile.Select(true, false);
    EXPECT_TRUE(tile.Activate());
    ASSERT_FALSE(window->current.empty());
    EXPECT_EQ(window->current.back()[0], kMouseTile);
}

}  // namespace
}  // namespace norvane::test
