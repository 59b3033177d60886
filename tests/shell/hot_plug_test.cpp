// Hot-plug sequences: the simulator's devices come and go, a scan pass posts what it saw, and
// the window's UI thread handles it on the headless toolkit.
#include "tests/shell/device_list_fixture.h"

#include "devices/mousepad/power_panel.h"
#include "platform/diag.h"
#include "shell/device_list/page_factory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace norvane::test {
namespace {

class HotPlugTest : public DeviceListTest {
protected:
    void SetUp() override {
        DeviceListTest::SetUp();
        MakeList();
    }
    ui::CTabLayoutUI& Pages() { return dynamic_cast<ui::CTabLayoutUI&>(Ctl(shell::kPageSwitch)); }
};

TEST_F(HotPlugTest, NothingConnectedShowsNoDevicePanelWithMouseAndKeyboardPagesHidden) {
    Scan();
    ASSERT_EQ(list->Tiles().size(), 2U);
    EXPECT_EQ(Pages().GetCount(), 2);
    EXPECT_EQ(list->PowerPanels().size(), 2U);
    EXPECT_EQ(list->Mice().size(), 1U);
    EXPECT_EQ(list->Keyboards().size(), 1U);
    EXPECT_TRUE(Connected().empty());
    EXPECT_TRUE(NoDeviceShown());
    EXPECT_EQ(Tile(kMouseTile).Type(), 2);
    EXPECT_EQ(Tile(kKeyboardTile).Type(), 1);
    // The keyboard's page class is not built here: a plain device object holds its layout.
    EXPECT_EQ(Keyboard().GetClass(), devices::CTarnexUSBDevice::kClassName);
    EXPECT_NE(ui::CPaintManagerUI::FindSubControlByName(&Keyboard(), "kb_title"), nullptr);
}

TEST_F(HotPlugTest, ArrivalRemovalAndReArrivalReuseTheKeyboardPage) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* page = &Keyboard();
    auto& channel = page->CommandChannel();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_TRUE(channel.Cable().IsOpen());
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_TRUE(page->EventChannel().Cable().IsOpen());
    EXPECT_EQ(Connected(), std::vector<int>{kKeyboardTile});
    EXPECT_EQ(Selected(), kKeyboardTile);
    EXPECT_EQ(Pages().GetCurSel(), Tile(kKeyboardTile).PageIndex());
    EXPECT_FALSE(NoDeviceShown());
    EXPECT_TRUE(window->PaintManager().HasTimer(&Tile(kKeyboardTile), shell::kTimerAttach));
    EXPECT_GE(window->broughtToFront, 1);

    keyboard.Unplug();
    Scan();
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_FALSE(channel.Cable().IsOpen());
    EXPECT_FALSE(channel.Receiver().IsOpen());
    EXPECT_FALSE(page->EventChannel().Cable().IsOpen());
    EXPECT_TRUE(Connected().empty());
    EXPECT_TRUE(NoDeviceShown());
    EXPECT_EQ(Pages().GetCurSel(), 0);
    EXPECT_FALSE(window->PaintManager().HasTimer(&Tile(kKeyboardTile), shell::kTimerAttach));

    keyboard.Plug();
    Scan();
    EXPECT_EQ(&Keyboard(), page);
    EXPECT_EQ(list->Tiles().size(), 2U);
    EXPECT_EQ(Pages().GetCount(), 2);
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_TRUE(page->EventChannel().Cable().IsOpen());
    EXPECT_EQ(Connected(), std::vector<int>{kKeyboardTile});
}

