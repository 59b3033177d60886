// The colour palette window on the shipped skin, headless: swatches, edits, the slots file.
#include <gtest/gtest.h>

#include "config/json_file_store.h"
#include "pages/music/music_wnd.h"
#include "pages/palette/color_select_wnd.h"
#include "platform/diag.h"
#include "tests/ui/ui_fixture.h"
#include "ui/color_palette.h"
#include "ui/edit.h"
#include "ui/messages.h"
#include "ui/option.h"

namespace norvane::pages {
namespace {

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
const std::filesystem::path kFactory =
    std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "DefaultData" / "color_option_info.config";

class PaletteWindowTest : public ::testing::Test {
protected:
    PaletteWindowTest() {
        ui::SetCurrentPlatform(&platform);
        platform.Resources().SetSkinFolder(kSkin);
    }
    ~PaletteWindowTest() override { ui::SetCurrentPlatform(nullptr); }

    std::unique_ptr<CColorSelectWnd> Open(ui::Color start) {
        auto w = std::make_unique<CColorSelectWnd>(userFile, kFactory);
        w->SetColor(start);
        EXPECT_TRUE(w->Create(nullptr, "PalletDialog", {800, 572}));
        w->PaintManager().UpdateLayout();
        return w;
    }
    static void Leave(CColorSelectWnd& w, std::string_view edit, std::string text) {
        auto& e = ui::test::Ctl<ui::CEditUI>(w, edit);
        e.SetText(std::move(text));
        w.PaintManager().SendNotify(&e, "killfocus");
    }
    Json::Value Stored() const { return config::JsonFileStore::ReadJsonFile(userFile); }

    ui::headless::HeadlessPlatform platform;
    test::TempDir dir;
    std::filesystem::path userFile = dir / "color_option_info.config";
};

TEST_F(PaletteWindowTest, AnEmptySlotTakesTheNextColourAndBothSurviveARestart) {
    {
        auto w = Open(0xFF112233);
        ASSERT_TRUE(std::filesystem::exists(userFile));  // the factory file was copied
        EXPECT_EQ(w->SlotIndex(), -1);
        auto& slot = ui::test::Ctl<ui::COptionUI>(*w, "collect_color_option_3");
        EXPECT_EQ(slot.GetBkColor(), 0xFFFFFFFFU);
        ASSERT_TRUE(ui::headless::ClickControl(w->PaintManager(), "collect_color_option_3"));
        EXPECT_EQ(w->SlotIndex(), 3);
        EXPECT_EQ(slot.GetBkColor(), 0xFFFFFFFFU);  // empty: selecting alone changes nothing
        EXPECT_EQ(w->GetColor(), 0xFF112233U);

        ASSERT_TRUE(ui::headless::ClickControl(w->PaintManager(), "color_option_6"));
        EXPECT_EQ(w->GetColor(), 0xFF00FF00U);
        EXPECT_EQ(w->PresetIndex(), 6);
        EXPECT_EQ(slot.GetBkColor(), 0xFF00FF00U);
        EXPECT_EQ(slot.GetUserData(), "1");
        EXPECT_EQ(slot.GetBorderSize(), 0);
        EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(*w, "color_edit_g").GetText(), "255");

        const Json::Value info = Stored()["coloroptioninfo"];
        EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["color"].asString(), "FF00FF00");
        EXPECT_EQ(info["palletDialogcollectcoloroption"][3]["UserData"].asString(), "1");
        EXPECT_EQ(info["palletDialogcollectcoloroption"][4]["UserData"].asString(), "");
        EXPECT_EQ(info["palletDialogcoloroption_selectitem"].asInt(), 6);
        EXPECT_EQ(info["palletDialogcoloroption"][6]["color"].asString(), "FF00FF00");
    }
    auto w = Open(0xFF000000);
    const auto& slot = ui::test::Ctl<ui::COptionUI>(*w, "collect_color_option_3");
    EXPECT_EQ(slot.GetBkColor(), 0xFF00FF00U);
    EXPECT_EQ(slot.GetUserData(), "1");
    EXPECT_EQ(slot.GetBorderSize(), 0);
    EXPECT_FALSE(slot.IsSelected());
    EXPECT_EQ(w->SlotIndex(), -1);  // the stored index is not restored
    EXPECT_EQ(w->PresetIndex(), 6);
    EXPECT_EQ(ui::test::Ctl<ui::COptionUI>(*w, "collect_color_option_4").GetUserData(), "");

