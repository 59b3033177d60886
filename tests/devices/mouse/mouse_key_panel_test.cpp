// The key assignment panel on the mouse page: a selected button shown, an applied assignment
// stored and saved, and the device write of macros and buttons on the simulated mouse.
#include "config/macro_library.h"
#include "config/mouse_profiledata.h"
#include "devices/device_write.h"
#include "pages/key_set/key_set_control.h"
#include "sim/sim_device.h"
#include "tests/devices/mouse/mouse_device_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"

#include <array>

namespace norvane::test {
namespace {

using Cmd = device::Command;
using config::KeyAssignment;

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

class MouseKeyPanelTest : public MouseDeviceTest {
protected:
    void SetUp() override {
        MouseDeviceTest::SetUp();
        page->SyncFromDevice();
        link.Device().ClearWireLog();
        panel = page->KeySetPanel();
        ASSERT_NE(panel, nullptr);
        ASSERT_GT(page->KeyList().size(), 4U);
    }
    template <typename T>
    T& Ctl(std::string_view name) {
        auto* control = dynamic_cast<T*>(window->FindControl(name));
        if (control == nullptr) {
            throw std::runtime_error("no control " + std::string(name));
        }
        return *control;
    }
    void ChooseFamily(int family) {
        auto& combo = Ctl<ui::CComboUI>("keyset_function_combo");
        for (int i = 0; i < combo.GetCount(); ++i) {
            if (combo.GetItemAt(i)->GetUserData() == std::to_string(family)) {
                combo.SelectItem(i, false);
            }
        }
        panel->OnFamilySelected();
    }
    // The three bytes the mouse holds for button b.
    std::array<std::uint8_t, 3> OnDevice(std::size_t button) {
        const auto physical = static_cast<std::size_t>(page->Keys().buttonMap.at(button));
        std::array<std::uint8_t, 3> bytes{};
        link.Device().WithFirmware([&](sim::FirmwareModel& f) {
            for (std::size_t i = 0; i < 3; ++i) {
                bytes[i] = f.KeyTable().at(3 * physical + i);
            }
        });
        return bytes;
    }
    KeyAssignment Stored(std::size_t button) {
        config::CMouseProfiledata stored;
        EXPECT_EQ(stored.LoadDeviceDocument(page->CurrentProfileFile()), config::LoadStatus::Loaded);
        return stored.GetKeyList().at(button).current;
    }

    pages::CKeySetControlUI* panel = nullptr;
};

TEST_F(MouseKeyPanelTest, SelectedButtonIsShownAppliedSavedAndWritten) {
    const config::KeyListEntry before = page->KeyList()[2];
    page->SelectKey(2);
    EXPECT_TRUE(window->FindControl("keyset_layout")->IsOwnVisible());
    EXPECT_EQ(panel->Current(), before.current);
    EXPECT_EQ(panel->DeviceKind(), pages::CKeySetControlUI::kMouse);

    // Scroll right 3, delay 2, speed 5.
    ChooseFamily(2);
    Ctl<ui::CComboUI>("keyset_mouseswing_combo").SelectItem(1, false);
    Ctl<ui::CEditUI>("keyset_mouseswing_num_edit").SetText("3");
    Ctl<ui::CEditUI>("keyset_mouseswing_delay_edit").SetText("2");
    Ctl<ui::CEditUI>("keyset_mouseswing_speed_edit").SetText("5");
    panel->Apply();
    EXPECT_EQ(page->KeyList()[2].current, (KeyAssignment{0x11, 0x25, 0x83}));
    EXPECT_EQ(page->KeyList()[2].defaultAssignment, before.defaultAssignment);
    EXPECT_EQ(Stored(2), (KeyAssignment{0x11, 0x25, 0x83}));
    EXPECT_TRUE(Sent().empty()) << "apply writes nothing to the mouse";

    const devices::DeviceWriteReport report = devices::WriteMacrosAndKeys(*page, nullptr);
    EXPECT_EQ(report.macros, 0);
    EXPECT_EQ(report.keys, 1);
    EXPECT_TRUE(report.messageId.empty());
    EXPECT_EQ(OnDevice(2), (std::array<std::uint8_t, 3>{0x11, 0x25, 0x83}));
    EXPECT_EQ(BytesOf(Cmd::WriteKeyTable), 11U * 3);
    EXPECT_EQ(BytesOf(Cmd::WriteMacroMemory), 0U) << "no macro bound: none written";

    // Show default puts the default back into the controls; apply and write it.
    panel->ShowDefault();
    panel->Apply();
    EXPECT_EQ(page->KeyList()[2].current, before.defaultAssignment);
    devices::WriteMacrosAndKeys(*page, nullptr);
    EXPECT_EQ(OnDevice(2),
              (std::array<std::uint8_t, 3>{before.defaultAssignment.type, before.defaultAssignment.param1,
                                           before.defaultAssignment.param2}));
}

TEST_F(MouseKeyPanelTest, ButtonsAfterARefusedMacroWriteGoOutWithTheirDefaults) {
    const std::array<std::uint8_t, 3> factory = OnDevice(3);
    config::MacroLibrary library(page->DataFolder());
    library.Load();
    ASSERT_FALSE(library.NewMacro().empty());
    ASSERT_TRUE(library.Save(0, {{10, 4, "down", 20}, {10, 4, "up", 30}}));
    page->LoadLightNames();
    page->SelectKey(3);
    ChooseFamily(9);
    Ctl<ui::CComboUI>("keyset_macro_combo").SelectItem(0, false);
    Ctl<ui::CComboUI>("keyset_macro_over_combo").SelectItem(1, false);
    panel->OnRepeatModeSelected();
    ASSERT_EQ(page->KeyList()[3].current, (KeyAssignment{0x70, 0x00, 0x01}));

    link.Device().InjectFault(sim::Fault(sim::FaultKind::StatusFE, C(Cmd::WriteMacroMemory)));
    int refused = 0;
    const devices::DeviceWriteReport report =
        devices::WriteMacrosAndKeys(*page, [&refused](int macros) { refused = macros; });
    EXPECT_EQ(report.macros, -1);
    EXPECT_EQ(refused, -1);
    EXPECT_EQ(report.messageId, devices::kMacroWriteFailedMessage);
    EXPECT_TRUE(report.macroKeysAtDefaults);
    EXPECT_EQ(report.keys, 1);
    EXPECT_EQ(OnDevice(3), factory);
    EXPECT_EQ(page->KeyList()[3].current, (KeyAssignment{0x70, 0x00, 0x01})) << "the binding is kept";
    EXPECT_EQ(Stored(3), (KeyAssignment{0x70, 0x00, 0x01}));

    // With the macros written, the button goes out bound to its slot.
    link.Device().ClearWireLog();
    const devices::DeviceWriteReport again = devices::WriteMacrosAndKeys(*page, nullptr);
    EXPECT_EQ(again.macros, 0);
    EXPECT_GT(BytesOf(Cmd::WriteMacroMemory), 0U);
    EXPECT_EQ(OnDevice(3)[0], 0x70);
}

}  // namespace
}  // namespace norvane::test
