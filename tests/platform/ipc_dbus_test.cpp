// The D-Bus backend against a private session bus: CTest runs every case under
// dbus-run-session, so each case has a bus of its own. Separate processes (norvane-ipc-probe)
// check the single instance; connections inside this process check the messages.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ipc/dbus/dbus_bus.h"
#include "platform/ipc/event_queue.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace norvane::platform::ipc {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

std::string SessionAddress() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return address != nullptr ? address : "";
}

// ---- A child process whose output is read line by line ------------------------------------

// norvane-ipc-probe with extra environment entries ("NAME=value").
class Child : public test::ChildProcess {
public:
    Child(const std::vector<std::string>& env, const std::vector<std::string>& args)
        : ChildProcess(WithProgram(args), env) {}

private:
    static std::vector<std::string> WithProgram(const std::vector<std::string>& args) {
        std::vector<std::string> all = {NORVANE_IPC_PROBE};
        all.insert(all.end(), args.begin(), args.end());
        return all;
    }
};

// ---- Collecting events from the bus threads ---------------------------------------------------

template <typename T>
class Collected {
public:
    std::function<void(T)> Handler() {
        return [this](T event) {
            const std::scoped_lock lock(mutex_);
            events_.push_back(std::move(event));
            changed_.notify_all();
        };
    }
    // Waits until `count` events arrived; returns them all.
    std::vector<T> WaitFor(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [&] { return events_.size() >= count; });
        return events_;
    }
    std::vector<T> Now() {
        const std::scoped_lock lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<T> events_;
};

dbus::Options NoPower() {
    dbus::Options options;
    options.watchPower = false;
    return options;
}

dbus::Options PowerOn(std::string systemAddress) {
    dbus::Options options;
    options.systemAddress = std::move(systemAddress);
    return options;
}

class DBusBusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(SessionAddress().empty()) << "run under dbus-run-session"; }

    std::unique_ptr<IBus> ConnectProgram(dbus::Options options = {}) {
        if (options.lockFolder.empty()) {
            options.lockFolder = lockDir_.Path();
        }
        return dbus::Connect(options);
    }

    // A connection of raw QtDBus, for what no well-behaved peer would send.
    QDBusConnection RawConnection(const QString& name) {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }

    test::TempDir lockDir_;
};

// ---- Single instance across processes ---------------------------------------------------------

TEST_F(DBusBusTest, SecondProcessIsRefusedAndTheFirstIsWoken) {
    test::TempDir runtime;
    const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime.Path().string()};
    Child first(env, {});
    EXPECT_EQ(first.ReadLine(), "bus: session bus, no power watch");
    ASSERT_EQ(first.ReadLine(), "claim: primary");

    Child second(env, {});
    EXPECT_EQ(second.ReadLine(), "bus: session bus, no power watch");
    EXPECT_EQ(second.ReadLine(), "claim: woke the running copy");
    EXPECT_EQ(second.Wait(), 0);

    EXPECT_EQ(first.ReadLine(), "activated");
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(DBusBusTest, WithoutSessionBusTheLockFileRefusesAndWakes) {
    test::TempDir runtime;
    const std::vector<std::string> env = {
        "XDG_RUNTIME_DIR=" + runtime.Path().string(),
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (runtime / "no-bus").string()};
    Child first(env, {});
    EXPECT_EQ(first.ReadLine(), "bus: lock file only, no power watch");
    ASSERT_EQ(first.ReadLine(), "claim: primary");
    EXPECT_TRUE(std::filesystem::exists(runtime / "norvane.lock"));

    Child second(env, {});
    EXPECT_EQ(second.ReadLine(), "bus: lock file only, no power watch");
    EXPECT_EQ(second.ReadLine(), "claim: woke the running copy");
    EXPECT_EQ(second.Wait(), 0);

    EXPECT_EQ(first.ReadLine(), "activated");
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(DBusBusTest, CopyWithoutBusFindsTheCopyOnTheBus) {
    test::TempDir runtime;
    Child first({"XDG_RUNTIME_DIR=" + runtime.Path().string()}, {});
    EXPECT_EQ(first.ReadLine(), "bus: session bus, no power watch");
    ASSERT_EQ(first.ReadLine(), "claim: primary");

    Child second(
        {"XDG_RUNTIME_DIR=" + runtime.Path().string(), "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"},
        {});
    EXPECT_EQ(second.ReadLine(), "bus: lock file only, no power watch");
    EXPECT_EQ(second.ReadLine(), "claim: woke the running copy");
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(first.ReadLine(), "activated");
}

TEST_F(DBusBusTest, NextStartAfterTheFirstEndedRuns) {
    test::TempDir runtime;
    const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime.Path().string()};
    {
        Child first(env, {"100"});
        ASSERT_EQ(first.ReadLine(), "bus: session bus, no power watch");
        ASSERT_EQ(first.ReadLine(), "claim: primary");
        EXPECT_EQ(first.ReadLine(), "timeout");
        EXPECT_EQ(first.Wait(), 3);
    }
    Child next(env, {"100"});
    EXPECT_EQ(next.ReadLine(), "bus: session bus, no power watch");
    EXPECT_EQ(next.ReadLine(), "claim: primary");
}

