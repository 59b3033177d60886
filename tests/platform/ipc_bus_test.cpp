// The in-process bus (the test double of the main window's tests), the event queue that
// carries events to the thread of the caller's choice, and the lock-file single instance.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ipc/event_queue.h"
#include "platform/ipc/in_process_bus.h"
#include "platform/ipc/instance_lock.h"
#include "platform/unique_fd.h"
#include "tests/support/temp_dir.h"

namespace norvane::platform::ipc {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Collects peer events under a lock.
class PeerLog {
public:
    PeerEventHandler Handler() {
        return [this](PeerEvent event) {
            const std::scoped_lock lock(mutex_);
            events_.push_back(std::move(event));
        };
    }
    std::vector<PeerEvent> Events() const {
        const std::scoped_lock lock(mutex_);
        return events_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<PeerEvent> events_;
};

TEST(InProcessBusTest, FirstClaimIsPrimaryAndTheSecondWakesIt) {
    InProcessBus bus;
    auto first = bus.ConnectProgram();
    EventQueue events;
    first->SetEventHandler(events.Handler());
    EXPECT_EQ(first->ClaimInstance(), InstanceClaim::kPrimary);

    auto second = bus.ConnectProgram();
    EXPECT_EQ(second->ClaimInstance(), InstanceClaim::kWokeRunning);
    EXPECT_EQ(events.TryPop(), std::optional<Event>(ActivateEvent{}));
    EXPECT_FALSE(events.TryPop());

    // Once the first copy is gone, the next start runs.
    first.reset();
    auto third = bus.ConnectProgram();
    EXPECT_EQ(third->ClaimInstance(), InstanceClaim::kPrimary);
}

TEST(InProcessBusTest, EventsBeforeTheHandlerAreKeptInOrder) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto game = bus.ConnectPeer(PeerRole::kObserver);
    EXPECT_TRUE(game->CallProgram(kGameStartMethod, {0u, 5u}).ok);
    EXPECT_TRUE(game->CallProgram(kLightControlMethod, {1u, 0u}).ok);

    std::vector<Event> seen;
    program->SetEventHandler([&](Event event) { seen.push_back(std::move(event)); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], Event(GameEvent{GameEventKind::kStart, 0, 5}));
    EXPECT_EQ(seen[1], Event(LightControlEvent{false}));
}

TEST(InProcessBusTest, BadParametersFromOutsideAreRefusedAndNeverDelivered) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    EventQueue events;
    program->SetEventHandler(events.Handler());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto outsider = bus.ConnectPeer(PeerRole::kObserver);

    const CallResult badControl = outsider->CallProgram(kLightControlMethod, {1u, 7u});
    EXPECT_FALSE(badControl.ok);
    EXPECT_EQ(badControl.error, kErrorInvalidArgs);
    EXPECT_FALSE(outsider->CallProgram(kGameDeathMethod, {3u, 1u}).ok);
    EXPECT_FALSE(outsider->CallProgram(kAudioDataMethod, {1u, Bytes(4201, 1)}).ok);
    const CallResult privateMessage = outsider->CallProgram("FirmwareCheck", {0u, 0u});
    EXPECT_EQ(privateMessage.error, kErrorUnknownMethod);
    EXPECT_EQ(events.Size(), 0u);

    // An empty audio block is answered and ignored.
    EXPECT_TRUE(outsider->CallProgram(kAudioDataMethod, {2u, Bytes{}}).ok);
    EXPECT_EQ(events.Size(), 0u);
    EXPECT_TRUE(outsider->CallProgram(kAudioDataMethod, {2u, Bytes(156, 3)}).ok);
    EXPECT_EQ(events.TryPop(), std::optional<Event>(AudioDataEvent{2, Bytes(156, 3)}));
}

TEST(InProcessBusTest, CallsReachOnlyTheRunningCopy) {
    InProcessBus bus;
    auto outsider = bus.ConnectPeer(PeerRole::kObserver);
    EXPECT_EQ(outsider->CallProgram(kActivateMethod, {}).error, "org.freedesktop.DBus.Error.ServiceUnknown");

    auto first = bus.ConnectProgram();
    auto second = bus.ConnectProgram();
    EventQueue firstEvents;
    EventQueue secondEvents;
    first->SetEventHandler(firstEvents.Handler());
    second->SetEventHandler(secondEvents.Handler());
    ASSERT_EQ(first->ClaimInstance(), InstanceClaim::kPrimary);
    ASSERT_EQ(second->ClaimInstance(), InstanceClaim::kWokeRunning);
    firstEvents.TryPop();  // the wake-up
    EXPECT_TRUE(outsider->CallProgram(kDeviceReportMethod, {}).ok);
    EXPECT_EQ(firstEvents.TryPop(), std::optional<Event>(DeviceReportEvent{}));
    EXPECT_EQ(secondEvents.Size(), 0u);
}

