// The keyboard page layout of the shipped skin, built headless: what the keyboard device
// object and the main window look up in it must be there, of the right class, in the right place.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "config/strings.h"
#include "pages/device_key_button.h"
#include "pages/picture_controls.h"
#include "pages/select_panel.h"
#include "tests/ui/ui_fixture.h"
#include "ui/button.h"
#include "ui/container.h"
#include "ui/edit.h"
#include "ui/headless/headless_input.h"
#include "ui/label.h"
#include "ui/option.h"
#include "ui/slider.h"

namespace norvane::pages {
namespace {

constexpr int kKeyCount = 170;
constexpr int kVariants = 5;
const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

// The page's root class belongs to the keyboard device object; a vertical layout stands in.
class PageWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML/DeviceXml/keyboarddevice.xml"; }
    std::string_view GetWindowClassName() const override { return "KeyboardPageTest"; }
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexKeyboardDevice") {
            return std::make_unique<ui::CVerticalLayoutUI>();
        }
        return nullptr;
    }
};

class KeyboardPageTest : public ::testing::Test {
protected:
    KeyboardPageTest() {
        ui::SetCurrentPlatform(&platform);
        RegisterPictureControls(ui::CControlFactory::Instance());
        platform.Resources().SetSkinFolder(kSkin);
        built = window.Create(nullptr, "page");
        if (built) {
            window.PaintManager().UpdateLayout();
        }
    }
    ~KeyboardPageTest() override { ui::SetCurrentPlatform(nullptr); }

    // The key and light buttons of a picture container, by index, as BuildPage collects them.
    struct Buttons {
        std::map<long long, CDeviceKeyButtonUI*> keys, lights;
        int duplicates = 0;
    };
    static Buttons Collect(ui::CContainerUI& panel) {
        Buttons out;
        for (int i = 0; i < panel.GetCount(); ++i) {
            auto* button = dynamic_cast<CDeviceKeyButtonUI*>(panel.GetItemAt(i));
            auto split = button != nullptr ? config::SplitIndexedName(button->GetName()) : std::nullopt;
            if (!split) {
                continue;
            }
            auto& into = split->prefix == "key_" ? out.keys : out.lights;
            if (split->prefix != "key_" && split->prefix != "light_") {
                continue;
            }
            out.duplicates += into.contains(split->number) ? 1 : 0;
            into[split->number] = button;
        }
        return out;
    }

    ui::headless::HeadlessPlatform platform;
    PageWindow window;
    bool built = false;
};

TEST_F(KeyboardPageTest, EveryVariantHoldsAllKeyAndLightButtonsAsDirectChildren) {
    ASSERT_TRUE(built);
    auto& tabs = ui::test::Ctl<ui::CTabLayoutUI>(window, "keyboard_device_key_layout");
    ASSERT_EQ(tabs.GetCount(), kVariants);
    for (int v = 0; v < kVariants; ++v) {
        SCOPED_TRACE("variant " + std::to_string(v));
        std::string name = "keyboard_device_key_light_" + std::to_string(v);
        auto& panel = ui::test::Ctl<CSelectPanelUI>(window, name);
        EXPECT_EQ(tabs.GetItemAt(v), &panel) << "tab " << v << " is not its variant";
        tabs.SelectItem(v);  // a hidden page has no positions
        window.PaintManager().UpdateLayout();
        Buttons b = Collect(panel);
        EXPECT_EQ(b.duplicates, 0);
        ASSERT_EQ(b.keys.size(), static_cast<std::size_t>(kKeyCount));
        ASSERT_EQ(b.lights.size(), static_cast<std::size_t>(kKeyCount));
        EXPECT_EQ(b.keys.rbegin()->first, kKeyCount - 1);
        int shown = 0;
        for (auto [n, key] : b.keys) {
            if (!key->IsOwnVisible()) {
                continue;
            }
            ++shown;
            EXPECT_TRUE(key->GetTextId().starts_with("keyboard_key_")) << key->GetName();
            // A key's LED lies under it, so the light colour shows through the key.
            CDeviceKeyButtonUI* light = b.lights[n];
            if (light->IsOwnVisible()) {
                EXPECT_TRUE(key->GetPos().Contains(light->GetPos().Center())) << light->GetName();
            }
        }
        EXPECT_GE(shown, 104) << "fewer keys than a full-size board";
    }
}

