// The main window's palette for a DPI stage and its music lighting window, on the simulator
// and the in-process bus.
#include "tests/shell/main_wnd_fixture.h"

#include "config/json_file_store.h"
#include "devices/mouse/mouse_device.h"
#include "pages/music/music_wnd.h"
#include "pages/palette/color_select_wnd.h"
#include "ui/edit.h"
#include "ui/headless/headless_input.h"
#include "ui/slider.h"

#include <algorithm>
#include <fstream>

namespace norvane::test {
namespace {

class PaletteMusicTest : public MainWndTest {
protected:
    // Types a colour into the palette's edits.
    static void TypeColour(ui::WindowImplBase& w, int r, int g, int b) {
        for (auto [name, v] :
             {std::pair{"color_edit_r", r}, std::pair{"color_edit_g", g}, std::pair{"color_edit_b", b}}) {
            ui::CControlUI* edit = w.FindControl(name);
            ASSERT_NE(edit, nullptr);
            edit->SetText(std::to_string(v));
            w.PaintManager().SendNotify(edit, "killfocus");
        }
    }
    std::vector<std::uint8_t> Settings(sim::SimDevice& mouse) {
        return mouse.WithFirmware([](sim::FirmwareModel& f) { return f.Settings(); });
    }
    std::filesystem::path AudioFile() const { return dir / "data" / "AudioFile.json"; }
};

TEST_F(PaletteMusicTest, DpiSwatchPaletteConfirmWritesTheStageColourAndCancelChangesNothing) {
    ASSERT_TRUE(Start());
    sim::SimDevice& cable = Plug("mouse");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    if (page->GetDpiStages().empty()) {
        page->SyncFromDevice();
    }
    ASSERT_FALSE(page->GetDpiStages().empty());
    ui::CControlUI& swatch = InPage("DPI_color_option_0");
    const ui::Color start = swatch.GetBkColor();
    const auto stagesBefore = page->GetDpiStages();
    const auto settingsBefore = Settings(cable);

    int runs = 0;
    platform.SetModalDriver([&](ui::WindowImplBase& w) {
        ++runs;
        EXPECT_EQ(w.GetWindowClassName(), pages::CColorSelectWnd::kClassName);
        auto& palette = dynamic_cast<pages::CColorSelectWnd&>(w);
        EXPECT_EQ(palette.GetColor(), start);
        EXPECT_FALSE(w.FindControl("7color_layout")->IsOwnVisible());
        EXPECT_TRUE(Window().PaletteOpen());
        // A second request while open does nothing.
        Window().PaintManager().SendNotify(&swatch, "click");
        TypeColour(w, 0x12, 0x34, 0x56);
        ui::headless::ClickControl(w.PaintManager(), "laterbtn");
    });
    Window().PaintManager().SendNotify(&swatch, "click");
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(Window().PaletteOpen());
    EXPECT_EQ(page->GetDpiStages(), stagesBefore);
    EXPECT_EQ(swatch.GetBkColor(), start);
    EXPECT_EQ(Settings(cable), settingsBefore);

    platform.SetModalDriver([&](ui::WindowImplBase& w) {
        TypeColour(w, 0x12, 0x34, 0x56);
        ui::headless::ClickControl(w.PaintManager(), "okbtn");
    });
    Window().PaintManager().SendNotify(&swatch, "click");
    const config::DpiStage& stage = page->GetDpiStages()[0];
    EXPECT_EQ((std::array{stage.red, stage.green, stage.blue}),
              (std::array<std::uint8_t, 3>{0x12, 0x34, 0x56}));
    EXPECT_EQ(swatch.GetBkColor(), 0xFF123456U);
    const auto written = Settings(cable);
    const std::array<std::uint8_t, 3> rgb{0x12, 0x34, 0x56};
    EXPECT_NE(std::search(written.begin(), written.end(), rgb.begin(), rgb.end()), written.end());
    // The palette kept its file in the user's data folder.
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "color_option_info.config"));
}

TEST_F(PaletteMusicTest, HostileAudioFileIsClampedAndMissingFileComesFromTheFactory) {
    std::ofstream(AudioFile())
        << R"({"Device":{"AudioLightInfo":{"nAudioStyle":200,"nStyleR0":300,"nStyleG2":7,)"
           R"("nStyleName1":5}}})";
    ASSERT_TRUE(Start());
    const config::MusicStyleInfo& info = Window().Music().GetMusicStyle();
    EXPECT_EQ(info.style, 3);
    EXPECT_EQ(info.levels[0][0], 9);  // 300 keeps its low 8 bits (44), then the level limit
    EXPECT_EQ(info.levels[2][1], 7);

    Window().Music().ResetAudioFile();
    EXPECT_EQ(Window().Music().GetMusicStyle().names[0], "Aurora");
    EXPECT_EQ(config::JsonFileStore::ReadFileText(AudioFile()),
              config::JsonFileStore::ReadFileText(dir / "DefaultData" / "AudioFile.json"));
}

