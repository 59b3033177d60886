#include "pages/hand_img_button.h"

namespace norvane::pages {

ui::Rect CHandImgButtonUI::DeleteCorner() const {
    int bottom = rect_.bottom - Scale(9);
    int left = rect_.right - Scale(30);
    return {left, bottom - Scale(20), left + Scale(20), bottom};
}

void CHandImgButtonUI::SetDeleteDisabled(bool disabled) {
    deleteDisabled_ = disabled ? 1 : 0;
    Invalidate();
}

void CHandImgButtonUI::DoEvent(ui::TEventUI& event) {
    using ui::EventType;
    switch (event.type) {
        case EventType::MouseMove:
            deleteImage_ = DeleteCorner().Contains(event.pt) ? deleteHotImage_ : deleteNormalImage_;
            if (captured_) {
                pushed_ = rect_.Contains(event.pt);
            }
            Invalidate();
            return;
        case EventType::ButtonDown:
        case EventType::DblClick:
            if (rect_.Contains(event.pt) && IsEnabled()) {
                pushed_ = true;
                captured_ = true;
                Invalidate();
            }
            return;
        case EventType::ButtonUp:
            if (captured_) {
                bool inCorner = DeleteCorner().Contains(event.pt) && deleteDisabled_ == 0;
                bool inside = rect_.Contains(event.pt);
                pushed_ = false;
                captured_ = false;
                Invalidate();
                if (inCorner) {
                    Notify(kHandDelete);
                } else if (inside) {
                    Activate();
                }
            }
            return;
        default:
            CButtonUI::DoEvent(event);
    }
}

void CHandImgButtonUI::PaintStatusImage(ui::IRenderer& r) {
    CButtonUI::PaintStatusImage(r);
    if (!handImage_.empty()) {
        r.DrawImage(rect_, handImage_);
    }
    if (hot_ && deleteDisabled_ == 0 && !deleteImage_.empty()) {
        r.DrawImage(DeleteCorner(), deleteImage_);
    }
}

void CHandImgButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "handimage") {
        handImage_ = std::string(value);
    } else if (name == "deletenormalimage") {
        deleteNormalImage_ = std::string(value);
        deleteImage_ = deleteNormalImage_;
    } else if (name == "deletehotimage") {
        deleteHotImage_ = std::string(value);
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::pages
