#include "ui/list.h"

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

namespace {
constexpr int kDefaultRowHeight = 30;
constexpr int kWheelStep = 30;
}  // namespace

bool TListInfoUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "itemfont") {
        font = ParseInt(value);
    } else if (name == "itemalign") {
        textStyle &= ~(kAlignCenter | kAlignRight);
        if (value == "center") {
            textStyle |= kAlignCenter;
        } else if (value == "right") {
            textStyle |= kAlignRight;
        }
    } else if (name == "itemtextpadding") {
        textPadding = ParseRect(value);
    } else if (name == "itemtextcolor") {
        textColor = ParseColor(value);
    } else if (name == "itembkcolor") {
        bkColor = ParseColor(value);
    } else if (name == "itemhottextcolor") {
        hotTextColor = ParseColor(value);
    } else if (name == "itemhotbkcolor") {
        hotBkColor = ParseColor(value);
    } else if (name == "itemselectedtextcolor") {
        selectedTextColor = ParseColor(value);
    } else if (name == "itemselectedbkcolor") {
        selectedBkColor = ParseColor(value);
    } else if (name == "itemdisabledtextcolor") {
        disabledTextColor = ParseColor(value);
    } else if (name == "itemlinecolor") {
        lineColor = ParseColor(value);
    } else {
        return false;
    }
    return true;
}

int IListItemUI::GetIndex() const {
    auto& self = const_cast<IListItemUI*>(this)->Self();
    auto* parent = dynamic_cast<CContainerUI*>(self.GetParent());
    return parent != nullptr ? parent->GetItemIndex(&self) : -1;
}

IListOwnerUI* IListItemUI::GetOwner() const {
    auto& self = const_cast<IListItemUI*>(this)->Self();
    return dynamic_cast<IListOwnerUI*>(self.GetParent());
}

void IListItemUI::SetSelectedState(bool selected) {
    if (selected_ != selected) {
        selected_ = selected;
        Self().Invalidate();
    }
}

bool IListItemUI::HandleItemEvent(TEventUI& event) {
    CControlUI& self = Self();
    switch (event.type) {
        case EventType::ButtonDown: {
            CPaintManagerUI* manager = self.GetManager();
            if (manager == nullptr || !self.IsEnabled()) {
                return true;
            }
            if (IListOwnerUI* owner = GetOwner()) {
                owner->ChooseItem(GetIndex(), event.modifiers);
            }
            // An "itemselect" handler may have moved this row, or taken it out of the window.
            if (self.GetManager() != manager) {
                return true;
            }
            int index = GetIndex();
            manager->SendNotify(&self, notify::kItemClick, index);
            if (self.GetManager() != manager) {
                return true;
            }
            if (IListOwnerUI* owner = GetOwner()) {
                owner->OnItemClicked(index);
            }
            return true;
        }
        case EventType::DblClick:
            if (self.IsEnabled() && self.GetManager() != nullptr) {
                self.GetManager()->SendNotify(&self, notify::kItemActivate, GetIndex());
            }
            return true;
        case EventType::KeyDown:
            if (event.key == Key::Return && self.IsEnabled() && self.GetManager() != nullptr) {
                self.GetManager()->SendNotify(&self, notify::kItemActivate, GetIndex());
                return true;
            }
            return false;
        case EventType::MouseEnter:
            if (self.IsEnabled()) {
                hot_ = true;
                self.Invalidate();
            }
            return true;
        case EventType::MouseLeave:
            hot_ = false;
            self.Invalidate();
            return true;
        default:
            return false;
    }
}

void IListItemUI::PaintItemBk(IRenderer& r) {
    CControlUI& self = Self();
    Color color = self.GetBkColor();
    if (IListOwnerUI* owner = GetOwner()) {
        const TListInfoUI& info = owner->GetListInfo();
        if (selected_ && info.selectedBkColor != 0) {
            color = info.selectedBkColor;
        } else if (hot_ && info.hotBkColor != 0) {
            color = info.hotBkColor;
        } else if (color == 0) {
            color = info.bkColor;
        }
        if ((color >> 24U) != 0) {
            r.FillRect(self.GetPos(), color);
        }
        if ((info.lineColor >> 24U) != 0) {
            const Rect& rc = self.GetPos();
            r.DrawLine({rc.left, rc.bottom - 1}, {rc.right, rc.bottom - 1}, 1, info.lineColor);
        }
    } else if ((color >> 24U) != 0) {
        r.FillRect(self.GetPos(), color);
    }
}

Color IListItemUI::ItemTextColor() {
    CControlUI& self = Self();
    CPaintManagerUI* manager = self.GetManager();
    Color fallback = manager != nullptr ? manager->GetDefaultTextColor() : 0xFF000000;
    IListOwnerUI* owner = GetOwner();
    if (owner == nullptr) {
        return self.GetTextColor() != 0 ? self.GetTextColor() : fallback;
    }
    const TListInfoUI& info = owner->GetListInfo();
    if (!self.IsEnabled()) {
        return info.disabledTextColor != 0
                   ? info.disabledTextColor
                   : (manager != nullptr ? manager->GetDefaultDisabledColor() : fallback);
    }
    if (selected_ && info.selectedTextColor != 0) {
        return info.selectedTextColor;
    }
    if (hot_ && info.hotTextColor != 0) {
        return info.hotTextColor;
    }
    if (self.GetTextColor() != 0) {
        return self.GetTextColor();
    }
    return info.textColor != 0 ? info.textColor : fallback;
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
    if (!HandleItemEvent(event)) {
        CControlUI::DoEvent(event);
    }
}

