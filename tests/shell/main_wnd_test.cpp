// The main window on the headless toolkit with the real skin, against the simulator, the
// scan passes run by the test.
#include "config/macro_library.h"
#include "device/command_packet.h"
#include "devices/device_write.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/mouse/mouse_device.h"
#include "pages/key_set/key_set_control.h"
#include "pages/macro/macro_control.h"
#include "shell/device_list/device_option.h"
#include "sim/sim_device.h"
#include "tests/shell/main_wnd_fixture.h"

#include "platform/version.h"
#include "tests/ui/ui_fixture.h"
#include "ui/button.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/edit.h"
#include "ui/label.h"
#include "ui/option.h"
#include "ui/slider.h"
#include "update/set_wnd.h"

#include "device/catalogue.h"

#include <unistd.h>

#include <cctype>
#include <variant>

namespace norvane::test {
namespace {

namespace ipc = platform::ipc;
using shell::CMainWnd;

class MainWindowTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    shell::CDeviceOptionUI& Tile(int index) { return *List().TileAt(index); }
    int TileOf(const devices::CTarnexUSBDevice* page) {
        for (std::size_t i = 0; i < List().Tiles().size(); ++i) {
            if (List().Tiles()[i]->Device() == page) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    bool Shown(std::string_view name) { return Window().FindControl(name)->IsVisible(); }
    // Adds a control to the window's root, as a page layout would hold it.
    template <typename T>
    T& AddControl(std::string name) {
        auto* root = dynamic_cast<ui::CContainerUI*>(Window().PaintManager().GetRoot());
        auto control = std::make_unique<T>();
        control->SetName(std::move(name));
        T& ref = *control;
        root->Add(std::move(control));
        return ref;
    }
};

TEST_F(MainWindowTest, StartsHiddenWithTheListsPagesAndNoDevicePanel) {
    EXPECT_FALSE(Window().IsWindowVisible());
    EXPECT_TRUE(Window().Initialised());
    ASSERT_EQ(List().Keyboards().size(), 1U);
    ASSERT_EQ(List().Mice().size(), 1U);
    EXPECT_TRUE(Shown("No_device_Link"));
    EXPECT_EQ(Window().CurrentDevice(), nullptr);
    ASSERT_EQ(platform.TrayIcons().size(), 1U);
    EXPECT_EQ(platform.TrayIcons()[0]->toolTip, "NORVANE");
    EXPECT_EQ(platform.TrayIcons()[0]->message, shell::kTrayCallbackMessage);
    // The fit timer runs once, 100 ms after window-init, and keeps the window hidden.
    platform.Advance(shell::kFitTimerMs);
    EXPECT_FALSE(Window().IsWindowVisible());
}

TEST_F(MainWindowTest, CurrentDeviceIsTheFirstConnectedSelectedTile) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* keyboardPage = List().Keyboards().at(0);
    EXPECT_EQ(Window().CurrentDevice(), keyboardPage);

    Plug("mouse");
    Scan();
    devices::CTarnexUSBDevice* mousePage = List().Mice().at(0);
    Tile(TileOf(mousePage)).Select(true);
    EXPECT_EQ(Window().CurrentDevice(), mousePage);
    Tile(TileOf(keyboardPage)).Select(true);
    EXPECT_EQ(Window().CurrentDevice(), keyboardPage);

    // A selected tile that is not connected is never current.
    keyboard.Unplug();
    Scan();
    EXPECT_NE(Window().CurrentDevice(), keyboardPage);
    Tile(TileOf(keyboardPage)).SelectOption()->Selected(true, false);
    EXPECT_NE(Window().CurrentDevice(), keyboardPage);
}

TEST_F(MainWindowTest, EveryTableRowIsRoutedWithoutADeviceAndWithOne) {
    // Each name of each table, sent as its control would send it: with no device connected
    // the actions find no current device; with a keyboard they reach its page where it
    // has what they ask for. Either way the route taken is the row's.
    for (const bool withDevice : {false, true}) {
        if (withDevice) {
            Plug("keyboard");
            Scan();
            ASSERT_NE(Window().CurrentDevice(), nullptr);
        }
        for (const char* type :
             {"click", "selectchanged", "valuechanged", "movevaluechanged", "killfocus", "setfocus",
              "itemselect", "itemactivate", "colorchanged", "click_select_end"}) {
            for (const shell::RouteRow& row : shell::RoutesForType(type)) {
                if (row.action == shell::MainAction::kDeviceListScroll ||
                    row.action == shell::MainAction::kDeviceSelect ||
                    row.action == shell::MainAction::kNone) {
                    continue;  // the device list takes these before the tables
                }
                const std::string name =
                    std::string(row.name) + (row.match == shell::RouteMatch::kPrefix ? "1" : "");
                ui::CLabelUI* probe = &AddControl<ui::CLabelUI>(name);
                Window().PaintManager().SendNotify(probe, type);
                ASSERT_TRUE(Window().LastRoute().has_value()) << type << ":" << name;
                EXPECT_EQ(Window().LastRoute()->action, row.action) << type << ":" << name;
                dynamic_cast<ui::CContainerUI*>(Window().PaintManager().GetRoot())->Remove(probe);
            }
        }
    }
}

TEST_F(MainWindowTest, CloseHidesToTrayAndTheTrayBringsItBack) {
    Plug("mouse");
    Plug("keyboard");
    Scan();                              // the first pass shows the window
    platform.Advance(shell::kAttachMs);  // the frames run
    ASSERT_TRUE(Window().IsWindowVisible());
    devices::CTarnexUSBDevice& mouse = *List().Mice().at(0);
    ASSERT_TRUE(mouse.IsWirelessCapable());
    // A keyboard in a mode of its own takes no frames: hidden, its page needs none either.
    auto& keyboard = dynamic_cast<devices::CTarnexKeyboardDevice&>(*List().Keyboards().at(0));
    ASSERT_FALSE(keyboard.StreamsLightFrames());
    auto& keyTile = *static_cast<shell::CDeviceOptionUI*>(keyboard.Tile());
    auto& mouseTile = *static_cast<shell::CDeviceOptionUI*>(mouse.Tile());
    const int mouseRate = mouseTile.LightFramePeriod();
    EXPECT_EQ(keyTile.LightFramePeriod(), shell::kLightFrameCableMs);

    NotifyFrom("closebtn", "click");
    EXPECT_FALSE(Window().IsWindowVisible());
    EXPECT_TRUE(mouse.IsStatusPollSuspended());
    EXPECT_FALSE(platform.QuitRequested());  // still running in the tray
    platform.Advance(shell::kLightFrameCableMs);
    EXPECT_TRUE(keyTile.LightFramesResting());
    EXPECT_EQ(mouseTile.LightFramesResting(), !mouse.StreamsLightFrames());
    EXPECT_EQ(mouseTile.LightFramePeriod(), mouseRate);
    EXPECT_FALSE(keyboard.PagePreview());  // its light thread rests

    ASSERT_TRUE(platform.ClickTray(0, ui::kWmLButtonUp));
    platform.Pump();
    EXPECT_TRUE(Window().IsWindowVisible());
    EXPECT_FALSE(mouse.IsStatusPollSuspended());
    EXPECT_FALSE(Shown("No_device_Link"));
    EXPECT_FALSE(keyTile.LightFramesResting());
    EXPECT_TRUE(keyboard.PagePreview());

    ASSERT_TRUE(platform.ClickTray(0, ui::kWmLButtonUp));
    platform.Pump();
    EXPECT_FALSE(Window().IsWindowVisible());
    EXPECT_TRUE(mouse.IsStatusPollSuspended());
    platform.Advance(shell::kLightFrameCableMs);
    EXPECT_TRUE(keyTile.LightFramesResting());
}

TEST_F(MainWindowTest, TitleBarButtonsMinimiseMaximiseRestore) {
    Window().ShowWindow(true);
    NotifyFrom("maxbtn", "click");
    EXPECT_EQ(Window().GetWindowState(), ui::WindowState::Maximized);
    EXPECT_TRUE(Window().FindControl("restorebtn")->IsVisible());
    EXPECT_FALSE(Window().FindControl("maxbtn")->IsVisible());
    NotifyFrom("restorebtn", "click");
    EXPECT_EQ(Window().GetWindowState(), ui::WindowState::Normal);
    NotifyFrom("minbtn", "click");
    EXPECT_EQ(Window().GetWindowState(), ui::WindowState::Minimized);
    // The tray restores a minimised window rather than hiding it.
    ASSERT_TRUE(platform.ClickTray(0, ui::kWmLButtonUp));
    platform.Pump();
    EXPECT_EQ(Window().GetWindowState(), ui::WindowState::Normal);
    EXPECT_TRUE(Window().IsWindowVisible());
}

TEST_F(MainWindowTest, TrayMenuItemsAndExit) {
    std::vector<std::string> offered;
    std::string answer = "about_menu";
    platform.SetMenuChooser([&](const std::vector<ui::MenuItem>& items) {
        for (const auto& item : items) {
            if (!item.separator) {
                offered.push_back(item.name);
            }
        }
        return answer;
    });
    // The right click opens the menu on a 10 ms timer; the windows behind its first two
    // items do not exist yet and nothing happens.
    ASSERT_TRUE(platform.ClickTray(0, ui::kWmRButtonUp));
    platform.Pump();
    EXPECT_TRUE(offered.empty());
    platform.Advance(shell::kTrayMenuTimerMs);
    EXPECT_EQ(offered, (std::vector<std::string>{"setwnd_menu", "about_menu", "exit"}));
    EXPECT_FALSE(platform.QuitRequested());

    answer = "exit";
    Plug("keyboard");
    Scan();
    ASSERT_TRUE(platform.ClickTray(0, ui::kWmRButtonUp));
    platform.Pump();
    platform.Advance(shell::kTrayMenuTimerMs);
    EXPECT_TRUE(platform.QuitRequested());
    EXPECT_EQ(platform.QuitCode(), 0);
    EXPECT_FALSE(Window().IsWindowVisible());
    EXPECT_TRUE(platform.TrayIcons().empty());
    EXPECT_FALSE(List().Scan().Running());
    EXPECT_FALSE(List().Sync().Running());
}

TEST_F(MainWindowTest, LightStatusToggleTellsDevicesAndOtherPrograms) {
    auto observer = bus.ConnectPeer(ipc::PeerRole::kObserver);
    Heard heard;
    observer->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice& keyboard = *List().Keyboards().at(0);
    ASSERT_TRUE(Window().LightControl());

    NotifyFrom("control_light_status", "click");
    EXPECT_FALSE(Window().LightControl());
    EXPECT_EQ(Window().FindControl("control_light_status")->GetTextId(), "control_light_off_text");
    EXPECT_EQ(keyboard.HostLighting(), 0);
    NotifyFrom("control_light_status", "click");
    EXPECT_TRUE(Window().LightControl());
    EXPECT_EQ(Window().FindControl("control_light_status")->GetTextId(), "control_light_on_text");
    EXPECT_EQ(keyboard.HostLighting(), 1);
    EXPECT_EQ(heard.Take(),
              (std::vector<ipc::PeerEvent>{ipc::LightStatusSignal{false}, ipc::LightStatusSignal{true}}));

    // Another program asks the window to give up the lighting: the flag and devices follow.
    const auto result = observer->CallProgram(ipc::kLightControlMethod, {std::uint32_t{1}, std::uint32_t{0}});
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_TRUE(PumpUntil([&] { return !Window().LightControl(); }));
    EXPECT_EQ(keyboard.HostLighting(), 0);
    EXPECT_EQ(Window().FindControl("control_light_status")->GetTextId(), "control_light_off_text");
}

TEST_F(MainWindowTest, SuspendSilencesTheLightingAndTheTrayUntilResume) {
    Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice& keyboard = *List().Keyboards().at(0);
    ASSERT_TRUE(Window().IsWindowVisible());  // shown by the first pass
    bus.EmitPower(ipc::PowerChange::kSuspend);
    ASSERT_TRUE(PumpUntil([&] { return !Window().PowerOn(); }));
    EXPECT_EQ(keyboard.HostLighting(), 0);
    ASSERT_TRUE(platform.ClickTray(0, ui::kWmLButtonUp));
    platform.Pump();
    EXPECT_TRUE(Window().IsWindowVisible());  // ignored while suspended

    bus.EmitPower(ipc::PowerChange::kResume);
    ASSERT_TRUE(PumpUntil([&] { return Window().PowerOn(); }));
    EXPECT_EQ(keyboard.HostLighting(), 1);
    ASSERT_TRUE(platform.ClickTray(0, ui::kWmLButtonUp));
    platform.Pump();
    EXPECT_FALSE(Window().IsWindowVisible());
}

TEST_F(MainWindowTest, ASecondStartBringsTheHiddenWindowBack) {
    Window().ShowWindow(true);
    Window().Minimize();
    NotifyFrom("closebtn", "click");
    ASSERT_FALSE(Window().IsWindowVisible());
    auto second = bus.ConnectProgram();
    EXPECT_EQ(second->ClaimInstance(), ipc::InstanceClaim::kWokeRunning);
    ASSERT_TRUE(PumpUntil([&] { return Window().IsWindowVisible(); }));
    EXPECT_EQ(Window().GetWindowState(), ui::WindowState::Normal);
}

TEST_F(MainWindowTest, TheTestToolAsksForTheDeviceReport) {
    auto tool = bus.ConnectPeer(ipc::PeerRole::kTestTool);
    Heard heard;
    tool->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    const auto result = tool->CallProgram(ipc::kDeviceReportMethod, {});
    ASSERT_TRUE(result.ok) << result.message;
    std::vector<ipc::PeerEvent> events;
    ASSERT_TRUE(PumpUntil([&] {
        auto more = heard.Take();
        events.insert(events.end(), more.begin(), more.end());
        return !events.empty();
    }));
    const auto* call = std::get_if<ipc::CopyDataCall>(&events.at(0));
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->kind, 5U);
    ASSERT_EQ(call->block.size(), ipc::kDeviceReportBytes);
    // Version 1.0.0.1, one word each; then the tile rows.
    EXPECT_EQ(ipc::ReadBlockWord(call->block, 0), 1U);
    EXPECT_EQ(ipc::ReadBlockWord(call->block, 12), 1U);
    const auto tiles = device::DeviceTiles();
    ASSERT_EQ(ipc::ReadBlockWord(call->block, 16), tiles.size());
    const std::size_t last = 20 + (tiles.size() - 1) * 12;
    EXPECT_EQ(ipc::ReadBlockWord(call->block, last), tiles.back().vendorId);
    EXPECT_EQ(ipc::ReadBlockWord(call->block, last + 4), tiles.back().productId);
    EXPECT_EQ(ipc::ReadBlockWord(call->block, last + 8), static_cast<std::uint32_t>(tiles.back().kind));
    EXPECT_EQ(ipc::ReadBlockWord(call->block, last + 12), 0U);
}

TEST_F(MainWindowTest, SensitivityEditIsClampedAndMovesItsSlider) {
    auto& edit = ui::test::Ctl<ui::CEditUI>(Window(), "velto_DPI_edit_2");
    auto& slider = ui::test::Ctl<ui::CSliderUI>(Window(), "velto_DPI_slider_2");
    auto& other = ui::test::Ctl<ui::CSliderUI>(Window(), "velto_DPI_slider_1");
    const int otherValue = other.GetValue();
    struct Case {
        const char* typed;
        const char* shown;
        int value;
    };
    for (const Case& c : {Case{"50", "200", 200}, Case{"7000", "6500", 6500}, Case{"abc", "200", 200},
                          Case{"1234", "1234", 1234}, Case{" 800dpi", "800", 800}, Case{"-5", "200", 200}}) {
        edit.SetText(c.typed);
        Window().PaintManager().SendNotify(&edit, "killfocus");
        EXPECT_EQ(edit.GetText(), c.shown) << c.typed;
        EXPECT_EQ(slider.GetValue(), c.value) << c.typed;
    }
    EXPECT_EQ(other.GetValue(), otherValue);  // only the slider of the same index
    // While the slider moves its edit follows.
    slider.SetValue(4321);
    Window().PaintManager().SendNotify(&slider, "movevaluechanged");
    EXPECT_EQ(edit.GetText(), "4321");
}

TEST_F(MainWindowTest, CompanionIsStartedAfterWindowInitAndStoppedAtTheEnd) {
    auto companion = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    Heard heard;
    companion->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    platform.Advance(shell::kFitTimerMs - 1);
    EXPECT_TRUE(heard.Take().empty());
    platform.Advance(1);
    EXPECT_EQ(heard.Take(),
              (std::vector<ipc::PeerEvent>{
                  ipc::AudioCommandCall{ipc::AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())},
                  ipc::AudioCommandCall{ipc::AudioCommand::kOpen, 0},
                  ipc::AudioCommandCall{ipc::AudioCommand::kStartCapture, 0}}));
    program.reset();
    EXPECT_EQ(heard.Take(),
              (std::vector<ipc::PeerEvent>{ipc::AudioCommandCall{ipc::AudioCommand::kStopCapture, 0},
                                           ipc::AudioCommandCall{ipc::AudioCommand::kClose, 0},
                                           ipc::AudioCommandCall{ipc::AudioCommand::kDetach, 0}}));
}

