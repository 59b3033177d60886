#pragma once

#include "ui/progress.h"

namespace norvane::ui {

// A progress bar with a draggable thumb. Dragging sends "movevaluechanged" for each new
// value; the release (or a click on the track, or a wheel step) sends "valuechanged".
class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    std::string_view GetClass() const override { return "Slider"; }
    int GetChangeStep() const { return step_; }
    void SetChangeStep(int step) { step_ = std::max(1, step); }
    Size GetThumbSize() const { return thumbSize_; }
    Rect GetThumbRect() const;
    // Thumb images for the normal, hot (mouse over) and pushed (dragging) states; empty
    // hot or pushed images fall back to the normal one.
    void SetThumbImage(std::string image);
    void SetThumbHotImage(std::string image);
    void SetThumbPushedImage(std::string image);
    // Value at a client point along the track.
    int ValueAt(Point pt) const;
    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(IRenderer& r) override;
    void PaintBkColor(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

private:
    Rect TrackRect() const;
    int step_ = 1;
    Size thumbSize_{12, 12};
    int trackSize_ = 4;
    bool dragging_ = false;
    bool hot_ = false;
    Color thumbColor_ = 0;
    std::string thumbImage_;
    std::string thumbHotImage_;
    std::string thumbPushedImage_;
};

}  // namespace norvane::ui
