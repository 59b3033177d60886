#pragma once

#include <cstdint>

#include "ui/button.h"

namespace norvane::pages {

// A picture button whose picture pans with the mouse: the visible part is a source rectangle
// of the button's size inside the image, kept within the image.
class CHandImgSelectButtonUI : public ui::CButtonUI {
public:
    CHandImgSelectButtonUI() { notifyHover_ = true; }
    std::string_view GetClass() const override { return "HandImgSelectButton"; }
    void SetHandImage(std::string name);
    const ui::Rect& SourceRect() const { return source_; }
    ui::Size ImagePixels() const { return {imageWidth_, imageHeight_}; }
    const std::string& DrawnImage() const { return drawn_; }
    int GetCursor() const override { return cursor_; }

    void SetPos(const ui::Rect& rc) override;
    void DoInit() override;
    void DoEvent(ui::TEventUI& event) override;
    void PaintStatusImage(ui::IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    // System cursor id for a "cursor" attribute value; 0 for an unknown name.
    static int CursorId(std::string_view name);

private:
    void LoadImage();
    void ResetSource();
    void UpdateDrawn(bool withSource);
    std::string handImage_;
    std::string drawn_;
    ui::Rect source_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    ui::Point last_;
    std::uint8_t pressed_ = 0;
    std::uint8_t dragging_ = 0;
    int cursor_ = 0;
};

}  // namespace norvane::pages
