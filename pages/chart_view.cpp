#include "pages/chart_view.h"

#include <algorithm>
#include <cmath>

#include "ui/attributes.h"
#include "ui/paint_manager.h"

namespace norvane::pages {

using ui::Rect;

ui::Color CChartViewUI::PaletteColor(std::size_t index) {
    std::uint32_t bgr = kPalette[index % kPalette.size()];
    std::uint32_t red = bgr & 0xFFU;
    std::uint32_t green = (bgr >> 8U) & 0xFFU;
    std::uint32_t blue = (bgr >> 16U) & 0xFFU;
    return 0xFF000000U | (red << 16U) | (green << 8U) | blue;
}

void CChartViewUI::AddItem(std::string name, double value) {
    items_.push_back({std::move(name), value});
    Invalidate();
}

void CChartViewUI::RemoveAll() {
    items_.clear();
    Invalidate();
}

void CChartViewUI::SetViewType(int view) {
    view_ = view == kBar ? kBar : kPie;
    Invalidate();
}

void CChartViewUI::DoPaint(ui::IRenderer& r, const Rect& dirty) {
    CControlUI::DoPaint(r, dirty);
    if (!rect_.Intersects(dirty) || manager_ == nullptr) {
        return;
    }
    r.PushClip(rect_);
    if (view_ == kPie) {
        PaintPie(r);
    } else {
        PaintBar(r);
    }
    r.PopClip();
}

void CChartViewUI::PaintPie(ui::IRenderer& r) {
    double sum = 0;
    for (const auto& item : items_) {
        sum += item.value;
    }
    if (items_.empty() || sum <= 0) {
        return;
    }
    const int width = rect_.Width();
    const int height = rect_.Height();
    const int legend = showText_ ? 100 : 0;
    const int d = std::min(width - legend - 10, height - 10);
    if (d <= 0) {
        return;
    }
    const int x = rect_.left + (width - legend - 10 - d) / 2 + 5;
    const int y = rect_.top + (height - 10 - d) / 2 + 5;
    const Rect pie{x, y, x + d, y + d};
    r.FillEllipse(pie.Deflate({-4, -4, -4, -4}), 0x1E1E1E1EU);
    r.FillEllipse(pie.Deflate({-1, -1, -1, -1}), 0x64646464U);
    double start = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        double sweep = items_[i].value / sum * 360.0;
        int a = static_cast<int>(std::lround(start));
        int b = static_cast<int>(std::lround(start + sweep));
        if (b > a) {
            r.FillPie(pie, a, b - a, PaletteColor(i));
        }
        start += sweep;
    }
    if (!showText_) {
        return;
    }
    const int rowsHeight = static_cast<int>(items_.size()) * 22;
    int rowTop = std::max(rect_.top + 5, rect_.top + (height - rowsHeight) / 2);
    const int left = pie.right + 10;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        r.FillRect({left, rowTop + 2, left + 18, rowTop + 20}, PaletteColor(i));
        r.DrawText({left + 23, rowTop, rect_.right, rowTop + 22}, items_[i].name, manager_->ScaledFont(font_),
                   0xFF000000U | (GetTextColor() & 0x00FFFFFFU),
                   ui::kAlignLeft | ui::kAlignVCenter | ui::kTextSingleLine);
        rowTop += 22;
    }
}

void CChartViewUI::PaintBar(ui::IRenderer& r) {
    double largest = 0;
    for (const auto& item : items_) {
        largest = std::max(largest, item.value);
    }
    if (items_.empty() || largest <= 0 || pillarWidth_ <= 0) {
        return;
    }
    const int names = showText_ ? 25 : 0;
    const int chartBottom = rect_.bottom - names;
    if (!shadowImage_.empty() && shadowHeight_ > 0) {
        if (!r.DrawImage({rect_.left, chartBottom - shadowHeight_, rect_.right, chartBottom}, shadowImage_)) {
            shadowImage_.clear();
        }
    }
    const int gap = 2 * (rect_.Width() / pillarWidth_);
    int x = rect_.left + gap;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        int barHeight = static_cast<int>((rect_.Height() - names) * items_[i].value / largest);
        Rect bar{x, chartBottom - barHeight, x + pillarWidth_, chartBottom};
        if (pillarImage_.empty() || !r.DrawImage(bar, pillarImage_)) {
            r.FillRect(bar, PaletteColor(i));
        }
        if (showText_) {
            r.DrawText({x - gap, chartBottom, x + pillarWidth_ + gap, rect_.bottom}, items_[i].name,
                       manager_->ScaledFont(font_), 0xFF000000U | (GetTextColor() & 0x00FFFFFFU),
                       ui::kAlignCenter | ui::kAlignVCenter | ui::kTextSingleLine);
        }
        x += gap + pillarWidth_;
    }
}

void CChartViewUI::SetAttribute(std::string_view name, std::string_view value) {
    CControlUI::SetAttribute(name, value);
    if (name == "view") {
        if (value == "pie") {
            view_ = kPie;
        } else if (value == "histpgram") {
            view_ = kBar;
        }
    } else if (name == "shadowimage") {
        shadowImage_ = std::string(value);
    } else if (name == "shadowimageheight") {
        shadowHeight_ = ui::ParseInt(value);
    } else if (name == "pillarimage") {
        pillarImage_ = std::string(value);
    } else if (name == "pillarimagewidth") {
        pillarWidth_ = ui::ParseInt(value);
    } else if (name == "showhtml") {
        showHtml_ = value == "true";
    } else if (name == "showtext") {
        showText_ = value == "true";
    } else if (name == "font") {
        font_ = ui::ParseInt(value);
    }
}

}  // namespace norvane::pages
