#pragma once

#include "device/catalogue.h"
#include "ui/window_scale.h"
#include "update/http_client.h"
#include "update/update_check_worker.h"
#include "update/update_service.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::update {

class CUpdateInfoListItemUI;

// What the status line under the update list shows.
enum class UpdateStatusState : int { kChecking = 0, kUpdatesAvailable = 1, kNoServer = 2, kUpToDate = 4 };

// The settings window: the language choice and the update list. When it opens it checks every
// row of the firmware list against the update service on a worker thread and shows one row
// per item with its current and available version; rows with an update can be ticked and
// confirmed, which marks them as waiting for download.
//
// Threads: the window lives on the UI thread. The worker reaches it only through its mailbox
// and a posted wake-up message; closing the window (any way) cancels the query in flight and
// joins the worker.
class CSetWnd : public ui::CScaledWindow {
public:
    static constexpr std::string_view kSkinFile = "setwnd.xml";
    static constexpr std::string_view kClassName = "SetWnd";
    static constexpr int kWidth = 630;
    static constexpr int kHeight = 500;

    struct Options {
        // Rows with a non-zero current version (device::BuildFirmwareList).
        std::vector<device::FirmwareIdentityEntry> firmware;
        // Text ids of the language combo's entries, in the order of the language list.
        std::vector<std::string> languageTexts;
        std::string serviceUrl;
        HttpSettings http;
        // Holds "updatetime.config"; the user data folder when empty.
        std::filesystem::path dataFolder;
        // Where the rows' local files would go; the temporary folder's "UpdateData" when empty.
        std::filesystem::path updateFolder;
    };

    explicit CSetWnd(Options options);
    ~CSetWnd() override;
    CSetWnd(const CSetWnd&) = delete;
    CSetWnd& operator=(const CSetWnd&) = delete;

    std::string GetSkinFile() const override { return std::string(kSkinFile); }
    std::string_view GetWindowClassName() const override { return kClassName; }
    void InitWindow() override;
    std::unique_ptr<ui::CControlUI> CreateControl(std::string_view tag) override;
    void Notify(ui::TNotifyUI& msg) override;
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

    // The window that hears 3089 and 3094; none until set.
    void SetOwnerWindow(ui::WindowImplBase* owner) { ownerWindow_ = owner; }
    void SetLanguageIndex(int index) { languageIndex_ = index; }
    int LanguageIndex() const { return languageIndex_; }

    UpdateStatusState StatusState() const { return statusState_; }
    const std::vector<UpdateInfo>& Infos() const { return infos_; }
    int RowCount() const { return rowCount_; }
    CUpdateInfoListItemUI* Row(int index) const;
    const std::string& LastCheckDate() const { return lastCheckDate_; }
    // Whether the check worker has ended and been joined (true before it starts).
    bool CheckJoined() const { return !worker_.Started(); }
    // Cancels the query in flight and joins the worker.
    void StopSettingsThreads();

private:
    void OnWindowInit();
    void FillLanguages();
    void ReadLastCheck();
    void OnCheckEvents();
    void FinishCheck(int failures);
    bool AddUpdateRow(UpdateInfo info);
    bool RefreshUpdateRow(int index, UpdateInfo info);
    void ShowRow(CUpdateInfoListItemUI& row, const UpdateInfo& info);
    std::string LocalFileOf(const std::string& name) const;
    void SetUpdateStatusState(UpdateStatusState state);
    void ShowUpdateButton(bool show);
    void OnTicksChanged();
    void OnConfirm();
    void OnLanguageSelected();
    void OnClose();
    std::filesystem::path LastCheckFile() const;

    Options options_;
    ui::WindowImplBase* ownerWindow_ = nullptr;
    int languageIndex_ = -1;
    std::vector<UpdateInfo> infos_;
    ui::CControlUI* list_ = nullptr;
    ui::CControlUI* languageCombo_ = nullptr;
    int rowCount_ = 0;
    std::string lastCheckDate_;
    UpdateStatusState statusState_ = UpdateStatusState::kChecking;
    UpdateCheckWorker worker_;
};

}  // namespace norvane::update
