#include "ui/message_queue.h"

namespace norvane::ui {

void MessageQueue::Completion::Finish(std::intptr_t value) {
    {
        std::lock_guard lock(mutex);
        finished = true;
        result = value;
    }
    done.notify_all();
}

std::intptr_t MessageQueue::Completion::Wait() {
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return finished; });
    return result;
}

bool MessageQueue::Push(Message message) {
    {
        std::lock_guard lock(mutex_);
        if (!closed_) {
            items_.push_back(std::move(message));
            return true;
        }
    }
    if (message.completion) {
        message.completion->Finish(0);
    }
    return false;
}

std::optional<MessageQueue::Message> MessageQueue::Pop() {
    std::lock_guard lock(mutex_);
    if (items_.empty()) {
        return std::nullopt;
    }
    Message m = std::move(items_.front());
    items_.pop_front();
    return m;
}

bool MessageQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return items_.empty();
}

std::size_t MessageQueue::Size() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

void MessageQueue::Close() {
    std::deque<Message> pending;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        pending.swap(items_);
    }
    for (auto& m : pending) {
        if (m.completion) {
            m.completion->Finish(0);
        }
    }
}

bool MessageQueue::IsClosed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

}  // namespace norvane::ui
