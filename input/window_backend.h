#pragma once

#include <mutex>
#include <string>

#include "input/hook_backend.h"
#include "ui/raw_input.h"

namespace norvane::input {

// Capture limited to the program's own windows, for sessions without X11: the toolkit's
// backend hands every raw key and button event to the registered listener.
class WindowHookBackend final : public IHookBackend, private ui::IRawInputListener {
public:
    ~WindowHookBackend() override;
    bool Start(IHookSink& sink, const HookOptions& options) override;
    void Stop() override;
    bool IsRunning() const override;
    bool IsGlobal() const override { return false; }
    std::string LastError() const override { return {}; }

private:
    bool OnRawKey(bool press, unsigned nativeKeycode, std::uint32_t timeMs) override;
    bool OnRawMouse(unsigned mouseMessage, int screenX, int screenY, int data) override;

    mutable std::mutex mutex_;
    IHookSink* sink_ = nullptr;
    HookOptions options_;
};

}  // namespace norvane::input
