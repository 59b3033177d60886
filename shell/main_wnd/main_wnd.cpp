#include "shell/main_wnd/main_wnd.h"

#include "config/strings.h"
#include "devices/device_write.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/mouse/mouse_device.h"
#include "devices/usb_device.h"
#include "pages/key_set/key_set_control.h"
#include "pages/light/light_control.h"
#include "pages/macro/macro_control.h"
#include "platform/diag.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/version.h"
#include "shell/device_list/device_option.h"
#include "shell/device_list/device_scan.h"
#include "shell/main_wnd/layout_tags.h"
#include "shell/profile_page/device_profile.h"
#include "ui/container.h"
#include "ui/control.h"
#include "ui/label.h"
#include "ui/messages.h"
#include "ui/option.h"
#include "ui/platform.h"
#include "ui/progress.h"
#include "ui/resource_manager.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace norvane::shell {

namespace {

using device::DeviceKind;

bool IsKeyboard(DeviceKind kind) {
    return kind == DeviceKind::Keyboard || kind == DeviceKind::KeyboardAlternate;
}

bool IsMouse(DeviceKind kind) {
    return kind == DeviceKind::MouseCable || kind == DeviceKind::MouseReceiver;
}

void Trace(std::string_view what, std::string_view detail = {}) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace(std::string(what) + (detail.empty() ? "" : " ") + std::string(detail));
    }
}

constexpr std::string_view kKeyCaptureStoppedMessage = "keyset_capture_stopped";
constexpr int kDpiEditMin = 200;
constexpr int kDpiEditMax = 6500;

std::string LanguageText(std::string_view id) {
    if (ui::IUiPlatform* platform = ui::CurrentPlatform()) {
        return platform->Resources().Text(id);
    }
    return std::string(id);
}

// A language text with one "%d" replaced by a number.
std::string FormatCount(std::string format, int count) {
    if (const std::size_t at = format.find("%d"); at != std::string::npos) {
        format.replace(at, 2, std::to_string(count));
    }
    return format;
}

}  // namespace

RegisteredMessages RegisterProgramMessages() {
    RegisteredMessages m;
    m.instance = ui::RegisterWindowMessage(kInstanceMessageName);
    m.externalForward = ui::RegisterWindowMessage(kExternalForwardName);
    m.lightStatus = ui::RegisterWindowMessage(kLightStatusName);
    m.lightControl = ui::RegisterWindowMessage(kLightControlName);
    m.deviceReport = ui::RegisterWindowMessage(kDeviceReportName);
    m.audioCapture = ui::RegisterWindowMessage(kAudioCaptureName);
    return m;
}

CMainWnd::CMainWnd(Options options)
    : options_(std::move(options)),
      messages_(RegisterProgramMessages()),
      userRegistry_(platform::Registry::ForUser()),
      music_(platform::UserDataFolder() / "AudioFile.json", options_.defaultData / "AudioFile.json",
             options_.bus),
      audioCapture_({.bus = options_.bus, .program = options_.audioCapture}),
      busEvents_(1024, [this] { PostMessage(kBusEventMessage); }) {
}

CMainWnd::~CMainWnd() {
    Shutdown();
    deviceHook_.reset();
    list_.reset();
}

const platform::Registry& CMainWnd::Settings() const {
    return options_.registry ? *options_.registry : userRegistry_;
}

// --- window start ---

void CMainWnd::InitWindow() {
    Trace("InitWindow");
    if (ui::IUiPlatform* platform = ui::CurrentPlatform(); platform != nullptr) {
        platform->Resources().LoadLanguage(platform->Resources().ResolveSkinPath("lan_cn.xml"));
    }
    layoutFonts_ = {pm_.Fonts(), pm_.DefaultFont()};
    closeButton_ = FindControl("closebtn");
    maxButton_ = FindControl("maxbtn");
    restoreButton_ = FindControl("restorebtn");
    minButton_ = FindControl("minbtn");
    skinButton_ = FindControl("skinbtn");
    setButton_ = FindControl("setbtn");
    tray_.Create(*this, options_.trayIcon, kTitle, kTrayCallbackMessage);
    if (options_.backend != nullptr) {
        list_ = std::make_unique<DeviceList>(*this, *options_.backend, this, options_.list);
    }
}

