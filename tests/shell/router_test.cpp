// The main window's routing tables, the macro action menu, the layout tags and the language
// list, without a window.
#include "shell/main_wnd/router.h"
#include "devices/headset/headset_device.h"
#include "devices/headset/voice6533_control.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/mouse/mouse_device.h"
#include "devices/mousepad/mousepad_device.h"
#include "pages/circle_progress.h"
#include "pages/light/light_control.h"
#include "shell/main_wnd/language.h"
#include "shell/main_wnd/layout_tags.h"
#include "shell/startup.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "ui/control_factory.h"
#include "ui/paint_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

namespace norvane::test {
namespace {

using shell::Route;
using enum shell::MainAction;

struct RouteCase {
    const char* type;
    const char* name;
    std::optional<Route> expected;
};

void PrintTo(const RouteCase& c, std::ostream* os) {
    *os << c.type << ":" << c.name;
}

class RouteTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouteTest, ControlNameGivesActionAndIndex) {
    const RouteCase& c = GetParam();
    EXPECT_EQ(shell::RouteNotification(c.type, c.name), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RouteTest,
    ::testing::Values(
        // Indexed names: split at the last '_'; a non-number is index 0; no '_' has no prefix.
        RouteCase{"click", "key_7", Route{kKeyButton, 7}}, RouteCase{"click", "key_x", Route{kKeyButton, 0}},
        RouteCase{"click", "key", std::nullopt}, RouteCase{"click", "KEY_12", Route{kKeyButton, 12}},
        RouteCase{"click", "key_", Route{kKeyButton, 0}},
        // A longer prefix is its own row, not the shorter one's.
        RouteCase{"click", "DPI_color_option_3", Route{kDpiColourPalette, 3}},
        RouteCase{"click", "color_option_3", Route{kLightColourPreset, 3}},
        RouteCase{"click", "audiocolor_option_1", Route{kMusicColourPreset, 1}},
        RouteCase{"click", "key_butt_keysave", Route{kKeySave, 0}},
        RouteCase{"click", "Key_Butt_KeyCancel", Route{kKeyCancel, 0}},
        // The window's own controls, ignoring case.
        RouteCase{"click", "closebtn", Route{kCloseToTray, 0}},
        RouteCase{"click", "CloseBtn", Route{kCloseToTray, 0}},
        RouteCase{"click", "minbtn", Route{kMinimize, 0}},
        RouteCase{"click", "restorebtn", Route{kRestore, 0}},
        RouteCase{"click", "control_light_status", Route{kToggleLightStatus, 0}},
        // The five rows that match only with case.
        RouteCase{"click", "profile_fun_spread_btn", Route{kProfilePanel, 0}},
        RouteCase{"click", "Profile_fun_spread_btn", std::nullopt},
        RouteCase{"click", "macro_inset_moveupkey_btn", Route{kMacroInsertMove, 0}},
        RouteCase{"click", "macro_inset_moveUpkey_btn", std::nullopt},
        RouteCase{"click", "nothing_here", std::nullopt},
        // Other types use their own tables only.
        RouteCase{"selectchanged", "closebtn", std::nullopt},
        RouteCase{"selectchanged", "key_ComBox_check_4", Route{kKeyComboOption, 4}},
        RouteCase{"selectchanged", "DPI_select_check_2", Route{kMouseDpiStage, 2}},
        RouteCase{"selectchanged", "synchro_device_select", Route{kNone, 0}},
        RouteCase{"selectchanged", "Virtual7.1_Op_tab", Route{kPageTab, 0}},
        RouteCase{"valuechanged", "DPI_slider_5", Route{kMouseDpiSlider, 5}},
        RouteCase{"valuechanged", "b_light_slider", Route{kMusicColourSlider, 0}},
        RouteCase{"movevaluechanged", "velto_DPI_slider_1", Route{kDpiSliderMove, 1}},
        RouteCase{"movevaluechanged", "DPI_slider_1", Route{kMouseDpiPreview, 1}},
        RouteCase{"killfocus", "velto_DPI_edit_6", Route{kDpiEditClamp, 6}},
        RouteCase{"killfocus", "DPI_edit_6", Route{kMouseDpiEdit, 6}},
        RouteCase{"killfocus", "keyset_macro_cycle_edit", Route{kKeySave, 0}},
        RouteCase{"setfocus", "keyset_keyboard_text_edit", Route{kKeyboardHookOn, 0}},
        RouteCase{"killfocus", "keyset_keyboard_text_edit", Route{kKeyboardHookOff, 0}},
        RouteCase{"itemselect", "keyset_gunkey_combo", Route{kKeySave, 0}},
        RouteCase{"itemselect", "device_profile_combo", Route{kProfileCombo, 0}},
        RouteCase{"itemactivate", "macro_action", Route{kMacroActionMenu, 0}},
        RouteCase{"colorchanged", "deng_audioColor_Pallet", Route{kMusicColourPicked, 0}},
        RouteCase{"click_select_end", "mouse_device_key_light", Route{kKeySelectionEndMouse, 0}},
        RouteCase{"textchanged", "key_1", std::nullopt},
        RouteCase{"itemclick", "macro_name_list", std::nullopt}));

// Every row can be reached: no earlier row of its table takes its name first.
TEST(RouteTablesTest, EveryRowIsReachedByItsOwnName) {
    for (const char* type : {"click", "selectchanged", "valuechanged", "movevaluechanged", "killfocus",
                             "setfocus", "itemselect", "itemactivate", "colorchanged", "click_select_end"}) {
        const auto rows = shell::RoutesForType(type);
        ASSERT_FALSE(rows.empty()) << type;
        for (const shell::RouteRow& row : rows) {
            const std::string name =
                std::string(row.name) + (row.match == shell::RouteMatch::kPrefix ? "9" : "");
            const auto route = shell::FindRoute(rows, name);
            ASSERT_TRUE(route.has_value()) << type << ":" << name;
            EXPECT_EQ(route->action, row.action) << type << ":" << name;
        }
    }
}

TEST(MacroMenuTest, ItemsGiveRecordingModesAndButtonEvents) {
    using enum shell::MacroMenuAction;
    using enum shell::MouseButtonEvent;
    struct Case {
        const char* item;
        shell::MacroMenuAction action;
        int delayMode;
        int hookOption;
        shell::MouseButtonEvent down;
        shell::MouseButtonEvent up;
    };
    for (const Case& c : {
             Case{"redio_previous_record_time", kRecord, 1, 8, kNoButton, kNoButton},
             Case{"redio_later_constant_time", kRecord, 2, 16, kNoButton, kNoButton},
             Case{"redio_later_ignore_time", kRecord, 3, 16, kNoButton, kNoButton},
             Case{"macro_action_edit", kRecord, 3, 32, kNoButton, kNoButton},
             Case{"back_up", kInsertEvent, 0, 0, kBackUp, kNoButton},
             Case{"middle_click", kInsertClick, 0, 0, kMiddleDown, kMiddleUp},
         }) {
        const shell::MacroMenuRow* row = shell::FindMacroMenuItem(c.item);
        ASSERT_NE(row, nullptr) << c.item;
        EXPECT_EQ(row->action, c.action) << c.item;
        EXPECT_EQ(row->delayMode, c.delayMode) << c.item;
        EXPECT_EQ(row->hookOption, c.hookOption) << c.item;
        EXPECT_EQ(row->down, c.down) << c.item;
        EXPECT_EQ(row->up, c.up) << c.item;
    }
    EXPECT_EQ(shell::FindMacroMenuItem("exit"), nullptr);
    EXPECT_EQ(shell::FindMacroMenuItem("Left_Click"), nullptr);  // menu item names are exact
}

class LayoutTagTest : public ui::test::UiFixture {
protected:
    void SetUp() override {
        shell::RegisterControlClasses(ui::CControlFactory::Instance());
        window = Open("<VerticalLayout name=\"root\"/>");
        ASSERT_NE(window, nullptr);
    }
    std::unique_ptr<ui::test::RecordingWindow> window;
};

TEST_F(LayoutTagTest, TagsMakeTheirClassesOrSubLayoutsIgnoringCase) {
    WriteSkin(
        "XML/CustomControlXML/KeySetControl.xml",
        R"(<Window><VerticalLayout name="keyset_root"><Button name="key_butt_keysave"/></VerticalLayout></Window>)");
    auto& pm = window->PaintManager();

    auto progress = shell::CreateLayoutTag("circleprogress", pm);
    EXPECT_NE(dynamic_cast<pages::CCircleProgressUI*>(progress.get()), nullptr);
    auto keyboard = shell::CreateLayoutTag("TarnexKeyboardDevice", pm);
    EXPECT_NE(dynamic_cast<devices::CTarnexKeyboardDevice*>(keyboard.get()), nullptr);
    auto mouse = shell::CreateLayoutTag("tarnexmousedevice", pm);
    EXPECT_NE(dynamic_cast<devices::CTarnexMouseDevice*>(mouse.get()), nullptr);
    auto pad = shell::CreateLayoutTag("TarnexMousePadDevice", pm);
    EXPECT_NE(dynamic_cast<devices::CTarnexMousePadDevice*>(pad.get()), nullptr);
    auto headset = shell::CreateLayoutTag("TarnexDE6533Device", pm);
    EXPECT_NE(dynamic_cast<devices::CTarnexDE6533Device*>(headset.get()), nullptr);
    auto audioPanel = shell::CreateLayoutTag("voice6533control", pm);
    EXPECT_NE(dynamic_cast<devices::headset::CVoice6533ControlUI*>(audioPanel.get()), nullptr);

    auto sub = shell::CreateLayoutTag("KEYSETCONTROLUI", pm);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetName(), "keyset_root");

