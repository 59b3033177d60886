#include "ui/button.h"

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) {
        return false;
    }
    Notify(notify::kClick);
    return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.type != EventType::SetFocus && event.type != EventType::KillFocus) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DblClick:
            if (rect_.Contains(event.pt) && IsEnabled()) {
                pushed_ = true;
                captured_ = true;
                Invalidate();
            }
            return;
        case EventType::MouseMove:
            if (captured_) {
                bool inside = rect_.Contains(event.pt);
                if (inside != pushed_) {
                    pushed_ = inside;
                    Invalidate();
                }
            }
            return;
        case EventType::ButtonUp:
            if (captured_) {
                bool activate = rect_.Contains(event.pt) && IsEnabled();
                pushed_ = false;
                captured_ = false;
                Invalidate();
                if (activate) {
                    Activate();
                }
            }
            return;
        case EventType::MouseEnter:
            if (IsEnabled()) {
                hot_ = true;
                if (notifyHover_) {
                    Notify(notify::kMouseEnter);
                }
                Invalidate();
            }
            return;
        case EventType::MouseLeave:
            hot_ = false;
            if (notifyHover_ && IsEnabled()) {
                Notify(notify::kMouseLeave);
            }
            Invalidate();
            return;
        case EventType::CaptureLost:
            if (captured_ || pushed_) {
                pushed_ = false;
                captured_ = false;
                Invalidate();
            }
            return;
        case EventType::KeyDown:
            if (event.key == Key::Space || event.key == Key::Return) {
                Activate();
                return;
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

Color CButtonUI::StateTextColor() const {
    if (IsEnabled()) {
        if (pushed_ && pushedTextColor_ != 0) {
            return pushedTextColor_;
        }
        if (hot_ && hotTextColor_ != 0) {
            return hotTextColor_;
        }
    }
    return CLabelUI::StateTextColor();
}

void CButtonUI::PaintBkColor(IRenderer& r) {
    Color color = GetBkColor();
    if (IsEnabled()) {
        if (pushed_ && pushedBkColor_ != 0) {
            color = pushedBkColor_;
        } else if (hot_ && hotBkColor_ != 0) {
            color = hotBkColor_;
        }
    }
    if ((color >> 24U) == 0) {
        return;
    }
    if (GetBorderRound() > 0) {
        r.FillRoundRect(rect_, Scale(GetBorderRound()), color);
    } else {
        r.FillRect(rect_, color);
    }
}

void CButtonUI::PaintStatusImage(IRenderer& r) {
    const std::string* image = &normalImage_;
    if (!IsEnabled() && !disabledImage_.empty()) {
        image = &disabledImage_;
    } else if (pushed_ && !pushedImage_.empty()) {
        image = &pushedImage_;
    } else if (hot_ && !hotImage_.empty()) {
        image = &hotImage_;
    } else if (IsFocused() && !focusedImage_.empty()) {
        image = &focusedImage_;
    }
    if (!image->empty()) {
        DrawImageString(r, *image);
    }
    if (!foreImage_.empty()) {
        DrawImageString(r, foreImage_);
    }
}

void CButtonUI::SetForeImage(std::string image) {
    foreImage_ = std::move(image);
    Invalidate();
}

void CButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "normalimage") {
        normalImage_ = std::string(value);
    } else if (name == "hotimage") {
        hotImage_ = std::string(value);
    } else if (name == "pushedimage") {
        pushedImage_ = std::string(value);
    } else if (name == "focusedimage") {
        focusedImage_ = std::string(value);
    } else if (name == "disabledimage") {
        disabledImage_ = std::string(value);
    } else if (name == "foreimage") {
        foreImage_ = std::string(value);
    } else if (name == "hotbkcolor") {
        hotBkColor_ = ParseColor(value);
    } else if (name == "pushedbkcolor") {
        pushedBkColor_ = ParseColor(value);
    } else if (name == "hottextcolor") {
        hotTextColor_ = ParseColor(value);
    } else if (name == "pushedtextcolor") {
        pushedTextColor_ = ParseColor(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
    Invalidate();
}

}  // namespace norvane::ui
