#include "update/update_row.h"

#include "ui/dialog_builder.h"
#include "ui/event.h"
#include "ui/label.h"
#include "ui/notify.h"
#include "ui/option.h"
#include "ui/paint_manager.h"
#include "ui/render.h"

#include <array>
#include <cstdio>

namespace norvane::update {

namespace {

struct StatusLook {
    std::string_view textId;
    bool progress;
    bool done;
    bool checkEnabled;
    ui::Color text;  // text and selected-text colour of the check box
    ui::Color disabled;
};

constexpr ui::Color kPlainText = 0xFFFFFFFF;
constexpr ui::Color kPlainDisabled = 0xFF666666;
constexpr ui::Color kMarkedText = 0xFF0099FF;
constexpr ui::Color kMarkedDisabled = 0xFF0078C8;

constexpr std::array<StatusLook, 9> kStatusLooks{{
    {"LessUpdateText", false, false, false, kPlainText, kPlainDisabled},
    {"NeedUpdateText", false, false, true, kMarkedText, kMarkedDisabled},
    {"NeedUpdateText", false, false, true, kMarkedText, kMarkedDisabled},
    {"DownloadWaitText", false, false, false, kMarkedText, kMarkedDisabled},
    {"DownloadIngText", true, false, false, kMarkedText, kMarkedDisabled},
    {"DownloadOkText", false, true, false, kMarkedText, kMarkedDisabled},
    {"UpdateIngText", true, false, false, kMarkedText, kMarkedDisabled},
    {"UpdateOkText", false, false, false, kPlainText, kPlainDisabled},
    {"UpdateFailText", false, false, true, kMarkedText, kMarkedDisabled},
}};

std::string ColorText(ui::Color color) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "#%08X", static_cast<unsigned>(color));
    return text.data();
}

}  // namespace

bool CUpdateInfoListItemUI::Build(ui::CPaintManagerUI& manager) {
    ui::CDialogBuilder builder;
    auto root = builder.Create(kLayoutFile, &manager);
    if (!root) {
        return false;
    }
    RemoveAll();
    Add(std::move(root));
    check_ = dynamic_cast<ui::CCheckBoxUI*>(FindSubControl("check_name_select"));
    oldRev_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("OldRev"));
    newRev_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("updateRev"));
    statusText_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("update_status_text"));
    progress_ = FindSubControl("update_status_ing");
    progressValue_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("update_progress_value"));
    doneMark_ = FindSubControl("update_status_ok");
    SetFixedHeight(kRowHeight);
    statusApplied_ = false;
    const UpdateRowStatus status = status_;
    status_ = UpdateRowStatus::kNoUpdate;
    SetRowStatus(status);
    return check_ != nullptr;
}

void CUpdateInfoListItemUI::SetName(std::string name) {
    if (check_ != nullptr) {
        check_->SetText(std::move(name));
    }
}

void CUpdateInfoListItemUI::SetVersions(std::string current, std::string available) {
    if (oldRev_ != nullptr) {
        oldRev_->SetText(std::move(current));
    }
    if (newRev_ != nullptr) {
        newRev_->SetVisible(!available.empty());
        newRev_->SetText(std::move(available));
    }
}

void CUpdateInfoListItemUI::SetRowStatus(UpdateRowStatus status) {
    const auto index = static_cast<std::size_t>(status);
    if ((status == status_ && statusApplied_) || index >= kStatusLooks.size()) {
        return;
    }
    status_ = status;
    statusApplied_ = true;
    const StatusLook& look = kStatusLooks[index];
    if (statusText_ != nullptr) {
        statusText_->SetTextId(std::string(look.textId));
    }
    if (progress_ != nullptr) {
        progress_->SetVisible(look.progress);
    }
    if (progressValue_ != nullptr) {
        progressValue_->SetVisible(look.progress);
    }
    if (look.progress) {
        percent_ = -1;
        SetPercent(0);
    }
    if (doneMark_ != nullptr) {
        doneMark_->SetVisible(look.done);
    }
    if (check_ != nullptr) {
        check_->SetEnabled(look.checkEnabled);
        check_->SetTextColor(look.text);
        check_->SetAttribute("selectedtextcolor", ColorText(look.text));
        check_->SetDisabledTextColor(look.disabled);
    }
    Invalidate();
}

void CUpdateInfoListItemUI::SetPercent(int percent) {
    if (percent == percent_) {
        return;
    }
    percent_ = percent;
    if (progressValue_ != nullptr) {
        progressValue_->SetText(std::to_string(percent) + "%");
    }
}

bool CUpdateInfoListItemUI::IsTicked() const {
    return check_ != nullptr && check_->GetCheck();
}

void CUpdateInfoListItemUI::DoEvent(ui::TEventUI& event) {
    if (event.type == ui::EventType::ContextMenu) {
        if (contextMenu_ && IsEnabled() && GetManager() != nullptr) {
            GetManager()->SendNotify(this, ui::notify::kMenu, event.pt.x, event.pt.y);
        }
        return;
    }
    ui::CListContainerElementUI::DoEvent(event);
}

void CUpdateInfoListItemUI::DoPaint(ui::IRenderer& r, const ui::Rect& dirty) {
    ui::CListContainerElementUI::DoPaint(r, dirty);
    if (!IsHot() || IsTicked()) {
        return;
    }
    const ui::IListOwnerUI* owner = GetOwner();
    const ui::Color frame = owner != nullptr ? owner->GetListInfo().hotTextColor : 0;
    if ((frame >> 24U) != 0) {
        r.DrawRect(GetPos(), 0, 1, frame);
    }
}

}  // namespace norvane::update
