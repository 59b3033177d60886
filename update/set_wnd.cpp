#include "update/set_wnd.h"

#include "platform/diag.h"
#include "platform/paths.h"
#include "ui/combo.h"
#include "ui/container.h"
#include "ui/list.h"
#include "ui/messages.h"
#include "ui/notify.h"
#include "ui/option.h"
#include "ui/resource_manager.h"
#include "ui/window_scale.h"
#include "update/last_check_date.h"
#include "update/settings_messages.h"
#include "update/update_row.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <system_error>

namespace norvane::update {

namespace {

// Posted by the worker when events wait in its mailbox.
constexpr unsigned kCheckEventsMessage = ui::kWmUser + 0x731;

bool NameIs(const ui::TNotifyUI& msg, std::string_view name) {
    if (msg.sender == nullptr) {
        return false;
    }
    return std::ranges::equal(msg.sender->GetName(), name, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

CSetWnd::CSetWnd(Options options) : CScaledWindow(ui::kSetWndScaleError), options_(std::move(options)) {
}

CSetWnd::~CSetWnd() {
    CloseMessageQueue();
    StopSettingsThreads();
}

std::unique_ptr<ui::CControlUI> CSetWnd::CreateControl(std::string_view tag) {
    if (tag == CUpdateInfoListItemUI::kClassName) {
        return std::make_unique<CUpdateInfoListItemUI>();
    }
    return nullptr;
}

void CSetWnd::InitWindow() {
    list_ = FindControl("device_update_list_info");
    languageCombo_ = FindControl("Language_combox_info");
    ResizeClient(kWidth, kHeight);
}

CUpdateInfoListItemUI* CSetWnd::Row(int index) const {
    const auto* list = dynamic_cast<const ui::CContainerUI*>(list_);
    if (list == nullptr || index < 0 || index >= list->GetCount()) {
        return nullptr;
    }
    return dynamic_cast<CUpdateInfoListItemUI*>(list->GetItemAt(index));
}

// --- window-init and the check ---

void CSetWnd::OnWindowInit() {
    FillLanguages();
    ReadLastCheck();
    SetUpdateStatusState(UpdateStatusState::kChecking);
    for (const device::FirmwareIdentityEntry& row : options_.firmware) {
        if (!AddUpdateRow(DefaultRowInfo(row))) {
            platform::diag::Trace("settings window: update row not built");
        }
    }
    if (options_.firmware.empty()) {
        FinishCheck(0);
        return;
    }
    worker_.Start(options_.firmware, options_.serviceUrl, options_.http,
                  [this] { PostMessage(kCheckEventsMessage); });
}

void CSetWnd::FillLanguages() {
    auto* combo = dynamic_cast<ui::CComboUI*>(languageCombo_);
    if (combo == nullptr) {
        return;
    }
    for (const std::string& textId : options_.languageTexts) {
        auto entry = std::make_unique<ui::CListLabelElementUI>();
        entry->SetTextId(textId);
        combo->Add(std::move(entry));
    }
    combo->SelectItem(languageIndex_, false);
}

std::filesystem::path CSetWnd::LastCheckFile() const {
    const std::filesystem::path folder =
        options_.dataFolder.empty() ? platform::UserDataFolder() : options_.dataFolder;
    return folder.empty() ? std::filesystem::path() : folder / kLastCheckFile;
}

void CSetWnd::ReadLastCheck() {
    const std::filesystem::path file = LastCheckFile();
    if (std::optional<std::string> stored = ReadLastCheckDate(file)) {
        lastCheckDate_ = std::move(*stored);
        return;
    }
    lastCheckDate_ = TodayText();
    if (file.empty() || !WriteLastCheckDate(file, lastCheckDate_)) {
        platform::diag::Trace("settings window: last check date not written");
    }
}

void CSetWnd::OnCheckEvents() {
    for (UpdateCheckEvent& event : worker_.TakeEvents()) {
        if (event.kind == UpdateCheckEvent::Kind::kRow) {
            RefreshUpdateRow(event.row, std::move(event.info));
        } else {
            FinishCheck(event.failures);
        }
    }
}

void CSetWnd::FinishCheck(int failures) {
    bool anyUpdate = false;
    for (int i = 0; i < rowCount_; ++i) {
        CUpdateInfoListItemUI* row = Row(i);
        if (row == nullptr || row->CheckBox() == nullptr) {
            continue;
        }
        const UpdateRowStatus status = row->RowStatus();
        if (status != UpdateRowStatus::kNoUpdate && status != UpdateRowStatus::kUpdated) {
            row->CheckBox()->SetEnabled(true);
            row->CheckBox()->SetCheck(true, false);
            anyUpdate = true;
        } else {
            row->CheckBox()->SetEnabled(false);
        }
    }
    if (anyUpdate) {
        ShowUpdateButton(true);
        SetUpdateStatusState(UpdateStatusState::kUpdatesAvailable);
    } else if (failures == static_cast<int>(options_.firmware.size())) {
        SetUpdateStatusState(UpdateStatusState::kNoServer);
    } else {
        SetUpdateStatusState(UpdateStatusState::kUpToDate);
    }
}

// --- rows ---

std::string CSetWnd::LocalFileOf(const std::string& name) const {
    if (!platform::IsSafeFileName(name + ".exe")) {
        return {};
    }
    std::filesystem::path folder = options_.updateFolder;
    if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec) / "UpdateData";
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return (folder / (name + ".exe")).string();
}

void CSetWnd::ShowRow(CUpdateInfoListItemUI& row, const UpdateInfo& info) {
    row.SetFixedHeight(CUpdateInfoListItemUI::kRowHeight);
    row.SetName(info.name);
    row.SetVersions(info.currentVersionText,
                    info.status == kStatusUpToDate ? std::string() : info.newVersionText);
    row.SetRowStatus(static_cast<UpdateRowStatus>(std::clamp(info.status, 0, 8)));
    row.SetUserData(info.downloadPath);
    if (row.CheckBox() != nullptr) {
        row.CheckBox()->SetEnabled(false);
    }
}

bool CSetWnd::AddUpdateRow(UpdateInfo info) {
    auto* list = dynamic_cast<ui::CContainerUI*>(list_);
    auto row = std::make_unique<CUpdateInfoListItemUI>();
    if (list == nullptr || !row->Build(pm_)) {
        return false;
    }
    ShowRow(*row, info);
    list->Add(std::move(row));
    info.localFile = LocalFileOf(info.name);
    infos_.push_back(std::move(info));
    rowCount_ = list->GetCount();
    return true;
}

bool CSetWnd::RefreshUpdateRow(int index, UpdateInfo info) {
    CUpdateInfoListItemUI* row = Row(index);
    if (index >= rowCount_ || row == nullptr || static_cast<std::size_t>(index) >= infos_.size()) {
        return false;
    }
    ShowRow(*row, info);
    info.localFile = LocalFileOf(info.name);
    infos_[static_cast<std::size_t>(index)] = std::move(info);
    if (const std::filesystem::path file = LastCheckFile();
        file.empty() || !WriteLastCheckDate(file, TodayText())) {
        platform::diag::Trace("settings window: last check date not written");
    }
    return true;
}

// --- status line ---

void CSetWnd::SetUpdateStatusState(UpdateStatusState state) {
    statusState_ = state;
    const bool checking = state == UpdateStatusState::kChecking;
    if (ui::CControlUI* ring = FindControl("update_status_ring"); ring != nullptr) {
        ring->SetVisible(checking);
    }
    if (ui::CControlUI* image = FindControl("update_status_image"); image != nullptr) {
        image->SetVisible(!checking);
    }
    ui::CControlUI* text = FindControl("Update_Status_text");
    switch (state) {
        case UpdateStatusState::kChecking:
            if (text != nullptr) {
                text->SetTextId("GetUpdateInfoText");
            }
            break;
        case UpdateStatusState::kUpdatesAvailable:
            if (text != nullptr) {
                text->SetTextId("HaveUpdateInfoText");
            }
            break;
        case UpdateStatusState::kNoServer:
            if (text != nullptr) {
                text->SetTextId("NoUpdateInfoText");
            }
            break;
        case UpdateStatusState::kUpToDate:
            if (text != nullptr) {
                text->SetText(pm_.Resources().Text("UpdateIsLastText") + lastCheckDate_);
            }
            if (ownerWindow_ != nullptr) {
                ownerWindow_->SendMessage(kSettingsIdleMessage);
            }
            break;
    }
}

void CSetWnd::ShowUpdateButton(bool show) {
    if (ui::CControlUI* button = FindControl("update_fw_and_ap"); button != nullptr) {
        button->SetEnabled(show);
        button->SetVisible(show);
    }
}

// --- user actions ---

void CSetWnd::OnTicksChanged() {
    bool anyTicked = false;
    for (int i = 0; i < rowCount_; ++i) {
        if (const CUpdateInfoListItemUI* row = Row(i); row != nullptr && row->IsTicked()) {
            anyTicked = true;
        }
    }
    ShowUpdateButton(anyTicked);
}

void CSetWnd::OnConfirm() {
    for (int i = 0; i < rowCount_; ++i) {
        CUpdateInfoListItemUI* row = Row(i);
        if (row == nullptr || (row->RowStatus() != UpdateRowStatus::kNeedUpdate &&
                               row->RowStatus() != UpdateRowStatus::kNeedUpdateAgain)) {
            continue;
        }
        if (row->IsTicked()) {
            row->SetRowStatus(UpdateRowStatus::kDownloadWait);
            infos_[static_cast<std::size_t>(i)].status =
                static_cast<std::int32_t>(UpdateRowStatus::kDownloadWait);
        } else if (row->CheckBox() != nullptr) {
            row->CheckBox()->SetEnabled(false);
        }
    }
    if (ui::CControlUI* button = FindControl("update_fw_and_ap"); button != nullptr) {
        button->SetEnabled(false);
    }
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl("get_update_tab_layout")); tabs != nullptr) {
        tabs->SelectItem(0);
    }
}

void CSetWnd::OnLanguageSelected() {
    const auto* combo = dynamic_cast<const ui::CComboUI*>(languageCombo_);
    if (combo == nullptr || ownerWindow_ == nullptr) {
        return;
    }
    languageIndex_ = combo->GetCurSel();
    ownerWindow_->SendMessage(kLanguageChangedMessage, languageIndex_);
}

void CSetWnd::StopSettingsThreads() {
    worker_.Stop();
}

void CSetWnd::OnClose() {
    StopSettingsThreads();
    worker_.TakeEvents();  // results of a check cut off by the close are not shown
    // Nothing downloads the waiting rows: closing gives them up.
    for (int i = 0; i < rowCount_; ++i) {
        if (CUpdateInfoListItemUI* row = Row(i);
            row != nullptr && row->RowStatus() == UpdateRowStatus::kDownloadWait) {
            row->SetRowStatus(UpdateRowStatus::kNeedUpdate);
            infos_[static_cast<std::size_t>(i)].status = kStatusUpdateAvailable;
        }
    }
}

void CSetWnd::Notify(ui::TNotifyUI& msg) {
    if (msg.type == ui::notify::kWindowInit) {
        OnWindowInit();
    } else if (msg.type == ui::notify::kClick) {
        if (NameIs(msg, "closebtn") || NameIs(msg, "laterbtn")) {
            RequestClose();
        } else if (NameIs(msg, "minbtn")) {
            Minimize();
        } else if (NameIs(msg, "maxbtn")) {
            Maximize();
        } else if (NameIs(msg, "restorebtn")) {
            Restore();
        } else if (NameIs(msg, "set_in_update_wnd_btn")) {
            if (ui::CControlUI* hint = FindControl("update_tishi_layout"); hint != nullptr) {
                hint->SetVisible(false);
            }
            ResizeClient(kWidth, kHeight);
        } else if (NameIs(msg, "update_fw_and_ap")) {
            if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl("get_update_tab_layout"));
                tabs != nullptr) {
                tabs->SelectItem(1);
            }
        } else if (NameIs(msg, "update_OK_btn")) {
            OnConfirm();
        }
    } else if (msg.type == ui::notify::kSelectChanged && NameIs(msg, "check_name_select")) {
        OnTicksChanged();
    } else if (msg.type == ui::notify::kItemSelect && NameIs(msg, "Language_combox_info")) {
        OnLanguageSelected();
    }
}

std::intptr_t CSetWnd::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                           bool& handled) {
    switch (msg) {
        case kCheckEventsMessage:
            OnCheckEvents();
            handled = true;
            return 0;
        case ui::kWmClose:
            // The close button, "laterbtn" and the system close all close this window only.
            OnClose();
            handled = false;
            return 0;
        case kLanguageChangedMessage:
            if (statusState_ == UpdateStatusState::kUpToDate) {
                SetUpdateStatusState(UpdateStatusState::kUpToDate);
            }
            pm_.NeedUpdate();
            handled = true;
            return 0;
        default:
            return CScaledWindow::HandleCustomMessage(msg, wparam, lparam, handled);
    }
}

}  // namespace norvane::update
