#include "ui/label.h"

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::ui {

void CLabelUI::SetTextStyle(unsigned style) {
    textStyle_ = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(const Rect& padding) {
    textPadding_ = padding;
    Invalidate();
}

Color CLabelUI::StateTextColor() const {
    if (!IsEnabled()) {
        Color c = GetDisabledTextColor();
        return c != 0 ? c : (manager_ != nullptr ? manager_->GetDefaultDisabledColor() : 0xFF808080);
    }
    Color c = GetTextColor();
    return c != 0 ? c : (manager_ != nullptr ? manager_->GetDefaultTextColor() : 0xFF000000);
}

void CLabelUI::PaintText(IRenderer& r) {
    PaintTextIn(r, GetText(), StateTextColor());
}

void CLabelUI::PaintTextIn(IRenderer& r, const std::string& text, Color color) {
    if (text.empty() || manager_ == nullptr) {
        return;
    }
    Rect pad{Scale(textPadding_.left), Scale(textPadding_.top), Scale(textPadding_.right),
             Scale(textPadding_.bottom)};
    r.DrawText(rect_.Deflate(pad), text, manager_->ScaledFont(GetFont()), color, textStyle_);
}

void CLabelUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "align") {
        unsigned style = textStyle_ & ~(kAlignCenter | kAlignRight);
        if (value == "center") {
            style |= kAlignCenter;
        } else if (value == "right") {
            style |= kAlignRight;
        }
        SetTextStyle(style);
    } else if (name == "valign") {
        unsigned style = textStyle_ & ~(kAlignVCenter | kAlignBottom);
        if (value == "vcenter" || value == "center") {
            style |= kAlignVCenter;
        } else if (value == "bottom") {
            style |= kAlignBottom;
        }
        SetTextStyle(style);
    } else if (name == "textpadding") {
        SetTextPadding(ParseRect(value));
    } else if (name == "endellipsis") {
        SetTextStyle(ParseBool(value) ? (textStyle_ | kTextEndEllipsis) : (textStyle_ & ~kTextEndEllipsis));
    } else if (name == "multiline" || name == "wordbreak") {
        SetTextStyle(ParseBool(value) ? ((textStyle_ | kTextWordBreak) & ~kTextSingleLine)
                                      : ((textStyle_ & ~kTextWordBreak) | kTextSingleLine));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