    auto light = shell::CreateLayoutTag("LightControl", pm);
    EXPECT_NE(dynamic_cast<pages::CLightControlUI*>(light.get()), nullptr);

    // A class not built yet, a sub-layout file that is missing and an unknown tag make nothing.
    EXPECT_EQ(shell::CreateLayoutTag("ShootKeySetControlUI", pm), nullptr);
    EXPECT_EQ(shell::CreateLayoutTag("Button", pm), nullptr);
}

TEST(LanguageListTest, ReadsEntriesSkipsBadOnesAndFindsIndexById) {
    TempDir dir;
    std::ofstream(dir / "Language.config") << R"({"Language": [
        {"Language_ID": 520, "Language_name": "English", "Language_file": "lan_en.xml",
         "Language_text": "language_english"},
        {"Language_ID": "521", "Language_name": "bad id", "Language_file": "x.xml"},
        {"Language_ID": 521, "Language_name": "Chinese", "Language_file": "lan_cn.xml"},
        {"Language_ID": 522, "Language_name": "no file"},
        7]})";
    const auto list = shell::ReadLanguageList(dir / "Language.config");
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list[1].id, 521U);
    EXPECT_EQ(list[1].file, "lan_cn.xml");
    // The combo text id is optional.
    EXPECT_EQ(list[0].textId, "language_english");
    EXPECT_EQ(list[1].textId, "");
    EXPECT_EQ(shell::LanguageIndexOf(list, 521), 1);
    EXPECT_EQ(shell::LanguageIndexOf(list, 999), 0);  // unknown ids take the first entry

    EXPECT_TRUE(shell::ReadLanguageList(dir / "missing.config").empty());
    std::ofstream(dir / "array.config") << "[1, 2]";
    EXPECT_TRUE(shell::ReadLanguageList(dir / "array.config").empty());
}

TEST(LanguageListTest, FontResetRuleByIndices) {
    struct Case {
        int from;
        int to;
        bool resets;
    };
    for (const Case& c : {Case{3, 5, false}, Case{3, 4, true}, Case{-1, 7, true}, Case{15, 1, true},
                          Case{2, 1, true}, Case{1, 3, false}, Case{5, 0, true}, Case{4, 5, false}}) {
        EXPECT_EQ(shell::LanguageSwitchResetsFonts(c.from, c.to), c.resets) << c.from << " -> " << c.to;
    }
}

}  // namespace
}  // namespace norvane::test
