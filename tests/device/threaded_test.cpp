#include "device/commands.h"
#include "platform/diag.h"
#include "sim/products.h"
#include "tests/device/fake_sysfs.h"
#include "tests/device/sim_fixture.h"

#include <sys/socket.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace norvane::device {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class ChannelThreadTest : public test::SimChannelTest {
protected:
    // Each request on the wire is followed at once by its answer.
    void ExpectRequestsAnsweredInTurn() {
        const auto wire = device_->WireLog();
        ASSERT_EQ(wire.size() % 2, 0u);
        for (std::size_t i = 0; i + 1 < wire.size(); i += 2) {
            ASSERT_EQ(wire[i].direction, sim::WireDirection::HostToDevice) << i;
            ASSERT_EQ(wire[i + 1].direction, sim::WireDirection::DeviceToHost) << i;
            ASSERT_EQ(wire[i].bytes[3], wire[i + 1].bytes[3]) << i;
        }
    }

    std::size_t Count(std::uint8_t command) {
        std::size_t n = 0;
        for (const auto& request : Sent()) {
            n += request[3] == command ? 1 : 0;
        }
        return n;
    }
};

bool WaitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 400; ++i) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

TEST_F(ChannelThreadTest, CloseEndsAReadWaitingWithoutLimit) {
    Connect("keyboard");
    HidInterface events(backend_.get());
    ASSERT_TRUE(events.Open("sim:keyboard:1#vid_320f&pid_50b7&mi_01&col03", true, true, true, false));
    auto reader = std::async(std::launch::async, [&] {
        Bytes report(3);
        std::size_t count = 0;
        return events.ReadReport(report, count, -1);
    });
    ASSERT_TRUE(WaitUntil([&] { return events.IsReading(); }));
    events.Close();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(reader.get());
}

TEST_F(ChannelThreadTest, ClosingTheInterfaceEndsAnExchangeWaitingForItsAnswer) {
    Connect("keyboard");
    channel_.SetTimeouts(10000, 10000);
    device_->InjectFault({sim::FaultKind::HoldAnswer, 0x01});
    auto command = std::async(std::launch::async, [&] { return BeginConfig(channel_); });
    ASSERT_TRUE(device_->WaitForHeldRequest(2000));
    channel_.SetOpen(false);
    channel_.Cable().Close();
    ASSERT_EQ(command.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(command.get(), 0);
}

TEST_F(ChannelThreadTest, LightChunksAreDroppedWhileARequestWaitsForItsAnswer) {
    Connect("keyboard");
    channel_.SetTimeouts(5000, 5000);
    device_->InjectFault({sim::FaultKind::HoldAnswer, 0x15});
    const Bytes macro = test::Pattern(130, 3);
    auto command = std::async(std::launch::async, [&] { return WriteMacroMemory(channel_, macro); });
    ASSERT_TRUE(device_->WaitForHeldRequest(2000));
    EXPECT_TRUE(channel_.IsBusy());
    {
        platform::diag::ScopedCapture capture;
        EXPECT_EQ(WriteLightFrame(channel_, test::Pattern(130, 9)), 1);
        const auto lines = capture.Lines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "放弃灯光数据"), 3);
    }
    EXPECT_EQ(Count(0x12), 0u);
    device_->ReleaseHeldAnswers();
    ASSERT_EQ(command.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(command.get(), 1);
    ExpectRequestsAnsweredInTurn();
    EXPECT_EQ(Count(0x15), 3u);
}

TEST_F(ChannelThreadTest, ACommandWaitsUntilTheLightChunkInFlightIsAnswered) {
    Connect("keyboard");
    channel_.SetTimeouts(5000, 5000);
    device_->InjectFault({sim::FaultKind::HoldAnswer, 0x12});
    auto light =
        std::async(std::launch::async, [&] { return WriteLightFrame(channel_, test::Pattern(40, 1)); });
    ASSERT_TRUE(device_->WaitForHeldRequest(2000));
    // The command lock is free: the command starts, then waits for the I/O lock.
    auto command =
        std::async(std::launch::async, [&] { return WriteMacroMemory(channel_, test::Pattern(130, 2)); });
    EXPECT_EQ(command.wait_for(50ms), std::future_status::timeout);
    EXPECT_EQ(Count(0x15), 0u);
    device_->ReleaseHeldAnswers();
    ASSERT_EQ(light.wait_for(2s), std::future_status::ready);
    ASSERT_EQ(command.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(light.get(), 1);
    EXPECT_EQ(command.get(), 1);
    ExpectRequestsAnsweredInTurn();
    EXPECT_EQ(Sent().front()[3], 0x12);
}

TEST_F(ChannelThreadTest, ALightFramePassesWhileACommandWaitsForItsNextChunk) {
    Connect("keyboard");
    // The command lock is taken per chunk; while another command holds it between
    // exchanges, the light stream still reaches the device.
    std::unique_lock commandLock(channel_.CommandLock());
    auto command =
        std::async(std::launch::async, [&] { return WriteMacroMemory(channel_, test::Pattern(130, 2)); });
    EXPECT_EQ(WriteLightFrame(channel_, test::Pattern(378, 5)), 1);
    EXPECT_EQ(Count(0x12), 7u);
    EXPECT_EQ(Count(0x15), 0u);
    commandLock.unlock();
    ASSERT_EQ(command.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(command.get(), 1);
    ExpectRequestsAnsweredInTurn();
}

TEST_F(ChannelThreadTest, CommandsAndLightStreamNeverInterleaveARequestAndItsAnswer) {
    Connect("keyboard", LinkMode::Receiver);
    const Bytes macro = test::Pattern(500, 7);
    std::atomic<bool> stop{false};
    std::thread stream([&] {
        const Bytes frame = test::Pattern(45, 1);
        while (!stop.load()) {
            WriteLightFrame(channel_, frame);
            std::this_thread::yield();
        }
    });
    int failures = 0;
    for (int i = 0; i < 20; ++i) {
        failures += WriteMacroMemory(channel_, macro) == 1 ? 0 : 1;
        Bytes status(6);
        failures += ReadStatus(channel_, status, 0) == 1 ? 0 : 1;
    }
    stop.store(true);
    stream.join();
    EXPECT_EQ(failures, 0);
    ExpectRequestsAnsweredInTurn();
    device_->WithFirmware([&](sim::FirmwareModel& fw) {
        EXPECT_TRUE(std::equal(macro.begin(), macro.end(), fw.MacroMemory().begin()));
    });
}

class HidrawThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        node_ = sysfs_.Add(3, {0x320F, 0x221C, 0x0203, 1, sim::PeripheralDescriptor()});
        backend_ = std::make_unique<HidrawBackend>(sysfs_.Config());
    }

    test::FakeSysfs sysfs_;
    std::string node_;
    std::unique_ptr<HidrawBackend> backend_;
};

