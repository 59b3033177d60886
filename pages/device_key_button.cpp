#include "pages/device_key_button.h"

#include "ui/paint_manager.h"
#include "ui/resource_manager.h"

namespace norvane::pages {

using ui::Color;
using ui::Rect;

Color CDeviceKeyButtonUI::DeviceColorToArgb(std::uint32_t color) {
    std::uint32_t red = color & 0xFFU;
    std::uint32_t blue = (color >> 8U) & 0xFFU;
    std::uint32_t green = (color >> 16U) & 0xFFU;
    return 0xFF000000U | (red << 16U) | (green << 8U) | blue;
}

void CDeviceKeyButtonUI::SetLightOverlay(std::uint32_t color, std::uint32_t level, bool shown) {
    if (color == lightColor_ && level == lightLevel_ && (shown ? 1 : 0) == lightShown_) {
        return;
    }
    lightColor_ = color;
    lightLevel_ = level;
    lightShown_ = shown ? 1 : 0;
    Invalidate();
}

void CDeviceKeyButtonUI::SetKeySetHidden(std::uint32_t flag) {
    if (flag != keySetHidden_) {
        keySetHidden_ = flag;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::SetSelect(std::uint32_t flag) {
    if (flag != selected_) {
        selected_ = flag;
        Invalidate();
    }
}

void CDeviceKeyButtonUI::DoEvent(ui::TEventUI& event) {
    if (event.type == ui::EventType::DblClick && rect_.Contains(event.pt) && IsEnabled()) {
        pushed_ = true;
        captured_ = true;
        Notify(ui::notify::kDbClick);
        Invalidate();
        return;
    }
    CButtonUI::DoEvent(event);
}

void CDeviceKeyButtonUI::PaintStatusImage(ui::IRenderer& r) {
    CButtonUI::PaintStatusImage(r);
    if (lightShown_ != 0) {
        int level = static_cast<int>(std::min<std::uint32_t>(lightLevel_, 255));
        ui::ImageTint tint{DeviceColorToArgb(lightColor_), level, true};
        if (lightImage_.empty() || !r.DrawImage(rect_, lightImage_, &tint)) {
            // No LED picture: the key itself fills with the colour at its level.
            Color fill = (DeviceColorToArgb(lightColor_) & 0x00FFFFFFU) | (static_cast<Color>(level) << 24U);
            int inset = Scale(2);
            r.FillRect(rect_.Deflate({inset, inset, inset, inset}), fill);
        }
    }
    if (keySetHidden_ == 0) {
        if (keySetImage_.empty() || !r.DrawImage(rect_, keySetImage_)) {
            int d = std::max(4, Scale(6));
            int m = Scale(4);
            r.FillEllipse({rect_.right - m - d, rect_.top + m, rect_.right - m, rect_.top + m + d},
                          0xFF00B8A9U);
        }
    }
}

void CDeviceKeyButtonUI::PaintBorder(ui::IRenderer& r) {
    if (selected_ != 0) {
        r.DrawRect(rect_, Scale(GetBorderRound()), std::max(1, Scale(2)), 0xFF00B8A9U);
        return;
    }
    CButtonUI::PaintBorder(r);
}

ui::Rect CDeviceKeyButtonUI::CaptionBox() const {
    const int x = Scale(2);
    const int y = Scale(1);
    return rect_.Deflate({x, y, x, y});
}

KeyCaptionLayout CDeviceKeyButtonUI::Fit(ui::IRenderer& r, const std::string& text,
                                         const ui::FontSpec& font) const {
    const ui::Rect box = CaptionBox();
    ui::FontSpec sized = font;
    return FitKeyCaption(text, {box.Width(), box.Height()}, font.size, Scale(kMinCaptionSize),
                         [&r, &sized](std::string_view line, int size) {
                             sized.size = size;
                             return r.MeasureText(line, sized);
                         });
}

KeyCaptionLayout CDeviceKeyButtonUI::CaptionLayout(ui::IRenderer& r) {
    if (manager_ == nullptr) {
        return {};
    }
    const std::string text = GetText();
    const ui::FontSpec font = manager_->ScaledFont(GetFont());
    const ui::Rect box = CaptionBox();
    const ui::Size boxSize{box.Width(), box.Height()};
    if (text == captionText_ && boxSize == captionBox_ && font == captionFont_) {
        return caption_;
    }
    caption_ = Fit(r, text, font);
    if (caption_.elided && !GetTextId().empty()) {
        const std::string shortId = GetTextId() + "_short";
        if (manager_->Resources().HasText(shortId)) {
            caption_ = Fit(r, manager_->Resources().Text(shortId), font);
        }
    }
    captionText_ = text;
    captionBox_ = boxSize;
    captionFont_ = font;
    return caption_;
}

void CDeviceKeyButtonUI::PaintText(ui::IRenderer& r) {
    const KeyCaptionLayout caption = CaptionLayout(r);
    if (caption.lines.empty()) {
        return;
    }
    ui::FontSpec font = manager_->ScaledFont(GetFont());
    font.size = caption.fontSize;
    const ui::Rect box = CaptionBox();
    const int lines = static_cast<int>(caption.lines.size());
    int top = box.top + (box.Height() - lines * caption.lineHeight) / 2;
    for (const std::string& line : caption.lines) {
        r.DrawText({box.left, top, box.right, top + caption.lineHeight}, line, font, StateTextColor(),
                   ui::kAlignCenter | ui::kAlignVCenter | ui::kTextSingleLine);
        top += caption.lineHeight;
    }
}

void CDeviceKeyButtonUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "lightimage") {
        lightImage_ = std::string(value);
    } else if (name == "keysetimage") {
        keySetImage_ = std::string(value);
    } else if (name == "gmnametextcolor") {
        // Accepted for layout compatibility; it has no effect.
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::pages
