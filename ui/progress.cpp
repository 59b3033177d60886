#include "ui/progress.h"

#include "ui/attributes.h"

namespace norvane::ui {

void CProgressUI::SetMinValue(int value) {
    min_ = value;
    value_ = std::clamp(value_, min_, std::max(min_, max_));
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    max_ = value;
    value_ = std::clamp(value_, min_, std::max(min_, max_));
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    value = std::clamp(value, min_, std::max(min_, max_));
    if (value != value_) {
        value_ = value;
        Invalidate();
    }
}

void CProgressUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate();
}

void CProgressUI::SetForeColor(Color color) {
    foreColor_ = color;
    Invalidate();
}

void CProgressUI::SetForeImage(std::string image) {
    foreImage_ = std::move(image);
    Invalidate();
}

double CProgressUI::Fraction() const {
    if (max_ <= min_) {
        return 0.0;
    }
    return static_cast<double>(value_ - min_) / static_cast<double>(max_ - min_);
}

Rect CProgressUI::FilledRect(const Rect& rc) const {
    Rect fill = rc;
    if (horizontal_) {
        fill.right = rc.left + static_cast<int>(rc.Width() * Fraction());
    } else {
        fill.top = rc.bottom - static_cast<int>(rc.Height() * Fraction());
    }
    return fill;
}

void CProgressUI::PaintStatusImage(IRenderer& r) {
    Rect fill = FilledRect(rect_);
    if (fill.IsEmpty()) {
        return;
    }
    if (!foreImage_.empty()) {
        r.PushClip(fill);
        DrawImageString(r, foreImage_);
        r.PopClip();
    } else if ((foreColor_ >> 24U) != 0) {
        r.FillRoundRect(fill, Scale(GetBorderRound()), foreColor_);
    }
}

void CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "min") {
        SetMinValue(ParseInt(value));
    } else if (name == "max") {
        SetMaxValue(ParseInt(value));
    } else if (name == "value") {
        SetValue(ParseInt(value));
    } else if (name == "hor") {
        SetHorizontal(ParseBool(value));
    } else if (name == "forecolor") {
        SetForeColor(ParseColor(value));
    } else if (name == "foreimage") {
        foreImage_ = std::string(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
