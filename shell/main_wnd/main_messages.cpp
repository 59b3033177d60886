// The window-message side of the main window: activation, registered and private messages,
// timers, the tray icon and its menu, and the events of other programs.
#include "device/catalogue.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/usb_device.h"
#include "platform/diag.h"
#include "platform/version.h"
#include "shell/main_wnd/main_wnd.h"
#include "ui/button.h"
#include "ui/messages.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <variant>
#include <vector>

namespace norvane::shell {

namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// The four numbers of the program's version ("1.0.0.1"), each cut to a byte.
std::array<std::uint8_t, 4> VersionBytes() {
    std::array<std::uint8_t, 4> out{};
    std::string_view text = platform::kInstalledVersion;
    for (std::uint8_t& part : out) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc{}) {
            break;
        }
        part = static_cast<std::uint8_t>(std::min(value, 255U));
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (text.empty() || text.front() != '.') {
            break;
        }
        text.remove_prefix(1);
    }
    return out;
}

}  // namespace

std::optional<std::array<std::uint8_t, platform::ipc::kDeviceReportBytes>> MakeDeviceReport() {
    std::vector<platform::ipc::DeviceReportRow> rows;
    for (const device::DeviceTileEntry& tile : device::DeviceTiles()) {
        if (rows.size() == platform::ipc::kMaxDeviceReportRows) {
            break;
        }
        rows.push_back({tile.vendorId, tile.productId, static_cast<std::uint32_t>(tile.kind)});
    }
    const auto version = VersionBytes();
    return platform::ipc::MakeDeviceReportBlock(version, rows);
}

std::intptr_t CMainWnd::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                            bool& handled) {
    handled = false;
    // Activation and hover reach the devices whatever the power state.
    if (msg == ui::kWmActivate) {
        windowActive_ = wparam != 0;
        activeOrHovered_ = windowActive_;
        PassActiveFlag();
        return 0;
    }
    if (msg == ui::kWmMouseLeave || msg == ui::kWmMouseHover) {
        if (!windowActive_) {
            activeOrHovered_ = msg == ui::kWmMouseHover;
        }
        PassActiveFlag();
        return 0;
    }
    if (msg == input::HookMessages().keySingleKey) {
        OnCapturedKey(lparam);
        handled = true;
        return 0;
    }
    if (msg == input::HookMessages().hookStopped && keyCaptureOn_) {
        OnKeyCaptureLost();
        handled = true;
        return 0;
    }
    if (OnHookMessage(msg, wparam, lparam)) {
        handled = true;
        return 0;
    }
    if (msg == messages_.instance) {
        OnInstance();
        handled = true;
        return 0;
    }
    if (msg == input::HookMessages().hookStopped) {
        // The capture ended by itself (grab refused, display gone): release what is left.
        if (platform::diag::Enabled()) {
            platform::diag::Trace("main window: input capture ended, reason " + std::to_string(wparam));
        }
        if (deviceHook_) {
            deviceHook_->Stop();
        }
        handled = true;
        return 0;
    }
    if (msg == kBusEventMessage) {
        OnBusEvents();
        handled = true;
        return 0;
    }
    // Hot-plug keeps its order across a suspend: the list applies each queued change.
    if (list_ && list_->HandleMessage(msg, wparam, lparam)) {
        handled = true;
        return 0;
    }
    if (devices::DeviceEventPost::Dispatch(msg, wparam)) {
        handled = true;
        return 0;
    }
    if (!powerOn_) {
        return 0;
    }
    switch (msg) {
        case ui::kWmDisplayChange:
            displayChanged_ = true;
            FitToScreen();
            return 0;
        case kTrayCallbackMessage:
            OnTrayCallback(static_cast<unsigned>(lparam));
            handled = true;
            return 0;
        case kLanguageChangedMessage:
            ApplyLanguage(static_cast<int>(wparam));
            handled = true;
            return 0;
        case kShowProgressMessage:
            if (ui::CControlUI* progress = FindControl("setting_progress"); progress != nullptr) {
                progress->SetVisible(true);
            }
            handled = true;
            return 0;
        case kSettingsIdleMessage:
            if (auto* button = dynamic_cast<ui::CButtonUI*>(setButton_); button != nullptr) {
                button->SetForeImage({});
            }
            handled = true;
            return 0;
        case kHookSwitchMessage:
            SwitchKeyCapture(wparam != 0);
            handled = true;
            return 0;
        case kOpenSettingsMessage:
            OpenSettings(true);
            handled = true;
            return 0;
        case kScaleNoteMessage:
            handled = true;
            return 0;
        default:
            return 0;
    }
}