std::unique_ptr<ui::CControlUI> CMainWnd::CreateControl(std::string_view tag) {
    return CreateLayoutTag(tag, pm_);
}

void CMainWnd::OnWindowInit() {
    if (options_.bus != nullptr) {
        options_.bus->SetEventHandler(busEvents_.Handler());
        options_.bus->BroadcastLightStatus(true);
    }
    music_.Load();
    languages_ = ReadLanguageList(options_.defaultData / kLanguageListFile);
    const std::uint32_t saved = platform::ReadSavedLanguage(Settings()).value_or(kDefaultLanguageId);
    ApplyLanguage(LanguageIndexOf(languages_, saved));
    if (list_ && !list_->Init()) {
        Trace("main window: the layout lacks the device list's containers");
    }
    ShowWindow(false);
    if (list_ && options_.startThreads && !list_->StartThreads()) {
        Trace("main window: the device scan did not start");
    }
    pm_.SetTimer(pm_.GetRoot(), kFitTimerId, kFitTimerMs);
    initialised_ = true;
}

// --- notifications ---

void CMainWnd::Notify(ui::TNotifyUI& msg) {
    const std::string name = msg.sender != nullptr ? msg.sender->GetName() : std::string();
    if (msg.type != ui::notify::kTimer) {
        Trace(msg.type, name);
    }
    lastRoute_.reset();
    if (msg.type == ui::notify::kWindowInit) {
        OnWindowInit();
        return;
    }
    if (msg.type == ui::notify::kTimer && msg.sender != nullptr && msg.sender == pm_.GetRoot()) {
        OnTimer(static_cast<int>(msg.wparam));
        return;
    }
    // A macro panel's own timer (the scroll to a recorded row) is the panel's.
    if (auto* panel = dynamic_cast<pages::CMacroControlUI*>(msg.sender);
        panel != nullptr && msg.type == ui::notify::kTimer) {
        panel->HandleControlEvent(msg);
        return;
    }
    if (list_ && list_->HandleNotify(msg)) {
        return;
    }
    if (msg.type == ui::notify::kWindowSize) {
        if (name == "root" && displayChanged_) {
            displayChanged_ = false;
            FitToScreen();
        }
        return;
    }
    lastRoute_ = RouteNotification(msg.type, name);
    if (lastRoute_) {
        Act(*lastRoute_, msg);
    }
}

