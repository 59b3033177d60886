#include "platform/atomic_file.h"

#include "platform/diag.h"
#include "platform/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace norvane::platform {
namespace {

namespace fs = std::filesystem;

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void SyncFolder(const fs::path& folder) {
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) {
        ::fsync(dir.Get());
    }
}

void Fail(const fs::path& path, const char* step) {
    diag::Trace(std::string("atomic write of ") + path.string() + " failed at " + step + ": " +
                std::strerror(errno));
}

}  // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view content) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string tempName = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    UniqueFd file(::mkostemp(tempName.data(), O_CLOEXEC));
    if (!file.Valid()) {
        Fail(path, "create");
        return false;
    }
    // Keep the permissions of the file being replaced; new files get 0644.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    const bool written =
        ::fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), content) && ::fsync(file.Get()) == 0;
    if (!written || !file.Close()) {
        Fail(path, "write");
        ::unlink(tempName.c_str());
        return false;
    }
    if (::rename(tempName.c_str(), path.c_str()) != 0) {
        Fail(path, "rename");
        ::unlink(tempName.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

std::optional<std::string> ReadFileLimited(const fs::path& path, std::size_t maxSize) {
    // Non-blocking, so that opening a FIFO or a device node never waits; anything but a
    // regular file is then refused.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.Valid()) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > maxSize) {
        return std::nullopt;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            return content;
        }
        // The file may grow while it is read.
        if (content.size() + static_cast<std::size_t>(n) > maxSize) {
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace norvane::platform
