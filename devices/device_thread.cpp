#include "devices/device_thread.h"

#include "platform/diag.h"

#include <utility>

namespace norvane::devices {

void StopSignal::RequestStop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

bool StopSignal::StopRequested() const {
    const std::lock_guard lock(mutex_);
    return stopped_;
}

void StopSignal::Wake() {
    {
        const std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

StopSignal::WaitResult StopSignal::WaitUntil(Clock::time_point deadline) const {
    std::unique_lock lock(mutex_);
    const auto settled = [this] { return stopped_ || woken_; };
    if (deadline == Clock::time_point::max()) {
        changed_.wait(lock, settled);
    } else if (!changed_.wait_until(lock, deadline, settled)) {
        return WaitResult::Due;
    }
    if (stopped_) {
        return WaitResult::Stopped;
    }
    woken_ = false;
    return WaitResult::Woken;
}

DeviceThread::~DeviceThread() {
    if (!run_) {
        return;
    }
    if (OnWorker()) {
        // Destroyed by its own worker: the body is finishing, nothing else can join it.
        run_->signal.RequestStop();
        thread_.detach();
        return;
    }
    if (Stop() == StopResult::Timeout) {
        // Bounded wait missed: the worker still may touch its owner, so wait for it.
        thread_.join();
    }
}

bool DeviceThread::ReapIfDone() {
    if (!run_) {
        return true;
    }
    {
        const std::lock_guard lock(run_->mutex);
        if (!run_->done) {
            return false;
        }
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    run_.reset();
    cancel_ = {};
    return true;
}

bool DeviceThread::Start(Body body, Cancel cancel) {
    if (!body || !ReapIfDone()) {
        return false;
    }
    auto run = std::make_shared<Run>();
    cancel_ = std::move(cancel);
    run_ = run;
    thread_ = std::thread([run, work = std::move(body)] {
        run->worker.store(std::this_thread::get_id());
        work(run->signal);
        {
            const std::lock_guard lock(run->mutex);
            run->done = true;
        }
        run->ended.notify_all();
    });
    return true;
}

StopResult DeviceThread::Stop() {
    if (!run_) {
        return StopResult::NotRunning;
    }
    run_->signal.RequestStop();
    if (OnWorker()) {
        platform::diag::Trace(kThreadErrorText);
        return StopResult::Error;
    }
    if (cancel_) {
        cancel_();
    }
    bool ended = false;
    {
        std::unique_lock lock(run_->mutex);
        ended = run_->ended.wait_for(lock, bound_, [this] { return run_->done; });
    }
    if (!ended) {
        platform::diag::Trace(kThreadTimeoutText);
        return StopResult::Timeout;
    }
    thread_.join();
    run_.reset();
    cancel_ = {};
    platform::diag::Trace(kThreadEndedText);
    return StopResult::Ended;
}

bool DeviceThread::OnWorker() const {
    return run_ && run_->worker.load() == std::this_thread::get_id();
}

void DeviceThread::Wake() {
    if (run_) {
        run_->signal.Wake();
    }
}

bool DeviceThread::Running() const {
    if (!run_) {
        return false;
    }
    const std::lock_guard lock(run_->mutex);
    return !run_->done;
}

}  // namespace norvane::devices
