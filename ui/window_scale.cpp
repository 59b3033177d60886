#include "ui/window_scale.h"

#include "platform/diag.h"
#include "ui/messages.h"

#include <algorithm>

namespace norvane::ui {

int AcceptedWindowScale(int dpi, std::string_view errorText) {
    if (std::ranges::find(kAcceptedWindowScales, dpi) != kAcceptedWindowScales.end()) {
        return dpi;
    }
    platform::diag::Trace(errorText);
    return kDefaultWindowScale;
}

int FollowScaleChange(WindowImplBase& window, std::intptr_t wparam, std::intptr_t lparam) {
    const int dpi = static_cast<int>(static_cast<std::uintptr_t>(wparam) & 0xFFFFU);
    window.SetDPI(dpi);
    if (const auto* suggested = reinterpret_cast<const Rect*>(lparam); suggested != nullptr) {
        window.MoveWindow({suggested->left, suggested->top});
    }
    window.PaintManager().NeedUpdate();
    return dpi;
}

}  // namespace norvane::ui

namespace norvane::ui {

void CScaledWindow::SetScale(int dpi) {
    const int accepted = AcceptedWindowScale(dpi, scaleErrorText_);
    if (accepted != scale_) {
        scale_ = accepted;
        SetDPI(scale_);
    }
}

std::intptr_t CScaledWindow::HandleCustomMessage(unsigned msg, std::intptr_t wparam, std::intptr_t lparam,
                                                 bool& handled) {
    handled = false;
    if (msg == kWmDpiChanged) {
        scale_ = FollowScaleChange(*this, wparam, lparam);
        handled = true;
    }
    return 0;
}

}  // namespace norvane::ui
