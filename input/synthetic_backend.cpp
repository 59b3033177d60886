#include "input/synthetic_backend.h"

#include <utility>

namespace norvane::input {

bool SyntheticHookBackend::Start(IHookSink& sink, const HookOptions& options) {
    std::lock_guard lock(mutex_);
    ++starts_;
    if (!failNext_.empty()) {
        lastError_ = std::exchange(failNext_, {});
        sink_ = nullptr;
        return false;
    }
    lastError_.clear();
    sink_ = &sink;
    options_ = options;
    return true;
}

void SyntheticHookBackend::Stop() {
    std::lock_guard lock(mutex_);
    ++stops_;
    sink_ = nullptr;
}

bool SyntheticHookBackend::IsRunning() const {
    std::lock_guard lock(mutex_);
    return sink_ != nullptr;
}

std::string SyntheticHookBackend::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void SyntheticHookBackend::FailNextStart(std::string error) {
    std::lock_guard lock(mutex_);
    failNext_ = std::move(error);
}

bool SyntheticHookBackend::PushKey(unsigned keyMessage, const KeyHookRecord& record) {
    std::lock_guard lock(mutex_);
    if (sink_ == nullptr || !options_.keyboard) {
        return false;
    }
    sink_->OnKey(keyMessage, record);
    return true;
}

bool SyntheticHookBackend::PushMouse(unsigned mouseMessage, const MouseHookRecord& record) {
    std::lock_guard lock(mutex_);
    if (sink_ == nullptr || !options_.mouse) {
        return false;
    }
    sink_->OnMouse(mouseMessage, record);
    return true;
}

void SyntheticHookBackend::Lose(HookStopReason reason) {
    std::lock_guard lock(mutex_);
    if (sink_ == nullptr) {
        return;
    }
    IHookSink* sink = std::exchange(sink_, nullptr);
    sink->OnStopped(reason);
}

}  // namespace norvane::input