TEST_F(HotPlugTest, FirstArrivalOfOtherKindsCreatesTheirPagesOnce) {
    struct Case {
        const char* product;
        int type;
        const char* normalImage;
        const char* textId;
    };
    const Case cases[] = {
        {"mousepad", 3, "common/device_ico/hard_mp_device_normal.png", "hard_mp_device_name_text"},
        {"headset", 7, "common/device_ico/hd_device_normal.png", "hd_device_name_text"},
    };
    std::vector<sim::SimDevice*> devices;
    for (const Case& c : cases) {
        devices.push_back(&Plug(c.product));
    }
    Scan();
    ASSERT_EQ(list->Tiles().size(), 4U);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].product);
        const shell::CDeviceOptionUI& tile = Tile(static_cast<int>(2 + i));
        EXPECT_EQ(tile.Type(), cases[i].type);
        EXPECT_EQ(tile.Subtype(), 0);
        EXPECT_EQ(tile.NormalImage(), cases[i].normalImage);
        EXPECT_EQ(tile.NameLabel()->GetTextId(), cases[i].textId);
        EXPECT_FALSE(tile.SyncOption()->IsVisible());
        EXPECT_TRUE(tile.IsConnected());
        // No page layout for these kinds here: an empty device page stands in.
        ASSERT_NE(tile.Device(), nullptr);
        EXPECT_TRUE(tile.Device()->CommandChannel().IsOpen());
        EXPECT_EQ(tile.PowerTabIndex(), static_cast<int>(2 + i));
    }
    EXPECT_EQ(list->MousePads().size(), 1U);
    EXPECT_EQ(list->Headsets().size(), 1U);

    for (sim::SimDevice* device : devices) {
        device->Unplug();
    }
    Scan();
    EXPECT_TRUE(Connected().empty());
    for (sim::SimDevice* device : devices) {
        device->Plug();
    }
    Scan();
    EXPECT_EQ(list->Tiles().size(), 4U);
    EXPECT_EQ(Connected(), (std::vector<int>{2, 3}));
}

// Every tile gets a power panel from the panel layout, told its tile's kind, and the page
// that owns it shows its status records there.
class PowerPanelListTest : public DeviceListTest {
protected:
    void SetUp() override {
        DeviceListTest::SetUp();
        shell::RegisterDeviceListControls();
        WriteSkin(std::string(shell::kPowerPanelLayout),
                  R"(<MpDevicePower><Label name="device_power_value"/><Control name="device_wuxian_logo"/>)"
                  R"(<Progress name="device_Power_progress"/><Control name="device_power_status"/>)"
                  R"(<Label name="device_phone_type"/></MpDevicePower>)");
        MakeList();
    }
};

TEST_F(PowerPanelListTest, PanelsAreBuiltFromTheirLayoutWithTheirTilesKind) {
    Plug("mousepad");
    Scan();
    ASSERT_EQ(list->PowerPanels().size(), 3U);
    const int kinds[] = {2, 1, 3};  // mouse, keyboard, then the pad that arrived
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        SCOPED_TRACE(i);
        auto* panel = dynamic_cast<devices::CMpDevicePowerUI*>(list->PowerPanels()[i]);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->DeviceKind(), kinds[i]);
        EXPECT_EQ(panel->Number(), 0);
        ui::CControlUI* value = ui::CPaintManagerUI::FindSubControlByName(panel, "device_power_value");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->GetParent(), panel);  // the layout's own root, not a wrapper
        EXPECT_EQ(Tile(static_cast<int>(i)).Device()->PowerPanel(), panel);
    }
    Tile(2).Device()->ShowStatusOnPowerPanel(std::vector<std::uint8_t>{85, 1, 0, 0, 0, 2});
    ui::CControlUI* padPanel = list->PowerPanels()[2];
    EXPECT_EQ(ui::CPaintManagerUI::FindSubControlByName(padPanel, "device_power_value")->GetText(), "85%");
    EXPECT_EQ(ui::CPaintManagerUI::FindSubControlByName(padPanel, "device_phone_type")->GetTextId(),
              "Phone_type_samsung");
}

TEST_F(HotPlugTest, UnplugTheSelectedDeviceSelectsTheNextAndTheLastShowsNoDevicePanel) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Scan();
    sim::SimDevice& mouse = Plug("mouse");
    sim::SimDevice& pad = Plug("mousepad");
    Scan();
    EXPECT_EQ(Connected(), (std::vector<int>{kMouseTile, kKeyboardTile, 2}));
    EXPECT_EQ(Selected(), kKeyboardTile);

    keyboard.Unplug();
    Scan();
    EXPECT_EQ(Selected(), kMouseTile);
    EXPECT_EQ(window->childrenClosed, 1);
    EXPECT_EQ(window->recordingsStopped, 1);
    EXPECT_EQ(list->CurrentTile(), kMouseTile);

    // An unselected device going away leaves the selection alone.
    pad.Unplug();
    Scan();
    EXPECT_EQ(Selected(), kMouseTile);
    EXPECT_EQ(window->recordingsStopped, 1);

    mouse.Unplug();
    Scan();
    EXPECT_TRUE(Connected().empty());
    EXPECT_EQ(Selected(), -1);
    EXPECT_TRUE(NoDeviceShown());
}

