#pragma once

#include "ui/types.h"

namespace norvane::ui {

// A native child window carried by a control: the backend places it over the control.
class INativeChild {
public:
    virtual ~INativeChild() = default;
    // Moves to rc (window client coordinates, scaled) and shows or hides it.
    virtual void Place(const Rect& rc, bool visible) = 0;
};

}  // namespace norvane::ui
