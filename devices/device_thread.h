#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The one way a device object runs a worker (light thread, event reader): a stop signal the
// worker waits on, a bounded cooperative stop, and a join that no thread escapes.
namespace norvane::devices {

// Shared by a worker and its owner. The worker sleeps in Wait* until it is stopped, woken
// or its next step is due; it never polls.
class StopSignal {
public:
    enum class WaitResult { Stopped, Woken, Due };
    using Clock = std::chrono::steady_clock;

    void RequestStop();
    bool StopRequested() const;
    // Makes the next (or current) wait return Woken, e.g. when the worker's input changed.
    void Wake();

    // Until stopped, woken or the deadline. A pending stop wins over a pending wake.
    WaitResult WaitUntil(Clock::time_point deadline) const;
    WaitResult WaitFor(std::chrono::milliseconds period) const { return WaitUntil(Clock::now() + period); }
    // Until stopped or woken.
    WaitResult Wait() const { return WaitUntil(Clock::time_point::max()); }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopped_ = false;
    mutable bool woken_ = false;
};

enum class StopResult {
    NotRunning,  // nothing was started, or it was already joined
    Ended,       // the worker ended within the bound and was joined
    Timeout,     // still running at the bound: reported, joined later
    Error,       // asked from the worker itself, which cannot wait for itself
};

// One worker thread of a device object.
//
// Stop sets the stop signal, runs the cancel action (closing the interface a reader is
// blocked on releases its read), waits up to the bound for the worker to end and joins it.
// A worker that misses the bound is never killed and never detached: it keeps running
// until it sees the signal, and the next Start, Stop or the destructor joins it. The
// destructor waits without limit, so the worker cannot outlive this object; an owner
// declares its DeviceThread members after everything their bodies use, so they are
// destroyed (joined) first. Start, Stop, Wake and Running are called from the owner's
// thread. (A worker that destroys its own DeviceThread cannot join itself; it is let run out
// its body.)
class DeviceThread {
public:
    // Stop bounds: light threads and the mousepad's and headset's event readers; the
    // keyboard's and mouse's event readers.
    static constexpr std::chrono::milliseconds kLightThreadBound{1000};
    static constexpr std::chrono::milliseconds kEventThreadBound{500};

    using Body = std::function<void(const StopSignal&)>;
    using Cancel = std::function<void()>;

    explicit DeviceThread(std::chrono::milliseconds bound = kLightThreadBound) : bound_(bound) {}
    ~DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;

    // Starts body on a new thread with a fresh stop signal; cancel (optional) runs on the
    // stopping thread after the signal is set. False when a worker is still running (also
    // one that missed its bound and has not ended yet).
    bool Start(Body body, Cancel cancel = {});
    // Bounded stop with the diagnostic line of its outcome.
    StopResult Stop();
    // Wakes the running worker's wait (no effect when none runs).
    void Wake();
    // True from Start until the body has returned.
    bool Running() const;
    std::chrono::milliseconds Bound() const { return bound_; }

private:
    struct Run {
        StopSignal signal;
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::atomic<std::thread::id> worker;  // set by the worker as it starts
    };
    bool OnWorker() const;
    // Joins a worker whose body has already returned; true when none is left.
    bool ReapIfDone();

    std::chrono::milliseconds bound_;
    std::shared_ptr<Run> run_;
    Cancel cancel_;
    std::thread thread_;
};

// Diagnostic lines of a stop.
inline constexpr const char* kThreadEndedText = "线程退出：：对象处于激发状态";
inline constexpr const char* kThreadTimeoutText = "线程退出：：对象处于非激发状态，超时";
inline constexpr const char* kThreadErrorText = "线程退出：：错误";

}  // namespace norvane::devices
