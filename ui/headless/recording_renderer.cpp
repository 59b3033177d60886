#include "ui/headless/recording_renderer.h"

namespace norvane::ui::headless {

namespace {
RecordingRenderer::Call Make(RecordingRenderer::Op op, const Rect& rc, Color color = 0, Color color2 = 0) {
    RecordingRenderer::Call c;
    c.op = op;
    c.rect = rc;
    c.color = color;
    c.color2 = color2;
    return c;
}
}  // namespace

void RecordingRenderer::PushClip(const Rect& rc) {
    clips_.push_back(rc);
}
void RecordingRenderer::PopClip() {
    if (!clips_.empty()) {
        clips_.pop_back();
    }
}
void RecordingRenderer::FillRect(const Rect& rc, Color color) {
    calls_.push_back(Make(Op::FillRect, rc, color));
}
void RecordingRenderer::FillRoundRect(const Rect& rc, int radius, Color color) {
    Call c = Make(Op::FillRoundRect, rc, color);
    c.start = radius;
    calls_.push_back(c);
}
void RecordingRenderer::DrawRect(const Rect& rc, int radius, int width, Color color) {
    Call c = Make(Op::DrawRect, rc, color);
    c.start = radius;
    c.sweep = width;
    calls_.push_back(c);
}
void RecordingRenderer::FillGradient(const Rect& rc, Color from, Color to, bool vertical) {
    Call c = Make(Op::FillGradient, rc, from, to);
    c.start = vertical ? 1 : 0;
    calls_.push_back(c);
}
void RecordingRenderer::DrawLine(Point from, Point to, int width, Color color) {
    Call c = Make(Op::Line, {}, color);
    c.from = from;
    c.to = to;
    c.sweep = width;
    calls_.push_back(c);
}
void RecordingRenderer::FillEllipse(const Rect& rc, Color color) {
    calls_.push_back(Make(Op::FillEllipse, rc, color));
}
void RecordingRenderer::FillPie(const Rect& rc, int startAngle, int sweepAngle, Color color) {
    Call c = Make(Op::FillPie, rc, color);
    c.start = startAngle;
    c.sweep = sweepAngle;
    calls_.push_back(c);
}
void RecordingRenderer::DrawText(const Rect& rc, std::string_view text, const FontSpec& font, Color color,
                                 unsigned align) {
    (void)font;
    Call c = Make(Op::Text, rc, color);
    c.text = std::string(text);
    c.start = static_cast<int>(align);
    calls_.push_back(c);
}
Size RecordingRenderer::MeasureText(std::string_view text, const FontSpec& font) {
    int tenths = 0;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            tenths += 6 * font.size;
        } else if ((byte & 0xC0U) != 0x80) {  // the lead byte of a longer character
            tenths += 10 * font.size;
        }
    }
    return {(tenths + 9) / 10, (font.size * 5 + 3) / 4};
}

bool RecordingRenderer::DrawImage(const Rect& rc, std::string_view image, const ImageTint* tint) {
    Call c = Make(Op::Image, rc);
    c.text = std::string(image);
    if (tint != nullptr) {
        c.tint = *tint;
        c.hasTint = true;
    }
    calls_.push_back(c);
    return imagesDrawable_;
}

std::vector<RecordingRenderer::Call> RecordingRenderer::CallsOf(Op op) const {
    std::vector<Call> out;
    for (const auto& c : calls_) {
        if (c.op == op) {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace norvane::ui::headless
