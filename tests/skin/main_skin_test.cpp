// The main window skin built headless: the main layout through the resource index, the tiles,
// power panels and a device page added to it as the program adds them, the two menus, and the
// texts and pictures those files name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/preview_stand_ins.h"
#include "devices/function_tab.h"
#include "pages/circle_progress.h"
#include "pages/picture_controls.h"
#include "tests/ui/ui_fixture.h"
#include "ui/container.h"
#include "ui/dialog_builder.h"
#include "ui/edit.h"
#include "ui/menu.h"
#include "ui/option.h"
#include "ui/progress.h"
#include "ui/slider.h"

namespace norvane::ui::test {
namespace {

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";
constexpr std::array<const char*, 2> kLanguages = {"lan_en.xml", "lan_cn.xml"};

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Font ids belong to the window: a layout built into the main window that defines an id again
// redraws every control using it (the title bar at the size of a page's big digits).
TEST(MainSkinFonts, LayoutsInTheMainWindowKeepItsFontIds) {
    const std::regex font(R"re(<Font\s+id="(\d+)"([^>]*)/>)re");
    const auto fontsOf = [&](const std::filesystem::path& file) {
        std::map<std::string, std::string> fonts;
        const std::string text = ReadText(file);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), font); it != std::sregex_iterator();
             ++it) {
            fonts[(*it)[1]] = std::regex_replace((*it)[2].str(), std::regex(R"(\s+)"), " ");
        }
        return fonts;
    };
    const std::map<std::string, std::string> main = fontsOf(kSkin / "main.xml");
    ASSERT_FALSE(main.empty());
    std::map<std::string, std::string> seen = main;  // id -> attributes, across every layout
    int layouts = 0;
    for (const char* folder : {"XML/DeviceXml", "XML/CustomControlXML"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kSkin / folder)) {
            if (entry.path().extension() != ".xml") {
                continue;
            }
            ++layouts;
            for (const auto& [id, attributes] : fontsOf(entry.path())) {
                const auto [it, added] = seen.emplace(id, attributes);
                EXPECT_EQ(it->second, attributes)
                    << entry.path().filename() << " defines font " << id << " differently";
            }
        }
    }
    EXPECT_GT(layouts, 5);
}

// The page, tile and power panel classes of the program are not linked here: the preview's
// stand-ins build their layouts on plain containers.
class MainWindow : public WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML_MAIN"; }
    std::string_view GetWindowClassName() const override { return "MainSkinTest"; }
    std::unique_ptr<CControlUI> CreateControl(std::string_view tag) override {
        return app::MakePreviewStandIn(tag);
    }
};

class MainSkinTest : public ::testing::Test {
protected:
    MainSkinTest() {
        SetCurrentPlatform(&platform);
        pages::RegisterPictureControls(CControlFactory::Instance());
        platform.Resources().SetSkinFolder(kSkin);
        indexed = platform.Resources().LoadResourceIndex("res.xml");
        built = indexed && window.Create(nullptr, "NORVANE") &&
                platform.Resources().LoadLanguage(kSkin / "lan_en.xml");
        if (built) {
            window.PaintManager().UpdateLayout();
        }
    }
    ~MainSkinTest() override { SetCurrentPlatform(nullptr); }

    CControlUI* Add(std::string_view container, std::string_view layout) {
        CDialogBuilder builder;
        auto root = builder.Create(layout, &window.PaintManager(), &window);
        CControlUI* added = root ? Ctl<CContainerUI>(window, container).Add(std::move(root)) : nullptr;
        window.PaintManager().UpdateLayout();
        return added;
    }
    template <typename T>
    static T* Child(CControlUI& scope, std::string_view name) {
        T* found = nullptr;
        scope.ForEach([&](CControlUI& c) {
            if (found == nullptr && c.GetName() == name) {
                found = dynamic_cast<T*>(&c);
            }
        });
        return found;
    }

    headless::HeadlessPlatform platform;
    MainWindow window;
    bool indexed = false;
    bool built = false;
};

TEST_F(MainSkinTest, MainLayoutHoldsEveryControlTheWindowRoutesWithItsClass) {
    ASSERT_TRUE(indexed);
    ASSERT_TRUE(built);
    EXPECT_EQ(window.PaintManager().GetClientSize().cx, 1000);
    EXPECT_EQ(window.PaintManager().GetClientSize().cy, 640);
    std::vector<std::pair<std::string, std::string_view>> expected = {
        {"root", "VerticalLayout"},       {"device_select_layout", "HorizontalLayout"},
        {"device_switch", "TabLayout"},   {"device_power_switch", "TabLayout"},
        {"setting_progress", "Progress"}, {"str_test", "Label"},
    };
    for (const char* name :
         {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn", "smarteyesbtn",
          "setbtn", "device_select_prev", "device_select_next", "nodevice_ok_btn", "control_light_status",
          "logo_btn", "default_btn", "music_setting_btn", "windowdeviceset_0", "windowdeviceset_1"}) {
        expected.emplace_back(name, "Button");
    }
    for (const char* c : {"R", "G", "B"}) {
        expected.emplace_back(std::string(c) + "_light_slider", "Slider");
        expected.emplace_back(std::string(c) + "_light_label", "Label");
    }
    for (int n = 0; n < 5; ++n) {
        expected.emplace_back("velto_DPI_slider_" + std::to_string(n), "Slider");
        expected.emplace_back("velto_DPI_edit_" + std::to_string(n), "Edit");
    }
    for (const auto& [name, cls] : expected) {
        CControlUI* c = window.FindControl(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->GetClass(), cls) << name;
    }
    EXPECT_TRUE(dynamic_cast<CContainerUI*>(window.FindControl("No_device_Link")) != nullptr);
    // Before the first scan no tile is connected: the window opens on the no-device panel.
    EXPECT_TRUE(window.FindControl("No_device_Link")->IsVisible());
    EXPECT_FALSE(window.FindControl("setting_progress")->IsVisible());
    EXPECT_EQ(window.FindControl("str_test")->GetTextId(), "message_text_16");
    // The typed sensitivity is clamped into the range the sliders cover.
    for (int n = 0; n < 5; ++n) {
        auto& slider = Ctl<CProgressUI>(window, "velto_DPI_slider_" + std::to_string(n));
        auto& edit = Ctl<CEditUI>(window, "velto_DPI_edit_" + std::to_string(n));
        EXPECT_EQ(slider.GetMinValue(), 200);
        EXPECT_EQ(slider.GetMaxValue(), 6500);
        EXPECT_EQ(edit.GetMinNumber(), 200);
        EXPECT_EQ(edit.GetMaxNumber(), 6500);
    }
}

