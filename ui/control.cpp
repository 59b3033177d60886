#include "ui/control.h"

#include "ui/attributes.h"
#include "ui/image_string.h"
#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace norvane::ui {

CControlUI::~CControlUI() {
    if (manager_ != nullptr) {
        manager_->OnControlLeaving(*this);
    }
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
    parent_ = parent;
    if (manager_ == manager) {
        return;
    }
    if (manager_ != nullptr) {
        manager_->OnControlLeaving(*this);
    }
    manager_ = manager;
    if (manager_ != nullptr) {
        manager_->OnControlJoined(*this);
        if (!initialised_) {
            initialised_ = true;
            DoInit();
        }
    }
}

void CControlUI::ForEach(const std::function<void(CControlUI&)>& visit) {
    visit(*this);
}

void CControlUI::SetName(std::string name) {
    if (name == name_) {
        return;
    }
    std::string old = std::move(name_);
    name_ = std::move(name);
    if (manager_ != nullptr) {
        manager_->OnControlRenamed(*this, old);
    }
}

std::string CControlUI::GetText() const {
    if (!textId_.empty() && manager_ != nullptr) {
        return manager_->Resources().Text(textId_);
    }
    return textId_.empty() ? text_ : textId_;
}

void CControlUI::SetText(std::string text) {
    textId_.clear();
    if (text == text_) {
        return;
    }
    text_ = std::move(text);
    Invalidate();
}

void CControlUI::SetTextId(std::string id) {
    textId_ = std::move(id);
    Invalidate();
}

std::string CControlUI::GetToolTip() const {
    if (!toolTipId_.empty() && manager_ != nullptr) {
        return manager_->Resources().Text(toolTipId_);
    }
    return toolTip_;
}

void CControlUI::SetToolTip(std::string text) {
    toolTipId_.clear();
    toolTip_ = std::move(text);
}

void CControlUI::SetToolTipId(std::string id) {
    toolTipId_ = std::move(id);
}

bool CControlUI::IsVisible() const {
    for (const CControlUI* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_) {
            return false;
        }
    }
    return true;
}

void CControlUI::SetVisible(bool visible) {
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    if (!visible) {
        // Focus and capture do not stay on a control that can no longer be seen.
        DropFocusAndCapture();
    }
    NeedParentUpdate();
    PropagateVisibilityChanged();
}

void CControlUI::DropFocusAndCapture() {
    if (manager_ == nullptr) {
        return;
    }
    auto inside = [this](const CControlUI* c) {
        for (; c != nullptr; c = c->parent_) {
            if (c == this) {
                return true;
            }
        }
        return false;
    };
    if (inside(manager_->GetFocus())) {
        manager_->SetFocus(nullptr);
    }
    if (inside(manager_->GetCapture())) {
        manager_->OnCaptureLost();
    }
}

void CControlUI::PropagateVisibilityChanged() {
    ForEach([](CControlUI& c) { c.VisibilityChanged(); });
}

bool CControlUI::IsEnabled() const {
    for (const CControlUI* c = this; c != nullptr; c = c->parent_) {
        if (!c->enabled_) {
            return false;
        }
    }
    return true;
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    if (!enabled) {
        DropFocusAndCapture();
    }
    Invalidate();
}

bool CControlUI::IsFocused() const {
    return manager_ != nullptr && manager_->GetFocus() == this;
}

void CControlUI::SetFocus() {
    if (manager_ != nullptr) {
        manager_->SetFocus(this);
    }
}

void CControlUI::SetBkColor(Color color) {
    bkColor_ = color;
    Invalidate();
}
void CControlUI::SetBkImage(std::string image) {
    bkImage_ = std::move(image);
    Invalidate();
}
void CControlUI::SetBorderColor(Color color) {
    borderColor_ = color;
    Invalidate();
}
void CControlUI::SetFocusBorderColor(Color color) {
    focusBorderColor_ = color;
    Invalidate();
}
void CControlUI::SetBorderSize(int size) {
    borderSize_ = std::max(0, size);
    Invalidate();
}
void CControlUI::SetBorderRound(int radius) {
    borderRound_ = std::max(0, radius);
    Invalidate();
}
void CControlUI::SetTextColor(Color color) {
    textColor_ = color;
    Invalidate();
}
void CControlUI::SetDisabledTextColor(Color color) {
    disabledTextColor_ = color;
    Invalidate();
}
void CControlUI::SetFont(int id) {
    font_ = id;
    Invalidate();
}

