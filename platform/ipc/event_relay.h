#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace norvane::platform::ipc {

// Hands events to one handler, one call at a time, keeping the latest `kHeld` events that
// arrive while no handler is installed. Used by every backend for both Event and PeerEvent.
// The lock is recursive so that a handler may cause another delivery to the same relay on
// its own thread (the in-process bus delivers synchronously).
template <typename EventT>
class EventRelay {
public:
    using Handler = std::function<void(EventT)>;
    static constexpr std::size_t kHeld = 256;

    void SetHandler(Handler handler) {
        const std::scoped_lock lock(mutex_);
        handler_ = std::move(handler);
        while (handler_ && !held_.empty()) {
            EventT event = std::move(held_.front());
            held_.pop_front();
            handler_(std::move(event));
        }
    }

    void Deliver(EventT event) {
        const std::scoped_lock lock(mutex_);
        if (!handler_) {
            if (held_.size() == kHeld) {
                held_.pop_front();
            }
            held_.push_back(std::move(event));
            return;
        }
        handler_(std::move(event));
    }

private:
    std::recursive_mutex mutex_;
    Handler handler_;
    std::deque<EventT> held_;
};

}  // namespace norvane::platform::ipc
