#pragma once

#include <memory>
#include <string>

#include "input/hook_backend.h"

namespace norvane::input {

// Global capture from an X server: XInput2 raw key and button events on the root window,
// read on a thread with its own display connection. While keys are swallowed the keyboard is
// grabbed on that connection, so the grab ends with the connection (a killed program leaves
// no grab). A grab that is refused or a display that goes away stops the capture and reports it.
class X11HookBackend final : public IHookBackend {
public:
    // displayName: empty for $DISPLAY.
    explicit X11HookBackend(std::string displayName = {});
    ~X11HookBackend() override;
    X11HookBackend(const X11HookBackend&) = delete;
    X11HookBackend& operator=(const X11HookBackend&) = delete;

    bool Start(IHookSink& sink, const HookOptions& options) override;
    void Stop() override;
    bool IsRunning() const override;
    bool IsGlobal() const override { return true; }
    std::string LastError() const override;

    // True when the display can be opened and has XInput 2.0 or later.
    static bool Available(const std::string& displayName = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace norvane::input
