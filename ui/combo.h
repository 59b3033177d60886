#pragma once

#include "ui/list.h"

namespace norvane::ui {

// A selection box whose rows are its children (usually CListLabelElementUI). A click opens
// the drop-down list through the backend; choosing a row selects it. Selecting sends
// "itemselect" (wparam the new index, lparam the previous one). Hidden rows are left out of
// the drop-down. The selection follows its row as rows are added, moved or removed; removing
// the selected row leaves nothing selected, quietly.
class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    std::string_view GetClass() const override { return "Combo"; }

    // Adds a text row with user data and a height (0: the default row height).
    CControlUI* AddString(std::string text, std::string userData = {}, int height = 0);
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool notify = true) override;
    const TListInfoUI& GetListInfo() const override { return info_; }
    TListInfoUI& ListInfo() { return info_; }
    void OnItemClicked(int index) override;
    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
    bool SetItemIndex(CControlUI* control, int index) override;

    // Drop-down state, driven by the backend.
    bool IsDropDownOpen() const { return dropOpen_; }
    void OpenDropDown();
    void CloseDropDown();
    // Indices of the rows the drop-down shows.
    std::vector<int> VisibleItems() const;
    Size GetDropBoxSize() const { return dropBoxSize_; }

    std::string GetText() const override;
    void SetPos(const Rect& rc) override;
    CControlUI* FindControlAt(Point pt) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderer& r, const Rect& dirty) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void DoInit() override;

private:
    TListInfoUI info_;
    int initialSel_ = -1;
    int curSel_ = -1;
    bool dropOpen_ = false;
    bool hot_ = false;
    Size dropBoxSize_{0, 150};
    Rect textPadding_{8, 0, 24, 0};
    Color hotBkColor_ = 0;
    Color arrowColor_ = 0;
};

}  // namespace norvane::ui
