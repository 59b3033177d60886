#include "devices/page_panels.h"
#include "platform/diag.h"
#include "tests/devices/device_page_fixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace norvane::test {
namespace {

using device::DeviceKind;
using devices::CTarnexUSBDevice;
using devices::light::LedColor;

TEST_F(DevicePageTest, InitPageIndexesButtonsUpToTheCounts) {
    BuildPage(3, 2, /*buttonsBeyond=*/1);
    EXPECT_EQ(page->GetClass(), "TarnexUSBDevice");
    ASSERT_EQ(page->LightButtons().size(), 3u);
    ASSERT_EQ(page->KeyButtons().size(), 2u);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_NE(page->LightButtons()[i], nullptr);
        EXPECT_EQ(page->LightButtons()[i]->GetName(), "light_" + std::to_string(i));
    }
    EXPECT_EQ(page->KeyButtons()[1]->GetName(), "key_1");
    // A new LED count drops the index and zeroes the frame.
    page->SetLedColor(0, {1, 2, 3, 4});
    page->SetLedCount(5);
    EXPECT_EQ(page->LightButtons(), std::vector<pages::CDeviceKeyButtonUI*>(5, nullptr));
    EXPECT_EQ(page->GetLedColor(0), LedColor{});
}

TEST_F(DevicePageTest, OnlyNotificationsOfThePageOwnControlsAreHandled) {
    BuildPage(2, 0);
    auto& root = ui::test::Ctl<ui::CContainerUI>(*window, "root");
    auto& outside = AddButton(root, "outside");
    auto& twin = AddButton(root, "light_0");  // same name as a control of the page
    auto& nameless = AddButton(*page, "");
    const platform::diag::ScopedCapture capture;
    auto& pm = window->PaintManager();
    pm.SendNotify(page->LightButtons()[0], "click");
    pm.SendNotify(&outside, "click");
    pm.SendNotify(&twin, "click");
    pm.SendNotify(&nameless, "click");
    pm.SendNotify(page->LightButtons()[1], "selectchanged");
    EXPECT_EQ(page->handled, (std::vector<std::string>{"click:light_0", "selectchanged:light_1"}));
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"测试成功   、n", "测试成功   、n"}));
}

TEST_F(DevicePageTest, PageLeavingItsWindowStopsListening) {
    BuildPage(1, 0);
    auto& root = ui::test::Ctl<ui::CContainerUI>(*window, "root");
    pages::CDeviceKeyButtonUI* own = page->LightButtons()[0];
    std::unique_ptr<ui::CControlUI> detached = root.Detach(page);
    ASSERT_TRUE(detached);
    // Still registered, the page would take its own button's notification.
    window->PaintManager().SendNotify(own, "click");
    EXPECT_TRUE(page->handled.empty());
    root.Add(std::move(detached));
    page->InitPage();
    window->PaintManager().SendNotify(own, "click");
    EXPECT_EQ(page->handled, std::vector<std::string>{"click:light_0"});
}

TEST_F(DevicePageTest, LedColorOutsideTheFrameIsIgnoredAndReadsZero) {
    BuildPage(4, 0);
    page->SetLedColor(3, {9, 8, 7, 6});
    struct Case {
        int index;
    };
    for (const Case c : {Case{-1}, Case{4}, Case{1000}}) {
        page->SetLedColor(c.index, {1, 2, 3, 4});
        EXPECT_EQ(page->GetLedColor(c.index), LedColor{}) << c.index;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(page->GetLedColor(i), LedColor{}) << i;
    }
    EXPECT_EQ(page->GetLedColor(3), (LedColor{9, 8, 7, 6}));
}

