#include "pages/shoot/shoot_chart.h"

#include <algorithm>
#include <cmath>

namespace norvane::pages {
namespace {

constexpr ui::Color kAxis = 0xFF2E333C;
constexpr ui::Color kLine = 0xFF00B8A9;
constexpr ui::Color kDot = 0xFF8A909A;
constexpr ui::Color kSelected = 0xFFE6E8EB;
constexpr int kMargin = 12;
constexpr int kDotRadius = 3;
constexpr int kSelectedRadius = 6;

ui::Rect Around(ui::Point p, int radius) {
    return {p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1};
}

}  // namespace

void CShootChartUI::SetPattern(std::vector<config::Bullet> bullets) {
    bullets_ = std::move(bullets);
    Invalidate();
}

void CShootChartUI::SetSelected(int bullet) {
    selected_ = bullet;
    Invalidate();
}

std::vector<ui::Point> CShootChartUI::Path() const {
    std::vector<ui::Point> path;
    path.reserve(bullets_.size());
    ui::Point at;
    for (const config::Bullet& b : bullets_) {
        at.x += b.left ? -b.x : b.x;
        at.y += b.up ? -b.y : b.y;
        path.push_back(at);
    }
    return path;
}

void CShootChartUI::DoPaint(ui::IRenderer& r, const ui::Rect& dirty) {
    CControlUI::DoPaint(r, dirty);
    if (!rect_.Intersects(dirty)) {
        return;
    }
    const std::vector<ui::Point> path = Path();
    const ui::Rect area{rect_.left + kMargin, rect_.top + kMargin, rect_.right - kMargin,
                        rect_.bottom - kMargin};
    if (path.empty() || area.Width() <= 0 || area.Height() <= 0) {
        return;
    }
    // One scale for both axes, so the path keeps its shape; a still pattern is one point.
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    for (const ui::Point& p : path) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double spanX = std::max(1, maxX - minX);
    const double spanY = std::max(1, maxY - minY);
    const double scale = std::min(area.Width() / spanX, area.Height() / spanY);
    const double offsetX = area.left + (area.Width() - (maxX - minX) * scale) / 2;
    const double offsetY = area.top + (area.Height() - (maxY - minY) * scale) / 2;
    const auto place = [&](ui::Point p) {
        return ui::Point{static_cast<int>(std::lround(offsetX + (p.x - minX) * scale)),
                         static_cast<int>(std::lround(offsetY + (p.y - minY) * scale))};
    };

    r.PushClip(rect_);
    const ui::Point start = place({});
    r.DrawLine({rect_.left, start.y}, {rect_.right, start.y}, 1, kAxis);
    r.DrawLine({start.x, rect_.top}, {start.x, rect_.bottom}, 1, kAxis);
    ui::Point previous = start;
    for (const ui::Point& p : path) {
        const ui::Point here = place(p);
        r.DrawLine(previous, here, 2, kLine);
        previous = here;
    }
    r.FillEllipse(Around(start, kDotRadius + 1), kLine);
    for (const ui::Point& p : path) {
        r.FillEllipse(Around(place(p), kDotRadius), kDot);
    }
    if (selected_ >= 0 && static_cast<std::size_t>(selected_) < path.size()) {
        const ui::Point here = place(path[static_cast<std::size_t>(selected_)]);
        r.FillEllipse(Around(here, kSelectedRadius), kLine);
        r.FillEllipse(Around(here, kSelectedRadius - 2), kSelected);
    }
    r.PopClip();
}

}  // namespace norvane::pages
