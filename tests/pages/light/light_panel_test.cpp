// The lighting panel built from the shipped skin, headless: the mode tables per device kind,
// the light record shown and read back, the user's colour edits and the music-light rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/light/light_control.h"
#include "pages/picture_controls.h"
#include "tests/ui/ui_fixture.h"
#include "ui/color_palette.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/option.h"
#include "ui/slider.h"

namespace norvane::pages {
namespace {

using config::AudioLightInfo;
using config::LightInfo;
using ui::test::Ctl;

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

// The keyboard page with only its lighting panel built.
class PanelWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML/DeviceXml/keyboarddevice.xml"; }
    std::string_view GetWindowClassName() const override { return "LightPanelTest"; }
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexKeyboardDevice") {
            return std::make_unique<ui::CVerticalLayoutUI>();
        }
        if (tag == "LightControl") {
            return std::make_unique<CLightControlUI>();
        }
        return nullptr;
    }
};

class LightPanelTest : public ::testing::Test {
protected:
    LightPanelTest() {
        ui::SetCurrentPlatform(&platform);
        RegisterPictureControls(ui::CControlFactory::Instance());
        platform.Resources().SetSkinFolder(kSkin);
        platform.Resources().LoadLanguage(kSkin / "lan_en.xml");
        if (window.Create(nullptr, "page")) {
            panel = dynamic_cast<CLightControlUI*>(window.FindControl("LightControlItem"));
        }
    }
    ~LightPanelTest() override { ui::SetCurrentPlatform(nullptr); }

    // The panel for a kind with 31 visible modes.
    CLightControlUI& Built(int kind) {
        if (panel == nullptr) {
            throw std::runtime_error("no lighting panel in the page");
        }
        std::vector<std::string> names;
        for (int i = 0; i <= 30; ++i) {
            names.push_back("light_mode_" + std::to_string(i));
        }
        panel->SetDeviceKind(kind);
        panel->FillModes(names, std::vector<bool>(names.size(), true), 4, 4);
        return *panel;
    }
    ui::CControlUI& Control(std::string_view name) { return Ctl<ui::CControlUI>(window, name); }
    ui::CEditUI& Edit(std::string_view name) { return Ctl<ui::CEditUI>(window, name); }
    ui::COptionUI& Option(std::string_view name) { return Ctl<ui::COptionUI>(window, name); }
    bool Enabled(std::string_view name) { return Control(name).IsOwnEnabled(); }
    bool Visible(std::string_view name) { return Control(name).IsOwnVisible(); }
    // Types into an edit and leaves it.
    void Type(std::string_view edit, std::string text) { Edit(edit).SetText(std::move(text)); }

    ui::headless::HeadlessPlatform platform;
    PanelWindow window;
    CLightControlUI* panel = nullptr;
};

// One row per (kind, mode): the six groups M C P L S D (1 enabled, 0 disabled, 'h' hidden for
// S, '-' left alone for D) and what else the mode sets.
struct ModeCase {
    int kind;
    int mode;
    const char* groups;  // "MCPLSD"
    bool sameShown;      // with the same-mode button allowed
    const char* leftLabel;
    bool secondaryShown = false;
    bool customShown = false;
    bool musicShown = false;
    bool colourLayoutEnabled = true;
};

constexpr const char* kRtl = "light_set_right_to_left_text";