void CMainWnd::Act(const Route& route, ui::TNotifyUI& msg) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    switch (route.action) {
        case MainAction::kCloseToTray:
            CloseChildWindows();
            ShowWindow(false);
            SetPollSuspended(true);
            break;
        case MainAction::kHideWindow:
            ShowWindow(false);
            break;
        case MainAction::kOpenSettings:
            OpenSettings(false);
            break;
        case MainAction::kToggleLightStatus:
            SetLightControl(!lightControl_, true);
            break;
        case MainAction::kMinimize:
            Minimize();
            break;
        case MainAction::kMaximize:
            Maximize();
            break;
        case MainAction::kRestore:
            Restore();
            break;
        case MainAction::kKeyButton:
            OnKeyButton(route.index);
            break;
        case MainAction::kSameMode:
            if (current != nullptr && list_) {
                list_->ApplySameMode(*current);
            }
            break;
        case MainAction::kDpiEditClamp:
            OnDpiEditClamp(*msg.sender, route.index);
            break;
        case MainAction::kDpiSliderMove:
            OnDpiSliderMove(*msg.sender, route.index);
            break;
        case MainAction::kDpiColourPalette:
            OpenDpiPalette(*msg.sender);
            break;
        case MainAction::kOpenMusicWindow:
            OpenMusicWindow();
            break;
        case MainAction::kMusicColourSlider:
            OnMusicColourSlider(*msg.sender);
            break;
        case MainAction::kMacroActionMenu:
            OpenMacroActionMenu(msg);
            break;
        case MainAction::kOpenSkinFrame:
            OpenSkinFrame();
            break;
        case MainAction::kOpenHomePage:
            platform::shell::OpenUrl(platform::kHomePage);
            break;
        case MainAction::kSystemMouseSettings:
            // 0: the keyboard's settings, 1: the mouse's.
            platform::shell::OpenInputSettings(route.index == 0 ? platform::shell::InputSettings::kKeyboard
                                                                : platform::shell::InputSettings::kMouse);
            break;
        case MainAction::kProfileCombo:
            pm_.SetTimer(pm_.GetRoot(), kProfileTimerId, kProfileTimerMs);
            break;
        case MainAction::kMacroStartRecording:
            StartRecording(static_cast<int>(input::DelayMode::RealTime),
                           static_cast<int>(input::HookMode::MacroAppend));
            break;
        case MainAction::kMacroStopRecording:
        case MainAction::kMacroNames:
        case MainAction::kMacroMoveOrDelete:
        case MainAction::kMacroInsertMove:
        case MainAction::kMacroList:
        case MainAction::kMacroDelay:
            OnMacroAction(msg);
            break;
        case MainAction::kKeySave:
        case MainAction::kKeyDefault:
        case MainAction::kKeyCancel:
        case MainAction::kKeyComboOption:
        case MainAction::kKeySetFunction:
        case MainAction::kKeyboardHookOn:
        case MainAction::kKeyboardHookOff:
            OnKeySetAction(route, msg);
            break;
        case MainAction::kProfileSave:
            WriteToDevice();
            Lock(false, true);
            break;
        case MainAction::kProfilePanel:
            OnProfilePanel(msg);
            break;
        case MainAction::kPageTab:
            OnPageTab(msg);
            break;
        case MainAction::kRestoreDefaults:
            RestoreDeviceDefaults();
            break;
        case MainAction::kShootPanel:
        case MainAction::kShootReset:
        case MainAction::kShootBullet:
        case MainAction::kShootOption:
        case MainAction::kShootAxis:
        case MainAction::kShootValue:
            OnShootAction(route, msg);
            break;
        case MainAction::kLightColourPreset:
        case MainAction::kLightCustomColour:
        case MainAction::kLightOption:
        case MainAction::kLightSlider:
        case MainAction::kLightColourEdit:
        case MainAction::kLightMode:
        case MainAction::kLightColourPicked:
            OnLightAction(route, msg);
            break;
        case MainAction::kMusicColourPreset:
        case MainAction::kMusicBackgroundBlack:
        case MainAction::kMusicOption:
        case MainAction::kMusicColourEdit:
        case MainAction::kMusicMode:
        case MainAction::kMusicColourPicked:
            OnMusicLightAction(route, msg);
            break;
        case MainAction::kKeySelectionEndKeyboard:
        case MainAction::kKeySelectionEndMouse:
            OnPictureSelectionEnd(msg);
            break;
        case MainAction::kMouseDpiStage:
        case MainAction::kMouseReportRate:
        case MainAction::kMouseSettingsOption:
        case MainAction::kMouseDpiSlider:
        case MainAction::kMouseDpiPreview:
        case MainAction::kMouseDpiEdit:
        case MainAction::kKeyboardRepeatDelay:
        case MainAction::kKeyboardRepeatRate:
        case MainAction::kKeyboardResetRepeat:
        case MainAction::kSystemMouseOption:
        case MainAction::kKeyboardFlag:
        case MainAction::kHeadsetVoice:
        case MainAction::kHeadsetEqPreset:
        case MainAction::kHeadsetEqBand:
        case MainAction::kHeadsetSwitch:
        case MainAction::kHeadsetMicLevel:
        case MainAction::kHeadsetCustomEq:
            break;  // the device page handles its own controls
        default:
            // The panel the action is meant for is not part of this page.
            Trace("main window: no panel for", msg.sender != nullptr ? msg.sender->GetName() : std::string());
            break;
    }
}

