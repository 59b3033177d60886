// The key assignment panel built from the shipped skin, headless: what it shows for a key, what
// the user's choices encode to, the key capture and the buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/key_set/key_set_control.h"
#include "pages/picture_controls.h"
#include "tests/ui/ui_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/option.h"

namespace norvane::pages {
namespace {

using config::KeyAssignment;
using ui::test::Ctl;

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

// The keyboard page with only its key panel built; the device object's root is a plain layout.
class PanelWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML/DeviceXml/keyboarddevice.xml"; }
    std::string_view GetWindowClassName() const override { return "KeySetPanelTest"; }
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexKeyboardDevice") {
            return std::make_unique<ui::CVerticalLayoutUI>();
        }
        if (tag == "KeySetControl") {
            return std::make_unique<CKeySetControlUI>();
        }
        return nullptr;
    }
};

struct Applied {
    KeyAssignment current;
    KeyAssignment defaultValue;
};

class KeySetPanelTest : public ::testing::Test {
protected:
    KeySetPanelTest() {
        ui::SetCurrentPlatform(&platform);
        RegisterPictureControls(ui::CControlFactory::Instance());
        platform.Resources().SetSkinFolder(kSkin);
        platform.Resources().LoadLanguage(kSkin / "lan_en.xml");
        if (window.Create(nullptr, "page")) {
            panel = dynamic_cast<CKeySetControlUI*>(window.FindControl("KeySetControlItem"));
        }
    }
    ~KeySetPanelTest() override { ui::SetCurrentPlatform(nullptr); }

    // The panel built for a device kind with a library of three macros; applies are recorded.
    CKeySetControlUI& Built(int kind) {
        if (panel == nullptr) {
            throw std::runtime_error("no key panel in the page");
        }
        panel->SetApplyHandler([this](KeyAssignment current, KeyAssignment defaultValue) {
            applied.push_back({current, defaultValue});
            return true;
        });
        panel->Build(kind, macroNames);
        return *panel;
    }
    ui::CComboUI& Combo(std::string_view name) { return Ctl<ui::CComboUI>(window, name); }
    ui::CEditUI& Edit(std::string_view name) { return Ctl<ui::CEditUI>(window, name); }
    bool Visible(std::string_view name) { return Ctl<ui::CControlUI>(window, name).IsOwnVisible(); }
    bool Enabled(std::string_view name) { return Ctl<ui::CControlUI>(window, name).IsOwnEnabled(); }
    int SelectedFamily() {
        ui::CComboUI& families = Combo("keyset_function_combo");
        const ui::CControlUI* item = families.GetItemAt(families.GetCurSel());
        return item != nullptr ? std::stoi(item->GetUserData()) : -1;
    }
    int ShownPage() { return Ctl<ui::CTabLayoutUI>(window, "function_switch_tablayout").GetCurSel(); }
    // Chooses the family whose item carries the number, as the user would.
    void ChooseFamily(int family) {
        ui::CComboUI& families = Combo("keyset_function_combo");
        for (int i = 0; i < families.GetCount(); ++i) {
            if (families.GetItemAt(i)->GetUserData() == std::to_string(family)) {
                families.SelectItem(i, false);
            }
        }
        panel->OnFamilySelected();
    }
    int SelectedOption() {
        int selected = -1;
        for (int n = 0; n < 5; ++n) {
            if (Ctl<ui::COptionUI>(window, "key_ComBox_check_" + std::to_string(n)).IsSelected()) {
                EXPECT_EQ(selected, -1) << "two modifier options selected";
                selected = n;
            }
        }
        return selected;
    }

    ui::headless::HeadlessPlatform platform;
    PanelWindow window;
    CKeySetControlUI* panel = nullptr;
    std::vector<std::string> macroNames{"burst", "reload", "build"};
    std::vector<Applied> applied;
};

constexpr KeyAssignment kKeyA{0x20, 0x00, 0x04};