const ModeCase kModeCases[] = {
    {1, 0, "000000", false, kRtl},  // a keyboard's mode 0 leaves only the effect area
    {1, 1, "111111", false, kRtl},
    {1, 3, "111111", false, "light_set_clockwise_text"},
    {1, 4, "000110", false, kRtl, false, false, false, false},
    {1, 6, "111100", true, kRtl},
    {1, 12, "000111", false, "light_set_down_to_up_text"},
    {1, 17, "0001h0", false, kRtl, true, false, false, false},
    {1, 18, "000101", false, "light_set_outside_to_inside_text"},
    {1, 19, "0111h0", false, kRtl, false, true},
    {1, 21, "111111", false, "light_set_up_to_down_text"},
    {1, 28, "000000", true, kRtl},
    {1, 29, "1111h1", false, kRtl, false, false, true},
    {1, 30, "000100", false, kRtl, false, false, false, false},
    {1, 99, "000000", false, kRtl},
    {2, 0, "111111", false, kRtl},
    {2, 1, "000110", true, kRtl},
    {2, 3, "011100", true, kRtl},
    {2, 7, "000110", false, kRtl},
    {2, 9, "000000", true, kRtl},
    {3, 0, "111111", false, kRtl},
    {3, 2, "111110", true, kRtl},
    {3, 8, "000000", true, kRtl},
    {7, 3, "011100", true, kRtl},
    {7, 5, "000000", false, kRtl},
    {5, 1, "01110-", false, kRtl},
    {5, 4, "00011-", false, kRtl},
};

TEST_F(LightPanelTest, ModeTablesSetTheGroupsPerKindAndMode) {
    constexpr const char* kGroups[] = {"deng_7color_check", "deng_color_layout", "colorpallet_layout",
                                       "deng_light_layout", "deng_speed_layout", "deng_fx_layout"};
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " mode " + std::to_string(c.mode));
        CLightControlUI& p = Built(c.kind);
        // A state the table must overwrite: every group flipped, the kind-5 direction disabled.
        for (const char* g : kGroups) {
            Control(g).SetEnabled(std::string_view(c.groups).find('1') == std::string_view::npos);
        }
        Control("deng_fx_layout").SetEnabled(false);
        p.SetSameModeAllowed(true);
        p.ApplyModeTable(c.mode);
        for (std::size_t i = 0; i < 6; ++i) {
            const char want = c.groups[i];
            SCOPED_TRACE(kGroups[i]);
            if (want == 'h') {
                EXPECT_FALSE(Visible(kGroups[i]));
            } else if (want == '-') {
                EXPECT_FALSE(Enabled(kGroups[i]));  // left as it was
            } else {
                EXPECT_EQ(Enabled(kGroups[i]), want == '1');
                EXPECT_TRUE(Visible(kGroups[i]));
            }
        }
        EXPECT_TRUE(Enabled("lighteffect_layout"));
        EXPECT_EQ(Visible("deng_same_mode"), c.sameShown);
        if (c.kind == 1) {
            EXPECT_EQ(Control("deng_FXL_check").GetTextId(), c.leftLabel);
            EXPECT_EQ(Visible("light_combo_ZZCCmodeSelectLayout"), c.secondaryShown);
            EXPECT_EQ(Visible("lightcustom_layout"), c.customShown);
            EXPECT_EQ(Visible("light_combo_AudiomodeSelectLayout"), c.musicShown);
            EXPECT_EQ(Ctl<ui::CTabLayoutUI>(window, "light_color_tablayout").GetCurSel(),
                      c.musicShown ? 1 : 0);
            EXPECT_EQ(Enabled("light_color_layout"), c.colourLayoutEnabled);
        }
        // Without the permission the same-mode button stays hidden.
        p.SetSameModeAllowed(false);
        p.ApplyModeTable(c.mode);
        EXPECT_FALSE(Visible("deng_same_mode"));
    }
}

TEST_F(LightPanelTest, UnknownKindLeavesTheGroupsAlone) {
    CLightControlUI& p = Built(8);
    Control("deng_light_layout").SetEnabled(false);
    Control("deng_color_layout").SetEnabled(true);
    p.ApplyModeTable(0);
    EXPECT_FALSE(Enabled("deng_light_layout"));
    EXPECT_TRUE(Enabled("deng_color_layout"));
}