void CMainWnd::OnKeyButton(int index) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr) {
        return;
    }
    // The key assignment tab selects the key; the keyboard's lighting tab paints it through
    // the page's own handling of its key buttons.
    if (current->GetFunctionTab() != 2) {
        return;
    }
    // A mouse keeps one button with the left click: that one cannot be reassigned.
    if (const auto* mouse = dynamic_cast<const devices::CTarnexMouseDevice*>(current);
        mouse != nullptr && mouse->HoldsTheOnlyLeftClick(index)) {
        TellUser(LanguageText("message_text_6"));
        return;
    }
    current->SelectKey(index);
}

void CMainWnd::OnKeySetAction(const Route& route, const ui::TNotifyUI& msg) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    pages::CKeySetControlUI* panel = current != nullptr ? current->KeySetPanel() : nullptr;
    const std::string name = msg.sender != nullptr ? msg.sender->GetName() : std::string();
    if (panel == nullptr) {
        Trace("main window: the current page has no key panel for", name);
        return;
    }
    switch (route.action) {
        case MainAction::kKeySave:
            panel->Apply();
            break;
        case MainAction::kKeyDefault:
            panel->ShowDefault();
            break;
        case MainAction::kKeyCancel:
            panel->ShowCurrent();
            break;
        case MainAction::kKeyComboOption:
            // The option a group change deselects reports too; only the selected one counts.
            if (const auto* option = dynamic_cast<const ui::COptionUI*>(msg.sender);
                option != nullptr && option->IsSelected()) {
                panel->OnModifierOption(route.index);
            }
            break;
        case MainAction::kKeySetFunction:
            if (name == "keyset_macro_over_combo") {
                panel->OnRepeatModeSelected();
            } else {
                panel->OnFamilySelected();
            }
            break;
        case MainAction::kKeyboardHookOn:
        case MainAction::kKeyboardHookOff:
            panel->SetKeyCapture(route.action == MainAction::kKeyboardHookOn);
            SendMessage(kKeyCaptureMessage, route.action == MainAction::kKeyboardHookOn ? 1 : 0);
            break;
        default:
            break;
    }
}

void CMainWnd::WriteToDevice() {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr) {
        return;
    }
    pages::CKeySetControlUI* panel = current->KeySetPanel();
    const devices::DeviceWriteReport report = devices::WriteMacrosAndKeys(*current, [panel](int macros) {
        // Macros too large for the device: the selected key falls back to its default.
        if (macros > 0 && panel != nullptr) {
            panel->ShowDefault();
            panel->Apply();
        }
    });
    TellWriteReport(report);
    if (panel != nullptr) {
        panel->WriteDone();
    }
}

void CMainWnd::TellWriteReport(const devices::DeviceWriteReport& report) {
    if (report.messageId.empty()) {
        return;
    }
    std::string text;
    if (report.messageId == devices::kMacrosTooLargeMessage) {
        ui::CControlUI* format = FindControl("str_test");
        text =
            FormatCount(format != nullptr ? format->GetText() : std::string(report.messageId), report.macros);
    } else {
        text = LanguageText(report.messageId);
    }
    if (report.macroKeysAtDefaults) {
        text += " " + LanguageText(devices::kMacroKeysAtDefaultsMessage);
    }
    TellUser(text);
}

void CMainWnd::SwitchKeyCapture(bool on) {
    input::CDeviceHook& hook = DeviceHook();
    if (!on) {
        // The capture is shared with macro recordings: only the key capture's own run stops.
        if (keyCaptureOn_) {
            hook.Stop();
        }
        keyCaptureOn_ = false;
        return;
    }
    keyCaptureOn_ = hook.Start(0, input::HookMode::SingleKey, *this, true, true);
    if (!keyCaptureOn_) {
        Trace("main window: key capture not started:", hook.LastError());
        TellUser(LanguageText(kKeyCaptureStoppedMessage));
    }
}

