// ShownReport: an application event filter that prints the monotonic time at which the first
// top-level window is exposed ("shown <seconds>" on stderr), once, then runs a follow-up on the
// event loop. Used by bench/process to time start-up against a bare window.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>

namespace norvane::app {

class ShownReport final : public QObject {
public:
    explicit ShownReport(std::function<void()> then = {}) : then_(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (reported_ || event->type() != QEvent::Expose) {
            return false;
        }
        const auto* window = qobject_cast<QWindow*>(watched);
        if (window == nullptr || !window->isExposed()) {
            return false;
        }
        reported_ = true;
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        static_cast<void>(
            std::fprintf(stderr, "shown %lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec));
        static_cast<void>(std::fflush(stderr));
        if (then_) {
            QTimer::singleShot(0, this, then_);
        }
        return false;
    }

private:
    std::function<void()> then_;
    bool reported_ = false;
};

}  // namespace norvane::app
