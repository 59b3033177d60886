// Start-up and shutdown with the window's own threads: fonts, the window shown after the
// first scan pass, and the ordered stop.
#include "tests/shell/main_wnd_fixture.h"

#include <fstream>

namespace norvane::test {
namespace {

using StartupTest = MainWndTest;

TEST_F(StartupTest, PrivateFontsLoadInOrderAndMissingOnesAreSkipped) {
    EXPECT_EQ(shell::LoadPrivateFonts(platform, dir.Path()), 0);  // no Font folder at all
    std::filesystem::create_directories(dir / "Font");
    std::ofstream(dir / "Font" / "NotoSansCJKtc-Regular.otf") << "font";
    std::ofstream(dir / "Font" / "Simplified_Chinese.ttf") << "font";
    std::filesystem::create_directories(dir / "Font" / "Korvalis-Regular.otf");  // not a file
    EXPECT_EQ(shell::LoadPrivateFonts(platform, dir.Path()), 2);
    EXPECT_EQ(platform.PrivateFonts(),
              (std::vector<std::filesystem::path>{dir / "Font" / "Simplified_Chinese.ttf",
                                                  dir / "Font" / "NotoSansCJKtc-Regular.otf"}));
}

TEST_F(StartupTest, WindowIsShownAfterTheFirstScanPass) {
    Plug("keyboard");
    ASSERT_TRUE(Start(true));
    EXPECT_FALSE(Window().IsWindowVisible());
    EXPECT_EQ(Window().GetWindowClassName(), "MainWnd");
    ASSERT_TRUE(PumpUntil([&] { return Window().IsWindowVisible(); }));
    ASSERT_TRUE(PumpUntil([&] { return Window().CurrentDevice() == List().Keyboards().at(0); }));
    EXPECT_FALSE(Window().FindControl("No_device_Link")->IsVisible());
}

TEST_F(StartupTest, NoDeviceStillShowsTheWindowWithTheNoDevicePanel) {
    ASSERT_TRUE(Start(true));
    ASSERT_TRUE(PumpUntil([&] { return Window().IsWindowVisible(); }));
    EXPECT_TRUE(Window().FindControl("No_device_Link")->IsVisible());
    // A keyboard plugged in later arrives through the scan thread.
    Plug("keyboard");
    ASSERT_TRUE(PumpUntil([&] { return Window().CurrentDevice() != nullptr; }));
    EXPECT_FALSE(Window().FindControl("No_device_Link")->IsVisible());
}

TEST_F(StartupTest, ExitStopsTheThreadsBeforeTheLoopEnds) {
    Plug("keyboard");
    Plug("mouse");
    ASSERT_TRUE(Start(true));
    ASSERT_TRUE(PumpUntil([&] { return List().ConnectedCount() == 2; }));
    List().Keyboards().at(0)->CommandChannel().SetSync(true);
    Window().Exit();
    EXPECT_FALSE(List().Scan().Running());
    EXPECT_FALSE(List().Sync().Running());
    EXPECT_TRUE(platform.QuitRequested());
    EXPECT_EQ(platform.QuitCode(), 0);
    // Hot-plug after the stop reaches nobody.
    Plug("mousepad");
    platform.Pump();
    EXPECT_EQ(List().ConnectedCount(), 2);
}

TEST_F(StartupTest, DestroyingTheProgramWhileItScansAndSyncs) {
    Plug("keyboard");
    Plug("mouse");
    ASSERT_TRUE(Start(true));
    ASSERT_TRUE(PumpUntil([&] { return List().ConnectedCount() == 2; }));
    Plug("headset");  // arrivals still being posted while the window goes
    program->Shutdown();
    EXPECT_EQ(program->Window(), nullptr);
    platform.Pump();
}

TEST_F(StartupTest, MissingSkinFailsToStart) {
    std::filesystem::remove(dir / "skin");
    EXPECT_FALSE(Start());
}

}  // namespace
}  // namespace norvane::test
