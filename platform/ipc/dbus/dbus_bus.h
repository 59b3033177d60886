#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/ipc/bus.h"

// The D-Bus backend of platform/ipc, over QtDBus. Qt stays inside this library: this header
// and its callers see only the interfaces of platform/ipc.
//
// Needs a QCoreApplication (or QApplication) alive on the main thread for the whole life of
// the buses it makes; its event loop need not run: each bus runs its own Qt thread, and the
// event handler is called on that thread. Without a QCoreApplication the bus works as if no
// session bus were reachable.
namespace norvane::platform::ipc::dbus {

struct Options {
    // The session bus: empty for the user's own ($DBUS_SESSION_BUS_ADDRESS), else a D-Bus
    // address such as "unix:path=/run/user/1000/bus".
    std::string sessionAddress;
    // The bus on which logind's PrepareForSleep is watched: empty for the system bus.
    std::string systemAddress;
    bool watchPower = true;
    // The folder of the lock file (InstanceLock), empty for InstanceLock::DefaultFolder().
    std::filesystem::path lockFolder;
    // The longest wait for an answer from another program.
    std::chrono::milliseconds callTimeout{1500};
};

// The program's side. With a session bus: the name io.norvane.Norvane for the single instance,
// the object /io/norvane/Norvane for the messages, and the lock file as well, so that a copy
// started without a bus still finds this one. Without a session bus: the lock file alone,
// nothing sent and nothing received but the wake-up. Without a system bus: no power events.
std::unique_ptr<IBus> Connect(const Options& options = {});

// Another program on the session bus (the companion, the test tool, or an observer):
// nothing when the session bus cannot be reached or the role's name is already owned.
std::unique_ptr<IPeer> ConnectPeer(PeerRole role, const std::string& sessionAddress = {});

}  // namespace norvane::platform::ipc::dbus