TEST_F(KeyboardPageTest, AClickOnAKeyReachesTheKeyNotItsLight) {
    ASSERT_TRUE(built);
    for (int v = 0; v < kVariants; ++v) {
        SCOPED_TRACE("variant " + std::to_string(v));
        auto& tabs = ui::test::Ctl<ui::CTabLayoutUI>(window, "keyboard_device_key_layout");
        tabs.SelectItem(v);
        window.PaintManager().UpdateLayout();
        Buttons b =
            Collect(ui::test::Ctl<CSelectPanelUI>(window, "keyboard_device_key_light_" + std::to_string(v)));
        for (auto [n, key] : b.keys) {
            if (key->IsVisible()) {
                EXPECT_EQ(window.PaintManager().FindControlAt(key->GetPos().Center()), key) << key->GetName();
            }
        }
    }
}

TEST_F(KeyboardPageTest, SettingControlsHaveTheClassesTheDeviceDrives) {
    ASSERT_TRUE(built);
    using ui::test::Ctl;
    for (const char* name : {"winlockflag_option", "wflag_option", "6flag_option"}) {
        EXPECT_NO_THROW(Ctl<ui::COptionUI>(window, name)) << name;
    }
    EXPECT_NO_THROW(Ctl<ui::CSliderUI>(window, "repeat_rate_slider"));
    EXPECT_NO_THROW(Ctl<ui::CLabelUI>(window, "repeat_delay_time_label1"));
    EXPECT_NO_THROW(Ctl<ui::CEditUI>(window, "repeat_input_richedit"));
    EXPECT_NO_THROW(Ctl<ui::CButtonUI>(window, "reset_repeat_btn"));
    EXPECT_NO_THROW(Ctl<CSelectPanelUI>(window, "device_key_light"));
    EXPECT_EQ(Ctl<ui::CTabLayoutUI>(window, "device_function_switch").GetCount(), 4);
    EXPECT_EQ(Ctl<ui::CTabLayoutUI>(window, "device_key_function_switch").GetCount(), 3);
    // The numbered options are radio groups: selecting one clears the others.
    for (std::string prefix : {"repeat_delay_check_", "polling_rate_option_"}) {
        Ctl<ui::COptionUI>(window, prefix + "2").Selected(true, false);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Ctl<ui::COptionUI>(window, prefix + std::to_string(i)).IsSelected(), i == 2)
                << prefix << i;
        }
    }
}

TEST_F(KeyboardPageTest, EveryTextOfThePageIsInBothLanguageFiles) {
    ASSERT_TRUE(built);
    std::set<std::string> ids;
    window.PaintManager().GetRoot()->ForEach([&](ui::CControlUI& c) {
        if (!c.GetTextId().empty()) {
            ids.insert(c.GetTextId());
        }
    });
    ASSERT_GT(ids.size(), 100U);
    for (const char* lang : {"lang_en.xml", "lang_cn.xml"}) {
        ASSERT_TRUE(platform.Resources().LoadLanguage(kSkin / lang)) << lang;
        for (const std::string& id : ids) {
            EXPECT_TRUE(platform.Resources().HasText(id)) << lang << " lacks " << id;
        }
        // The test field's hint is a text id too.
        EXPECT_NE(ui::test::Ctl<ui::CEditUI>(window, "repeat_input_richedit").GetHintText(),
                  "Repeat_input_text")
            << lang;
    }
}

}  // namespace
}  // namespace norvane::pages