TEST_F(KeySetPanelTest, KeyboardSelectorOffersNeitherDpiNorGunKey) {
    for (const int kind : {CKeySetControlUI::kKeyboard, CKeySetControlUI::kMouse}) {
        Built(kind);
        ui::CComboUI& families = Combo("keyset_function_combo");
        std::vector<int> offered;
        for (int i = 0; i < families.GetCount(); ++i) {
            if (families.GetItemAt(i)->IsOwnVisible()) {
                offered.push_back(std::stoi(families.GetItemAt(i)->GetUserData()));
            }
        }
        if (kind == CKeySetControlUI::kKeyboard) {
            EXPECT_EQ(offered, (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 11}));
        } else {
            EXPECT_EQ(offered.size(), 12U);
        }
        EXPECT_FALSE(Visible("keyset_layout")) << "hidden until a key is selected";
        EXPECT_EQ(Combo("keyset_macro_combo").GetCount(), 3);
        EXPECT_EQ(Combo("keyset_macro_combo").GetCurSel(), -1);
    }
}

TEST_F(KeySetPanelTest, ShowingAKeyDecodesItsValueIntoTheControls) {
    Built(CKeySetControlUI::kMouse);
    struct Case {
        KeyAssignment current;
        int family;
        std::vector<std::pair<std::string, int>> selections;
        std::vector<std::pair<std::string, std::string>> texts;
    };
    const std::vector<Case> cases = {
        {{0x11, 0x25, 0x83},
         2,
         {{"keyset_mouseswing_combo", 1}},
         {{"keyset_mouseswing_num_edit", "3"},
          {"keyset_mouseswing_delay_edit", "2"},
          {"keyset_mouseswing_speed_edit", "5"}}},
        {{0x12, 0x00, 0xFD}, 3, {{"keyset_mousewheel_combo", 1}}, {{"keyset_mousewheel_num_edit", "3"}}},
        {{0x10, 0x08, 0x00}, 1, {{"keyset_mousekey_combo", 4}}, {}},
        {{0x13, 0x03, 0x00}, 4, {{"keyset_mousedpi_combo", 2}}, {}},
        {{0x14, 0x50, 0x02},
         5,
         {},
         {{"keyset_mousefire_interval_edit", "80"}, {"keyset_mousefire_num_edit", "2"}}},
        {{0x20, 0x02, 0x04}, 6, {}, {{"keyset_keyboard_text_edit", "A"}}},
        {{0x30, 0x21, 0x02}, 7, {{"keyset_media_combo", 14}}, {}},
        {{0x40, 0x04, 0x00}, 8, {{"keyset_system_combo", 2}}, {}},
        {{0x70, 0x02, 0x01}, 9, {{"keyset_macro_combo", 2}, {"keyset_macro_over_combo", 1}}, {}},
        {{0x71, 0x01, 0x0C},
         9,
         {{"keyset_macro_combo", 1}, {"keyset_macro_over_combo", 4}},
         {{"keyset_macro_cycle_edit", "12"}}},
        {{0x72, 0x03, 0x00}, 10, {{"keyset_gunkey_combo", 3}}, {}},
        {{0x20, 0x10, 0x19}, 11, {{"keyset_combokey_combo", 6}}, {}},
        {{0x10, 0x01, 0x00}, 0, {}, {}},  // the default itself
    };
    for (const Case& c : cases) {
        panel->ShowKey(c.current, {0x10, 0x01, 0x00});
        EXPECT_TRUE(Visible("keyset_layout")) << c.family;
        EXPECT_EQ(SelectedFamily(), c.family);
        EXPECT_EQ(ShownPage(), c.family);
        for (const auto& [name, item] : c.selections) {
            EXPECT_EQ(Combo(name).GetCurSel(), item) << name;
        }
        for (const auto& [name, text] : c.texts) {
            EXPECT_EQ(Edit(name).GetText(), text) << name;
        }
        EXPECT_EQ(panel->Encode(), c.current) << "shown controls encode the value again, family " << c.family;
    }
    // Keyboard key with Shift: option 2 alone.
    panel->ShowKey({0x20, 0x02, 0x04}, {0x10, 0x01, 0x00});
    EXPECT_EQ(SelectedOption(), 2);
    // The cycle count shows only with a found macro and repeat count.
    panel->ShowKey({0x71, 0x01, 0x0C}, {0x10, 0x01, 0x00});
    EXPECT_TRUE(Visible("keyset_macro_cycle_layout"));
    panel->ShowKey({0x70, 0x01, 0x00}, {0x10, 0x01, 0x00});
    EXPECT_FALSE(Visible("keyset_macro_cycle_layout"));
    EXPECT_TRUE(applied.empty()) << "showing a key applies nothing";
}