TEST_F(MainSkinTest, VisibleBarControlsLieInsideTheWindowWithoutOverlapping) {
    ASSERT_TRUE(built);
    const Rect client{0, 0, 1000, 640};
    for (const char* bar : {"main_titlebar", "main_device_strip"}) {
        auto& row = Ctl<CContainerUI>(window, bar);
        std::vector<CControlUI*> shown;
        for (int i = 0; i < row.GetCount(); ++i) {
            CControlUI* c = row.GetItemAt(i);
            if (c->IsVisible() && !c->GetPos().IsEmpty()) {
                shown.push_back(c);
            }
        }
        ASSERT_GT(shown.size(), 3U) << bar;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i]->GetPos().Intersection(client).Width(), shown[i]->GetPos().Width())
                << shown[i]->GetName();
            EXPECT_TRUE(row.GetPos().Contains(shown[i]->GetPos().Center())) << shown[i]->GetName();
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                EXPECT_FALSE(shown[i]->GetPos().Intersects(shown[j]->GetPos()))
                    << bar << ": " << shown[i]->GetName() << " overlaps " << shown[j]->GetName();
            }
        }
    }
    // The window buttons sit at the right edge, where a user looks for them.
    EXPECT_GE(window.FindControl("closebtn")->GetPos().right, 990);
}

TEST_F(MainSkinTest, NoDevicePanelCoversThePagesAndTakesTheClicks) {
    ASSERT_TRUE(built);
    ASSERT_NE(Add("device_switch", "XML/DeviceXml/keyboarddevice.xml"), nullptr);
    const Rect pages = window.FindControl("device_switch")->GetPos();
    const Rect panel = window.FindControl("No_device_Link")->GetPos();
    EXPECT_EQ(panel.left, pages.left);
    EXPECT_EQ(panel.top, pages.top);
    EXPECT_EQ(panel.right, pages.right);
    EXPECT_EQ(panel.bottom, pages.bottom);
    CControlUI* ok = window.FindControl("nodevice_ok_btn");
    EXPECT_EQ(window.PaintManager().FindControlAt(ok->GetPos().Center()), ok);
    CControlUI* picture = window.FindControl("keyboard_device_key_layout");
    ASSERT_NE(picture, nullptr);
    bool covered = false;
    for (CControlUI* hit = window.PaintManager().FindControlAt(picture->GetPos().Center()); hit != nullptr;
         hit = hit->GetParent()) {
        covered = covered || hit->GetName() == "No_device_Link";
    }
    EXPECT_TRUE(covered) << "a click on the page goes through the no-device panel";

    // Once a device is connected the page takes the whole area below the strip, picture included.
    window.FindControl("No_device_Link")->SetVisible(false);
    window.PaintManager().UpdateLayout();
    const Rect key = picture->GetPos();
    EXPECT_GE(key.left, pages.left);
    EXPECT_LE(key.right, pages.right);
    EXPECT_GE(key.top, pages.top);
    EXPECT_LE(key.bottom, pages.bottom);
    CControlUI* light = window.FindControl("LightControlItem");
    ASSERT_NE(light, nullptr);
    EXPECT_GT(light->GetPos().Height(), 100) << "the lighting panel has no room left under the picture";
    EXPECT_LE(light->GetPos().bottom, pages.bottom);
}

TEST_F(MainSkinTest, TilesAddedAtRunTimeFitTheStripAndSelectOneAtATime) {
    ASSERT_TRUE(built);
    std::vector<CControlUI*> tiles;
    for (int i = 0; i < 4; ++i) {
        tiles.push_back(Add("device_select_layout", "XML/CustomControlXML/DeviceOption.xml"));
        ASSERT_NE(tiles.back(), nullptr);
    }
    const Rect strip = window.FindControl("device_select_layout")->GetPos();
    std::vector<COptionUI*> selectors;
    for (CControlUI* tile : tiles) {
        auto* select = Child<COptionUI>(*tile, "device_select");
        auto* sync = Child<COptionUI>(*tile, "synchro_device_select");
        auto* name = Child<CControlUI>(*tile, "device_select_name");
        ASSERT_TRUE(select != nullptr && sync != nullptr && name != nullptr);
        EXPECT_EQ(select->GetGroup(), "tab_header_device");
        EXPECT_FALSE(sync->IsVisible());
        EXPECT_EQ(name->GetTextId(), "unknow_device_name_text");
        EXPECT_EQ(name->GetText(), "Unknown device");
        EXPECT_GE(tile->GetPos().left, strip.left);
        EXPECT_LE(tile->GetPos().right, strip.right) << "four tiles do not fit the strip";
        EXPECT_GT(name->GetPos().Width(), 80);
        selectors.push_back(select);
    }
    selectors[1]->Selected(true);
    selectors[3]->Selected(true);
    for (std::size_t i = 0; i < selectors.size(); ++i) {
        EXPECT_EQ(selectors[i]->IsSelected(), i == 3) << i;
    }
}

