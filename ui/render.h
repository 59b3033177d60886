#pragma once

#include <string_view>

#include "ui/font.h"
#include "ui/image_string.h"
#include "ui/types.h"

namespace norvane::ui {

enum TextAlign : unsigned {
    kAlignLeft = 0,
    kAlignCenter = 1,
    kAlignRight = 2,
    kAlignTop = 0,
    kAlignVCenter = 4,
    kAlignBottom = 8,
    kTextSingleLine = 16,
    kTextEndEllipsis = 32,
    kTextWordBreak = 64,
};

// Drawing surface of one window; the Qt backend paints, the headless backend records.
// Angles are in degrees, clockwise, 0 at three o'clock.
class IRenderer {
public:
    virtual ~IRenderer() = default;
    virtual void PushClip(const Rect& rc) = 0;
    virtual void PopClip() = 0;
    virtual void FillRect(const Rect& rc, Color color) = 0;
    virtual void FillRoundRect(const Rect& rc, int radius, Color color) = 0;
    virtual void DrawRect(const Rect& rc, int radius, int width, Color color) = 0;
    virtual void FillGradient(const Rect& rc, Color from, Color to, bool vertical) = 0;
    virtual void DrawLine(Point from, Point to, int width, Color color) = 0;
    virtual void FillEllipse(const Rect& rc, Color color) = 0;
    virtual void FillPie(const Rect& rc, int startAngle, int sweepAngle, Color color) = 0;
    virtual void DrawText(const Rect& rc, std::string_view text, const FontSpec& font, Color color,
                          unsigned align) = 0;
    // The extent of text set on one line in the font: its advance width and the line height.
    virtual Size MeasureText(std::string_view text, const FontSpec& font) = 0;
    // Draws an image string over rc; false when the file cannot be drawn.
    virtual bool DrawImage(const Rect& rc, std::string_view image, const ImageTint* tint = nullptr) = 0;
};

}  // namespace norvane::ui
