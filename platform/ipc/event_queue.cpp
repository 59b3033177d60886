#include "platform/ipc/event_queue.h"

#include <utility>

namespace norvane::platform::ipc {

EventQueue::EventQueue(std::size_t capacity, std::function<void()> notify)
    : capacity_(capacity), notify_(std::move(notify)) {
}

EventHandler EventQueue::Handler() {
    return [this](Event event) { Push(std::move(event)); };
}

bool EventQueue::Push(Event event) {
    bool wasEmpty = false;
    {
        const std::scoped_lock lock(mutex_);
        if (closed_ || events_.size() >= capacity_) {
            ++dropped_;
            return false;
        }
        wasEmpty = events_.empty();
        events_.push_back(std::move(event));
    }
    if (wasEmpty && notify_) {
        notify_();
    }
    changed_.notify_all();
    return true;
}

std::optional<Event> EventQueue::TryPop() {
    const std::scoped_lock lock(mutex_);
    if (events_.empty()) {
        return std::nullopt;
    }
    Event event = std::move(events_.front());
    events_.pop_front();
    return event;
}

std::optional<Event> EventQueue::WaitPop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return !events_.empty() || closed_; }) ||
        events_.empty()) {
        return std::nullopt;
    }
    Event event = std::move(events_.front());
    events_.pop_front();
    return event;
}

void EventQueue::Close() {
    {
        const std::scoped_lock lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::size_t EventQueue::Size() const {
    const std::scoped_lock lock(mutex_);
    return events_.size();
}

std::size_t EventQueue::Dropped() const {
    const std::scoped_lock lock(mutex_);
    return dropped_;
}

}  // namespace norvane::platform::ipc
