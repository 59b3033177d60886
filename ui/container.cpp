#include "ui/container.h"

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

CControlUI* CContainerUI::Add(std::unique_ptr<CControlUI> control) {
    return AddAt(std::move(control), GetCount());
}

CControlUI* CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control) {
        return nullptr;
    }
    index = std::clamp(index, 0, GetCount());
    CControlUI* raw = control.get();
    items_.insert(items_.begin() + index, std::move(control));
    raw->SetManager(manager_, this);
    NeedUpdate();
    return raw;
}

std::unique_ptr<CControlUI> CContainerUI::Detach(CControlUI* control) {
    int index = GetItemIndex(control);
    if (index < 0) {
        return nullptr;
    }
    std::unique_ptr<CControlUI> owned = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    owned->SetManager(nullptr, nullptr);
    NeedUpdate();
    return owned;
}

bool CContainerUI::Remove(CControlUI* control) {
    CPaintManagerUI* manager = manager_;
    std::unique_ptr<CControlUI> owned = Detach(control);
    if (!owned) {
        return false;
    }
    if (manager != nullptr) {
        manager->ReleaseControl(std::move(owned));
    }
    return true;
}

bool CContainerUI::RemoveAt(int index) {
    return Remove(GetItemAt(index));
}

void CContainerUI::RemoveAll() {
    while (!items_.empty()) {
        Remove(items_.back().get());
    }
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) {
        return nullptr;
    }
    return items_[static_cast<std::size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= GetCount()) {
        return false;
    }
    auto owned = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, std::move(owned));
    NeedUpdate();
    return true;
}

bool CContainerUI::MoveItemKeepingSelection(CControlUI* control, int index, int& selected) {
    CControlUI* held = GetItemAt(selected);
    if (!CContainerUI::SetItemIndex(control, index)) {
        return false;
    }
    if (held != nullptr) {
        selected = GetItemIndex(held);
    }
    return true;
}

CControlUI* CContainerUI::FindSubControl(std::string_view name) {
    return CPaintManagerUI::FindSubControlByName(this, name);
}

void CContainerUI::SetInset(const Rect& inset) {
    inset_ = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = std::max(0, padding);
    NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
    CControlUI::SetManager(manager, parent);
    for (auto& item : items_) {
        item->SetManager(manager, this);
    }
}

void CContainerUI::ForEach(const std::function<void(CControlUI&)>& visit) {
    visit(*this);
    for (auto& item : items_) {
        item->ForEach(visit);
    }
}

Rect CContainerUI::ClientRect() const {
    Rect inset{Scale(inset_.left), Scale(inset_.top), Scale(inset_.right), Scale(inset_.bottom)};
    return rect_.Deflate(inset);
}

void CContainerUI::SetPos(const Rect& rc) {
    CControlUI::SetPos(rc);
    Rect client = ClientRect();
    LayoutChildren(client);
    for (auto& item : items_) {
        if (item->IsOwnVisible() && item->IsFloat()) {
            PlaceFloat(*item, rect_);
        }
    }
}

void CContainerUI::LayoutChildren(const Rect& rc) {
    for (auto& item : items_) {
        if (!item->IsOwnVisible() || item->IsFloat()) {
            continue;
        }
        const Rect& p = item->GetPadding();
        Rect area = rc.Deflate({Scale(p.left), Scale(p.top), Scale(p.right), Scale(p.bottom)});
        Size sz = item->EstimateSize({area.Width(), area.Height()});
        int cx = sz.cx > 0 ? std::min(sz.cx, area.Width()) : area.Width();
        int cy = sz.cy > 0 ? std::min(sz.cy, area.Height()) : area.Height();
        cx = std::clamp(cx, item->ScaledMin(true), std::max(item->ScaledMin(true), item->ScaledMax(true)));
        cy = std::clamp(cy, item->ScaledMin(false), std::max(item->ScaledMin(false), item->ScaledMax(false)));
        item->SetPos({area.left, area.top, area.left + cx, area.top + cy});
    }
}

