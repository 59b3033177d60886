// The shoot panel built from the shipped skin, headless, on temporary user and factory folders:
// what it shows for a gun and a bullet, the limits of its edits, the direction boxes, and the
// reset, import and export of the selected gun's pattern.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "config/json_file_store.h"
#include "config/shoot_data.h"
#include "pages/picture_controls.h"
#include "pages/shoot/shoot_chart.h"
#include "pages/shoot/shoot_control.h"
#include "tests/ui/ui_fixture.h"
#include "ui/edit.h"
#include "ui/option.h"

namespace norvane::pages {
namespace {

using config::Bullet;
using test::ReadText;
using test::WriteText;
using ui::test::Ctl;

const std::filesystem::path kSkin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources" / "skin";

// The mouse page with only its shoot panel built; the device object's root is a plain layout.
class PanelWindow : public ui::WindowImplBase {
public:
    std::string GetSkinFile() const override { return "XML/DeviceXml/mousedevice.xml"; }
    std::string_view GetWindowClassName() const override { return "ShootPanelTest"; }
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override {
        if (tag == "TarnexMouseDevice") {
            return std::make_unique<ui::CVerticalLayoutUI>();
        }
        if (tag == "ShootControl") {
            return std::make_unique<CShootControlUI>();
        }
        return nullptr;
    }
};

// Factory bullet b of gun g: distinct values in every field.
Bullet FactoryBullet(int gun, int b) {
    return {b + gun, b % 2 == 0, 2 * b + 1, b % 3 == 0, 20 + b + 100 * gun};
}

class ShootPanelTest : public ::testing::Test {
protected:
    ShootPanelTest() {
        ui::SetCurrentPlatform(&platform);
        RegisterPictureControls(ui::CControlFactory::Instance());
        platform.Resources().SetSkinFolder(kSkin);
        platform.Resources().LoadLanguage(kSkin / "lan_en.xml");
        std::filesystem::create_directories(dir / "mouse");
        std::filesystem::create_directories(dir / "DefaultData");
        for (int gun = 0; gun < config::kGunCount; ++gun) {
            Json::Value root;
            root["Name"] = "factory " + std::to_string(gun);
            for (int b = 0; b < config::kBulletCount; ++b) {
                for (const config::MacroEvent& e : config::BulletEvents(FactoryBullet(gun, b))) {
                    root["Events"].append(config::MacroEventToJson(e, config::DelayForm::Integer));
                }
            }
            config::JsonFileStore::WriteJsonFile(Factory(gun), root);
        }
        if (window.Create(nullptr, "page")) {
            panel = dynamic_cast<CShootControlUI*>(window.FindControl("ShootControlItem"));
        }
        if (panel == nullptr) {
            throw std::runtime_error("no shoot panel in the page");
        }
        panel->Build(dir / "mouse", dir / "DefaultData");
    }
    ~ShootPanelTest() override { ui::SetCurrentPlatform(nullptr); }

    std::filesystem::path User(int gun) const {
        return dir / "mouse" / ("ShootData_" + std::to_string(gun) + ".Shoot");
    }
    std::filesystem::path Factory(int gun) const {
        return dir / "DefaultData" / ("ShootData_" + std::to_string(gun) + ".Shoot");
    }
    std::string Text(std::string_view name) { return Ctl<ui::CControlUI>(window, name).GetText(); }
    ui::CEditUI& Edit(std::string_view name) { return Ctl<ui::CEditUI>(window, name); }
    ui::CCheckBoxUI& Check(std::string_view name) { return Ctl<ui::CCheckBoxUI>(window, name); }
    // Only the one option of the prefix that should be is selected.
    std::vector<int> SelectedOptions(std::string_view prefix, int count) {
        std::vector<int> selected;
        for (int i = 0; i < count; ++i) {
            if (Ctl<ui::COptionUI>(window, std::string(prefix) + std::to_string(i)).IsSelected()) {
                selected.push_back(i);
            }
        }
        return selected;
    }
    // What the page shows of the selected bullet.
    Bullet Shown() {
        return {std::stoi(Text("bullet_x_eidt")), Check("bullet_x_check").IsSelected(),
                std::stoi(Text("bullet_y_eidt")), Check("bullet_y_check").IsSelected(),
                std::stoi(Text("bullet_delay_eidt"))};
    }
    void Type(int x, bool left, int y, bool up, int delay) {
        Edit("bullet_x_eidt").SetText(std::to_string(x));
        Edit("bullet_y_eidt").SetText(std::to_string(y));
        Edit("bullet_delay_eidt").SetText(std::to_string(delay));
        Check("bullet_x_check").Selected(left, false);
        Check("bullet_y_check").Selected(up, false);
    }

