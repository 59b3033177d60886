#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The scales the program's small windows accept, and their answer to a screen-scale change.
namespace norvane::ui {

class WindowImplBase;

inline constexpr std::array<int, 7> kAcceptedWindowScales = {48, 72, 96, 120, 144, 168, 192};
inline constexpr int kDefaultWindowScale = 96;

// dpi when it is an accepted scale; otherwise errorText goes to the trace and 96 is used.
int AcceptedWindowScale(int dpi, std::string_view errorText);

// kWmDpiChanged: the window takes the scale of the low word of wparam, moves to the suggested
// rectangle (lparam, a const Rect*, may be null) and is laid out again; the scale taken.
int FollowScaleChange(WindowImplBase& window, std::intptr_t wparam, std::intptr_t lparam);

}  // namespace norvane::ui