// The companion's levels reach the keyboard: in its music mode 30 the whole keyboard takes the
// colour of the first three levels.
TEST_F(MainWindowTest, CompanionLevelsLightTheKeyboardInItsMusicMode) {
    Plug("keyboard");
    Scan();
    devices::CTarnexUSBDevice* page = List().Keyboards().at(0);
    auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(page);
    ASSERT_NE(keyboard, nullptr);
    if (!keyboard->LightThreadRunning()) {
        keyboard->SyncFromDevice();
    }
    config::LightInfo light = page->LightState();
    light.selectedMode = 30;
    const auto words = devices::LightInfoToWords(light);
    page->SetLightState(words[0], words[1], words[2], words[3]);
    ASSERT_TRUE(PumpUntil([&] { return page->GetLedColor(0).red == 0; }));

    auto companion = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    std::vector<std::uint8_t> block(156, 0);
    block[0] = 200;  // little-endian words: 200, 40, 10, then the bands
    block[4] = 40;
    block[8] = 10;
    ASSERT_TRUE(
        companion->CallProgram(ipc::kAudioDataMethod, {std::uint32_t{ipc::kAudioLevelsKind}, block}).ok);
    ASSERT_TRUE(PumpUntil([&] { return page->GetLedColor(0).red > 0; }));
    const devices::light::LedColor lit = page->GetLedColor(0);
    EXPECT_GT(lit.red, lit.green);
    EXPECT_GT(lit.green, lit.blue);
}