TEST(InProcessBusTest, SimControlExistsOnlyWhileAHandlerIsInstalled) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto outsider = bus.ConnectPeer(PeerRole::kObserver);

    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, {std::string("plug"), std::string("keyboard")}).error,
              kErrorUnknownMethod);

    std::vector<SimControlRequest> seen;
    program->SetSimControl([&](const SimControlRequest& request) -> std::optional<Refusal> {
        seen.push_back(request);
        if (request.product != "keyboard") {
            return Refusal{std::string(kErrorInvalidArgs), "unknown product"};
        }
        return std::nullopt;
    });
    EXPECT_TRUE(
        outsider->CallProgram(kSimControlMethod, {std::string("unplug"), std::string("keyboard")}).ok);
    const CallResult refused =
        outsider->CallProgram(kSimControlMethod, {std::string("plug"), std::string("toaster")});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, kErrorInvalidArgs);
    EXPECT_EQ(refused.message, "unknown product");
    // Wrong types never reach the handler.
    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, {1u, std::string("keyboard")}).error,
              kErrorInvalidArgs);
    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, {std::string("plug")}).error, kErrorInvalidArgs);
    const std::vector<SimControlRequest> expected = {{"unplug", "keyboard"}, {"plug", "toaster"}};
    EXPECT_EQ(seen, expected);

    program->SetSimControl({});
    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, {std::string("plug"), std::string("keyboard")}).error,
              kErrorUnknownMethod);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(InProcessBusTest, LightStatusReachesEveryPeer) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    auto a = bus.ConnectPeer(PeerRole::kObserver);
    auto b = bus.ConnectPeer(PeerRole::kAudioRecord);
    PeerLog logA;
    PeerLog logB;
    a->SetEventHandler(logA.Handler());
    b->SetEventHandler(logB.Handler());
    EXPECT_TRUE(program->BroadcastLightStatus(true));
    EXPECT_TRUE(program->BroadcastLightStatus(false));
    const std::vector<PeerEvent> expected = {LightStatusSignal{true}, LightStatusSignal{false}};
    EXPECT_EQ(logA.Events(), expected);
    EXPECT_EQ(logB.Events(), expected);
}

TEST(InProcessBusTest, CompanionGetsCheckedCommandsAndTheColourBlock) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    EXPECT_FALSE(program->AudioRecordPresent());
    EXPECT_FALSE(program->SendAudioCommand(AudioCommand::kOpen, 0));  // absent: nothing happens

    auto companion = bus.ConnectPeer(PeerRole::kAudioRecord);
    ASSERT_TRUE(companion);
    EXPECT_FALSE(bus.ConnectPeer(PeerRole::kAudioRecord)) << "the companion's name has one owner";
    PeerLog log;
    companion->SetEventHandler(log.Handler());
    EXPECT_TRUE(program->AudioRecordPresent());

    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kAttach, 4242));
    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kOpen, 0));
    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kStartCapture, 0));
    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kRed, 255));
    EXPECT_FALSE(program->SendAudioCommand(AudioCommand::kGreen, 256));
    EXPECT_FALSE(program->SendAudioCommand(AudioCommand::kClose, 1));
    EXPECT_FALSE(program->SendAudioCommand(static_cast<AudioCommand>(9), 0));
    const auto colour = MakeAudioColourBlock(10, 0, 30);
    EXPECT_TRUE(program->SendAudioColour(colour));
    EXPECT_FALSE(program->SendAudioColour(Bytes(39, 0)));

    const std::vector<PeerEvent> expected = {
        AudioCommandCall{AudioCommand::kAttach, 4242}, AudioCommandCall{AudioCommand::kOpen, 0},
        AudioCommandCall{AudioCommand::kStartCapture, 0}, AudioCommandCall{AudioCommand::kRed, 255},
        CopyDataCall{kAudioColourKind, Bytes(colour.begin(), colour.end())}};
    EXPECT_EQ(log.Events(), expected);
}

TEST(InProcessBusTest, DeviceReportGoesToTheTestToolWhenItRuns) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    const std::uint8_t version[4] = {2, 3, 0, 2};
    const DeviceReportRow rows[] = {{0x320F, 0x50B7, 1}};
    const auto block = MakeDeviceReportBlock(version, rows);
    ASSERT_TRUE(block);
    EXPECT_FALSE(program->SendDeviceReport(*block)) << "no test tool: nothing happens";

    auto tool = bus.ConnectPeer(PeerRole::kTestTool);
    PeerLog log;
    tool->SetEventHandler(log.Handler());
    EXPECT_FALSE(program->SendDeviceReport(Bytes(1000, 0)));
    EXPECT_TRUE(program->SendDeviceReport(*block));
    const std::vector<PeerEvent> expected = {
        CopyDataCall{kDeviceReportKind, Bytes(block->begin(), block->end())}};
    EXPECT_EQ(log.Events(), expected);
}