TEST_F(KeySetPanelTest, AValueOfNoFamilyHidesTheEditor) {
    Built(CKeySetControlUI::kMouse);
    panel->ShowKey({0xA0, 0x02, 0x00}, {0x10, 0x01, 0x00});
    EXPECT_FALSE(Visible("keyset_layout"));
    // On a keyboard a DPI value has no selector item to show.
    Built(CKeySetControlUI::kKeyboard);
    panel->ShowKey({0x13, 0x01, 0x00}, kKeyA);
    EXPECT_FALSE(Visible("keyset_layout"));
    panel->ShowKey({0x20, 0x00, 0x05}, kKeyA);
    EXPECT_TRUE(Visible("keyset_layout"));
}

TEST_F(KeySetPanelTest, MacroOutsideTheLibraryShowsNoneAndKeepsTheValueUntilChosen) {
    Built(CKeySetControlUI::kKeyboard);
    panel->ShowKey({0x70, 0x05, 0x00}, kKeyA);
    EXPECT_EQ(SelectedFamily(), 9);
    EXPECT_EQ(Combo("keyset_macro_combo").GetCurSel(), -1);
    panel->Apply();
    ASSERT_EQ(applied.size(), 1U);
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x70, 0x05, 0x00}));
    Combo("keyset_macro_combo").SelectItem(1, false);
    Combo("keyset_macro_over_combo").SelectItem(4, false);
    panel->OnRepeatModeSelected();
    EXPECT_TRUE(Visible("keyset_macro_cycle_layout"));
    Edit("keyset_macro_cycle_edit").SetText("6");
    panel->Apply();
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x71, 0x01, 0x06}));
    Combo("keyset_macro_over_combo").SelectItem(2, false);
    panel->OnRepeatModeSelected();
    EXPECT_FALSE(Visible("keyset_macro_cycle_layout"));
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x70, 0x01, 0x02}));
}

TEST_F(KeySetPanelTest, UserChoicesApplyTheEncodedValue) {
    Built(CKeySetControlUI::kMouse);
    panel->ShowKey({0x10, 0x02, 0x00}, {0x10, 0x02, 0x00});
    ChooseFamily(2);
    EXPECT_EQ(ShownPage(), 2);
    Combo("keyset_mouseswing_combo").SelectItem(1, false);
    Edit("keyset_mouseswing_num_edit").SetText("3");
    Edit("keyset_mouseswing_delay_edit").SetText("2");
    Edit("keyset_mouseswing_speed_edit").SetText("5");
    panel->Apply();
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x11, 0x25, 0x83}));
    EXPECT_EQ(applied.back().defaultValue, (KeyAssignment{0x10, 0x02, 0x00}));
    ChooseFamily(3);
    Combo("keyset_mousewheel_combo").SelectItem(1, false);
    Edit("keyset_mousewheel_num_edit").SetText("3");
    Edit("keyset_mousewheel_delay_edit").SetText("");
    Edit("keyset_mousewheel_speed_edit").SetText("");
    panel->Apply();
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x12, 0x00, 0xFD}));
    ChooseFamily(0);
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x10, 0x02, 0x00})) << "family 0 is the default";
    EXPECT_TRUE(panel->WritePending());
}

