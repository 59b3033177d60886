// The profile panel of the device pages and the main window's profile actions, on the headless
// toolkit with the real skin against the simulator; profiles go to a temporary data folder.
#include "config/json_file_store.h"
#include "device/command_packet.h"
#include "devices/keyboard/keyboard_device.h"
#include "shell/profile_page/device_profile.h"
#include "shell/profile_page/profile_tabs.h"
#include "sim/sim_device.h"
#include "tests/shell/main_wnd_fixture.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/option.h"

#include <algorithm>
#include <string>
#include <vector>

namespace norvane::test {
namespace {

using shell::CDeviceProfileUI;

class ProfilePageTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    // Plugs a product and makes its page the current one.
    devices::CTarnexUSBDevice& PlugCurrent(std::string_view product) {
        device_ = &Plug(product);
        Scan();
        devices::CTarnexUSBDevice* page = Window().CurrentDevice();
        EXPECT_NE(page, nullptr);
        return *page;
    }
    CDeviceProfileUI& Panel() {
        auto* panel = dynamic_cast<CDeviceProfileUI*>(
            Window().CurrentDevice()->FindSubControl(CDeviceProfileUI::kPanelName));
        if (panel == nullptr) {
            throw std::runtime_error("the current page has no profile panel");
        }
        return *panel;
    }
    ui::CControlUI& InPanel(std::string_view name) {
        ui::CControlUI* control = Panel().FindSubControl(name);
        if (control == nullptr) {
            throw std::runtime_error("no control " + std::string(name) + " in the profile panel");
        }
        return *control;
    }
    ui::CComboUI& Combo() { return dynamic_cast<ui::CComboUI&>(InPanel(CDeviceProfileUI::kCombo)); }
    void Click(std::string_view name) { Window().PaintManager().SendNotify(&InPanel(name), "click"); }
    std::filesystem::path Folder() { return Window().CurrentDevice()->DataFolder(); }
    Json::Value ListFile() { return config::JsonFileStore::ReadJsonFile(Folder() / "ProfileList.ini"); }
    std::vector<std::string> Items() {
        std::vector<std::string> items;
        for (int i = 0; i < Panel().ItemCount(); ++i) {
            items.push_back(Panel().ItemText(i));
        }
        return items;
    }
    std::string Text(std::string_view id) { return platform.Resources().Text(id); }
    // Every file of the data folder with its bytes, to show that nothing changed.
    std::vector<std::pair<std::string, std::string>> Snapshot() {
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "data")) {
            if (entry.is_regular_file()) {
                files.emplace_back(entry.path().string(), ReadText(entry.path()));
            }
        }
        std::ranges::sort(files);
        return files;
    }
    // The commands the host sent the simulated device, in order.
    std::vector<std::uint8_t> SentCommands() {
        std::vector<std::uint8_t> commands;
        for (const sim::WireRecord& r : device_->WireLog()) {
            if (r.direction == sim::WireDirection::HostToDevice && r.bytes.size() > 3) {
                commands.push_back(r.bytes[3]);
            }
        }
        return commands;
    }
    std::size_t CountOf(std::uint8_t command) { return std::ranges::count(SentCommands(), command); }

    sim::SimDevice* device_ = nullptr;
};

TEST_F(ProfilePageTest, ThePagesPanelOwnsTheProfileListAndNamesThePagesProfile) {
    devices::CTarnexUSBDevice& page = PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();
    ASSERT_TRUE(panel.Initialised());
    EXPECT_EQ(panel.DeviceType(), 1);
    EXPECT_EQ(Items(), std::vector<std::string>{"profile1"});
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(panel.NameField(), "profile1");
    EXPECT_EQ(Combo().GetItemAt(0)->GetToolTip(), "profile1");
    ASSERT_FALSE(panel.SelectedId().empty());
    EXPECT_EQ(page.GetProfileName(), panel.SelectedId());
    EXPECT_EQ(panel.SelectedProfilePath(), Folder() / (panel.SelectedId() + ".Json"));
    EXPECT_TRUE(std::filesystem::is_regular_file(panel.SelectedProfilePath()));
    EXPECT_FALSE(panel.MenuShown());
}