TEST_F(DevicePageTest, BreathingStepsThroughTheLightCore) {
    BuildPage(3, 0);
    struct Case {
        const char* name;
        std::uint8_t direction;
        std::uint8_t brightness;
        devices::light::EffectState before;
        std::uint8_t phase;
        std::uint8_t secondPhase;
        LedColor entry;
    };
    const Case cases[] = {
        // Backward from 0 continues at 127 and leaves the second phase alone.
        {"backward from 0", 0, 4, {0, 32, 0, 0}, 127, 32, {248, 255, 0, 0}},
        // Forward to 0 moves the second phase on: 176 + 16 wraps to 0 (wheel[0]).
        {"forward wraps the wheel", 1, 4, {127, 176, 0, 0}, 0, 0, {255, 1, 0, 0}},
        {"forward rises", 1, 4, {63, 16, 0, 0}, 64, 16, {255, 81, 0, 254}},
        // A brightness index past the table reads its last level.
        {"brightness clamped", 1, 200, {63, 16, 0, 0}, 64, 16, {255, 81, 0, 254}},
    };
    for (const Case& c : cases) {
        config::LightInfo light;
        light.direction = c.direction;
        light.multiColor = 1;
        light.brightness = c.brightness;
        const auto words = devices::LightInfoToWords(light);
        page->SetLightState(words[0], words[1], words[2], words[3]);
        page->SetEffectState(c.before);
        page->EffectBreathing();
        const auto after = page->EffectStateNow();
        EXPECT_EQ(after.phase, c.phase) << c.name;
        EXPECT_EQ(after.secondPhase, c.secondPhase) << c.name;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(page->GetLedColor(i), c.entry) << c.name << " led " << i;
        }
    }
}

TEST_F(DevicePageTest, LightStateWordsMapFieldForField) {
    BuildPage(1, 0);
    page->SetLightState(0x04030201, 0x08070605, 0x0B0A0900, 0x00000E0D | 0x0F000000);
    const config::LightInfo light = page->LightState();
    EXPECT_EQ(light.selectedMode, 1);
    EXPECT_EQ(light.brightness, 2);
    EXPECT_EQ(light.speed, 3);
    EXPECT_EQ(light.direction, 4);
    EXPECT_EQ(light.multiColor, 5);
    EXPECT_EQ(light.red, 6);
    EXPECT_EQ(light.green, 7);
    EXPECT_EQ(light.blue, 8);
    EXPECT_EQ(light.secondaryMode, 0x0B);
    EXPECT_EQ(light.customGroup, 0x0D);
    EXPECT_EQ(light.previousMode, 0x0E);
    EXPECT_EQ(light.reserved2[1], 0x0F);
    EXPECT_EQ(devices::LightInfoToWords(light),
              (std::array<std::uint32_t, 4>{0x04030201, 0x08070605, 0x0B0A0900, 0x0F000E0D}));
}

// A lighting panel that shows the audio light state and lets the test play the user.
class FakeLightPanel : public ui::CControlUI, public devices::ILightPanel {
public:
    void ShowAudioLightState(const config::AudioLightInfo& state) override { shown = state; }
    config::AudioLightInfo ReadAudioLightState() const override { return shown; }
    config::AudioLightInfo shown;
};

TEST_F(DevicePageTest, AudioLightStateGoesToThePanelAndComesBackFromIt) {
    BuildPage(1, 0);
    page->SetAudioLightState(0x44332211, 0x88776655, 0x99);
    EXPECT_EQ(page->GetAudioLightState(), (std::array<std::uint32_t, 3>{0x44332211, 0x88776655, 0x99}));

    FakeLightPanel panel;
    page->SetLightPanel(&panel);
    page->SetAudioLightState(0x00FF0001, 0, 0x01);
    EXPECT_EQ(panel.shown.mode, 1);
    EXPECT_EQ(panel.shown.backgroundGreen, 0xFF);
    EXPECT_EQ(panel.shown.colorType, 1);
    panel.shown.foregroundRed = 0x20;  // the user changes the panel
    EXPECT_EQ(page->GetAudioLightState()[1], 0x20u);
    EXPECT_EQ(page->AudioLightState().foregroundRed, 0x20);
    page->SetLightPanel(nullptr);
}