void CMainWnd::OnKeyCaptureLost() {
    SwitchKeyCapture(false);
    if (devices::CTarnexUSBDevice* current = CurrentDevice()) {
        if (pages::CKeySetControlUI* panel = current->KeySetPanel()) {
            panel->SetKeyCapture(false);
        }
    }
    TellUser(LanguageText(kKeyCaptureStoppedMessage));
}

void CMainWnd::OnCapturedKey(std::intptr_t packedRecord) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    pages::CKeySetControlUI* panel = current != nullptr ? current->KeySetPanel() : nullptr;
    if (panel == nullptr || !keyCaptureOn_) {
        return;
    }
    const input::KeyHookRecord record = input::UnpackKeyRecord(packedRecord);
    panel->OnCapturedKey(record.scanCode, record.flags);
}

bool CMainWnd::MacroPrompts::Ask(std::string_view textId) {
    return window_.ShowMessage(textId, true, MessageButtons::kConfirmCancel) == 1;
}

void CMainWnd::MacroPrompts::Tell(std::string_view text) {
    window_.TellUser(std::string(text));
}

std::optional<std::filesystem::path> CMainWnd::MacroPrompts::Choose(std::string_view filter, bool save) {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    if (platform == nullptr) {
        return std::nullopt;
    }
    ui::FileDialogOptions options;
    options.filter = std::string(filter) + "|*.mac|";
    options.save = save;
    std::filesystem::path chosen = platform->FileDialog(options, &window_);
    if (chosen.empty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<std::filesystem::path> CMainWnd::MacroPrompts::ChooseOpenFile(std::string_view filter) {
    return Choose(filter, false);
}

std::optional<std::filesystem::path> CMainWnd::MacroPrompts::ChooseSaveFile(std::string_view filter) {
    return Choose(filter, true);
}

void CMainWnd::TellUser(std::string text) {
    ShowMessage(text, false);
}

void CMainWnd::OnDpiEditClamp(ui::CControlUI& edit, int index) {
    const long long typed = config::LeadingInteger(edit.GetText());
    const int value = static_cast<int>(std::clamp<long long>(typed, kDpiEditMin, kDpiEditMax));
    edit.SetText(std::to_string(value));
    if (auto* slider =
            dynamic_cast<ui::CProgressUI*>(FindControl("velto_DPI_slider_" + std::to_string(index)));
        slider != nullptr) {
        slider->SetValue(value);
    }
}

void CMainWnd::OnDpiSliderMove(ui::CControlUI& slider, int index) {
    const auto* progress = dynamic_cast<ui::CProgressUI*>(&slider);
    ui::CControlUI* edit = FindControl("velto_DPI_edit_" + std::to_string(index));
    if (progress != nullptr && edit != nullptr) {
        edit->SetText(std::to_string(progress->GetValue()));
    }
}

void CMainWnd::OnMusicColourSlider(ui::CControlUI& slider) {
    const auto* progress = dynamic_cast<ui::CProgressUI*>(&slider);
    const std::string& name = slider.GetName();
    if (progress == nullptr || name.empty()) {
        return;
    }
    const char component = static_cast<char>(std::toupper(static_cast<unsigned char>(name.front())));
    platform::ipc::AudioCommand code = platform::ipc::AudioCommand::kRed;
    if (component == 'G') {
        code = platform::ipc::AudioCommand::kGreen;
    } else if (component == 'B') {
        code = platform::ipc::AudioCommand::kBlue;
    } else if (component != 'R') {
        return;
    }
    const int value = progress->GetValue();
    if (options_.bus != nullptr && value >= 0) {
        options_.bus->SendAudioCommand(code, static_cast<std::uint32_t>(value));
    }
    if (ui::CControlUI* label = FindControl(std::string(1, component) + "_light_label"); label != nullptr) {
        label->SetText(std::string(1, component) + " " + std::to_string(value));
    }
}

void CMainWnd::OpenMacroActionMenu(ui::TNotifyUI& msg) {
    static_cast<void>(msg);
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    const ui::Point at = platform != nullptr ? platform->CursorPos() : ui::Point{};
    const std::string item = ShowMenu(kMacroMenuLayout, at);
    if (!item.empty()) {
        HandleMenuCommand(item);
    }
}

pages::CMacroControlUI* CMainWnd::CurrentMacroPanel() const {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr || !(IsKeyboard(current->Kind()) || IsMouse(current->Kind()))) {
        return nullptr;
    }
    return dynamic_cast<pages::CMacroControlUI*>(current->FindSubControl(kMacroPanelName));
}

void CMainWnd::OnMacroAction(ui::TNotifyUI& msg) {
    pages::CMacroControlUI* panel = CurrentMacroPanel();
    if (panel == nullptr) {
        Trace("main window: no macro panel for",
              msg.sender != nullptr ? msg.sender->GetName() : std::string());
        return;
    }
    panel->SetPrompts(&macroPrompts_);
    const bool wasRecording = panel->IsRecording();
    panel->HandleControlEvent(msg);
    if (wasRecording && !panel->IsRecording()) {
        LockForRecording(false);
    }
}

void CMainWnd::LockForRecording(bool recording) {
    Lock(true, !recording);
    if (devices::CTarnexUSBDevice* current = CurrentDevice()) {
        if (ui::CControlUI* picture = current->SelectionPanel()) {
            picture->SetEnabled(!recording);
        }
    }
}

void CMainWnd::StartRecording(int delayMode, int hookOption) {
    pages::CMacroControlUI* panel = CurrentMacroPanel();
    if (panel == nullptr) {
        Trace("main window: no macro panel to record with mode " + std::to_string(delayMode) + ", option",
              std::to_string(hookOption));
        return;
    }
    panel->SetPrompts(&macroPrompts_);
    panel->SetRecordingHook(&DeviceHook(), input::PostTo(*this));
    panel->SetClientToScreen([this](ui::Point pt) { return ClientToScreen(pt); });
    const auto hook = static_cast<input::HookMode>(hookOption);
    // The recorded-time items follow the panel's constant-delay check box.
    const bool started = delayMode == static_cast<int>(input::DelayMode::RealTime)
                             ? panel->StartRecordingFromCheck(hook)
                             : panel->StartRecording(static_cast<input::DelayMode>(delayMode), hook);
    if (started) {
        LockForRecording(true);
    }
}

bool CMainWnd::OnHookMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
    const bool stopped = msg == input::HookMessages().hookStopped;
    if (!stopped && !input::RecordMessageOf(msg)) {
        return false;
    }
    bool recording = false;
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        auto* panel = dynamic_cast<pages::CMacroControlUI*>(page->FindSubControl(kMacroPanelName));
        if (panel != nullptr && panel->IsRecording()) {
            recording = true;
            panel->HandleHookMessage(msg, wparam, lparam);
            if (!panel->IsRecording()) {
                LockForRecording(false);
            }
        }
    }
    // A capture's end without a recording is left to the capture owner.
    return !stopped || recording;
}

