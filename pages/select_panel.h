#pragma once

#include <cstdint>

#include "ui/container.h"

namespace norvane::pages {

// The container of a device picture: dragging a rectangle over it (starting on the panel
// itself) selects the key buttons among its direct children whose rectangles the drag
// intersects, clears the rest, and sends "click_select_end". A click without movement
// selects nothing. The rectangle is not drawn.
class CSelectPanelUI : public ui::CVerticalLayoutUI {
public:
    std::string_view GetClass() const override { return "SelectPanel"; }
    void DoEvent(ui::TEventUI& event) override;
    const ui::Rect& SelectionRect() const { return selection_; }
    bool IsDragging() const { return dragging_ != 0; }

    static constexpr const char* kSelectEnd = "click_select_end";

private:
    std::int32_t pressing_ = 0;
    std::uint8_t dragging_ = 0;
    ui::Point press_;
    ui::Point current_;
    ui::Rect selection_;
};

}  // namespace norvane::pages