TEST_F(ProfilePageTest, AddCopyRenameDeleteKeepTheListAndTheListFileInStep) {
    PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();

    // The menu toggle.
    Click("profile_fun_spread_btn");
    EXPECT_TRUE(panel.MenuShown());
    Click("profile_fun_spread_btn");
    EXPECT_FALSE(panel.MenuShown());

    // Add: appended, the list keeps its selection, the list file names the new one.
    Click("device_add_btn");
    ASSERT_EQ(panel.ItemCount(), 2);
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
    Click("device_copy_btn");
    ASSERT_EQ(panel.ItemCount(), 3);
    ASSERT_EQ(ListFile()["profilelist"].size(), 3U);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Items()[static_cast<std::size_t>(i)],
                  ListFile()["profilelist"][i]["profilename"].asString());
    }

    // Rename: a used name and a blank name are refused with their messages; an empty field
    // does nothing and says nothing.
    struct RenameCase {
        std::string typed;
        std::string message;
        std::string shown;
    };
    const std::string other = panel.ItemText(1);
    const std::vector<RenameCase> cases = {
        {other, Text("message_text_5"), "profile1"},
        {"   ", Text("message_text_25"), "profile1"},
        {"", "", "profile1"},
        {"Night", "", "Night"},
    };
    for (const RenameCase& c : cases) {
        panel.SetNameField(c.typed);
        const std::string before = Window().LastMessage();
        Click("device_profile_edit_save_btn");
        if (!c.message.empty()) {
            EXPECT_EQ(Window().LastMessage(), c.message) << c.typed;
        } else {
            EXPECT_EQ(Window().LastMessage(), before) << c.typed;
        }
        EXPECT_EQ(panel.ItemText(0), c.shown) << c.typed;
        EXPECT_EQ(ListFile()["profilelist"][0]["profilename"].asString(), c.shown) << c.typed;
    }
    EXPECT_EQ(panel.NameField(), "Night");
    EXPECT_EQ(Combo().GetItemAt(0)->GetToolTip(), "Night");

    // Delete the selected last of two: one profile left, selected.
    panel.Select(2, false);
    Click("device_sub_btn");
    panel.Select(1, false);
    const std::filesystem::path deleted = panel.SelectedProfilePath();
    Click("device_sub_btn");
    EXPECT_EQ(Items(), std::vector<std::string>{"Night"});
    EXPECT_EQ(panel.SelectedIndex(), 0);
    EXPECT_EQ(panel.NameField(), "Night");
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);
    EXPECT_FALSE(std::filesystem::exists(deleted));

    // The only profile is never deleted.
    Click("device_sub_btn");
    EXPECT_EQ(Window().LastMessage(), Text("profile_delete_last"));
    EXPECT_EQ(panel.ItemCount(), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(panel.SelectedProfilePath()));
}

TEST_F(ProfilePageTest, AddIsRefusedAtFiftyProfiles) {
    PlugCurrent("mouse");
    CDeviceProfileUI& panel = Panel();
    while (panel.ItemCount() < config::kMaxProfiles) {
        const int before = panel.ItemCount();
        Click("device_add_btn");
        ASSERT_EQ(panel.ItemCount(), before + 1);
    }
    const auto files = Snapshot();
    Click("device_add_btn");
    EXPECT_EQ(Window().LastMessage(), Text("profile_add_full"));
    EXPECT_EQ(panel.ItemCount(), config::kMaxProfiles);
    EXPECT_TRUE(Snapshot() == files);
}