TEST_F(MainSkinTest, PowerPanelHoldsItsPartsAndFitsItsTabWithThePhoneShown) {
    ASSERT_TRUE(built);
    CControlUI* panel = Add("device_power_switch", "XML/CustomControlXML/MpDevicePower.xml");
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(Child<pages::CCircleProgressUI>(*panel, "device_Power_progress"), nullptr);
    EXPECT_NE(Child<CContainerUI>(*panel, "device_power_Layout"), nullptr);
    for (const char* name :
         {"device_power_value", "device_wuxian_logo", "device_power_status", "device_phone_type"}) {
        EXPECT_NE(Child<CControlUI>(*panel, name), nullptr) << name;
    }
    // The most a panel shows: the receiver mark and a mousepad's phone.
    Child<CControlUI>(*panel, "device_wuxian_logo")->SetVisible(true);
    Child<CControlUI>(*panel, "device_phone_type")->SetVisible(true);
    window.PaintManager().UpdateLayout();
    const Rect tab = window.FindControl("device_power_switch")->GetPos();
    panel->ForEach([&](CControlUI& c) {
        if (c.IsVisible() && &c != panel) {
            EXPECT_LE(c.GetPos().right, tab.right) << c.GetName();
            EXPECT_GT(c.GetPos().Width(), 0) << c.GetName();
        }
    });
}

// The device pages as the main window adds them: what their device objects and the window look
// up, with its class, and a picture the drag selection and the LED frame work on.
struct DevicePageCase {
    const char* layout;
    const char* picture;  // the selection panel of the picture
    int keys;             // "key_" spots
    int lights;           // "light_" spots
    std::vector<std::pair<std::string, std::string_view>> controls;
};

// The headset's audio and voice-changer controls, with their classes.
std::vector<std::pair<std::string, std::string_view>> HeadsetPanelControls() {
    std::vector<std::pair<std::string, std::string_view>> controls = {
        {"custom_eq_option_layout", "HorizontalLayout"},
        {"custom_eq_name_combo", "Combo"},
        {"custom_eq_name_edit", "Edit"},
        {"hs_EQ_btn_save", "Button"},
        {"hs_EQ_btn_delete", "Button"},
        {"6533_MicIn_option", "CheckBox"},
        {"6533_MicIn_slider", "Slider"},
        {"6533_MicMoniter_option", "CheckBox"},
        {"6533_MicMoniter_slider", "Slider"},
        {"6533_eq_hint_label", "Label"},
        {"6533_mic_hint_label", "Label"},
        {"magic_enable_option", "CheckBox"},
        {"magic_option_layout", "HorizontalLayout"},
        {"magic_hint_label", "Label"},
        {"MagicControlItem", "MagicControl"},
        {"virtual_set_layout", "VerticalLayout"}};
    for (int n = 1; n <= 13; ++n) {
        controls.emplace_back("6533_eq_option_" + std::to_string(n), "Option");
    }
    for (int n = 0; n < 10; ++n) {
        controls.emplace_back("6533_eq_hz_slider_" + std::to_string(n), "Slider");
    }
    for (int n = 1; n <= 4; ++n) {
        controls.emplace_back("magic_option_" + std::to_string(n), "Option");
    }
    return controls;
}

std::vector<DevicePageCase> DevicePageCases() {
    DevicePageCase mouse{"XML/DeviceXml/mousedevice.xml", "mouse_device_key_light", 11, 15, {}};
    for (int n = 0; n < 5; ++n) {
        const std::string i = std::to_string(n);
        mouse.controls.insert(mouse.controls.end(), {{"DPI_slider_" + i, "Slider"},
                                                     {"DPI_edit_" + i, "Edit"},
                                                     {"DPI_enable_check_" + i, "CheckBox"},
                                                     {"DPI_select_check_" + i, "Option"},
                                                     {"DPI_layout_" + i, "HorizontalLayout"},
                                                     {"DPI_color_option_" + i, "Button"},
                                                     {"polling_rate_option_" + i, "Option"}});
    }
    for (int n = 0; n < 15; ++n) {
        mouse.controls.emplace_back("light_0_" + std::to_string(n), "DeviceKeyButton");
    }
    mouse.controls.insert(mouse.controls.end(), {{"pointer_speed_slider", "Slider"},
                                                 {"scroll_speed_slider", "Slider"},
                                                 {"double_click_slider", "Slider"},
                                                 {"pointer_precision_check", "CheckBox"},
                                                 {"scrolls_page_check", "CheckBox"},
                                                 {"mouse_device_seting_option_0", "Option"},
                                                 {"mouse_device_seting_option_1", "Option"},
                                                 {"mouse_device_seting_layout", "TabLayout"},
                                                 {"mouse_option_layout", "HorizontalLayout"},
                                                 {"device_tishi_info", "Label"},
                                                 {"device_setkeyinfo_list", "List"},
                                                 {"logo", "DeviceKeyButton"},
                                                 {"MacroControlItem", "MacroControl"},
                                                 {"KeySetControlItem", "KeySetControl"},
                                                 {"ShootControlItem", "ShootControl"}});
    DevicePageCase pad{"XML/DeviceXml/mousepaddevice.xml", "mousepad_device_key_light", 0, 15, {}};
    DevicePageCase headset{"XML/DeviceXml/de6533device.xml", "de6533_device_key_light", 0, 13,
                           HeadsetPanelControls()};
    for (DevicePageCase* page : {&mouse, &pad, &headset}) {
        // Panels not built yet are stand-in boxes here (labels).
        page->controls.insert(page->controls.end(), {{page->picture, "SelectPanel"},
                                                     {"device_function_switch", "TabLayout"},
                                                     {"device_key_function_switch", "TabLayout"},
                                                     {"DeviceProfileItem", "Label"},
                                                     {"LightControlItem", "LightControl"}});
    }
    return {mouse, pad, headset};
}

