#pragma once

#include <memory>
#include <string_view>

#include "ui/control.h"
#include "ui/dialog_builder.h"
#include "ui/paint_manager.h"

namespace norvane::app {

// Stand-ins for the program's own layout classes, which the skin preview does not link: a
// device page root ("TarnexKeyboardDevice", ...) becomes a plain vertical layout, the tile and
// power panel roots ("DeviceOption", "MpDevicePower") plain horizontal layouts, the audio panel
// ("Voice6533Control", whose layout file holds its controls) a vertical layout, and any other panel
// ("LightControl", ...) a framed box captioned with its tag. nullptr for any other tag, and for
// a tag whose class the control factory already knows.
std::unique_ptr<ui::CControlUI> MakePreviewStandIn(std::string_view tag);

// "NAME=INDEX": selects page INDEX of the tab layout NAME; false when the text is malformed,
// NAME is not a tab layout or INDEX is not one of its pages.
bool SelectTab(ui::CPaintManagerUI& manager, std::string_view selection);

// "CONTAINER=LAYOUT": builds the skin layout LAYOUT and appends it to the container CONTAINER,
// as the program does with device pages, tiles and power panels. Returns the added root, or
// nullptr when the text is malformed, CONTAINER is no container or LAYOUT does not build.
ui::CControlUI* AddLayout(ui::CPaintManagerUI& manager, std::string_view addition,
                          ui::IDialogBuilderCallback* callback);

// "NAME.ATTRIBUTE=VALUE": sets an attribute of the control NAME, looked up first inside scope
// (when given) and then in the whole window; false when the text is malformed or no control
// has that name.
bool SetNamedAttribute(ui::CPaintManagerUI& manager, ui::CControlUI* scope, std::string_view assignment);

}  // namespace norvane::app
