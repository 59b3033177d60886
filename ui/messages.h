#pragma once

#include <string_view>

namespace norvane::ui {

// Window message numbers the toolkit itself uses; program messages start at kWmUser.
inline constexpr unsigned kWmClose = 0x0010;
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
