// The mouse's device object on the shipped mouse page (headless) and the simulated mouse and
// receiver: the first full read, the DPI controls, events, frames and device faults.
#include "config/mouse_profiledata.h"
#include "tests/devices/mouse/mouse_device_fixture.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/paint_manager.h"
#include "ui/slider.h"

#include <fstream>
#include <sstream>

namespace norvane::test {
namespace {

using Cmd = device::Command;
namespace light = devices::light;

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The data bytes of the last settings write (66 bytes in two reports), or empty.
std::vector<std::uint8_t> LastSettingsWrite(const std::vector<std::vector<std::uint8_t>>& sent) {
    std::vector<std::uint8_t> block;
    for (const auto& request : sent) {
        if (request[3] != C(Cmd::WriteSettings)) {
            continue;
        }
        const std::size_t offset = request[5] | request[6] << 8;
        if (offset == 0) {
            block.clear();
        }
        block.insert(block.end(), request.begin() + 8, request.begin() + 8 + request[4]);
    }
    return block;
}

class MousePage : public MouseDeviceTest {
protected:
    ui::CSliderUI* Slider(int n) { return Find<ui::CSliderUI>("DPI_slider_" + std::to_string(n)); }
    ui::CControlUI* Edit(int n) { return window->FindControl("DPI_edit_" + std::to_string(n)); }
    void MoveSlider(int n, int value) {
        Slider(n)->SetValue(value);
        window->PaintManager().SendNotify(Slider(n), ui::notify::kValueChanged);
    }
    void Type(int n, std::string text) {
        Edit(n)->SetText(std::move(text));
        window->PaintManager().SendNotify(Edit(n), ui::notify::kKillFocus);
    }
    config::CMouseProfiledata Stored() {
        config::CMouseProfiledata stored;
        stored.SetDefaultPath(page->DefaultProfileFile());
        EXPECT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
        return stored;
    }
};

TEST_F(MousePage, FirstFullReadFillsThePageAndStartsTheLight) {
    page->SyncFromDevice();

    EXPECT_EQ(Transfers(), (std::vector<std::uint8_t>{C(Cmd::BeginConfig), C(Cmd::ReadDeviceInfo),
                                                      C(Cmd::ReadKeyTable), C(Cmd::EndConfig)}));
    EXPECT_EQ(BytesOf(Cmd::ReadKeyTable), 11u * 3);
    EXPECT_TRUE(page->Keys().Complete());
    EXPECT_EQ(page->Keys().buttonMap[0], 0);
    EXPECT_EQ(page->Scale().step, 100);

    // The factory profile's stages in slider units 7 ... 47, stage 1 current, report rate 3.
    ASSERT_NE(Slider(0), nullptr);
    EXPECT_EQ(Slider(0)->GetMaxValue(), 63);
    EXPECT_EQ(Slider(0)->GetValue(), 7);
    EXPECT_EQ(Edit(0)->GetText(), "900");
    EXPECT_EQ(Edit(4)->GetText(), "4900");
    EXPECT_TRUE(OptionSelected("DPI_select_check_1"));
    EXPECT_FALSE(OptionSelected("DPI_select_check_0"));
    EXPECT_FALSE(window->FindControl("DPI_enable_check_1")->IsEnabled());  // the current stage stays on
    EXPECT_TRUE(window->FindControl("DPI_enable_check_0")->IsEnabled());
    EXPECT_EQ(window->FindControl("DPI_color_option_2")->GetBkColor(), 0xFF0000FFu);
    EXPECT_TRUE(OptionSelected("polling_rate_option_3"));
    auto* list = Find<ui::CListUI>(CTarnexMouseDevice::kKeyInfoList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), 11);

    // Mode 0, the wave in many colours: the light thread paints the frame, the frame timer
    // paints the preview and, by cable, sends 15 LEDs.
    EXPECT_TRUE(page->LightThreadRunning());
    ASSERT_TRUE(Eventually([&] { return page->GetLedColor(0).level == 255; }));
    link.Device().ClearWireLog();
    page->SendLightFrame();
    EXPECT_GT(BytesOf(Cmd::WriteLightFrame), 0u);
    auto* preview = Find<pages::CDeviceKeyButtonUI>("light_0_3");
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->LightLevel(), 255u);
}