void CMainWnd::StopRecording() {
    bool stopped = false;
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        auto* panel = dynamic_cast<pages::CMacroControlUI*>(page->FindSubControl(kMacroPanelName));
        if (panel != nullptr && panel->IsRecording()) {
            panel->AbortRecording();
            stopped = true;
        }
    }
    if (stopped) {
        LockForRecording(false);
    }
}

void CMainWnd::InsertMacroButton(MouseButtonEvent down, MouseButtonEvent up) const {
    pages::CMacroControlUI* panel = CurrentMacroPanel();
    const auto rowOf = [](MouseButtonEvent e) { return kMouseEventRowOf[static_cast<std::size_t>(e)]; };
    if (panel == nullptr || down == MouseButtonEvent::kNoButton) {
        return;
    }
    std::vector<config::MacroEvent> events{config::MouseEventOf(config::kMouseEventTable[rowOf(down)])};
    if (up != MouseButtonEvent::kNoButton) {
        events.push_back(config::MouseEventOf(config::kMouseEventTable[rowOf(up)]));
    }
    panel->InsertEvents(events);
}

input::CDeviceHook& CMainWnd::DeviceHook() {
    if (!deviceHook_) {
        deviceHook_ = std::make_unique<input::CDeviceHook>(
            options_.hookBackend ? options_.hookBackend() : input::MakeDefaultHookBackend());
    }
    return *deviceHook_;
}