TEST_F(HotPlugTest, PreviousAndNextMoveBetweenShownTilesAndStopAtTheEnds) {
    Plug("mouse");
    Plug("mousepad");
    Scan();
    Plug("headset");
    Scan();
    ASSERT_EQ(Connected(), (std::vector<int>{kMouseTile, 2, 3}));
    ASSERT_EQ(Selected(), kMouseTile);
    auto click = [&](std::string_view name) {
        window->PaintManager().SendNotify(&Ctl(name), ui::notify::kClick);
    };
    click(shell::kPreviousButton);
    EXPECT_EQ(Selected(), kMouseTile);
    click(shell::kNextButton);  // the hidden keyboard tile is passed over
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Pages().GetCurSel(), Tile(2).PageIndex());
    click(shell::kNextButton);
    EXPECT_EQ(Selected(), 3);
    click(shell::kNextButton);
    EXPECT_EQ(Selected(), 3);
    click(shell::kPreviousButton);
    click(shell::kPreviousButton);
    EXPECT_EQ(Selected(), kMouseTile);
    ASSERT_FALSE(window->current.empty());
    EXPECT_EQ(window->current.back(), (std::array<int, 3>{kMouseTile, 2, 0}));

    // The user picks a tile: its page and power panel come to the front.
    Tile(3).SelectOption()->Selected(true);
    EXPECT_EQ(Selected(), 3);
    EXPECT_EQ(Pages().GetCurSel(), Tile(3).PageIndex());
    EXPECT_EQ(dynamic_cast<ui::CTabLayoutUI&>(Ctl(shell::kPowerSwitch)).GetCurSel(), Tile(3).PowerTabIndex());
    EXPECT_EQ(window->current.back(), (std::array<int, 3>{3, 7, 0}));
}

TEST_F(HotPlugTest, ReceiverPluggedBesideTheCableKeepsOnePageAndTakesOverWhenTheCableGoes) {
    sim::SimDevice& cable = Plug("mouse");
    Scan();
    ProbeMouse& mouse = Mouse();
    auto& channel = mouse.CommandChannel();
    ASSERT_TRUE(channel.IsOpen());
    ASSERT_FALSE(channel.IsWireless());

    Plug("receiver");
    Scan();
    EXPECT_EQ(list->Tiles().size(), 2U);
    EXPECT_EQ(list->Mice().size(), 1U);
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_TRUE(mouse.EventChannel().Receiver().IsOpen());

    cable.Unplug();
    Scan();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_TRUE(channel.IsWireless());
    EXPECT_TRUE(channel.Receiver().IsOpen());
    EXPECT_FALSE(channel.Cable().IsOpen());
    EXPECT_FALSE(mouse.EventChannel().Cable().IsOpen());
    EXPECT_TRUE(sleeps.empty());  // the receiver answered the first link query
    EXPECT_EQ(mouse.polls, 1);
    EXPECT_EQ(Connected(), std::vector<int>{kMouseTile});
    EXPECT_TRUE(window->PaintManager().HasTimer(&Tile(kMouseTile), shell::kTimerLinkWatch));

    const int linkMessages = window->Count(shell::kLinkStateMessage);
    cable.Plug();
    Scan();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_TRUE(channel.Cable().IsOpen());
    EXPECT_EQ(window->Count(shell::kLinkStateMessage), linkMessages + 1);
    EXPECT_EQ(mouse.polls, 2);
    EXPECT_TRUE(window->PaintManager().HasTimer(&Tile(kMouseTile), shell::kTimerAttach));
    EXPECT_EQ(list->Tiles().size(), 2U);
}

TEST_F(HotPlugTest, ReceiverWhoseMouseSleepsIsAskedTwentySixTimes) {
    sim::SimDevice& cable = Plug("mouse");
    sim::SimDevice& receiver = Plug("receiver");
    receiver.SetLinked(false);
    Scan();
    platform::diag::ScopedCapture capture;
    cable.Unplug();
    Scan();
    EXPECT_EQ(sleeps, std::vector<std::chrono::milliseconds>(26, shell::DeviceList::kQueryLinkPause));
    const auto lines = capture.Lines();
    EXPECT_EQ(std::ranges::count(lines, std::string("获取2.4G模式失败")), 25);
    EXPECT_EQ(std::ranges::count(lines, std::string("获取2")), 1);
    EXPECT_TRUE(Mouse().CommandChannel().IsWireless());
}

