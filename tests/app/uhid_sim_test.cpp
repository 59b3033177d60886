// norvane-uhid-sim as a process, with a FIFO standing in for /dev/uhid: the simulator writes
// its kernel events into it and reads back whatever the test puts there.

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/uhid.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace norvane::test {
namespace {

// norvane-uhid-sim on the given uhid stand-in, simulating one product.
ChildProcess StartSim(const std::string& uhidPath, const std::string& product) {
    return ChildProcess({NORVANE_UHID_SIM, "--uhid", uhidPath, product});
}

TEST(UhidSimTest, BadCommandsAndAnUnplugWhileTheDeviceIsBusyAreSurvived) {
    TempDir dir;
    const std::string fifo = (dir / "uhid").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int kernel = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(kernel, 0);
    ChildProcess sim = StartSim(fifo, "mousepad");
    ASSERT_GT(sim.Pid(), 0);
    EXPECT_EQ(sim.ReadLine(), "ready mousepad");

    ASSERT_TRUE(sim.Send("event mousepad xyz"));
    const auto typo = sim.ReadLine();
    ASSERT_TRUE(typo.has_value());
    EXPECT_TRUE(typo->starts_with("error")) << *typo;
    for (const char* wrong : {"event mousepad 0x10000", "link mousepad sideways", "dance mousepad"}) {
        ASSERT_TRUE(sim.Send(wrong));
        const auto reply = sim.ReadLine();
        ASSERT_TRUE(reply.has_value()) << wrong;
        EXPECT_TRUE(reply->starts_with("error")) << wrong << ": " << *reply;
    }
    ASSERT_TRUE(sim.Send("event mousepad 0x401"));
    EXPECT_EQ(sim.ReadLine(), "ok");

    // A request the host wrote before the unplug command, both seen in the same poll round,
    // is still taken by the device: settings bytes 16-17 := ab cd.
    uhid_event request{};
    request.type = UHID_OUTPUT;
    request.u.output.size = 64;
    std::uint8_t* r = request.u.output.data;
    r[0] = 0x04;
    r[3] = 0x06;
    r[4] = 2;
    r[5] = 16;
    r[8] = 0xAB;
    r[9] = 0xCD;
    const unsigned sum = 0x06 + 2 + 16 + 0xAB + 0xCD;
    r[1] = static_cast<std::uint8_t>(sum);
    r[2] = static_cast<std::uint8_t>(sum >> 8);
    ASSERT_EQ(::kill(sim.Pid(), SIGSTOP), 0);
    ASSERT_EQ(::write(kernel, &request, sizeof request), static_cast<ssize_t>(sizeof request));
    ASSERT_TRUE(sim.Send("unplug mousepad"));
    ASSERT_EQ(::kill(sim.Pid(), SIGCONT), 0);
    EXPECT_EQ(sim.ReadLine(), "ok");
    ASSERT_TRUE(sim.Send("plug mousepad"));
    EXPECT_EQ(sim.ReadLine(), "ok");
    ASSERT_TRUE(sim.Send("dump mousepad settings"));
    const auto dump = sim.ReadLine();
    ASSERT_TRUE(dump.has_value());
    // "dump b0 b1 …": byte i is at 5 + 3 i.
    ASSERT_GE(dump->size(), 5u + 18 * 3) << *dump;
    EXPECT_EQ(dump->substr(5 + 16 * 3, 5), "ab cd") << dump->substr(0, 60);
    ASSERT_TRUE(sim.Send("quit"));
    EXPECT_EQ(sim.Wait(), 0);
    ::close(kernel);
}

}  // namespace
}  // namespace norvane::test