TEST_F(MainWindowTest, MusicColourSliderGoesToTheCompanionAndItsLabel) {
    auto companion = bus.ConnectPeer(ipc::PeerRole::kAudioRecord);
    Heard heard;
    companion->SetEventHandler([&](ipc::PeerEvent e) { heard.Add(std::move(e)); });
    auto& slider = ui::test::Ctl<ui::CSliderUI>(Window(), "G_light_slider");
    auto& label = ui::test::Ctl<ui::CLabelUI>(Window(), "G_light_label");
    slider.SetValue(77);
    Window().PaintManager().SendNotify(&slider, "valuechanged");
    EXPECT_EQ(label.GetText(), "G 77");
    EXPECT_EQ(heard.Take(),
              (std::vector<ipc::PeerEvent>{ipc::AudioCommandCall{ipc::AudioCommand::kGreen, 77}}));
}

TEST_F(MainWindowTest, LockDisablesTheListAndEnablesThePagesSaveButtons) {
    Plug("keyboard");
    Scan();
    auto* page = List().Keyboards().at(0);
    // The page's key panel holds the save buttons.
    ui::CControlUI* save = ui::CPaintManagerUI::FindSubControlByName(page, "key_butt_keysave");
    ASSERT_NE(save, nullptr);
    ui::CControlUI& button = *save;

    Window().Lock(true, false);  // a recording runs
    EXPECT_FALSE(Window().FindControl("device_select_layout")->IsEnabled());
    EXPECT_TRUE(button.IsEnabled());
    EXPECT_FALSE(Window().LockByte());
    Window().Lock(true, true);  // it ended
    EXPECT_TRUE(Window().FindControl("device_select_layout")->IsEnabled());
    EXPECT_FALSE(button.IsEnabled());
    Window().Lock(false, false);  // a pending key assignment leaves the list alone
    EXPECT_TRUE(Window().FindControl("device_select_layout")->IsEnabled());
    EXPECT_TRUE(button.IsEnabled());
}

