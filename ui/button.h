#pragma once

#include "ui/label.h"

namespace norvane::ui {

// A pressable label: hot and pushed states with their images and colours. A press and a
// release inside the enabled button activate it ("click"); Space or Return does the same
// while it has the focus.
class CButtonUI : public CLabelUI {
public:
    CButtonUI() {
        SetKeyboardEnabled(true);
        SetTextStyle(kAlignCenter | kAlignVCenter | kTextSingleLine);
    }
    std::string_view GetClass() const override { return "Button"; }
    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderer& r) override;
    void PaintStatusImage(IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    bool IsHot() const { return hot_; }
    bool IsPushed() const { return pushed_; }
    bool IsCaptured() const { return captured_; }
    void SetHotBkColor(Color color) { hotBkColor_ = color; }
    void SetPushedBkColor(Color color) { pushedBkColor_ = color; }
    void SetNormalImage(std::string image) { normalImage_ = std::move(image); }
    // Drawn over the state image; empty for none.
    void SetForeImage(std::string image);
    const std::string& GetForeImage() const { return foreImage_; }

protected:
    Color StateTextColor() const override;
    bool hot_ = false;
    bool pushed_ = false;
    bool captured_ = false;
    bool notifyHover_ = false;  // raise "msenter"/"msleave" as well
    std::string normalImage_;
    std::string hotImage_;
    std::string pushedImage_;
    std::string focusedImage_;
    std::string disabledImage_;
    std::string foreImage_;
    Color hotBkColor_ = 0;
    Color pushedBkColor_ = 0;
    Color hotTextColor_ = 0;
    Color pushedTextColor_ = 0;
};

}  // namespace norvane::ui
