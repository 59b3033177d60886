#include "ui/color_palette.h"

#include <cmath>

#include "ui/attributes.h"

namespace norvane::ui {

Color CColorPaletteUI::HsvToArgb(int hue, int sat, int val) {
    hue = ((hue % 360) + 360) % 360;
    double s = std::clamp(sat, 0, 255) / 255.0;
    double v = std::clamp(val, 0, 255) / 255.0;
    double c = v * s;
    double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
    double m = v - c;
    double r = 0;
    double g = 0;
    double b = 0;
    switch (hue / 60) {
        case 0:
            r = c;
            g = x;
            break;
        case 1:
            r = x;
            g = c;
            break;
        case 2:
            g = c;
            b = x;
            break;
        case 3:
            g = x;
            b = c;
            break;
        case 4:
            r = x;
            b = c;
            break;
        default:
            r = c;
            b = x;
            break;
    }
    auto byte = [m](double channel) { return static_cast<Color>(std::lround((channel + m) * 255.0)); };
    return 0xFF000000U | (byte(r) << 16U) | (byte(g) << 8U) | byte(b);
}

void CColorPaletteUI::ArgbToHsv(Color color, int& hue, int& sat, int& val) {
    int r = static_cast<int>((color >> 16U) & 0xFFU);
    int g = static_cast<int>((color >> 8U) & 0xFFU);
    int b = static_cast<int>(color & 0xFFU);
    int mx = std::max({r, g, b});
    int mn = std::min({r, g, b});
    int d = mx - mn;
    val = mx;
    sat = mx == 0 ? 0 : d * 255 / mx;
    if (d == 0) {
        hue = 0;
        return;
    }
    double h = 0;
    if (mx == r) {
        h = 60.0 * std::fmod(static_cast<double>(g - b) / d, 6.0);
    } else if (mx == g) {
        h = 60.0 * (static_cast<double>(b - r) / d + 2.0);
    } else {
        h = 60.0 * (static_cast<double>(r - g) / d + 4.0);
    }
    hue = (static_cast<int>(std::lround(h)) + 360) % 360;
}

void CColorPaletteUI::SetSelectColor(Color color) {
    selected_ = color | 0xFF000000U;
    ArgbToHsv(selected_, hue_, sat_, val_);
    Invalidate();
}

Rect CColorPaletteUI::FieldRect() const {
    int bar = Scale(barHeight_);
    int gap = Scale(8);
    return {rect_.left, rect_.top, rect_.right, std::max(rect_.top, rect_.bottom - bar - gap)};
}

Rect CColorPaletteUI::BarRect() const {
    return {rect_.left, rect_.bottom - Scale(barHeight_), rect_.right, rect_.bottom};
}

void CColorPaletteUI::PickAt(Point pt, bool inBar) {
    if (inBar) {
        Rect bar = BarRect();
        int w = std::max(1, bar.Width() - 1);
        val_ = std::clamp((pt.x - bar.left) * 255 / w, 0, 255);
    } else {
        Rect field = FieldRect();
        int w = std::max(1, field.Width() - 1);
        int h = std::max(1, field.Height() - 1);
        hue_ = std::clamp((pt.x - field.left) * 359 / w, 0, 359);
        sat_ = 255 - std::clamp((pt.y - field.top) * 255 / h, 0, 255);
    }
    Color next = HsvToArgb(hue_, sat_, val_);
    Invalidate();
    if (next != selected_) {
        selected_ = next;
        Notify(notify::kColorChanged, static_cast<std::intptr_t>(selected_));
    }
}

void CColorPaletteUI::DoEvent(TEventUI& event) {
    switch (event.type) {
        case EventType::ButtonDown:
            if (IsEnabled()) {
                dragging_ = true;
                dragInBar_ = BarRect().Contains(event.pt);
                if (dragInBar_ || FieldRect().Contains(event.pt)) {
                    PickAt(event.pt, dragInBar_);
                } else {
                    dragging_ = false;
                }
            }
            return;
        case EventType::MouseMove:
            if (dragging_) {
                PickAt(event.pt, dragInBar_);
            }
            return;
        case EventType::ButtonUp:
        case EventType::CaptureLost:
            dragging_ = false;
            return;
        default:
            CControlUI::DoEvent(event);
    }
}

void CColorPaletteUI::PaintStatusImage(IRenderer& r) {
    Rect field = FieldRect();
    // Columns of constant hue fading from full saturation (top) to white (bottom), at the
    // current brightness.
    int step = std::max(1, Scale(2));
    int w = std::max(1, field.Width());
    for (int x = field.left; x < field.right; x += step) {
        int hue = (x - field.left) * 359 / w;
        r.FillGradient({x, field.top, std::min(field.right, x + step), field.bottom},
                       HsvToArgb(hue, 255, val_), HsvToArgb(hue, 0, val_), true);
    }
    Rect bar = BarRect();
    r.FillGradient(bar, 0xFF000000U, HsvToArgb(hue_, sat_, 255), false);
    // Markers: a ring at the picked hue/saturation and a notch on the bar.
    int mx = field.left + hue_ * std::max(0, field.Width() - 1) / 359;
    int my = field.top + (255 - sat_) * std::max(0, field.Height() - 1) / 255;
    int m = Scale(6);
    r.DrawRect({mx - m, my - m, mx + m, my + m}, m, std::max(1, Scale(2)), 0xFFFFFFFFU);
    int bx = bar.left + val_ * std::max(0, bar.Width() - 1) / 255;
    r.FillRect({bx - Scale(2), bar.top - Scale(2), bx + Scale(2), bar.bottom + Scale(2)}, 0xFFFFFFFFU);
}

void CColorPaletteUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "barheight") {
        barHeight_ = std::max(4, ParseInt(value));
    } else if (name == "selectedcolor") {
        SetSelectColor(ParseColor(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::ui
