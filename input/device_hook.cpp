#include "input/device_hook.h"

#include <utility>

#include "input/window_backend.h"
#include "input/x11_backend.h"
#include "platform/diag.h"
#include "ui/window.h"

namespace norvane::input {

HookTarget PostTo(ui::WindowImplBase& window) {
    return [&window](unsigned msg, std::intptr_t wparam, std::intptr_t lparam) {
        return window.PostMessage(msg, wparam, lparam);
    };
}

CDeviceHook::CDeviceHook(std::unique_ptr<IHookBackend> backend) : backend_(std::move(backend)) {
}

CDeviceHook::~CDeviceHook() {
    Stop();
}

bool CDeviceHook::Start(int value, HookMode mode, HookTarget target, bool keyboard, bool outside) {
    if (keyboardHooked_ || outsideStarted_ || backend_->IsRunning()) {
        backend_->Stop();
        keyboardHooked_ = false;
        outsideStarted_ = false;
    }
    // The backend is stopped: nothing reads these while they change.
    target_ = std::move(target);
    mode_ = mode;
    value_ = value;
    if (!keyboard && !outside) {
        return true;
    }
    HookOptions options;
    options.keyboard = keyboard;
    options.mouse = outside;
    options.swallowKeys = keyboard;
    if (!backend_->Start(*this, options)) {
        if (platform::diag::Enabled()) {
            platform::diag::Trace("input: capture did not start: " + backend_->LastError());
        }
        // Without the keyboard capture the mouse capture is not started either.
        return !keyboard;
    }
    keyboardHooked_ = keyboard;
    outsideStarted_ = outside;
    return true;
}

bool CDeviceHook::Start(int value, HookMode mode, ui::WindowImplBase& window, bool keyboard, bool outside) {
    return Start(value, mode, PostTo(window), keyboard, outside);
}

void CDeviceHook::Stop() {
    backend_->Stop();
    keyboardHooked_ = false;
    outsideStarted_ = false;
}

bool CDeviceHook::IsGlobal() const {
    return backend_->IsGlobal();
}

std::string CDeviceHook::LastError() const {
    return backend_->LastError();
}

void CDeviceHook::OnKey(unsigned keyMessage, const KeyHookRecord& record) {
    if (const auto msg = KeyboardMessageFor(mode_); msg && target_) {
        target_(*msg, static_cast<std::intptr_t>(keyMessage), PackKeyRecord(record));
    }
}

void CDeviceHook::OnMouse(unsigned mouseMessage, const MouseHookRecord& record) {
    if (const auto msg = MouseMessageFor(mode_); msg && target_) {
        target_(*msg, static_cast<std::intptr_t>(mouseMessage), PackMouseRecord(record));
    }
}

void CDeviceHook::OnStopped(HookStopReason reason) {
    if (platform::diag::Enabled()) {
        platform::diag::Trace("input: capture ended: " + std::to_string(static_cast<int>(reason)));
    }
    if (target_) {
        target_(HookMessages().hookStopped, static_cast<std::intptr_t>(reason), 0);
    }
}

std::unique_ptr<IHookBackend> MakeDefaultHookBackend() {
    if (X11HookBackend::Available()) {
        return std::make_unique<X11HookBackend>();
    }
    return std::make_unique<WindowHookBackend>();
}

}  // namespace norvane::input