TEST_F(MainWindowTest, ScreenScaleAndFitting) {
    struct Case {
        int cx;
        int cy;
        int dpi;
    };
    for (const Case& c : {Case{1500, 961, 96}, Case{1501, 961, 144}, Case{1501, 960, 96},
                          Case{1920, 1080, 144}, Case{1280, 1024, 96}}) {
        EXPECT_EQ(CMainWnd::ScaleForScreen({c.cx, c.cy}), c.dpi) << c.cx << "x" << c.cy;
    }
    platform.SetScreenSize({1920, 1080});
    Window().ShowWindow(true);
    Window().SendMessage(ui::kWmDisplayChange);
    EXPECT_EQ(ui::WindowImplBase::GetAllDPI(), 144);
    EXPECT_TRUE(Window().IsWindowVisible());
    const ui::Rect rc = platform.HostOf(Window())->ScreenRect();
    EXPECT_EQ(rc.right - rc.left, 1500);
    EXPECT_EQ(rc.bottom - rc.top, 960);

    platform.SetScreenSize({1280, 1024});
    Window().ShowWindow(false);
    Window().SendMessage(ui::kWmDisplayChange);
    EXPECT_EQ(ui::WindowImplBase::GetAllDPI(), 96);
    EXPECT_FALSE(Window().IsWindowVisible());  // a hidden window stays hidden
}