TEST_F(PaletteMusicTest, MusicWindowCancelLeavesEverythingAndConfirmSendsAndSaves) {
    Json::Value root;
    root["Other"] = "kept";
    root["Device"]["Extra"] = 4;
    root["Device"]["AudioLightInfo"]["nAudioStyle"] = 0;
    root["Device"]["AudioLightInfo"]["nStyleName1"] = "One";
    ASSERT_TRUE(config::JsonFileStore::WriteJsonFile(AudioFile(), root));
    Heard heard;
    std::unique_ptr<platform::ipc::IPeer> companion = bus.ConnectPeer(platform::ipc::PeerRole::kAudioRecord);
    ASSERT_NE(companion, nullptr);
    companion->SetEventHandler([&](platform::ipc::PeerEvent e) { heard.Add(std::move(e)); });
    ASSERT_TRUE(Start());
    heard.Take();  // the colour sent at start
    const std::string fileBefore = config::JsonFileStore::ReadFileText(AudioFile());
    const config::MusicStyleInfo before = Window().Music().GetMusicStyle();

    auto edit = [&](ui::WindowImplBase& w) {
        ui::headless::ClickControl(w.PaintManager(), "audio_select_tab3");
        for (auto [name, v] : {std::pair{"audio_r_slider", 5}, std::pair{"audio_g_slider", 0},
                               std::pair{"audio_b_slider", 8}}) {
            auto* slider = dynamic_cast<ui::CSliderUI*>(w.FindControl(name));
            ASSERT_NE(slider, nullptr);
            slider->SetValue(v);
            w.PaintManager().SendNotify(slider, "valuechanged", v);
        }
    };
    int runs = 0;
    platform.SetModalDriver([&](ui::WindowImplBase& w) {
        ++runs;
        EXPECT_TRUE(Window().Music().WindowOpen());
        NotifyFrom("music_setting_btn", "click");  // ignored while open
        edit(w);
        w.RequestClose();
    });
    NotifyFrom("music_setting_btn", "click");
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(Window().Music().WindowOpen());
    EXPECT_EQ(Window().Music().GetMusicStyle(), before);
    EXPECT_EQ(config::JsonFileStore::ReadFileText(AudioFile()), fileBefore);
    EXPECT_TRUE(heard.Take().empty());
    EXPECT_TRUE(Window().IsWindowVisible() || !Window().IsClosed());
    EXPECT_FALSE(platform.QuitRequested());

    platform.SetModalDriver([&](ui::WindowImplBase& w) {
        edit(w);
        ui::headless::ClickControl(w.PaintManager(), "okbtn");
    });
    NotifyFrom("music_setting_btn", "click");
    const auto events = heard.Take();
    ASSERT_EQ(events.size(), 1U);
    const auto* call = std::get_if<platform::ipc::CopyDataCall>(&events[0]);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->kind, platform::ipc::kAudioColourKind);
    const auto expected = platform::ipc::MakeAudioColourBlock(5, 1, 8);  // a green of 0 goes as 1
    EXPECT_EQ(call->block, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(call->block[4], 1);

    const Json::Value saved = config::JsonFileStore::ReadJsonFile(AudioFile());
    EXPECT_EQ(saved["Other"].asString(), "kept");
    EXPECT_EQ(saved["Device"]["Extra"].asInt(), 4);
    const Json::Value& record = saved["Device"]["AudioLightInfo"];
    EXPECT_EQ(record.size(), 17U);
    EXPECT_EQ(record["nAudioStyle"].asInt(), 2);
    EXPECT_EQ(record["nStyleR2"].asInt(), 5);
    EXPECT_EQ(record["nStyleG2"].asInt(), 0);
    EXPECT_EQ(record["nStyleB2"].asInt(), 8);
    EXPECT_EQ(record["nStyleName1"].asString(), "One");
    EXPECT_EQ(Window().Music().GetMusicStyle().style, 2);
}

// The tray's exit and the close button close the child windows: an open palette or music
// window ends as cancelled.
TEST_F(PaletteMusicTest, ClosingTheChildWindowsEndsThePaletteAndTheMusicWindowAsCancelled) {
    ASSERT_TRUE(Start());
    Plug("mouse");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    if (page->GetDpiStages().empty()) {
        page->SyncFromDevice();
    }
    const auto stagesBefore = page->GetDpiStages();
    int runs = 0;
    platform.SetModalDriver([&](ui::WindowImplBase& w) {
        ++runs;
        if (w.GetWindowClassName() == pages::CColorSelectWnd::kClassName) {
            TypeColour(w, 0x12, 0x34, 0x56);
        }
        Window().CloseChildWindows();
        EXPECT_TRUE(w.IsClosed()) << w.GetWindowClassName();
    });
    Window().PaintManager().SendNotify(&InPage("DPI_color_option_0"), "click");
    EXPECT_FALSE(Window().PaletteOpen());
    EXPECT_EQ(page->GetDpiStages(), stagesBefore);

    const std::string fileBefore = config::JsonFileStore::ReadJsonFile(AudioFile()).toStyledString();
    NotifyFrom("music_setting_btn", "click");
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(Window().Music().WindowOpen());
    EXPECT_EQ(config::JsonFileStore::ReadJsonFile(AudioFile()).toStyledString(), fileBefore);
}

}  // namespace
}  // namespace norvane::test
