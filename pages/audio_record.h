#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "ui/label.h"

namespace norvane::pages {

// A bar graph of 500 sample values drawn as the background: one 1-pixel line every second
// pixel, rising from the bottom; a value of 8192 fills the height.
class CAudioRecordUI : public ui::CLabelUI {
public:
    static constexpr int kSampleCount = 500;
    static constexpr int kFullScale = 8192;

    CAudioRecordUI();
    std::string_view GetClass() const override { return "AudioRecord"; }
    // Copies up to 500 values from the front; the rest keep theirs.
    void SetSamples(std::span<const std::int32_t> values);
    std::int32_t Sample(int index) const { return samples_.at(static_cast<std::size_t>(index)); }
    // Lines that fit the current width.
    int LineCount() const;
    void PaintBkColor(ui::IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    std::array<std::int32_t, kSampleCount> samples_{};
    ui::Color lineColor_ = 0xFF000000U;
};

}  // namespace norvane::pages