TEST_F(MainSkinTest, DevicePagesHoldWhatTheirDevicesLookUpWithItsClass) {
    ASSERT_TRUE(built);
    for (const DevicePageCase& page : DevicePageCases()) {
        SCOPED_TRACE(page.layout);
        CControlUI* root = Add("device_switch", page.layout);
        ASSERT_NE(root, nullptr);
        for (const auto& [name, cls] : page.controls) {
            auto* c = Child<CControlUI>(*root, name);
            ASSERT_NE(c, nullptr) << name;
            EXPECT_EQ(c->GetClass(), cls) << name;
        }
        // The device base selects function pages up to 3 and key-function pages up to 2.
        EXPECT_GE(Child<CTabLayoutUI>(*root, "device_function_switch")->GetCount(), 4);
        EXPECT_GE(Child<CTabLayoutUI>(*root, "device_key_function_switch")->GetCount(), 3);
        // Drag selection and BuildPage look only at direct children of the picture panel.
        auto* picture = Child<CContainerUI>(*root, page.picture);
        std::set<std::string> spots;
        for (int i = 0; i < picture->GetCount(); ++i) {
            CControlUI* c = picture->GetItemAt(i);
            if (c->GetClass() == "DeviceKeyButton") {
                EXPECT_TRUE(spots.insert(c->GetName()).second) << "repeated " << c->GetName();
            }
        }
        std::set<std::string> expected;
        for (int n = 0; n < page.keys; ++n) {
            expected.insert("key_" + std::to_string(n));
        }
        for (int n = 0; n < page.lights; ++n) {
            expected.insert("light_" + std::to_string(n));
        }
        if (page.keys > 0) {
            expected.insert("logo");
        }
        EXPECT_EQ(spots, expected);
        Ctl<CContainerUI>(window, "device_switch").Remove(root);
    }
}

TEST_F(MainSkinTest, MouseStageSwitchedOffKeepsItsEnableBoxAndOptionsFormGroups) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/mousedevice.xml");
    ASSERT_NE(root, nullptr);
    for (int n = 0; n < 5; ++n) {
        const std::string i = std::to_string(n);
        Child<CControlUI>(*root, "DPI_enable_check_" + i)->SetEnabled(true);
        Child<CControlUI>(*root, "DPI_layout_" + i)->SetEnabled(false);
        // The page disables a stage's row while it is off; its box must still switch it back on.
        EXPECT_TRUE(Child<CControlUI>(*root, "DPI_enable_check_" + i)->IsEnabled()) << i;
        for (const char* part : {"DPI_slider_", "DPI_edit_", "DPI_select_check_", "DPI_color_option_"}) {
            EXPECT_FALSE(Child<CControlUI>(*root, part + i)->IsEnabled()) << part << i;
        }
        Child<CControlUI>(*root, "DPI_layout_" + i)->SetEnabled(true);
    }
    // Numbered options are radio groups: selecting one clears the others of its prefix.
    const std::vector<std::pair<std::string, int>> groups = {
        {"DPI_select_check_", 5}, {"polling_rate_option_", 5}, {"mouse_device_seting_option_", 2}};
    for (const auto& [prefix, count] : groups) {
        for (int chosen = 0; chosen < count; ++chosen) {
            Child<COptionUI>(*root, prefix + std::to_string(chosen))->Selected(true, false);
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(Child<COptionUI>(*root, prefix + std::to_string(i))->IsSelected(), i == chosen)
                    << prefix << i << " after " << chosen;
            }
        }
    }
    // The settings tab options are found among the direct children of their row.
    auto* row = Child<CContainerUI>(*root, "mouse_option_layout");
    for (int i = 0; i < 2; ++i) {
        auto* option = Child<CControlUI>(*root, "mouse_device_seting_option_" + std::to_string(i));
        EXPECT_EQ(option->GetParent(), row) << i;
    }
    EXPECT_EQ(Child<CTabLayoutUI>(*root, "mouse_device_seting_layout")->GetCount(), 2);
}

Point CenterOf(CControlUI& c) {
    return c.GetPos().Center();
}

bool Covers(const Rect& outer, const Rect& inner) {
    const Rect common = inner.Intersection(outer);
    return common.Width() == inner.Width() && common.Height() == inner.Height();
}