TEST_F(LightPanelTest, ShownRecordReadsBack) {
    CLightControlUI& p = Built(2);
    LightInfo info;
    info.selectedMode = 5;
    info.brightness = 3;
    info.speed = 1;
    info.direction = 1;
    info.multiColor = 1;
    info.red = 12;
    info.green = 200;
    info.blue = 7;
    p.ShowLightInfo(info);
    EXPECT_EQ(p.SelectedMode(), 5);
    EXPECT_EQ(p.Brightness(), 3);
    EXPECT_EQ(p.Speed(), 1);
    EXPECT_TRUE(p.MultiColour());
    EXPECT_EQ(p.EditText("deng_edit_R"), "12");
    EXPECT_EQ(p.EditText("deng_edit_G"), "200");
    EXPECT_EQ(p.EditText("deng_edit_B"), "7");
    EXPECT_EQ(p.PaletteColour(), 0xFF0CC807U);
    EXPECT_EQ(Control("deng_colordp_btn").GetBkColor(), 0xFF0CC807U);
    EXPECT_TRUE(Option("deng_FXL_check").IsSelected());
    EXPECT_FALSE(Option("deng_FXR_check").IsSelected());
    // The sliders' values become the record's, the direction follows the options.
    Ctl<ui::CSliderUI>(window, "deng_light_slider").SetValue(2);
    Option("deng_FXR_check").Selected(true, false);
    LightInfo next = p.OnSliderChanged(info, "deng_light_slider");
    next = p.OnOptionChanged(next, "deng_FXR_check");
    EXPECT_EQ(next.brightness, 2);
    EXPECT_EQ(next.direction, 0);
    info.direction = 0;
    p.ShowLightInfo(info);
    EXPECT_TRUE(Option("deng_FXR_check").IsSelected());
}

TEST_F(LightPanelTest, ColourEditsAreClampedAndTurnMultiColourOff) {
    CLightControlUI& p = Built(1);
    LightInfo info;
    info.selectedMode = 1;
    info.multiColor = 1;
    info.red = 10;
    info.green = 20;
    info.blue = 30;
    p.ShowLightInfo(info);
    struct Case {
        const char* typed;
        int stored;
        const char* shown;
    };
    for (const Case c : {Case{"300", 255, "255"}, Case{"", 0, "0"}, Case{"128", 128, "128"}}) {
        SCOPED_TRACE(c.typed);
        Type("deng_edit_G", c.typed);
        const LightInfo next = p.OnColourEdited(info, "deng_edit_G");
        EXPECT_EQ(next.green, c.stored);
        EXPECT_EQ(next.red, 10);
        EXPECT_EQ(next.multiColor, 0);
        EXPECT_EQ(Edit("deng_edit_G").GetText(), c.shown);
        EXPECT_FALSE(p.MultiColour());
        EXPECT_EQ(p.PaletteColour(),
                  0xFF000000U | (10U << 16) | (static_cast<unsigned>(c.stored) << 8) | 30U);
    }
}

TEST_F(LightPanelTest, PaletteAndPresetColoursTurnMultiColourOff) {
    CLightControlUI& p = Built(3);
    LightInfo info;
    info.multiColor = 1;
    p.ShowLightInfo(info);
    Ctl<ui::CColorPaletteUI>(window, "deng_Color_Pallet").SetSelectColor(0xFF102030U);
    LightInfo next = p.OnPaletteChanged(info);
    EXPECT_EQ(next.multiColor, 0);
    EXPECT_EQ(next.red, 0x10);
    EXPECT_EQ(next.green, 0x20);
    EXPECT_EQ(next.blue, 0x30);
    EXPECT_FALSE(p.MultiColour());
    EXPECT_EQ(Edit("deng_edit_B").GetText(), "48");
    EXPECT_EQ(Control("deng_colordp_btn").GetBkColor(), 0xFF102030U);

    next = p.OnPresetClicked(info, 3);
    EXPECT_EQ(p.PresetColour(3), Control("color_option_3").GetBkColor());
    EXPECT_EQ(next.multiColor, 0);
    EXPECT_EQ(0xFF000000U | (unsigned{next.red} << 16) | (unsigned{next.green} << 8) | next.blue,
              p.PresetColour(3));
    EXPECT_EQ(p.PaletteColour(), p.PresetColour(3));
    EXPECT_EQ(p.PresetColour(99), 0U);  // a missing preset
}

