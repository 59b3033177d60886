// The keyboard page's macro panel on the simulated keyboard: edits reach the device's macro
// memory and key table byte for byte, and a failed macro write sends macro keys as defaults.
#include "config/macro_library.h"
#include "pages/macro/macro_control.h"
#include "sim/sim_device.h"
#include "tests/devices/keyboard/keyboard_device_fixture.h"
#include "ui/notify.h"

namespace norvane::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TellPrompts : pages::IMacroPrompts {
    std::vector<std::string> told;
    bool Ask(std::string_view) override { return true; }
    void Tell(std::string_view text) override { told.emplace_back(text); }
    std::optional<std::filesystem::path> ChooseOpenFile(std::string_view) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseSaveFile(std::string_view) override { return std::nullopt; }
};

class KeyboardMacroPanelTest : public KeyboardDeviceTest {
protected:
    void SetUp() override {
        KeyboardDeviceTest::SetUp();
        page->SyncFromDevice();
        config::MacroLibrary library(page->DataFolder());
        library.Load();
        ASSERT_FALSE(library.NewMacro().empty());
        ASSERT_TRUE(library.Save(0, {{10, 4, "down", 20}, {10, 4, "up", 30}}));
        auto keys = page->KeyList();
        ASSERT_GT(keys.size(), 3U);
        keys[3].current = {0x70, 0, 0};  // macro 0 on key 3
        page->SetKeyList(keys);
        page->SaveDeviceProfile();
        panel = dynamic_cast<pages::CMacroControlUI*>(window->FindControl("MacroControlItem"));
        ASSERT_NE(panel, nullptr);
        panel->SetPrompts(&prompts);
        panel->LoadLibrary();
        panel->OpenMacro(0);
        link.Device().ClearWireLog();
    }
    void Click(std::string_view name) {
        ui::TNotifyUI msg;
        msg.type = ui::notify::kClick;
        msg.sender = window->FindControl(name);
        ASSERT_NE(msg.sender, nullptr);
        panel->HandleControlEvent(msg);
    }
    std::array<std::uint8_t, 3> KeyOnDevice(std::size_t key) {
        const std::size_t p = page->Tables().maps.position[key];
        return link.Device().WithFirmware([p](sim::FirmwareModel& f) {
            return std::array<std::uint8_t, 3>{f.KeyTable()[3 * p], f.KeyTable()[3 * p + 1],
                                               f.KeyTable()[3 * p + 2]};
        });
    }
    Bytes MacroMemory(std::size_t n) {
        return link.Device().WithFirmware([n](sim::FirmwareModel& f) {
            return Bytes(f.MacroMemory().begin(), f.MacroMemory().begin() + n);
        });
    }

    pages::CMacroControlUI* panel = nullptr;
    TellPrompts prompts;
};

TEST_F(KeyboardMacroPanelTest, AMovedStepReachesTheMacroMemoryAndTheKeyItsSlot) {
    ASSERT_EQ(panel->MacroFolder(), page->DataFolder());
    panel->SelectRow(0);
    Click("macro_btn_down");
    // Header: marker, length 30, one macro, its offset 18; then 2 events: release of 4 after
    // 30 ms, press of 4 after 20 ms.
    const Bytes image = {0xAA, 0x55, 30, 0, 1, 0, 0, 0,  0, 0,    0,    0,  0, 0,    0,
                         0,    18,   0,  2, 0, 0, 0, 30, 0, 0x0A, 0x04, 20, 0, 0x8A, 0x04};
    EXPECT_EQ(MacroMemory(image.size()), image);
    EXPECT_EQ(KeyOnDevice(3), (std::array<std::uint8_t, 3>{0x70, 0, 0}));
    EXPECT_TRUE(prompts.told.empty());
}

TEST_F(KeyboardMacroPanelTest, AFailedMacroWriteSendsTheMacroKeyAsItsDefaultAndSaysSo) {
    panel->WriteToDevice();
    ASSERT_EQ(KeyOnDevice(3), (std::array<std::uint8_t, 3>{0x70, 0, 0}));
    const config::KeyAssignment fallback = page->KeyList()[3].defaultAssignment;
    link.Device().InjectFault(sim::Fault(sim::FaultKind::StatusFE, 0x15));
    panel->WriteToDevice();
    ASSERT_EQ(prompts.told.size(), 1U);
    EXPECT_EQ(prompts.told[0], platform.Resources().Text("message_text_7") + " " +
                                   platform.Resources().Text("keyset_macro_keys_default"));
    EXPECT_EQ(KeyOnDevice(3), (std::array<std::uint8_t, 3>{fallback.type, fallback.param1, fallback.param2}));
    EXPECT_EQ(page->KeyList()[3].current, (config::KeyAssignment{0x70, 0, 0}));  // the profile keeps it
}

}  // namespace
}  // namespace norvane::test
