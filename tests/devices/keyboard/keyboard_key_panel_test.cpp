// The key assignment panel on the keyboard page: a selected key shown, an applied assignment
// stored and saved, and the device write of macros and keys on the simulated keyboard.
#include "config/macro_library.h"
#include "device/command_packet.h"
#include "devices/device_write.h"
#include "pages/key_set/key_set_control.h"
#include "sim/sim_device.h"
#include "tests/devices/keyboard/keyboard_device_fixture.h"
#include "ui/combo.h"

#include <array>

namespace norvane::test {
namespace {

using Cmd = device::Command;
using config::KeyAssignment;

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

class KeyboardKeyPanelTest : public KeyboardDeviceTest {
protected:
    void SetUp() override {
        KeyboardDeviceTest::SetUp();
        SeedSettings(6);
        page->SyncFromDevice();
        panel = page->KeySetPanel();
        ASSERT_NE(panel, nullptr);
        ASSERT_GT(page->KeyList().size(), 9U);
        link.Device().ClearWireLog();
    }
    void Choose(std::string_view comboName, const std::string& userData) {
        auto* combo = dynamic_cast<ui::CComboUI*>(window->FindControl(comboName));
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->GetCount(); ++i) {
            if (combo->GetItemAt(i)->GetUserData() == userData) {
                combo->SelectItem(i, false);
            }
        }
    }
    // The three bytes the keyboard holds for key k.
    std::array<std::uint8_t, 3> OnDevice(std::size_t key) {
        const std::size_t position = page->Tables().maps.position[key];
        std::array<std::uint8_t, 3> bytes{};
        link.Device().WithFirmware([&](sim::FirmwareModel& f) {
            for (std::size_t i = 0; i < 3; ++i) {
                bytes[i] = f.KeyTable()[3 * position + i];
            }
        });
        return bytes;
    }
    KeyAssignment Stored(std::size_t key) {
        config::CKeyboardProfiledata stored;
        EXPECT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
        return stored.GetKeyList().at(key).current;
    }
    // Key k bound to macro 0 through the panel; the library holds one macro.
    void BindMacroZero(std::size_t key) {
        config::MacroLibrary library(page->DataFolder());
        library.Load();
        ASSERT_FALSE(library.NewMacro().empty());
        ASSERT_TRUE(library.Save(0, {{10, 4, "down", 20}, {10, 4, "up", 30}}));
        page->LoadLightNames();
        page->SelectKey(page->KeyList()[key].keyIndex);
        Choose("keyset_function_combo", "9");
        auto* macros = dynamic_cast<ui::CComboUI*>(window->FindControl("keyset_macro_combo"));
        auto* repeat = dynamic_cast<ui::CComboUI*>(window->FindControl("keyset_macro_over_combo"));
        ASSERT_NE(macros, nullptr);
        ASSERT_NE(repeat, nullptr);
        ASSERT_EQ(macros->GetCount(), 1);
        macros->SelectItem(0, false);
        repeat->SelectItem(0, false);
        panel->OnFamilySelected();
        ASSERT_EQ(page->KeyList()[key].current, (KeyAssignment{0x70, 0x00, 0x00}));
    }

