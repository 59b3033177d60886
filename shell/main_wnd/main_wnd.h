#pragma once

#include "input/device_hook.h"
#include "pages/macro/macro_panel_links.h"
#include "platform/ipc/bus.h"
#include "platform/ipc/event_queue.h"
#include "platform/registry.h"
#include "shell/device_list/device_list.h"
#include "shell/main_wnd/audio_capture.h"
#include "shell/main_wnd/language.h"
#include "shell/main_wnd/music_lighting.h"
#include "shell/main_wnd/program_messages.h"
#include "shell/main_wnd/router.h"
#include "shell/windows/about_wnd.h"
#include "shell/windows/msg_wnd.h"
#include "shell/windows/skin_frame.h"
#include "shell/windows/skin_observer.h"
#include "ui/tray_icon.h"
#include "ui/window.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::ui {
class CButtonUI;
}  // namespace norvane::ui

namespace norvane::pages {
class CMacroControlUI;
}  // namespace norvane::pages

namespace norvane::update {
class CSetWnd;
}  // namespace norvane::update

namespace norvane::devices {
struct DeviceWriteReport;
}  // namespace norvane::devices

namespace norvane::shell {

class CDeviceProfileUI;

// The supported-device report for the test tool: the version's four numbers, the number of
// tile rows, then vendor, product and kind per row.
std::optional<std::array<std::uint8_t, platform::ipc::kDeviceReportBytes>> MakeDeviceReport();

// The program's top-level window and its controller: it owns the device list, routes every
// control notification to itself or to the page of the current device, handles the window
// messages, the tray icon and its menu, the language and the light-control status.
//
// Threads: everything runs on the UI thread. The device list's threads and the bus reach the
// window only through posted messages; Shutdown stops them (bounded) before the tree goes.
class CMainWnd : public ui::WindowImplBase, public DeviceListHost {
public:
    struct Options {
        device::HidBackend* backend = nullptr;       // the device list's HID backend (required)
        platform::ipc::IBus* bus = nullptr;          // other programs; none in tests without one
        std::filesystem::path defaultData;           // the "DefaultData" folder
        std::filesystem::path trayIcon;              // image of the tray icon
        std::optional<platform::Registry> registry;  // the user's when unset
        DeviceList::Options list;
        bool startThreads = true;  // false: a test drives the scan itself
        // Makes the input capture backend on first use; the default picks X11 or in-window.
        std::function<std::unique_ptr<input::IHookBackend>()> hookBackend;
        // The audio-capture companion, launched when none is on the bus; empty: never launched.
        std::filesystem::path audioCapture;
    };

    static constexpr std::string_view kSkinFile = "XML_MAIN";
    static constexpr std::string_view kClassName = "MainWnd";
    static constexpr std::string_view kTitle = "NORVANE";

    explicit CMainWnd(Options options);
    ~CMainWnd() override;
    CMainWnd(const CMainWnd&) = delete;
    CMainWnd& operator=(const CMainWnd&) = delete;

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void InitWindow() override;
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override;
    void Notify(ui::TNotifyUI& msg) override;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

