#include "ui/window_scale.h"

#include "platform/diag.h"
#include "ui/window.h"

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