// ---- Messages inside this process -------------------------------------------------------------

TEST_F(DBusBusTest, SecondConnectionIsRefusedAndWakesTheFirst) {
    Collected<Event> events;
    auto first = ConnectProgram(NoPower());
    first->SetEventHandler(events.Handler());
    ASSERT_EQ(first->ClaimInstance(), InstanceClaim::kPrimary);
    auto second = ConnectProgram(NoPower());
    EXPECT_EQ(second->ClaimInstance(), InstanceClaim::kWokeRunning);
    EXPECT_EQ(events.WaitFor(1), std::vector<Event>{ActivateEvent{}});
}

TEST_F(DBusBusTest, BroadcastReachesAnotherConnection) {
    Collected<PeerEvent> heard;
    Collected<PeerEvent> companionHeard;
    auto program = ConnectProgram(NoPower());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto observer = dbus::ConnectPeer(PeerRole::kObserver);
    auto companion = dbus::ConnectPeer(PeerRole::kAudioRecord);
    ASSERT_TRUE(observer && companion);
    observer->SetEventHandler(heard.Handler());
    companion->SetEventHandler(companionHeard.Handler());

    EXPECT_TRUE(program->BroadcastLightStatus(false));
    EXPECT_TRUE(program->BroadcastLightStatus(true));
    const std::vector<PeerEvent> expected = {LightStatusSignal{false}, LightStatusSignal{true}};
    EXPECT_EQ(heard.WaitFor(2), expected);
    EXPECT_EQ(companionHeard.WaitFor(2), expected);

    // The same signal from a connection that does not own the program's name is not heard.
    QDBusConnection spoofer = RawConnection(QStringLiteral("spoofer"));
    QDBusMessage spoof =
        QDBusMessage::createSignal(QStringLiteral("/io/norvane/Norvane"),
                                   QStringLiteral("io.norvane.Norvane"), QStringLiteral("LightStatus"));
    spoof.setArguments({QVariant::fromValue(1u), QVariant::fromValue(0u)});
    ASSERT_TRUE(spoofer.send(spoof));
    // A marker after it, from the real owner, shows the spoof had its chance to arrive.
    EXPECT_TRUE(program->BroadcastLightStatus(false));
    const auto all = heard.WaitFor(3);
    EXPECT_EQ(all.size(), 3u);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(heard.Now().size(), 3u);
    QDBusConnection::disconnectFromBus(QStringLiteral("spoofer"));
}

