// norvane-ipc-probe: starts like the program would, for the tests of the D-Bus backend that
// need separate processes. The environment picks the buses (DBUS_SESSION_BUS_ADDRESS) and
// the lock folder (XDG_RUNTIME_DIR).
//
//   norvane-ipc-probe [WAIT_MS]
//
// Prints "bus: <how the bus is reached>" and "claim: <result>". The primary copy then waits
// up to WAIT_MS (default 10000) for a wake-up and prints "activated" (exit 0) or "timeout"
// (exit 3); any other copy exits 0 at once, as the program does.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/ipc/dbus/dbus_bus.h"
#include "platform/ipc/event_queue.h"

int main(int argc, char** argv) {
    using namespace norvane::platform::ipc;
    QCoreApplication app(argc, argv);
    const long waitMs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    EventQueue events;  // outlives the bus, which may push into it until it is destroyed
    dbus::Options options;
    options.watchPower = false;
    auto bus = dbus::Connect(options);
    bus->SetEventHandler(events.Handler());
    std::printf("bus: %s\n", bus->Describe().c_str());
    const InstanceClaim claim = bus->ClaimInstance();
    std::printf("claim: %s\n", std::string(Describe(claim)).c_str());
    std::fflush(stdout);
    if (claim != InstanceClaim::kPrimary) {
        return 0;
    }
    while (auto event = events.WaitPop(std::chrono::milliseconds(waitMs))) {
        if (std::holds_alternative<ActivateEvent>(*event)) {
            std::printf("activated\n");
            return 0;
        }
    }
    std::printf("timeout\n");
    return 3;
}