void CMainWnd::OnTimer(int id) {
    pm_.KillTimer(pm_.GetRoot(), id);
    switch (id) {
        case kFitTimerId:
            FitToScreen();
            if (pm_.GetRoot() != nullptr) {
                pm_.GetRoot()->Invalidate();
            }
            audioCapture_.Start();
            if (audioCapture_.Waiting()) {
                pm_.SetTimer(pm_.GetRoot(), kCompanionWaitTimerId, kCompanionWaitTimerMs);
            }
            break;
        case kCompanionWaitTimerId:
            audioCapture_.Check();
            if (audioCapture_.Waiting()) {
                pm_.SetTimer(pm_.GetRoot(), kCompanionWaitTimerId, kCompanionWaitTimerMs);
            }
            break;
        case kTrayMenuTimerId:
            ShowTrayMenu();
            break;
        case kProfileTimerId:
            ApplyProfileSelection();
            break;
        default:
            // 1066 (game light restore) needs the lighting panel.
            break;
    }
}

void CMainWnd::OnInstance() {
    UpdateNoDevicePanel();
    SetPollSuspended(false);
    BringToFront();
}

void CMainWnd::BringToFront() {
    Restore();
    ShowWindow(true);
}

void CMainWnd::OnTrayCallback(unsigned mouseCode) {
    if (mouseCode == ui::kWmLButtonUp) {
        UpdateNoDevicePanel();
        if (IsWindowVisible() && GetWindowState() != ui::WindowState::Minimized) {
            CloseChildWindows();
            ShowWindow(false);
            SetPollSuspended(true);
        } else {
            CloseChildWindows();
            ShowWindow(true);
            FitToScreen();
            BringToFront();
            if (pm_.GetRoot() != nullptr) {
                pm_.GetRoot()->Invalidate();
            }
            SetPollSuspended(false);
            pm_.NeedUpdate();
        }
    } else if (mouseCode == ui::kWmRButtonUp) {
        pm_.SetTimer(pm_.GetRoot(), kTrayMenuTimerId, kTrayMenuTimerMs);
    }
}

void CMainWnd::ShowTrayMenu() {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    const ui::Point at = platform != nullptr ? platform->CursorPos() : ui::Point{};
    const std::string item = ShowMenu(kTrayMenuLayout, at);
    if (!item.empty()) {
        HandleMenuCommand(item);
    }
}

void CMainWnd::OnBusEvents() {
    namespace ipc = platform::ipc;
    while (auto event = busEvents_.TryPop()) {
        std::visit(Overloaded{
                       [this](const ipc::ActivateEvent&) { OnInstance(); },
                       [this](const ipc::LightControlEvent& e) { SetLightControl(e.controlling, false); },
                       [this](const ipc::PowerEvent& e) {
                           powerOn_ = e.change == ipc::PowerChange::kResume;
                           PassHostLighting(powerOn_ && lightControl_ ? 1 : 0);
                       },
                       [this](const ipc::GameEvent&) {
                           if (!powerOn_) {
                               return;
                           }
                           if (devices::CTarnexUSBDevice* current = CurrentDevice(); current != nullptr) {
                               current->CommandChannel().SetSync(false);
                           }
                           pm_.SetTimer(pm_.GetRoot(), kGameTimerId, kGameTimerMs);
                       },
                       [this](const ipc::DeviceReportEvent&) {
                           if (const auto block = MakeDeviceReport(); block && options_.bus != nullptr) {
                               options_.bus->SendDeviceReport(*block);
                           }
                       },
                       [this](const ipc::AudioDataEvent& e) {
                           if (powerOn_) {
                               const auto& keyboards =
                                   list_ ? list_->Keyboards() : decltype(list_->Keyboards()){};
                               audioCapture_.OnAudioData(e.kind, e.block,
                                                         keyboards.empty() ? nullptr : keyboards.front());
                           }
                       },
                       [](const auto&) {
                           // Forwarding needs the settings window this build does not have.
                       },
                   },
                   *event);
    }
}

}  // namespace norvane::shell