TEST_F(ProfilePageTest, ImportTakesOnlyAProfileAndAnythingElseIsToldAndChangesNothing) {
    PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();
    const std::filesystem::path outside = dir / "outside";
    std::filesystem::create_directories(outside);

    struct Refused {
        std::string what;
        std::string content;
    };
    const std::vector<Refused> refused = {
        {"not JSON", "\x01\x02{{{ garbage"},
        {"cut short", R"({"profilename": "Half", "profileUUID": "abc", "Device": {)"},
        {"an array", R"([{"profilename": "A", "profileUUID": "b"}])"},
        {"no identifier", R"({"profilename": "Loose", "Device": {}})"},
        {"no name", R"({"profileUUID": "x1", "Device": {}})"},
        {"empty", ""},
    };
    for (const Refused& r : refused) {
        const std::filesystem::path file = outside / "in.json";
        WriteText(file, r.content);
        const auto files = Snapshot();
        platform.SetFileDialogAnswer(file);
        Window().ShowMessage("", false);
        Click("device_import_btn");
        EXPECT_EQ(Window().LastMessage(), Text("profile_import_refused")) << r.what;
        EXPECT_EQ(panel.ItemCount(), 1) << r.what;
        EXPECT_TRUE(Snapshot() == files) << r.what;
    }

    // A cancelled dialog does nothing.
    platform.SetFileDialogAnswer({});
    Window().ShowMessage("", false);
    Click("device_import_btn");
    EXPECT_EQ(Window().LastMessage(), "");
    EXPECT_EQ(panel.ItemCount(), 1);

    // A profile whose identifier points outside the folder gets an identifier of its own.
    const std::filesystem::path hostile = outside / "Hostile.json";
    WriteText(hostile, R"({"profilename": "Hostile", "profileUUID": "../../escaped", "Device": {}})");
    platform.SetFileDialogAnswer(hostile);
    Click("device_import_btn");
    ASSERT_EQ(panel.ItemCount(), 2);
    EXPECT_EQ(panel.ItemText(1), "Hostile");
    const std::string id = ListFile()["profilelist"][1]["profileUUID"].asString();
    EXPECT_NE(id, "../../escaped");
    EXPECT_EQ(id.find('/'), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(Folder() / (id + ".Json")));
    EXPECT_FALSE(std::filesystem::exists(Folder().parent_path().parent_path() / "escaped.Json"));
    // The import keeps the selection.
    EXPECT_EQ(panel.SelectedIndex(), 0);
}

TEST_F(ProfilePageTest, ExportWritesTheSelectedProfileAndAMissingOneIsTold) {
    PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();
    const std::filesystem::path target = dir / "exported.json";
    platform.SetFileDialogAnswer(target);
    Click("device_export_btn");
    const Json::Value exported = config::JsonFileStore::ReadJsonFile(target);
    ASSERT_TRUE(exported.isObject());
    EXPECT_EQ(exported["profilename"].asString(), "profile1");

    // The profile file gone: the target keeps what it held and the user is told.
    std::filesystem::remove(panel.SelectedProfilePath());
    const std::string before = ReadText(target);
    Click("device_export_btn");
    EXPECT_EQ(Window().LastMessage(), Text("profile_export_failed"));
    EXPECT_EQ(ReadText(target), before);
}

TEST_F(ProfilePageTest, ResetAsksFirstAndRestoresTheFactoryProfile) {
    PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();
    const auto files = Snapshot();
    messageAnswer = 0;
    Click("device_reset_btn");
    EXPECT_EQ(Window().LastMessage(), Text("message_text_22"));
    EXPECT_TRUE(Snapshot() == files);
    EXPECT_EQ(panel.ItemCount(), 1);

    // Confirmed: the selected profile is the factory's again, under its own name and id.
    Json::Value edited = config::JsonFileStore::ReadJsonFile(panel.SelectedProfilePath());
    edited["Device"] = Json::Value("edited");
    ASSERT_TRUE(config::JsonFileStore::WriteJsonFile(panel.SelectedProfilePath(), edited));
    messageAnswer = 1;
    Click("device_reset_btn");
    EXPECT_EQ(Window().LastMessage(), Text("message_text_22"));
    const Json::Value confirmed = config::JsonFileStore::ReadJsonFile(panel.SelectedProfilePath());
    EXPECT_TRUE(confirmed["Device"].isArray());
    EXPECT_EQ(confirmed["profileUUID"].asString(), panel.SelectedId());
    EXPECT_EQ(panel.ItemCount(), 1);

    // The panel's reset: the selected profile is the factory's again under its own name.
    Json::Value changed = config::JsonFileStore::ReadJsonFile(panel.SelectedProfilePath());
    changed["Device"] = Json::Value("edited");
    ASSERT_TRUE(config::JsonFileStore::WriteJsonFile(panel.SelectedProfilePath(), changed));
    ASSERT_TRUE(panel.Reset().Ok());
    const Json::Value reset = config::JsonFileStore::ReadJsonFile(panel.SelectedProfilePath());
    EXPECT_TRUE(reset["Device"].isArray());
    EXPECT_EQ(reset["profilename"].asString(), "profile1");
    EXPECT_EQ(reset["profileUUID"].asString(), panel.SelectedId());
}

