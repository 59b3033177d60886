// The shoot panel's controls, carried out by the current mouse page's panel.
#include "devices/mouse/mouse_device.h"
#include "devices/mouse/results.h"
#include "pages/shoot/shoot_control.h"
#include "platform/diag.h"
#include "shell/main_wnd/main_wnd.h"
#include "ui/option.h"
#include "ui/platform.h"

#include <filesystem>
#include <string>

namespace norvane::shell {
namespace {

constexpr std::string_view kImportFailed = "shoot_import_failed_text";
constexpr std::string_view kExportFailed = "shoot_export_failed_text";
constexpr std::string_view kResetFailed = "shoot_reset_failed_text";
constexpr std::string_view kStoreFailed = "shoot_store_failed_text";
constexpr std::string_view kWriteFailed = "shoot_write_failed_text";
constexpr std::string_view kPatternRefused = "shoot_pattern_refused_text";

}  // namespace

std::filesystem::path CMainWnd::ChooseShootFile(bool save) {
    ui::IUiPlatform* platform = ui::CurrentPlatform();
    if (platform == nullptr) {
        return {};
    }
    ui::FileDialogOptions options;
    options.filter = std::string(pages::CShootControlUI::kFileFilter) + "|*.shoot|";
    options.save = save;
    return platform->FileDialog(options, this);
}

void CMainWnd::OnShootAction(const Route& route, const ui::TNotifyUI& msg) {
    auto* mouse = dynamic_cast<devices::CTarnexMouseDevice*>(CurrentDevice());
    pages::CShootControlUI* panel = mouse != nullptr ? mouse->ShootPanel() : nullptr;
    const std::string name = msg.sender != nullptr ? msg.sender->GetName() : std::string();
    if (panel == nullptr || !panel->IsBuilt()) {
        platform::diag::Trace("main window: the current page has no shoot panel for " + name);
        return;
    }
    switch (route.action) {
        case MainAction::kShootPanel:
            if (name == "shootdate_save_btn") {
                const int result = mouse->WriteShootPatterns();
                if (result == devices::mouse::result::kBadShootPattern) {
                    ShowMessage(kPatternRefused, true);
                } else if (result != 1) {
                    ShowMessage(kWriteFailed, true);
                }
            } else if (name == "shootdate_import_btn") {
                // No file chosen: nothing happens.
                if (const std::filesystem::path file = ChooseShootFile(false);
                    !file.empty() && !panel->ImportFrom(file)) {
                    ShowMessage(kImportFailed, true);
                }
            } else if (name == "shootdate_export_btn") {
                if (const std::filesystem::path file = ChooseShootFile(true);
                    !file.empty() && !panel->ExportTo(file)) {
                    ShowMessage(kExportFailed, true);
                }
            }
            break;
        case MainAction::kShootReset:
            if (!panel->ResetGun()) {
                ShowMessage(kResetFailed, true);
                break;
            }
            WriteToDevice();
            break;
        case MainAction::kShootBullet:
            if (name == "bullet_selected_prev") {
                panel->PreviousBullet();
            } else {
                panel->NextBullet();
            }
            break;
        case MainAction::kShootOption:
            // The option a group change deselects reports too; only the selected one counts.
            if (const auto* option = dynamic_cast<const ui::COptionUI*>(msg.sender);
                option != nullptr && option->IsSelected()) {
                if (name.starts_with(pages::CShootControlUI::kGunOption)) {
                    panel->SelectGun(route.index);
                } else {
                    panel->SelectBullet(route.index);
                }
            }
            break;
        case MainAction::kShootAxis:
            panel->OnDirectionCheck(name);
            break;
        case MainAction::kShootValue:
            if (!panel->StoreBullet()) {
                ShowMessage(kStoreFailed, true);
            }
            break;
        default:
            break;
    }
}

}  // namespace norvane::shell
