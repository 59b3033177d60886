#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "config/json_file_store.h"
#include "config/macro_library.h"
#include "input/device_hook.h"
#include "input/hook_messages.h"
#include "input/synthetic_backend.h"
#include "pages/macro/combo_edit_element.h"
#include "pages/macro/macro_control.h"
#include "pages/macro/redio_macro_button.h"
#include "pages/picture_controls.h"
#include "tests/ui/ui_fixture.h"
#include "ui/combo.h"
#include "ui/edit.h"
#include "ui/list.h"
#include "ui/option.h"

namespace norvane::pages {
namespace {

using config::KeyAssignment;
using config::KeyListEntry;
using config::MacroEvent;
using ui::test::Ctl;

constexpr KeyAssignment kDefaultKey{0x20, 0, 4};

// The device object as the panel sees it: keys, profile files and the device write.
struct FakeLink : IMacroDeviceLink {
    std::vector<KeyListEntry> keys;
    std::vector<std::filesystem::path> profiles;
    std::filesystem::path current;
    ui::CComboUI* selector = nullptr;
    bool device = true;
    MacroWriteOutcome outcome;
    std::vector<std::string> calls;

    std::vector<KeyListEntry> CurrentKeys() const override { return keys; }
    void StoreCurrentKeys(std::vector<KeyListEntry> k) override {
        keys = std::move(k);
        calls.emplace_back("store");
    }
    std::vector<std::filesystem::path> ProfileFiles() const override { return profiles; }
    std::filesystem::path CurrentProfileFile() const override { return current; }
    void ReloadMacroNames() override { calls.emplace_back("names"); }
    void RefreshKeyCaptions() override { calls.emplace_back("captions"); }
    ui::CComboUI* MacroSelector() override { return selector; }
    std::optional<MacroWriteOutcome> WriteToDevice() override {
        calls.emplace_back("write");
        if (!device) {
            return std::nullopt;
        }
        return outcome;
    }
};

struct FakePrompts : IMacroPrompts {
    std::vector<std::string> asked;
    std::vector<std::string> told;
    std::vector<bool> answers;  // consumed in order; missing answers confirm
    std::optional<std::filesystem::path> openFile;
    std::optional<std::filesystem::path> saveFile;

    bool Ask(std::string_view id) override {
        asked.emplace_back(id);
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void Tell(std::string_view text) override { told.emplace_back(text); }
    std::optional<std::filesystem::path> ChooseOpenFile(std::string_view) override { return openFile; }
    std::optional<std::filesystem::path> ChooseSaveFile(std::string_view) override { return saveFile; }
};

MacroEvent KeyEvent(int usage, std::string_view action, int delay = 0) {
    return {10, usage, std::string(action), delay};
}

class MacroPanelTest : public ui::test::UiFixture {
protected:
    void SetUp() override {
        RegisterPictureControls(ui::CControlFactory::Instance());
        const std::filesystem::path skin = std::filesystem::path(NORVANE_SOURCE_DIR) / "resources/skin";
        for (const char* file :
             {"XML/CustomControlXML/MacroControl.xml", "XML/CustomControlXML/ComboEditElementItem.xml"}) {
            std::filesystem::create_directories((dir / file).parent_path());
            std::filesystem::copy_file(skin / file, dir / file);
        }
        platform.Resources().LoadLanguageFromString(
            R"(<Language name="t"><Text id="message_text_5" value="taken"/><Text id="message_text_7" value="failed"/>)"
            R"(<Text id="message_text_16" value="too long by %d"/><Text id="keyset_macro_keys_default" value="keys default"/>)"
            R"(</Language>)");
        data = dir / "data";
        std::filesystem::create_directories(data);
        w = UiFixture::Open(
            R"(<HorizontalLayout><MacroControl name="MacroControlItem"/><Combo name="keyset_macro_combo" width="10"/></HorizontalLayout>)",
            {1000, 600});
        ASSERT_TRUE(w);
        panel = &Ctl<CMacroControlUI>(*w, "MacroControlItem");
        link.selector = &Ctl<ui::CComboUI>(*w, "keyset_macro_combo");
        panel->SetMacroFolder(data);
        panel->SetDeviceLink(&link);
        panel->SetPrompts(&prompts);
        auto synthetic = std::make_unique<input::SyntheticHookBackend>();
        backend = synthetic.get();
        hook = std::make_unique<input::CDeviceHook>(std::move(synthetic));
        panel->SetRecordingHook(hook.get(), [this](unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
            posted.push_back({msg, wparam, lparam});
            return true;
        });
        panel->SetTickClock([this] { return now; });
    }

