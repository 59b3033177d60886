#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "input/hook_messages.h"
#include "input/x11_backend.h"
#include "tests/input/x_grab_probe.h"
#include "tests/support/child_process.h"

namespace norvane::input {
namespace {

using namespace std::chrono_literals;

std::optional<std::string> FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/bin", "/usr/local/bin", "/bin"}) {
        const std::filesystem::path path = std::filesystem::path(dir) / name;
        if (::access(path.c_str(), X_OK) == 0) {
            return path.string();
        }
    }
    return std::nullopt;
}

struct Seen {
    bool key = true;
    unsigned message = 0;
    KeyHookRecord keyRecord;
    MouseHookRecord mouseRecord;
};

class CollectingSink final : public IHookSink {
public:
    void OnKey(unsigned keyMessage, const KeyHookRecord& record) override {
        Push({true, keyMessage, record, {}});
    }
    void OnMouse(unsigned mouseMessage, const MouseHookRecord& record) override {
        Push({false, mouseMessage, {}, record});
    }
    void OnStopped(HookStopReason reason) override {
        std::lock_guard lock(mutex_);
        stopped_ = reason;
        changed_.notify_all();
    }
    // The events once count have come (or what came within the limit).
    std::vector<Seen> WaitFor(std::size_t count, std::chrono::milliseconds limit = 10s) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return seen_.size() >= count; });
        return seen_;
    }
    std::optional<HookStopReason> WaitStopped(std::chrono::milliseconds limit = 10s) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return stopped_.has_value(); });
        return stopped_;
    }

private:
    void Push(const Seen& s) {
        std::lock_guard lock(mutex_);
        seen_.push_back(s);
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Seen> seen_;
    std::optional<HookStopReason> stopped_;
};

class X11BackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto xvfb = FindProgram("Xvfb");
        xdotool_ = FindProgram("xdotool").value_or("");
        if (!xvfb) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        // Parallel cases each start their own server: a number taken by another one makes
        // Xvfb exit without reporting, and the next number is tried.
        for (int attempt = 0; attempt < 20 && display_.empty(); ++attempt) {
            const std::string number = std::to_string(100 + (::getpid() * 7 + attempt * 131) % 800);
            server_.emplace(std::vector<std::string>{*xvfb, ":" + number, "-displayfd", "1", "-noreset",
                                                     "-nolisten", "tcp", "-screen", "0", "800x600x24"});
            if (server_->ReadLine(20s) == number) {
                display_ = ":" + number;
            }
        }
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
    }
    void RequireXdotool() {
        if (xdotool_.empty()) {
            GTEST_SKIP() << "xdotool is not installed";
        }
    }
    int Xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), xdotool_);
        norvane::test::ChildProcess tool(args, {"DISPLAY=" + display_});
        return tool.Wait(20s);
    }
    void TypeAndCheck(bool swallow);
    bool OtherClientCanGrab() { return test::OtherClientCanGrab(display_); }

    std::optional<norvane::test::ChildProcess> server_;
    std::string display_;
    std::string xdotool_;
};

// Grabbed keys come as the grab's key events, free keys as raw events: both give the same records.
TEST_F(X11BackendTest, TypedKeysArriveInOrderWithTheirScanCodes) {
    RequireXdotool();
    for (const bool swallow : {true, false}) {
        SCOPED_TRACE(swallow ? "grabbed" : "not grabbed");
        TypeAndCheck(swallow);
    }
}

void X11BackendTest::TypeAndCheck(bool swallow) {
    X11HookBackend backend(display_);
    CollectingSink sink;
    HookOptions options;
    options.swallowKeys = swallow;
    ASSERT_TRUE(backend.Start(sink, options)) << backend.LastError();
    ASSERT_EQ(Xdotool({"key", "--delay", "5", "a", "Menu", "Up", "KP_Enter", "KP_Divide", "Delete", "Insert",
                       "F11", "XF86AudioRaiseVolume"}),
              0);
    struct Expected {
        std::uint8_t scanCode;
        bool extended;
        std::uint16_t keyCode;
    };
    const Expected expected[] = {{0x1E, false, 0x41}, {0x5D, true, 0x5D},  {0x48, true, 0x26},
                                 {0x1C, true, 0x101}, {0x35, true, 0x6F},  {0x53, true, 0x2E},
                                 {0x52, true, 0x2D},  {0x57, false, 0x7A}, {0x30, true, 0}};
    const std::vector<Seen> seen = sink.WaitFor(2 * std::size(expected));
    backend.Stop();
    std::string order;
    for (const Seen& s : seen) {
        order += (s.message == kWmKeyDown ? " +" : " -") + std::to_string(s.keyRecord.scanCode);
    }
    ASSERT_EQ(seen.size(), 2 * std::size(expected)) << order;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected& e = expected[i / 2];
        ASSERT_TRUE(seen[i].key);
        EXPECT_EQ(seen[i].message, i % 2 == 0 ? kWmKeyDown : kWmKeyUp);
        EXPECT_EQ(seen[i].keyRecord.scanCode, e.scanCode);
        EXPECT_EQ((seen[i].keyRecord.flags & kKeyFlagExtended) != 0, e.extended);
        EXPECT_EQ(seen[i].keyRecord.keyCode, e.keyCode);
    }
}