TEST_F(DBusBusTest, SimControlIsOfferedOnlyWithAHandler) {
    auto program = ConnectProgram(NoPower());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto outsider = dbus::ConnectPeer(PeerRole::kObserver);
    ASSERT_TRUE(outsider);
    const WireArgs plug = {std::string("plug"), std::string("keyboard")};

    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, plug).error, kErrorUnknownMethod);

    std::mutex mutex;
    std::vector<SimControlRequest> seen;
    program->SetSimControl([&](const SimControlRequest& request) -> std::optional<Refusal> {
        const std::scoped_lock lock(mutex);
        seen.push_back(request);
        if (request.action != "plug") {
            return Refusal{std::string(kErrorInvalidArgs), "unknown action"};
        }
        return std::nullopt;
    });
    EXPECT_TRUE(outsider->CallProgram(kSimControlMethod, plug).ok);
    const CallResult refused =
        outsider->CallProgram(kSimControlMethod, {std::string("dance"), std::string("keyboard")});
    EXPECT_EQ(refused.error, kErrorInvalidArgs);
    EXPECT_EQ(refused.message, "unknown action");
    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, {std::string("plug"), 3u}).error, kErrorInvalidArgs);
    {
        const std::scoped_lock lock(mutex);
        const std::vector<SimControlRequest> expected = {{"plug", "keyboard"}, {"dance", "keyboard"}};
        EXPECT_EQ(seen, expected);
    }

    program->SetSimControl({});
    EXPECT_EQ(outsider->CallProgram(kSimControlMethod, plug).error, kErrorUnknownMethod);
}