    // A library of n macros ("macro_1" …) whose first holds events; shown in the panel.
    void MakeLibrary(int n, const std::vector<MacroEvent>& events = {}) {
        config::MacroLibrary lib(data);
        lib.Load();
        for (int i = 0; i < n; ++i) {
            lib.NewMacro();
            link.selector->AddString(lib.Entries().back().name);
        }
        if (!events.empty()) {
            lib.Save(0, events);
        }
        panel->LoadLibrary();
    }
    void OpenMacro(int index) {
        Ctl<ui::CListUI>(*w, "macro_name_list").SelectItem(index, false);
        panel->OpenMacro(index);
    }
    void SaveFirst(const std::vector<MacroEvent>& events) {
        config::MacroLibrary lib(data);
        lib.Load();
        ASSERT_TRUE(lib.Save(0, events));
    }
    ui::CListUI& Steps() { return Ctl<ui::CListUI>(*w, "macro_action_list"); }
    std::vector<MacroEvent> Saved(int index = 0) {
        config::MacroLibrary lib(data);
        lib.Load();
        return lib.Open(index);
    }
    std::vector<std::string> SelectorItems() {
        std::vector<std::string> out;
        for (int i = 0; i < link.selector->GetCount(); ++i) {
            out.push_back(link.selector->GetItemAt(i)->GetText());
        }
        return out;
    }
    void Click(std::string_view name) {
        ui::TNotifyUI msg;
        msg.type = ui::notify::kClick;
        msg.sender = w->FindControl(name);
        ASSERT_NE(msg.sender, nullptr) << name;
        EXPECT_TRUE(panel->HandleControlEvent(msg)) << name;
    }
    // What the window's message loop does with the capture's posts.
    void Deliver() {
        const std::vector<Posted> queue = std::exchange(posted, {});
        for (const Posted& p : queue) {
            panel->HandleHookMessage(p.msg, p.wparam, p.lparam);
        }
    }
    // A key (set-1 scan code) pressed or released after ms milliseconds.
    void Key(std::uint8_t scan, bool press, std::uint32_t ms = 0) {
        now += ms;
        backend->PushKey(press ? input::kWmKeyDown : input::kWmKeyUp, input::KeyHookRecord{0, scan, 0, now});
        Deliver();
    }
    void Mouse(unsigned message, std::int16_t x = 5, std::int16_t y = 5) {
        backend->PushMouse(message, input::MouseHookRecord{x, y, 0});
        Deliver();
    }
    std::vector<std::string> Buttons(const std::vector<MacroEvent>& events) {
        std::vector<std::string> out;
        for (const MacroEvent& e : events) {
            out.push_back(std::to_string(e.type) + "/" + std::to_string(e.button) + e.action + "/" +
                          std::to_string(e.delay));
        }
        return out;
    }

