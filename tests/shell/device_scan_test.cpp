// The scan: one pass against the simulator, and the scan thread's start, stop and wake.
#include "shell/device_list/device_scan.h"
#include "shell/device_list/udev_wake.h"

#include "devices/device_thread.h"
#include "platform/diag.h"
#include "sim/products.h"
#include "sim/sim_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace norvane::test {
namespace {

using namespace std::chrono_literals;

// Records reports; thread-safe, with a wait for a number of passes.
class RecordingSink : public shell::ScanSink {
public:
    void DeviceArrived(int slot) override { Add("+" + std::to_string(slot)); }
    void DeviceRemoved(int slot) override { Add("-" + std::to_string(slot)); }
    void FirstScanDone() override {
        Add("first");
        ++firsts;
    }
    std::vector<std::string> Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(events_, {});
    }
    bool WaitFor(const std::string& event, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit,
                                 [&] { return std::ranges::find(events_, event) != events_.end(); });
    }
    std::atomic<int> firsts{0};

private:
    void Add(std::string event) {
        {
            const std::lock_guard lock(mutex_);
            events_.push_back(std::move(event));
        }
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
};

// The simulator, with a listing that can be made to fail and that counts enumerations.
class CountingBackend : public sim::SimBackend {
public:
    bool Enumerate(std::vector<std::string>& paths) override {
        ++enumerations;
        return !failListing.load() && sim::SimBackend::Enumerate(paths);
    }
    std::atomic<int> enumerations{0};
    std::atomic<bool> failListing{false};
};

int Row(std::uint16_t vendor, std::uint16_t product, device::DeviceKind kind, device::DeviceRole role) {
    return device::FindCatalogRow(vendor, product, kind, role);
}

class ScanPassTest : public ::testing::Test {
protected:
    CountingBackend backend;
    shell::SlotList slots;
    shell::DeviceScanner scanner{backend, slots};
    RecordingSink sink;
};

TEST_F(ScanPassTest, ArrivalClaimsTheCatalogueCollectionsAndRemovalReleasesThem) {
    sim::SimDevice& mouse = backend.Add(*sim::FindSimProduct("mouse"));
    const std::string command = "+" + std::to_string(Row(0x320F, 0x221C, device::DeviceKind::MouseCable,
                                                         device::DeviceRole::Command));
    const std::string events =
        "+" + std::to_string(Row(0x320F, 0x221C, device::DeviceKind::MouseCable, device::DeviceRole::Event));
    EXPECT_EQ(scanner.RunPass(sink), shell::DeviceScanner::PassResult::Done);
    auto seen = sink.Take();
    std::ranges::sort(seen);
    EXPECT_EQ(seen, (std::vector<std::string>{command, events}));
    // Nothing changed: nothing reported.
    scanner.RunPass(sink);
    EXPECT_TRUE(sink.Take().empty());

    mouse.Unplug();
    scanner.RunPass(sink);
    seen = sink.Take();
    std::ranges::sort(seen);
    EXPECT_EQ(seen, (std::vector<std::string>{"-" + command.substr(1), "-" + events.substr(1)}));
    EXPECT_TRUE(slots.PresentSlots().empty());

    mouse.Plug();
    scanner.RunPass(sink);
    EXPECT_EQ(sink.Take().size(), 2U);
}

TEST_F(ScanPassTest, ASecondDeviceOfAProductWaitsForTheFirstToGo) {
    sim::SimDevice& first = backend.Add(*sim::FindSimProduct("mousepad"));
    scanner.RunPass(sink);
    ASSERT_EQ(sink.Take().size(), 2U);
    backend.Add(*sim::FindSimProduct("mousepad"));
    scanner.RunPass(sink);
    EXPECT_TRUE(sink.Take().empty());
    first.Unplug();
    scanner.RunPass(sink);  // the first one's slots are released ...
    scanner.RunPass(sink);  // ... and the second one claims them
    auto seen = sink.Take();
    EXPECT_EQ(seen.size(), 4U);
    for (const auto& [index, path] : slots.PresentSlots()) {
        EXPECT_NE(path.find("mousepad-2"), std::string::npos) << path;
    }
}