void CMainWnd::HandleMenuCommand(std::string_view item) {
    Trace("menu", item);
    if (item == kExitItem) {
        Exit();
        return;
    }
    if (item == kAboutItem) {
        OpenAboutWindow();
        return;
    }
    if (item == kSettingsItem) {
        OpenSettings(true);
        return;
    }
    if (const MacroMenuRow* row = FindMacroMenuItem(item); row != nullptr) {
        if (row->action == MacroMenuAction::kRecord) {
            StartRecording(row->delayMode, row->hookOption);
        } else {
            InsertMacroButton(row->down, row->up);
        }
    }
}

// --- current device and lock ---

devices::CTarnexUSBDevice* CMainWnd::CurrentDevice() const {
    const auto* tiles = dynamic_cast<const ui::CContainerUI*>(FindControl(kTileContainer));
    if (tiles == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < tiles->GetCount(); ++i) {
        const auto* tile = dynamic_cast<const CDeviceOptionUI*>(tiles->GetItemAt(i));
        if (tile != nullptr && tile->IsConnected() && tile->IsSelected()) {
            return tile->Device();
        }
    }
    return nullptr;
}

void CMainWnd::Lock(bool touchList, bool enabled) {
    if (touchList) {
        if (ui::CControlUI* tiles = FindControl(kTileContainer); tiles != nullptr) {
            tiles->SetEnabled(enabled);
        }
        if (CDeviceProfileUI* panel = CurrentProfilePanel(); panel != nullptr) {
            panel->SetEnabled(enabled);
        }
    }
    if (devices::CTarnexUSBDevice* current = CurrentDevice();
        current != nullptr && (IsKeyboard(current->Kind()) || IsMouse(current->Kind()))) {
        for (const std::string_view name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"}) {
            if (ui::CControlUI* button = ui::CPaintManagerUI::FindSubControlByName(current, name);
                button != nullptr) {
                button->SetEnabled(!enabled);
            }
        }
    }
    lockByte_ = enabled;
}

// --- device flags ---

std::vector<devices::CTarnexUSBDevice*> CMainWnd::AllPages() const {
    std::vector<devices::CTarnexUSBDevice*> pages;
    if (list_) {
        for (const auto* group :
             {&list_->Mice(), &list_->MousePads(), &list_->Keyboards(), &list_->Headsets()}) {
            pages.insert(pages.end(), group->begin(), group->end());
        }
    }
    return pages;
}

void CMainWnd::OnShowWindow(bool shown) {
    if (list_) {
        list_->SetWindowShown(shown);
    }
}

void CMainWnd::SetPollSuspended(bool suspended) {
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        if (IsKeyboard(page->Kind()) || IsMouse(page->Kind())) {
            page->SetStatusPollSuspended(suspended ? 1 : 0);
        }
    }
}

void CMainWnd::PassActiveFlag() {
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        if (page->Kind() != DeviceKind::Headset) {
            page->SetWindowActive(activeOrHovered_ ? 1 : 0);
        }
    }
}

void CMainWnd::PassHostLighting(int flag) {
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        if (page->Kind() != DeviceKind::Headset) {
            page->SetHostLighting(flag);
        }
    }
}