    std::filesystem::path data;
    std::unique_ptr<ui::test::RecordingWindow> w;
    CMacroControlUI* panel = nullptr;
    FakeLink link;
    FakePrompts prompts;
    input::SyntheticHookBackend* backend = nullptr;
    std::unique_ptr<input::CDeviceHook> hook;
    struct Posted {
        unsigned msg;
        std::intptr_t wparam;
        std::intptr_t lparam;
    };
    std::vector<Posted> posted;
    std::uint32_t now = 1000;
};

const std::vector<MacroEvent> kThree{KeyEvent(4, "down", 10), KeyEvent(4, "up", 20), KeyEvent(5, "down", 30)};

TEST_F(MacroPanelTest, OpeningAMacroShowsItsStepsAndEnablesTheEditing) {
    MakeLibrary(2, kThree);
    constexpr std::array<std::string_view, 5> kNeedsMacro{"macro_action_layout", "mouse_move_layout",
                                                          "macro_btn_export", "macro_btn_name_sub",
                                                          "macro_btn_name_edit"};
    for (std::string_view name : kNeedsMacro) {
        EXPECT_FALSE(w->FindControl(name)->IsEnabled()) << name;
    }
    EXPECT_EQ(Ctl<ui::CListUI>(*w, "macro_name_list").GetCount(), 2);
    OpenMacro(0);
    EXPECT_EQ(panel->Events(), kThree);
    EXPECT_EQ(Steps().GetItemAt(0)->GetName(), "macro_action");
    EXPECT_EQ(DelayFieldOf(*Steps().GetItemAt(2))->GetText(), "30");
    EXPECT_EQ(DelayFieldOf(*Steps().GetItemAt(2))->GetName(), "macro_delay");
    for (std::string_view name : kNeedsMacro) {
        EXPECT_TRUE(w->FindControl(name)->IsEnabled()) << name;
    }
    OpenMacro(-1);
    EXPECT_EQ(Steps().GetCount(), 0);
    EXPECT_FALSE(w->FindControl("macro_action_layout")->IsEnabled());
}

TEST_F(MacroPanelTest, NewMacroFollowsInTheSelectorUntilTheLibraryIsFull) {
    MakeLibrary(config::kMaxMacros - 1);
    Click("macro_btn_name_add");
    EXPECT_EQ(panel->MacroNames().size(), static_cast<std::size_t>(config::kMaxMacros));
    EXPECT_EQ(SelectorItems().back(), panel->MacroNames().back());
    EXPECT_THAT(link.calls, testing::ElementsAre("names"));
    const std::vector<std::string> before = SelectorItems();
    Click("macro_btn_name_add");
    EXPECT_EQ(SelectorItems(), before);
    EXPECT_EQ(panel->MacroNames().size(), static_cast<std::size_t>(config::kMaxMacros));
}

TEST_F(MacroPanelTest, ImportAndExportCopyMacroFiles) {
    MakeLibrary(1, kThree);
    const std::filesystem::path outside = dir / "outside";
    std::filesystem::create_directories(outside);

    prompts.saveFile = outside / "copy.mac";
    Click("macro_btn_export");  // no macro open: nothing written
    EXPECT_FALSE(std::filesystem::exists(outside / "copy.mac"));
    OpenMacro(0);
    Click("macro_btn_export");
    ASSERT_TRUE(std::filesystem::exists(outside / "copy.mac"));

    prompts.openFile = outside / "copy.mac";
    Click("macro_btn_import");
    EXPECT_EQ(panel->MacroNames(), (std::vector<std::string>{"macro_1", "copy"}));
    EXPECT_EQ(SelectorItems(), panel->MacroNames());
    EXPECT_EQ(Saved(1), kThree);
    prompts.openFile.reset();  // the dialog cancelled
    Click("macro_btn_import");
    EXPECT_EQ(panel->MacroNames().size(), 2U);
}

TEST_F(MacroPanelTest, RenameTakesTheTypedNameOrSaysItIsTaken) {
    MakeLibrary(2);
    OpenMacro(1);
    struct Case {
        std::string typed;
        std::vector<std::string> names;
        std::vector<std::string> told;
    };
    const std::vector<Case> cases{
        {"   ", {"macro_1", "macro_2"}, {}},
        {"macro_1", {"macro_1", "macro_2"}, {"taken"}},
        {"Reload", {"macro_1", "Reload"}, {"taken"}},
    };
    for (const Case& c : cases) {
        Ctl<ui::CEditUI>(*w, "macro_edit_macroname").SetText(c.typed);
        Click("macro_btn_name_edit");
        EXPECT_EQ(panel->MacroNames(), c.names) << c.typed;
        EXPECT_EQ(SelectorItems(), c.names) << c.typed;
        EXPECT_EQ(prompts.told, c.told) << c.typed;
    }
    EXPECT_EQ(Ctl<ui::CListUI>(*w, "macro_name_list").GetItemAt(1)->GetText(), "Reload");
    EXPECT_THAT(link.calls, testing::ElementsAre("names", "captions"));
}

// Three profiles: the current one and "other" bind macro 1, "spare" binds macro 2.
class MacroDeleteTest : public MacroPanelTest {
protected:
    void SetUp() override {
        MacroPanelTest::SetUp();
        MakeLibrary(3);
        link.current = dir / "current.Json";
        link.profiles = {link.current, dir / "other.Json", dir / "spare.Json"};
        WriteProfile(link.current, 0x700100);
        WriteProfile(dir / "other.Json", 0x700100);
        WriteProfile(dir / "spare.Json", 0x700200);
        link.keys = {{0, {0x70, 1, 0}, 0, kDefaultKey}, {1, {0x71, 2, 3}, 1, kDefaultKey}};
    }
    static void WriteProfile(const std::filesystem::path& path, int assignment) {
        std::ofstream(path) << R"({"Device": [{"KeyList": [{"Assignment": )" << assignment
                            << R"(, "DefaultAssignment": 2097156}]}]})";
    }
    int AssignmentIn(const std::string& file) {
        return config::JsonFileStore::ReadJsonFile(dir / file)["Device"][0]["KeyList"][0]["Assignment"]
            .asInt();
    }
};

TEST_F(MacroDeleteTest, AnUnusedMacroAsksOnlyTheFirstQuestion) {
    link.keys = {{0, {0x70, 0, 0}, 0, kDefaultKey}};
    OpenMacro(2);
    Click("macro_btn_name_sub");
    EXPECT_THAT(prompts.asked, testing::ElementsAre("message_text_4"));
    EXPECT_EQ(panel->MacroNames(), (std::vector<std::string>{"macro_1", "macro_2"}));
    EXPECT_EQ(SelectorItems(), panel->MacroNames());
    EXPECT_EQ(link.keys[0].current, (KeyAssignment{0x70, 0, 0}));
    EXPECT_EQ(AssignmentIn("spare.Json"), 2097156);  // bound to the deleted macro: its default
    EXPECT_EQ(AssignmentIn("other.Json"), 0x700100);
    EXPECT_EQ(panel->OpenIndex(), -1);
    EXPECT_THAT(link.calls, testing::ElementsAre("names"));
}

TEST_F(MacroDeleteTest, CancellingEitherQuestionChangesNothing) {
    for (const std::vector<bool>& answers : {std::vector<bool>{false}, std::vector<bool>{true, false}}) {
        prompts.answers = answers;
        prompts.asked.clear();
        OpenMacro(1);
        Click("macro_btn_name_sub");
        EXPECT_EQ(prompts.asked.size(), answers.size());
        EXPECT_EQ(panel->MacroNames().size(), 3U);
        EXPECT_EQ(SelectorItems().size(), 3U);
        EXPECT_EQ(AssignmentIn("other.Json"), 0x700100);
        EXPECT_EQ(AssignmentIn("spare.Json"), 0x700200);
        EXPECT_EQ(link.keys[0].current, (KeyAssignment{0x70, 1, 0}));
        EXPECT_TRUE(link.calls.empty());
    }
}

TEST_F(MacroDeleteTest, ConfirmedDeleteRenumbersEveryProfileAndWritesTheDevice) {
    OpenMacro(1);
    Click("macro_btn_name_sub");
    EXPECT_THAT(prompts.asked, testing::ElementsAre("message_text_4", "message_text_2"));
    EXPECT_EQ(panel->MacroNames(), (std::vector<std::string>{"macro_1", "macro_3"}));
    EXPECT_EQ(SelectorItems(), panel->MacroNames());
    EXPECT_EQ(link.keys[0].current, kDefaultKey);
    EXPECT_EQ(link.keys[1].current, (KeyAssignment{0x71, 1, 3}));
    EXPECT_EQ(AssignmentIn("other.Json"), 2097156);
    EXPECT_EQ(AssignmentIn("spare.Json"), 0x700100);
    EXPECT_EQ(AssignmentIn("current.Json"), 0x700100);  // the device object saves the current one
    EXPECT_THAT(link.calls, testing::ElementsAre("store", "names", "captions", "write"));
}

TEST_F(MacroPanelTest, RowMovesKeepTheEventAndSelectIt) {
    struct Case {
        int selected;
        RowMove move;
        std::vector<int> order;  // the original rows, in their new order
    };
    const std::vector<Case> cases{
        {1, RowMove::Up, {1, 0, 2}},     {0, RowMove::Up, {0, 1, 2}},     {1, RowMove::Down, {0, 2, 1}},
        {2, RowMove::Down, {0, 1, 2}},   {2, RowMove::Top, {2, 0, 1}},    {0, RowMove::Top, {0, 1, 2}},
        {0, RowMove::Bottom, {1, 2, 0}}, {2, RowMove::Bottom, {0, 1, 2}}, {-1, RowMove::Down, {0, 1, 2}},
    };
    const std::map<RowMove, std::string_view> buttons{{RowMove::Up, "macro_btn_up"},
                                                      {RowMove::Down, "macro_btn_down"},
                                                      {RowMove::Top, "macro_btn_uptop"},
                                                      {RowMove::Bottom, "macro_btn_downbottom"}};
    MakeLibrary(1, kThree);
    for (const Case& c : cases) {
        SaveFirst(kThree);
        OpenMacro(0);
        link.calls.clear();
        panel->SelectRow(c.selected);
        Click(buttons.at(c.move));
        std::vector<MacroEvent> expected;
        for (int i : c.order) {
            expected.push_back(kThree[static_cast<std::size_t>(i)]);
        }
        const bool moved = c.order != std::vector<int>{0, 1, 2};
        EXPECT_EQ(panel->Events(), expected) << c.selected;
        EXPECT_EQ(Saved(), moved ? expected : kThree) << c.selected;
        EXPECT_EQ(link.calls.empty(), !moved) << c.selected;
        if (moved) {
            const auto at = std::ranges::find(c.order, c.selected) - c.order.begin();
            EXPECT_EQ(panel->SelectedRow(), at);
        }
    }
}

TEST_F(MacroPanelTest, DeletingRowsSavesAndWrites) {
    MakeLibrary(1, kThree);
    OpenMacro(0);
    Click("macro_btn_delete");  // no row selected
    EXPECT_EQ(panel->Events(), kThree);
    EXPECT_TRUE(link.calls.empty());
    panel->SelectRow(1);
    Click("macro_btn_delete");
    EXPECT_EQ(Saved(), (std::vector<MacroEvent>{kThree[0], kThree[2]}));
    Click("macro_btn_deleteall");
    EXPECT_TRUE(Saved().empty());
    EXPECT_EQ(panel->SelectedRow(), -1);
    EXPECT_EQ(std::ranges::count(link.calls, "write"), 2);
}

TEST_F(MacroPanelTest, InsertedButtonEventsGoAfterTheSelectionWithTheConstantDelay) {
    MakeLibrary(1, kThree);
    OpenMacro(0);
    panel->SelectRow(1);
    panel->InsertMouseRow(0);
    panel->InsertMouseRow(1);
    EXPECT_THAT(Buttons(panel->Events()),
                testing::ElementsAre("10/4down/10", "10/4up/20", "1/1down/50", "1/1up/50", "10/5down/30"));
    EXPECT_EQ(panel->SelectedRow(), 3);
    EXPECT_EQ(Saved(), panel->Events());

    const MacroEvent click[] = {{1, 2, "down", 0}, {1, 2, "up", 0}};
    panel->SelectRow(-1);
    panel->InsertEvents(click);  // no selection: after the first row
    EXPECT_THAT(Buttons(panel->Events()).at(1), "1/2down/50");
    EXPECT_THAT(Buttons(panel->Events()).at(2), "1/2up/50");
    EXPECT_EQ(panel->SelectedRow(), 2);
}

TEST_F(MacroPanelTest, InsertionIntoAnEmptyMacroAndAtTheRowLimit) {
    MakeLibrary(1);
    OpenMacro(0);
    panel->InsertMouseRow(4);
    EXPECT_THAT(Buttons(panel->Events()), testing::ElementsAre("1/4down/50"));
    EXPECT_EQ(panel->SelectedRow(), 0);

    SaveFirst(std::vector<MacroEvent>(config::kMaxMacroEvents, KeyEvent(4, "down")));
    OpenMacro(0);
    panel->SelectRow(0);
    panel->InsertMouseRow(0);
    EXPECT_EQ(panel->Events().size(), config::kMaxMacroEvents);
    EXPECT_EQ(panel->Events()[1], KeyEvent(4, "down"));
}

TEST_F(MacroPanelTest, MoveDistancesAreKeptToTheirRangeAndShownAsStored) {
    struct Case {
        std::string_view button;
        std::string_view field;
        std::string typed;
        std::string stored;  // type/button action
    };
    const std::vector<Case> cases{
        {"macro_inset_moveleftkey_btn", "mouse_x_left_edit", "300", "4/255down"},
        {"macro_inset_moverightkey_btn", "mouse_x_right_edit", "12", "4/12up"},
        {"macro_inset_moveupkey_btn", "mouse_y_up_edit", "", "5/0down"},
        {"macro_inset_movedownkey_btn", "mouse_y_down_edit", "255", "5/255up"},
    };
    MakeLibrary(1);
    OpenMacro(0);
    for (const Case& c : cases) {
        auto& field = Ctl<ui::CEditUI>(*w, c.field);
        field.SetMaxChar(8);
        field.SetText(c.typed);
        Click(c.button);
        const MacroEvent last = panel->Events().at(static_cast<std::size_t>(panel->SelectedRow()));
        EXPECT_EQ(std::to_string(last.type) + "/" + std::to_string(last.button) + last.action, c.stored);
        EXPECT_EQ(field.GetText(), std::to_string(last.button));
        // The row shows the distance where other rows show press or release.
        auto* row = dynamic_cast<ui::CContainerUI*>(Steps().GetItemAt(panel->SelectedRow()));
        EXPECT_EQ(row->GetItemAt(1)->GetText(), std::to_string(last.button));
    }
    EXPECT_EQ(Saved(), panel->Events());
}

TEST_F(MacroPanelTest, ADelayFieldLeftStoresTheShownValue) {
    MakeLibrary(1, kThree);
    OpenMacro(0);
    for (const auto& [typed, stored] :
         std::vector<std::pair<std::string, int>>{{"70000", 65535}, {"", 0}, {"120", 120}}) {
        ui::CEditUI* field = DelayFieldOf(*Steps().GetItemAt(1));
        field->SetMaxChar(8);
        field->SetText(typed);
        ui::TNotifyUI msg;
        msg.type = ui::notify::kKillFocus;
        msg.sender = field;
        EXPECT_TRUE(panel->HandleControlEvent(msg));
        EXPECT_EQ(Saved().at(1).delay, stored) << typed;
        EXPECT_EQ(field->GetText(), std::to_string(stored));
    }
}

TEST_F(MacroPanelTest, DeviceWriteOutcomesAndWhatTheUserIsTold) {
    struct Case {
        MacroWriteOutcome outcome;
        bool device;
        std::vector<std::string> told;
    };
    const std::vector<Case> cases{
        {{0, false, {}, "keyset_macro_keys_default"}, true, {}},
        {{-1, true, "message_text_7", "keyset_macro_keys_default"}, true, {"failed keys default"}},
        {{12, true, "message_text_16", "keyset_macro_keys_default"}, true, {"too long by 12 keys default"}},
        {{-1, true, "message_text_7", "keyset_macro_keys_default"}, false, {}},
    };
    MakeLibrary(1);
    for (const Case& c : cases) {
        link.outcome = c.outcome;
        link.device = c.device;
        prompts.told.clear();
        panel->WriteToDevice();
        EXPECT_EQ(prompts.told, c.told) << c.outcome.macros;
    }
}

// Set-1 scan codes of the keys A to E (usages 4 to 8).
constexpr std::uint8_t kScanA = 0x1E;
constexpr std::uint8_t kScanB = 0x30;
constexpr std::uint8_t kScanC = 0x2E;
constexpr std::uint8_t kScanD = 0x20;
constexpr std::uint8_t kScanE = 0x12;

TEST_F(MacroPanelTest, RecordingLocksTheListsAndStopSavesAndWrites) {
    MakeLibrary(1, kThree);
    OpenMacro(0);
    EXPECT_TRUE(panel->StartRecordingFromCheck(HookMode::MacroAppend));
    EXPECT_TRUE(backend->IsRunning());
    EXPECT_EQ(hook->Mode(), HookMode::MacroAppend);
    EXPECT_FALSE(w->FindControl("macro_btn_starredio")->IsVisible());
    EXPECT_TRUE(w->FindControl("macro_btn_stopredio")->IsVisible());
    EXPECT_FALSE(w->FindControl("macro_tab_macroaction_edit")->IsEnabled());
    EXPECT_FALSE(w->FindControl("macro_tab_macrodelay_edit")->IsEnabled());
    EXPECT_FALSE(w->FindControl("macro_name_tab")->IsMouseEnabled());
    EXPECT_FALSE(Steps().IsMouseEnabled());
    EXPECT_FALSE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroAppend));  // one at a time
    Key(kScanC, true, 10);
    Key(kScanC, true, 10);  // held: repeats are not recorded
    Key(kScanC, false, 10);
    Mouse(input::kWmRButtonDown);
    Click("macro_btn_stopredio");
    EXPECT_FALSE(backend->IsRunning());
    EXPECT_TRUE(w->FindControl("macro_btn_starredio")->IsVisible());
    EXPECT_TRUE(w->FindControl("macro_tab_macroaction_edit")->IsEnabled());
    EXPECT_TRUE(w->FindControl("macro_name_tab")->IsMouseEnabled());
    EXPECT_THAT(Buttons(Saved()), testing::ElementsAre("10/4down/10", "10/4up/20", "10/5down/10",
                                                       "10/6down/20", "10/6up/0", "1/2down/0"));
    EXPECT_EQ(link.calls.back(), "write");
}

// Without a desktop-wide capture the panel says that only this window is heard, until the stop.
TEST_F(MacroPanelTest, ARecordingInsideTheWindowOnlySaysSo) {
    MakeLibrary(1);
    OpenMacro(0);
    ui::CControlUI* hint = w->FindControl("macro_steps_hint_label");
    ASSERT_NE(hint, nullptr);
    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroAppend));
    EXPECT_EQ(hint->GetTextId(), "macro_steps_hint");
    Click("macro_btn_stopredio");
    backend->SetGlobal(false);
    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroAppend));
    EXPECT_EQ(hint->GetTextId(), "macro_record_window_only");
    Click("macro_btn_stopredio");
    EXPECT_EQ(hint->GetTextId(), "macro_steps_hint");
}

