#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/unique_fd.h"

namespace norvane::platform::ipc {

// The single-instance lock without a session bus: an exclusive lock (flock) on
// "norvane.lock" in a per-user runtime folder, and a Unix socket "norvane.sock" beside it on
// which the holder listens, so that a second start can wake it. The kernel drops the lock
// when the holder ends, however it ends, so a crash never leaves the program locked out.
//
// The wake-up is one line, "NORVANE activate\n", from a process of the same user (checked
// with SO_PEERCRED); anything else on the socket is ignored.
class InstanceLock {
public:
    enum class Result {
        kAcquired,         // this process holds the lock and listens for wake-ups
        kWokeRunning,      // another process holds it and was woken
        kRunningNotWoken,  // another process holds it and could not be reached
        kUnavailable,      // no lock could be made (folder missing, not ours, ...): go on without
    };

    // `folder` empty: DefaultFolder().
    explicit InstanceLock(std::filesystem::path folder = {});
    ~InstanceLock();  // stops listening, removes the socket, releases the lock
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock or wakes its holder. `onWake` runs on the listening thread, once per
    // accepted wake-up, while this object lives. Call once.
    Result Acquire(std::function<void()> onWake);

    const std::filesystem::path& Folder() const { return folder_; }

    // $XDG_RUNTIME_DIR when it is set to an absolute path, else a per-user folder
    // "${TMPDIR:-/tmp}/norvane-<uid>", created with mode 0700 and used only when it is a
    // folder owned by this user that no one else may enter. Empty when neither is usable.
    static std::filesystem::path DefaultFolder();

    static constexpr const char* kLockName = "norvane.lock";
    static constexpr const char* kSocketName = "norvane.sock";
    static constexpr const char* kWakeLine = "NORVANE activate\n";

    // Sends the wake-up line to the socket in `folder`; true when it was delivered.
    static bool Wake(const std::filesystem::path& folder);

private:
    void Listen();
    static bool ReadWakeLine(int fd);

    std::filesystem::path folder_;
    UniqueFd lock_;
    UniqueFd listener_;
    UniqueFd stop_;  // eventfd that ends the listening thread
    std::function<void()> onWake_;
    std::thread thread_;
};

}  // namespace norvane::platform::ipc
