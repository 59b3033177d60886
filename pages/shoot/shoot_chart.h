#pragma once

#include "config/shoot_data.h"
#include "ui/control.h"

#include <string_view>
#include <vector>

namespace norvane::pages {

// The path a recoil pattern moves the pointer: one dot per bullet where its moves leave the
// pointer, joined in firing order from the start point; the selected bullet stands out.
class CShootChartUI : public ui::CControlUI {
public:
    static constexpr std::string_view kClassName = "ShootChart";

    std::string_view GetClass() const override { return kClassName; }
    void SetPattern(std::vector<config::Bullet> bullets);
    void SetSelected(int bullet);
    const std::vector<config::Bullet>& Pattern() const { return bullets_; }
    int Selected() const { return selected_; }
    // The pointer offset after each bullet (right and down positive), from the start.
    std::vector<ui::Point> Path() const;

    void DoPaint(ui::IRenderer& r, const ui::Rect& dirty) override;

private:
    std::vector<config::Bullet> bullets_;
    int selected_ = -1;
};

}  // namespace norvane::pages
