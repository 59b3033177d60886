// The shoot panel's controls through the main window: routed to the current mouse page's panel,
// the file dialogs and messages, and the shoot memory the simulated mouse receives.
#include "devices/mouse/mouse_device.h"
#include "pages/shoot/shoot_control.h"
#include "sim/sim_device.h"
#include "tests/shell/main_wnd_fixture.h"
#include "ui/edit.h"
#include "ui/option.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace norvane::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ShootActionsTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void Choose(devices::CTarnexUSBDevice* page, std::string_view option) {
        In<ui::COptionUI>(page, option).Selected(true, false);
        Notify(page, option, "selectchanged");
    }
    std::string Text(std::string_view id) { return platform.Resources().Text(id); }
    static Bytes ShootMemory(sim::SimDevice& device, std::size_t from, std::size_t count) {
        return device.WithFirmware([&](sim::FirmwareModel& f) {
            const auto begin = f.ShootMemory().begin() + static_cast<std::ptrdiff_t>(from);
            return Bytes(begin, begin + static_cast<std::ptrdiff_t>(count));
        });
    }
};

TEST_F(ShootActionsTest, TheMousesPanelEditsAndSendsItsPatterns) {
    sim::SimDevice& mouse = Plug("mouse");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    pages::CShootControlUI* panel = page->ShootPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->IsBuilt());

    // Gun 1, bullet 6 through their options; the option a group change clears is no choice.
    Choose(page, "shoot_gun_op_1");
    Notify(page, "shoot_gun_op_0", "selectchanged");
    EXPECT_EQ(panel->Gun(), 1);
    Choose(page, "bullet_op_5");
    Notify(page, "bullet_selected_next", "click");
    EXPECT_EQ(panel->Bullet(), 6);
    Notify(page, "bullet_selected_prev", "click");
    EXPECT_EQ(panel->Bullet(), 5);

    // A direction box changes its caption; leaving an edit stores the bullet as limited.
    In<ui::CEditUI>(page, "bullet_x_eidt").SetText("300");
    In<ui::CEditUI>(page, "bullet_y_eidt").SetText("7");
    In<ui::CEditUI>(page, "bullet_delay_eidt").SetText("300");
    In<ui::CCheckBoxUI>(page, "bullet_y_check").Selected(false, false);
    Choose(page, "bullet_x_check");
    EXPECT_EQ(In<ui::CCheckBoxUI>(page, "bullet_x_check").GetTextId(), "mouse_move_to_left_text");
    Notify(page, "bullet_delay_eidt", "killfocus");
    EXPECT_EQ(In<ui::CEditUI>(page, "bullet_x_eidt").GetText(), "255");

    // Send: four entries of 180 events, gun 1's bullet 5 as edited.
    const std::string before = Window().LastMessage();
    Notify(page, "shootdate_save_btn", "click");
    EXPECT_EQ(Window().LastMessage(), before) << "a write that went through tells nothing";
    const Bytes header = {0xAA, 0x55, 0x68, 0x0B, 4,    0, 0,    0, 0,    0, 0,    0,
                          0,    0,    0,    0,    0x18, 0, 0xEC, 2, 0xC0, 5, 0x94, 8};
    EXPECT_EQ(ShootMemory(mouse, 0, 24), header);
    EXPECT_EQ(ShootMemory(mouse, 748, 4), (Bytes{180, 0, 0, 0}));
    const Bytes bullet5 = {10,   0,    0x81, 1, 0, 0, 0x01, 1, 5, 0, 0x84, 255,
                           0x2C, 0x01, 0x05, 7, 0, 0, 0x84, 0, 0, 0, 0x05, 0};
    EXPECT_EQ(ShootMemory(mouse, 748 + 4 + 5 * 24, 24), bullet5);

    // Export, then a damaged import refused with a message, then the round trip back.
    const std::filesystem::path user = page->DataFolder() / "ShootData_1.Shoot";
    const std::string edited = ReadText(user);
    platform.SetFileDialogAnswer(dir / "gun1.shoot");
    Notify(page, "shootdate_export_btn", "click");
    EXPECT_EQ(platform.LastFileDialog().filter, "Shoot Files(*.shoot)|*.shoot|");
    EXPECT_TRUE(platform.LastFileDialog().save);
    EXPECT_EQ(ReadText(dir / "gun1.shoot"), edited);

    WriteText(dir / "bad.shoot", R"({"Events": [{"Type": 9, "Button": 1, "Action": "down", "Delay": 10}]})");
    platform.SetFileDialogAnswer(dir / "bad.shoot");
    Notify(page, "shootdate_import_btn", "click");
    EXPECT_FALSE(platform.LastFileDialog().save);
    EXPECT_EQ(Window().LastMessage(), Text("shoot_import_failed_text"));
    EXPECT_EQ(ReadText(user), edited);
    EXPECT_EQ(In<ui::CEditUI>(page, "bullet_x_eidt").GetText(), "255");

    // Reset: the factory pattern back and shown.
    Notify(page, "shootdate_reset_btn", "click");
    EXPECT_EQ(ReadText(user), ReadText(dir / "DefaultData" / "ShootData_1.Shoot"));
    EXPECT_NE(In<ui::CEditUI>(page, "bullet_x_eidt").GetText(), "255");

    platform.SetFileDialogAnswer(dir / "gun1.shoot");
    Notify(page, "shootdate_import_btn", "click");
    EXPECT_EQ(ReadText(user), edited);
    EXPECT_EQ(In<ui::CEditUI>(page, "bullet_x_eidt").GetText(), "255");

    // No file chosen: nothing happens.
    platform.SetFileDialogAnswer({});
    WriteText(dir / "gun1.shoot", "changed");
    Notify(page, "shootdate_export_btn", "click");
    Notify(page, "shootdate_import_btn", "click");
    EXPECT_EQ(ReadText(dir / "gun1.shoot"), "changed");
    EXPECT_EQ(ReadText(user), edited);
}