TEST_F(DBusBusTest, BadParameterFromOutsideIsRefused) {
    Collected<Event> events;
    auto program = ConnectProgram(NoPower());
    program->SetEventHandler(events.Handler());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto outsider = dbus::ConnectPeer(PeerRole::kObserver);
    ASSERT_TRUE(outsider);

    const CallResult outOfRange = outsider->CallProgram("LightControl", {1u, 7u});
    EXPECT_FALSE(outOfRange.ok);
    EXPECT_EQ(outOfRange.error, "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(outOfRange.message, "LightControl: second parameter must be 0 or 1, got 7");
    const CallResult wrongTypes = outsider->CallProgram("Game_Start", {std::int32_t{0}, std::string("3")});
    EXPECT_EQ(wrongTypes.error, "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(wrongTypes.message, "Game_Start takes (uu), got (is)");
    EXPECT_FALSE(outsider->CallProgram("Game_Kill", {5u, 1u}).ok);
    EXPECT_FALSE(outsider->CallProgram("AudioData", {1u, Bytes(4201, 0)}).ok);
    EXPECT_FALSE(outsider->CallProgram("AudioData", {2u, Bytes(157, 0)}).ok);
    EXPECT_FALSE(outsider->CallProgram("AudioData", {10u, Bytes(40, 0)}).ok);
    EXPECT_EQ(outsider->CallProgram("FirmwareCheck", {0u, 300u}).error,
              "org.freedesktop.DBus.Error.UnknownMethod");
    EXPECT_EQ(outsider->CallProgram("OpenSettings", {}).error, "org.freedesktop.DBus.Error.UnknownMethod");

    // Good ones after the bad: only they arrive, in order.
    EXPECT_TRUE(outsider->CallProgram("AudioData", {1u, Bytes{}}).ok);  // empty: ignored
    EXPECT_TRUE(outsider->CallProgram("LightControl", {1u, 0u}).ok);
    EXPECT_TRUE(outsider->CallProgram("Game_Death", {2u, 255u}).ok);
    EXPECT_TRUE(outsider->CallProgram("AudioData", {1u, Bytes(4200, 9)}).ok);
    EXPECT_TRUE(outsider->CallProgram("ExternalForward", {3u, 4u}).ok);
    EXPECT_TRUE(outsider->CallProgram("DeviceReport", {}).ok);
    const std::vector<Event> expected = {LightControlEvent{false}, GameEvent{GameEventKind::kDeath, 2, 255},
                                         AudioDataEvent{1, Bytes(4200, 9)}, ExternalForwardEvent{3, 4},
                                         DeviceReportEvent{}};
    EXPECT_EQ(events.WaitFor(5), expected);
}

TEST_F(DBusBusTest, IntrospectionOffersOnlyTheNamedMessages) {
    auto program = ConnectProgram(NoPower());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    QDBusConnection raw = RawConnection(QStringLiteral("introspect"));
    const QDBusMessage reply = raw.call(QDBusMessage::createMethodCall(
        QStringLiteral("io.norvane.Norvane"), QStringLiteral("/io/norvane/Norvane"),
        QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect")));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const std::string xml = reply.arguments().value(0).toString().toStdString();
    for (const char* name : {"Activate", "ExternalForward", "LightControl", "DeviceReport", "Game_Start",
                             "Game_End", "Game_Kill", "Game_Death", "AudioData", "LightStatus"}) {
        EXPECT_NE(xml.find(std::string("name=\"") + name + "\""), std::string::npos) << name;
    }
    EXPECT_EQ(xml.find("<method name=\"", xml.find("<signal")), std::string::npos);
    std::size_t methods = 0;
    for (std::size_t at = xml.find("io.norvane.Norvane\">");
         (at = xml.find("<method ", at + 1)) != std::string::npos;) {
        ++methods;
    }
    EXPECT_EQ(methods, 9u) << xml;
    QDBusConnection::disconnectFromBus(QStringLiteral("introspect"));
}

TEST_F(DBusBusTest, CompanionAndTestToolReceiveCheckedCallsAndBlocks) {
    Collected<PeerEvent> companionLog;
    Collected<PeerEvent> toolLog;
    auto program = ConnectProgram(NoPower());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    EXPECT_FALSE(program->AudioRecordPresent());
    EXPECT_FALSE(program->SendAudioCommand(AudioCommand::kAttach, 1)) << "no companion";
    EXPECT_FALSE(program->SendDeviceReport(Bytes(kDeviceReportBytes, 0))) << "no test tool";

    auto companion = dbus::ConnectPeer(PeerRole::kAudioRecord);
    auto tool = dbus::ConnectPeer(PeerRole::kTestTool);
    ASSERT_TRUE(companion && tool);
    EXPECT_FALSE(dbus::ConnectPeer(PeerRole::kAudioRecord)) << "the companion's name has one owner";
    companion->SetEventHandler(companionLog.Handler());
    tool->SetEventHandler(toolLog.Handler());

    EXPECT_TRUE(program->AudioRecordPresent());
    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())));
    EXPECT_TRUE(program->SendAudioCommand(AudioCommand::kBlue, 255));
    EXPECT_FALSE(program->SendAudioCommand(AudioCommand::kBlue, 256));
    const auto colour = MakeAudioColourBlock(1, 2, 3);
    EXPECT_TRUE(program->SendAudioColour(colour));
    EXPECT_FALSE(program->SendAudioColour(Bytes(41, 0)));
    const std::uint8_t version[4] = {2, 3, 0, 2};
    const DeviceReportRow rows[] = {{0x320F, 0x50B7, 1}, {0x0C76, 0x1630, 7}};
    const auto report = MakeDeviceReportBlock(version, rows);
    EXPECT_TRUE(program->SendDeviceReport(*report));

    const std::vector<PeerEvent> expectedCompanion = {
        AudioCommandCall{AudioCommand::kAttach, static_cast<std::uint32_t>(::getpid())},
        AudioCommandCall{AudioCommand::kBlue, 255},
        CopyDataCall{kAudioColourKind, Bytes(colour.begin(), colour.end())}};
    EXPECT_EQ(companionLog.WaitFor(3), expectedCompanion);
    const std::vector<PeerEvent> expectedTool = {
        CopyDataCall{kDeviceReportKind, Bytes(report->begin(), report->end())}};
    EXPECT_EQ(toolLog.WaitFor(1), expectedTool);

    // The companion checks what reaches it too.
    QDBusConnection raw = RawConnection(QStringLiteral("careless"));
    QDBusMessage bad = QDBusMessage::createMethodCall(
        QStringLiteral("io.norvane.Norvane.AudioRecord"), QStringLiteral("/io/norvane/Norvane/AudioRecord"),
        QStringLiteral("io.norvane.Norvane.AudioRecord"), QStringLiteral("Command"));
    bad.setArguments({QVariant::fromValue(6u), QVariant::fromValue(1000u)});
    EXPECT_EQ(raw.call(bad).errorName().toStdString(), "org.freedesktop.DBus.Error.InvalidArgs");
    QDBusConnection::disconnectFromBus(QStringLiteral("careless"));
    EXPECT_EQ(companionLog.Now().size(), 3u);
}

// ---- The power watch ----------------------------------------------------------------------------

// logind, played on the private bus: it owns org.freedesktop.login1 there.
class FakeLogind {
public:
    FakeLogind()
        : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("logind"))) {
        owned_ = connection_.interface()->registerService(QStringLiteral("org.freedesktop.login1")).value() ==
                 QDBusConnectionInterface::ServiceRegistered;
    }
    ~FakeLogind() { QDBusConnection::disconnectFromBus(QStringLiteral("logind")); }
    bool Owned() const { return owned_; }

    static bool Send(QDBusConnection& connection, const QVariant& argument) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal.setArguments({argument});
        return connection.send(signal);
    }
    bool PrepareForSleep(bool start) { return Send(connection_, QVariant::fromValue(start)); }
    bool SendRaw(const QVariant& argument) { return Send(connection_, argument); }

