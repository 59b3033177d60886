#include "app/ctl.h"

#include "sim/sim_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace norvane::ctl {
namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

// Lends the test's simulator to one command run, which owns (and destroys) its backend.
class LentBackend : public device::HidBackend {
public:
    explicit LentBackend(device::HidBackend& backend) : backend_(backend) {}
    bool Enumerate(std::vector<std::string>& paths) override { return backend_.Enumerate(paths); }
    std::unique_ptr<device::HidConnection> Open(std::string_view path,
                                                const device::HidOpenMode& mode) override {
        return backend_.Open(path, mode);
    }
    bool Probe(std::string_view path) override { return backend_.Probe(path); }
    std::optional<device::HidPathDescription> Describe(std::string_view path) override {
        return backend_.Describe(path);
    }

private:
    device::HidBackend& backend_;
};

// The simulator, with every lent device still listed (as sysfs keeps a node listed for a
// moment after an unplug, or for good when the node only fails its reads).
class StillListedBackend : public LentBackend {
public:
    StillListedBackend(device::HidBackend& backend, std::atomic<int>& probes)
        : LentBackend(backend), probes_(probes) {}
    bool Probe(std::string_view /*path*/) override {
        // Gives up after many probes, so a reader that spins ends too.
        return ++probes_ < 1000;
    }

private:
    std::atomic<int>& probes_;
};

class CtlKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        owned_ = sim::MakeSimBackend("keyboard,mouse", error);
        ASSERT_TRUE(owned_) << error;
        sim_ = owned_.get();
    }

    Result Ctl(std::vector<std::string_view> args, LiveOutput live = {}) {
        Result r;
        r.code = ctl::Run(args, r.out, r.err, std::make_unique<LentBackend>(*sim_), std::move(live));
        return r;
    }

    std::vector<std::uint8_t> KeyTable(std::string_view device) {
        return sim_->Find(device)->WithFirmware([](sim::FirmwareModel& fw) { return fw.KeyTable(); });
    }

    std::unique_ptr<sim::SimBackend> owned_;
    sim::SimBackend* sim_ = nullptr;
};

TEST_F(CtlKeyTest, SetKeyChangesOnlyThatEntryOnTheDevice) {
    const std::vector<std::uint8_t> before = KeyTable("keyboard");
    const Result r = Ctl({"set-key", "keyboard", "5", "020004"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out, "key 5 set to 020004\n");
    std::vector<std::uint8_t> expected = before;
    expected[15] = 0x02;
    expected[16] = 0x00;
    expected[17] = 0x04;
    EXPECT_EQ(KeyTable("keyboard"), expected);
}

// The keyboard's alternate identity is its receiver side: 24-byte chunks, and no link query
// (only the mouse is wireless).
TEST_F(CtlKeyTest, TheAlternateKeyboardIdentityIsDrivenThroughItsReceiverSide) {
    std::string error;
    auto alt = sim::MakeSimBackend("keyboard-alt", error);
    ASSERT_TRUE(alt) << error;
    const std::vector<std::string_view> args = {"set-key", "keyboard-alt", "5", "020004"};
    Result r;
    r.code = ctl::Run(args, r.out, r.err, std::make_unique<LentBackend>(*alt));
    ASSERT_EQ(r.code, kExitOk) << r.err;
    std::vector<std::uint8_t> readLengths;
    std::vector<std::uint8_t> writeLengths;
    for (const auto& record : alt->Find("keyboard-alt")->WireLog()) {
        ASSERT_FALSE(record.bytes.size() > 3 && record.direction == sim::WireDirection::HostToDevice &&
                     record.bytes[3] == 0xAA);
        if (record.direction == sim::WireDirection::HostToDevice && record.bytes[3] == 0x07) {
            readLengths.push_back(record.bytes[4]);
        }
        if (record.direction == sim::WireDirection::HostToDevice && record.bytes[3] == 0x09) {
            writeLengths.push_back(record.bytes[4]);
        }
    }
    // 378 bytes: 15 x 24 + 18.
    std::vector<std::uint8_t> expected(15, 24);
    expected.push_back(18);
    EXPECT_EQ(readLengths, expected);
    EXPECT_EQ(writeLengths, expected);
}

TEST_F(CtlKeyTest, KeyTableListsEveryPosition) {
    const Result r = Ctl({"keytable", "mouse"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    // Header lines, then one row per key of the device info block (11 for the mouse).
    EXPECT_NE(r.out.find("INDEX  TYPE P1 P2\n0      "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n10     "), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\n11     "), std::string::npos) << r.out;
}

TEST_F(CtlKeyTest, SetKeyRefusesBadArgumentsWithoutTouchingTheDevice) {
    const std::vector<std::uint8_t> before = KeyTable("mouse");
    struct Case {
        std::vector<std::string_view> args;
        int code;
    };
    const Case cases[] = {
        {{"set-key", "mouse", "11", "020004"}, kExitUsage},  // the mouse has 11 keys
        {{"set-key", "mouse", "x", "020004"}, kExitUsage},
        {{"set-key", "mouse", "1", "1000000"}, kExitUsage},
        {{"set-key", "mouse", "1"}, kExitUsage},
        {{"set-key", "mousepad", "1", "020004"}, kExitNotFound},
    };
    for (const Case& c : cases) {
        const Result r = Ctl(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(KeyTable("mouse"), before);
}

TEST_F(CtlKeyTest, EventsPrintCodesAsTheyArrive) {
    std::string live;
    const Result r = Ctl({"events", "mouse", "--count", "2"}, [&](std::string_view text) {
        live += text;
        if (text.starts_with("listening")) {
            sim_->Find("mouse")->SendEvent(0x0401);
            sim_->Find("mouse")->SendEvent(0x1003);
        }
    });
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(live, "listening on sim:mouse:1#vid_320f&pid_221c&mi_01&col03\nevent 0401\nevent 1003\n");
}

TEST_F(CtlKeyTest, EventsEndWhenTheDeviceGoesAway) {
    sim::SimDevice* mouse = sim_->Find("mouse");
    std::promise<void> listening;
    auto run = std::async(std::launch::async, [&] {
        return Ctl({"events", "mouse"}, [&](std::string_view text) {
            if (text.starts_with("listening")) {
                listening.set_value();
            }
        });
    });
    listening.get_future().wait();
    mouse->Unplug();
    // A read waiting without limit must end once the device is gone.
    ASSERT_EQ(run.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const Result r = run.get();
    EXPECT_EQ(r.code, kExitNotFound);
    EXPECT_EQ(r.err, "norvane-ctl: mouse was removed\n");
}

TEST_F(CtlKeyTest, EventReadsThatKeepFailingEndWithoutSpinning) {
    std::atomic<int> probes{0};
    const std::vector<std::string_view> args = {"events", "mouse"};
    Result r;
    r.code = ctl::Run(args, r.out, r.err, std::make_unique<StillListedBackend>(*sim_, probes),
                      [&](std::string_view text) {
                          if (text.starts_with("listening")) {
                              sim_->Find("mouse")->Unplug();  // every read now fails at once
                          }
                      });
    EXPECT_EQ(r.code, kExitFailed) << r.err;
    EXPECT_EQ(r.err, "norvane-ctl: cannot read events from mouse\n");
    EXPECT_LE(probes.load(), 10);
}

}  // namespace
}  // namespace norvane::ctl
