#include "devices/device_thread.h"

#include "devices/device_workers.h"
#include "devices/usb_device.h"

#include "device/hid_channel.h"
#include "platform/diag.h"
#include "tests/devices/sim_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>

namespace norvane::devices {
namespace {

using namespace std::chrono_literals;

// A worker that waits for its stop signal and counts how often it was woken.
DeviceThread::Body WaitingBody(std::atomic<int>& wakes, std::atomic<bool>& ended) {
    return [&wakes, &ended](const StopSignal& stop) {
        while (stop.Wait() == StopSignal::WaitResult::Woken) {
            ++wakes;
        }
        ended = true;
    };
}

TEST(DeviceThreadTest, StartStopStormEndsEveryWorkerWithinItsBound) {
    const platform::diag::ScopedCapture capture;
    DeviceThread thread(DeviceThread::kEventThreadBound);
    std::atomic<int> wakes{0};
    for (int i = 0; i < 200; ++i) {
        std::atomic<bool> ended{false};
        ASSERT_TRUE(thread.Start(WaitingBody(wakes, ended)));
        if (i % 2 == 0) {
            std::this_thread::yield();  // half of the stops race the worker's first wait
        }
        ASSERT_EQ(thread.Stop(), StopResult::Ended) << i;
        EXPECT_TRUE(ended) << i;
        EXPECT_FALSE(thread.Running());
    }
    EXPECT_EQ(thread.Stop(), StopResult::NotRunning);
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(lines.front(), kThreadEndedText);
    EXPECT_EQ(wakes, 0);
}

TEST(DeviceThreadTest, SecondStartIsRefusedWhileAWorkerRuns) {
    DeviceThread thread;
    std::atomic<int> wakes{0};
    std::atomic<bool> ended{false};
    ASSERT_TRUE(thread.Start(WaitingBody(wakes, ended)));
    EXPECT_FALSE(thread.Start(WaitingBody(wakes, ended)));
    EXPECT_TRUE(thread.Running());
    EXPECT_EQ(thread.Stop(), StopResult::Ended);
}

TEST(DeviceThreadTest, WakeRunsOneStepAndAStepComesWhenItIsDue) {
    DeviceThread thread;
    std::promise<void> woke;
    std::promise<void> due;
    ASSERT_TRUE(thread.Start([&](const StopSignal& stop) {
        // No deadline: sleeps until woken.
        if (stop.Wait() == StopSignal::WaitResult::Woken) {
            woke.set_value();
        }
        if (stop.WaitFor(5ms) == StopSignal::WaitResult::Due) {
            due.set_value();
        }
        stop.Wait();
    }));
    thread.Wake();
    EXPECT_EQ(woke.get_future().wait_for(5s), std::future_status::ready);
    EXPECT_EQ(due.get_future().wait_for(5s), std::future_status::ready);
    EXPECT_EQ(thread.Stop(), StopResult::Ended);
}

TEST(DeviceThreadTest, StopWinsOverAPendingWake) {
    StopSignal signal;
    signal.Wake();
    signal.RequestStop();
    EXPECT_EQ(signal.WaitFor(0ms), StopSignal::WaitResult::Stopped);
    EXPECT_EQ(signal.Wait(), StopSignal::WaitResult::Stopped);
}

// A worker stuck past the bound is reported, not abandoned: it is joined once it ends, and
// no new worker starts before that.
TEST(DeviceThreadTest, WorkerMissingTheBoundIsReportedAndJoinedLater) {
    const platform::diag::ScopedCapture capture;
    DeviceThread thread(20ms);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> ended{false};
    ASSERT_TRUE(thread.Start([released, &ended](const StopSignal&) {
        released.wait();  // ignores the stop signal until the test lets it go
        ended = true;
    }));
    EXPECT_EQ(thread.Stop(), StopResult::Timeout);
    EXPECT_TRUE(thread.Running());
    std::atomic<int> wakes{0};
    std::atomic<bool> other{false};
    EXPECT_FALSE(thread.Start(WaitingBody(wakes, other)));
    release.set_value();
    EXPECT_EQ(thread.Stop(), StopResult::Ended);
    EXPECT_TRUE(ended);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{kThreadTimeoutText, kThreadEndedText}));
}

TEST(DeviceThreadTest, DestructorWaitsForAWorkerThatMissedTheBound) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> ended{false};
    std::thread releaser;
    {
        DeviceThread thread(10ms);
        ASSERT_TRUE(thread.Start([released, &ended](const StopSignal&) {
            released.wait();
            std::this_thread::sleep_for(20ms);
            ended = true;
        }));
        releaser = std::thread([&release] {
            std::this_thread::sleep_for(30ms);
            release.set_value();
        });
    }
    EXPECT_TRUE(ended);  // the destructor returned only after the body had ended
    releaser.join();
}

