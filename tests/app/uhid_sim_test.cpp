// norvane-uhid-sim as a process, with a FIFO standing in for /dev/uhid: the simulator writes
// its kernel events into it and reads back whatever the test puts there.

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace norvane::test {
namespace {

class SimProcess {
public:
    SimProcess(const std::string& uhidPath, const std::string& product) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<std::string> args = {NORVANE_UHID_SIM, "--uhid", uhidPath, product};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, NORVANE_UHID_SIM, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(stdin_);
        ::close(stdout_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    pid_t Pid() const { return pid_; }

    void Send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(::write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // The next line of standard output; nullopt when none came within 10 s.
    std::optional<std::string> Line() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd pfd{stdout_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char chunk[256];
            const ssize_t n = ::read(stdout_, chunk, sizeof chunk);
            if (n <= 0) {
                return std::nullopt;
            }
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    // The exit status after the process ends; -1 when it was killed or did not end.
    int Wait() {
        int status = 0;
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(50'000);
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string buffer_;
};

TEST(UhidSimTest, BadCommandsAndAnUnplugWhileTheDeviceIsBusyAreSurvived) {
    TempDir dir;
    const std::string fifo = (dir / "uhid").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int kernel = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(kernel, 0);
    SimProcess sim(fifo, "mousepad");
    ASSERT_GT(sim.Pid(), 0);
    EXPECT_EQ(sim.Line(), "ready mousepad");

    sim.Send("event mousepad xyz");
    const auto typo = sim.Line();
    ASSERT_TRUE(typo.has_value());
    EXPECT_TRUE(typo->starts_with("error")) << *typo;
    for (const char* wrong : {"event mousepad 0x10000", "link mousepad sideways", "dance mousepad"}) {
        sim.Send(wrong);
        const auto reply = sim.Line();
        ASSERT_TRUE(reply.has_value()) << wrong;
        EXPECT_TRUE(reply->starts_with("error")) << wrong << ": " << *reply;
    }
    sim.Send("event mousepad 0x401");
    EXPECT_EQ(sim.Line(), "ok");

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
    sim.Send("unplug mousepad");
    ASSERT_EQ(::kill(sim.Pid(), SIGCONT), 0);
    EXPECT_EQ(sim.Line(), "ok");
    sim.Send("plug mousepad");
    EXPECT_EQ(sim.Line(), "ok");
    sim.Send("dump mousepad settings");
    const auto dump = sim.Line();
    ASSERT_TRUE(dump.has_value());
    // "dump b0 b1 …": byte i is at 5 + 3 i.
    ASSERT_GE(dump->size(), 5u + 18 * 3) << *dump;
    EXPECT_EQ(dump->substr(5 + 16 * 3, 5), "ab cd") << dump->substr(0, 60);
    sim.Send("quit");
    EXPECT_EQ(sim.Wait(), 0);
    ::close(kernel);
}

}  // namespace
}  // namespace norvane::test
