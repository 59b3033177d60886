#include "platform/ipc/instance_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/diag.h"

namespace norvane::platform::ipc {
namespace {

using namespace std::chrono_literals;

// How long a second start keeps trying to reach a holder that has the lock but may not be
// listening yet (it takes the lock first, then opens its socket).
constexpr auto kWakeTries = 20;
constexpr auto kWakeRetryDelay = 50ms;
// How long the holder waits for the wake-up line of one connection.
constexpr int kReadTimeoutMs = 500;

// strerror_r: the listening thread reports errors too.
std::string ErrorText(int error) {
    char buffer[128];
    return ::strerror_r(error, buffer, sizeof(buffer));
}

bool MakeAddress(const std::filesystem::path& socketPath, sockaddr_un& address) {
    const std::string text = socketPath.string();
    if (text.size() >= sizeof(address.sun_path)) {
        diag::Trace("ipc: socket path too long: " + text);
        return false;
    }
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

bool IsPrivateFolderOfUser(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// Writes all of `text` to a socket that may be non-blocking for at most a short time.
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

InstanceLock::InstanceLock(std::filesystem::path folder)
    : folder_(folder.empty() ? DefaultFolder() : std::move(folder)) {
}

InstanceLock::~InstanceLock() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(stop_.Get(), &one, sizeof(one));
        thread_.join();
    }
    if (listener_.Valid()) {
        // Only the holder of the lock ever creates or removes the socket.
        std::error_code ec;
        std::filesystem::remove(folder_ / kSocketName, ec);
        listener_.Close();
    }
    lock_.Close();  // the lock file stays: removing it could let two holders lock two files
}

std::filesystem::path InstanceLock::DefaultFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path base = (tmp != nullptr && tmp[0] == '/') ? tmp : "/tmp";
    std::filesystem::path folder = base / ("norvane-" + std::to_string(::getuid()));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        diag::Trace("ipc: cannot create " + folder.string() + ": " + ErrorText(errno));
        return {};
    }
    if (!IsPrivateFolderOfUser(folder)) {
        diag::Trace("ipc: " + folder.string() + " is not a private folder of this user");
        return {};
    }
    return folder;
}

InstanceLock::Result InstanceLock::Acquire(std::function<void()> onWake) {
    if (folder_.empty()) {
        return Result::kUnavailable;
    }
    const std::filesystem::path lockPath = folder_ / kLockName;
    lock_ = UniqueFd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock_.Valid()) {
        diag::Trace("ipc: cannot open " + lockPath.string() + ": " + ErrorText(errno));
        return Result::kUnavailable;
    }
    if (::flock(lock_.Get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        lock_.Close();
        if (error != EWOULDBLOCK) {
            diag::Trace("ipc: cannot lock " + lockPath.string() + ": " + ErrorText(error));
            return Result::kUnavailable;
        }
        for (int attempt = 0; attempt < kWakeTries; ++attempt) {
            if (Wake(folder_)) {
                return Result::kWokeRunning;
            }
            std::this_thread::sleep_for(kWakeRetryDelay);
        }
        return Result::kRunningNotWoken;
    }

    // Holder from here on: open the socket for wake-ups. Failing that, the lock still holds.
    sockaddr_un address{};
    const std::filesystem::path socketPath = folder_ / kSocketName;
    if (!MakeAddress(socketPath, address)) {
        return Result::kAcquired;
    }
    ::unlink(socketPath.c_str());  // left by a holder that ended without cleaning up
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    UniqueFd stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!listener.Valid() || !stop.Valid() ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener.Get(), 8) != 0) {
        diag::Trace("ipc: cannot listen on " + socketPath.string() + ": " + ErrorText(errno));
        return Result::kAcquired;
    }
    ::chmod(socketPath.c_str(), 0600);
    listener_ = std::move(listener);
    stop_ = std::move(stop);
    onWake_ = std::move(onWake);
    thread_ = std::thread([this] { Listen(); });
    return Result::kAcquired;
}

bool InstanceLock::Wake(const std::filesystem::path& folder) {
    sockaddr_un address{};
    if (!MakeAddress(folder / kSocketName, address)) {
        return false;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) {
        return false;
    }
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return false;
    }
    if (!WriteAll(fd.Get(), kWakeLine)) {
        return false;
    }
    ::shutdown(fd.Get(), SHUT_WR);
    // Wait for the holder to close its end: it has read the line by then.
    pollfd entry{fd.Get(), POLLIN, 0};
    char byte = 0;
    return ::poll(&entry, 1, kReadTimeoutMs) == 1 && ::recv(fd.Get(), &byte, 1, 0) == 0;
}

void InstanceLock::Listen() {
    for (;;) {
        pollfd entries[2] = {{listener_.Get(), POLLIN, 0}, {stop_.Get(), POLLIN, 0}};
        const int ready = ::poll(entries, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            diag::Trace(std::string("ipc: wake-up socket poll failed: ") + ErrorText(errno));
            return;
        }
        if (entries[1].revents != 0) {
            return;
        }
        if ((entries[0].revents & POLLIN) == 0) {
            continue;
        }
        UniqueFd connection(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (connection.Valid() && ReadWakeLine(connection.Get())) {
            connection.Close();  // tells the waking process that the line arrived
            diag::Trace("ipc: woken through the lock file's socket");
            if (onWake_) {
                onWake_();
            }
        }
    }
}

bool InstanceLock::ReadWakeLine(int fd) {
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        credentials.uid != ::getuid()) {
        diag::Trace("ipc: wake-up from another user ignored");
        return false;
    }
    const std::string_view expected = kWakeLine;
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
    while (received.size() < expected.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) != 1) {
            break;
        }
        char buffer[64];
        const ssize_t n = ::recv(fd, buffer, std::min(sizeof(buffer), expected.size() - received.size()), 0);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    if (received != expected) {
        diag::Trace("ipc: wake-up socket: unexpected data ignored");
        return false;
    }
    return true;
}

}  // namespace norvane::platform::ipc
