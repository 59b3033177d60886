#include "input/window_backend.h"

#include "input/hook_messages.h"
#include "input/x11_keycodes.h"

namespace norvane::input {

WindowHookBackend::~WindowHookBackend() {
    Stop();
}

bool WindowHookBackend::Start(IHookSink& sink, const HookOptions& options) {
    {
        std::lock_guard lock(mutex_);
        sink_ = &sink;
        options_ = options;
    }
    ui::SetRawInputListener(this);
    return true;
}

void WindowHookBackend::Stop() {
    // Waits for a dispatch in progress: no sink call runs or follows afterwards.
    ui::SetRawInputListener(nullptr);
    std::lock_guard lock(mutex_);
    sink_ = nullptr;
}

bool WindowHookBackend::IsRunning() const {
    std::lock_guard lock(mutex_);
    return sink_ != nullptr;
}

bool WindowHookBackend::OnRawKey(bool press, unsigned nativeKeycode, std::uint32_t timeMs) {
    std::lock_guard lock(mutex_);
    if (sink_ == nullptr || !options_.keyboard) {
        return false;
    }
    const KeyHookRecord record = KeyRecordOfXKeycode(nativeKeycode, timeMs);
    sink_->OnKey(press ? kWmKeyDown : kWmKeyUp, record);
    if (!options_.swallowKeys) {
        return false;
    }
    return !IsLockKey(record.keyCode);
}

bool WindowHookBackend::OnRawMouse(unsigned mouseMessage, int screenX, int screenY, int data) {
    std::lock_guard lock(mutex_);
    if (sink_ != nullptr && options_.mouse) {
        sink_->OnMouse(mouseMessage, {static_cast<std::int16_t>(screenX), static_cast<std::int16_t>(screenY),
                                      static_cast<std::int16_t>(data)});
    }
    return false;  // clicks still reach the window
}

}  // namespace norvane::input
