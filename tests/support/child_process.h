// A program run by a test: its standard input written line by line, its standard output read
// line by line with a time limit, killed and reaped when the object goes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace norvane::test {

class ChildProcess {
public:
    // args[0] is the program's path. extraEnv entries ("NAME=value") replace or add to the
    // test's own environment.
    explicit ChildProcess(std::vector<std::string> args, const std::vector<std::string>& extraEnv = {}) {
        int in[2];
        int out[2];
        if (args.empty() || ::pipe2(in, O_CLOEXEC) != 0) {
            return;
        }
        if (::pipe2(out, O_CLOEXEC) != 0) {
            ::close(in[0]);
            ::close(in[1]);
            return;
        }
        std::vector<std::string> environment;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string_view entry = *e;
            const std::string_view name = entry.substr(0, entry.find('=') + 1);
            bool replaced = false;
            for (const std::string& extra : extraEnv) {
                replaced = replaced || std::string_view(extra).substr(0, extra.find('=') + 1) == name;
            }
            if (!replaced) {
                environment.emplace_back(entry);
            }
        }
        environment.insert(environment.end(), extraEnv.begin(), extraEnv.end());
        std::vector<char*> envp = Pointers(environment);
        std::vector<char*> argv = Pointers(args);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (int fd : {stdin_, stdout_}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    bool Started() const { return pid_ > 0; }

    // Writes one line to the program's standard input; false when it could not.
    bool Send(std::string_view line) {
        std::string text(line);
        text += '\n';
        return stdin_ >= 0 && ::write(stdin_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }

    // The next line of standard output without its line break; nothing at the end of the
    // output or when no line came within the limit.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd entry{stdout_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) != 1) {
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

    // The exit status once the program has ended; -1 when it was killed by a signal, could not
    // be run, or did not end within the limit.
    int Wait(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        if (pid_ <= 0) {
            return exitCode_;
        }
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        for (;;) {
            const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
            if (ended == pid_ || ended < 0) {
                exitCode_ = ended == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                pid_ = -1;
                return exitCode_;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

private:
    static std::vector<char*> Pointers(std::vector<std::string>& strings) {
        std::vector<char*> pointers;
        for (std::string& s : strings) {
            pointers.push_back(s.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    int exitCode_ = -1;
    std::string buffer_;
};

}  // namespace norvane::test
