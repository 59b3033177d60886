#pragma once

#include <mutex>
#include <utility>

// A process-wide factory that the program sets once at start and any thread may use.
namespace norvane::devices::audio {

template <typename Factory>
class FactorySlot {
public:
    void Set(Factory factory) {
        const std::lock_guard lock(mutex_);
        factory_ = std::move(factory);
    }
    Factory Get() const {
        const std::lock_guard lock(mutex_);
        return factory_;
    }

private:
    mutable std::mutex mutex_;
    Factory factory_;
};

}  // namespace norvane::devices::audio
