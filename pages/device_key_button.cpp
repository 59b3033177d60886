#include "pages/device_key_button.h"

#include "ui/paint_manager.h"

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
