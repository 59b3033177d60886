#include "pages/circle_progress.h"

#include "ui/attributes.h"

namespace norvane::pages {

int CCircleProgressUI::SweepDegrees() const {
    int range = GetMaxValue() - GetMinValue();
    if (range == 0) {
        return -1;
    }
    return static_cast<int>(static_cast<double>(GetValue()) / range * 360.0);
}

void CCircleProgressUI::PaintBkColor(ui::IRenderer& r) {
    if (SweepDegrees() < 0) {
        return;
    }
    r.FillEllipse(rect_, GetBkColor());
}

void CCircleProgressUI::PaintStatusImage(ui::IRenderer& r) {
    int sweep = SweepDegrees();
    if (sweep < 0) {
        return;
    }
    r.FillPie(rect_, kStartAngle, sweep, GetForeColor());
    r.FillEllipse(rect_.Deflate({kRingInset, kRingInset, kRingInset, kRingInset}), inner_);
}

void CCircleProgressUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "innercolor") {
        inner_ = ui::ParseColor(value);
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::pages
