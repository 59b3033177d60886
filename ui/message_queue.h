#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace norvane::ui {

// The messages waiting for one window's UI thread, in arrival order. Sent messages carry a
// completion the sender waits on; closing the queue completes them all with 0.
class MessageQueue {
public:
    struct Completion {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::intptr_t result = 0;
        void Finish(std::intptr_t value);
        std::intptr_t Wait();
    };
    struct Message {
        unsigned msg = 0;
        std::intptr_t wparam = 0;
        std::intptr_t lparam = 0;
        std::shared_ptr<Completion> completion;  // set for sent messages
    };

    // False when the queue is closed (the message is dropped, a completion finished with 0).
    bool Push(Message message);
    std::optional<Message> Pop();
    bool Empty() const;
    std::size_t Size() const;
    void Close();
    bool IsClosed() const;

private:
    mutable std::mutex mutex_;
    std::deque<Message> items_;
    bool closed_ = false;
};

}  // namespace norvane::ui