TEST_F(ScanPassTest, EnumeratesOnlyWhileSomeSlotIsFreeAndReportsAFailedListing) {
    scanner.RunPass(sink);
    EXPECT_EQ(backend.enumerations, 1);
    backend.failListing = true;
    EXPECT_EQ(scanner.RunPass(sink), shell::DeviceScanner::PassResult::EnumerationFailed);

    // Every slot taken: removal is still probed, but nothing is listed.
    CountingBackend full;
    shell::SlotList taken;
    for (const char* product :
         {"keyboard", "keyboard-alt", "mouse", "receiver", "mousepad", "headset", "keyboard2"}) {
        full.Add(*sim::FindSimProduct(product));
    }
    shell::DeviceScanner fullScanner(full, taken);
    fullScanner.RunPass(sink);
    ASSERT_FALSE(taken.AnyFree());
    const int listed = full.enumerations;
    fullScanner.RunPass(sink);
    EXPECT_EQ(full.enumerations, listed);
    full.Find("headset")->Unplug();
    sink.Take();
    fullScanner.RunPass(sink);
    EXPECT_EQ(sink.Take().size(), 1U);
}

class ScanThreadTest : public ScanPassTest {};

TEST_F(ScanThreadTest, ReportsTheFirstPassOnceThenHotPlugAndStopsWithinItsBound) {
    shell::ScanThread thread(backend, slots, sink, 2ms);
    platform::diag::ScopedCapture capture;
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start());
    ASSERT_TRUE(sink.WaitFor("first", 2s));
    sim::SimDevice& pad = backend.Add(*sim::FindSimProduct("mousepad"));
    const std::string command =
        std::to_string(Row(0x320F, 0x1004, device::DeviceKind::MousePad, device::DeviceRole::Command));
    ASSERT_TRUE(sink.WaitFor("+" + command, 2s));
    pad.Unplug();
    ASSERT_TRUE(sink.WaitFor("-" + command, 2s));
    EXPECT_EQ(thread.Stop(), devices::StopResult::Ended);
    EXPECT_EQ(sink.firsts, 1);
    EXPECT_FALSE(thread.Running());
    const auto lines = capture.Lines();
    EXPECT_NE(std::ranges::find(lines, std::string(shell::kScanStopText)), lines.end());
}

TEST_F(ScanThreadTest, AStopEndsALongSleepAndAWakeRunsAPassAtOnce) {
    shell::ScanThread thread(backend, slots, sink, 1h);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(sink.WaitFor("first", 2s));
    backend.Add(*sim::FindSimProduct("headset"));
    thread.Wake();
    EXPECT_TRUE(sink.WaitFor(
        "+" + std::to_string(Row(0x0C76, 0x1630, device::DeviceKind::Headset, device::DeviceRole::Command)),
        2s));
    EXPECT_EQ(thread.Stop(), devices::StopResult::Ended);
}

TEST_F(ScanThreadTest, AFailedListingEndsTheThread) {
    backend.failListing = true;
    shell::ScanThread thread(backend, slots, sink, 1ms);
    ASSERT_TRUE(thread.Start());
    for (int i = 0; i < 2000 && thread.Running(); ++i) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(thread.Running());
    EXPECT_EQ(sink.firsts, 0);
    EXPECT_EQ(thread.Stop(), devices::StopResult::Ended);
}

TEST_F(ScanThreadTest, StartStopStormAndDestructionWhileScanning) {
    for (int i = 0; i < 4; ++i) {
        backend.Add(*sim::FindSimProduct("mousepad"));
    }
    for (int round = 0; round < 20; ++round) {
        shell::ScanThread thread(backend, slots, sink, std::chrono::milliseconds(round % 3));
        ASSERT_TRUE(thread.Start());
        if (round % 2 == 0) {
            EXPECT_NE(thread.Stop(), devices::StopResult::Timeout);
        }
        // Odd rounds: the destructor stops and joins the running scan.
    }
    // Whatever the rounds claimed, a slot is present only with a plugged device's path.
    for (const auto& [index, path] : slots.PresentSlots()) {
        EXPECT_TRUE(backend.Probe(path)) << path;
    }
}

TEST(UdevWakeTest, StartsWhereAMonitorCanBeMadeAndAlwaysStopsWithinItsBound) {
    std::atomic<int> wakes{0};
    for (int round = 0; round < 10; ++round) {
        shell::UdevWake wake([&] { ++wakes; });
        if (!wake.Start()) {
            GTEST_SKIP() << "no udev netlink monitor here";
        }
        EXPECT_TRUE(wake.Running());
        if (round % 2 == 0) {
            EXPECT_EQ(wake.Stop(), devices::StopResult::Ended);
            EXPECT_FALSE(wake.Running());
        }
        // Odd rounds: the destructor stops the listener blocked in its poll.
    }
}

}  // namespace
}  // namespace norvane::test