TEST_F(HotPlugTest, KeyboardUnderBothIdentitiesHasOnePageWhoseChannelMovesBetweenThem) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* page = &Keyboard();
    auto& channel = page->CommandChannel();
    Plug("keyboard-alt");
    Scan();
    EXPECT_EQ(list->Tiles().size(), 2U);
    EXPECT_EQ(list->Keyboards().size(), 1U);
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_TRUE(page->EventChannel().Receiver().IsOpen());

    keyboard.Unplug();
    Scan();
    EXPECT_EQ(&Keyboard(), page);
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_TRUE(channel.IsWireless());
    EXPECT_TRUE(channel.Receiver().IsOpen());
    EXPECT_TRUE(sleeps.empty());  // a keyboard is not asked for its link
    EXPECT_EQ(Connected(), std::vector<int>{kKeyboardTile});
    // The page keeps the main identity's record.
    EXPECT_EQ(page->CatalogEntry()->vendorId, 0x320F);

    keyboard.Plug();
    Scan();
    EXPECT_FALSE(channel.IsWireless());
    EXPECT_TRUE(channel.Cable().IsOpen());
    EXPECT_EQ(list->Tiles().size(), 2U);
}

TEST_F(HotPlugTest, ReceiverSideAloneOpensOnTheReceiverAndWaitsForTheLinkCheck) {
    struct Case {
        const char* product;
        int tile;
    };
    for (const Case c : {Case{"receiver", kMouseTile}, Case{"keyboard-alt", kKeyboardTile}}) {
        SCOPED_TRACE(c.product);
        sim::SimDevice& device = Plug(c.product);
        Scan();
        auto* page = Tile(c.tile).Device();
        EXPECT_TRUE(page->CommandChannel().IsWireless());
        EXPECT_TRUE(page->CommandChannel().Receiver().IsOpen());
        EXPECT_FALSE(Tile(c.tile).IsConnected());
        EXPECT_TRUE(NoDeviceShown());
        platform.Advance(shell::kAttachMs);
        EXPECT_TRUE(Tile(c.tile).IsConnected());
        EXPECT_EQ(Selected(), c.tile);
        device.Unplug();
        Scan();
        EXPECT_FALSE(page->CommandChannel().IsOpen());
        EXPECT_TRUE(Connected().empty());
    }
    EXPECT_EQ(list->Tiles().size(), 2U);
}

TEST_F(HotPlugTest, ChangesQueuedBeforeTheUiThreadRunsAreHandledAsTheyHappened) {
    // Three passes post arrival, removal and arrival before the UI thread handles any.
    sim::SimDevice& keyboard = Plug("keyboard");
    scanner->RunPass(list->Reporter());
    keyboard.Unplug();
    scanner->RunPass(list->Reporter());
    keyboard.Plug();
    scanner->RunPass(list->Reporter());
    // The mouse's cable comes, its receiver comes, the cable goes: the page ends on the
    // receiver, which needs the paths as each pass saw them.
    sim::SimDevice& cable = Plug("mouse");
    scanner->RunPass(list->Reporter());
    Plug("receiver");
    scanner->RunPass(list->Reporter());
    cable.Unplug();
    scanner->RunPass(list->Reporter());
    platform.Pump();
    EXPECT_TRUE(Keyboard().CommandChannel().IsOpen());
    EXPECT_EQ(Connected(), (std::vector<int>{kMouseTile, kKeyboardTile}));
    EXPECT_TRUE(Mouse().CommandChannel().IsOpen());
    EXPECT_TRUE(Mouse().CommandChannel().IsWireless());
    EXPECT_FALSE(list->Slots()
                     .At(device::FindCatalogRow(0x320F, 0x221C, device::DeviceKind::MouseCable,
                                                device::DeviceRole::Command))
                     ->present);
}

