#pragma once

#include "platform/unique_fd.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace norvane::test {

// tools/update-server started on 127.0.0.1 with a free port, stopped (bounded) when
// the object goes.
class ReferenceServer {
public:
    explicit ReferenceServer(const std::vector<std::string>& switches = {}) {
        std::vector<std::string> words = {NORVANE_PYTHON3, NORVANE_UPDATE_SERVER, "--port", "0", "--quiet"};
        words.insert(words.end(), switches.begin(), switches.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);

        int fds[2] = {-1, -1};
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        const platform::UniqueFd readEnd(fds[0]);
        platform::UniqueFd writeEnd(fds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
        // Not the test's stderr: a server outliving a test that died would keep the test
        // runner waiting for the end of that output.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        writeEnd.Close();
        if (spawned != 0) {
            pid_ = -1;
            return;
        }
        // The first line it prints is its service URL.
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (line.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd wait{readEnd.Get(), POLLIN, 0};
            if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
                return;
            }
            char chunk[256];
            const ssize_t n = ::read(readEnd.Get(), chunk, sizeof chunk);
            if (n <= 0) {
                return;
            }
            line.append(chunk, static_cast<std::size_t>(n));
        }
        serviceUrl_ = line.substr(0, line.find('\n'));
    }

    ~ReferenceServer() { Stop(); }
    ReferenceServer(const ReferenceServer&) = delete;
    ReferenceServer& operator=(const ReferenceServer&) = delete;

    bool Running() const { return pid_ > 0 && !serviceUrl_.empty(); }
    // "http://127.0.0.1:<port>/api/"
    const std::string& ServiceUrl() const { return serviceUrl_; }
    // "http://127.0.0.1:<port>"
    std::string Origin() const {
        return serviceUrl_.substr(0, serviceUrl_.size() - std::string("/api/").size());
    }

    void Stop() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGTERM);
        const platform::UniqueFd process(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
        pollfd wait{process.Get(), POLLIN, 0};
        if (!process.Valid() || ::poll(&wait, 1, 5000) <= 0) {
            ::kill(pid_, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string serviceUrl_;
};

// A TCP socket bound to a free port on 127.0.0.1; listening or not, as asked.
// Connections to a bound socket that does not listen are refused.
class LoopbackSocket {
public:
    explicit LoopbackSocket(bool listen) {
        fd_ = platform::UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (!fd_.Valid() || ::bind(fd_.Get(), generic, length) != 0 ||
            ::getsockname(fd_.Get(), generic, &length) != 0 || (listen && ::listen(fd_.Get(), 4) != 0)) {
            fd_.Close();
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    bool Valid() const { return port_ != 0; }
    int Port() const { return port_; }
    std::string Url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    // True when a client connection is waiting to be accepted.
    bool HasPendingConnection() const {
        const platform::UniqueFd client(::accept4(fd_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        return client.Valid();
    }

private:
    platform::UniqueFd fd_;
    int port_ = 0;
};

// Runs a program to its end with its output discarded; its exit status, or -1.
inline int RunProgram(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Writes a self-signed certificate and its key for the given subjectAltName
// (for example "IP:127.0.0.1"); false when openssl failed.
inline bool MakeSelfSignedCertificate(const std::filesystem::path& cert, const std::filesystem::path& key,
                                      const std::string& subjectAltName) {
    return RunProgram({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-days", "2", "-subj", "/CN=norvane test", "-addext",
                       "subjectAltName=" + subjectAltName, "-keyout", key.string(), "-out", cert.string()}) ==
           0;
}

}  // namespace norvane::test