TEST_F(MainWindowTest, LanguageSwitchLoadsTextsSavesTheIdAndResetsFontsByIndex) {
    // The English entry is first in the default list and no language was saved.
    EXPECT_EQ(Window().LanguageIndex(), 0);
    auto& resources = platform.Resources();
    EXPECT_EQ(resources.Text("control_light_on_text"), "Light control on");

    Window().SendMessage(shell::kLanguageChangedMessage, 1);
    EXPECT_EQ(Window().LanguageIndex(), 1);
    EXPECT_EQ(resources.Text("control_light_on_text"), "控制灯光");
    EXPECT_EQ(platform::ReadSavedLanguage(settings), Window().Languages().at(1).id);

    auto& pm = Window().PaintManager();
    Window().ApplyLanguage(3);
    pm.AddFont(2, ui::FontSpec{"Marker", 99});
    Window().ApplyLanguage(5);
    EXPECT_EQ(pm.GetFont(2).face, "Marker");  // 3 -> 5 keeps the fonts
    Window().ApplyLanguage(4);
    EXPECT_EQ(pm.GetFont(2).face, shell::kFontFace);  // 4 resets them to the layout's sizes
    EXPECT_EQ(pm.GetFont(2).size, 14);

    // Out-of-range indices change nothing.
    Window().ApplyLanguage(1000);
    EXPECT_EQ(Window().LanguageIndex(), 4);
}

class SavedLanguageTest : public MainWndTest {};

TEST_F(SavedLanguageTest, StartUpAppliesTheSavedLanguage) {
    ASSERT_TRUE(platform::SaveLanguage(521, settings));
    ASSERT_TRUE(Start());
    EXPECT_EQ(Window().LanguageIndex(), 1);
    EXPECT_EQ(platform.Resources().Text("control_light_on_text"), "控制灯光");
}

}  // namespace
}  // namespace norvane::test

namespace norvane::test {
namespace {

class MainWindowKeyPanelTest : public MainWndTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
};

TEST_F(MainWindowKeyPanelTest, PanelControlsReachTheCurrentPagesPanelAndTheWriteTellsTheUser) {
    sim::SimDevice& keyboard = Plug("keyboard");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexKeyboardDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    if (page->KeyList().empty()) {
        page->SyncFromDevice();
    }
    ASSERT_GT(page->KeyList().size(), 9U);
    pages::CKeySetControlUI* panel = page->KeySetPanel();
    ASSERT_NE(panel, nullptr);
    page->SelectKey(page->KeyList()[9].keyIndex);

    // Family 5 chosen in the selector: the page's key gets rapid fire.
    auto& families = InPage<ui::CComboUI>("keyset_function_combo");
    for (int i = 0; i < families.GetCount(); ++i) {
        if (families.GetItemAt(i)->GetUserData() == "5") {
            families.SelectItem(i, false);
        }
    }
    InPage<ui::CEditUI>("keyset_mousefire_interval_edit").SetText("80");
    InPage<ui::CEditUI>("keyset_mousefire_num_edit").SetText("2");
    Notify("keyset_function_combo", "itemselect");
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x14, 0x50, 0x02}));
    EXPECT_TRUE(InPage<ui::CControlUI>("key_butt_prosave").IsOwnEnabled());

    // A modifier option routes its index; the option a group change deselects is no choice.
    for (int i = 0; i < families.GetCount(); ++i) {
        if (families.GetItemAt(i)->GetUserData() == "6") {
            families.SelectItem(i, false);
        }
    }
    Notify("keyset_function_combo", "itemselect");
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x20, 0x00, 0x00}));
    InPage<ui::COptionUI>("key_ComBox_check_3").Selected(true, false);
    Notify("key_ComBox_check_3", "selectchanged");
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x20, 0x04, 0x00}));
    InPage<ui::COptionUI>("key_ComBox_check_2").Selected(true, false);
    InPage<ui::COptionUI>("key_ComBox_check_3").Selected(false, false);
    Notify("key_ComBox_check_2", "selectchanged");
    Notify("key_ComBox_check_3", "selectchanged");
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x20, 0x02, 0x00}));

    // Show default, then the write: the macro memory refuses, the user is told.
    Notify("key_butt_keydefalut", "click");
    EXPECT_EQ(panel->Editing(), page->KeyList()[9].defaultAssignment);
    Notify("key_butt_keysave", "click");
    EXPECT_EQ(page->KeyList()[9].current, page->KeyList()[9].defaultAssignment);
    config::MacroLibrary library(page->DataFolder());
    library.Load();
    ASSERT_FALSE(library.NewMacro().empty());
    ASSERT_TRUE(library.Save(0, {{10, 4, "down", 20}, {10, 4, "up", 30}}));
    auto keys = page->KeyList();
    keys[3].current = {0x70, 0, 0};
    page->SetKeyList(keys);
    keyboard.InjectFault(
        sim::Fault(sim::FaultKind::StatusFE, static_cast<std::uint8_t>(device::Command::WriteMacroMemory)));
    Notify("key_butt_prosave", "click");
    const ui::CResourceManager& texts = platform.Resources();
    EXPECT_EQ(Window().LastMessage(),
              texts.Text("message_text_7") + " " + texts.Text(devices::kMacroKeysAtDefaultsMessage));
    EXPECT_FALSE(panel->WritePending());
    EXPECT_FALSE(InPage<ui::CControlUI>("key_butt_prosave").IsOwnEnabled());

    // Macros too large for the memory: the count fills the message, the selected key falls back
    // to its default before the key table goes out.
    page->SelectKey(page->KeyList()[9].keyIndex);
    for (int i = 0; i < families.GetCount(); ++i) {
        if (families.GetItemAt(i)->GetUserData() == "5") {
            families.SelectItem(i, false);
        }
    }
    Notify("keyset_function_combo", "itemselect");
    ASSERT_EQ(page->KeyList()[9].current.type, 0x14);
    keyboard.WithFirmware([](sim::FirmwareModel& f) { f.Info().bytes[6] = 0; });
    Notify("key_butt_prosave", "click");
    EXPECT_EQ(page->KeyList()[9].current, page->KeyList()[9].defaultAssignment);
    const std::string format = texts.Text("message_text_16");
    const std::size_t at = format.find("%d");
    ASSERT_NE(at, std::string::npos);
    const std::string& told = Window().LastMessage();
    EXPECT_EQ(told.substr(0, at), format.substr(0, at));
    EXPECT_EQ(told.find("%d"), std::string::npos);
    ASSERT_GT(told.size(), at);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(told[at]))) << told;
    EXPECT_NE(told.find(texts.Text(devices::kMacroKeysAtDefaultsMessage)), std::string::npos);
}