    // --- operations ---
    // The device of the first tile of "device_select_layout" that is connected and selected.
    devices::CTarnexUSBDevice* CurrentDevice() const;
    // Enables or disables the device list and the profile panel (touchList) and the key
    // panel's save buttons (enabled disables them), and keeps enabled as the lock byte.
    void Lock(bool touchList, bool enabled);
    bool LockByte() const { return lockByte_; }
    // Applies a language of the list by index; nothing when it is the current one.
    void ApplyLanguage(int index);
    int LanguageIndex() const { return languageIndex_; }
    const std::vector<LanguageEntry>& Languages() const { return languages_; }
    // 96 or 144 DPI for a screen size.
    static int ScaleForScreen(ui::Size screen);
    // Sizes the window to 1000 x 640 at the scale the screen takes and centres it.
    void FitToScreen();
    // Sets the light-control flag: the status text, the devices, and with broadcast the
    // other programs hear of it.
    void SetLightControl(bool controlling, bool broadcast);
    bool LightControl() const { return lightControl_; }
    bool PowerOn() const { return powerOn_; }
    // The tray menu's "exit": stops everything and ends the message loop with 0.
    void Exit();
    // Hides the window, stops the threads (bounded) and the bus events; idempotent.
    void Shutdown();
    // Handles a menu item name of the tray menu or the macro action menu.
    void HandleMenuCommand(std::string_view item);
    // The action a notification was routed to last (kNone when none matched).
    const std::optional<Route>& LastRoute() const { return lastRoute_; }
    bool Initialised() const { return initialised_; }
    bool KeyCaptureRunning() const { return keyCaptureOn_; }
    // Tells or asks the user in the message window over this one, at its scale: text is a
    // language text id when isTextId, else a ready text. 1 when confirmed, 0 when cancelled
    // or closed.
    int ShowMessage(std::string_view text, bool isTextId, MessageButtons buttons = MessageButtons::kConfirm);
    // Opens the settings window modally, centred or at the window's right edge; nothing while
    // it is open already.
    void OpenSettings(bool centred);
    update::CSetWnd* SettingsWindow() const { return setWnd_; }
    // The last message the window gave the user.
    const std::string& LastMessage() const { return lastMessage_; }
    // The about window, modal while open; a request while it is open does nothing.
    void OpenAboutWindow();
    CAboutWnd* AboutWindow() const { return aboutWnd_.get(); }
    // The skin frame under the skin button; a request while it is open closes it.
    void OpenSkinFrame();
    CSkinFrame* SkinFrame() const { return skinFrame_.get(); }
    // A new background for the "root" control.
    void ApplySkin(const SkinChangedParam& param);
    DeviceList* List() { return list_.get(); }
    ui::CTrayIcon& Tray() { return tray_; }
    const RegisteredMessages& Messages() const { return messages_; }
    // The one input capture owner: key capture and macro recording share it.
    input::CDeviceHook& DeviceHook();
    // The palette for the DPI stage of a "DPI_color_option_" swatch; nothing while one is open.
    void OpenDpiPalette(const ui::CControlUI& swatch);
    bool PaletteOpen() const { return paletteWnd_ != nullptr; }
    // The music lighting window; nothing while it is open.
    void OpenMusicWindow();
    // The audio-light file and the current music style.
    MusicLighting& Music() { return music_; }

    // --- DeviceListHost ---
    void BringToFront() override;
    void CloseChildWindows() override;
    ui::Size ScreenSize() const override;
    void PageCreated(devices::CTarnexUSBDevice& page) override;
    // Stops any recording without a device write and unlocks the window.
    void StopRecording() override;
    void SetMultipleDevices(bool multiple) override;
    void ShowLightState(devices::CTarnexUSBDevice& page, const config::LightInfo& state) override;

protected:
    void OnShowWindow(bool shown) override;

private:
    void OnWindowInit();
    void OnTimer(int id);
    void OnInstance();
    void OnTrayCallback(unsigned mouseCode);
    void ShowTrayMenu();
    void OnBusEvents();
    void Act(const Route& route, ui::TNotifyUI& msg);
    void OnKeyButton(int index);
    // The key panel's controls, carried out by the current page's panel.
    void OnKeySetAction(const Route& route, const ui::TNotifyUI& msg);
    // The shoot panel's controls, carried out by the current mouse page's panel.
    void OnShootAction(const Route& route, const ui::TNotifyUI& msg);
    // A "*.shoot" file from the file dialog; empty when none was chosen.
    std::filesystem::path ChooseShootFile(bool save);
    // The lighting panel's controls (light_actions.cpp): the new record goes to the current device.
    void OnLightAction(const Route& route, const ui::TNotifyUI& msg);
    void OnMusicLightAction(const Route& route, const ui::TNotifyUI& msg);
    // "click_select_end" of a device picture.
    void OnPictureSelectionEnd(const ui::TNotifyUI& msg);
    // "key_butt_prosave": macros, then the key table, then the profile; the user is told
    // when the macros were not written.
    void WriteToDevice();
    void TellUser(std::string text);
    // What a macro and key write did, told to the user when it failed.
    void TellWriteReport(const devices::DeviceWriteReport& report);
    // The profile panel (profile_actions.cpp): the current page's panel, null without one.
    CDeviceProfileUI* CurrentProfilePanel() const;
    void OnProfilePanel(const ui::TNotifyUI& msg);
    void OnPageTab(const ui::TNotifyUI& msg);
    // Timer 1055: the panel's selection becomes the device's profile and goes to the device.
    void ApplyProfileSelection();
    void ResetProfile(CDeviceProfileUI& panel);
    // "default_btn": after the question, the device's defaults are restored and written.
    void RestoreDeviceDefaults();
    // The used macros and the key table to the device, the user told of a failure.
    void WriteMacrosAndKeysOf(devices::CTarnexUSBDevice& device);
    // The key field's focus: the capture of keyboard keys starts (on) or stops.
    void SwitchKeyCapture(bool on);
    // A captured key (a packed hook record) for the current page's key panel.
    void OnCapturedKey(std::intptr_t packedRecord);
    // The capture ended by itself (grab refused, display gone): stopped, and the user told.
    void OnKeyCaptureLost();
    void OnDpiEditClamp(ui::CControlUI& edit, int index);
    void OnDpiSliderMove(ui::CControlUI& slider, int index);
    void OnMusicColourSlider(ui::CControlUI& slider);
    void OpenMacroActionMenu(ui::TNotifyUI& msg);
    void StartRecording(int delayMode, int hookOption);
    // The macro panel of the current keyboard or mouse page; null without one.
    pages::CMacroControlUI* CurrentMacroPanel() const;
    void OnMacroAction(ui::TNotifyUI& msg);
    void InsertMacroButton(MouseButtonEvent down, MouseButtonEvent up) const;
    // While recording, the device list, profile panel and device picture take no input.
    void LockForRecording(bool recording);
    // A recorded event or the capture's end, for the recording panel; false for other messages.
    bool OnHookMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam);
    void SetPollSuspended(bool suspended);
    void PassActiveFlag();
    void PassHostLighting(int flag);
    void UpdateNoDevicePanel();
    // The release numbers of the open devices' cable interfaces, for the firmware list.
    std::vector<device::OpenDeviceVersion> OpenDeviceVersions() const;
    void TellSettingsOfLanguage();
    const platform::Registry& Settings() const;
    // Every page of the four lists.
    std::vector<devices::CTarnexUSBDevice*> AllPages() const;

