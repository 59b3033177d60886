// The keyboard's device object on the shipped keyboard page (headless) and the simulated
// keyboard: the first full read, frames, events, a profile switch and device faults.
#include "config/macro_library.h"
#include "device/command_packet.h"
#include "devices/keyboard/factory_key_codes.h"
#include "devices/page_panels.h"
#include "sim/sim_device.h"
#include "tests/devices/keyboard/keyboard_device_fixture.h"
#include "ui/container.h"
#include "ui/notify.h"
#include "ui/slider.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace norvane::test {
namespace {

using Cmd = device::Command;

constexpr std::uint8_t C(Cmd c) {
    return static_cast<std::uint8_t>(c);
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

pages::CDeviceKeyButtonUI* LightButton(CTarnexKeyboardDevice& page, int i) {
    return page.LightButtons()[static_cast<std::size_t>(i)];
}

TEST_F(KeyboardDeviceTest, FirstFullReadSendsTheKeyAndSettingsSequenceAndFillsThePage) {
    SeedSettings(6);  // static red, full brightness
    link.Device().WithFirmware([](sim::FirmwareModel& f) {
        f.Settings()[20] = 1;  // Key6Flag
        f.Settings()[21] = 1;  // WinFlag
    });
    page->SyncFromDevice();

    EXPECT_EQ(Transfers(),
              (std::vector<std::uint8_t>{C(Cmd::BeginConfig), C(Cmd::ReadDeviceInfo), C(Cmd::ReadKeyTable),
                                         C(Cmd::ReadKeyLedMap), C(Cmd::EndConfig), C(Cmd::ReadSettings)}));
    EXPECT_EQ(BytesOf(C(Cmd::ReadKeyTable)), 126u * 3);
    EXPECT_EQ(BytesOf(C(Cmd::ReadKeyLedMap)), 126u);
    EXPECT_EQ(BytesOf(C(Cmd::ReadSettings)), 1u + 28u);  // the active slot, then its record
    EXPECT_EQ(page->Tables().keyCount, 126);
    EXPECT_EQ(page->LayoutVariantShown(), 0);

    // Options from the settings read; the profile holds them on disk.
    EXPECT_TRUE(OptionSelected("winlockflag_option"));
    EXPECT_TRUE(OptionSelected("6flag_option"));
    EXPECT_FALSE(OptionSelected("wflag_option"));
    // The factory profile's repeat delay 1 and polling rate 3.
    EXPECT_TRUE(OptionSelected("repeat_delay_check_1"));
    EXPECT_FALSE(OptionSelected("repeat_delay_check_0"));
    EXPECT_TRUE(OptionSelected("polling_rate_option_3"));
    EXPECT_NE(window->FindControl("repeat_delay_time_label1")->GetText().find("500ms"), std::string::npos);
    config::CKeyboardProfiledata stored;
    stored.SetDefaultPath(page->DefaultProfileFile());
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetKeyboardSettings().winFlag, 1);
    EXPECT_EQ(stored.GetLightInfo().selectedMode, 6);

    // The light thread renders the mode; the frame timer colours the key picture and,
    // the mode running on the keyboard, sends nothing.
    EXPECT_TRUE(page->LightThreadRunning());
    ASSERT_TRUE(Eventually([&] { return page->GetLedColor(0) == light::LedColor{255, 0, 0, 255}; }));
    link.Device().ClearWireLog();
    page->SendLightFrame();
    EXPECT_TRUE(Sent().empty());
    for (int key : {0, 51, 125, 126}) {  // 126: a segment of the space bar
        auto* button = LightButton(*page, key);
        ASSERT_NE(button, nullptr) << key;
        EXPECT_EQ(button->LightColor(), 0x0000FFu) << key;
        EXPECT_EQ(button->LightLevel(), 255u) << key;
    }
}

TEST_F(KeyboardDeviceTest, HostRenderedModesStreamTheirFramesAndOnBoardModesDoNot) {
    struct Case {
        std::uint8_t mode;
        std::size_t streamed;
    };
    for (const Case c : {Case{30, 378}, Case{29, 378}, Case{4, 0}, Case{19, 0}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        SeedSettings(c.mode);
        page->SetPagePreview(false);  // streamed modes render without anyone watching the page
        page->SyncFromDevice();
        const std::array<std::int32_t, 3> outside = {10, 200, 30};
        page->FeedAudioLevels(outside);
        if (c.mode == 30) {
            ASSERT_TRUE(Eventually([&] {
                return page->GetLedColor(0) == light::LedColor{10, 200, 30, 255};
            }));
        }
        link.Device().ClearWireLog();
        page->SendLightFrame();
        EXPECT_EQ(BytesOf(C(Cmd::WriteLightFrame)), c.streamed);
        if (c.mode == 30) {
            // Key 0 at its LED as red, blue, green.
            const std::size_t led = page->Tables().maps.led[0];
            const auto sent = Sent();
            ASSERT_LT(led, 18u);  // in the first chunk
            EXPECT_EQ(sent[0][8 + 3 * led], 10 * 255 / 256);
            EXPECT_EQ(sent[0][8 + 3 * led + 1], 30 * 255 / 256);
            EXPECT_EQ(sent[0][8 + 3 * led + 2], 200 * 255 / 256);
        }
    }
}

TEST_F(KeyboardDeviceTest, EventCodesReachTheUiThreadAsResyncAndRefresh) {
    SeedSettings(6);
    page->SyncFromDevice();
    ASSERT_TRUE(OpenEvents());

    // 0x401: a settings read 50 ms later on the UI clock.
    link.Device().ClearWireLog();
    SeedSettings(17);
    link.Device().SendEvent(0x0401);
    ASSERT_TRUE(PumpPosted());
    platform.Advance(49);
    EXPECT_TRUE(Sent().empty());
    platform.Advance(1);
    EXPECT_EQ(Transfers(), (std::vector<std::uint8_t>{C(Cmd::ReadSettings)}));
    EXPECT_EQ(page->LightState().selectedMode, 17);
    EXPECT_EQ(page->EngineMode(), 17);

    // 0x402: the profile is reloaded from its file first.
    auto keys = page->KeyList();
    ASSERT_GT(keys.size(), 3u);
    config::CKeyboardProfiledata other;
    other.SetProfilePath(ProfileFile());
    other.SetDefaultPath(page->DefaultProfileFile());
    ASSERT_NE(other.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Missing);
    keys[3].current = {0x20, 0x00, 0x04};  // key 3 types "a"
    other.SetKeyList(keys);
    ASSERT_TRUE(other.SaveProfile());
    link.Device().SendEvent(0x0402);
    ASSERT_TRUE(PumpPosted());
    EXPECT_TRUE(page->RebuildPending());
    platform.Advance(50);
    EXPECT_FALSE(page->RebuildPending());
    EXPECT_EQ(page->KeyList()[3].current, (config::KeyAssignment{0x20, 0x00, 0x04}));

    // 0x1003: the active profile index, refreshed on the UI thread without device I/O.
    link.Device().ClearWireLog();
    link.Device().SendEvent(0x1003);
    ASSERT_TRUE(PumpPosted());
    EXPECT_EQ(page->Settings().activeProfile, 3);
    platform.Advance(100);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(window->dispatched, 3);
}

TEST_F(KeyboardDeviceTest, ProfileSwitchWritesSettingsMacrosColoursThenKeys) {
    SeedSettings(19);  // custom colours: written with the switch
    page->SyncFromDevice();
    config::MacroLibrary library(page->DataFolder());
    library.Load();
    ASSERT_FALSE(library.NewMacro().empty());
    ASSERT_TRUE(library.Save(0, {{10, 4, "down", 20}, {10, 4, "up", 30}}));
    auto keys = page->KeyList();
    keys[3].current = {0x70, 0, 0};  // macro 0 on key 3
    page->SetKeyList(keys);
    page->SaveDeviceProfile();
    link.Device().ClearWireLog();

    const devices::ProfileSwitchResult result = page->SwitchProfile();

    EXPECT_EQ(result.load, 1);
    EXPECT_EQ(result.settings, 1);
    EXPECT_EQ(result.macros, 0);
    EXPECT_EQ(result.colors, 1);
    EXPECT_EQ(result.keys, 1);
    const std::vector<std::uint8_t> expected = {
        C(Cmd::BeginConfig),    C(Cmd::WriteSettings), C(Cmd::EndConfig),  // settings
        C(Cmd::ReadDeviceInfo), C(Cmd::BeginConfig),   C(Cmd::WriteMacroMemory), C(Cmd::EndConfig),  // macros
        C(Cmd::WriteKeyColors),  // colours
        C(Cmd::ReadDeviceInfo), C(Cmd::BeginConfig),   C(Cmd::WriteKeyTable),    C(Cmd::EndConfig),  // keys
    };
    EXPECT_EQ(Transfers(), expected);
    // The macro's key carries device slot 0 in the keyboard's table.
    const std::size_t position = page->Tables().maps.position[3];
    link.Device().WithFirmware([&](sim::FirmwareModel& f) {
        EXPECT_EQ(f.KeyTable()[3 * position], 0x70);
        EXPECT_EQ(f.KeyTable()[3 * position + 1], 0);
    });
}

TEST_F(KeyboardDeviceTest, SettingChangesOfTheOptionControlsAreStoredAndSent) {
    SeedSettings(6);
    page->SyncFromDevice();
    link.Device().ClearWireLog();

    ASSERT_TRUE(Select("wflag_option"));
    EXPECT_EQ(Transfers(),
              (std::vector<std::uint8_t>{C(Cmd::BeginConfig), C(Cmd::WriteSettings), C(Cmd::EndConfig)}));
    link.Device().WithFirmware([](sim::FirmwareModel& f) { EXPECT_EQ(f.Settings()[19], 1); });

    // The repeat delay is the profile's alone.
    link.Device().ClearWireLog();
    ASSERT_TRUE(Select("repeat_delay_check_2"));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(page->Settings().settings.repeatDelay, 2);
    EXPECT_NE(window->FindControl("repeat_delay_time_label1")->GetText().find("750ms"), std::string::npos);
    config::CKeyboardProfiledata stored;
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetKeyboardSettings().wFlag, 1);
    EXPECT_EQ(stored.GetKeyboardSettings().repeatDelay, 2);

    // The reset button brings back the factory profile's rate 2 and delay 1, shown and stored.
    auto* slider = dynamic_cast<ui::CSliderUI*>(window->FindControl("repeat_rate_slider"));
    ASSERT_NE(slider, nullptr);
    slider->SetValue(7);
    window->PaintManager().SendNotify(slider, ui::notify::kValueChanged);
    ASSERT_EQ(page->Settings().settings.repeat, 7);
    window->PaintManager().SendNotify(window->FindControl("reset_repeat_btn"), ui::notify::kClick);
    EXPECT_EQ(page->Settings().settings.repeat, 2);
    EXPECT_EQ(page->Settings().settings.repeatDelay, 1);
    EXPECT_EQ(slider->GetValue(), 2);
    EXPECT_TRUE(OptionSelected("repeat_delay_check_1"));
    EXPECT_TRUE(Sent().empty());
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetKeyboardSettings().repeat, 2);
    EXPECT_EQ(stored.GetKeyboardSettings().repeatDelay, 1);
    EXPECT_EQ(stored.GetKeyboardSettings().wFlag, 1);
}