TEST_F(MacroPanelTest, ARecordingWhoseDeviceWentAwayStopsWithoutADeviceWrite) {
    MakeLibrary(1);
    OpenMacro(0);
    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroAppend));
    Key(kScanA, true);
    panel->AbortRecording();
    EXPECT_FALSE(panel->IsRecording());
    EXPECT_FALSE(backend->IsRunning());
    EXPECT_EQ(Saved(), (std::vector<MacroEvent>{{10, 4, "down", 0}}));
    EXPECT_TRUE(link.calls.empty());
    EXPECT_TRUE(w->FindControl("macro_btn_starredio")->IsVisible());
    EXPECT_TRUE(w->FindControl("macro_tab_macroaction_edit")->IsEnabled());
    Key(kScanB, true);  // nothing records any more
    EXPECT_EQ(Saved().size(), 1U);
}

TEST_F(MacroPanelTest, ACaptureThatCannotStartOrEndsByItselfLeavesThePanelIdle) {
    MakeLibrary(1);
    OpenMacro(0);
    backend->FailNextStart("grab refused");
    EXPECT_FALSE(panel->StartRecording(DelayMode::RealTime, HookMode::MacroAppend));
    EXPECT_FALSE(panel->IsRecording());
    EXPECT_EQ(prompts.told.size(), 1U);
    EXPECT_TRUE(w->FindControl("macro_btn_starredio")->IsVisible());
    EXPECT_TRUE(w->FindControl("macro_name_tab")->IsMouseEnabled());

    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroAppend));
    Key(kScanA, true);
    backend->Lose(input::HookStopReason::DisplayLost);
    Deliver();
    EXPECT_FALSE(panel->IsRecording());
    EXPECT_FALSE(backend->IsRunning());
    EXPECT_EQ(prompts.told.size(), 2U);
    EXPECT_EQ(Saved(), (std::vector<MacroEvent>{{10, 4, "down", 0}}));
    EXPECT_TRUE(link.calls.empty());
    EXPECT_TRUE(w->FindControl("macro_btn_starredio")->IsVisible());
}

