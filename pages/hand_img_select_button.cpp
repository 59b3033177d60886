#include "pages/hand_img_select_button.h"

#include <array>
#include <string>

#include "ui/paint_manager.h"

namespace norvane::pages {

namespace {
struct CursorEntry {
    std::string_view name;
    int id;
};
constexpr std::array<CursorEntry, 14> kCursors{{
    {"arrow", 32512},
    {"ibeam", 32513},
    {"wait", 32514},
    {"cross", 32515},
    {"uparrow", 32516},
    {"size", 32640},
    {"icon", 32641},
    {"sizenwse", 32642},
    {"sizenesw", 32643},
    {"sizewe", 32644},
    {"sizens", 32645},
    {"sizeall", 32646},
    {"no", 32648},
    {"hand", 32649},
}};
}  // namespace

int CHandImgSelectButtonUI::CursorId(std::string_view name) {
    for (const auto& c : kCursors) {
        if (c.name == name) {
            return c.id;
        }
    }
    return 0;
}

void CHandImgSelectButtonUI::SetHandImage(std::string name) {
    handImage_ = std::move(name);
    LoadImage();
}

void CHandImgSelectButtonUI::LoadImage() {
    if (manager_ == nullptr || handImage_.empty()) {
        return;  // again when the button joins a window
    }
    ui::Size size = manager_->GetImageSize(handImage_);
    imageWidth_ = size.cx;
    imageHeight_ = size.cy;
    ResetSource();
}

void CHandImgSelectButtonUI::ResetSource() {
    // Before the first layout the button's size is its fixed size.
    int w = rect_.Width() > 0 ? rect_.Width() : Scale(GetFixedWidth());
    int h = rect_.Height() > 0 ? rect_.Height() : Scale(GetFixedHeight());
    source_ = {0, 0, w, h};
    UpdateDrawn(w < imageWidth_ || h < imageHeight_);
}

void CHandImgSelectButtonUI::UpdateDrawn(bool withSource) {
    if (!withSource) {
        drawn_ = handImage_;
        return;
    }
    drawn_ = "file='" + handImage_ + "' source='" + std::to_string(source_.left) + "," +
             std::to_string(source_.top) + "," + std::to_string(source_.right) + "," +
             std::to_string(source_.bottom) + "'";
}

void CHandImgSelectButtonUI::DoInit() {
    LoadImage();
}

void CHandImgSelectButtonUI::SetPos(const ui::Rect& rc) {
    bool resized = rc.Width() != rect_.Width() || rc.Height() != rect_.Height();
    CButtonUI::SetPos(rc);
    if (resized && !handImage_.empty() && manager_ != nullptr) {
        ResetSource();
    }
}

void CHandImgSelectButtonUI::DoEvent(ui::TEventUI& event) {
    using ui::EventType;
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DblClick:
            if (rect_.Contains(event.pt) && IsEnabled()) {
                pushed_ = true;
                captured_ = true;
                pressed_ = 1;
                last_ = event.pt;
                dragging_ = 1;
                Invalidate();
            }
            return;
        case EventType::ButtonUp:
            if (captured_) {
                pushed_ = false;
                captured_ = false;
                pressed_ = 0;
                Invalidate();
            }
            dragging_ = 0;
            return;
        case EventType::CaptureLost:
            pressed_ = 0;
            dragging_ = 0;
            CButtonUI::DoEvent(event);
            return;
        case EventType::MouseMove: {
            if (dragging_ != 0) {
                int dx = event.pt.x - last_.x;
                int dy = event.pt.y - last_.y;
                // Dragging left shows more of the right side, never past the image's edge.
                if (dx < 0 && source_.right < imageWidth_) {
                    int shift = std::min(-dx, imageWidth_ - source_.right);
                    source_ = source_.Offset(shift, 0);
                } else if (dx > 0 && source_.left > 0) {
                    source_ = source_.Offset(-std::min(dx, source_.left), 0);
                }
                if (dy < 0 && source_.bottom < imageHeight_) {
                    int shift = std::min(-dy, imageHeight_ - source_.bottom);
                    source_ = source_.Offset(0, shift);
                } else if (dy > 0 && source_.top > 0) {
                    source_ = source_.Offset(0, -std::min(dy, source_.top));
                }
                last_ = event.pt;
                UpdateDrawn(true);
                Invalidate();
            }
            if (captured_) {
                pushed_ = rect_.Contains(event.pt);
            }
            return;
        }
        default:
            CButtonUI::DoEvent(event);
    }
}

void CHandImgSelectButtonUI::PaintStatusImage(ui::IRenderer& r) {
    CButtonUI::PaintStatusImage(r);
    if (!drawn_.empty()) {
        r.DrawImage(rect_, drawn_);
    }
}

void CHandImgSelectButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "handimage") {
        SetHandImage(std::string(value));
    } else if (name == "cursor") {
        if (int id = CursorId(value); id != 0) {
            cursor_ = id;
        }
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::pages
