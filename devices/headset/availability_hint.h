#pragma once

#include "ui/control.h"

#include <string>

namespace norvane::devices::headset {

// A hint label of the audio panels: hidden while its part is available, else shown with the
// reason given (or its own text when no reason is given).
inline void ShowAvailability(ui::CControlUI* hint, bool available, const std::string& reason) {
    if (hint == nullptr) {
        return;
    }
    if (!available && !reason.empty()) {
        hint->SetText(reason);
    }
    hint->SetVisible(!available);
}

}  // namespace norvane::devices::headset
