#include "app/ctl.h"

#include "device/hidraw_backend.h"
#include "platform/diag.h"
#include "sim/sim_backend.h"

#include <array>
#include <optional>
#include <vector>

namespace norvane::ctl {
namespace {

constexpr std::string_view kDefaultSimulation = "keyboard,mouse,mousepad,headset";

// Sub-commands by name. Each entry names its handler; a new sub-command is one more row
// and one handler function.
constexpr std::array kSubCommands = {
    SubCommand{"list", "", "every connected interface of a supported product", &RunList},
    SubCommand{"info", "DEVICE", "the device information block", &RunInfo},
    SubCommand{"settings", "DEVICE", "the active profile index and its raw settings block", &RunSettings},
    SubCommand{"status", "DEVICE", "battery, power and link status", &RunStatus},
    SubCommand{"descriptor", "FILE|DEVICE", "a HID report descriptor (hex text file or device) as JSON",
               &RunDescriptor},
    SubCommand{"keytable", "DEVICE", "the key table: one assignment (type p1 p2) per key position",
               &RunKeyTable},
    SubCommand{"set-key", "DEVICE INDEX VALUE",
               "write one key table entry (VALUE hex type|p1|p2, e.g. 020004)", &RunSetKey},
    SubCommand{"events", "DEVICE [--count N]", "print the device's event codes as they arrive", &RunEvents},
    SubCommand{"update-check", "[OPTIONS]", "ask the update service for newer software and firmware",
               &RunUpdateCheck},
    SubCommand{"sim", "ACTION PRODUCT",
               "plug, unplug, link, unlink or dump a simulated device, or drive the window (ui STEP)", &RunSim},
};

std::string Usage() {
    std::string text =
        "usage: norvane-ctl [--simulate[=PRODUCTS]] [--trace] COMMAND [ARGS]\n"
        "\n"
        "commands:\n";
    for (const SubCommand& command : kSubCommands) {
        std::string head = "  " + std::string(command.name);
        if (!command.arguments.empty()) {
            head += " " + std::string(command.arguments);
        }
        head.resize(std::max<std::size_t>(head.size() + 2, 28), ' ');
        text += head + std::string(command.summary) + "\n";
    }
    text +=
        "\n"
        "DEVICE is a product (keyboard, keyboard2, keyboard-alt, mouse, receiver, mousepad,\n"
        "headset), a VID:PID such as 320f:50b7, or an interface path as list prints it.\n"
        "--simulate runs against simulated devices (default: keyboard,mouse,mousepad,headset);\n"
        "PRODUCTS is a comma-separated list of the products above.\n"
        "--trace prints every request and answer.\n";
    return text;
}

}  // namespace

std::span<const SubCommand> SubCommands() {
    return kSubCommands;
}

device::HidBackend* Context::Backend() {
    if (backend_) {
        return backend_.get();
    }
    if (simulate_.empty()) {
        backend_ = std::make_unique<device::HidrawBackend>();
        return backend_.get();
    }
    std::string error;
    auto sim = sim::MakeSimBackend(simulate_, error);
    if (!sim) {
        err_ += "norvane-ctl: " + error + "\n";
        return nullptr;
    }
    backend_ = std::move(sim);
    return backend_.get();
}

int Run(std::span<const std::string_view> args, std::string& out, std::string& err,
        std::unique_ptr<device::HidBackend> backend, LiveOutput live) {
    std::string simulate;
    bool trace = false;
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("-"); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out += Usage();
            return kExitOk;
        }
        if (arg == "--trace") {
            trace = true;
        } else if (arg == "--simulate") {
            simulate = kDefaultSimulation;
        } else if (arg.starts_with("--simulate=")) {
            simulate = arg.substr(11);
            if (simulate.empty()) {
                simulate = kDefaultSimulation;
            }
        } else {
            err += "norvane-ctl: unknown option '" + std::string(arg) + "'\n" + Usage();
            return kExitUsage;
        }
    }
    if (i == args.size()) {
        err += Usage();
        return kExitUsage;
    }
    const std::string_view name = args[i];
    for (const SubCommand& command : kSubCommands) {
        if (command.name == name) {
            // --trace collects this run's trace lines for stderr; unless NORVANE_TRACE already
            // sends them somewhere, tracing stays off for the rest of the process.
            std::optional<platform::diag::ScopedCapture> capture;
            if (trace && !platform::diag::Enabled()) {
                capture.emplace();
            }
            Context context(simulate, trace, std::move(backend));
            context.SetLive(std::move(live));
            const int code = command.run(context, args.subspan(i + 1));
            if (capture) {
                for (const std::string& line : capture->Lines()) {
                    err += line + "\n";
                }
            }
            out += context.Out();
            err += context.Err();
            return code;
        }
    }
    err += "norvane-ctl: unknown command '" + std::string(name) + "'\n" + Usage();
    return kExitUsage;
}

}  // namespace norvane::ctl
