#pragma once

#include <cstdint>
#include <string_view>

#include "ui/types.h"

namespace norvane::ui {

class CControlUI;
class CEditUI;
class CComboUI;

// What a window's paint manager needs from its backend (Qt widget or headless host).
class IPaintHost {
public:
    virtual void Invalidate(const Rect& rc) = 0;
    // One timer per key; the backend calls CPaintManagerUI::OnTimer(key) at every expiry.
    virtual void StartTimer(std::uint64_t key, int periodMs) = 0;
    virtual void StopTimer(std::uint64_t key) = 0;
    // Milliseconds on the backend's clock.
    virtual std::uint64_t Now() const = 0;
    // Native text entry over a focused edit; hidden again when the edit loses focus.
    virtual void ShowEditOverlay(CEditUI& edit) = 0;
    virtual void HideEditOverlay() = 0;
    // Opens the drop-down list of a combo; the choice comes back through CComboUI::SelectItem.
    virtual void ShowDropDown(CComboUI& combo) = 0;
    // Pixel size of an image file (absolute path); {0,0} when it cannot be read.
    virtual Size ImageSize(std::string_view path) = 0;
    // A control is leaving the window (or being destroyed): drop any reference to it.
    virtual void ControlGone(CControlUI& control) { (void)control; }

protected:
    virtual ~IPaintHost() = default;
};

}  // namespace norvane::ui