    test::TempDir dir;
    ui::headless::HeadlessPlatform platform;
    PanelWindow window;
    CShootControlUI* panel = nullptr;
};

TEST_F(ShootPanelTest, BuildMakesTheUserFilesAndShowsGunsAndBullets) {
    for (int gun = 0; gun < config::kGunCount; ++gun) {
        EXPECT_EQ(ReadText(User(gun)), ReadText(Factory(gun))) << gun;
    }
    EXPECT_EQ(panel->Gun(), 0);
    EXPECT_EQ(panel->Bullet(), 0);
    EXPECT_EQ(Text("bullet_select_index"), "1");
    EXPECT_EQ(Shown(), FactoryBullet(0, 0));

    panel->SelectBullet(7);
    panel->SelectGun(2);
    EXPECT_EQ(SelectedOptions("shoot_gun_op_", 4), std::vector<int>{2});
    EXPECT_EQ(SelectedOptions("bullet_op_", 30), std::vector<int>{7});
    EXPECT_EQ(Ctl<ui::CTabLayoutUI>(window, "shoot_image_display_switch").GetCurSel(), 2);
    EXPECT_EQ(Text("bullet_select_index"), "8");
    EXPECT_EQ(Shown(), FactoryBullet(2, 7)) << "the gun shows the selected bullet";

    // The chart draws the gun's whole pattern from the start point, the selected bullet marked.
    const auto& chart = Ctl<CShootChartUI>(window, "bullet_path_chart");
    ASSERT_EQ(chart.Pattern().size(), 30U);
    EXPECT_EQ(chart.Selected(), 7);
    const std::vector<ui::Point> path = chart.Path();
    // Bullet 0 of gun 2: 2 left, 1 up; bullet 1: 3 right, 3 down.
    EXPECT_EQ(path[0], (ui::Point{-2, -1}));
    EXPECT_EQ(path[1], (ui::Point{1, 2}));
}

TEST_F(ShootPanelTest, SelectionsAreClampedToTheGunsAndBullets) {
    struct Case {
        const char* what;
        int start;
        std::function<void(CShootControlUI&)> act;
        int bullet;
    };
    const std::vector<Case> cases = {
        {"next on bullet 30 stays", 29, [](CShootControlUI& p) { p.NextBullet(); }, 29},
        {"previous on bullet 1 stays", 0, [](CShootControlUI& p) { p.PreviousBullet(); }, 0},
        {"next", 4, [](CShootControlUI& p) { p.NextBullet(); }, 5},
        {"previous", 4, [](CShootControlUI& p) { p.PreviousBullet(); }, 3},
        {"past the last", 4, [](CShootControlUI& p) { p.SelectBullet(45); }, 29},
        {"before the first", 4, [](CShootControlUI& p) { p.SelectBullet(-3); }, 0},
    };
    for (const Case& c : cases) {
        panel->SelectBullet(c.start);
        c.act(*panel);
        EXPECT_EQ(panel->Bullet(), c.bullet) << c.what;
        EXPECT_EQ(SelectedOptions("bullet_op_", 30), std::vector<int>{c.bullet}) << c.what;
        EXPECT_EQ(Text("bullet_select_index"), std::to_string(c.bullet + 1)) << c.what;
    }
    panel->SelectGun(9);
    EXPECT_EQ(panel->Gun(), 3);
    panel->SelectGun(-1);
    EXPECT_EQ(panel->Gun(), 0);
    EXPECT_EQ(SelectedOptions("shoot_gun_op_", 4), std::vector<int>{0});
}

TEST_F(ShootPanelTest, EditsAreLimitedAndShowTheValueStored) {
    panel->SelectGun(1);
    panel->SelectBullet(29);
    struct Case {
        std::string x, y, delay;
        Bullet stored;
    };
    const std::vector<Case> cases = {
        {"300", "256", "70000", {255, false, 255, false, 65535}},
        {"", "12abc", "99999999999999999999", {0, false, 12, false, 65535}},
        {"7", "999", "250", {7, false, 255, false, 250}},
        {"255", "0", "0", {255, false, 0, false, 0}},
    };
    const std::string before = ReadText(User(1));
    for (const Case& c : cases) {
        Edit("bullet_x_eidt").SetText(c.x);
        Edit("bullet_y_eidt").SetText(c.y);
        Edit("bullet_delay_eidt").SetText(c.delay);
        ASSERT_TRUE(panel->StoreBullet()) << c.x;
        EXPECT_EQ(Shown(), c.stored) << c.x << " " << c.y << " " << c.delay;
        EXPECT_EQ(config::ShootData(dir / "mouse", {}).ReadBullet(1, 29), c.stored);
    }
    // Only bullet 29's six events changed; the other guns are untouched.
    const std::vector<config::MacroEvent> events = config::ShootData(dir / "mouse", {}).Events(1);
    ASSERT_EQ(events.size(), 180U);
    for (int b = 0; b < 29; ++b) {
        EXPECT_EQ(config::ShootData(dir / "mouse", {}).ReadBullet(1, b), FactoryBullet(1, b)) << b;
    }
    EXPECT_NE(ReadText(User(1)), before);
    EXPECT_EQ(ReadText(User(0)), ReadText(Factory(0)));
    EXPECT_EQ(config::JsonFileStore::ReadJsonFile(User(1))["Name"].asString(), "factory 1");
}

TEST_F(ShootPanelTest, DirectionBoxesChangeOnlyTheirCaptionUntilAnEditIsLeft) {
    panel->SelectBullet(1);  // right and down in the factory pattern
    ASSERT_FALSE(Check("bullet_x_check").IsSelected());
    EXPECT_EQ(Check("bullet_x_check").GetTextId(), "mouse_move_to_right_text");
    EXPECT_EQ(Check("bullet_y_check").GetTextId(), "mouse_move_to_down_text");

    Check("bullet_x_check").Selected(true, false);
    panel->OnDirectionCheck("bullet_x_check");
    Check("bullet_y_check").Selected(true, false);
    panel->OnDirectionCheck("bullet_y_check");
    EXPECT_EQ(Check("bullet_x_check").GetTextId(), "mouse_move_to_left_text");
    EXPECT_EQ(Check("bullet_x_check").GetText(), platform.Resources().Text("mouse_move_to_left_text"));
    EXPECT_EQ(Check("bullet_y_check").GetTextId(), "mouse_move_to_up_text");
    const std::string before = ReadText(User(0));
    EXPECT_EQ(ReadText(User(0)), before) << "a box alone writes nothing";

    // Switching bullets loses the boxes' change.
    panel->SelectBullet(2);
    panel->SelectBullet(1);
    EXPECT_EQ(Shown(), FactoryBullet(0, 1));
    EXPECT_EQ(Check("bullet_x_check").GetTextId(), "mouse_move_to_right_text");

    // Leaving an edit writes the boxes with the edits.
    Type(9, true, 4, true, 33);
    ASSERT_TRUE(panel->StoreBullet());
    panel->SelectBullet(2);
    panel->SelectBullet(1);
    EXPECT_EQ(Shown(), (Bullet{9, true, 4, true, 33}));
    EXPECT_EQ(Check("bullet_y_check").GetTextId(), "mouse_move_to_up_text");
}

TEST_F(ShootPanelTest, ResetImportAndExportWorkOnTheSelectedGun) {
    panel->SelectGun(2);
    panel->SelectBullet(3);
    Type(1, false, 1, false, 1);
    ASSERT_TRUE(panel->StoreBullet());
    panel->SelectGun(3);
    Type(2, false, 2, false, 2);
    ASSERT_TRUE(panel->StoreBullet());
    const std::string gun3 = ReadText(User(3));

    // Reset restores gun 2 from its factory file and shows it again; gun 3 keeps its change.
    panel->SelectGun(2);
    ASSERT_TRUE(panel->ResetGun());
    EXPECT_EQ(ReadText(User(2)), ReadText(Factory(2)));
    EXPECT_EQ(Shown(), FactoryBullet(2, 3));
    EXPECT_EQ(ReadText(User(3)), gun3);

    // Export then import round trip: gun 3's pattern copied into gun 0 byte for byte.
    panel->SelectGun(3);
    ASSERT_TRUE(panel->ExportTo(dir / "mine.shoot"));
    EXPECT_EQ(ReadText(dir / "mine.shoot"), gun3);
    panel->SelectGun(0);
    ASSERT_TRUE(panel->ImportFrom(dir / "mine.shoot"));
    EXPECT_EQ(ReadText(User(0)), gun3);
    EXPECT_EQ(Shown(), (Bullet{2, false, 2, false, 2}));
    EXPECT_EQ(Ctl<CShootChartUI>(window, "bullet_path_chart").Pattern()[3], (Bullet{2, false, 2, false, 2}));

    // A damaged file is refused: gun 0's file and the page stay as they were.
    WriteText(dir / "bad.shoot",
              R"({"Events": [{"Type": 1, "Button": 1, "Action": "down", "Delay": 10}, "x"]})");
    EXPECT_FALSE(panel->ImportFrom(dir / "bad.shoot"));
    EXPECT_EQ(ReadText(User(0)), gun3);
    EXPECT_EQ(Shown(), (Bullet{2, false, 2, false, 2}));
    EXPECT_FALSE(panel->ImportFrom(dir / "missing.shoot"));
    EXPECT_FALSE(panel->ExportTo(dir / "no-such-folder" / "out.shoot"));
}

TEST_F(ShootPanelTest, AMissingFactoryFileLeavesTheGunAsItWas) {
    panel->SelectGun(1);
    Type(5, true, 5, true, 5);
    ASSERT_TRUE(panel->StoreBullet());
    const std::string changed = ReadText(User(1));
    std::filesystem::remove(Factory(1));
    EXPECT_FALSE(panel->ResetGun());
    EXPECT_EQ(ReadText(User(1)), changed);
    EXPECT_EQ(Shown(), (Bullet{5, true, 5, true, 5}));
}

}  // namespace
}  // namespace norvane::pages