TEST_F(X11BackendTest, ClicksArriveAsMouseMessagesAtTheCursor) {
    RequireXdotool();
    X11HookBackend backend(display_);
    CollectingSink sink;
    ASSERT_TRUE(backend.Start(sink, {})) << backend.LastError();
    ASSERT_EQ(Xdotool({"mousemove", "30", "40", "click", "1", "click", "3", "click", "2", "click", "8",
                       "click", "9", "click", "4"}),
              0);
    const std::vector<std::pair<unsigned, std::int16_t>> expected = {
        {kWmLButtonDown, 0}, {kWmLButtonUp, 0}, {kWmRButtonDown, 0}, {kWmRButtonUp, 0},
        {kWmMButtonDown, 0}, {kWmMButtonUp, 0}, {kWmXButtonDown, 1}, {kWmXButtonUp, 1},
        {kWmXButtonDown, 2}, {kWmXButtonUp, 2}, {kWmMouseWheel, 120}};
    const std::vector<Seen> seen = sink.WaitFor(expected.size());
    backend.Stop();
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(seen[i].key);
        EXPECT_EQ(seen[i].message, expected[i].first);
        EXPECT_EQ(seen[i].mouseRecord.data, expected[i].second);
        EXPECT_EQ(seen[i].mouseRecord.x, 30);
        EXPECT_EQ(seen[i].mouseRecord.y, 40);
    }
}

TEST_F(X11BackendTest, TheKeyboardIsGrabbedWhileKeysAreSwallowedAndReleasedAfter) {
    X11HookBackend backend(display_);
    CollectingSink sink;
    ASSERT_TRUE(OtherClientCanGrab());
    ASSERT_TRUE(backend.Start(sink, {}));
    EXPECT_FALSE(OtherClientCanGrab());
    backend.Stop();
    EXPECT_TRUE(OtherClientCanGrab());

    HookOptions mouseOnly;
    mouseOnly.keyboard = false;
    mouseOnly.swallowKeys = false;
    ASSERT_TRUE(backend.Start(sink, mouseOnly));
    EXPECT_TRUE(OtherClientCanGrab());
    backend.Stop();
}

// Other programs get no keys while they are swallowed, Caps Lock still locks, and after the
// stop the keys reach them again.
TEST_F(X11BackendTest, SwallowedKeysReachNoOtherProgramButCapsLockStillToggles) {
    RequireXdotool();
    test::FocusedWindow other(display_);
    ASSERT_TRUE(other.Ready());
    ASSERT_EQ(Xdotool({"key", "b"}), 0);
    const int before = other.KeyPresses();
    ASSERT_GE(before, 1);
    ASSERT_FALSE(test::CapsLockOn(display_));

    X11HookBackend backend(display_);
    CollectingSink sink;
    ASSERT_TRUE(backend.Start(sink, {}));
    ASSERT_EQ(Xdotool({"key", "b", "Caps_Lock"}), 0);
    EXPECT_EQ(sink.WaitFor(4).size(), 4U);
    EXPECT_EQ(other.KeyPresses(), before);
    EXPECT_TRUE(test::CapsLockOn(display_));
    backend.Stop();

    ASSERT_EQ(Xdotool({"key", "b"}), 0);
    EXPECT_GT(other.KeyPresses(), before);
}

TEST_F(X11BackendTest, AGrabHeldByAnotherClientFailsTheStart) {
    auto other = std::make_unique<test::HeldGrab>(display_);
    ASSERT_TRUE(other->Held());
    X11HookBackend backend(display_);
    CollectingSink sink;
    EXPECT_FALSE(backend.Start(sink, {}));
    EXPECT_FALSE(backend.IsRunning());
    EXPECT_NE(backend.LastError().find("keyboard"), std::string::npos) << backend.LastError();
    other.reset();
    EXPECT_TRUE(backend.Start(sink, {})) << backend.LastError();
    backend.Stop();
}

TEST_F(X11BackendTest, AServerThatGoesAwayStopsTheCaptureWithAReason) {
    X11HookBackend backend(display_);
    CollectingSink sink;
    ASSERT_TRUE(backend.Start(sink, {}));
    server_.reset();  // kills Xvfb
    EXPECT_EQ(sink.WaitStopped(), HookStopReason::DisplayLost);
    backend.Stop();
    EXPECT_FALSE(backend.IsRunning());
    EXPECT_FALSE(backend.Start(sink, {}));
}

TEST_F(X11BackendTest, AKilledProgramLeavesNoGrab) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        X11HookBackend backend(display_);
        CollectingSink sink;
        const char ok = backend.Start(sink, {}) ? '1' : '0';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_FALSE(OtherClientCanGrab());
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    // The server notices the closed connection when it next reads it.
    bool released = false;
    for (int attempt = 0; attempt < 100 && !released; ++attempt) {
        released = OtherClientCanGrab();
        if (!released) {
            std::this_thread::sleep_for(20ms);
        }
    }
    EXPECT_TRUE(released);
}

}  // namespace
}  // namespace norvane::input
