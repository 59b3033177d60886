#include "pages/audio_record.h"

#include "ui/attributes.h"

namespace norvane::pages {

CAudioRecordUI::CAudioRecordUI() {
    for (int i = 0; i < 256; ++i) {
        samples_[static_cast<std::size_t>(i)] = i;
    }
}

void CAudioRecordUI::SetSamples(std::span<const std::int32_t> values) {
    std::size_t n = std::min(values.size(), samples_.size());
    std::copy_n(values.begin(), n, samples_.begin());
    Invalidate();
}

int CAudioRecordUI::LineCount() const {
    int width = rect_.Width();
    return width <= 0 ? 0 : std::min(kSampleCount, (width + 1) / 2);
}

void CAudioRecordUI::PaintBkColor(ui::IRenderer& r) {
    if ((GetBkColor() >> 24U) != 0) {
        r.FillRect(rect_, GetBkColor());
    }
    const long long h = rect_.Height();
    if (h <= 0) {
        return;
    }
    for (int i = 0; i < LineCount(); ++i) {
        long long v = samples_[static_cast<std::size_t>(i)];
        // Values outside 0..8192 stay inside the control.
        long long top = rect_.top + h - v * h / kFullScale;
        top = std::clamp<long long>(top, rect_.top, rect_.bottom - 1);
        int x = rect_.left + 2 * i;
        r.DrawLine({x, static_cast<int>(top)}, {x, rect_.bottom - 1}, 1, lineColor_);
    }
}

void CAudioRecordUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "linecolor") {
        lineColor_ = ui::ParseColor(value);
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

}  // namespace norvane::pages