TEST_F(MacroPanelTest, RecordedDelaysByMode) {
    struct Case {
        DelayMode mode;
        std::string fixedField;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases{
        {DelayMode::RealTime, "", {"10/4down/300", "10/4up/500", "10/5down/0"}},
        {DelayMode::Constant, "120", {"10/4down/120", "10/4up/120", "10/5down/120"}},
        {DelayMode::Constant, "99999", {"10/4down/65535", "10/4up/65535", "10/5down/65535"}},
        {DelayMode::IgnoreTime, "", {"10/4down/0", "10/4up/0", "10/5down/0"}},
    };
    MakeLibrary(1);
    for (const Case& c : cases) {
        SaveFirst(std::vector<MacroEvent>{});
        OpenMacro(0);
        Ctl<ui::CEditUI>(*w, "macro_fixed_time_edit").SetMaxChar(8);
        Ctl<ui::CEditUI>(*w, "macro_fixed_time_edit").SetText(c.fixedField);
        ASSERT_TRUE(panel->StartRecording(c.mode, HookMode::MacroAppend));
        Key(kScanA, true, 100);
        Key(kScanA, false, 300);
        Key(kScanB, true, 500);
        panel->StopRecording(false);
        EXPECT_EQ(Buttons(Saved()), c.rows) << c.fixedField;
        if (c.mode == DelayMode::Constant) {
            EXPECT_EQ(Ctl<ui::CEditUI>(*w, "macro_fixed_time_edit").GetText(),
                      std::to_string(panel->ConstantDelay()));
        }
    }
}

TEST_F(MacroPanelTest, InsertBeforeKeepsPressOrderAndReplaceKeepsActionAndDelay) {
    MakeLibrary(1, kThree);
    OpenMacro(0);
    panel->SelectRow(1);
    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroInsertBefore));
    Key(kScanD, true);
    Key(kScanE, true);
    panel->StopRecording(false);
    EXPECT_THAT(Buttons(Saved()),
                testing::ElementsAre("10/4down/0", "10/7down/0", "10/8down/0", "10/4up/20", "10/5down/30"));
    EXPECT_EQ(panel->SelectedRow(), 3);

    panel->SelectRow(4);
    ASSERT_TRUE(panel->StartRecording(DelayMode::IgnoreTime, HookMode::MacroReplace));
    Key(kScanC, false);
    panel->StopRecording(false);
    EXPECT_EQ(Buttons(Saved()).back(), "10/6down/30");
}

