#pragma once

#include <cstdint>

#include "ui/button.h"

namespace norvane::pages {

// A picture button with a delete corner: a release in the corner (deleting enabled) sends
// "click_handdelete" instead of activating; hovering sends "msenter"/"msleave".
class CHandImgButtonUI : public ui::CButtonUI {
public:
    CHandImgButtonUI() { notifyHover_ = true; }
    std::string_view GetClass() const override { return "HandImgButton"; }
    void SetDeleteDisabled(bool disabled);
    bool IsDeleteDisabled() const { return deleteDisabled_ != 0; }
    // The 20 x 20 (scaled) corner, 9 above the bottom and 30 left of the right edge.
    ui::Rect DeleteCorner() const;
    const std::string& CurrentDeleteImage() const { return deleteImage_; }

    void DoEvent(ui::TEventUI& event) override;
    void PaintStatusImage(ui::IRenderer& r) override;
    void SetAttribute(std::string_view name, std::string_view value) override;

    static constexpr const char* kHandDelete = "click_handdelete";

private:
    std::string handImage_;
    std::string deleteNormalImage_;
    std::string deleteHotImage_;
    std::string deleteImage_;
    std::uint32_t deleteDisabled_ = 1;
};

}  // namespace norvane::pages