TEST_F(LightPanelTest, MusicLightShowsForegroundOrBackground) {
    CLightControlUI& p = Built(1);
    AudioLightInfo audio{2, 1, 2, 3, 40, 50, 60, 1, 1};
    p.ShowAudioLightState(audio);
    EXPECT_TRUE(Option("audio_FgColor_check").IsSelected());
    EXPECT_FALSE(Option("audio_BkColor_check").IsSelected());
    EXPECT_TRUE(Enabled("deng_7audiocolor_check"));
    EXPECT_TRUE(Option("deng_7audiocolor_check").IsSelected());
    EXPECT_EQ(Edit("deng_audioedit_R").GetText(), "40");
    EXPECT_EQ(Control("deng_audiocolordp_btn").GetBkColor(), 0xFF28323CU);
    EXPECT_TRUE(Enabled("light_audiocolor_layout"));
    EXPECT_EQ(p.ReadAudioLight(true), audio);

    audio.colorType = 0;
    audio.mode = 3;
    p.ShowAudioLightState(audio);
    EXPECT_TRUE(Option("audio_BkColor_check").IsSelected());
    EXPECT_FALSE(Enabled("deng_7audiocolor_check"));
    EXPECT_EQ(Edit("deng_audioedit_B").GetText(), "3");
    EXPECT_FALSE(Enabled("light_audiocolor_layout"));  // mode 3 has no colours
    EXPECT_FALSE(Enabled("audiocolorpallet_layout"));

    // Switching to the foreground: the read record is of type 1 and keeps the colours.
    Option("audio_FgColor_check").Selected(true, false);
    Option("audio_BkColor_check").Selected(false, false);
    const AudioLightInfo read = p.ReadAudioLight(false);
    EXPECT_EQ(read.colorType, 1);
    EXPECT_EQ(read.foregroundRed, 40);
    EXPECT_EQ(read.backgroundBlue, 3);
}

TEST_F(LightPanelTest, MusicColourChangesFollowTheColourType) {
    CLightControlUI& p = Built(1);
    // Background mode: a preset keeps the seven-colour flag.
    p.ShowAudioLightState(AudioLightInfo{0, 1, 2, 3, 4, 5, 6, 1, 0});
    AudioLightInfo next = p.OnMusicPresetClicked(0);
    EXPECT_EQ(next.sevenColor, 1);
    EXPECT_EQ(0xFF000000U | (unsigned{next.backgroundRed} << 16) | (unsigned{next.backgroundGreen} << 8) |
                  next.backgroundBlue,
              p.MusicPresetColour(0));
    EXPECT_EQ(next.foregroundRed, 4);
    next = p.OnMusicBackgroundBlack();
    EXPECT_EQ(next.backgroundRed + next.backgroundGreen + next.backgroundBlue, 0);

    // Foreground mode: a preset clears it, an edit sets one clamped component and clears it.
    p.ShowAudioLightState(AudioLightInfo{0, 1, 2, 3, 4, 5, 6, 1, 1});
    next = p.OnMusicPresetClicked(5);
    EXPECT_EQ(next.sevenColor, 0);
    EXPECT_EQ(next.backgroundRed, 1);
    p.ShowAudioLightState(AudioLightInfo{0, 1, 2, 3, 4, 5, 6, 1, 1});
    Type("deng_audioedit_G", "999");
    next = p.OnMusicColourEdited("deng_audioedit_G");
    EXPECT_EQ(next.foregroundGreen, 255);
    EXPECT_EQ(next.sevenColor, 0);
    EXPECT_EQ(Edit("deng_audioedit_G").GetText(), "255");
    // The palette's colour goes to the colour shown.
    next = p.OnMusicColourChosen(0xFF0A0B0CU, false);
    EXPECT_EQ(next.foregroundBlue, 0x0C);
    EXPECT_EQ(p.ShownAudioLight(), next);
}

}  // namespace
}  // namespace norvane::pages