TEST_F(MainSkinTest, MouseLightsFormRowsAcrossTheBodyAndButtonsTakeTheirClicks) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/mousedevice.xml");
    ASSERT_NE(root, nullptr);
    window.FindControl("No_device_Link")->SetVisible(false);
    window.PaintManager().UpdateLayout();
    auto light = [&](int n) { return CenterOf(*Child<CControlUI>(*root, "light_" + std::to_string(n))); };
    // Row r holds LEDs r (left) and 13 - r (right) for r < 6, front to rear; row 6 is 6, 14, 7.
    int previous = -1;
    for (int r = 0; r < 6; ++r) {
        Point left = light(r);
        Point right = light(13 - r);
        EXPECT_LE(std::abs(left.y - right.y), 2) << "row " << r;
        EXPECT_LT(left.x + 40, right.x) << "row " << r << " does not cross the body";
        EXPECT_GT(left.y, previous) << "row " << r;
        previous = left.y;
    }
    EXPECT_LT(light(6).x, light(14).x);
    EXPECT_LT(light(14).x, light(7).x);
    EXPECT_LE(std::abs(light(6).y - light(7).y), 2);
    EXPECT_GT(std::min({light(6).y, light(14).y, light(7).y}), previous);
    // The main buttons lie ahead of every LED row, the left one on the left.
    Point left = CenterOf(*Child<CControlUI>(*root, "key_0"));
    Point right = CenterOf(*Child<CControlUI>(*root, "key_1"));
    EXPECT_LT(left.x, right.x);
    EXPECT_LT(std::max(left.y, right.y), light(0).y);
    // A click on a spot reaches the spot, not a neighbour or the panel.
    for (int n = 0; n < 11; ++n) {
        auto* key = Child<CControlUI>(*root, "key_" + std::to_string(n));
        EXPECT_EQ(window.PaintManager().FindControlAt(key->GetPos().Center()), key) << key->GetName();
    }
    // A press on an LED spot lands on the picture, where a drag selection starts.
    CControlUI* picture = Child<CControlUI>(*root, "mouse_device_key_light");
    for (int n = 0; n < 15; ++n) {
        EXPECT_EQ(window.PaintManager().FindControlAt(light(n)), picture) << "light_" << n;
    }
    // The preview strip runs left to right in LED order.
    for (int n = 1; n < 15; ++n) {
        Point a = CenterOf(*Child<CControlUI>(*root, "light_0_" + std::to_string(n - 1)));
        Point b = CenterOf(*Child<CControlUI>(*root, "light_0_" + std::to_string(n)));
        EXPECT_LT(a.x, b.x) << n;
        EXPECT_EQ(a.y, b.y) << n;
    }
}

TEST_F(MainSkinTest, MousepadLightsFaceEachOtherAcrossTheMat) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/mousepaddevice.xml");
    ASSERT_NE(root, nullptr);
    window.FindControl("No_device_Link")->SetVisible(false);
    window.PaintManager().UpdateLayout();
    auto light = [&](int n) { return CenterOf(*Child<CControlUI>(*root, "light_" + std::to_string(n))); };
    // LED 0 alone at one end, then pairs (1, 14), (2, 13) ... (7, 8) moving away from it.
    int previous = light(0).x;
    for (int k = 1; k <= 7; ++k) {
        Point a = light(k);
        Point b = light(15 - k);
        EXPECT_LE(std::abs(a.x - b.x), 2) << "pair " << k;
        EXPECT_GT(std::abs(a.y - b.y), 100) << "pair " << k << " does not face across the mat";
        EXPECT_GT(a.x, previous) << "pair " << k;
        previous = a.x;
    }
    EXPECT_GT(light(0).y, light(1).y);
    EXPECT_LT(light(0).y, light(14).y);
    CControlUI* picture = Child<CControlUI>(*root, "mousepad_device_key_light");
    for (int n = 0; n < 15; ++n) {
        EXPECT_EQ(window.PaintManager().FindControlAt(light(n)), picture) << "light_" << n;
    }
}

TEST_F(MainSkinTest, HeadsetLightsRingTheEarCupClockwiseAroundTheLogo) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/de6533device.xml");
    ASSERT_NE(root, nullptr);
    window.FindControl("No_device_Link")->SetVisible(false);
    window.PaintManager().UpdateLayout();
    auto light = [&](int n) { return CenterOf(*Child<CControlUI>(*root, "light_" + std::to_string(n))); };
    const Point logo = light(12);
    // Twelve LEDs at one distance from the logo, a twelfth of a turn apart, clockwise from the top.
    constexpr double kStep = 2 * 3.14159265358979 / 12;
    double radius = 0;
    for (int n = 0; n < 12; ++n) {
        const double dx = light(n).x - logo.x;
        const double dy = light(n).y - logo.y;
        const double r = std::hypot(dx, dy);
        radius = n == 0 ? r : radius;
        EXPECT_NEAR(r, radius, 2.0) << "light_" << n;
        double angle = std::atan2(dx, -dy);  // 0 at the top, growing clockwise on screen
        angle += angle < -0.01 ? 2 * 3.14159265358979 : 0;
        EXPECT_NEAR(angle, n * kStep, 0.05) << "light_" << n;
    }
    EXPECT_GT(radius, 40) << "the ring is too small to tell the LEDs apart";
    auto* picture = Child<CControlUI>(*root, "de6533_device_key_light");
    for (int n = 0; n < 13; ++n) {
        EXPECT_EQ(window.PaintManager().FindControlAt(light(n)), picture) << "light_" << n;
    }
}

bool Inside(CControlUI* c, std::string_view ancestor) {
    for (c = c != nullptr ? c->GetParent() : nullptr; c != nullptr; c = c->GetParent()) {
        if (c->GetName() == ancestor) {
            return true;
        }
    }
    return false;
}