    // A filled slot shows its colour; confirming takes what the swatch shows.
    ASSERT_TRUE(ui::headless::ClickControl(w->PaintManager(), "collect_color_option_3"));
    EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(*w, "color_edit_r").GetText(), "0");
    EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(*w, "color_edit_g").GetText(), "255");
    ASSERT_TRUE(ui::headless::ClickControl(w->PaintManager(), "okbtn"));
    EXPECT_EQ(w->GetColor(), 0xFF00FF00U);
}

TEST_F(PaletteWindowTest, StoredPresetColoursDoNotRepaintTheSwatches) {
    Json::Value root;
    root["coloroptioninfo"]["palletDialogcoloroption"][0]["color"] = "FF123456";
    root["coloroptioninfo"]["palletDialogcollectcoloroption"][0]["color"] = "not hex";
    root["coloroptioninfo"]["palletDialogcollectcoloroption"][0]["UserData"] = "1";
    root["coloroptioninfo"]["palletDialogcollectcoloroption"][1] = "not an object";
    ASSERT_TRUE(config::JsonFileStore::WriteJsonFile(userFile, root));
    auto w = Open(0xFF010203);
    EXPECT_EQ(ui::test::Ctl<ui::COptionUI>(*w, "color_option_0").GetBkColor(), 0xFFFF0000U);
    EXPECT_EQ(w->PresetIndex(), 4);
    EXPECT_EQ(ui::test::Ctl<ui::COptionUI>(*w, "collect_color_option_0").GetBkColor(), 0U);
    EXPECT_EQ(ui::test::Ctl<ui::COptionUI>(*w, "collect_color_option_1").GetUserData(), "");
}

TEST_F(PaletteWindowTest, AnUnreadableFileIsKeptAsideAndReplacedByTheFactoryCopy) {
    std::ofstream(userFile) << "{ not json";
    auto w = Open(0xFF010203);
    EXPECT_EQ(Stored(), config::JsonFileStore::ReadJsonFile(kFactory));
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        kept += entry.path().filename().string().starts_with("color_option_info.config.corrupt") ? 1 : 0;
    }
    EXPECT_EQ(kept, 1);
}

TEST_F(PaletteWindowTest, ComponentEditsClampAndBuildAnOpaqueColour) {
    struct Case {
        const char* edit;
        const char* typed;
        const char* shown;
        ui::Color colour;
    };
    const Case cases[] = {
        {"color_edit_g", "300", "255", 0xFF10FF30},
        {"color_edit_b", "", "0", 0xFF102000},
        {"color_edit_r", "7", "7", 0xFF072030},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + "=" + c.typed);
        auto w = Open(0x00102030);
        Leave(*w, c.edit, c.typed);
        EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(*w, c.edit).GetText(), c.shown);
        EXPECT_EQ(w->GetColor(), c.colour);
        EXPECT_EQ(ui::test::Ctl<ui::CColorPaletteUI>(*w, "Pallet").GetSelectColor(), c.colour);
        EXPECT_EQ(ui::test::Ctl<ui::CControlUI>(*w, "color_show_btn").GetBkColor(), c.colour);
    }
}

TEST_F(PaletteWindowTest, PickingInThePaletteSetsTheColourAndClearsSevenColour) {
    auto w = Open(0xFF203040);
    w->EnableSevenColor(true);
    ASSERT_TRUE(ui::headless::ClickControl(w->PaintManager(), "7color"));
    EXPECT_TRUE(w->SevenColor());
    EXPECT_EQ(ui::test::Ctl<ui::CControlUI>(*w, "color_show_btn").GetBkImage(), "common/base1.png");

    auto& palette = ui::test::Ctl<ui::CColorPaletteUI>(*w, "Pallet");
    const ui::Rect field = palette.FieldRect();
    ui::headless::Click(w->PaintManager(), {field.left + field.Width() / 3, field.top + field.Height() / 2});
    EXPECT_EQ(w->GetColor(), palette.GetSelectColor());
    EXPECT_NE(w->GetColor(), 0xFF203040U);
    EXPECT_FALSE(w->SevenColor());
    EXPECT_EQ(ui::test::Ctl<ui::CControlUI>(*w, "color_show_btn").GetBkImage(), "");
    EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(*w, "color_edit_r").GetText(),
              std::to_string((w->GetColor() >> 16) & 0xFF));

    w->EnableSevenColor(false);
    EXPECT_FALSE(ui::test::Ctl<ui::CControlUI>(*w, "7color_layout").IsOwnVisible());
    EXPECT_FALSE(ui::test::Ctl<ui::CControlUI>(*w, "7color").IsOwnEnabled());
}

