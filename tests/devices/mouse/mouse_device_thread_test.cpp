// The mouse object's threads beside the UI thread (run under TSan): the link switching
// between cable and receiver while the light thread renders and the frame timer sends, and
// the mouse going away while its event readers read.
#include "tests/devices/mouse/mouse_device_fixture.h"

#include <atomic>
#include <thread>

namespace norvane::test {
namespace {

using Cmd = device::Command;

TEST_F(MouseDeviceTest, ReceiverSwitchWhileTheLightThreadStreams) {
    page->SyncFromDevice();  // mode 0: the wave changes every few counts
    ASSERT_TRUE(page->LightThreadRunning());
    auto& channel = page->CommandChannel();
    std::size_t sentByCable = 0;
    for (int round = 0; round < 60; ++round) {
        const bool wireless = round % 2 == 1;
        channel.SetLinkMode(wireless ? device::LinkMode::Receiver : device::LinkMode::Cable);
        link.Device().ClearWireLog();
        for (int frame = 0; frame < 5; ++frame) {  // the tile's frame timer
            page->SendLightFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        platform.Advance(250);  // past any pause a failed send started
        const std::size_t bytes = BytesOf(Cmd::WriteLightFrame);
        if (wireless) {
            EXPECT_EQ(bytes, 0u) << round;  // frames never go over the radio link
        } else {
            sentByCable += bytes;
        }
    }
    EXPECT_GT(sentByCable, 0u);
    EXPECT_TRUE(page->LightThreadRunning());
    page->StopDeviceThreads();
    EXPECT_FALSE(page->LightThreadRunning());
}

TEST_F(MouseDeviceTest, UnplugWhileTheEventReaderReads) {
    page->SyncFromDevice();
    ASSERT_TRUE(OpenEvents());
    std::atomic<bool> done{false};
    std::thread events([&] {
        std::uint16_t code = 0;
        while (!done.load()) {
            link.Device().SendEvent((code++ % 3) == 0 ? 0x0403 : 0x1101);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    ASSERT_TRUE(Eventually([&] { return window->HasPendingMessages(); }));
    link.Device().Unplug();  // the reader's next read fails
    page->CommandChannel().SetOpen(false);
    platform.Pump();
    page->CloseEventInterface(0);
    EXPECT_FALSE(page->IsEventInterfaceOpen(0));
    EXPECT_FALSE(page->EventChannel().Cable().IsOpen());
    done.store(true);
    events.join();
    platform.Pump();
    EXPECT_EQ(page->Record().ActiveBlock(), 1);

    // Plugged in again: a new reader takes events again.
    link.Device().Plug();
    ASSERT_TRUE(link.OpenCommand(page->CommandChannel(), device::LinkMode::Cable));
    ASSERT_TRUE(OpenEvents());
    link.Device().SendEvent(0x1103);
    ASSERT_TRUE(PumpPosted());
    EXPECT_EQ(page->Record().ActiveBlock(), 3);
}

}  // namespace
}  // namespace norvane::test
