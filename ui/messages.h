#pragma once

#include <string_view>

namespace norvane::ui {

// Window message numbers the toolkit itself uses; program messages start at kWmUser.
inline constexpr unsigned kWmClose = 0x0010;
// Sent by the backend. kWmActivate: wparam 1 when the window became the active window, 0
// when it stopped being it. kWmMouseHover / kWmMouseLeave: the mouse entered / left the
// window. kWmDisplayChange: the screen's size changed, lparam = width | height << 16.
// kWmDpiChanged: the screen scale changed, wparam = dpi | dpi << 16, lparam = a const Rect*
// (the suggested screen rectangle at the new scale), valid while the message is handled.
inline constexpr unsigned kWmActivate = 0x0006;
inline constexpr unsigned kWmDisplayChange = 0x007E;
inline constexpr unsigned kWmMouseHover = 0x02A1;
inline constexpr unsigned kWmMouseLeave = 0x02A3;
inline constexpr unsigned kWmDpiChanged = 0x02E0;
inline constexpr unsigned kWmUser = 0x0400;
// Mouse event codes a tray icon reports in the lparam of its callback message.
inline constexpr unsigned kWmMouseMove = 0x0200;
inline constexpr unsigned kWmLButtonUp = 0x0202;
inline constexpr unsigned kWmLButtonDblClk = 0x0203;
inline constexpr unsigned kWmRButtonUp = 0x0205;

// Process-wide message ids by name: the same name always gives the same id (0xC000 and up).
// Thread-safe. An empty name gives 0.
unsigned RegisterWindowMessage(std::string_view name);

}  // namespace norvane::ui