TEST_F(KeyboardDeviceTest, FunctionTabTypeEnablesOrDisablesKey110) {
    auto* key = page->KeyButtons()[110];
    ASSERT_NE(key, nullptr);
    page->SwitchFunctionTab(2);
    EXPECT_FALSE(key->IsOwnEnabled());
    page->SwitchFunctionTab(1);
    EXPECT_TRUE(key->IsOwnEnabled());
}

TEST_F(KeyboardDeviceTest, KeyReadShowsTheKeyPictureOfTheKeyboardAndLanguage) {
    struct Case {
        const char* product;
        int language;
        int variant;
    };
    for (const Case c : {Case{"keyboard", 6, 0}, Case{"keyboard2", 6, 1}, Case{"keyboard2", 8, 4},
                         Case{"keyboard2", 3, 2}, Case{"keyboard2", 12, 0}}) {
        SCOPED_TRACE(std::string(c.product) + " language " + std::to_string(c.language));
        SimLink other(c.product);
        auto& channel = page->CommandChannel();
        channel.SetOpen(false);
        channel.Cable().Close();
        ASSERT_TRUE(other.OpenCommand(channel, device::LinkMode::Cable));
        for (const auto& row : device::DeviceCatalog()) {
            if (row.vendorId == other.Device().Spec().vendorId &&
                row.productId == other.Device().Spec().productId && row.role == device::DeviceRole::Command) {
                page->SetCatalogEntry(row);
            }
        }
        page->SetLanguageIndex(c.language);
        ASSERT_EQ(page->ReadKeysFromDevice(), 1);
        EXPECT_EQ(page->LayoutVariantShown(), c.variant);
        auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(window->FindControl("keyboard_device_key_layout"));
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(tabs->GetCurSel(), c.variant);
        // The buttons are those of the variant's picture.
        const std::string picture = "keyboard_device_key_light_" + std::to_string(c.variant);
        for (auto* button : {page->KeyButtons()[0], page->LightButtons()[0]}) {
            ASSERT_NE(button, nullptr);
            ASSERT_NE(button->GetParent(), nullptr);
            EXPECT_EQ(button->GetParent()->GetName(), picture);
        }
        EXPECT_EQ(page->SelectionPanel()->GetName(), picture);
        channel.SetOpen(false);
        channel.Cable().Close();
    }
}