TEST_F(MainWindowKeyPanelTest, KeyFieldFocusCapturesKeysThroughTheHook) {
    Plug("keyboard");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexKeyboardDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    if (page->KeyList().empty()) {
        page->SyncFromDevice();
    }
    ASSERT_GT(page->KeyList().size(), 9U);
    page->SelectKey(page->KeyList()[9].keyIndex);
    auto& families = InPage<ui::CComboUI>("keyset_function_combo");
    for (int i = 0; i < families.GetCount(); ++i) {
        if (families.GetItemAt(i)->GetUserData() == "6") {
            families.SelectItem(i, false);
        }
    }
    Notify("keyset_function_combo", "itemselect");
    InPage<ui::COptionUI>("key_ComBox_check_1").Selected(true, false);
    Notify("key_ComBox_check_1", "selectchanged");

    Notify("keyset_keyboard_text_edit", "setfocus");
    ASSERT_NE(keyHook, nullptr);
    EXPECT_TRUE(keyHook->IsRunning());
    EXPECT_TRUE(Window().KeyCaptureRunning());
    struct Press {
        unsigned message;
        input::KeyHookRecord record;
        config::KeyAssignment expected;
    };
    const Press presses[] = {
        {input::kWmKeyDown, {0x41, 0x1E, 0, 1}, {0x20, 0x01, 0x04}},  // A
        {input::kWmKeyUp, {0x41, 0x1E, 0, 2}, {0x20, 0x01, 0x04}},
        {input::kWmKeyDown, {0xA3, 0x1D, 1, 3}, {0x20, 0x01, 0x00}},  // right Ctrl alone
        {input::kWmKeyDown, {0xA0, 0x2A, 0, 4}, {0x20, 0x02, 0x00}},  // left Shift
        {input::kWmKeyDown, {0x74, 0x3F, 0, 5}, {0x20, 0x02, 0x3E}},  // F5 with Shift
        {input::kWmKeyDown, {0xB3, 0x22, 1, 6}, {0x20, 0x02, 0x3E}},  // play/pause: nothing
    };
    for (const Press& p : presses) {
        ASSERT_TRUE(keyHook->PushKey(p.message, p.record));
        platform.Pump();
        EXPECT_EQ(page->KeyList()[9].current, p.expected) << int(p.record.scanCode);
    }
    EXPECT_EQ(InPage<ui::CEditUI>("keyset_keyboard_text_edit").GetText(), "F5");

    Notify("keyset_keyboard_text_edit", "killfocus");
    EXPECT_FALSE(keyHook->IsRunning());
    EXPECT_FALSE(Window().KeyCaptureRunning());
    EXPECT_FALSE(keyHook->PushKey(input::kWmKeyDown, {0x42, 0x30, 0, 7}));

    // A capture that ends by itself: stopped and the user told; a refused start likewise.
    const std::string told = platform.Resources().Text("keyset_capture_stopped");
    Notify("keyset_keyboard_text_edit", "setfocus");
    ASSERT_TRUE(keyHook->IsRunning());
    keyHook->Lose(input::HookStopReason::GrabRefused);
    platform.Pump();
    EXPECT_FALSE(Window().KeyCaptureRunning());
    EXPECT_FALSE(keyHook->IsRunning());
    EXPECT_EQ(Window().LastMessage(), told);
    Notify("keyset_keyboard_text_edit", "killfocus");
    keyHook->FailNextStart("keyboard held by another client");
    Notify("keyset_keyboard_text_edit", "setfocus");
    EXPECT_FALSE(Window().KeyCaptureRunning());
    EXPECT_FALSE(keyHook->IsRunning());
    EXPECT_EQ(Window().LastMessage(), told);
    EXPECT_EQ(page->KeyList()[9].current, (config::KeyAssignment{0x20, 0x02, 0x3E}));
}

