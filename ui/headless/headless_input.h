#pragma once

#include <string_view>

#include "ui/event.h"
#include "ui/paint_manager.h"

// Synthetic input for the headless backend: the same calls the Qt host makes from real
// events, in window client coordinates.
namespace norvane::ui::headless {

// modifiers: Modifier bits held during the press.
void Click(CPaintManagerUI& pm, Point pt, unsigned modifiers = 0);
void DoubleClick(CPaintManagerUI& pm, Point pt);
// Press at from, move in `steps` even steps to to, release there.
void Drag(CPaintManagerUI& pm, Point from, Point to, int steps = 4);
void RightClick(CPaintManagerUI& pm, Point pt);
void Hover(CPaintManagerUI& pm, Point pt);
void WheelAt(CPaintManagerUI& pm, Point pt, int delta);
void PressKey(CPaintManagerUI& pm, Key key, unsigned modifiers = 0);
// Types UTF-8 text into the focused control, one character event per code point.
void TypeText(CPaintManagerUI& pm, std::string_view text);
// The window loses the mouse (deactivated, or another window takes it).
void LoseCapture(CPaintManagerUI& pm);
// Clicks the centre of a named control; false when it is missing or has no area.
bool ClickControl(CPaintManagerUI& pm, std::string_view name);

}  // namespace norvane::ui::headless
