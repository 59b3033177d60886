// The main window's handling of the profile panel of the current device page.
#include "devices/device_write.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/mouse/mouse_device.h"
#include "devices/usb_device.h"
#include "pages/key_set/key_set_control.h"
#include "platform/diag.h"
#include "shell/main_wnd/main_wnd.h"
#include "shell/profile_page/device_profile.h"
#include "shell/profile_page/profile_tabs.h"
#include "ui/platform.h"

#include <string>

namespace norvane::shell {
namespace {

using config::StoreResult;
using config::StoreStatus;

constexpr std::string_view kProfileFilter = "Profile Files(*.json)|*.json|";
constexpr std::string_view kFullMessage = "profile_add_full";
constexpr std::string_view kLastProfileMessage = "profile_delete_last";
constexpr std::string_view kImportRefusedMessage = "profile_import_refused";
constexpr std::string_view kExportFailedMessage = "profile_export_failed";
constexpr std::string_view kFailedMessage = "profile_action_failed";
constexpr std::string_view kNameTakenMessage = "message_text_5";
constexpr std::string_view kBlankNameMessage = "message_text_25";
constexpr std::string_view kResetQuestion = "message_text_22";

std::string SenderName(const ui::TNotifyUI& msg) {
    return msg.sender != nullptr ? msg.sender->GetName() : std::string();
}

// The message for a failed add, delete or copy; nothing for a missing selection.
std::string_view FailureMessage(const StoreResult& r) {
    switch (r.status) {
        case StoreStatus::Ok:
        case StoreStatus::BadIndex:
            return {};
        case StoreStatus::Full:
            return kFullMessage;
        case StoreStatus::LastProfile:
            return kLastProfileMessage;
        case StoreStatus::NameTaken:
            return kNameTakenMessage;
        case StoreStatus::BlankName:
            return kBlankNameMessage;
        case StoreStatus::Unreadable:
        case StoreStatus::WriteFailed:
            return kFailedMessage;
    }
    return kFailedMessage;
}

std::filesystem::path ChooseProfileFile(ui::WindowImplBase& owner, bool save, std::string defaultName) {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    if (platform == nullptr) {
        return {};
    }
    ui::FileDialogOptions options;
    options.filter = std::string(kProfileFilter);
    options.save = save;
    options.defaultName = std::move(defaultName);
    return platform->FileDialog(options, &owner);
}

}  // namespace

CDeviceProfileUI* CMainWnd::CurrentProfilePanel() const {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr) {
        return nullptr;
    }
    return dynamic_cast<CDeviceProfileUI*>(current->FindSubControl(CDeviceProfileUI::kPanelName));
}

void CMainWnd::OnProfilePanel(const ui::TNotifyUI& msg) {
    CDeviceProfileUI* panel = CurrentProfilePanel();
    const std::string name = SenderName(msg);
    if (panel == nullptr) {
        platform::diag::Trace("main window: no profile panel for " + name);
        // The lock operation of a reset runs without a device too.
        if (name == "device_reset_btn" &&
            ShowMessage(kResetQuestion, true, MessageButtons::kConfirmCancel) == 1) {
            Lock(false, true);
        }
        return;
    }
    StoreResult r;
    if (name == "profile_fun_spread_btn") {
        panel->ShowMenu(!panel->MenuShown());
        return;
    }
    if (name == "device_add_btn") {
        r = panel->Add();
    } else if (name == "device_sub_btn") {
        r = panel->Delete();
    } else if (name == "device_copy_btn") {
        r = panel->Copy();
    } else if (name == "device_import_btn") {
        if (panel->SelectedIndex() < 0) {
            return;
        }
        const std::filesystem::path source = ChooseProfileFile(*this, false, {});
        if (source.empty()) {
            return;
        }
        if (!panel->Import(source).Ok()) {
            ShowMessage(kImportRefusedMessage, true);
        }
        return;
    } else if (name == "device_export_btn") {
        if (panel->SelectedIndex() < 0) {
            return;
        }
        const std::filesystem::path target =
            ChooseProfileFile(*this, true, panel->ItemText(panel->SelectedIndex()) + ".json");
        if (!target.empty() && !panel->Export(target).Ok()) {
            ShowMessage(kExportFailedMessage, true);
        }
        return;
    } else if (name == "device_reset_btn") {
        if (ShowMessage(kResetQuestion, true, MessageButtons::kConfirmCancel) == 1) {
            ResetProfile(*panel);
            Lock(false, true);
        }
        return;
    } else if (name == "device_profile_edit_save_btn") {
        const std::string newName = panel->NameField();
        if (newName.empty()) {
            return;
        }
        r = panel->Rename(newName);
    } else {
        return;
    }
    if (const std::string_view message = FailureMessage(r); !message.empty()) {
        ShowMessage(message, true);
    }
}