// The headset's panels hold their own controls (the panel classes look them up inside
// themselves), a disabled part disables what it holds, and each function tab type the device
// base selects for the headset shows the panel of that type.
TEST_F(MainSkinTest, HeadsetPanelsHoldTheirControlsAndEachTabShowsItsPanel) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/de6533device.xml");
    ASSERT_NE(root, nullptr);
    window.FindControl("No_device_Link")->SetVisible(false);
    for (const auto& [name, cls] : HeadsetPanelControls()) {
        auto* c = Child<CControlUI>(*root, name);
        ASSERT_NE(c, nullptr) << name;
        const bool magic = name.starts_with("magic_");
        const bool voice =
            name.starts_with("6533_") || name.starts_with("custom_eq") || name.starts_with("hs_EQ");
        EXPECT_EQ(Inside(c, "MagicControlItem"), magic) << name;
        EXPECT_EQ(Inside(c, "Voice6533ControlItem"), voice) << name;
    }
    // Parts the page enables and disables as a whole.
    const std::vector<std::pair<std::string, std::vector<std::string>>> parts = {
        {"custom_eq_option_layout",
         {"custom_eq_name_combo", "custom_eq_name_edit", "hs_EQ_btn_save", "hs_EQ_btn_delete"}},
        {"magic_option_layout", {"magic_option_1", "magic_option_2", "magic_option_3", "magic_option_4"}}};
    for (const auto& [part, held] : parts) {
        for (bool enabled : {true, false}) {
            Child<CControlUI>(*root, part)->SetEnabled(enabled);
            for (const std::string& name : held) {
                EXPECT_EQ(Child<CControlUI>(*root, name)->IsEnabled(), enabled) << part << " " << name;
            }
        }
    }
    EXPECT_TRUE(Child<CControlUI>(*root, "magic_enable_option")->IsEnabled())
        << "the voice changer could not be switched back on";
    // Hints for what the machine lacks stay hidden until the panel shows them.
    for (const char* hint : {"6533_eq_hint_label", "6533_mic_hint_label", "magic_hint_label"}) {
        EXPECT_FALSE(Child<CControlUI>(*root, hint)->IsVisible()) << hint;
    }
    // Options of one kind form one group: choosing one clears the rest.
    for (const auto& [prefix, count] :
         std::vector<std::pair<std::string, int>>{{"6533_eq_option_", 13}, {"magic_option_", 4}}) {
        for (int chosen = 1; chosen <= count; ++chosen) {
            Child<COptionUI>(*root, prefix + std::to_string(chosen))->Selected(true, false);
            for (int i = 1; i <= count; ++i) {
                EXPECT_EQ(Child<COptionUI>(*root, prefix + std::to_string(i))->IsSelected(), i == chosen)
                    << prefix << i << " after " << chosen;
            }
        }
    }
    const Rect area = window.FindControl("device_switch")->GetPos();
    struct TabCase {
        int type;
        const char* shown;
    };
    for (const TabCase& t : {TabCase{1, "LightControlItem"}, TabCase{6, "Voice6533ControlItem"},
                             TabCase{7, "MagicControlItem"}, TabCase{8, "virtual_set_layout"}}) {
        const devices::FunctionTabPages pages =
            devices::FunctionTabPagesFor(t.type, device::DeviceKind::Headset);
        if (pages.function) {
            ASSERT_TRUE(Child<CTabLayoutUI>(*root, "device_function_switch")->SelectItem(*pages.function))
                << t.type;
        }
        if (pages.keyFunction) {
            ASSERT_TRUE(
                Child<CTabLayoutUI>(*root, "device_key_function_switch")->SelectItem(*pages.keyFunction))
                << t.type;
        }
        window.PaintManager().UpdateLayout();
        for (const char* panel :
             {"LightControlItem", "Voice6533ControlItem", "MagicControlItem", "virtual_set_layout"}) {
            auto* c = Child<CControlUI>(*root, panel);
            EXPECT_EQ(c->IsVisible(), std::string_view(panel) == t.shown)
                << "type " << t.type << ": " << panel;
        }
        auto* shown = Child<CControlUI>(*root, t.shown);
        EXPECT_TRUE(Covers(area, shown->GetPos())) << "type " << t.type;
        EXPECT_GT(shown->GetPos().Height(), 80) << "type " << t.type;
    }
}

TEST_F(MainSkinTest, HeadsetSlidersCoverTheirValuesInBandOrder) {
    ASSERT_TRUE(built);
    CControlUI* root = Add("device_switch", "XML/DeviceXml/de6533device.xml");
    ASSERT_NE(root, nullptr);
    window.FindControl("No_device_Link")->SetVisible(false);
    ASSERT_TRUE(Child<CTabLayoutUI>(*root, "device_key_function_switch")->SelectItem(1));
    window.PaintManager().UpdateLayout();
    // Band gains in library units: every preset value (-13 .. 18) is within reach, 0 in the middle.
    int previous = -1;
    for (int n = 0; n < 10; ++n) {
        auto* band = Child<CSliderUI>(*root, "6533_eq_hz_slider_" + std::to_string(n));
        ASSERT_NE(band, nullptr) << n;
        EXPECT_FALSE(band->IsHorizontal()) << n;
        EXPECT_LE(band->GetMinValue(), -13) << n;
        EXPECT_GE(band->GetMaxValue(), 18) << n;
        EXPECT_EQ(band->GetMinValue(), -band->GetMaxValue()) << n;
        EXPECT_GT(band->GetPos().Height(), 3 * band->GetPos().Width()) << n;
        EXPECT_GT(band->GetPos().left, previous) << "band " << n << " out of order";
        previous = band->GetPos().right;
    }
    for (const char* level : {"6533_MicIn_slider", "6533_MicMoniter_slider"}) {
        auto* slider = Child<CSliderUI>(*root, level);
        ASSERT_NE(slider, nullptr) << level;
        EXPECT_TRUE(slider->IsHorizontal()) << level;
        EXPECT_EQ(slider->GetMinValue(), 0) << level;
        EXPECT_EQ(slider->GetMaxValue(), 100) << level;
        EXPECT_GT(slider->GetPos().Width(), 150) << level;
    }
}

