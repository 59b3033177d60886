#pragma once

#include "ui/control.h"

namespace norvane::ui {

// A colour picker: a hue (across) by saturation (down) field over a brightness bar. Picking
// with the mouse (press and drag) sets the selected colour and sends "colorchanged"
// (wparam the ARGB colour). SetSelectColor places the markers without a notification.
class CColorPaletteUI : public CControlUI {
public:
    std::string_view GetClass() const override { return "ColorPalette"; }
    Color GetSelectColor() const { return selected_; }
    void SetSelectColor(Color color);
    int GetBarHeight() const { return barHeight_; }
    // Hue 0..359, saturation and value 0..255 of the current selection.
    int Hue() const { return hue_; }
    int Saturation() const { return sat_; }
    int Brightness() const { return val_; }
    Rect FieldRect() const;
    Rect BarRect() const;

    void DoEvent(TEventUI& event) override;
    void PaintStatusImage(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    static Color HsvToArgb(int hue, int sat, int val);
    static void ArgbToHsv(Color color, int& hue, int& sat, int& val);

private:
    void PickAt(Point pt, bool inBar);
    Color selected_ = 0xFFFF0000;
    int hue_ = 0;
    int sat_ = 255;
    int val_ = 255;
    int barHeight_ = 12;
    bool dragging_ = false;
    bool dragInBar_ = false;
};

}  // namespace norvane::ui
