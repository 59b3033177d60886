// The lighting panel's actions and the selection on the mouse picture, carried out on the
// current device.
#include "config/json_file_store.h"
#include "config/strings.h"
#include "devices/keyboard/keyboard_device.h"
#include "devices/usb_device.h"
#include "pages/device_key_button.h"
#include "pages/light/light_control.h"
#include "platform/diag.h"
#include "shell/main_wnd/main_wnd.h"
#include "ui/color_palette.h"

#include <algorithm>
#include <string>
#include <vector>

namespace norvane::shell {
namespace {

constexpr std::string_view kMousePicture = "mouse_device_key_light";
constexpr std::string_view kLightPrefix = "light_";

bool IsLightPrefix(std::string_view prefix) {
    return prefix.size() == kLightPrefix.size() &&
           std::ranges::equal(prefix, kLightPrefix, [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

void CMainWnd::OnLightAction(const Route& route, const ui::TNotifyUI& msg) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    pages::CLightControlUI* panel = current != nullptr ? current->LightPanel() : nullptr;
    const std::string name = msg.sender != nullptr ? msg.sender->GetName() : std::string();
    if (panel == nullptr) {
        platform::diag::Trace("main window: the current page has no lighting panel for " + name);
        return;
    }
    const config::LightInfo before = current->LightState();
    config::LightInfo next = before;
    bool keepSync = false;
    switch (route.action) {
        case MainAction::kLightMode:
            next = panel->OnModeSelected(before, name);
            if (name == pages::CLightControlUI::kCustomCombo) {
                if (auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(current)) {
                    keyboard->SetCustomGroup(next.customGroup);
                    keyboard->ApplyCustomColors();
                }
            }
            break;
        case MainAction::kLightSlider:
            next = panel->OnSliderChanged(before, name);
            break;
        case MainAction::kLightOption:
            next = panel->OnOptionChanged(before, name);
            break;
        case MainAction::kLightColourEdit:
            next = panel->OnColourEdited(before, name);
            break;
        case MainAction::kLightColourPicked:
            next = panel->OnPaletteChanged(before);
            break;
        case MainAction::kLightColourPreset:
            next = panel->OnPresetClicked(before, route.index);
            keepSync = true;
            break;
        case MainAction::kLightCustomColour:
            // The record stays as it is: the selected keys take the colour or go dark.
            if (auto* keyboard = dynamic_cast<devices::CTarnexKeyboardDevice*>(current)) {
                keyboard->PaintSelectedKeys(name == "custom_bright_color_btn");
                keyboard->Invalidate();
            }
            return;
        default:
            return;
    }
    if (!keepSync) {
        current->CommandChannel().SetSync(false);
    }
    current->WriteLightInfo(next, ScreenSize());
    current->Invalidate();
    if (ui::CControlUI* picture = current->SelectionPanel()) {
        picture->Invalidate();
    }
}

void CMainWnd::OnMusicLightAction(const Route& route, const ui::TNotifyUI& msg) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    pages::CLightControlUI* panel = current != nullptr ? current->LightPanel() : nullptr;
    const std::string name = msg.sender != nullptr ? msg.sender->GetName() : std::string();
    if (panel == nullptr) {
        platform::diag::Trace("main window: the current page has no lighting panel for " + name);
        return;
    }
    config::AudioLightInfo next;
    switch (route.action) {
        case MainAction::kMusicMode:
            next = panel->ReadAudioLight(true);
            break;
        case MainAction::kMusicOption:
            next = panel->ReadAudioLight(name == pages::CLightControlUI::kMusicSevenCheck);
            break;
        case MainAction::kMusicColourPicked: {
            const auto* palette = dynamic_cast<const ui::CColorPaletteUI*>(msg.sender);
            next = panel->OnMusicColourChosen(palette != nullptr ? palette->GetSelectColor() : 0xFF000000U,
                                              false);
            break;
        }
        case MainAction::kMusicColourPreset:
            next = panel->OnMusicPresetClicked(route.index);
            break;
        case MainAction::kMusicColourEdit:
            next = panel->OnMusicColourEdited(name);
            break;
        case MainAction::kMusicBackgroundBlack:
            next = panel->OnMusicBackgroundBlack();
            break;
        default:
            return;
    }
    current->WriteAudioLightInfo(next);
}

void CMainWnd::OnPictureSelectionEnd(const ui::TNotifyUI& msg) {
    devices::CTarnexUSBDevice* current = CurrentDevice();
    auto* picture = dynamic_cast<ui::CContainerUI*>(msg.sender);
    if (current == nullptr || picture == nullptr || picture->GetName() != kMousePicture) {
        return;
    }
    std::vector<int> covered(static_cast<std::size_t>(std::max(0, current->LedCount())), 0);
    bool anySelected = false;
    for (int i = 0; i < picture->GetCount(); ++i) {
        auto* button = dynamic_cast<pages::CDeviceKeyButtonUI*>(picture->GetItemAt(i));
        if (button == nullptr) {
            continue;
        }
        for (const std::string& text : {button->GetName(), button->GetUserData()}) {
            const std::optional<config::IndexedName> split = config::SplitIndexedName(text);
            if (!split || !IsLightPrefix(split->prefix)) {
                continue;
            }
            const bool selected = button->GetSelect() != 0;
            anySelected = anySelected || selected;
            if (split->number >= 0 && split->number < static_cast<long long>(covered.size())) {
                covered[static_cast<std::size_t>(split->number)] =
                    selected || !button->IsOwnVisible() ? 1 : 0;
            }
        }
    }
    const bool all = std::ranges::all_of(covered, [](int flag) { return flag == 1; });
    if (!anySelected || !all || config::JsonFileStore::ReadJsonFile(current->CurrentProfileFile()).isNull()) {
        return;
    }
    current->LoadProfileToPage();
    current->RefreshPage();
    current->WriteDeviceSettings(devices::DeviceSettingsRequest::ForScreen(ScreenSize()));
    current->ApplyProfileLighting();
}

void CMainWnd::SetMultipleDevices(bool multiple) {
    sameModeOffered_ = multiple;
    if (list_ == nullptr) {
        return;
    }
    for (const auto* pages : {&list_->Keyboards(), &list_->Mice(), &list_->MousePads(), &list_->Headsets()}) {
        for (devices::CTarnexUSBDevice* page : *pages) {
            if (pages::CLightControlUI* panel = page->LightPanel()) {
                panel->SetSameModeAllowed(multiple);
            }
        }
    }
}

void CMainWnd::ShowLightState(devices::CTarnexUSBDevice& page, const config::LightInfo& state) {
    if (pages::CLightControlUI* panel = page.LightPanel()) {
        panel->ShowLightInfo(state);
    }
}

}  // namespace norvane::shell
