#pragma once

#include "ui/list.h"

#include <cstdint>
#include <string_view>

namespace norvane::ui {
class CCheckBoxUI;
class CLabelUI;
}  // namespace norvane::ui

namespace norvane::update {

// Row statuses of the update list.
enum class UpdateRowStatus : std::int32_t {
    kNoUpdate = 0,
    kNeedUpdate = 1,
    kNeedUpdateAgain = 2,
    kDownloadWait = 3,
    kDownloading = 4,
    kDownloaded = 5,
    kUpdating = 6,
    kUpdated = 7,
    kUpdateFailed = 8,
};

// One row of the update list, built from its own layout file: a check box carrying the
// item's name ("check_name_select"), the current and available versions ("OldRev",
// "updateRev", hidden while empty), the status text, a progress mark with its percentage
// and a done mark. The status decides the texts, colours and marks; the user data holds
// the download path.
class CUpdateInfoListItemUI : public ui::CListContainerElementUI {
public:
    static constexpr std::string_view kClassName = "UpdateInfoListItemUI";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/device_Update_list_item.xml";
    static constexpr int kRowHeight = 50;

    std::string_view GetClass() const override { return kClassName; }
    // Builds the children; false when the layout could not be built.
    bool Build(ui::CPaintManagerUI& manager);
    void DoEvent(ui::TEventUI& event) override;
    void DoPaint(ui::IRenderer& r, const ui::Rect& dirty) override;

    void SetName(std::string name);
    void SetVersions(std::string current, std::string available);
    // Setting the status the row has already does nothing.
    void SetRowStatus(UpdateRowStatus status);
    UpdateRowStatus RowStatus() const { return status_; }
    void SetPercent(int percent);
    int Percent() const { return percent_; }

    ui::CCheckBoxUI* CheckBox() const { return check_; }
    bool IsTicked() const;
    void SetContextMenuEnabled(bool enabled) { contextMenu_ = enabled; }

private:
    ui::CCheckBoxUI* check_ = nullptr;
    ui::CLabelUI* oldRev_ = nullptr;
    ui::CLabelUI* newRev_ = nullptr;
    ui::CLabelUI* statusText_ = nullptr;
    ui::CControlUI* progress_ = nullptr;
    ui::CLabelUI* progressValue_ = nullptr;
    ui::CControlUI* doneMark_ = nullptr;
    UpdateRowStatus status_ = UpdateRowStatus::kNoUpdate;
    bool statusApplied_ = false;
    int percent_ = 0;
    bool contextMenu_ = false;
};

}  // namespace norvane::update