    pages::CKeySetControlUI* panel = nullptr;
};

TEST_F(KeyboardKeyPanelTest, SelectedKeyIsShownAppliedSavedAndWritten) {
    const config::KeyListEntry before = page->KeyList()[9];
    page->SelectKey(before.keyIndex);
    EXPECT_TRUE(window->FindControl("KeySetControlItem")->IsOwnVisible());
    EXPECT_TRUE(window->FindControl("keyset_layout")->IsOwnVisible());
    EXPECT_EQ(panel->Current(), before.current);
    EXPECT_EQ(panel->Default(), before.defaultAssignment);

    // Keyboard key with Ctrl, the key captured: A.
    Choose("keyset_function_combo", "6");
    panel->OnFamilySelected();
    panel->OnModifierOption(1);
    panel->OnCapturedKey(0x1E, 0);
    EXPECT_EQ(page->KeyList()[9].current, (KeyAssignment{0x20, 0x01, 0x04}));
    EXPECT_EQ(page->KeyList()[9].defaultAssignment, before.defaultAssignment);
    EXPECT_EQ(Stored(9), (KeyAssignment{0x20, 0x01, 0x04})) << "the profile's KeyList is saved";
    EXPECT_EQ(page->KeyButtons()[9]->GetText(), "Ctrl+A");
    EXPECT_FALSE(page->KeyButtons()[9]->IsKeySetHidden());
    EXPECT_TRUE(panel->WritePending());
    EXPECT_TRUE(Sent().empty()) << "apply writes nothing to the keyboard";

    const devices::DeviceWriteReport report = devices::WriteMacrosAndKeys(*page, nullptr);
    EXPECT_EQ(report.macros, 0);
    EXPECT_EQ(report.keys, 1);
    EXPECT_TRUE(report.messageId.empty());
    EXPECT_FALSE(report.macroKeysAtDefaults);
    EXPECT_EQ(OnDevice(9), (std::array<std::uint8_t, 3>{0x20, 0x01, 0x04}));
    const std::vector<std::uint8_t> transfers = Transfers();
    ASSERT_GE(transfers.size(), 3U);
    EXPECT_EQ(std::vector<std::uint8_t>(transfers.end() - 3, transfers.end()),
              (std::vector<std::uint8_t>{C(Cmd::BeginConfig), C(Cmd::WriteKeyTable), C(Cmd::EndConfig)}));

    // A profile reset hides the editor.
    page->RestoreDefaults();
    EXPECT_FALSE(window->FindControl("keyset_layout")->IsOwnVisible());
}

TEST_F(KeyboardKeyPanelTest, MacroKeyGoesToTheDeviceAsItsSlot) {
    BindMacroZero(3);
    link.Device().ClearWireLog();
    const devices::DeviceWriteReport report = devices::WriteMacrosAndKeys(*page, nullptr);
    EXPECT_EQ(report.macros, 0);
    EXPECT_EQ(report.keys, 1);
    EXPECT_EQ(BytesOf(C(Cmd::WriteMacroMemory)) > 0, true) << "the bound macro is written";
    EXPECT_EQ(OnDevice(3)[0], 0x70);
    EXPECT_EQ(OnDevice(3)[1], 0x00);
}

TEST_F(KeyboardKeyPanelTest, KeysAfterARefusedMacroWriteGoOutWithTheirDefaults) {
    const std::array<std::uint8_t, 3> factory = OnDevice(3);
    ASSERT_NE(factory[0], 0x70);
    BindMacroZero(3);
    struct Case {
        const char* what;
        std::function<void()> breakIt;
        std::string_view message;
        bool positive;
    };
    const Case cases[] = {
        {"macro memory write fails",
         [this] {
             link.Device().InjectFault(sim::Fault(sim::FaultKind::StatusFE, C(Cmd::WriteMacroMemory)));
         },
         devices::kMacroWriteFailedMessage, false},
        {"macros too large",
         [this] { link.Device().WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[6] = 0; }); },
         devices::kMacrosTooLargeMessage, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.breakIt();
        int refused = 0;
        const devices::DeviceWriteReport report =
            devices::WriteMacrosAndKeys(*page, [&refused](int macros) { refused = macros; });
        EXPECT_EQ(report.macros, refused);
        EXPECT_EQ(c.positive, refused > 0);
        EXPECT_EQ(!c.positive, refused == -1);
        EXPECT_EQ(report.messageId, c.message);
        EXPECT_TRUE(report.macroKeysAtDefaults);
        EXPECT_EQ(report.keys, 1);
        EXPECT_EQ(OnDevice(3), factory) << "the macro key points at no stale macro memory";
        EXPECT_EQ(page->KeyList()[3].current, (KeyAssignment{0x70, 0x00, 0x00})) << "the binding is kept";
        EXPECT_EQ(Stored(3), (KeyAssignment{0x70, 0x00, 0x00}));
    }
}

}  // namespace
}  // namespace norvane::test
