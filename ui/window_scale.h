#pragma once

#include "ui/window.h"

#include <array>
#include <cstdint>
#include <string_view>

// The scales the program's small windows accept, and their answer to a screen-scale change.
namespace norvane::ui {

inline constexpr std::array<int, 7> kAcceptedWindowScales = {48, 72, 96, 120, 144, 168, 192};
inline constexpr int kDefaultWindowScale = 96;
// What the settings, palette and music windows trace for a scale they do not accept.
inline constexpr std::string_view kSetWndScaleError = "SET_WND DPI SET ERROR";

// dpi when it is an accepted scale; otherwise errorText goes to the trace and 96 is used.
int AcceptedWindowScale(int dpi, std::string_view errorText);

// kWmDpiChanged: the window takes the scale of the low word of wparam, moves to the suggested
// rectangle (lparam, a const Rect*, may be null) and is laid out again; the scale taken.
int FollowScaleChange(WindowImplBase& window, std::intptr_t wparam, std::intptr_t lparam);

// A small window that takes its opener's scale (an accepted one, else 96 with the error text on
// the trace) and follows a screen-scale change. A subclass handling other messages passes the
// rest on to this class.
class CScaledWindow : public WindowImplBase {
public:
    void SetScale(int dpi);
    int Scale() const { return scale_; }
    std::intptr_t HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                      bool& handled) override;

protected:
    explicit CScaledWindow(std::string_view scaleErrorText) : scaleErrorText_(scaleErrorText) {}

private:
    std::string_view scaleErrorText_;
    int scale_ = kDefaultWindowScale;
};

}  // namespace norvane::ui