void CMainWnd::SetLightControl(bool controlling, bool broadcast) {
    lightControl_ = controlling;
    if (ui::CControlUI* status = FindControl("control_light_status"); status != nullptr) {
        status->SetTextId(controlling ? "control_light_on_text" : "control_light_off_text");
        status->Invalidate();
    }
    if (broadcast && options_.bus != nullptr) {
        options_.bus->BroadcastLightStatus(controlling);
    }
    PassHostLighting(controlling ? 1 : 0);
}

void CMainWnd::UpdateNoDevicePanel() {
    if (ui::CControlUI* panel = FindControl(kNoDevicePanel); panel != nullptr && list_) {
        panel->SetVisible(list_->ConnectedCount() == 0);
    }
}

// --- language ---

void CMainWnd::ApplyLanguage(int index) {
    if (index == languageIndex_ || index < 0 || static_cast<std::size_t>(index) >= languages_.size()) {
        return;
    }
    if (LanguageSwitchResetsFonts(languageIndex_, index)) {
        ResetWindowFonts(pm_, layoutFonts_);
    }
    languageIndex_ = index;
    const LanguageEntry& entry = languages_[static_cast<std::size_t>(index)];
    if (ui::IUiPlatform* platform = ui::CurrentPlatform(); platform != nullptr) {
        ui::CResourceManager& resources = platform->Resources();
        if (!resources.LoadLanguage(resources.ResolveSkinPath(entry.file))) {
            Trace("main window: language file not read", entry.file);
        }
    }
    for (devices::CTarnexUSBDevice* page : AllPages()) {
        PageCreated(*page);
    }
    if (platform::SaveLanguage(entry.id, Settings())) {
        Trace("language saved", std::to_string(entry.id));
    }
    if (aboutWnd_) {
        aboutWnd_->SendMessage(kLanguageChangedMessage);
    }
    TellSettingsOfLanguage();
    pm_.NeedUpdate();
}

void CMainWnd::PageCreated(devices::CTarnexUSBDevice& page) {
    if (auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(&page); keyboard != nullptr) {
        keyboard->SetLanguageIndex(std::max(languageIndex_, 0));
    }
    if (pages::CLightControlUI* panel = page.LightPanel()) {
        panel->SetSameModeAllowed(sameModeOffered_);
    }
}

// --- screen ---

int CMainWnd::ScaleForScreen(ui::Size screen) {
    return screen.cx > 1500 && screen.cy > 960 ? 144 : 96;
}

ui::Size CMainWnd::ScreenSize() const {
    const ui::IUiPlatform* platform = ui::CurrentPlatform();
    return platform != nullptr ? platform->ScreenSize() : ui::Size{};
}

void CMainWnd::FitToScreen() {
    const bool shown = IsWindowVisible() && GetWindowState() != ui::WindowState::Minimized;
    if (!shown) {
        Restore();
    }
    const int dpi = ScaleForScreen(ScreenSize());
    SetAllDPI(96);
    ResizeClient(1000, 640);
    SetAllDPI(dpi);
    CenterWindow();
    ShowWindow(shown);
}

// --- end ---

void CMainWnd::Shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    SwitchKeyCapture(false);
    ShowWindow(false);
    // The keyboard is never left captured.
    StopRecording();
    if (deviceHook_) {
        deviceHook_->Stop();
    }
    if (options_.bus != nullptr) {
        options_.bus->SetEventHandler({});
    }
    audioCapture_.Stop();
    busEvents_.Close();
    if (list_) {
        list_->StopThreads();
        for (devices::CTarnexUSBDevice* page : AllPages()) {
            page->StopDeviceThreads();
        }
    }
    tray_.Delete();
    Trace("main window: shut down");
}

void CMainWnd::Exit() {
    CloseChildWindows();
    Shutdown();
    if (ui::IUiPlatform* platform = ui::CurrentPlatform(); platform != nullptr) {
        platform->Quit(0);
    }
}

}  // namespace norvane::shell