void CControlUI::SetPadding(const Rect& padding) {
    padding_ = padding;
    NeedParentUpdate();
}
void CControlUI::SetFixedWidth(int cx) {
    fixedWidth_ = std::max(0, cx);
    NeedParentUpdate();
}
void CControlUI::SetFixedHeight(int cy) {
    fixedHeight_ = std::max(0, cy);
    NeedParentUpdate();
}
void CControlUI::SetMinWidth(int cx) {
    minWidth_ = std::max(0, cx);
    NeedParentUpdate();
}
void CControlUI::SetMaxWidth(int cx) {
    maxWidth_ = std::max(0, cx);
    NeedParentUpdate();
}
void CControlUI::SetMinHeight(int cy) {
    minHeight_ = std::max(0, cy);
    NeedParentUpdate();
}
void CControlUI::SetMaxHeight(int cy) {
    maxHeight_ = std::max(0, cy);
    NeedParentUpdate();
}
void CControlUI::SetFloat(bool isFloat) {
    float_ = isFloat;
    NeedParentUpdate();
}
void CControlUI::SetFloatPos(const Rect& pos) {
    floatPos_ = pos;
    NeedParentUpdate();
}
void CControlUI::SetFloatAnchor(unsigned anchor) {
    floatAnchor_ = anchor;
    NeedParentUpdate();
}

void CControlUI::SetPos(const Rect& rc) {
    if (rc == rect_) {
        return;
    }
    Rect old = rect_;
    rect_ = rc;
    if (manager_ != nullptr) {
        manager_->Invalidate(old.Union(rc));
    }
}

Size CControlUI::EstimateSize(Size available) {
    (void)available;
    return {Scale(fixedWidth_), Scale(fixedHeight_)};
}

int CControlUI::ScaledMin(bool horizontal) const {
    return Scale(horizontal ? minWidth_ : minHeight_);
}
int CControlUI::ScaledMax(bool horizontal) const {
    return Scale(horizontal ? maxWidth_ : maxHeight_);
}

int CControlUI::Scale(int value) const {
    return manager_ != nullptr ? manager_->Scale(value) : value;
}

CControlUI* CControlUI::FindControlAt(Point pt) {
    if (!visible_ || !mouseEnabled_ || !rect_.Contains(pt)) {
        return nullptr;
    }
    return this;
}

void CControlUI::Event(TEventUI& event) {
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.type) {
        // Mouse events a control does not handle itself go on to its parent, so a label inside
        // a list row selects the row and a drag may start on a picture's decoration.
        case EventType::ScrollWheel:
        case EventType::ButtonDown:
        case EventType::ButtonUp:
        case EventType::DblClick:
        case EventType::MouseMove:
            if (parent_ != nullptr) {
                parent_->DoEvent(event);
            }
            break;
        case EventType::ContextMenu:
            if (contextMenu_ && IsEnabled()) {
                Notify(notify::kMenu, event.pt.x, event.pt.y);
            } else if (parent_ != nullptr) {
                parent_->DoEvent(event);
            }
            break;
        case EventType::SetFocus:
        case EventType::KillFocus:
            Invalidate();
            break;
        default:
            break;
    }
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

void CControlUI::DoPaint(IRenderer& r, const Rect& dirty) {
    if (!rect_.Intersects(dirty)) {
        return;
    }
    r.PushClip(rect_);
    PaintBkColor(r);
    PaintBkImage(r);
    PaintStatusImage(r);
    PaintText(r);
    PaintBorder(r);
    r.PopClip();
}

void CControlUI::PaintBkColor(IRenderer& r) {
    if ((bkColor_ >> 24U) == 0) {
        return;
    }
    if (borderRound_ > 0) {
        r.FillRoundRect(rect_, Scale(borderRound_), bkColor_);
    } else {
        r.FillRect(rect_, bkColor_);
    }
}

void CControlUI::PaintBkImage(IRenderer& r) {
    if (!bkImage_.empty()) {
        DrawImageString(r, bkImage_);
    }
}

Color CControlUI::CurrentBorderColor() const {
    if (IsFocused() && focusBorderColor_ != 0) {
        return focusBorderColor_;
    }
    return borderColor_;
}

void CControlUI::PaintBorder(IRenderer& r) {
    Color color = CurrentBorderColor();
    if (borderSize_ <= 0 || (color >> 24U) == 0) {
        return;
    }
    r.DrawRect(rect_, Scale(borderRound_), std::max(1, Scale(borderSize_)), color);
}

bool CControlUI::DrawImageString(IRenderer& r, std::string_view image, const ImageTint* tint) {
    if (manager_ != nullptr && manager_->GetDPI() != 96 && image.find("dest=") != std::string_view::npos) {
        return r.DrawImage(rect_, ScaleImageDest(image, [this](int v) { return Scale(v); }), tint);
    }
    return r.DrawImage(rect_, image, tint);
}

