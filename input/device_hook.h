#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "input/hook_backend.h"
#include "input/hook_messages.h"
#include "input/hook_records.h"

namespace norvane::ui {
class WindowImplBase;
}

namespace norvane::input {

// Where hook events go: a window's PostMessage (callable from any thread).
using HookTarget = std::function<bool(unsigned msg, std::intptr_t wparam, std::intptr_t lparam)>;
HookTarget PostTo(ui::WindowImplBase& window);

// Owner of the input capture. Events reach the target as posted messages: key events as the
// mode's keyboard message (wparam kWmKeyDown/kWmKeyUp, lparam PackKeyRecord), mouse events as
// the mode's mouse message (wparam the mouse message, lparam PackMouseRecord), and a capture
// that ends by itself as HookMessages().hookStopped (wparam the HookStopReason).
// Start and Stop run on the UI thread.
class CDeviceHook final : private IHookSink {
public:
    explicit CDeviceHook(std::unique_ptr<IHookBackend> backend);
    ~CDeviceHook() override;
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    // Replaces a running capture. keyboard: capture keys; outside: capture mouse buttons.
    // False when the keyboard capture cannot start; the mouse capture is not started then.
    bool Start(int value, HookMode mode, HookTarget target, bool keyboard, bool outside);
    bool Start(int value, HookMode mode, ui::WindowImplBase& window, bool keyboard, bool outside);
    // Ends any capture; safe when none runs.
    void Stop();

    bool IsKeyboardHooked() const { return keyboardHooked_; }
    bool IsOutsideStarted() const { return outsideStarted_; }
    HookMode Mode() const { return mode_; }
    int Value() const { return value_; }
    // True when the capture sees the whole screen, false when only the program's windows.
    bool IsGlobal() const;
    // Why the last Start failed.
    std::string LastError() const;
    IHookBackend& Backend() { return *backend_; }

private:
    void OnKey(unsigned keyMessage, const KeyHookRecord& record) override;
    void OnMouse(unsigned mouseMessage, const MouseHookRecord& record) override;
    void OnStopped(HookStopReason reason) override;

    std::unique_ptr<IHookBackend> backend_;
    // Written only while the backend is stopped; the backend thread reads them.
    HookTarget target_;
    HookMode mode_ = HookMode::Idle;
    int value_ = 0;
    bool keyboardHooked_ = false;
    bool outsideStarted_ = false;
};

// The X11 backend when a display with XInput2 is reachable, else the in-window backend.
std::unique_ptr<IHookBackend> MakeDefaultHookBackend();

}  // namespace norvane::input