TEST_F(KeyboardDeviceTest, PaintedKeyIsStoredInItsGroupAndSentAtTheGroupsIndex) {
    SeedSettings(19, 0, 0, 0, 255);  // custom colours, painting blue
    page->SyncFromDevice();
    page->SetCustomGroup(2);
    link.Device().ClearWireLog();

    EXPECT_EQ(page->PaintKey(5), 1);
    EXPECT_EQ(page->GetLedColor(5).blue, 255);
    EXPECT_EQ(Transfers(), (std::vector<std::uint8_t>{C(Cmd::WriteKeyColors)}));
    const auto sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0][5] | sent[0][6] << 8, 2 * 512);
    EXPECT_EQ(BytesOf(C(Cmd::WriteKeyColors)), 126u * 3);
    config::CKeyboardProfiledata stored;
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetCustomGroupIndex(), 2);
    EXPECT_EQ(stored.GetCustomColors(2, 170)[5].blue, 255);

    // Outside the custom mode, and past the LEDs, nothing is painted.
    SeedSettings(6);
    page->ResyncFromDevice();
    link.Device().ClearWireLog();
    EXPECT_NE(page->PaintKey(6), 1);
    EXPECT_NE(page->PaintKey(170), 1);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyboardDeviceTest, MacroKeysWithoutTheirMacroGetTheirDefaultsAndRestoreDefaultsResetsTheProfile) {
    SeedSettings(6);
    page->SyncFromDevice();
    auto keys = page->KeyList();
    ASSERT_GT(keys.size(), 9u);
    keys[3].current = {0x70, 5, 0};     // macro 5: the library is empty
    keys[9].current = {0x20, 0, 0x04};  // reassigned: "a"
    page->SetKeyList(keys);
    page->RefreshKeyCaptions();
    EXPECT_EQ(page->KeyButtons()[3]->IsKeySetHidden(), false);
    EXPECT_EQ(page->KeyButtons()[9]->IsKeySetHidden(), false);
    EXPECT_EQ(page->KeyButtons()[9]->GetText(), "A");

    page->ValidateMacroKeys();
    EXPECT_EQ(page->KeyList()[3].current, page->KeyList()[3].defaultAssignment);
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x20, 0, 0x04}));
    EXPECT_TRUE(page->KeyButtons()[3]->IsKeySetHidden());
    config::CKeyboardProfiledata stored;
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetKeyList()[3].current, page->KeyList()[3].defaultAssignment);

    page->RestoreDefaults();
    EXPECT_EQ(page->KeyList()[9].current, page->KeyList()[9].defaultAssignment);
    EXPECT_TRUE(page->KeyButtons()[9]->IsKeySetHidden());
    ASSERT_EQ(stored.LoadDeviceDocument(ProfileFile()), config::LoadStatus::Loaded);
    EXPECT_EQ(stored.GetKeyList()[9].current, page->KeyList()[9].defaultAssignment);
}