TEST(InProcessBusTest, PowerEventsReachTheProgram) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    EventQueue events;
    program->SetEventHandler(events.Handler());
    bus.EmitPower(PowerChange::kSuspend);
    bus.EmitPower(PowerChange::kResume);
    EXPECT_EQ(events.TryPop(), std::optional<Event>(PowerEvent{PowerChange::kSuspend}));
    EXPECT_EQ(events.TryPop(), std::optional<Event>(PowerEvent{PowerChange::kResume}));
}

TEST(InProcessBusTest, EndpointsOutliveTheBus) {
    auto bus = std::make_unique<InProcessBus>();
    auto program = bus->ConnectProgram();
    auto peer = bus->ConnectPeer(PeerRole::kObserver);
    bus.reset();
    EXPECT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    EXPECT_TRUE(peer->CallProgram(kActivateMethod, {}).ok);
}

TEST(InProcessBusTest, ManyThreadsCallingAtOnceLoseNothing) {
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    EventQueue events(100000);
    program->SetEventHandler(events.Handler());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    constexpr int kThreads = 4;
    constexpr std::uint32_t kCalls = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            auto peer = bus.ConnectPeer(PeerRole::kObserver);
            for (std::uint32_t i = 0; i < kCalls; ++i) {
                EXPECT_TRUE(peer->CallProgram(kExternalForwardMethod, {static_cast<std::uint32_t>(t), i}).ok);
                program->BroadcastLightStatus(i % 2 == 0);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // Per sender, the events arrive in the order sent.
    std::vector<std::uint32_t> next(kThreads, 0);
    while (auto event = events.TryPop()) {
        const auto& forward = std::get<ExternalForwardEvent>(*event);
        EXPECT_EQ(forward.second, next[forward.first]++);
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(next[t], kCalls);
    }
}

TEST(EventQueueTest, NotifiesOncePerEmptyToFullTransition) {
    std::atomic<int> notified{0};
    EventQueue queue(8, [&] { ++notified; });
    queue.Push(ActivateEvent{});
    queue.Push(DeviceReportEvent{});
    EXPECT_EQ(notified, 1);
    while (queue.TryPop()) {
    }
    queue.Push(ActivateEvent{});
    EXPECT_EQ(notified, 2);
}

TEST(EventQueueTest, FullQueueDropsAndCounts) {
    EventQueue queue(2);
    EXPECT_TRUE(queue.Push(ActivateEvent{}));
    EXPECT_TRUE(queue.Push(ActivateEvent{}));
    EXPECT_FALSE(queue.Push(ActivateEvent{}));
    EXPECT_EQ(queue.Dropped(), 1u);
    queue.Close();
    EXPECT_FALSE(queue.Push(DeviceReportEvent{}));
    EXPECT_TRUE(queue.TryPop());
}

TEST(EventQueueTest, ConsumerThreadDrainingOnNotifyMissesNothing) {
    // The pattern of the main window: the notify callback posts a message; the UI thread
    // drains the queue on that message. Here a counter and a thread play both parts.
    std::mutex mutex;
    std::condition_variable posted;
    int pending = 0;
    EventQueue queue(100000, [&] {
        const std::scoped_lock lock(mutex);
        ++pending;
        posted.notify_one();
    });
    constexpr std::uint32_t kEvents = 5000;
    std::atomic<bool> producing{true};
    std::uint32_t received = 0;
    std::thread ui([&] {
        for (;;) {
            {
                std::unique_lock lock(mutex);
                posted.wait_for(lock, 100ms, [&] { return pending > 0 || !producing; });
                if (pending == 0 && !producing && queue.Size() == 0) {
                    return;
                }
                pending = 0;
            }
            while (auto event = queue.TryPop()) {
                EXPECT_EQ(std::get<ExternalForwardEvent>(*event).second, received);
                ++received;
            }
        }
    });
    InProcessBus bus;
    auto program = bus.ConnectProgram();
    program->SetEventHandler(queue.Handler());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto peer = bus.ConnectPeer(PeerRole::kObserver);
    for (std::uint32_t i = 0; i < kEvents; ++i) {
        peer->CallProgram(kExternalForwardMethod, {0u, i});
    }
    {
        const std::scoped_lock lock(mutex);
        producing = false;
        posted.notify_one();
    }
    ui.join();
    EXPECT_EQ(received, kEvents);
}

TEST(EventQueueTest, WaitPopTimesOutAndWakesOnPush) {
    EventQueue queue;
    EXPECT_FALSE(queue.WaitPop(10ms));
    std::thread pusher([&] {
        std::this_thread::sleep_for(20ms);
        queue.Push(ActivateEvent{});
    });
    EXPECT_EQ(queue.WaitPop(5s), std::optional<Event>(ActivateEvent{}));
    pusher.join();
}

// ---- The lock file ------------------------------------------------------------------------

TEST(InstanceLockTest, SecondHolderWakesTheFirst) {
    test::TempDir dir;
    std::atomic<int> woken{0};
    InstanceLock first(dir.Path());
    ASSERT_EQ(first.Acquire([&] { ++woken; }), InstanceLock::Result::kAcquired);
    EXPECT_TRUE(std::filesystem::exists(dir / InstanceLock::kSocketName));

    InstanceLock second(dir.Path());
    EXPECT_EQ(second.Acquire([] {}), InstanceLock::Result::kWokeRunning);
    // Wake returns once the holder has read the line; the callback follows at once.
    for (int i = 0; i < 200 && woken == 0; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(woken, 1);
}

TEST(InstanceLockTest, LockIsFreedWhenTheHolderEnds) {
    test::TempDir dir;
    {
        InstanceLock first(dir.Path());
        ASSERT_EQ(first.Acquire({}), InstanceLock::Result::kAcquired);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / InstanceLock::kSocketName));
    InstanceLock again(dir.Path());
    EXPECT_EQ(again.Acquire({}), InstanceLock::Result::kAcquired);
}

TEST(InstanceLockTest, StaleSocketOfACrashedHolderIsReplaced) {
    test::TempDir dir;
    test::WriteText(dir / InstanceLock::kSocketName, "left behind");
    InstanceLock lock(dir.Path());
    std::atomic<int> woken{0};
    ASSERT_EQ(lock.Acquire([&] { ++woken; }), InstanceLock::Result::kAcquired);
    EXPECT_TRUE(InstanceLock::Wake(dir.Path()));
    for (int i = 0; i < 200 && woken == 0; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(woken, 1);
}

TEST(InstanceLockTest, AnythingButTheWakeLineIsIgnored) {
    test::TempDir dir;
    std::atomic<int> woken{0};
    InstanceLock lock(dir.Path());
    ASSERT_EQ(lock.Acquire([&] { ++woken; }), InstanceLock::Result::kAcquired);
    for (const std::string_view junk :
         {"", "NORVANE activate", "hello there, this is not it\n", "NORVANE activatE\n"}) {
        UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (dir / InstanceLock::kSocketName).string();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ASSERT_EQ(::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(::send(fd.Get(), junk.data(), junk.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(junk.size()));
        ::shutdown(fd.Get(), SHUT_WR);
        char byte = 0;
        ::recv(fd.Get(), &byte, 1, 0);  // the holder closes its end when done
    }
    // A good line after the junk still works.
    EXPECT_TRUE(InstanceLock::Wake(dir.Path()));
    for (int i = 0; i < 200 && woken == 0; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(woken, 1);
}

TEST(InstanceLockTest, HolderThatDoesNotListenIsReportedNotWoken) {
    test::TempDir dir;
    // Another process would hold the lock; here a second open file description does.
    UniqueFd holder(::open((dir / InstanceLock::kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    ASSERT_EQ(::flock(holder.Get(), LOCK_EX | LOCK_NB), 0);
    InstanceLock lock(dir.Path());
    EXPECT_EQ(lock.Acquire({}), InstanceLock::Result::kRunningNotWoken);
}

TEST(InstanceLockTest, MissingFolderIsUnavailable) {
    test::TempDir dir;
    InstanceLock lock(dir / "missing");
    EXPECT_EQ(lock.Acquire({}), InstanceLock::Result::kUnavailable);
}

TEST(InstanceLockTest, DefaultFolderIsTheRuntimeDirOrAPrivateFolder) {
    test::TempDir dir;
    {
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.Path().string());
        EXPECT_EQ(InstanceLock::DefaultFolder(), dir.Path());
    }
    test::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    test::ScopedEnv tmp("TMPDIR", dir.Path().string());
    const auto folder = InstanceLock::DefaultFolder();
    EXPECT_EQ(folder, dir / ("norvane-" + std::to_string(::getuid())));
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A folder others may enter is not used.
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(InstanceLock::DefaultFolder().empty());
    ::chmod(folder.c_str(), 0700);
    // Nor a symbolic link in its place.
    std::filesystem::remove(folder);
    std::filesystem::create_directory(dir / "elsewhere");
    std::filesystem::create_directory_symlink(dir / "elsewhere", folder);
    EXPECT_TRUE(InstanceLock::DefaultFolder().empty());
}

}  // namespace
}  // namespace norvane::platform::ipc
