#include "ui/slider.h"

#include <cmath>

#include "ui/attributes.h"

namespace norvane::ui {

CSliderUI::CSliderUI() {
    SetKeyboardEnabled(true);
}

Rect CSliderUI::TrackRect() const {
    // The thumb's centre travels from half a thumb inside one end to the other.
    int half = Scale(horizontal_ ? thumbSize_.cx : thumbSize_.cy) / 2;
    if (horizontal_) {
        return {rect_.left + half, rect_.top, rect_.right - half, rect_.bottom};
    }
    return {rect_.left, rect_.top + half, rect_.right, rect_.bottom - half};
}

Rect CSliderUI::GetThumbRect() const {
    Rect track = TrackRect();
    int tw = Scale(thumbSize_.cx);
    int th = Scale(thumbSize_.cy);
    double f = Fraction();
    if (horizontal_) {
        int cx = track.left + static_cast<int>(std::lround(track.Width() * f));
        int cy = rect_.top + rect_.Height() / 2;
        return {cx - tw / 2, cy - th / 2, cx - tw / 2 + tw, cy - th / 2 + th};
    }
    int cy = track.bottom - static_cast<int>(std::lround(track.Height() * f));
    int cx = rect_.left + rect_.Width() / 2;
    return {cx - tw / 2, cy - th / 2, cx - tw / 2 + tw, cy - th / 2 + th};
}

int CSliderUI::ValueAt(Point pt) const {
    Rect track = TrackRect();
    double f = 0.0;
    if (horizontal_) {
        f = track.Width() > 0 ? static_cast<double>(pt.x - track.left) / track.Width() : 0.0;
    } else {
        f = track.Height() > 0 ? static_cast<double>(track.bottom - pt.y) / track.Height() : 0.0;
    }
    f = std::clamp(f, 0.0, 1.0);
    int raw = min_ + static_cast<int>(std::lround(f * (max_ - min_)));
    int steps = (raw - min_ + step_ / 2) / step_;
    return std::clamp(min_ + steps * step_, min_, std::max(min_, max_));
}

void CSliderUI::DoEvent(TEventUI& event) {
    switch (event.type) {
        case EventType::ButtonDown:
        case EventType::DblClick:
            if (IsEnabled()) {
                dragging_ = true;
                int v = ValueAt(event.pt);
                if (v != value_) {
                    SetValue(v);
                    Notify(notify::kMoveValueChanged, value_);
                }
            }
            return;
        case EventType::MouseMove:
            if (dragging_) {
                int v = ValueAt(event.pt);
                if (v != value_) {
                    SetValue(v);
                    Notify(notify::kMoveValueChanged, value_);
                }
            }
            return;
        case EventType::ButtonUp:
        case EventType::CaptureLost:
            // A drag cut short still reports where the value was left.
            if (dragging_) {
                dragging_ = false;
                Invalidate();
                if (IsEnabled()) {
                    Notify(notify::kValueChanged, value_);
                }
            }
            return;
        case EventType::ScrollWheel:
            if (IsEnabled()) {
                int v = std::clamp(value_ + (event.wheel > 0 ? step_ : -step_), min_, std::max(min_, max_));
                if (v != value_) {
                    SetValue(v);
                    Notify(notify::kValueChanged, value_);
                }
            }
            return;
        case EventType::KeyDown:
            if (IsEnabled() && (event.key == Key::Left || event.key == Key::Right || event.key == Key::Up ||
                                event.key == Key::Down)) {
                int dir = (event.key == Key::Right || event.key == Key::Up) ? 1 : -1;
                int v = std::clamp(value_ + dir * step_, min_, std::max(min_, max_));
                if (v != value_) {
                    SetValue(v);
                    Notify(notify::kValueChanged, value_);
                }
                return;
            }
            break;
        case EventType::MouseEnter:
            hot_ = true;
            Invalidate();
            return;
        case EventType::MouseLeave:
            hot_ = false;
            Invalidate();
            return;
        default:
            break;
    }
    CProgressUI::DoEvent(event);
}

void CSliderUI::PaintBkColor(IRenderer& r) {
    // The background colour is the track; the control's area stays transparent.
    Color bk = GetBkColor();
    if ((bk >> 24U) == 0) {
        return;
    }
    int t = std::max(1, Scale(trackSize_));
    Rect track = TrackRect();
    Rect bar = horizontal_ ? Rect{track.left, rect_.top + (rect_.Height() - t) / 2, track.right,
                                  rect_.top + (rect_.Height() - t) / 2 + t}
                           : Rect{rect_.left + (rect_.Width() - t) / 2, track.top,
                                  rect_.left + (rect_.Width() - t) / 2 + t, track.bottom};
    r.FillRoundRect(bar, t / 2, bk);
}

void CSliderUI::PaintStatusImage(IRenderer& r) {
    int t = std::max(1, Scale(trackSize_));
    Rect track = TrackRect();
    Rect thumb = GetThumbRect();
    Color fore = IsEnabled() ? foreColor_ : 0xFF5A606A;
    if (!foreImage_.empty()) {
        // The fore image shows on the track from its start to the thumb.
        Rect shown = horizontal_ ? Rect{rect_.left, rect_.top, thumb.Center().x, rect_.bottom}
                                 : Rect{rect_.left, thumb.Center().y, rect_.right, rect_.bottom};
        if (!shown.IsEmpty()) {
            r.PushClip(shown);
            DrawImageString(r, foreImage_);
            r.PopClip();
        }
    } else if ((fore >> 24U) != 0) {
        Rect fill = horizontal_ ? Rect{track.left, rect_.top + (rect_.Height() - t) / 2, thumb.Center().x,
                                       rect_.top + (rect_.Height() - t) / 2 + t}
                                : Rect{rect_.left + (rect_.Width() - t) / 2, thumb.Center().y,
                                       rect_.left + (rect_.Width() - t) / 2 + t, track.bottom};
        if (!fill.IsEmpty()) {
            r.FillRoundRect(fill, t / 2, fore);
        }
    }
    const std::string* thumbImage = &thumbImage_;
    if (dragging_ && !thumbPushedImage_.empty()) {
        thumbImage = &thumbPushedImage_;
    } else if ((hot_ || dragging_) && !thumbHotImage_.empty()) {
        thumbImage = &thumbHotImage_;
    }
    if (!thumbImage->empty()) {
        r.DrawImage(thumb, *thumbImage);
        return;
    }
    Color thumbColor = thumbColor_ != 0 ? thumbColor_ : 0xFFE6E8EB;
    if (!IsEnabled()) {
        thumbColor = 0xFF8A909A;
    }
    if (hot_ || dragging_) {
        Rect halo{thumb.left - Scale(3), thumb.top - Scale(3), thumb.right + Scale(3),
                  thumb.bottom + Scale(3)};
        r.FillEllipse(halo, (fore & 0x00FFFFFFU) | 0x40000000U);
    }
    r.FillEllipse(thumb, thumbColor);
}

void CSliderUI::SetThumbImage(std::string image) {
    thumbImage_ = std::move(image);
    Invalidate();
}

void CSliderUI::SetThumbHotImage(std::string image) {
    thumbHotImage_ = std::move(image);
    Invalidate();
}

void CSliderUI::SetThumbPushedImage(std::string image) {
    thumbPushedImage_ = std::move(image);
    Invalidate();
}

void CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "step") {
        SetChangeStep(ParseInt(value));
    } else if (name == "thumbsize") {
        thumbSize_ = ParseSize(value);
    } else if (name == "thumbcolor") {
        thumbColor_ = ParseColor(value);
    } else if (name == "thumbimage") {
        thumbImage_ = std::string(value);
    } else if (name == "thumbhotimage") {
        thumbHotImage_ = std::string(value);
    } else if (name == "thumbpushedimage") {
        thumbPushedImage_ = std::string(value);
    } else if (name == "tracksize") {
        trackSize_ = std::max(1, ParseInt(value));
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
