#include "ui/combo.h"

#include <algorithm>

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

CComboUI::CComboUI() {
    SetMouseChildEnabled(false);
}

CControlUI* CComboUI::AddString(std::string text, std::string userData, int height) {
    auto row = std::make_unique<CListLabelElementUI>();
    row->SetText(std::move(text));
    row->SetUserData(std::move(userData));
    if (height > 0) {
        row->SetFixedHeight(height);
    }
    return Add(std::move(row));
}

bool CComboUI::SelectItem(int index, bool withNotify) {
    index = std::max(index, -1);
    if (index >= 0 && dynamic_cast<IListItemUI*>(GetItemAt(index)) == nullptr) {
        return false;
    }
    int old = curSel_;
    if (index != old) {
        if (auto* previous = dynamic_cast<IListItemUI*>(GetItemAt(old))) {
            previous->SetSelectedState(false);
        }
        curSel_ = index;
        if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(curSel_))) {
            item->SetSelectedState(true);
        }
        Invalidate();
    }
    if (withNotify) {
        Notify(notify::kItemSelect, curSel_, old);
    }
    return true;
}

CControlUI* CComboUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control) {
        return nullptr;
    }
    index = std::clamp(index, 0, GetCount());
    if (auto* row = dynamic_cast<IListItemUI*>(control.get())) {
        row->SetSelectedState(false);
    }
    if (curSel_ >= 0 && index <= curSel_) {
        ++curSel_;
    }
    return CContainerUI::AddAt(std::move(control), index);
}

std::unique_ptr<CControlUI> CComboUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    std::unique_ptr<CControlUI> owned = CContainerUI::Detach(control);
    if (!owned) {
        return owned;
    }
    if (index == curSel_) {
        curSel_ = -1;
        if (auto* row = dynamic_cast<IListItemUI*>(owned.get())) {
            row->SetSelectedState(false);
        }
        Invalidate();
    } else if (index < curSel_) {
        --curSel_;
    }
    return owned;
}

bool CComboUI::SetItemIndex(CControlUI* control, int index) {
    return MoveItemKeepingSelection(control, index, curSel_);
}

void CComboUI::DoInit() {
    if (initialSel_ >= 0) {
        SelectItem(initialSel_, false);
    }
}

void CComboUI::OnItemClicked(int index) {
    (void)index;
    CloseDropDown();
}

void CComboUI::OpenDropDown() {
    if (dropOpen_ || !IsEnabled() || manager_ == nullptr) {
        return;
    }
    dropOpen_ = true;
    Notify(notify::kDropDown);
    if (manager_->Host() != nullptr) {
        manager_->Host()->ShowDropDown(*this);
    }
}

void CComboUI::CloseDropDown() {
    if (dropOpen_) {
        dropOpen_ = false;
        Invalidate();
    }
}

std::vector<int> CComboUI::VisibleItems() const {
    std::vector<int> rows;
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->IsOwnVisible()) {
            rows.push_back(i);
        }
    }
    return rows;
}

std::string CComboUI::GetText() const {
    CControlUI* item = GetItemAt(curSel_);
    return item != nullptr ? item->GetText() : std::string();
}

void CComboUI::SetPos(const Rect& rc) {
    // Rows are laid out by the drop-down, not inside the box.
    CControlUI::SetPos(rc);
}

CControlUI* CComboUI::FindControlAt(Point pt) {
    return CControlUI::FindControlAt(pt);
}

void CComboUI::DoEvent(TEventUI& event) {
    switch (event.type) {
        case EventType::ButtonDown:
            if (IsEnabled() && rect_.Contains(event.pt)) {
                if (dropOpen_) {
                    CloseDropDown();
                } else {
                    OpenDropDown();
                }
            }
            return;
        case EventType::MouseEnter:
            hot_ = IsEnabled();
            Invalidate();
            return;
        case EventType::MouseLeave:
            hot_ = false;
            Invalidate();
            return;
        case EventType::KeyDown: {
            auto rows = VisibleItems();
            auto it = std::find(rows.begin(), rows.end(), curSel_);
            if (event.key == Key::Down && !rows.empty()) {
                ChooseItem(it == rows.end() ? rows.front() : *std::min(it + 1, rows.end() - 1));
            } else if (event.key == Key::Up && it != rows.end() && it != rows.begin()) {
                ChooseItem(*(it - 1));
            } else if (event.key == Key::Return || event.key == Key::Space) {
                OpenDropDown();
            }
            return;
        }
        default:
            CContainerUI::DoEvent(event);
    }
}

void CComboUI::DoPaint(IRenderer& r, const Rect& dirty) {
    if (!rect_.Intersects(dirty) || manager_ == nullptr) {
        return;
    }
    r.PushClip(rect_);
    Color bk = (hot_ || dropOpen_) && hotBkColor_ != 0 ? hotBkColor_ : GetBkColor();
    if ((bk >> 24U) != 0) {
        r.FillRoundRect(rect_, Scale(GetBorderRound()), bk);
    }
    PaintBkImage(r);
    Color textColor = IsEnabled() ? (GetTextColor() != 0 ? GetTextColor() : manager_->GetDefaultTextColor())
                                  : manager_->GetDefaultDisabledColor();
    std::string text = GetText();
    Rect pad{Scale(textPadding_.left), Scale(textPadding_.top), Scale(textPadding_.right),
             Scale(textPadding_.bottom)};
    if (!text.empty()) {
        r.DrawText(rect_.Deflate(pad), text, manager_->ScaledFont(GetFont()), textColor,
                   kAlignLeft | kAlignVCenter | kTextSingleLine | kTextEndEllipsis);
    }
    // Chevron at the right edge.
    Color arrow = arrowColor_ != 0 ? arrowColor_ : textColor;
    int cx = rect_.right - Scale(14);
    int cy = rect_.top + rect_.Height() / 2;
    int s = Scale(4);
    int dir = dropOpen_ ? -1 : 1;
    r.DrawLine({cx - s, cy - dir * s / 2}, {cx, cy + dir * s / 2}, std::max(1, Scale(1)), arrow);
    r.DrawLine({cx, cy + dir * s / 2}, {cx + s, cy - dir * s / 2}, std::max(1, Scale(1)), arrow);
    PaintBorder(r);
    r.PopClip();
}

void CComboUI::SetAttribute(std::string_view name, std::string_view value) {
    if (info_.SetAttribute(name, value)) {
        return;
    }
    if (name == "selectedid") {
        initialSel_ = ParseInt(value);
    } else if (name == "dropboxsize") {
        dropBoxSize_ = ParseSize(value);
    } else if (name == "textpadding") {
        textPadding_ = ParseRect(value);
    } else if (name == "hotbkcolor") {
        hotBkColor_ = ParseColor(value);
    } else if (name == "arrowcolor") {
        arrowColor_ = ParseColor(value);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
