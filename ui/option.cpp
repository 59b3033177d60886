#include "ui/option.h"

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

COptionUI::~COptionUI() {
    if (manager_ != nullptr && !group_.empty()) {
        manager_->RemoveOptionGroup(group_, this);
    }
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
    if (manager_ != manager && manager_ != nullptr && !group_.empty()) {
        manager_->RemoveOptionGroup(group_, this);
    }
    bool joining = manager_ != manager && manager != nullptr;
    CButtonUI::SetManager(manager, parent);
    if (joining && !group_.empty()) {
        manager_->AddOptionGroup(group_, this);
        if (selected_) {
            // Keep the group exclusive when a selected option joins.
            selected_ = false;
            Selected(true, false);
        }
    }
}

void COptionUI::SetGroup(std::string group) {
    if (group == group_) {
        return;
    }
    if (manager_ != nullptr && !group_.empty()) {
        manager_->RemoveOptionGroup(group_, this);
    }
    group_ = std::move(group);
    if (manager_ != nullptr && !group_.empty()) {
        manager_->AddOptionGroup(group_, this);
    }
}

void COptionUI::Selected(bool selected, bool withNotify) {
    if (selected_ == selected) {
        return;
    }
    selected_ = selected;
    if (selected_ && manager_ != nullptr && !group_.empty()) {
        if (const auto* group = manager_->GetOptionGroup(group_)) {
            auto members = *group;
            for (COptionUI* other : members) {
                if (other != this) {
                    other->Selected(false, withNotify);
                }
            }
        }
    }
    Invalidate();
    if (withNotify) {
        Notify(notify::kSelectChanged, selected_ ? 1 : 0);
    }
}

bool COptionUI::Activate() {
    if (!CControlUI::Activate()) {
        return false;
    }
    if (!group_.empty()) {
        Selected(true);
    } else {
        Selected(!selected_);
    }
    return true;
}

bool CCheckBoxUI::Activate() {
    if (!CControlUI::Activate()) {
        return false;
    }
    Selected(!IsSelected());
    Notify(notify::kCheckClick, IsSelected() ? 1 : 0);
    return true;
}

void CCheckBoxUI::PaintStatusImage(IRenderer& r) {
    if (!DrawsOwnBox()) {
        COptionUI::PaintStatusImage(r);
        return;
    }
    int box = Scale(16);
    int top = rect_.top + (rect_.Height() - box) / 2;
    Rect rc{rect_.left + Scale(2), top, rect_.left + Scale(2) + box, top + box};
    if (IsSelected()) {
        r.FillRoundRect(rc, Scale(4), IsEnabled() ? checkColor_ : 0xFF5A606AU);
        int w = std::max(2, Scale(2));
        Point a{rc.left + box * 4 / 16, rc.top + box * 8 / 16};
        Point b{rc.left + box * 7 / 16, rc.top + box * 11 / 16};
        Point c{rc.left + box * 12 / 16, rc.top + box * 5 / 16};
        r.DrawLine(a, b, w, 0xFF121418U);
        r.DrawLine(b, c, w, 0xFF121418U);
    } else {
        r.FillRoundRect(rc, Scale(4), 0xFF262A32U);
        r.DrawRect(rc, Scale(4), std::max(1, Scale(1)), hot_ ? 0xFF8A909AU : 0xFF4A505AU);
    }
}

void CCheckBoxUI::PaintText(IRenderer& r) {
    if (!DrawsOwnBox()) {
        COptionUI::PaintText(r);
        return;
    }
    Rect saved = rect_;
    rect_.left += Scale(26);
    COptionUI::PaintText(r);
    rect_ = saved;
}

void CCheckBoxUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "checkcolor") {
        checkColor_ = ParseColor(value);
    } else {
        COptionUI::SetAttribute(name, value);
    }
}

Color COptionUI::StateTextColor() const {
    if (selected_ && IsEnabled() && selectedTextColor_ != 0) {
        return selectedTextColor_;
    }
    return CButtonUI::StateTextColor();
}

void COptionUI::PaintBkColor(IRenderer& r) {
    if (selected_ && (selectedBkColor_ >> 24U) != 0) {
        if (GetBorderRound() > 0) {
            r.FillRoundRect(rect_, Scale(GetBorderRound()), selectedBkColor_);
        } else {
            r.FillRect(rect_, selectedBkColor_);
        }
        return;
    }
    CButtonUI::PaintBkColor(r);
}

void COptionUI::PaintStatusImage(IRenderer& r) {
    if (selected_) {
        const std::string& image = (hot_ && !selectedHotImage_.empty()) ? selectedHotImage_ : selectedImage_;
        if (!image.empty()) {
            DrawImageString(r, image);
            return;
        }
    }
    CButtonUI::PaintStatusImage(r);
}

void COptionUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "group") {
        SetGroup(std::string(value));
    } else if (name == "selected") {
        Selected(ParseBool(value), false);
    } else if (name == "selectedimage") {
        selectedImage_ = std::string(value);
    } else if (name == "selectedhotimage") {
        selectedHotImage_ = std::string(value);
    } else if (name == "selectedbkcolor") {
        selectedBkColor_ = ParseColor(value);
    } else if (name == "selectedtextcolor") {
        selectedTextColor_ = ParseColor(value);
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
