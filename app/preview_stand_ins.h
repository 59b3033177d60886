#pragma once

#include <memory>
#include <string_view>

#include "ui/control.h"
#include "ui/paint_manager.h"

namespace norvane::app {

// Stand-ins for the program's own layout classes, which the skin preview does not link: a
// device page root ("TarnexKeyboardDevice", ...) becomes a plain vertical layout and a panel
// ("LightControl", ...) a framed box captioned with its tag. nullptr for any other tag, and for
// a tag whose class the control factory already knows.
std::unique_ptr<ui::CControlUI> MakePreviewStandIn(std::string_view tag);

// "NAME=INDEX": selects page INDEX of the tab layout NAME; false when the text is malformed,
// NAME is not a tab layout or INDEX is not one of its pages.
bool SelectTab(ui::CPaintManagerUI& manager, std::string_view selection);

}  // namespace norvane::app