TEST_F(MacroPanelTest, StepRowsNameTheirEvents) {
    struct Case {
        MacroEvent event;
        std::string_view nameId;
    };
    const std::vector<Case> cases{
        {{10, 4, "down", 0}, "keyboard_key_A"},
        {{9, 0x02, "up", 0}, "keyboard_key_LShift"},
        {{1, 0x10, "down", 0}, "mouse_key_forward"},
        {{1, 0x08, "up", 0}, "mouse_key_back"},
        {{4, 30, "down", 0}, "mouse_move_to_left_text"},
        {{5, 30, "up", 0}, "mouse_move_to_down_text"},
        {{10, 0xEE, "down", 0}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EventNameId(c.event), c.nameId) << c.event.button;
        auto row = MakeMacroRow(c.event, nullptr);
        EXPECT_EQ(EventOfRow(row.get()), c.event);
    }
}

TEST_F(MacroPanelTest, ComboEditRowBuildsItsChildrenAndRaisesItsEvents) {
    auto* list = &Ctl<ui::CListUI>(*w, "macro_name_list");
    auto* row = dynamic_cast<CComboEditContainerElementUI*>(
        list->Add(ui::CControlFactory::Instance().Create("CComboEditContainerElementUI")));
    ASSERT_NE(row, nullptr);
    row->SetAttribute("normalimage", "x.png");
    row->SetAttribute("name", "combo_row");
    row->DoInit();
    ASSERT_NE(row->Text1(), nullptr);
    ASSERT_NE(row->Text2(), nullptr);
    ASSERT_NE(row->DelayEdit(), nullptr);
    w->PaintManager().UpdateLayout();
    w->seen.clear();
    struct Case {
        ui::EventType type;
        ui::Key key;
        bool menuEnabled;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases{
        {ui::EventType::KeyDown, ui::Key::Return, false, {"return:combo_row"}},
        {ui::EventType::DblClick, ui::Key::Other, false, {"itemclick:combo_row"}},
        {ui::EventType::ContextMenu, ui::Key::Other, false, {}},
        {ui::EventType::ContextMenu, ui::Key::Other, true, {"menu:combo_row"}},
    };
    for (const Case& c : cases) {
        row->SetContextMenuEnabled(c.menuEnabled);
        ui::TEventUI e;
        e.type = c.type;
        e.key = c.key;
        e.sender = row;
        row->DoEvent(e);
        EXPECT_EQ(w->Log(), c.log);
        w->seen.clear();
    }
    ui::TEventUI press;
    press.type = ui::EventType::ButtonDown;
    press.modifiers = ui::kModControl;
    row->DoEvent(press);
    EXPECT_TRUE(row->IsSelected());
    row->DoEvent(press);
    EXPECT_FALSE(row->IsSelected());

    CRedioMacroButtonUI button;
    button.SetAttribute("redioimage", "rec.png");
    button.SetAttribute("text", "Go");
    EXPECT_EQ(button.RedioImage(), "rec.png");
    EXPECT_EQ(button.GetText(), "Go");
}

}  // namespace
}  // namespace norvane::pages