TEST_F(PaletteWindowTest, ModalResultsOfOkLaterAndSystemClose) {
    struct Case {
        const char* action;
        int result;
    };
    for (const Case& c : {Case{"okbtn", 1}, Case{"laterbtn", 0}, Case{"closebtn", 0}, Case{"system", 0}}) {
        SCOPED_TRACE(c.action);
        ui::test::RecordingWindow owner("PalletDialog.xml");
        ASSERT_TRUE(owner.Create(nullptr, "owner"));
        owner.ShowWindow(true);
        auto w = std::make_unique<CColorSelectWnd>(userFile, kFactory);
        w->SetColor(0xFF445566);
        ASSERT_TRUE(w->Create(&owner, "PalletDialog", {800, 572}));
        w->PaintManager().UpdateLayout();
        platform.SetModalDriver([&](ui::WindowImplBase& win) {
            if (std::string_view(c.action) == "system") {
                win.RequestClose();
            } else {
                ui::headless::ClickControl(win.PaintManager(), c.action);
            }
        });
        EXPECT_EQ(w->ShowModal(), c.result);
        EXPECT_EQ(w->GetColor(), 0xFF445566U);  // unchanged colour confirms as the start colour
        EXPECT_TRUE(owner.IsWindowVisible());
        EXPECT_FALSE(owner.IsClosed());
        EXPECT_FALSE(platform.QuitRequested());
    }
}

TEST_F(PaletteWindowTest, OkWithoutAPaletteReportsTwo) {
    test::TempDir skin;
    std::ofstream(skin / "PalletDialog.xml")
        << R"(<Window size="200,100"><VerticalLayout><Button name="color_show_btn" height="20"/>)"
           R"(<Button name="okbtn" height="20"/></VerticalLayout></Window>)";
    platform.Resources().SetSkinFolder(skin.Path());
    CColorSelectWnd w(userFile, dir / "missing.config");
    ASSERT_TRUE(w.Create(nullptr, "PalletDialog"));
    w.PaintManager().UpdateLayout();
    platform.SetModalDriver(
        [](ui::WindowImplBase& win) { ui::headless::ClickControl(win.PaintManager(), "okbtn"); });
    EXPECT_EQ(w.ShowModal(), CColorSelectWnd::kNoPalette);
}

// The opener's scale is taken when it is an accepted one; a screen-scale change moves and scales
// the window. The same for the palette and the music window.
TEST_F(PaletteWindowTest, BothSmallWindowsTakeAcceptedScalesAndFollowAScreenChange) {
    auto palette = Open(0xFF112233);
    MusicWnd music;
    ASSERT_TRUE(music.Create(nullptr, "  ", {369, 276}));
    const auto check = [](auto& w) {
        w.SetScale(144);
        EXPECT_EQ(w.Scale(), 144);
        EXPECT_EQ(w.PaintManager().GetDPI(), 144);
        platform::diag::ScopedCapture trace;
        w.SetScale(100);
        EXPECT_EQ(w.Scale(), 96);
        EXPECT_EQ(w.PaintManager().GetDPI(), 96);
        EXPECT_EQ(trace.Lines(), std::vector<std::string>{"SET_WND DPI SET ERROR"});
        const ui::Rect suggested{40, 50, 600, 500};
        w.SendMessage(ui::kWmDpiChanged, 120 | (120 << 16), reinterpret_cast<std::intptr_t>(&suggested));
        EXPECT_EQ(w.Scale(), 120);
        EXPECT_EQ(w.PaintManager().GetDPI(), 120);
    };
    check(*palette);
    check(music);
}

}  // namespace
}  // namespace norvane::pages