TEST(DeviceThreadTest, StopFromTheWorkerItselfIsAnError) {
    const platform::diag::ScopedCapture capture;
    DeviceThread thread;
    std::promise<StopResult> inner;
    ASSERT_TRUE(thread.Start([&](const StopSignal& stop) {
        inner.set_value(thread.Stop());
        EXPECT_TRUE(stop.StopRequested());
    }));
    EXPECT_EQ(inner.get_future().get(), StopResult::Error);
    EXPECT_EQ(thread.Stop(), StopResult::Ended);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{kThreadErrorText, kThreadEndedText}));
}

// An event reader blocked in a read without time limit on a silent device: the stop's
// cancel action closes the interface, which releases the read.
class EventReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(link.OpenEvents(channel)); }

    bool StartReader(DeviceThread& reader) {
        return StartEventReader(reader, channel.Cable(), [this](std::uint16_t code) {
            const std::lock_guard lock(mutex);
            codes.push_back(code);
            got.notify_all();
        });
    }
    bool WaitForCodes(std::size_t count) {
        std::unique_lock lock(mutex);
        return got.wait_for(lock, 5s, [&] { return codes.size() >= count; });
    }

    test::SimLink link{"keyboard"};
    device::HidChannel channel;
    std::mutex mutex;
    std::condition_variable got;
    std::vector<std::uint16_t> codes;  // guarded by mutex
};

TEST_F(EventReaderTest, StopReleasesAReaderBlockedOnASilentDevice) {
    DeviceThread reader(DeviceThread::kEventThreadBound);
    ASSERT_TRUE(StartReader(reader));
    link.Device().SendEvent(0x0401);
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(reader.Stop(), StopResult::Ended);
    EXPECT_FALSE(reader.Running());
    EXPECT_FALSE(channel.Cable().IsOpen());
    const std::lock_guard lock(mutex);
    EXPECT_EQ(codes, std::vector<std::uint16_t>{0x0401});
}

TEST_F(EventReaderTest, ReaderSleepsWhileTheInterfaceIsClosedAndGoesOnWhenWoken) {
    DeviceThread reader(DeviceThread::kEventThreadBound);
    ASSERT_TRUE(StartReader(reader));
    channel.Cable().Close();  // the device went away
    ASSERT_TRUE(link.OpenEvents(channel));
    reader.Wake();
    link.Device().SendEvent(0x0402);
    ASSERT_TRUE(WaitForCodes(1));
    EXPECT_EQ(reader.Stop(), StopResult::Ended);
    const std::lock_guard lock(mutex);
    EXPECT_EQ(codes.back(), 0x0402);
}

TEST_F(EventReaderTest, RestartedReaderReadsFromAReopenedInterface) {
    DeviceThread reader(DeviceThread::kEventThreadBound);
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(link.OpenEvents(channel)) << round;
        ASSERT_TRUE(StartReader(reader)) << round;
        if (round % 5 == 0) {
            link.Device().SendEvent(static_cast<std::uint16_t>(0x1000 + round));
            ASSERT_TRUE(WaitForCodes(static_cast<std::size_t>(round / 5 + 1))) << round;
        }
        ASSERT_EQ(reader.Stop(), StopResult::Ended) << round;
    }
}

// A device object that owns its reader, declared after everything the reader uses.
class ReaderDevice : public CTarnexUSBDevice {
public:
    explicit ReaderDevice(std::atomic<int>& seen) : seen_(seen) {}
    bool Start() {
        return StartEventReader(reader_, eventChannel_.Cable(), [this](std::uint16_t) { ++seen_; });
    }
    bool ReaderRunning() const { return reader_.Running(); }

private:
    std::atomic<int>& seen_;
    DeviceThread reader_{DeviceThread::kEventThreadBound};
};

TEST(DeviceObjectThreadTest, DestroyingTheObjectWhileItsReaderBlocksEndsTheReaderFirst) {
    test::SimLink link("mouse");
    const platform::diag::ScopedCapture capture;
    std::atomic<int> seen{0};
    for (int round = 0; round < 10; ++round) {
        auto device = std::make_unique<ReaderDevice>(seen);
        ASSERT_TRUE(link.OpenEvents(device->EventChannel()));
        ASSERT_TRUE(device->Start());
        ASSERT_TRUE(device->ReaderRunning());
        if (round % 2 == 0) {
            std::this_thread::sleep_for(2ms);  // the reader is most likely inside its read
        }
        device.reset();
    }
    EXPECT_EQ(capture.Lines(), std::vector<std::string>(10, kThreadEndedText));
    EXPECT_EQ(seen, 0);
}

}  // namespace
}  // namespace norvane::devices
