#pragma once

#include "ui/control.h"
#include "ui/native_child.h"

namespace norvane::pages {

// Carries a native child window (on Linux any native widget, or nothing) and keeps it over
// the control: moved whenever the control moves, shown or hidden with it (directly or
// through a parent).
class CWndUI : public ui::CControlUI {
public:
    std::string_view GetClass() const override { return "Wnd"; }
    // The carried window is not owned; nullptr detaches it.
    void Attach(ui::INativeChild* child);
    ui::INativeChild* Detach();
    ui::INativeChild* Carried() const { return child_; }

    void SetPos(const ui::Rect& rc) override;
    void SetVisible(bool visible) override;

protected:
    void VisibilityChanged() override;

private:
    void Place();
    ui::INativeChild* child_ = nullptr;
};

}  // namespace norvane::pages