// A power panel that keeps the status blocks it is shown.
class StatusPanel : public ui::CControlUI, public devices::IStatusPanel {
public:
    void ShowStatus(std::span<const std::uint8_t> status) override {
        shown.emplace_back(status.begin(), status.end());
    }
    std::vector<std::vector<std::uint8_t>> shown;
};

TEST_F(KeyboardDeviceTest, StatusPollReachesThePowerPanelUnlessSuspended) {
    StatusPanel panel;
    page->SetPowerPanel(&panel);
    page->SetWirelessCapable(true);
    EXPECT_FALSE(page->CheckLink());  // by cable there is no link to check

    page->SetStatusPollSuspended(1);
    page->PollStatus();
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(panel.shown.empty());

    page->SetStatusPollSuspended(0);
    page->PollStatus();
    EXPECT_EQ(Transfers(),
              (std::vector<std::uint8_t>{C(Cmd::ReadStatus)}));  // by cable the link needs no query
    ASSERT_EQ(panel.shown.size(), 1u);
    ASSERT_EQ(panel.shown[0].size(), 6u);
    EXPECT_EQ(panel.shown[0][3], 0);  // by cable
    ASSERT_TRUE(page->LastStatus().has_value());

    link.Device().InjectFault(sim::Fault(sim::FaultKind::NoAnswer, C(Cmd::ReadStatus)));
    page->PollStatus();
    EXPECT_EQ(panel.shown.size(), 1u);  // a failed poll shows nothing
    page->SetPowerPanel(nullptr);
}