TEST_F(KeySetPanelTest, CapturedKeysBuildAKeyboardAssignment) {
    Built(CKeySetControlUI::kKeyboard);
    panel->ShowKey({0x20, 0x00, 0x05}, {0x20, 0x00, 0x05});
    ChooseFamily(6);
    EXPECT_EQ(Edit("keyset_keyboard_text_edit").GetText(), "");
    EXPECT_EQ(SelectedOption(), -1);
    panel->OnModifierOption(1);
    panel->SetKeyCapture(true);
    panel->OnCapturedKey(0x1E, 0);  // A down
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x20, 0x01, 0x04}));
    EXPECT_EQ(Edit("keyset_keyboard_text_edit").GetText(), "A");
    panel->OnCapturedKey(0x1E, 0);  // and up: the same result
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x20, 0x01, 0x04}));
    // Right Ctrl alone: option 1, no key.
    panel->OnCapturedKey(0x1D, 1);
    EXPECT_EQ(SelectedOption(), 1);
    EXPECT_EQ(Edit("keyset_keyboard_text_edit").GetText(), "");
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x20, 0x01, 0x00}));
    // Then Shift, then F5: option 2 with F5.
    panel->OnCapturedKey(0x2A, 0);
    EXPECT_EQ(SelectedOption(), 2);
    panel->OnCapturedKey(0x3F, 0);
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x20, 0x02, 0x3E}));
    // A key with no modifier option selected takes option 0.
    panel->OnModifierOption(-1);
    panel->OnCapturedKey(0x39, 0);  // space
    EXPECT_EQ(SelectedOption(), 0);
    EXPECT_EQ(applied.back().current, (KeyAssignment{0x20, 0x00, 0x2C}));
    // A media key (no row of the table) changes nothing.
    const std::size_t before = applied.size();
    panel->OnCapturedKey(0x22, 1);
    EXPECT_EQ(applied.size(), before);
    EXPECT_EQ(Edit("keyset_keyboard_text_edit").GetText(), "Space");
    EXPECT_EQ(panel->Editing(), (KeyAssignment{0x20, 0x00, 0x2C}));
    panel->SetKeyCapture(false);
    EXPECT_FALSE(panel->Capturing());
}

TEST_F(KeySetPanelTest, ButtonsShowDefaultOrCurrentAndFollowTheWrite) {
    Built(CKeySetControlUI::kMouse);
    const KeyAssignment current{0x14, 0x50, 0x02};
    const KeyAssignment defaultValue{0x10, 0x04, 0x00};
    panel->ShowKey(current, defaultValue);
    for (const char* name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"}) {
        EXPECT_FALSE(Enabled(name)) << name;
    }
    panel->ShowDefault();
    EXPECT_EQ(SelectedFamily(), 0);
    EXPECT_EQ(panel->Encode(), defaultValue);
    for (const char* name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"}) {
        EXPECT_TRUE(Enabled(name)) << name;
    }
    panel->ShowCurrent();
    EXPECT_EQ(SelectedFamily(), 5);
    EXPECT_EQ(panel->Encode(), current);
    EXPECT_FALSE(Enabled("key_butt_keysave"));
    panel->Apply();
    EXPECT_TRUE(Enabled("key_butt_prosave"));
    EXPECT_TRUE(panel->WritePending());
    panel->WriteDone();
    EXPECT_FALSE(Enabled("key_butt_prosave"));
    EXPECT_FALSE(panel->WritePending());
}

TEST_F(KeySetPanelTest, MacroSelectorFollowsTheLibrary) {
    Built(CKeySetControlUI::kKeyboard);
    panel->AppendMacro("dash");
    panel->RenameMacro(0, "burst 2");
    panel->RenameMacro(1, "");
    panel->RenameMacro(-1, "none");
    panel->RemoveMacro(2);
    ui::CComboUI& macros = Combo("keyset_macro_combo");
    std::vector<std::string> names;
    for (int i = 0; i < macros.GetCount(); ++i) {
        names.push_back(macros.GetItemAt(i)->GetText());
        EXPECT_EQ(macros.GetItemAt(i)->GetFixedHeight(), CKeySetControlUI::kMacroItemHeight);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"burst 2", "reload", "dash"}));
    panel->ShowKey({0x70, 0x02, 0x00}, kKeyA);
    EXPECT_EQ(macros.GetCurSel(), 2);
    panel->SetMacroNames(std::vector<std::string>{"only"});
    EXPECT_EQ(macros.GetCurSel(), -1) << "the bound macro is past the new library";
}

}  // namespace
}  // namespace norvane::pages
