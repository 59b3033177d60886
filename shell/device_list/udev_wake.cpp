#include "shell/device_list/udev_wake.h"

#include "platform/diag.h"
#include "platform/unique_fd.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>

namespace norvane::shell {
namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
using UdevPtr = std::unique_ptr<udev, UdevDeleter>;
using MonitorPtr = std::unique_ptr<udev_monitor, UdevDeleter>;
using DevicePtr = std::unique_ptr<udev_device, UdevDeleter>;

// The monitor and the stop descriptor the worker polls; shared with the cancel action.
struct Listener {
    UdevPtr context;
    MonitorPtr monitor;
    platform::UniqueFd stop;
};

std::shared_ptr<Listener> OpenListener() {
    auto listener = std::make_shared<Listener>();
    listener->context.reset(udev_new());
    if (!listener->context) {
        return nullptr;
    }
    listener->monitor.reset(udev_monitor_new_from_netlink(listener->context.get(), "udev"));
    if (!listener->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(listener->monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(listener->monitor.get()) < 0) {
        return nullptr;
    }
    listener->stop = platform::UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!listener->stop.Valid()) {
        return nullptr;
    }
    return listener;
}

}  // namespace

bool UdevWake::Start() {
    auto listener = OpenListener();
    if (!listener) {
        platform::diag::Trace("udev monitor not available; the device scan polls alone");
        return false;
    }
    const int monitorFd = udev_monitor_get_fd(listener->monitor.get());
    return thread_.Start(
        [this, listener, monitorFd](const devices::StopSignal& signal) {
            std::array<pollfd, 2> fds{pollfd{monitorFd, POLLIN, 0}, pollfd{listener->stop.Get(), POLLIN, 0}};
            while (!signal.StopRequested()) {
                if (::poll(fds.data(), fds.size(), -1) < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    return;
                }
                if ((fds[1].revents & POLLIN) != 0) {
                    return;
                }
                if ((fds[0].revents & POLLIN) == 0) {
                    continue;
                }
                // Drain what arrived; one wake serves them all.
                while (DevicePtr device{udev_monitor_receive_device(listener->monitor.get())}) {
                }
                wake_();
            }
        },
        [listener] {
            const std::uint64_t one = 1;
            const ssize_t written = ::write(listener->stop.Get(), &one, sizeof one);
            static_cast<void>(written);  // a full counter already wakes the worker
        });
}

}  // namespace norvane::shell