    Options options_;
    RegisteredMessages messages_;
    platform::Registry userRegistry_;
    std::unique_ptr<DeviceList> list_;
    std::unique_ptr<input::CDeviceHook> deviceHook_;  // made on first use
    ui::CTrayIcon tray_;
    std::vector<LanguageEntry> languages_;
    WindowFonts layoutFonts_;
    int languageIndex_ = -1;
    bool lightControl_ = true;
    bool powerOn_ = true;
    bool windowActive_ = false;
    bool activeOrHovered_ = false;
    bool displayChanged_ = false;
    bool initialised_ = false;
    std::string lastMessage_;
    bool sameModeOffered_ = false;  // more than one device connected
    bool keyCaptureOn_ = false;
    bool lockByte_ = true;
    bool shutDown_ = false;
    std::optional<Route> lastRoute_;
    update::CSetWnd* setWnd_ = nullptr;         // while the settings window is open
    ui::WindowImplBase* paletteWnd_ = nullptr;  // while the palette runs
    MusicLighting music_;

    // Title-bar controls.
    ui::CControlUI* closeButton_ = nullptr;
    ui::CControlUI* maxButton_ = nullptr;
    ui::CControlUI* restoreButton_ = nullptr;
    ui::CControlUI* minButton_ = nullptr;
    ui::CControlUI* skinButton_ = nullptr;
    ui::CControlUI* setButton_ = nullptr;

    // What the macro panels ask of the user.
    class MacroPrompts final : public pages::IMacroPrompts {
    public:
        explicit MacroPrompts(CMainWnd& window) : window_(window) {}
        bool Ask(std::string_view textId) override;
        void Tell(std::string_view text) override;
        std::optional<std::filesystem::path> ChooseOpenFile(std::string_view filter) override;
        std::optional<std::filesystem::path> ChooseSaveFile(std::string_view filter) override;

    private:
        std::optional<std::filesystem::path> Choose(std::string_view filter, bool save);
        CMainWnd& window_;
    };
    MacroPrompts macroPrompts_{*this};
    AudioCaptureLink audioCapture_;

    // Child windows, each set while it is open.
    std::unique_ptr<CAboutWnd> aboutWnd_;
    std::unique_ptr<CSkinFrame> skinFrame_;
    SkinReceiverScope skinReceiver_{[this](const SkinChangedParam& param) { ApplySkin(param); }};

    // Last: the bus hands events here from its own thread until detached in Shutdown.
    platform::ipc::EventQueue busEvents_;
};

}  // namespace norvane::shell
