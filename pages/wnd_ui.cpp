#include "pages/wnd_ui.h"

namespace norvane::pages {

void CWndUI::Attach(ui::INativeChild* child) {
    child_ = child;
    Place();
}

ui::INativeChild* CWndUI::Detach() {
    ui::INativeChild* old = child_;
    child_ = nullptr;
    return old;
}

void CWndUI::SetPos(const ui::Rect& rc) {
    CControlUI::SetPos(rc);
    Place();
}

void CWndUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    Place();
}

void CWndUI::VisibilityChanged() {
    Place();
}

void CWndUI::Place() {
    if (child_ != nullptr && manager_ != nullptr) {
        child_->Place(rect_, IsVisible());
    }
}

}  // namespace norvane::pages