void CMainWnd::ResetProfile(CDeviceProfileUI& panel) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr) {
        return;
    }
    if (const StoreResult r = panel.Reset(); !r.Ok()) {
        ShowMessage(FailureMessage(r).empty() ? kFailedMessage : FailureMessage(r), true);
        return;
    }
    current->LoadProfileToPage();
    current->RefreshPage();
    current->WriteDeviceSettings(devices::DeviceSettingsRequest::ForScreen(ScreenSize()));
    // The window's music-light record follows the file.
    music_.ResetAudioFile();
    pages::CKeySetControlUI* keys = current->KeySetPanel();
    if (dynamic_cast<devices::CTarnexKeyboardDevice*>(current) != nullptr) {
        if (keys != nullptr) {
            keys->HideEditor();
        }
        WriteMacrosAndKeysOf(*current);
    } else if (dynamic_cast<devices::CTarnexMouseDevice*>(current) != nullptr) {
        WriteMacrosAndKeysOf(*current);
        if (keys != nullptr) {
            keys->HideEditor();
        }
    }
}

void CMainWnd::WriteMacrosAndKeysOf(devices::CTarnexUSBDevice& device) {
    TellWriteReport(devices::WriteMacrosAndKeys(device, {}));
}

void CMainWnd::OnPageTab(const ui::TNotifyUI& msg) {
    const std::optional<int> number = ProfileTabNumber(SenderName(msg));
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (!number || current == nullptr) {
        return;
    }
    current->SwitchFunctionTab(*number);
    if (CDeviceProfileUI* panel = CurrentProfilePanel()) {
        panel->SelectTab(*number);
    }
}

void CMainWnd::ApplyProfileSelection() {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    CDeviceProfileUI* panel = CurrentProfilePanel();
    if (current == nullptr || panel == nullptr || panel->SelectedIndex() < 0) {
        return;
    }
    if (!panel->Select(panel->SelectedIndex(), false).Ok()) {
        ShowMessage(kFailedMessage, true);
        return;
    }
    current->SetProfileName(panel->SelectedId());
    current->LoadProfileFiles();
    current->LoadProfileToPage();
    current->ValidateMacroKeys();
    current->RefreshPage();
    current->WriteDeviceSettings(devices::DeviceSettingsRequest::ForScreen(ScreenSize()));
    // A keyboard takes the profile's key colours between its macros and its key table.
    auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(current);
    TellWriteReport(devices::WriteMacrosAndKeys(*current, {}, [keyboard] {
        if (keyboard != nullptr) {
            keyboard->LoadCustomColors();
        }
    }));
}

void CMainWnd::RestoreDeviceDefaults() {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    if (current == nullptr || ShowMessage(kResetQuestion, true, MessageButtons::kConfirmCancel) != 1) {
        return;
    }
    current->RestoreDefaults();
    current->WriteCurrentKeyAssignments(0);
    current->WriteDeviceSettings(devices::DeviceSettingsRequest::ForScreen(ScreenSize()));
}

}  // namespace norvane::shell
