#pragma once

#include "ui/control.h"

namespace norvane::ui {

// Text in the control's font and colour, aligned inside the text padding.
class CLabelUI : public CControlUI {
public:
    CLabelUI() { SetKeyboardEnabled(false); }
    std::string_view GetClass() const override { return "Label"; }
    unsigned GetTextStyle() const { return textStyle_; }
    void SetTextStyle(unsigned style);
    const Rect& GetTextPadding() const { return textPadding_; }
    void SetTextPadding(const Rect& padding);
    void PaintText(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // Colour the text is drawn in for the current state.
    virtual Color StateTextColor() const;
    void PaintTextIn(IRenderer& r, const std::string& text, Color color);

private:
    unsigned textStyle_ = kAlignLeft | kAlignVCenter | kTextSingleLine;
    Rect textPadding_;
};

}  // namespace norvane::ui
