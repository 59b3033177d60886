#pragma once

#include <string>
#include <vector>

#include "ui/render.h"

namespace norvane::ui::headless {

// A renderer that keeps every drawing call, for tests that check what a control draws.
class RecordingRenderer : public IRenderer {
public:
    enum class Op {
        FillRect,
        FillRoundRect,
        DrawRect,
        FillGradient,
        Line,
        FillEllipse,
        FillPie,
        Text,
        Image
    };
    struct Call {
        Op op = Op::FillRect;
        Rect rect;
        Color color = 0;
        Color color2 = 0;
        Point from;
        Point to;
        int start = 0;
        int sweep = 0;
        std::string text;  // text or image string
        ImageTint tint;
        bool hasTint = false;
    };

    void PushClip(const Rect& rc) override;
    void PopClip() override;
    void FillRect(const Rect& rc, Color color) override;
    void FillRoundRect(const Rect& rc, int radius, Color color) override;
    void DrawRect(const Rect& rc, int radius, int width, Color color) override;
    void FillGradient(const Rect& rc, Color from, Color to, bool vertical) override;
    void DrawLine(Point from, Point to, int width, Color color) override;
    void FillEllipse(const Rect& rc, Color color) override;
    void FillPie(const Rect& rc, int startAngle, int sweepAngle, Color color) override;
    void DrawText(const Rect& rc, std::string_view text, const FontSpec& font, Color color,
                  unsigned align) override;
    // A fixed approximation: 0.6 of the size per ASCII character, the full size for any other
    // character; lines 1.25 times the size.
    Size MeasureText(std::string_view text, const FontSpec& font) override;
    bool DrawImage(const Rect& rc, std::string_view image, const ImageTint* tint) override;

    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> CallsOf(Op op) const;
    void Clear() { calls_.clear(); }
    // Answer DrawImage calls with this (true: the image "exists").
    void SetImagesDrawable(bool drawable) { imagesDrawable_ = drawable; }
    int ClipDepth() const { return static_cast<int>(clips_.size()); }

private:
    std::vector<Call> calls_;
    std::vector<Rect> clips_;
    bool imagesDrawable_ = true;
};

}  // namespace norvane::ui::headless
