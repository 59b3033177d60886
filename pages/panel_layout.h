#pragma once

#include <string_view>

namespace norvane::ui {
class CContainerUI;
}

namespace norvane::pages {

// Builds a panel's own layout (a skin-relative file) into the panel when the page gave it no
// children; the panel must be in a window. False when nothing was built.
bool LoadPanelLayout(ui::CContainerUI& panel, std::string_view file);

}  // namespace norvane::pages