TEST_F(DevicePageTest, FunctionTabsFollowTheTypeAndTheDeviceKind) {
    BuildPage(1, 0);
    auto addTabs = [this](const char* name, int pages) {
        auto tabs = std::make_unique<ui::CTabLayoutUI>();
        tabs->SetName(name);
        for (int i = 0; i < pages; ++i) {
            tabs->Add(std::make_unique<ui::CControlUI>());
        }
        return static_cast<ui::CTabLayoutUI*>(page->Add(std::move(tabs)));
    };
    ui::CTabLayoutUI* function = addTabs("device_function_switch", 5);
    ui::CTabLayoutUI* key = addTabs("device_key_function_switch", 4);
    struct Case {
        DeviceKind kind;
        int type;
        int function;  // expected pages; the start is 4 and 3
        int key;
    };
    const Case cases[] = {
        {DeviceKind::Keyboard, 2, 0, 1},      {DeviceKind::MouseCable, 6, 0, 1},
        {DeviceKind::Keyboard, 3, 1, 3},      {DeviceKind::Headset, 8, 1, 3},
        {DeviceKind::Keyboard, 4, 3, 3},      {DeviceKind::MouseCable, 4, 3, 3},
        {DeviceKind::MousePad, 4, 0, 2},      {DeviceKind::Headset, 4, 0, 2},
        {DeviceKind::MouseReceiver, 4, 0, 2}, {DeviceKind::Keyboard, 7, 0, 2},
        {DeviceKind::MousePad, 5, 2, 3},      {DeviceKind::Keyboard, 1, 0, 0},
        {DeviceKind::Keyboard, 0, 0, 0},      {DeviceKind::MousePad, 99, 0, 0},
    };
    for (const Case& c : cases) {
        page->SetCatalogEntry(RowOf(c.kind));
        ASSERT_EQ(page->Kind(), c.kind);
        function->SelectItem(4);
        key->SelectItem(3);
        page->SwitchFunctionTab(c.type);
        EXPECT_EQ(page->GetFunctionTab(), c.type);
        EXPECT_EQ(function->GetCurSel(), c.function)
            << "kind " << static_cast<int>(c.kind) << " type " << c.type;
        EXPECT_EQ(key->GetCurSel(), c.key) << "kind " << static_cast<int>(c.kind) << " type " << c.type;
    }
}

TEST_F(DevicePageTest, StatusPollSuspensionNeedsAWirelessCapableDevice) {
    BuildPage(1, 0);
    page->SetStatusPollSuspended(1);
    EXPECT_FALSE(page->IsStatusPollSuspended());
    page->SetWirelessCapable(true);
    page->SetStatusPollSuspended(1);
    EXPECT_TRUE(page->IsStatusPollSuspended());
    page->SetStatusPollSuspended(0);
    EXPECT_FALSE(page->IsStatusPollSuspended());
}

// A main window that keeps the program messages it is sent.
class MessageLog : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return {}; }
    std::string_view GetWindowClassName() const override { return "MessageLog"; }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override {
        seen.push_back({msg, wparam, lparam});
        handled = true;
        return 0;
    }
    std::vector<std::tuple<unsigned, std::intptr_t, std::intptr_t>> seen;
};

TEST_F(DevicePageTest, LinkStateGoesToTheMainWindowWithTheTileIndex) {
    BuildPage(1, 0);
    MessageLog main;
    page->SetMainWindow(&main);
    page->SetTileIndex(3);
    page->ReportLinkState(false);
    page->ReportLinkState(true);
    EXPECT_EQ(main.seen, (std::vector<std::tuple<unsigned, std::intptr_t, std::intptr_t>>{{0x0D03, 3, 0},
                                                                                          {0x0D03, 3, 1}}));
    page->SetMainWindow(nullptr);
}

}  // namespace
}  // namespace norvane::test