TEST_F(HotPlugTest, AChannelThatCannotOpenStillShowsTheTileAndTheNextArrivalTriesAgain) {
    sim::SimDevice& keyboard = Plug("keyboard");
    scanner->RunPass(list->Reporter());
    keyboard.Unplug();  // gone before the UI thread opens it
    platform.Pump();
    auto& channel = Keyboard().CommandChannel();
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_EQ(Connected(), std::vector<int>{kKeyboardTile});
    EXPECT_TRUE(window->PaintManager().HasTimer(&Tile(kKeyboardTile), shell::kTimerAttach));
    platform.Advance(shell::kAttachMs + 5);
    // The frame timer ran once and, with the channel closed, was not armed again.
    EXPECT_FALSE(window->PaintManager().HasTimer(&Tile(kKeyboardTile), shell::kTimerLightFrame));

    Scan();
    EXPECT_TRUE(Connected().empty());
    keyboard.Plug();
    Scan();
    EXPECT_TRUE(channel.IsOpen());
    EXPECT_EQ(Connected(), std::vector<int>{kKeyboardTile});
}

TEST_F(HotPlugTest, SlotsOutsideTheListAndForeignMessagesAreIgnored) {
    EXPECT_TRUE(list->HandleMessage(shell::kDeviceRemovedMessage, 99, 0));
    EXPECT_TRUE(list->HandleMessage(shell::kDeviceArrivedMessage, -1, 0));
    EXPECT_TRUE(list->HandleMessage(shell::kLinkStateMessage, 42, 1));
    EXPECT_FALSE(list->HandleMessage(ui::kWmUser + 1, 0, 0));
    EXPECT_EQ(list->Tiles().size(), 2U);
    EXPECT_TRUE(NoDeviceShown());
}

}  // namespace
}  // namespace norvane::test

namespace norvane::test {
namespace {

// The list's own threads: the scan thread posts, the test's thread plays the UI thread.
class ListThreadsTest : public DeviceListTest {
protected:
    void SetUp() override {
        DeviceListTest::SetUp();
        MakeList();
    }
    // Dispatches messages until the condition holds or two seconds pass.
    template <typename Condition>
    bool PumpUntil(Condition done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            platform.WaitForMessages(10);
            platform.Pump();
        }
        return done();
    }
};

TEST_F(ListThreadsTest, ScanThreadShowsTheWindowOnceAndReportsHotPlugThroughTheQueue) {
    const unsigned instance = ui::RegisterWindowMessage(shell::kInstanceMessageName);
    ASSERT_TRUE(list->StartThreads());
    ASSERT_TRUE(PumpUntil([&] { return window->Count(instance) == 1; }));
    sim::SimDevice& keyboard = Plug("keyboard");
    ASSERT_TRUE(PumpUntil([&] { return Connected() == std::vector<int>{kKeyboardTile}; }));
    EXPECT_TRUE(Keyboard().CommandChannel().IsOpen());
    keyboard.Unplug();
    ASSERT_TRUE(PumpUntil([&] { return NoDeviceShown(); }));
    EXPECT_FALSE(Keyboard().CommandChannel().IsOpen());
    EXPECT_EQ(window->Count(instance), 1);
    list->StopThreads();
    EXPECT_FALSE(list->Scan().Running());
    EXPECT_FALSE(list->Sync().Running());
}

TEST_F(ListThreadsTest, DestroyingTheListWhileItScansAndSyncs) {
    Plug("keyboard");
    Plug("mouse");
    ASSERT_TRUE(list->StartThreads());
    ASSERT_TRUE(PumpUntil([&] { return Connected().size() == 2; }));
    Keyboard().CommandChannel().SetSync(true);
    list->Sync().SetSettings(shell::SyncSettings{shell::SyncEffect::ColourCycle, 4, 4, 1, 0, 0, 0, 0});
    ASSERT_TRUE(PumpUntil([&] { return Keyboard().GetLedColor(0).level != 0; }));
    devices::CTarnexUSBDevice& page = Keyboard();
    Plug("mousepad");  // arrivals still being posted while the list goes
    window->list = nullptr;
    list.reset();
    platform.Pump();  // what the scan posted last finds no list
    // The sync thread has ended: the page it painted (the window still owns it) stands still.
    const auto colour = page.GetLedColor(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(page.GetLedColor(0), colour);
}

}  // namespace
}  // namespace norvane::test