void CContainerUI::PlaceFloat(CControlUI& child, const Rect& parentRc) const {
    const Rect& pos = child.GetFloatPos();
    Size sz = child.EstimateSize({parentRc.Width(), parentRc.Height()});
    int cx = sz.cx > 0 ? sz.cx : Scale(pos.right - pos.left);
    int cy = sz.cy > 0 ? sz.cy : Scale(pos.bottom - pos.top);
    unsigned anchor = child.GetFloatAnchor();
    int x = parentRc.left + Scale(pos.left);
    int y = parentRc.top + Scale(pos.top);
    if ((anchor & CControlUI::kAnchorRight) != 0) {
        x = parentRc.right - Scale(pos.left) - cx;
    } else if ((anchor & CControlUI::kAnchorCenterX) != 0) {
        x = parentRc.left + (parentRc.Width() - cx) / 2 + Scale(pos.left);
    }
    if ((anchor & CControlUI::kAnchorBottom) != 0) {
        y = parentRc.bottom - Scale(pos.top) - cy;
    } else if ((anchor & CControlUI::kAnchorCenterY) != 0) {
        y = parentRc.top + (parentRc.Height() - cy) / 2 + Scale(pos.top);
    }
    child.SetPos({x, y, x + cx, y + cy});
}

CControlUI* CContainerUI::FindControlAt(Point pt) {
    if (!IsOwnVisible() || !rect_.Contains(pt)) {
        return nullptr;
    }
    if (mouseChild_) {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
            if (CControlUI* hit = (*it)->FindControlAt(pt)) {
                return hit;
            }
        }
    }
    return IsMouseEnabled() ? this : nullptr;
}

void CContainerUI::DoPaint(IRenderer& r, const Rect& dirty) {
    if (!rect_.Intersects(dirty)) {
        return;
    }
    CControlUI::DoPaint(r, dirty);
    Rect clip = rect_.Intersection(dirty);
    r.PushClip(clip);
    for (auto& item : items_) {
        if (item->IsOwnVisible() && item->GetPos().Intersects(clip)) {
            item->DoPaint(r, clip);
        }
    }
    r.PopClip();
}

void CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "inset") {
        SetInset(ParseRect(value));
    } else if (name == "childpadding") {
        SetChildPadding(ParseInt(value));
    } else if (name == "mousechild") {
        SetMouseChildEnabled(ParseBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void LayoutAlongAxis(std::vector<std::unique_ptr<CControlUI>>& items, const Rect& rc, int childPadding,
                     bool vertical, int offset, int* contentExtent) {
    struct Slot {
        CControlUI* control;
        Rect padding;
        int main;  // size along the axis
        bool stretch;
    };
    std::vector<Slot> slots;
    const int avail = vertical ? rc.Height() : rc.Width();
    const int cross = vertical ? rc.Width() : rc.Height();
    int used = 0;
    for (auto& item : items) {
        if (!item->IsOwnVisible() || item->IsFloat()) {
            continue;
        }
        const Rect& p = item->GetPadding();
        Rect pad{item->Scale(p.left), item->Scale(p.top), item->Scale(p.right), item->Scale(p.bottom)};
        Size sz = item->EstimateSize({rc.Width(), rc.Height()});
        int want = vertical ? sz.cy : sz.cx;
        Slot slot{item.get(), pad, 0, want <= 0};
        if (!slot.stretch) {
            slot.main = std::clamp(want, item->ScaledMin(vertical ? false : true),
                                   std::max(item->ScaledMin(!vertical), item->ScaledMax(!vertical)));
            used += slot.main;
        }
        used += vertical ? pad.top + pad.bottom : pad.left + pad.right;
        slots.push_back(slot);
    }
    if (!slots.empty()) {
        used += childPadding * static_cast<int>(slots.size() - 1);
    }
    // Share the free space among the stretching children; a child held at its min or max
    // leaves the pool and the rest is shared again.
    int free = std::max(0, avail - used);
    std::vector<Slot*> pool;
    for (auto& s : slots) {
        if (s.stretch) {
            pool.push_back(&s);
        }
    }
    bool changed = true;
    while (!pool.empty() && changed) {
        changed = false;
        int share = free / static_cast<int>(pool.size());
        for (auto it = pool.begin(); it != pool.end(); ++it) {
            Slot* s = *it;
            int lo = s->control->ScaledMin(!vertical);
            int hi = std::max(lo, s->control->ScaledMax(!vertical));
            if (share < lo || share > hi) {
                s->main = std::clamp(share, lo, hi);
                free = std::max(0, free - s->main);
                pool.erase(it);
                changed = true;
                break;
            }
        }
    }
    if (!pool.empty()) {
        int share = free / static_cast<int>(pool.size());
        int rest = free - share * static_cast<int>(pool.size());
        for (Slot* s : pool) {
            s->main = share + (rest > 0 ? 1 : 0);
            rest = std::max(0, rest - 1);
        }
    }
    int pos = (vertical ? rc.top : rc.left) - offset;
    int start = pos;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& s = slots[i];
        Size sz = s.control->EstimateSize({rc.Width(), rc.Height()});
        int crossWant = vertical ? sz.cx : sz.cy;
        int crossPad = vertical ? s.padding.left + s.padding.right : s.padding.top + s.padding.bottom;
        int crossSize = crossWant > 0 ? std::min(crossWant, cross - crossPad) : cross - crossPad;
        crossSize = std::clamp(crossSize, s.control->ScaledMin(vertical),
                               std::max(s.control->ScaledMin(vertical), s.control->ScaledMax(vertical)));
        if (vertical) {
            pos += s.padding.top;
            int left = rc.left + s.padding.left;
            s.control->SetPos({left, pos, left + crossSize, pos + s.main});
            pos += s.main + s.padding.bottom;
        } else {
            pos += s.padding.left;
            int top = rc.top + s.padding.top;
            s.control->SetPos({pos, top, pos + s.main, top + crossSize});
            pos += s.main + s.padding.right;
        }
        if (i + 1 < slots.size()) {
            pos += childPadding;
        }
    }
    if (contentExtent != nullptr) {
        *contentExtent = pos - start;
    }
}

void CVerticalLayoutUI::LayoutChildren(const Rect& rc) {
    int extent = 0;
    LayoutAlongAxis(items_, rc, Scale(childPadding_), true, scrollPos_, &extent);
    scrollRange_ = std::max(0, extent - rc.Height());
    if (scrollPos_ > scrollRange_) {
        scrollPos_ = scrollRange_;
        LayoutAlongAxis(items_, rc, Scale(childPadding_), true, scrollPos_, &extent);
    }
}

void CVerticalLayoutUI::SetScrollPos(int pos) {
    pos = std::clamp(pos, 0, scrollRange_);
    if (pos == scrollPos_) {
        return;
    }
    scrollPos_ = pos;
    NeedUpdate();
}

void CHorizontalLayoutUI::LayoutChildren(const Rect& rc) {
    LayoutAlongAxis(items_, rc, Scale(childPadding_), false, 0, nullptr);
}

void CTabLayoutUI::DoInit() {
    if (!SelectItem(curSel_) && GetCount() > 0) {
        SelectItem(0);  // a selected index past the pages
    }
}

CControlUI* CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control) {
        return nullptr;
    }
    const int count = GetCount();
    index = std::clamp(index, 0, count);
    if (curSel_ < 0) {
        curSel_ = index;
    } else if (curSel_ < count && index <= curSel_) {
        ++curSel_;  // the selected page moves up one place
    }
    // Hidden before it joins, so it never shows over the selected page.
    control->SetVisible(index == curSel_);
    return CContainerUI::AddAt(std::move(control), index);
}

std::unique_ptr<CControlUI> CTabLayoutUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    std::unique_ptr<CControlUI> owned = CContainerUI::Detach(control);
    if (!owned) {
        return owned;
    }
    if (index < curSel_) {
        --curSel_;
    } else if (index == curSel_) {
        curSel_ = GetCount() > 0 ? 0 : -1;
        if (curSel_ >= 0) {
            SelectItem(curSel_);
        }
    }
    return owned;
}

bool CTabLayoutUI::SetItemIndex(CControlUI* control, int index) {
    return MoveItemKeepingSelection(control, index, curSel_);
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    curSel_ = index;
    for (int i = 0; i < GetCount(); ++i) {
        GetItemAt(i)->SetVisible(i == index);
    }
    NeedUpdate();
    return true;
}

void CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "selectedid") {
        curSel_ = std::max(0, ParseInt(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