// Every shown control of a page lies inside its parent (nothing spills out of a card or the page
// area) and inside the page area under the device strip, for each page the device can show.
TEST_F(MainSkinTest, DevicePagesFitThePageAreaOnEveryTab) {
    ASSERT_TRUE(built);
    struct Shown {
        const char* layout;
        std::vector<std::pair<const char*, int>> select;
        std::vector<const char*> show = {};  // hidden until the page shows them
    };
    const std::vector<const char*> hints = {"6533_eq_hint_label", "6533_mic_hint_label", "magic_hint_label"};
    std::vector<Shown> cases = {
        {"XML/DeviceXml/keyboarddevice.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 0}, {"light_color_tablayout", 0}}},
        {"XML/DeviceXml/keyboarddevice.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 0}, {"light_color_tablayout", 1}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 0}, {"device_key_function_switch", 0}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 0}, {"device_key_function_switch", 1}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 1}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 2}, {"mouse_device_seting_layout", 0}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 2}, {"mouse_device_seting_layout", 1}}},
        {"XML/DeviceXml/mousedevice.xml", {{"device_function_switch", 3}}},
        {"XML/DeviceXml/mousepaddevice.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 0}}},
        {"XML/DeviceXml/de6533device.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 0}}},
        {"XML/DeviceXml/de6533device.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 1}},
         hints},
        {"XML/DeviceXml/de6533device.xml",
         {{"device_function_switch", 0}, {"device_key_function_switch", 2}},
         hints},
        {"XML/DeviceXml/de6533device.xml", {{"device_function_switch", 1}}},
    };
    // The key panel with a key selected, on each page that has one, showing each function's
    // parameters (the macro's repeat count too).
    for (const char* page : {"XML/DeviceXml/keyboarddevice.xml", "XML/DeviceXml/mousedevice.xml"}) {
        for (int family = 0; family < 12; ++family) {
            cases.push_back({page,
                             {{"device_function_switch", 0},
                              {"device_key_function_switch", 1},
                              {"function_switch_tablayout", family}},
                             {"keyset_layout", "keyset_macro_cycle_layout"}});
        }
    }
    window.FindControl("No_device_Link")->SetVisible(false);
    for (const Shown& shown : cases) {
        CControlUI* root = Add("device_switch", shown.layout);
        ASSERT_NE(root, nullptr);
        std::string trace = shown.layout;
        for (const auto& [tabs, index] : shown.select) {
            ASSERT_TRUE(Child<CTabLayoutUI>(*root, tabs)->SelectItem(index)) << tabs;
            trace += std::string(" ") + tabs + "=" + std::to_string(index);
        }
        for (const char* name : shown.show) {
            Child<CControlUI>(*root, name)->SetVisible(true);
        }
        SCOPED_TRACE(trace);
        window.PaintManager().UpdateLayout();
        const Rect area = window.FindControl("device_switch")->GetPos();
        int checked = 0;
        root->ForEach([&](CControlUI& c) {
            if (!c.IsVisible() || c.GetPos().IsEmpty() || &c == root) {
                return;
            }
            ++checked;
            EXPECT_TRUE(Covers(area, c.GetPos()))
                << c.GetName() << " (" << c.GetClass() << ") leaves the page area";
            EXPECT_TRUE(Covers(c.GetParent()->GetPos(), c.GetPos()))
                << c.GetName() << " (" << c.GetClass() << ") spills out of " << c.GetParent()->GetName();
        });
        EXPECT_GT(checked, 3);
        Ctl<CContainerUI>(window, "device_switch").Remove(root);
    }
}

TEST_F(MainSkinTest, MenusNameEveryItemTheWindowHandlesInBothLanguages) {
    struct Case {
        const char* file;
        std::set<std::string> items;
    };
    const std::vector<Case> cases = {
        {"menu.xml", {"exit", "about_menu", "setwnd_menu"}},
        {"XML/Menus/macro_action_menu.xml",
         {"redio_previous_record_time",
          "redio_previous_constant_time",
          "redio_previous_ignore_time",
          "redio_later_record_time",
          "redio_later_constant_time",
          "redio_later_ignore_time",
          "macro_action_edit",
          "left_down",
          "left_up",
          "middle_down",
          "middle_up",
          "right_down",
          "right_up",
          "forward_down",
          "forward_up",
          "back_down",
          "back_up",
          "left_click",
          "middle_click",
          "right_click",
          "forward_click",
          "back_click"}},
    };
    for (const char* lang : kLanguages) {
        ASSERT_TRUE(platform.Resources().LoadLanguage(kSkin / lang)) << lang;
        for (const Case& c : cases) {
            std::set<std::string> chosen;  // what the menu can return: its leaves
            std::function<void(const std::vector<MenuItem>&)> walk = [&](const std::vector<MenuItem>& items) {
                for (const MenuItem& item : items) {
                    if (item.separator) {
                        continue;
                    }
                    EXPECT_FALSE(item.text.empty()) << lang << " " << item.name;
                    item.children.empty() ? static_cast<void>(chosen.insert(item.name)) : walk(item.children);
                }
            };
            walk(LoadMenu(c.file, platform.Resources()));
            EXPECT_EQ(chosen, c.items) << lang << " " << c.file;
        }
    }
}

TEST_F(MainSkinTest, EveryTextIdAndPictureTheLayoutsNameExists) {
    const std::vector<std::string> files = {"main.xml",
                                            "XML/CustomControlXML/DeviceOption.xml",
                                            "XML/CustomControlXML/MpDevicePower.xml",
                                            "menu.xml",
                                            "XML/Menus/macro_action_menu.xml",
                                            "XML/DeviceXml/mousedevice.xml",
                                            "XML/DeviceXml/mouse_key_light.xml",
                                            "XML/DeviceXml/mousepaddevice.xml",
                                            "XML/DeviceXml/mousepad_key_light.xml",
                                            "XML/DeviceXml/de6533device.xml",
                                            "XML/DeviceXml/headset_key_light.xml",
                                            "XML/CustomControlXML/Voice6533Control.xml",
                                            "XML/CustomControlXML/MagicControl.xml",
                                            "XML/CustomControlXML/VirtualSet.xml"};
    std::set<std::string> ids;
    std::set<std::string> pictures;
    const std::regex idAttr(R"re((?:textid|tooltipid|hintid)="([^"]+)")re");
    const std::regex picture(R"re(['"]([A-Za-z0-9_/]+\.png))re");  // attribute values, not comments
    for (const std::string& file : files) {
        std::string xml = ReadText(kSkin / file);
        ASSERT_FALSE(xml.empty()) << file;
        for (std::sregex_iterator m(xml.begin(), xml.end(), idAttr), end; m != end; ++m) {
            ids.insert((*m)[1]);
        }
        for (std::sregex_iterator m(xml.begin(), xml.end(), picture), end; m != end; ++m) {
            pictures.insert((*m)[1]);
        }
    }
    // Texts and pictures the program sets on the tiles and power panels.
    for (const char* stem : {"kb_device", "ms_device", "hard_mp_device", "soft_mp_device", "hd_device",
                             "hub_device", "unknow_device"}) {
        ids.insert(std::string(stem) + "_name_text");
        for (const char* suffix : {"_normal", "_selected", "_synchro_normal", "_synchro_selected"}) {
            pictures.insert(std::string("common/device_ico/") + stem + suffix + ".png");
        }
    }
    for (const char* phone : {"iphone", "samsung", "other", "no_device"}) {
        ids.insert(std::string("Phone_type_") + phone);
        pictures.insert(std::string("power/Phone_type_") + phone + ".png");
    }
    for (const char* state : {"powered", "powering", "power"}) {
        pictures.insert(std::string("power/") + state + ".png");
    }
    // The mouse page's stage display sets these on the DPI sliders.
    for (const char* slider : {"SliderBar_BK1", "SliderBar1_Thumb", "SliderBar2_Thumb"}) {
        pictures.insert(std::string("Control/") + slider + ".png");
    }
    for (const char* id :
         {"keyboard", "mouse", "MousePad", "HD", "control_light_on_text", "control_light_off_text",
          "tips_text", "message_text_5", "message_text_22", "message_text_26"}) {
        ids.insert(id);
    }
    for (const std::string& p : pictures) {
        EXPECT_TRUE(std::filesystem::is_regular_file(kSkin / p)) << p;
    }
    for (const char* lang : kLanguages) {
        ASSERT_TRUE(platform.Resources().LoadLanguage(kSkin / lang)) << lang;
        for (const std::string& id : ids) {
            EXPECT_TRUE(platform.Resources().HasText(id)) << lang << " lacks " << id;
        }
    }
}

TEST_F(MainSkinTest, BothLanguagesDefineTheSameTextsWithTheSamePlaceholders) {
    std::map<std::string, std::string> texts[2];
    const std::regex entry(R"re(<Text id="([^"]*)" value="([^"]*)"/>)re");
    const std::regex placeholder(R"re(%[0-9]*[dsxu%])re");
    for (std::size_t l = 0; l < kLanguages.size(); ++l) {
        std::string xml = ReadText(kSkin / kLanguages[l]);
        for (std::sregex_iterator m(xml.begin(), xml.end(), entry), end; m != end; ++m) {
            EXPECT_TRUE(texts[l].emplace((*m)[1], (*m)[2]).second) << kLanguages[l] << " repeats " << (*m)[1];
        }
        ASSERT_GT(texts[l].size(), 300U) << kLanguages[l];
    }
    for (const auto& [id, english] : texts[0]) {
        auto chinese = texts[1].find(id);
        if (chinese == texts[1].end()) {
            ADD_FAILURE() << "lan_cn.xml lacks " << id;
            continue;
        }
        EXPECT_FALSE(english.empty()) << id;
        EXPECT_FALSE(chinese->second.empty()) << id;
        auto marks = [&](const std::string& s) {
            std::vector<std::string> out;
            for (std::sregex_iterator m(s.begin(), s.end(), placeholder), end; m != end; ++m) {
                out.push_back(m->str());
            }
            return out;
        };
        EXPECT_EQ(marks(english), marks(chinese->second)) << id;
    }
    for (const auto& [id, text] : texts[1]) {
        EXPECT_TRUE(texts[0].contains(id)) << "lan_en.xml lacks " << id;
    }
    // The one text the program formats with a number.
    EXPECT_NE(texts[0]["message_text_16"].find("%d"), std::string::npos);
}

}  // namespace
}  // namespace norvane::ui::test