TEST_F(HidrawThreadTest, CloseEndsABlockedRead) {
    HidInterface events(backend_.get());
    ASSERT_TRUE(events.Open("/dev/hidraw3#vid_320f&pid_221c&mi_01&col03", true, true, true, false));
    auto reader = std::async(std::launch::async, [&] {
        Bytes report(3);
        std::size_t count = 0;
        return events.ReadReport(report, count, -1);
    });
    ASSERT_TRUE(WaitUntil([&] { return events.IsReading(); }));
    // Reports of other collections do not end the wait.
    sysfs_.SendInput(node_, Bytes(64, 4));
    EXPECT_EQ(reader.wait_for(20ms), std::future_status::timeout);
    events.Close();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(reader.get());
}

TEST_F(HidrawThreadTest, ExchangeAndCommandsOverHidraw) {
    HidChannel channel(backend_.get());
    ASSERT_TRUE(channel.Cable().Open("/dev/hidraw3#vid_320f&pid_221c&mi_01&col04", true, true, true, false));
    channel.SetLinkMode(LinkMode::Cable);
    channel.SetOpen(true);
    const int peer = sysfs_.Peer(node_, 0);
    ASSERT_GE(peer, 0);
    // The device: answers each request with its header and a status block.
    std::vector<Bytes> requests;
    std::thread device([&] {
        for (int i = 0; i < 2; ++i) {
            Bytes request(64);
            const auto n = ::recv(peer, request.data(), request.size(), 0);
            if (n != 64) {
                return;
            }
            requests.push_back(request);
            // An event report precedes the answer; the command collection skips it.
            const Bytes event = {3, 0x01, 0x04};
            ::send(peer, event.data(), event.size(), MSG_NOSIGNAL);
            Bytes answer = request;
            answer[7] = 0;
            answer[8] = 77;
            ::send(peer, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
    });
    EXPECT_EQ(BeginConfig(channel), 1);
    Bytes status(6);
    EXPECT_EQ(ReadStatus(channel, status, 0), 1);
    device.join();
    EXPECT_EQ(status[0], 77);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], test::ExpectedRequest(0x01, 0, 0));
    EXPECT_EQ(requests[1], test::ExpectedRequest(0x1A, 6, 0));
}

// An exchange waiting for the I/O lock while the link switches must not go out on the new
// link (a 56-byte chunk through the receiver) nor on the slot just closed.
TEST(ChannelSwitchThreadTest, AnExchangeWaitingDuringALinkSwitchIsAbandoned) {
    sim::SimBackend backend;
    backend.Add(*sim::FindSimProduct("mouse"));
    sim::SimDevice& receiver = backend.Add(*sim::FindSimProduct("receiver"));
    const std::string cablePath = "sim:mouse:1#vid_320f&pid_221c&mi_01&col04";
    const std::string receiverPath = "sim:receiver:1#vid_320f&pid_221d&mi_01&col04";
    HidChannel channel(&backend);
    channel.SetTimeouts(200, 200);
    const Bytes settings = test::Pattern(100, 3);
    for (int round = 0; round < 30; ++round) {
        ASSERT_TRUE(channel.SwitchLink(LinkMode::Cable, cablePath));
        std::unique_lock io(channel.IoLock());
        auto write = std::async(std::launch::async, [&] { return WriteSettings(channel, settings, 0); });
        ASSERT_TRUE(WaitUntil([&] { return channel.IsBusy(); }));
        auto toReceiver = std::async(std::launch::async,
                                     [&] { return channel.SwitchLink(LinkMode::Receiver, receiverPath); });
        std::this_thread::sleep_for(2ms);
        io.unlock();
        const int code = write.get();
        EXPECT_TRUE(code == result::kSuccess || code == result::kNoAnswer)
            << "round " << round << ": " << code;
        EXPECT_TRUE(toReceiver.get());
    }
    for (const auto& record : receiver.WireLog()) {
        if (record.direction == sim::WireDirection::HostToDevice && record.bytes[3] == 0x06) {
            EXPECT_LE(record.bytes[4], 24) << "a cable chunk went out through the receiver";
        }
    }
}

}  // namespace
}  // namespace norvane::device
