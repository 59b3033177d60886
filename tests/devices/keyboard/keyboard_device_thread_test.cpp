// The keyboard object's threads: start/stop storms with events arriving, and objects that go
// away while a reader blocks or while their posts wait in the window's queue (run under TSan).
#include "tests/devices/keyboard/keyboard_device_fixture.h"

#include <atomic>
#include <thread>

namespace norvane::test {
namespace {

TEST_F(KeyboardDeviceTest, StartStopStormWithEventsArriving) {
    SeedSettings(4);
    std::atomic<bool> done{false};
    std::thread events([&] {
        std::uint16_t code = 0;
        while (!done.load()) {
            link.Device().SendEvent((code++ % 2) == 0 ? 0x0401 : 0x1002);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    const std::array<std::int32_t, 25> spectrum{};
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(OpenEvents());
        EXPECT_TRUE(page->IsEventInterfaceOpen(0));
        page->SyncFromDevice();  // restarts the light thread
        EXPECT_TRUE(page->LightThreadRunning());
        page->FeedAudioSpectrum(spectrum);
        if (round % 3 == 0) {
            page->EventChannel().Cable().SetBackend(&link.Backend());
            ASSERT_TRUE(page->OpenEventInterface(0, link.PathOf(3), true));  // re-attach
        }
        platform.Pump();
        platform.Advance(60);
        page->CloseEventInterface(0);
        EXPECT_FALSE(page->IsEventInterfaceOpen(0));
        EXPECT_FALSE(page->EventChannel().Cable().IsOpen());
    }
    done.store(true);
    events.join();
    page->StopDeviceThreads();
    EXPECT_FALSE(page->LightThreadRunning());
}

TEST_F(KeyboardDeviceTest, BurstOfEventsCostsOneHandOverUntilItIsHandled) {
    SeedSettings(6);
    page->SyncFromDevice();
    ASSERT_TRUE(OpenEvents());
    for (std::uint16_t code = 0x1001; code <= 0x1008; ++code) {
        link.Device().SendEvent(code);
    }
    ASSERT_TRUE(Eventually([&] { return window->HasPendingMessages(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the reader takes the rest of the burst
    platform.Pump();
    EXPECT_EQ(window->dispatched, 1);
    EXPECT_GE(page->Settings().activeProfile, 1);
    EXPECT_LE(page->Settings().activeProfile, 8);
}

TEST_F(KeyboardDeviceTest, ObjectDestroyedWhileItsReaderBlocksAndItsPostWaits) {
    // A second keyboard outside the page tree; after one event its reader blocks again on
    // the silent device, and its post waits in the window's queue.
    auto other = std::make_unique<CTarnexKeyboardDevice>();
    other->SetMainWindow(window.get());
    other->SetCatalogEntry(KeyboardRow());
    other->EventChannel().Cable().SetBackend(&link.Backend());
    ASSERT_TRUE(other->OpenEventInterface(0, link.PathOf(3)));

    link.Device().SendEvent(0x0401);
    ASSERT_TRUE(Eventually([&] { return window->HasPendingMessages(); }));
    other.reset();  // stops and joins the blocked reader
    platform.Pump();
    EXPECT_EQ(window->dispatched, 0);  // the post found its object gone
    platform.Advance(100);
    EXPECT_TRUE(link.Sent().empty());
}

TEST_F(KeyboardDeviceTest, LightThreadSleepsWithTheDeviceGoneAndRendersAfterTheNextSync) {
    SeedSettings(6, 0, 0, 255, 0);
    page->CommandChannel().SetOpen(false);
    page->SyncFromDevice();
    EXPECT_TRUE(page->LightThreadRunning());
    EXPECT_EQ(page->GetLedColor(0), light::LedColor{});
    ASSERT_TRUE(link.OpenCommand(page->CommandChannel(), device::LinkMode::Cable));
    page->SyncFromDevice();
    EXPECT_TRUE(Eventually([&] { return page->GetLedColor(0) == light::LedColor{0, 255, 0, 255}; }));
}

}  // namespace
}  // namespace norvane::test
