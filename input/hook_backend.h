#pragma once

#include <string>

#include "input/hook_records.h"

// The source of raw input events behind CDeviceHook: X11 (global), the program's own windows,
// or a synthetic source for tests.
namespace norvane::input {

enum class HookStopReason : int {
    Requested = 0,
    GrabRefused = 1,  // another client holds the keyboard
    DisplayLost = 2,  // the X server went away
    Unavailable = 3,  // no display, or the input extension is missing
};

// Receives the backend's events, on the backend's own thread (X11) or the UI thread.
class IHookSink {
public:
    virtual ~IHookSink() = default;
    // keyMessage: kWmKeyDown / kWmKeyUp (or the system variants).
    virtual void OnKey(unsigned keyMessage, const KeyHookRecord& record) = 0;
    // mouseMessage: one of the kWm* mouse messages.
    virtual void OnMouse(unsigned mouseMessage, const MouseHookRecord& record) = 0;
    // The capture ended without Stop; no event follows.
    virtual void OnStopped(HookStopReason reason) = 0;
};

struct HookOptions {
    bool keyboard = true;
    bool mouse = true;
    // Take the keyboard so other programs see no keys (lock keys keep working).
    bool swallowKeys = true;
    // Report pointer motion as kWmMouseMove (many events; off unless asked for).
    bool motion = false;
};

class IHookBackend {
public:
    virtual ~IHookBackend() = default;
    // Starts delivering to sink until Stop. False (with LastError) when capture cannot start;
    // nothing is delivered then.
    virtual bool Start(IHookSink& sink, const HookOptions& options) = 0;
    // Stops delivery; returns once no sink call runs or follows. Safe when not started.
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    // True when events come from the whole screen, false when only from the program's windows.
    virtual bool IsGlobal() const = 0;
    virtual std::string LastError() const = 0;
};

}  // namespace norvane::input
