// The lighting panel's actions through the main window on the simulator: the new record
// reaches the current device object and its saved profile; the selection on the mouse picture.
#include "config/keyboard_profiledata.h"
#include "config/profile_data.h"
#include "devices/usb_device.h"
#include "pages/device_key_button.h"
#include "pages/light/light_control.h"
#include "shell/device_list/device_option.h"
#include "tests/shell/main_wnd_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/paint_manager.h"

namespace norvane::test {
namespace {

class LightActionsTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void MakeCurrent(devices::CTarnexUSBDevice* page) {
        for (shell::CDeviceOptionUI* tile : List().Tiles()) {
            if (tile->Device() == page) {
                tile->Select(true);
            }
        }
    }
    static config::LightInfo SavedLight(devices::CTarnexUSBDevice& page) {
        config::CBasicProfiledata profile;
        profile.SetProfilePath(page.CurrentProfileFile());
        profile.LoadDeviceDocument(page.CurrentProfileFile());
        return profile.GetLightInfo();
    }
};

TEST_F(LightActionsTest, EachDeviceKindTakesTheEditedColourAndModeIntoItsProfile) {
    for (std::string_view product : {"keyboard", "mouse", "mousepad", "headset"}) {
        Plug(product);
    }
    Scan();
    std::vector<devices::CTarnexUSBDevice*> pages{List().Keyboards().at(0), List().Mice().at(0),
                                                  List().MousePads().at(0), List().Headsets().at(0)};
    for (devices::CTarnexUSBDevice* page : pages) {
        SCOPED_TRACE(page->TypeName());
        MakeCurrent(page);
        ASSERT_EQ(Window().CurrentDevice(), page);
        ASSERT_NE(page->LightPanel(), nullptr);
        page->SyncFromDevice();  // the first full read, as the connect worker does
        page->CommandChannel().SetSync(true);

        InPage<ui::CEditUI>("deng_edit_G").SetText("300");
        Notify("deng_edit_G", "killfocus");
        EXPECT_EQ(page->LightState().green, 255);
        EXPECT_EQ(page->LightState().multiColor, 0);
        EXPECT_EQ(InPage<ui::CEditUI>("deng_edit_G").GetText(), "255");
        EXPECT_EQ(SavedLight(*page).green, 255);
        EXPECT_FALSE(page->CommandChannel().IsSync());

        auto& modes = InPage<ui::CComboUI>("light_combo_modeSelect");
        ASSERT_GT(modes.GetCount(), 2);
        modes.SelectItem(2, false);
        Notify("light_combo_modeSelect", "itemselect");
        EXPECT_EQ(page->LightState().selectedMode, 2);
        EXPECT_EQ(SavedLight(*page).selectedMode, 2);
        EXPECT_EQ(SavedLight(*page).green, 255);

        // A preset leaves the light-sync flag as it is.
        page->CommandChannel().SetSync(true);
        Notify("color_option_0", "click");
        EXPECT_EQ(page->LightState().red, 255);
        EXPECT_EQ(page->LightState().green, 0);
        EXPECT_TRUE(page->CommandChannel().IsSync());
        page->CommandChannel().SetSync(false);
    }
}

TEST_F(LightActionsTest, KeyboardMusicLightGoesToTheKeyboardAndItsProfile) {
    Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* page = Window().CurrentDevice();
    ASSERT_NE(page, nullptr);
    page->SyncFromDevice();
    page->LightPanel()->ShowAudioLightState(config::AudioLightInfo{1, 9, 9, 9, 1, 2, 3, 1, 0});
    Notify("Close_bkColor_btn", "click");
    EXPECT_EQ(page->AudioLightState().backgroundRed, 0);
    EXPECT_EQ(page->AudioLightState().foregroundBlue, 3);
    config::CBasicProfiledata profile;
    profile.SetProfilePath(page->CurrentProfileFile());
    profile.LoadDeviceDocument(page->CurrentProfileFile());
    config::AudioLightInfo expected = page->AudioLightState();
    expected.colorType = 1;  // a saved record always reads as foreground
    EXPECT_EQ(profile.GetAudioLight(), expected);
}

TEST_F(LightActionsTest, KeyboardCustomColourButtonsLightOrDarkenTheSelectedKeys) {
    Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* page = Window().CurrentDevice();
    ASSERT_NE(page, nullptr);
    page->SyncFromDevice();
    config::LightInfo custom = page->LightState();
    custom.selectedMode = 19;
    custom.red = 10;
    custom.green = 20;
    custom.blue = 30;
    page->WriteLightInfo(custom, {});
    ASSERT_GT(page->KeyButtons().size(), 6U);
    ASSERT_NE(page->KeyButtons()[5], nullptr);
    page->KeyButtons()[5]->SetSelect(1);

    // Key 5's colour as saved in the current custom group.
    auto saved = [page, group = custom.customGroup] {
        config::CKeyboardProfiledata profile;
        profile.SetProfilePath(page->CurrentProfileFile());
        profile.LoadDeviceDocument(page->CurrentProfileFile());
        const std::vector<config::KeyColor> colors = profile.GetCustomColors(group, page->LedCount());
        return colors.size() > 5 ? colors[5] : config::KeyColor{};
    };
    Notify("custom_bright_color_btn", "click");
    EXPECT_EQ(page->GetLedColor(5).red, 10);
    EXPECT_EQ(saved().red, 10);
    EXPECT_EQ(saved().green, 20);
    EXPECT_EQ(saved().blue, 30);
    Notify("custom_off_color_btn", "click");
    EXPECT_EQ(page->GetLedColor(5).red, 0);
    EXPECT_EQ(saved().red + saved().green + saved().blue, 0);
    EXPECT_EQ(page->LightState(), custom);  // the record is not changed

    // Outside the custom mode the buttons store nothing.
    custom.selectedMode = 1;
    page->WriteLightInfo(custom, {});
    Notify("custom_bright_color_btn", "click");
    EXPECT_EQ(saved().red, 0);
    page->KeyButtons()[5]->SetSelect(0);
}

TEST_F(LightActionsTest, OnlyADragOverEveryMouseLedReloadsTheProfile) {
    Plug("mouse");
    Scan();
    devices::CTarnexUSBDevice* page = Window().CurrentDevice();
    ASSERT_NE(page, nullptr);
    const config::LightInfo saved = SavedLight(*page);
    // A record in memory only: a reload brings the saved one back.
    config::LightInfo unsaved = saved;
    unsaved.red = static_cast<std::uint8_t>(saved.red ^ 0x5A);
    const auto words = devices::LightInfoToWords(unsaved);
    auto& picture = InPage<ui::CContainerUI>("mouse_device_key_light");
    std::vector<pages::CDeviceKeyButtonUI*> lights;
    for (int i = 0; i < picture.GetCount(); ++i) {
        auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(picture.GetItemAt(i));
        if (button != nullptr && button->GetName().starts_with("light_")) {
            lights.push_back(button);
        }
    }
    ASSERT_EQ(static_cast<int>(lights.size()), page->LedCount());

    struct Case {
        const char* what;
        std::size_t selected;  // the first n LEDs
        bool hideRest;
        bool reloads;
    };
    for (const Case c : {Case{"none", 0, false, false}, Case{"part", 5, false, false},
                         Case{"every shown LED", 5, true, true}, Case{"all", lights.size(), false, true}}) {
        SCOPED_TRACE(c.what);
        page->SetLightState(words[0], words[1], words[2], words[3]);
        for (std::size_t i = 0; i < lights.size(); ++i) {
            lights[i]->SetSelect(i < c.selected ? 1 : 0);
            lights[i]->SetVisible(!(c.hideRest && i >= c.selected));
        }
        Notify("mouse_device_key_light", "click_select_end");
        EXPECT_EQ(page->LightState().red, c.reloads ? saved.red : unsaved.red);
    }
    for (pages::CDeviceKeyButtonUI* light : lights) {
        light->SetVisible(true);
        light->SetSelect(0);
    }
}

}  // namespace
}  // namespace norvane::test
