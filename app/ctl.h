#pragma once

#include "device/hid_backend.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// norvane-ctl: device access from the command line.
namespace norvane::ctl {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the device did not do what was asked
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotFound = 3;    // no such device connected
inline constexpr int kExitNotRunning = 3;  // sim: no norvane runs on this session bus
inline constexpr int kExitBusy = 4;
inline constexpr int kExitNoAccess = 5;  // permissions: the udev rule is missing

// Receives output as it happens, for commands that run until something occurs.
using LiveOutput = std::function<void(std::string_view)>;

// What a sub-command works with. The HID backend is made on first use, so commands that
// need no device (and "descriptor FILE") run without one.
class Context {
public:
    Context(std::string simulate, bool trace, std::unique_ptr<device::HidBackend> backend = nullptr)
        : simulate_(std::move(simulate)), trace_(trace), backend_(std::move(backend)) {}

    // Null (with a message in Err) when the simulator list names an unknown product.
    device::HidBackend* Backend();
    bool Simulated() const { return !simulate_.empty(); }
    bool Trace() const { return trace_; }

    std::string& Out() { return out_; }
    // Output that should appear at once: to the live sink when there is one, else to Out().
    void Emit(std::string_view text) {
        if (live_) {
            live_(text);
        } else {
            out_ += text;
        }
    }
    void SetLive(LiveOutput live) { live_ = std::move(live); }
    std::string& Err() { return err_; }

private:
    std::string simulate_;
    bool trace_;
    std::unique_ptr<device::HidBackend> backend_;
    std::string out_;
    std::string err_;
    LiveOutput live_;
};

using Handler = int (*)(Context& context, std::span<const std::string_view> args);

struct SubCommand {
    std::string_view name;
    std::string_view arguments;
    std::string_view summary;
    Handler run;
};

int RunList(Context& context, std::span<const std::string_view> args);
int RunInfo(Context& context, std::span<const std::string_view> args);
int RunSettings(Context& context, std::span<const std::string_view> args);
int RunStatus(Context& context, std::span<const std::string_view> args);
int RunDescriptor(Context& context, std::span<const std::string_view> args);
int RunKeyTable(Context& context, std::span<const std::string_view> args);
int RunSetKey(Context& context, std::span<const std::string_view> args);
int RunEvents(Context& context, std::span<const std::string_view> args);
int RunUpdateCheck(Context& context, std::span<const std::string_view> args);
int RunSim(Context& context, std::span<const std::string_view> args);

// The sub-commands in the order help lists them.
std::span<const SubCommand> SubCommands();

// Parses the options (--simulate[=LIST], --trace, --help) and runs one sub-command; what
// it prints is left in out and err. A given backend replaces hidraw and the simulator.
int Run(std::span<const std::string_view> args, std::string& out, std::string& err,
        std::unique_ptr<device::HidBackend> backend = nullptr, LiveOutput live = {});

}  // namespace norvane::ctl