void CControlUI::Invalidate() {
    if (manager_ != nullptr && IsVisible()) {
        manager_->Invalidate(rect_);
    }
}

void CControlUI::NeedUpdate() {
    if (manager_ != nullptr) {
        manager_->NeedUpdate();
        manager_->Invalidate(rect_);
    }
}

void CControlUI::NeedParentUpdate() {
    if (manager_ != nullptr) {
        manager_->NeedUpdate();
        manager_->Invalidate(parent_ != nullptr ? parent_->GetPos() : rect_);
    }
}

bool CControlUI::SetTimer(int id, int periodMs) {
    return manager_ != nullptr && manager_->SetTimer(this, id, periodMs);
}

void CControlUI::KillTimer(int id) {
    if (manager_ != nullptr) {
        manager_->KillTimer(this, id);
    }
}

void CControlUI::Notify(std::string_view type, std::intptr_t wparam, std::intptr_t lparam) {
    if (manager_ != nullptr) {
        manager_->SendNotify(this, type, wparam, lparam);
    }
}

void CControlUI::ApplyAttributeList(std::string_view list) {
    ForEachQuotedPair(list,
                      [this](std::string_view name, std::string_view value) { SetAttribute(name, value); });
}

void CControlUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "style") {
        if (manager_ != nullptr) {
            if (const std::string* list = manager_->GetStyle(value)) {
                ApplyAttributeList(*list);
            }
        }
    } else if (name == "name") {
        SetName(std::string(value));
    } else if (name == "text") {
        SetText(std::string(value));
    } else if (name == "textid") {
        SetTextId(std::string(value));
    } else if (name == "tooltip") {
        SetToolTip(std::string(value));
    } else if (name == "tooltipid") {
        SetToolTipId(std::string(value));
    } else if (name == "userdata") {
        SetUserData(std::string(value));
    } else if (name == "tag") {
        SetTag(ParseInt(value));
    } else if (name == "visible") {
        SetVisible(ParseBool(value));
    } else if (name == "enabled") {
        SetEnabled(ParseBool(value));
    } else if (name == "mouse") {
        SetMouseEnabled(ParseBool(value));
    } else if (name == "keyboard") {
        SetKeyboardEnabled(ParseBool(value));
    } else if (name == "menu") {
        SetContextMenuUsed(ParseBool(value));
    } else if (name == "bkcolor") {
        SetBkColor(ParseColor(value));
    } else if (name == "bkimage") {
        SetBkImage(std::string(value));
    } else if (name == "bordercolor") {
        SetBorderColor(ParseColor(value));
    } else if (name == "focusbordercolor") {
        SetFocusBorderColor(ParseColor(value));
    } else if (name == "bordersize") {
        SetBorderSize(ParseInt(value));
    } else if (name == "borderround") {
        SetBorderRound(ParseInt(value));
    } else if (name == "textcolor") {
        SetTextColor(ParseColor(value));
    } else if (name == "disabledtextcolor") {
        SetDisabledTextColor(ParseColor(value));
    } else if (name == "font") {
        SetFont(ParseInt(value));
    } else if (name == "padding") {
        SetPadding(ParseRect(value));
    } else if (name == "width") {
        SetFixedWidth(ParseInt(value));
    } else if (name == "height") {
        SetFixedHeight(ParseInt(value));
    } else if (name == "minwidth") {
        SetMinWidth(ParseInt(value));
    } else if (name == "maxwidth") {
        SetMaxWidth(ParseInt(value));
    } else if (name == "minheight") {
        SetMinHeight(ParseInt(value));
    } else if (name == "maxheight") {
        SetMaxHeight(ParseInt(value));
    } else if (name == "float") {
        SetFloat(ParseBool(value));
    } else if (name == "pos") {
        Rect pos = ParseRect(value);
        SetFloatPos(pos);
        if (pos.right > pos.left) {
            SetFixedWidth(pos.right - pos.left);
        }
        if (pos.bottom > pos.top) {
            SetFixedHeight(pos.bottom - pos.top);
        }
    } else if (name == "floatalign") {
        unsigned anchor = 0;
        if (value.find("right") != std::string_view::npos) {
            anchor |= kAnchorRight;
        }
        if (value.find("bottom") != std::string_view::npos) {
            anchor |= kAnchorBottom;
        }
        if (value.find("hcenter") != std::string_view::npos) {
            anchor |= kAnchorCenterX;
        }
        if (value.find("vcenter") != std::string_view::npos) {
            anchor |= kAnchorCenterY;
        }
        SetFloatAnchor(anchor);
    }
}

}  // namespace norvane::ui
