// norvane-ctl sim: plugs, unplugs and links the simulated devices of a running
// "norvane --simulate" through SimControl on the session bus.
#include "app/ctl.h"

#include "platform/ipc/dbus/dbus_bus.h"
#include "platform/ipc/messages.h"

#include <QCoreApplication>
#include <optional>

namespace norvane::ctl {

int RunSim(Context& context, std::span<const std::string_view> args) {
    if (args.size() != 2) {
        context.Err() += "norvane-ctl: sim takes ACTION PRODUCT (plug, unplug, link, unlink or dump) or ui STEP\n";
        return kExitUsage;
    }
    // The D-Bus backend needs a QCoreApplication; a test may have made one already.
    std::optional<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "norvane-ctl";
        static char* argv[] = {name, nullptr};
        app.emplace(argc, argv);
    }
    const auto peer = platform::ipc::dbus::ConnectPeer(platform::ipc::PeerRole::kObserver);
    if (!peer) {
        context.Err() += "norvane-ctl: no session bus, so no running norvane\n";
        return kExitNotRunning;
    }
    const auto result =
        peer->CallProgram(platform::ipc::kSimControlMethod, {std::string(args[0]), std::string(args[1])});
    if (result.ok) {
        context.Out() += "sim: " + std::string(args[0]) + " " + std::string(args[1]) + "\n";
        return kExitOk;
    }
    if (result.error == "org.freedesktop.DBus.Error.ServiceUnknown" ||
        result.error == "org.freedesktop.DBus.Error.NameHasNoOwner") {
        context.Err() += "norvane-ctl: norvane is not running\n";
        return kExitNotRunning;
    }
    if (result.error == platform::ipc::kErrorUnknownMethod) {
        context.Err() +=
            "norvane-ctl: norvane does not run on simulated devices (start it with --simulate)\n";
        return kExitFailed;
    }
    context.Err() += "norvane-ctl: refused: " + result.message + "\n";
    return kExitFailed;
}

}  // namespace norvane::ctl