TEST_F(MainWindowKeyPanelTest, TheMousesOnlyLeftButtonIsNotSelected) {
    Plug("mouse");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexMouseDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    if (page->KeyList().empty()) {
        page->SyncFromDevice();
    }
    const auto& keys = page->KeyList();
    const auto left =
        std::ranges::find(keys, config::KeyAssignment{0x10, 0x01, 0x00}, &config::KeyListEntry::current);
    ASSERT_NE(left, keys.end());
    const int leftIndex = static_cast<int>(left - keys.begin());
    const int other = leftIndex == 0 ? 1 : 0;
    page->SwitchFunctionTab(2);
    ui::CLabelUI probe;
    probe.SetName("key_" + std::to_string(leftIndex));
    Window().PaintManager().SendNotify(&probe, "click");
    EXPECT_EQ(Window().LastMessage(), platform.Resources().Text("message_text_6"));
    EXPECT_NE(page->SelectedKey(), leftIndex);
    EXPECT_FALSE(InPage<ui::CControlUI>("keyset_layout").IsOwnVisible());
    probe.SetName("key_" + std::to_string(other));
    Window().PaintManager().SendNotify(&probe, "click");
    EXPECT_EQ(page->SelectedKey(), other);
    EXPECT_TRUE(InPage<ui::CControlUI>("keyset_layout").IsOwnVisible());
    EXPECT_EQ(page->KeySetPanel()->Current(), keys[static_cast<std::size_t>(other)].current);
}

}  // namespace
}  // namespace norvane::test

namespace norvane::test {
namespace {

TEST_F(MainWindowKeyPanelTest, MacroPanelActionsMenuItemsAndARecordingWhoseDeviceGoesAway) {
    Plug("keyboard");
    Scan();
    auto* page = dynamic_cast<devices::CTarnexKeyboardDevice*>(Window().CurrentDevice());
    ASSERT_NE(page, nullptr);
    auto& panel = InPage<pages::CMacroControlUI>("MacroControlItem");
    auto& selector = InPage<ui::CComboUI>("keyset_macro_combo");
    const int listed = selector.GetCount();

    Notify("macro_btn_name_add", "click");
    ASSERT_EQ(panel.MacroNames().size(), 1U);
    EXPECT_EQ(selector.GetCount(), listed + 1);
    EXPECT_EQ(page->Names().macroNames, panel.MacroNames());
    InPage<ui::CListUI>("macro_name_list").SelectItem(0, false);
    Notify("macro_name_list", "itemselect");
    EXPECT_EQ(panel.OpenIndex(), 0);

    Window().HandleMenuCommand("left_click");
    EXPECT_EQ(panel.Events(), (std::vector<config::MacroEvent>{{1, 1, "down", 50}, {1, 1, "up", 50}}));
    EXPECT_EQ(panel.SelectedRow(), 1);

    // Recording after the selected step, without delays; the hook's posts reach the panel.
    Window().HandleMenuCommand("redio_later_ignore_time");
    ASSERT_TRUE(panel.IsRecording());
    ASSERT_NE(keyHook, nullptr);
    EXPECT_TRUE(keyHook->IsRunning());
    EXPECT_FALSE(Window().LockByte());
    ASSERT_TRUE(keyHook->PushKey(input::kWmKeyDown, {0x41, 0x1E, 0, 1}));
    platform.Pump();
    EXPECT_EQ(panel.Events().back(), (config::MacroEvent{10, 4, "down", 0}));

    // Recorded rows beyond the list's height: 50 ms later the list shows the selected last one,
    // wherever the user scrolled it meanwhile.
    page->SwitchFunctionTab(3);
    auto& actionList = InPage<ui::CListUI>("macro_action_list");
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(keyHook->PushKey(input::kWmKeyDown, {0x41, 0x1E, 0, 1}));
        ASSERT_TRUE(keyHook->PushKey(input::kWmKeyUp, {0x41, 0x1E, 0x80, 1}));
    }
    platform.Pump();
    ASSERT_GT(panel.Events().size(), 40U);
    actionList.SetScrollPos(0);
    platform.Advance(60);
    EXPECT_GT(actionList.GetScrollPos(), 0);

