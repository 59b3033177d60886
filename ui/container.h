#pragma once

#include <memory>
#include <vector>

#include "ui/control.h"

namespace norvane::ui {

// A control that owns children. The plain container gives every flowing child the whole
// client area (inset applied); float children sit at their float position.
class CContainerUI : public CControlUI {
public:
    std::string_view GetClass() const override { return "Container"; }

    // Children (owned). Add/AddAt return the added control, or nullptr for a null argument.
    // Every insertion goes through AddAt and every removal through Detach, so a container
    // that keeps state about its children overrides those two (and SetItemIndex).
    CControlUI* Add(std::unique_ptr<CControlUI> control);
    virtual CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index);
    // Removes and destroys a child; false when it is not a direct child.
    bool Remove(CControlUI* control);
    bool RemoveAt(int index);
    void RemoveAll();
    // Takes a child out without destroying it.
    virtual std::unique_ptr<CControlUI> Detach(CControlUI* control);
    int GetCount() const { return static_cast<int>(items_.size()); }
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    virtual bool SetItemIndex(CControlUI* control, int index);
    CControlUI* FindSubControl(std::string_view name);

    const Rect& GetInset() const { return inset_; }
    void SetInset(const Rect& inset);
    int GetChildPadding() const { return childPadding_; }
    void SetChildPadding(int padding);
    bool IsMouseChildEnabled() const { return mouseChild_; }
    void SetMouseChildEnabled(bool enabled) { mouseChild_ = enabled; }

    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    void ForEach(const std::function<void(CControlUI&)>& visit) override;
    void SetPos(const Rect& rc) override;
    CControlUI* FindControlAt(Point pt) override;
    void DoPaint(IRenderer& r, const Rect& dirty) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // Lays the flowing children out inside rc (the client area); floats are placed after.
    virtual void LayoutChildren(const Rect& rc);
    void PlaceFloat(CControlUI& child, const Rect& parentRc) const;
    Rect ClientRect() const;
    // SetItemIndex for a container that keeps a selected index: `selected` follows its child.
    bool MoveItemKeepingSelection(CControlUI* control, int index, int& selected);

    std::vector<std::unique_ptr<CControlUI>> items_;
    Rect inset_;
    int childPadding_ = 0;
    bool mouseChild_ = true;
};

// Children stacked top to bottom; children without a fixed height share the free height.
class CVerticalLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override { return "VerticalLayout"; }
    // Scroll offset of the content (lists scroll with the wheel).
    int GetScrollPos() const { return scrollPos_; }
    void SetScrollPos(int pos);
    int GetScrollRange() const { return scrollRange_; }

protected:
    void LayoutChildren(const Rect& rc) override;
    int scrollPos_ = 0;
    int scrollRange_ = 0;
};

// Children side by side left to right; children without a fixed width share the free width.
class CHorizontalLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override { return "HorizontalLayout"; }

protected:
    void LayoutChildren(const Rect& rc) override;
};

// Shows one child at a time over the whole client area. A page added later stays hidden
// unless it lands on the selected index (an empty tab selects its first page); removing the
// selected page selects the first one left.
class CTabLayoutUI : public CContainerUI {
public:
    std::string_view GetClass() const override { return "TabLayout"; }
    int GetCurSel() const { return curSel_; }
    bool SelectItem(int index);
    bool SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }
    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
    bool SetItemIndex(CControlUI* control, int index) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoInit() override;

private:
    // The selected index; before the pages exist, the one to select (-1: none yet).
    int curSel_ = 0;
};

// Lays flowing children along one axis: fixed sizes first, then the free space shared out
// among the rest within their min/max limits. Shared by the vertical and horizontal layouts.
void LayoutAlongAxis(std::vector<std::unique_ptr<CControlUI>>& items, const Rect& rc, int childPadding,
                     bool vertical, int offset, int* contentExtent);

}  // namespace norvane::ui
