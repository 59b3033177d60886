#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "input/hook_backend.h"

namespace norvane::input {

// A backend fed by hand: tests push key and mouse events, or end the capture as a lost
// display or a refused grab would.
class SyntheticHookBackend final : public IHookBackend {
public:
    bool Start(IHookSink& sink, const HookOptions& options) override;
    void Stop() override;
    bool IsRunning() const override;
    bool IsGlobal() const override { return global_; }
    std::string LastError() const override;

    // Next Start fails with this error (empty: succeeds).
    void FailNextStart(std::string error);
    void SetGlobal(bool global) { global_ = global; }
    // Delivered only while running and only for the kinds the options asked for; false otherwise.
    bool PushKey(unsigned keyMessage, const KeyHookRecord& record);
    bool PushMouse(unsigned mouseMessage, const MouseHookRecord& record);
    // Ends the capture by itself.
    void Lose(HookStopReason reason);

    const HookOptions& Options() const { return options_; }
    int StartCount() const { return starts_; }
    int StopCount() const { return stops_; }

private:
    mutable std::mutex mutex_;
    IHookSink* sink_ = nullptr;
    HookOptions options_;
    std::string failNext_;
    std::string lastError_;
    bool global_ = true;
    int starts_ = 0;
    int stops_ = 0;
};

}  // namespace norvane::input