TEST_F(MousePage, SliderAndTypedDpiReachTheProfileAndTheDevice) {
    page->SyncFromDevice();
    link.Device().ClearWireLog();

    MoveSlider(2, 20);
    EXPECT_EQ(Edit(2)->GetText(), "2200");
    auto block = LastSettingsWrite(Sent());
    ASSERT_EQ(block.size(), 66u);
    EXPECT_EQ(block[14 + 9 * 2 + 2], 20);  // DPI X of stage 2 in slider units
    EXPECT_EQ(block[12], 1);               // the current stage
    EXPECT_EQ(block[59], 1);
    EXPECT_EQ(Stored().GetDpiStages()[2].dpiX, 20);

    // Above the knee of sensor 0x3325: 6200 DPI is position 54, shown back as 6200.
    Type(2, "6200");
    EXPECT_EQ(Slider(2)->GetValue(), 54);
    EXPECT_EQ(Edit(2)->GetText(), "6200");
    EXPECT_EQ(LastSettingsWrite(Sent())[14 + 9 * 2 + 2], 54);
    // The top of the coarse range can be typed too.
    EXPECT_EQ(Find<ui::CEditUI>("DPI_edit_2")->GetMaxNumber(), 8000);
    Type(2, "8000");
    EXPECT_EQ(Slider(2)->GetValue(), 63);
    EXPECT_EQ(Edit(2)->GetText(), "8000");
    // Below the base: position 0, the base shown.
    Type(2, "50");
    EXPECT_EQ(Slider(2)->GetValue(), 0);
    EXPECT_EQ(Edit(2)->GetText(), "200");

    // Another current stage; report rate 1.
    ASSERT_TRUE(Select("DPI_select_check_3"));
    EXPECT_EQ(page->CurrentStage(), 3);
    EXPECT_EQ(LastSettingsWrite(Sent())[12], 3);
    EXPECT_FALSE(window->FindControl("DPI_enable_check_3")->IsEnabled());
    ASSERT_TRUE(Select("polling_rate_option_1"));
    EXPECT_EQ(LastSettingsWrite(Sent())[11], 1);
    EXPECT_EQ(Stored().GetMouseSettings().reportRateStage, 1);
    config::CMouseProfiledata stored = Stored();
    stored.GetDpiStages();  // the current stage is read with the stages
    EXPECT_EQ(stored.GetCurrentDpiStage(), 3);

    // A stage switched off is written so and its row disabled.
    ASSERT_TRUE(Select("DPI_enable_check_4", false));
    EXPECT_EQ(LastSettingsWrite(Sent())[14 + 9 * 4], 0);
    EXPECT_FALSE(window->FindControl("DPI_layout_4")->IsEnabled());
}

TEST_F(MousePage, ADpiStepOfZeroDisablesDpiEntry) {
    link.Device().WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[11] = 0; });
    page->SyncFromDevice();
    EXPECT_FALSE(page->Scale().EntryEnabled());
    EXPECT_FALSE(Slider(0)->IsEnabled());
    EXPECT_FALSE(Edit(0)->IsEnabled());
    link.Device().ClearWireLog();
    Type(0, "1600");  // nothing to convert with
    EXPECT_TRUE(LastSettingsWrite(Sent()).empty());
    EXPECT_EQ(page->GetDpiStages()[0].dpiX, 7);
}

TEST_F(MousePage, PointerSettingsAreStoredOnly) {
    page->SyncFromDevice();
    link.Device().ClearWireLog();
    auto* speed = Find<ui::CSliderUI>(CTarnexMouseDevice::kScrollSpeed);
    ASSERT_NE(speed, nullptr);
    ASSERT_TRUE(Select(CTarnexMouseDevice::kScrollPage));
    EXPECT_EQ(Stored().GetMouseSettings().scrollPage, 1);
    speed->SetValue(7);
    window->PaintManager().SendNotify(speed, ui::notify::kValueChanged);
    const config::MouseSettings stored = Stored().GetMouseSettings();
    EXPECT_EQ(stored.wheelLines, 7);
    EXPECT_EQ(stored.scrollPage, 0);
    EXPECT_FALSE(OptionSelected(CTarnexMouseDevice::kScrollPage));
    EXPECT_TRUE(Sent().empty());
}

TEST_F(MousePage, SettingsTabsFollowTheirOptions) {
    auto* tabs = Find<ui::CTabLayoutUI>(CTarnexMouseDevice::kSettingsTabs);
    ASSERT_NE(tabs, nullptr);
    ASSERT_TRUE(Select("mouse_device_seting_option_1"));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    page->SelectSettingsTab(9);  // past the tabs: tab 0
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(OptionSelected("mouse_device_seting_option_0"));
    EXPECT_FALSE(OptionSelected("mouse_device_seting_option_1"));
}