    // The device goes away: the capture ends, the macro is saved, the window unlocked.
    Window().StopRecording();
    EXPECT_FALSE(panel.IsRecording());
    EXPECT_FALSE(keyHook->IsRunning());
    EXPECT_TRUE(Window().LockByte());
    config::MacroLibrary library(page->DataFolder());
    library.Load();
    EXPECT_EQ(library.Open(0), panel.Events());
}

TEST_F(MainWindowKeyPanelTest, DeletingAMacroAsksTheUserFirst) {
    Plug("keyboard");
    Scan();
    auto& panel = InPage<pages::CMacroControlUI>("MacroControlItem");
    Notify("macro_btn_name_add", "click");
    ASSERT_EQ(panel.MacroNames().size(), 1U);
    InPage<ui::CListUI>("macro_name_list").SelectItem(0, false);

    messageAnswer = 0;
    Notify("macro_btn_name_sub", "click");
    ASSERT_EQ(messagesShown.size(), 1U);
    EXPECT_EQ(messagesShown.back(), platform.Resources().Text("message_text_4"));
    EXPECT_EQ(panel.MacroNames().size(), 1U);

    messageAnswer = 1;
    Notify("macro_btn_name_sub", "click");
    EXPECT_EQ(messagesShown.size(), 2U);
    EXPECT_TRUE(panel.MacroNames().empty());
}

// The key field's focus switches the key capture; a capture that ends by itself is released.
TEST_F(MainWindowTest, TheHookSwitchMessageStartsAndStopsTheKeyCapture) {
    Window().SendMessage(shell::kHookSwitchMessage, 1);
    ASSERT_NE(hookBackend, nullptr);
    EXPECT_TRUE(hookBackend->IsRunning());
    EXPECT_EQ(Window().DeviceHook().Mode(), input::HookMode::SingleKey);
    EXPECT_TRUE(hookBackend->Options().keyboard);
    EXPECT_TRUE(hookBackend->Options().swallowKeys);
    Window().SendMessage(shell::kHookSwitchMessage, 0);
    EXPECT_FALSE(hookBackend->IsRunning());
    EXPECT_FALSE(Window().DeviceHook().IsKeyboardHooked());

    Window().SendMessage(shell::kHookSwitchMessage, 1);
    hookBackend->Lose(input::HookStopReason::DisplayLost);
    platform.Pump();
    EXPECT_FALSE(Window().DeviceHook().IsKeyboardHooked());
    EXPECT_FALSE(Window().DeviceHook().IsOutsideStarted());
}

TEST_F(MainWindowTest, AKeyCaptureThatCannotStartLeavesTheWindowWorking) {
    Window().SendMessage(shell::kHookSwitchMessage, 0);  // makes the backend, stops nothing
    ASSERT_NE(hookBackend, nullptr);
    hookBackend->FailNextStart("no keyboard");
    Window().SendMessage(shell::kHookSwitchMessage, 1);
    EXPECT_FALSE(hookBackend->IsRunning());
    EXPECT_FALSE(Window().DeviceHook().IsKeyboardHooked());
    EXPECT_TRUE(Window().Initialised());
}

TEST_F(MainWindowTest, SettingsWindowOpensOnceAtATimeWithTheOpenDevicesFirmware) {
    Plug("mouse");
    Scan();
    // The tray menu and message 3093 open it centred, "setbtn" at the window's right edge;
    // while it is open every further request does nothing.
    std::vector<update::CSetWnd*> opened;
    std::vector<std::string> rows;
    platform.SetModalDriver([&](ui::WindowImplBase& modal) {
        update::CSetWnd* open = Window().SettingsWindow();
        ASSERT_EQ(open, &modal);
        opened.push_back(open);
        Window().HandleMenuCommand("setwnd_menu");
        NotifyFrom("setbtn", "click");
        Window().SendMessage(shell::kOpenSettingsMessage);
        EXPECT_EQ(Window().SettingsWindow(), open);
        rows.clear();
        for (const update::UpdateInfo& info : open->Infos()) {
            rows.push_back(info.name);
        }
        EXPECT_EQ(open->LanguageIndex(), Window().LanguageIndex());
        modal.RequestClose();
    });
    Window().HandleMenuCommand("setwnd_menu");
    NotifyFrom("setbtn", "click");
    Window().SendMessage(shell::kOpenSettingsMessage);
    EXPECT_EQ(opened.size(), 3U);
    EXPECT_EQ(Window().SettingsWindow(), nullptr);
    // The mouse's firmware row is listed (its cable interface is open); the keyboard's is not.
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), "MS");
    EXPECT_EQ(std::ranges::count(rows, "KB"), 0);
}

TEST_F(MainWindowTest, SettingsWindowLanguageChoiceIsAppliedAndToldBack) {
    platform.SetModalDriver([&](ui::WindowImplBase& modal) {
        auto& combo = dynamic_cast<ui::CComboUI&>(*modal.FindControl("Language_combox_info"));
        ASSERT_EQ(static_cast<std::size_t>(combo.GetCount()), Window().Languages().size());
        EXPECT_EQ(combo.GetItemAt(1)->GetText(), "简体中文");
        combo.ChooseItem(1);
        EXPECT_EQ(Window().LanguageIndex(), 1);
        EXPECT_EQ(platform::ReadSavedLanguage(settings), Window().Languages().at(1).id);
        modal.RequestClose();
    });
    Window().HandleMenuCommand("setwnd_menu");
    EXPECT_EQ(Window().LanguageIndex(), 1);
}

// The title bar's logo opens the home page; the system settings buttons the desktop's keyboard
// (0) and mouse (1) settings.
TEST_F(MainWindowTest, LogoAndSystemSettingsButtonsAskTheDesktop) {
    launcher.installed = {"gnome-control-center"};
    NotifyFrom("logo_btn", "click");
    NotifyFrom("windowdeviceset_0", "click");
    NotifyFrom("windowdeviceset_1", "click");
    EXPECT_EQ(launcher.launched, (std::vector<std::vector<std::string>>{{"xdg-open", platform::kHomePage},
                                                                        {"gnome-control-center", "keyboard"},
                                                                        {"gnome-control-center", "mouse"}}));
}

}  // namespace
}  // namespace norvane::test