private:
    QDBusConnection connection_;
    bool owned_ = false;
};

TEST_F(DBusBusTest, PowerWatchReportsSuspendAndResumeFromLogindOnly) {
    Collected<Event> events;
    FakeLogind logind;
    ASSERT_TRUE(logind.Owned());
    auto program = ConnectProgram(PowerOn(SessionAddress()));
    EXPECT_EQ(program->Describe(), "session bus, power watch on");
    program->SetEventHandler(events.Handler());

    // From another connection, or with the wrong argument, nothing is reported.
    QDBusConnection spoofer = RawConnection(QStringLiteral("power-spoofer"));
    ASSERT_TRUE(FakeLogind::Send(spoofer, QVariant::fromValue(true)));
    ASSERT_TRUE(logind.SendRaw(QVariant::fromValue(QStringLiteral("yes"))));

    ASSERT_TRUE(logind.PrepareForSleep(true));
    ASSERT_TRUE(logind.PrepareForSleep(false));
    const std::vector<Event> expected = {PowerEvent{PowerChange::kSuspend}, PowerEvent{PowerChange::kResume}};
    EXPECT_EQ(events.WaitFor(2), expected);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(events.Now(), expected);
    QDBusConnection::disconnectFromBus(QStringLiteral("power-spoofer"));
}

TEST_F(DBusBusTest, WithoutSystemBusNoPowerEventIsReported) {
    test::TempDir nowhere;
    auto program = ConnectProgram(PowerOn("unix:path=" + (nowhere / "no-bus").string()));
    EXPECT_EQ(program->Describe(), "session bus, no power watch");
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
}

TEST_F(DBusBusTest, EventsCanBeCarriedToAThreadOfTheCallersChoice) {
    std::atomic<int> notifications{0};
    EventQueue queue(64, [&] { ++notifications; });
    auto program = ConnectProgram(NoPower());
    program->SetEventHandler(queue.Handler());
    ASSERT_EQ(program->ClaimInstance(), InstanceClaim::kPrimary);
    auto outsider = dbus::ConnectPeer(PeerRole::kObserver);
    ASSERT_TRUE(outsider->CallProgram("Game_Start", {0u, 4u}).ok);
    const auto event = queue.WaitPop(5s);
    ASSERT_TRUE(event);
    EXPECT_EQ(*event, Event(GameEvent{GameEventKind::kStart, 0, 4}));
    EXPECT_GE(notifications.load(), 1);
}

}  // namespace
}  // namespace norvane::platform::ipc

int main(int argc, char** argv) {
    // The D-Bus backend needs a QCoreApplication; its loop is not run.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