// A fault on one command of the first full read or of a resync.
struct FaultCase {
    const char* name;
    sim::FaultKind kind;
    Cmd command;
    bool resync;  // else the first full read
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class KeyboardDeviceFaultTest : public KeyboardDeviceTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(KeyboardDeviceFaultTest, FailedReadLeavesProfileAndTablesAndThePageUsable) {
    const FaultCase c = GetParam();
    SeedSettings(6);
    page->SyncFromDevice();
    ASSERT_EQ(page->Tables().keyCount, 126);
    const std::string before = FileBytes(ProfileFile());
    ASSERT_FALSE(before.empty());
    const auto tables = page->Tables().cached;

    SeedSettings(17, 1, 1, 2, 3);  // what a read that went through would bring
    link.Device().WithFirmware([](sim::FirmwareModel& f) { f.Settings()[21] = 1; });
    link.Device().ClearWireLog();
    link.Device().InjectFault(sim::Fault(c.kind, C(c.command)));
    if (c.resync) {
        page->ResyncFromDevice();
    } else {
        page->SyncFromDevice();
    }

    EXPECT_EQ(FileBytes(ProfileFile()), before);
    EXPECT_EQ(page->Tables().cached, tables);
    EXPECT_EQ(page->LightState().selectedMode, 6);
    EXPECT_FALSE(OptionSelected("winlockflag_option"));
    const auto commands = Commands();
    if (c.kind != sim::FaultKind::Unplug) {
        EXPECT_EQ(std::count(commands.begin(), commands.end(), C(Cmd::BeginConfig)),
                  std::count(commands.begin(), commands.end(), C(Cmd::EndConfig)));
    }
    // The page goes on: its controls and the frame timer still work.
    page->RefreshPage();
    page->SendLightFrame();
    EXPECT_FALSE(OptionSelected("winlockflag_option"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, KeyboardDeviceFaultTest,
    ::testing::Values(FaultCase{"NoAnswerOnKeyTable", sim::FaultKind::NoAnswer, Cmd::ReadKeyTable, false},
                      FaultCase{"StatusFFOnLedMap", sim::FaultKind::StatusFF, Cmd::ReadKeyLedMap, false},
                      FaultCase{"StatusFEOnSettings", sim::FaultKind::StatusFE, Cmd::ReadSettings, false},
                      FaultCase{"NoAnswerOnSettingsResync", sim::FaultKind::NoAnswer, Cmd::ReadSettings,
                                true},
                      FaultCase{"UnplugInKeyTable", sim::FaultKind::Unplug, Cmd::ReadKeyTable, false},
                      FaultCase{"UnplugInSettingsResync", sim::FaultKind::Unplug, Cmd::ReadSettings, true}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace norvane::test