Size CListLabelElementUI::EstimateSize(Size available) {
    Size sz = CControlUI::EstimateSize(available);
    if (sz.cy == 0) {
        sz.cy = Scale(kDefaultRowHeight);
    }
    return sz;
}

void CListLabelElementUI::DoPaint(IRenderer& r, const Rect& dirty) {
    if (!rect_.Intersects(dirty) || manager_ == nullptr) {
        return;
    }
    r.PushClip(rect_);
    PaintItemBk(r);
    std::string text = GetText();
    if (!text.empty()) {
        TListInfoUI fallback;
        const TListInfoUI& info = GetOwner() != nullptr ? GetOwner()->GetListInfo() : fallback;
        Rect pad{Scale(info.textPadding.left), Scale(info.textPadding.top), Scale(info.textPadding.right),
                 Scale(info.textPadding.bottom)};
        int font = GetFont() >= 0 ? GetFont() : info.font;
        r.DrawText(rect_.Deflate(pad), text, manager_->ScaledFont(font), ItemTextColor(), info.textStyle);
    }
    PaintBorder(r);
    r.PopClip();
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
    if (!HandleItemEvent(event)) {
        CHorizontalLayoutUI::DoEvent(event);
    }
}

void CListContainerElementUI::PaintBkColor(IRenderer& r) {
    PaintItemBk(r);
}

Size CListContainerElementUI::EstimateSize(Size available) {
    Size sz = CControlUI::EstimateSize(available);
    if (sz.cy == 0) {
        sz.cy = Scale(kDefaultRowHeight);
    }
    return sz;
}

int CListUI::GetCurSel() const {
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i)); item != nullptr && item->IsSelected()) {
            return i;
        }
    }
    return -1;
}

std::vector<int> CListUI::GetSelectedItems() const {
    std::vector<int> rows;
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i)); item != nullptr && item->IsSelected()) {
            rows.push_back(i);
        }
    }
    return rows;
}

void CListUI::SetMultiSelect(bool multi) {
    multiSelect_ = multi;
    if (!multi) {
        auto rows = GetSelectedItems();
        if (rows.size() > 1) {
            SelectItem(rows.front(), false);
        }
    }
}

bool CListUI::ChooseItem(int index, unsigned modifiers) {
    auto* target = dynamic_cast<IListItemUI*>(GetItemAt(index));
    if (!multiSelect_ || (modifiers & kModControl) == 0 || target == nullptr) {
        // A plain press leaves this row alone selected; it tells when that changes anything.
        bool changed = GetSelectedItems() != std::vector<int>{index};
        return SelectItem(index, changed && index >= 0);
    }
    int old = GetCurSel();
    target->SetSelectedState(!target->IsSelected());
    if (target->IsSelected()) {
        EnsureVisible(index);
    }
    Notify(notify::kItemSelect, GetCurSel(), old);
    return true;
}

bool CListUI::SelectItem(int index, bool withNotify) {
    index = std::max(index, -1);
    auto* target = dynamic_cast<IListItemUI*>(GetItemAt(index));
    if (index >= 0 && target == nullptr) {
        return false;
    }
    int old = GetCurSel();
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* row = dynamic_cast<IListItemUI*>(GetItemAt(i)); row != nullptr && i != index) {
            row->SetSelectedState(false);
        }
    }
    if (target != nullptr) {
        target->SetSelectedState(true);
        EnsureVisible(index);
    }
    if (withNotify) {
        Notify(notify::kItemSelect, index, old);
    }
    return true;
}

void CListUI::EnsureVisible(int index) {
    CControlUI* item = GetItemAt(index);
    if (item == nullptr || manager_ == nullptr) {
        return;
    }
    if (manager_->IsUpdateNeeded()) {
        manager_->UpdateLayout();
    }
    Rect client = ClientRect();
    const Rect& rc = item->GetPos();
    if (rc.top < client.top) {
        SetScrollPos(scrollPos_ - (client.top - rc.top));
    } else if (rc.bottom > client.bottom) {
        SetScrollPos(scrollPos_ + (rc.bottom - client.bottom));
    }
}

void CListUI::DoEvent(TEventUI& event) {
    if (event.type == EventType::ScrollWheel) {
        SetScrollPos(scrollPos_ - (event.wheel > 0 ? 1 : -1) * Scale(kWheelStep));
        return;
    }
    if (event.type == EventType::KeyDown && (event.key == Key::Up || event.key == Key::Down)) {
        int next = GetCurSel() + (event.key == Key::Up ? -1 : 1);
        if (next >= 0 && next < GetCount()) {
            ChooseItem(next);
        }
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(std::string_view name, std::string_view value) {
    if (info_.SetAttribute(name, value)) {
        return;
    }
    if (name == "multiselect") {
        SetMultiSelect(ParseBool(value));
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