TEST_F(ShootActionsTest, AFailedOrRefusedWriteTellsTheUser) {
    sim::SimDevice& mouse = Plug("mouse");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    mouse.InjectFault(
        sim::Fault(sim::FaultKind::StatusFE, static_cast<std::uint8_t>(device::Command::WriteShootData)));
    Notify(page, "shootdate_save_btn", "click");
    EXPECT_EQ(Window().LastMessage(), Text("shoot_write_failed_text"));

    // A user file the mouse would not take: nothing is sent.
    const Bytes memory = ShootMemory(mouse, 0, 64);
    WriteText(page->DataFolder() / "ShootData_3.Shoot",
              R"({"Events": [{"Type": 4, "Button": 900, "Action": "up", "Delay": 5}]})");
    Notify(page, "shootdate_save_btn", "click");
    EXPECT_EQ(Window().LastMessage(), Text("shoot_pattern_refused_text"));
    EXPECT_EQ(ShootMemory(mouse, 0, 64), memory);
}

TEST_F(ShootActionsTest, WithAKeyboardCurrentTheShootControlsDoNothing) {
    Plug("keyboard");
    Scan();
    ASSERT_EQ(dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice()), nullptr);
    ASSERT_FALSE(List().Mice().empty());
    auto* mousePage = dynamic_cast<devices::CTarnexMouseDevice*>(List().Mice().front());
    ASSERT_NE(mousePage, nullptr);
    pages::CShootControlUI* panel = mousePage->ShootPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->IsBuilt());
    const std::filesystem::path user = mousePage->DataFolder() / "ShootData_0.Shoot";
    const std::string file = ReadText(user);
    const std::string message = Window().LastMessage();

    Choose(mousePage, "shoot_gun_op_2");
    Choose(mousePage, "bullet_op_4");
    In<ui::CEditUI>(mousePage, "bullet_x_eidt").SetText("99");
    Notify(mousePage, "bullet_x_eidt", "killfocus");
    Notify(mousePage, "shootdate_reset_btn", "click");
    Notify(mousePage, "shootdate_save_btn", "click");
    Notify(mousePage, "bullet_selected_next", "click");
    EXPECT_EQ(panel->Gun(), 0);
    EXPECT_EQ(panel->Bullet(), 0);
    EXPECT_EQ(ReadText(user), file);
    EXPECT_EQ(Window().LastMessage(), message);
}

}  // namespace
}  // namespace norvane::test
