#pragma once

#include "ui/progress.h"

namespace norvane::pages {

// A ring-shaped progress display: a disc in the background colour, a pie in the foreground
// colour from straight down clockwise over value / (max - min) of the circle, and an inner
// disc (opaque white unless "innercolor" says otherwise) inset 10 px that leaves a ring.
class CCircleProgressUI : public ui::CProgressUI {
public:
    std::string_view GetClass() const override { return "CircleProgress"; }
    // Whole degrees of the foreground pie; -1 when the range is empty (nothing is drawn).
    int SweepDegrees() const;
    void PaintBkColor(ui::IRenderer& r) override;
    void PaintStatusImage(ui::IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    static constexpr int kStartAngle = 90;
    static constexpr int kRingInset = 10;

private:
    ui::Color inner_ = 0xFFFFFFFFU;
};

}  // namespace norvane::pages