TEST_F(MousePage, EventsResyncMoveTheActiveBlockAndFlashTheReactiveMode) {
    page->SyncFromDevice();
    ASSERT_TRUE(OpenEvents());

    // 0x401: the active block read back 50 ms later on the UI clock.
    link.Device().WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[0] = 2;
        f.Settings()[2 * 128 + 1] = 6;  // reactive
        f.Settings()[2 * 128 + 12] = 4;
    });
    link.Device().ClearWireLog();
    link.Device().SendEvent(0x0401);
    ASSERT_TRUE(PumpPosted());
    platform.Advance(49);
    EXPECT_TRUE(Sent().empty());
    platform.Advance(1);
    EXPECT_EQ(Transfers(), (std::vector<std::uint8_t>{C(Cmd::ReadSettings)}));
    EXPECT_EQ(BytesOf(Cmd::ReadSettings), 1u + 71u);
    EXPECT_EQ(page->LightState().selectedMode, 6);
    EXPECT_EQ(page->Lighting().EngineMode(), 6);
    EXPECT_EQ(page->Record().ActiveBlock(), 2);
    EXPECT_EQ(page->CurrentStage(), 4);
    ASSERT_TRUE(page->Mirror());
    EXPECT_EQ((*page->Mirror())[0], 2);
    EXPECT_EQ(Stored().GetLightInfo().selectedMode, 6);

    // 0x403: every LED flashes.
    link.Device().SendEvent(0x0403);
    EXPECT_TRUE(Eventually([&] { return page->GetLedColor(0).level > 0; }));

    // 0x1131: block 1, device stage 3, refreshed on the UI thread.
    link.Device().SendEvent(0x1131);
    ASSERT_TRUE(PumpPosted());
    EXPECT_EQ(page->Record().ActiveBlock(), 1);
    EXPECT_EQ((*page->Mirror())[12], 3);
}

TEST_F(MousePage, FailedReadBackLeavesProfileAndPageAsTheyWere) {
    page->SyncFromDevice();
    const std::string before = FileBytes(ProfileFile());
    const config::LightInfo light = page->LightState();
    struct Case {
        const char* what;
        sim::Fault fault;
    };
    const std::uint8_t read = C(Cmd::ReadSettings);
    for (const Case& c : {Case{"no answer", {sim::FaultKind::NoAnswer, read}},
                          Case{"status 0xFF", {sim::FaultKind::StatusFF, read}},
                          Case{"status 0xFE", {sim::FaultKind::StatusFE, read, 1}},
                          Case{"other command", {sim::FaultKind::WrongCommand, read, 0, 2}},
                          Case{"garbage", {sim::FaultKind::Garbage, read, 1, 2}}}) {
        SCOPED_TRACE(c.what);
        link.Device().InjectFault(c.fault);
        page->ResyncFromDevice();
        link.Device().ClearFaults();
        EXPECT_EQ(FileBytes(ProfileFile()), before);
        EXPECT_EQ(page->LightState(), light);
        EXPECT_FALSE(page->Mirror());
    }
    // The page still works.
    link.Device().ClearWireLog();
    MoveSlider(0, 9);
    EXPECT_EQ(LastSettingsWrite(Sent()).size(), 66u);
}

TEST_F(ReceiverMouseTest, AnAsleepMouseIsNeitherReadNorWritten) {
    link.Device().SetLinked(false);
    page->SyncFromDevice();
    EXPECT_FALSE(page->Keys().Complete());
    for (const auto& request : Sent()) {
        EXPECT_EQ(request[3], C(Cmd::QueryLink));
    }
    EXPECT_EQ(page->WriteDeviceSettings({}), 0);
    EXPECT_NE(page->WriteCurrentKeyAssignments(0), 1);
    EXPECT_EQ(BytesOf(Cmd::WriteSettings) + BytesOf(Cmd::WriteKeyTable), 0u);

    // Awake: the first full read through the receiver, and frames stay off the radio link.
    link.Device().SetLinked(true);
    page->SyncFromDevice();
    EXPECT_TRUE(page->Keys().Complete());
    EXPECT_EQ(page->WriteDeviceSettings({}), 1);
    link.Device().ClearWireLog();
    page->SendLightFrame();
    EXPECT_EQ(BytesOf(Cmd::WriteLightFrame), 0u);
}

TEST_F(MousePage, ProfileSwitchWritesSettingsMacrosThenKeys) {
    page->SyncFromDevice();
    link.Device().ClearWireLog();
    const devices::ProfileSwitchResult r = page->SwitchProfile();
    EXPECT_EQ(r.load, 1);
    EXPECT_EQ(r.settings, 1);
    EXPECT_EQ(r.macros, 0);  // no macros bound: nothing to write
    EXPECT_EQ(r.keys, 1);
    const auto transfers = Transfers();
    const auto settings = std::ranges::find(transfers, C(Cmd::WriteSettings));
    const auto keys = std::ranges::find(transfers, C(Cmd::WriteKeyTable));
    ASSERT_NE(settings, transfers.end());
    ASSERT_NE(keys, transfers.end());
    EXPECT_LT(settings, keys);
    EXPECT_EQ(BytesOf(Cmd::WriteKeyTable), 11u * 3);
}

}  // namespace
}  // namespace norvane::test
