#include "ui/raw_input.h"

#include <mutex>

namespace norvane::ui {

namespace {

std::mutex& ListenerMutex() {
    static std::mutex mutex;
    return mutex;
}
IRawInputListener* gListener = nullptr;

}  // namespace

void SetRawInputListener(IRawInputListener* listener) {
    std::lock_guard lock(ListenerMutex());
    gListener = listener;
}

bool DispatchRawKey(bool press, unsigned nativeKeycode, std::uint32_t timeMs) {
    std::lock_guard lock(ListenerMutex());
    return gListener != nullptr && gListener->OnRawKey(press, nativeKeycode, timeMs);
}

bool DispatchRawMouse(unsigned mouseMessage, int screenX, int screenY, int data) {
    std::lock_guard lock(ListenerMutex());
    return gListener != nullptr && gListener->OnRawMouse(mouseMessage, screenX, screenY, data);
}

}  // namespace norvane::ui
