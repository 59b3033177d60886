#pragma once

#include <cstdint>

namespace norvane::ui {

// Sees every key and mouse button event the backend receives for the program's windows,
// before the controls do. Called on the UI thread.
class IRawInputListener {
public:
    virtual ~IRawInputListener() = default;
    // nativeKeycode: the X keycode (evdev code + 8). True swallows the event.
    virtual bool OnRawKey(bool press, unsigned nativeKeycode, std::uint32_t timeMs) = 0;
    // mouseMessage: a button or wheel window message (0x0201 ...), screen coordinates;
    // data: the extra button (1, 2) or the wheel delta. True swallows the event.
    virtual bool OnRawMouse(unsigned mouseMessage, int screenX, int screenY, int data) = 0;
};

// One listener at a time; null removes it. Thread-safe.
void SetRawInputListener(IRawInputListener* listener);
// Backends call these; true when the listener swallowed the event.
bool DispatchRawKey(bool press, unsigned nativeKeycode, std::uint32_t timeMs);
bool DispatchRawMouse(unsigned mouseMessage, int screenX, int screenY, int data);

}  // namespace norvane::ui
