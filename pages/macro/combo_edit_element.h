#pragma once

#include "ui/list.h"

#include <string_view>

namespace norvane::ui {
class CEditUI;
class CLabelUI;
}  // namespace norvane::ui

namespace norvane::pages {

// A list row that builds its children from its own layout file when it is initialised:
// two labels ("text1", "text2") and a delay field ("delay_edit"). It raises "return" on
// Enter, "itemclick" on a double click, "timer" on its timers and "menu" on a context-menu
// request while its context menu is enabled. A press selects it; with Ctrl held it toggles
// its selection.
class CComboEditContainerElementUI : public ui::CListContainerElementUI {
public:
    static constexpr std::string_view kClassName = "ComboEditContainerElement";
    static constexpr std::string_view kLayoutFile = "XML/CustomControlXML/ComboEditElementItem.xml";

    std::string_view GetClass() const override { return kClassName; }
    void DoInit() override;
    void DoEvent(ui::TEventUI& event) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    ui::CLabelUI* Text1() const { return text1_; }
    ui::CLabelUI* Text2() const { return text2_; }
    ui::CEditUI* DelayEdit() const { return delayEdit_; }
    void SetContextMenuEnabled(bool enabled) { contextMenu_ = enabled; }
    bool IsContextMenuEnabled() const { return contextMenu_; }

private:
    ui::CLabelUI* text1_ = nullptr;
    ui::CLabelUI* text2_ = nullptr;
    ui::CEditUI* delayEdit_ = nullptr;
    bool contextMenu_ = false;
};

}  // namespace norvane::pages
