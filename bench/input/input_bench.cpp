#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "input/hook_messages.h"
#include "input/x11_backend.h"
#include "input/x11_keycodes.h"
#include "tests/support/child_process.h"

namespace {

using namespace std::chrono_literals;
using norvane::input::HookOptions;
using norvane::input::KeyHookRecord;
using norvane::input::X11HookBackend;

// Keys without modifier meaning, cycled through so order can be checked.
constexpr unsigned kKeycodes[] = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46};

class CountingSink final : public norvane::input::IHookSink {
public:
    void OnKey(unsigned keyMessage, const KeyHookRecord& record) override {
        std::lock_guard lock(mutex_);
        keys_.push_back({keyMessage, record.scanCode});
        changed_.notify_all();
    }
    void OnMouse(unsigned, const norvane::input::MouseHookRecord&) override {}
    void OnStopped(norvane::input::HookStopReason) override {}
    std::vector<std::pair<unsigned, std::uint8_t>> Take(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 30s, [&] { return keys_.size() >= count; });
        return std::exchange(keys_, {});
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<unsigned, std::uint8_t>> keys_;
};

void BM_X11KeyEvents(benchmark::State& state) {
    if (::access("/usr/bin/Xvfb", X_OK) != 0) {
        state.SkipWithError("Xvfb is not installed");
        return;
    }
    norvane::test::ChildProcess server({"/usr/bin/Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp"});
    const auto number = server.ReadLine(20s);
    if (!number) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    const std::string display = ":" + *number;
    Display* sender = XOpenDisplay(display.c_str());
    X11HookBackend backend(display);
    CountingSink sink;
    HookOptions options;
    options.swallowKeys = state.range(1) != 0;
    if (sender == nullptr || !backend.Start(sink, options)) {
        state.SkipWithError("cannot capture on Xvfb");
        return;
    }
    const auto pairs = static_cast<std::size_t>(state.range(0));
    std::size_t lost = 0;
    std::size_t misordered = 0;
    std::size_t delivered = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < pairs; ++i) {
            const unsigned keycode = kKeycodes[i % std::size(kKeycodes)];
            XTestFakeKeyEvent(sender, keycode, True, CurrentTime);
            XTestFakeKeyEvent(sender, keycode, False, CurrentTime);
        }
        XFlush(sender);
        const auto keys = sink.Take(2 * pairs);
        delivered += keys.size();
        lost += 2 * pairs - std::min(keys.size(), 2 * pairs);
        for (std::size_t i = 0; i < keys.size() && i < 2 * pairs; ++i) {
            const auto expected =
                norvane::input::ScanCodeOfXKeycode(kKeycodes[(i / 2) % std::size(kKeycodes)]);
            const unsigned message = i % 2 == 0 ? norvane::input::kWmKeyDown : norvane::input::kWmKeyUp;
            if (!expected || keys[i].first != message || keys[i].second != expected->scanCode) {
                ++misordered;
            }
        }
    }
    backend.Stop();
    XCloseDisplay(sender);
    state.counters["events_per_s"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
    state.counters["lost"] = static_cast<double>(lost);
    state.counters["misordered"] = static_cast<double>(misordered);
    if (lost != 0 || misordered != 0) {
        state.SkipWithError("events were lost or reordered");
    }
}
// Arguments: key press/release pairs per burst, keyboard grabbed (1) or not (0).
BENCHMARK(BM_X11KeyEvents)
    ->Args({500, 1})
    ->Args({500, 0})
    ->Args({5000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
