#pragma once

#include "ui/button.h"

namespace norvane::ui {

// A button with a selected state. Options sharing a group name in one window are exclusive:
// selecting one clears the others. Activation selects a grouped option (a selected one
// stays selected) and toggles an ungrouped one; a change sends "selectchanged".
class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;
    std::string_view GetClass() const override { return "Option"; }
    const std::string& GetGroup() const { return group_; }
    void SetGroup(std::string group);
    bool IsSelected() const { return selected_; }
    // Changes the state; with notify a change sends "selectchanged" (also from the options
    // of the group that get cleared).
    virtual void Selected(bool selected, bool notify = true);
    bool Activate() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    void PaintBkColor(IRenderer& r) override;
    void PaintStatusImage(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;
    void SetSelectedBkColor(Color color) { selectedBkColor_ = color; }

protected:
    Color StateTextColor() const override;
    bool selected_ = false;
    std::string group_;
    std::string selectedImage_;
    std::string selectedHotImage_;
    Color selectedBkColor_ = 0;
    Color selectedTextColor_ = 0;
};

// A two-state box. Activation toggles it and sends "selectchanged" then "checkclick".
class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI() { SetTextStyle(kAlignLeft | kAlignVCenter | kTextSingleLine); }
    std::string_view GetClass() const override { return "CheckBox"; }
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
    bool Activate() override;
    // Without images: a box at the left, filled with the check colour and ticked when set.
    void PaintStatusImage(IRenderer& r) override;
    void PaintText(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    bool DrawsOwnBox() const { return normalImage_.empty() && selectedImage_.empty(); }
    Color checkColor_ = 0xFF00B8A9;
};

}  // namespace norvane::ui
