#include "pages/macro/combo_edit_element.h"

#include "ui/dialog_builder.h"
#include "ui/edit.h"
#include "ui/event.h"
#include "ui/label.h"
#include "ui/notify.h"
#include "ui/paint_manager.h"

namespace norvane::pages {

void CComboEditContainerElementUI::DoInit() {
    RemoveAll();
    text1_ = nullptr;
    text2_ = nullptr;
    delayEdit_ = nullptr;
    if (GetManager() == nullptr) {
        return;
    }
    ui::CDialogBuilder builder;
    if (auto root = builder.Create(kLayoutFile, GetManager()); root != nullptr) {
        Add(std::move(root));
    }
    text1_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("text1"));
    text2_ = dynamic_cast<ui::CLabelUI*>(FindSubControl("text2"));
    delayEdit_ = dynamic_cast<ui::CEditUI*>(FindSubControl("delay_edit"));
}

void CComboEditContainerElementUI::DoEvent(ui::TEventUI& event) {
    ui::CPaintManagerUI* manager = GetManager();
    if (manager == nullptr || !IsEnabled()) {
        ui::CListContainerElementUI::DoEvent(event);
        return;
    }
    switch (event.type) {
        case ui::EventType::KeyDown:
            if (event.key == ui::Key::Return) {
                Notify(ui::notify::kReturn);
                return;
            }
            break;
        case ui::EventType::DblClick:
            Notify(ui::notify::kItemClick, GetIndex());
            return;
        case ui::EventType::ContextMenu:
            if (contextMenu_) {
                Notify(ui::notify::kMenu, event.pt.x, event.pt.y);
            }
            return;
        case ui::EventType::ButtonDown:
            if ((event.modifiers & ui::kModControl) != 0U) {
                SetSelectedState(!IsSelected());
                Invalidate();
                return;
            }
            break;
        default:
            break;
    }
    ui::CListContainerElementUI::DoEvent(event);
}

void CComboEditContainerElementUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "normalimage" || name == "hotimage" || name == "selectedimage") {
        return;
    }
    ui::CListContainerElementUI::SetAttribute(name, value);
}

}  // namespace norvane::pages
