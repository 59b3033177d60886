// The music lighting window on the shipped skin, headless: styles, levels, names, results.
#include <gtest/gtest.h>

#include "pages/music/music_wnd.h"
#include "tests/ui/ui_fixture.h"
#include "ui/edit.h"
#include "ui/option.h"
#include "ui/slider.h"

namespace norvane::pages {
namespace {

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

config::MusicStyleInfo Sample() {
    config::MusicStyleInfo info;
    info.style = 1;
    info.names = {"Aurora", "Ember", "Ocean", "Forest"};
    info.levels = {{{9, 3, 9}, {9, 4, 0}, {0, 5, 9}, {1, 9, 2}}};
    return info;
}

class MusicWindowTest : public ::testing::Test {
protected:
    MusicWindowTest() {
        ui::SetCurrentPlatform(&platform);
        platform.Resources().SetSkinFolder(kSkin);
        window.SetMusicStyle(Sample());
        EXPECT_TRUE(window.Create(nullptr, "  ", {369, 276}));
        window.PaintManager().UpdateLayout();
    }
    ~MusicWindowTest() override { ui::SetCurrentPlatform(nullptr); }

    std::array<int, 3> Sliders() {
        return {ui::test::Ctl<ui::CSliderUI>(window, "audio_r_slider").GetValue(),
                ui::test::Ctl<ui::CSliderUI>(window, "audio_g_slider").GetValue(),
                ui::test::Ctl<ui::CSliderUI>(window, "audio_b_slider").GetValue()};
    }
    void Slide(std::string_view name, int value) {
        auto& slider = ui::test::Ctl<ui::CSliderUI>(window, name);
        slider.SetValue(value);
        window.PaintManager().SendNotify(&slider, "valuechanged", value);
    }

    ui::headless::HeadlessPlatform platform;
    MusicWnd window;
};

TEST_F(MusicWindowTest, StartsOnTheRecordsStyleAndSwitchesStyles) {
    EXPECT_TRUE(ui::test::Ctl<ui::COptionUI>(window, "audio_select_tab2").IsSelected());
    EXPECT_EQ(window.CurrentStyle(), 1);
    EXPECT_EQ(Sliders(), (std::array<int, 3>{9, 4, 0}));
    EXPECT_EQ(ui::test::Ctl<ui::CSliderUI>(window, "audio_r_slider").GetMaxValue(), 9);
    EXPECT_EQ(ui::test::Ctl<ui::CEditUI>(window, "audio_edit_name3").GetText(), "Ocean");

    ASSERT_TRUE(ui::headless::ClickControl(window.PaintManager(), "audio_select_tab4"));
    EXPECT_EQ(window.GetMusicStyle().style, 3);
    EXPECT_EQ(Sliders(), (std::array<int, 3>{1, 9, 2}));
    EXPECT_FALSE(ui::test::Ctl<ui::COptionUI>(window, "audio_select_tab2").IsSelected());
}

TEST_F(MusicWindowTest, SlidersSetTheLevelsOfTheShownStyleOnly) {
    ASSERT_TRUE(ui::headless::ClickControl(window.PaintManager(), "audio_select_tab3"));
    Slide("audio_g_slider", 7);
    Slide("audio_b_slider", 0);
    config::MusicStyleInfo expected = Sample();
    expected.style = 2;
    expected.levels[2] = {0, 7, 0};
    EXPECT_EQ(window.GetMusicStyle(), expected);
}

TEST_F(MusicWindowTest, RenamingKeepsTextAndRefillsAnEmptyName) {
    struct Case {
        const char* edit;
        const char* typed;
        std::size_t index;
        const char* expected;
    };
    for (const Case& c :
         {Case{"audio_edit_name2", "", 1, "第二组"}, Case{"audio_edit_name1", "Night", 0, "Night"},
          Case{"audio_edit_name4", "", 3, "第四组"}}) {
        SCOPED_TRACE(c.edit);
        auto& edit = ui::test::Ctl<ui::CEditUI>(window, c.edit);
        edit.SetText(c.typed);
        window.PaintManager().SendNotify(&edit, "killfocus");
        EXPECT_EQ(edit.GetText(), c.expected);
        EXPECT_EQ(window.GetMusicStyle().names[c.index], c.expected);
    }
}

TEST_F(MusicWindowTest, ModalResultsOfOkCloseAndSystemClose) {
    for (auto [action, result] : {std::pair{"okbtn", 1}, std::pair{"closebtn", 0}, std::pair{"system", 0}}) {
        SCOPED_TRACE(action);
        ui::test::RecordingWindow owner("music.xml");
        ASSERT_TRUE(owner.Create(nullptr, "owner"));
        owner.ShowWindow(true);
        MusicWnd w;
        ASSERT_TRUE(w.Create(&owner, "  ", {369, 276}));
        platform.SetModalDriver([&](ui::WindowImplBase& win) {
            if (std::string_view(action) == "system") {
                win.RequestClose();
            } else {
                ui::headless::ClickControl(win.PaintManager(), action);
            }
        });
        EXPECT_EQ(w.ShowModal(), result);
        EXPECT_TRUE(owner.IsWindowVisible());
        EXPECT_FALSE(platform.QuitRequested());
    }
}

}  // namespace
}  // namespace norvane::pages