TEST_F(ProfilePageTest, ASelectionAppliesOnce400msAfterTheLastSelect) {
    devices::CTarnexUSBDevice& page = PlugCurrent("keyboard");
    auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(&page);
    ASSERT_NE(keyboard, nullptr);
    if (keyboard->KeyList().empty()) {
        keyboard->SyncFromDevice();
    }
    ASSERT_FALSE(keyboard->KeyList().empty());
    CDeviceProfileUI& panel = Panel();
    Click("device_add_btn");
    Click("device_add_btn");
    ASSERT_EQ(panel.ItemCount(), 3);
    ui::CComboUI* combo = &Combo();
    const auto select = [&](int index) {
        combo->SelectItem(index, false);
        Window().PaintManager().SendNotify(combo, "itemselect");
    };
    const std::uint8_t settingsWrite = static_cast<std::uint8_t>(device::Command::WriteSettings);
    const std::uint8_t keys = static_cast<std::uint8_t>(device::Command::WriteKeyTable);

    // Profile 1 lights the keys with its own colours, so that the keyboard writes them.
    const std::filesystem::path second =
        Folder() / (ListFile()["profilelist"][1]["profileUUID"].asString() + ".Json");
    Json::Value custom = config::JsonFileStore::ReadJsonFile(second);
    ASSERT_TRUE(custom["Device"][0]["LightInfo"].isObject());
    custom["Device"][0]["LightInfo"]["SelectItem"] = 19;
    ASSERT_TRUE(config::JsonFileStore::WriteJsonFile(second, custom));

    // One select: nothing before 400 ms, then the profile is the device's, in order.
    device_->ClearWireLog();
    select(1);
    platform.Advance(399);
    EXPECT_EQ(CountOf(settingsWrite), 0U);
    EXPECT_NE(page.GetProfileName(), ListFile()["profilelist"][1]["profileUUID"].asString());
    platform.Advance(1);
    EXPECT_EQ(page.GetProfileName(), ListFile()["profilelist"][1]["profileUUID"].asString());
    EXPECT_EQ(panel.SelectedId(), page.GetProfileName());
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
    EXPECT_EQ(panel.NameField(), panel.ItemText(1));
    const std::vector<std::uint8_t> sent = SentCommands();
    const auto firstSettings = std::ranges::find(sent, settingsWrite);
    const auto firstKeys = std::ranges::find(sent, keys);
    const auto colours = std::ranges::find(sent, static_cast<std::uint8_t>(device::Command::WriteKeyColors));
    ASSERT_NE(firstSettings, sent.end());
    ASSERT_NE(colours, sent.end());
    ASSERT_NE(firstKeys, sent.end());
    EXPECT_LT(firstSettings, colours);
    EXPECT_LT(colours, firstKeys);
    const std::size_t oneApply = CountOf(settingsWrite);

    // Two selects within 400 ms: applied once, with the later selection.
    device_->ClearWireLog();
    select(2);
    platform.Advance(200);
    select(0);
    platform.Advance(399);
    EXPECT_EQ(CountOf(settingsWrite), 0U);
    platform.Advance(1);
    EXPECT_EQ(CountOf(settingsWrite), oneApply);
    EXPECT_EQ(page.GetProfileName(), ListFile()["profilelist"][0]["profileUUID"].asString());
    platform.Advance(2000);
    EXPECT_EQ(CountOf(settingsWrite), oneApply);
}

TEST_F(ProfilePageTest, TheListLockTakesThePanelAlong) {
    PlugCurrent("keyboard");
    Window().Lock(true, false);
    EXPECT_FALSE(Panel().IsEnabled());
    Window().Lock(false, true);
    EXPECT_FALSE(Panel().IsEnabled());
    Window().Lock(true, true);
    EXPECT_TRUE(Panel().IsEnabled());
}

TEST_F(ProfilePageTest, PageTabsSwitchThePageAndMarkTheTab) {
    devices::CTarnexUSBDevice& page = PlugCurrent("keyboard");
    CDeviceProfileUI& panel = Panel();
    for (const int number : {2, 3, 4, 1}) {
        const std::string_view name = shell::kProfileTabs[static_cast<std::size_t>(number - 1)].name;
        Window().PaintManager().SendNotify(&InPanel(name), "selectchanged");
        EXPECT_EQ(page.GetFunctionTab(), number) << name;
        for (const shell::ProfileTab& tab : shell::kProfileTabs) {
            auto* option = dynamic_cast<ui::COptionUI*>(panel.TabOption(tab.number));
            ASSERT_NE(option, nullptr) << tab.name;
            EXPECT_EQ(option->IsSelected(), tab.number == number) << name << " " << tab.name;
        }
    }
}

