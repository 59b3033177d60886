#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/ipc/bus.h"

namespace norvane::platform::ipc {

// Carries bus events to the thread that should handle them. Install Handler() on the bus;
// the chosen thread takes the events with TryPop (for example in the handler of a window
// message that the notify callback posts) or waits for them with WaitPop.
//
// The notify callback runs on the pushing thread each time an event lands in an empty queue
// (before WaitPop callers wake): a consumer that drains the queue whenever it is notified
// misses nothing, and a burst of events costs one notification. A full queue drops new events (a flooding
// peer cannot grow it without bound) and counts them.
class EventQueue {
public:
    explicit EventQueue(std::size_t capacity = 1024, std::function<void()> notify = {});
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // A handler for IBus::SetEventHandler; the queue must outlive its use by the bus.
    EventHandler Handler();

    // False when the queue is full or closed (the event is dropped).
    bool Push(Event event);
    std::optional<Event> TryPop();
    // Waits up to `timeout` for an event; nothing on time-out or when closed and empty.
    std::optional<Event> WaitPop(std::chrono::milliseconds timeout);

    // Pushes fail from now on; waiters wake.
    void Close();

    std::size_t Size() const;
    std::size_t Dropped() const;

private:
    const std::size_t capacity_;
    const std::function<void()> notify_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Event> events_;
    std::size_t dropped_ = 0;
    bool closed_ = false;
};

}  // namespace norvane::platform::ipc
