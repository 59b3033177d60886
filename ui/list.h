#pragma once

#include "ui/container.h"

namespace norvane::ui {

// How the rows of a list or combo look.
struct TListInfoUI {
    int font = -1;
    unsigned textStyle = kAlignLeft | kAlignVCenter | kTextSingleLine;
    Rect textPadding{8, 0, 8, 0};
    Color textColor = 0;
    Color bkColor = 0;
    Color hotTextColor = 0;
    Color hotBkColor = 0;
    Color selectedTextColor = 0;
    Color selectedBkColor = 0;
    Color disabledTextColor = 0;
    Color lineColor = 0;
    // Applies the item* attributes shared by lists and combos; false for other names.
    bool SetAttribute(std::string_view name, std::string_view value);
};

// A list or combo: the owner of list rows.
class IListOwnerUI {
public:
    virtual int GetCurSel() const = 0;
    // Selects a row (-1: none) by code; with notify, "itemselect" is sent even when the row
    // was selected already.
    virtual bool SelectItem(int index, bool notify = true) = 0;
    // The user chose a row (press, key, drop-down): "itemselect" only when the selection
    // changes.
    virtual bool ChooseItem(int index, unsigned modifiers = 0) {
        (void)modifiers;
        return SelectItem(index, index != GetCurSel());
    }
    virtual const TListInfoUI& GetListInfo() const = 0;
    // A row was clicked (after selecting it); combos close their drop-down here.
    virtual void OnItemClicked(int index) { (void)index; }

protected:
    virtual ~IListOwnerUI() = default;
};

// Row behaviour shared by the label rows and the container rows: a press selects the row
// through its owner and sends "itemclick"; a double click or Return sends "itemactivate".
class IListItemUI {
public:
    int GetIndex() const;
    IListOwnerUI* GetOwner() const;
    bool IsSelected() const { return selected_; }
    // Marks the row; the owner keeps its current selection in step.
    void SetSelectedState(bool selected);
    bool IsHot() const { return hot_; }

protected:
    virtual ~IListItemUI() = default;
    virtual CControlUI& Self() = 0;
    // True when the event was handled as a row event.
    bool HandleItemEvent(TEventUI& event);
    void PaintItemBk(IRenderer& r);
    Color ItemTextColor();
    bool selected_ = false;
    bool hot_ = false;
};

// A row showing one text.
class CListLabelElementUI : public CControlUI, public IListItemUI {
public:
    std::string_view GetClass() const override { return "ListLabelElement"; }
    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderer& r, const Rect& dirty) override;
    Size EstimateSize(Size available) override;

protected:
    CControlUI& Self() override { return *this; }
};

// A row holding other controls side by side.
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    std::string_view GetClass() const override { return "ListContainerElement"; }
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderer& r) override;
    Size EstimateSize(Size available) override;

protected:
    CControlUI& Self() override { return *this; }
};

// A scrolling vertical list of rows with one selected row. Selecting sends "itemselect"
// (wparam the new index, lparam the previous one). With "multiselect", a press with Ctrl
// held toggles the row's selection and keeps the others; GetCurSel is then the first
// selected row.
class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    std::string_view GetClass() const override { return "List"; }
    int GetCurSel() const override;
    // Every selected row, in order.
    std::vector<int> GetSelectedItems() const;
    bool IsMultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool multi);
    // Selects this row alone (-1: none).
    bool SelectItem(int index, bool notify = true) override;
    bool ChooseItem(int index, unsigned modifiers = 0) override;
    const TListInfoUI& GetListInfo() const override { return info_; }
    TListInfoUI& ListInfo() { return info_; }
    void EnsureVisible(int index);
    void DoEvent(TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    TListInfoUI info_;
    bool multiSelect_ = false;
};

}  // namespace norvane::ui