TEST_F(ProfilePageTest, TabsShownPerDeviceType) {
    // Types without a row keep the layout's visibility: the voice, voice-effect and surround
    // tabs hidden, the others shown.
    struct Case {
        int type;
        std::vector<int> shown;
    };
    const std::vector<Case> cases = {
        {1, {1, 2, 3, 4}}, {2, {1, 2, 3, 4, 5}}, {3, {1}},          {4, {1, 4}},
        {5, {1}},          {6, {1, 2, 3, 4, 5}}, {7, {1, 6, 7, 8}}, {9, {1, 2, 3, 4, 5}},
    };
    auto* root = dynamic_cast<ui::CContainerUI*>(Window().PaintManager().GetRoot());
    ASSERT_NE(root, nullptr);
    for (const Case& c : cases) {
        TempDir folder;
        auto* panel = static_cast<CDeviceProfileUI*>(root->Add(std::make_unique<CDeviceProfileUI>()));
        ASSERT_TRUE(panel->Initialise(c.type, folder.Path(), dir / "DefaultData" / "MousePad.Json").Ok());
        std::vector<int> shown;
        for (const shell::ProfileTab& tab : shell::kProfileTabs) {
            ui::CControlUI* option = panel->TabOption(tab.number);
            ASSERT_NE(option, nullptr) << tab.name;
            if (option->IsVisible()) {
                shown.push_back(tab.number);
            }
        }
        EXPECT_EQ(shown, c.shown) << "type " << c.type;
        root->Remove(panel);
    }
}

TEST_F(ProfilePageTest, AListNamingAFileOutsideTheFolderNeverReachesIt) {
    TempDir folder;
    const std::filesystem::path data = folder / "device";
    std::filesystem::create_directories(data);
    WriteText(
        data / "ProfileList.ini",
        R"({"profilelist": [{"profilename": "Evil", "profileUUID": "../escaped"}], "profileselect": 0})");
    WriteText(folder / "escaped.Json", R"({"profilename": "Outside", "profileUUID": "../escaped"})");
    const std::string outside = ReadText(folder / "escaped.Json");
    auto* root = dynamic_cast<ui::CContainerUI*>(Window().PaintManager().GetRoot());
    ASSERT_NE(root, nullptr);
    auto* panel = static_cast<CDeviceProfileUI*>(root->Add(std::make_unique<CDeviceProfileUI>()));
    panel->Initialise(1, data, dir / "DefaultData" / "MousePad.Json");
    for (int i = 0; i < panel->ItemCount(); ++i) {
        panel->Select(i, false);
        const std::filesystem::path path = panel->SelectedProfilePath();
        if (!path.empty()) {
            EXPECT_EQ(path.parent_path(), data) << i;
        }
        static_cast<void>(panel->Reset());
        static_cast<void>(panel->Export(folder / "out.json"));
    }
    EXPECT_EQ(ReadText(folder / "escaped.Json"), outside);
    root->Remove(panel);
}

TEST_F(ProfilePageTest, AHeadsetPageShowsItsVoiceTabsAndSwitchesToThem) {
    devices::CTarnexUSBDevice& page = PlugCurrent("headset");
    CDeviceProfileUI& panel = Panel();
    EXPECT_EQ(panel.DeviceType(), 7);
    for (const int number : {1, 6, 7, 8}) {
        EXPECT_TRUE(panel.TabOption(number)->IsVisible()) << number;
    }
    for (const int number : {2, 3, 4, 5}) {
        EXPECT_FALSE(panel.TabOption(number)->IsVisible()) << number;
    }
    Window().PaintManager().SendNotify(&InPanel("6533_voice_Op_tab"), "selectchanged");
    EXPECT_EQ(page.GetFunctionTab(), 6);
    auto* keySwitch = dynamic_cast<ui::CTabLayoutUI*>(page.FindSubControl("device_key_function_switch"));
    ASSERT_NE(keySwitch, nullptr);
    EXPECT_EQ(keySwitch->GetCurSel(), 1);
}

}  // namespace
}  // namespace norvane::test
