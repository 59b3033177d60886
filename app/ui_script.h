#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::shell {
class CMainWnd;
}  // namespace norvane::shell

// What a test asks of the window of "norvane --simulate" through "norvane-ctl sim ui STEP":
// the notifications a user's clicks and choices would raise, so an end-to-end run can drive
// the pages while real input comes from the X server.
namespace norvane::app {

struct UiStep {
    enum class Kind { kNotify, kSelect, kSelectData, kMenu };
    Kind kind = Kind::kNotify;
    std::string control;  // a control name, or the menu item
    std::string value;    // notification type, row index or row user data
};

// Steps (controls are looked up in the current device's page first):
//   notify CONTROL TYPE       the notification TYPE ("click", "selectchanged", ...) from CONTROL
//   select CONTROL ROW        a list or combo selects row ROW, then "itemselect"
//   selectdata CONTROL DATA   the same for the row whose user data is DATA
//   menu ITEM                 a menu item of the tray or macro action menu was chosen
// Names are letters, digits, '_', '.' and '-'. Nothing for anything else.
std::optional<UiStep> ParseUiStep(std::string_view text);

// Carries the step out on the UI thread; the reason when it cannot (a control missing, ...).
std::optional<std::string> RunUiStep(shell::CMainWnd& window, const UiStep& step);

}  // namespace norvane::app
