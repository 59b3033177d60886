// norvane-ctl: the key table and the event interface.

#include "app/ctl.h"
#include "app/ctl_device.h"
#include "device/commands.h"
#include "device/hid_interface.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace norvane::ctl {
namespace {

constexpr int kMaxKeyCount = 170;
// An event read that fails while the node is still listed is retried this often, this far apart.
constexpr int kMaxFailedReads = 10;
constexpr std::chrono::milliseconds kFailedReadPause{100};

template <typename T>
bool ParseNumber(std::string_view text, T& value, int base) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size();
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

// Reads the device info and sizes the channel to its key table; 0 keys is an error.
int ReadKeyCount(Context& context, device::HidChannel& channel, int& keyCount) {
    device::DeviceInfoBlock info;
    const int read = device::ReadDeviceInfo(channel, info);
    if (read != device::result::kSuccess) {
        return CommandFailure(context, "ReadDeviceInfo", read);
    }
    keyCount = info.KeyCount();
    if (keyCount <= 0 || keyCount > kMaxKeyCount || !channel.SetDataSize(keyCount * 3)) {
        context.Err() += "norvane-ctl: the device reports " + std::to_string(keyCount) +
                         " keys; a key table needs 1 to " + std::to_string(kMaxKeyCount) + "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int ReadTable(Context& context, device::HidChannel& channel, std::vector<std::uint8_t>& table) {
    int keyCount = 0;
    if (const int code = ReadKeyCount(context, channel, keyCount); code != kExitOk) {
        return code;
    }
    table.assign(static_cast<std::size_t>(keyCount) * 3, 0);
    const int read = device::ReadKeyTable(channel, table);
    return read == device::result::kSuccess ? kExitOk : CommandFailure(context, "ReadKeyTable", read);
}

}  // namespace

int RunKeyTable(Context& context, std::span<const std::string_view> args) {
    Found found;
    if (const int code = NeedDevice(context, args, "keytable", found); code != kExitOk) {
        return code;
    }
    device::HidChannel channel;
    if (const int code = OpenChannel(context, found, channel); code != kExitOk) {
        return code;
    }
    std::vector<std::uint8_t> table;
    if (const int code = Bracketed(context, channel, [&] { return ReadTable(context, channel, table); });
        code != kExitOk) {
        return code;
    }
    context.Out() += DeviceLine(found);
    context.Out() += "INDEX  TYPE P1 P2\n";
    for (std::size_t i = 0; i + 2 < table.size(); i += 3) {
        context.Out() += std::to_string(i / 3);
        context.Out().append(7 - std::min<std::size_t>(6, std::to_string(i / 3).size()), ' ');
        context.Out() += Hex(table[i], 2) + "   " + Hex(table[i + 1], 2) + " " + Hex(table[i + 2], 2) + "\n";
    }
    return kExitOk;
}

int RunSetKey(Context& context, std::span<const std::string_view> args) {
    unsigned index = 0;
    std::uint32_t value = 0;
    if (args.size() != 3 || !ParseNumber(args[1], index, 10) || !ParseNumber(args[2], value, 16) ||
        value > 0xFFFFFF) {
        context.Err() +=
            "usage: norvane-ctl set-key DEVICE INDEX VALUE   (VALUE: hex type|p1|p2, e.g. 020004)\n";
        return kExitUsage;
    }
    Found found;
    if (const int code = ResolveDevice(context, args[0], found); code != kExitOk) {
        return code;
    }
    device::HidChannel channel;
    if (const int code = OpenChannel(context, found, channel); code != kExitOk) {
        return code;
    }
    const int code = Bracketed(context, channel, [&] {
        std::vector<std::uint8_t> table;
        if (const int read = ReadTable(context, channel, table); read != kExitOk) {
            return read;
        }
        if (index >= table.size() / 3) {
            context.Err() += "norvane-ctl: key index " + std::to_string(index) + " is beyond the device's " +
                             std::to_string(table.size() / 3) + " keys\n";
            return kExitUsage;
        }
        table[index * 3] = static_cast<std::uint8_t>(value >> 16);
        table[index * 3 + 1] = static_cast<std::uint8_t>(value >> 8);
        table[index * 3 + 2] = static_cast<std::uint8_t>(value);
        const int written = device::WriteKeyTable(channel, table, 0);
        return written == device::result::kSuccess ? kExitOk
                                                   : CommandFailure(context, "WriteKeyTable", written);
    });
    if (code == kExitOk) {
        context.Out() += "key " + std::to_string(index) + " set to " + Hex(value, 6) + "\n";
    }
    return code;
}

int RunEvents(Context& context, std::span<const std::string_view> args) {
    long limit = -1;
    if (args.size() == 3 && args[1] == "--count" && ParseNumber(args[2], limit, 10) && limit > 0) {
        args = args.first(1);
    }
    Found command;
    if (const int code = NeedDevice(context, args, "events", command); code != kExitOk) {
        return code;
    }
    device::HidBackend* backend = context.Backend();
    Found event;
    for (Found& item : MatchedInterfaces(*backend)) {
        if (item.entry.role == device::DeviceRole::Event && item.entry.vendorId == command.entry.vendorId &&
            item.entry.productId == command.entry.productId) {
            event = std::move(item);
            break;
        }
    }
    if (event.path.empty()) {
        context.Err() += "norvane-ctl: " + std::string(args[0]) + " has no event interface\n";
        return kExitNotFound;
    }
    device::HidInterface reader(backend);
    if (!reader.Open(event.path, true, false, true, false)) {
        context.Err() += "norvane-ctl: cannot open " + event.path + "\n";
        return kExitFailed;
    }
    context.Emit("listening on " + event.path + "\n");
    int failedReads = 0;
    for (long seen = 0; limit < 0 || seen < limit;) {
        // Waits without limit: a device that goes away ends the read at once.
        const device::EventRead read = reader.ReadEventCode(-1);
        if (read.HasCode()) {
            context.Emit("event " + Hex(read.code, 4) + "\n");
            ++seen;
        }
        if (read.kind != device::EventRead::Kind::Closed) {
            failedReads = 0;
            continue;
        }
        if (!backend->Probe(event.path)) {
            context.Err() += "norvane-ctl: " + std::string(args[0]) + " was removed\n";
            return kExitNotFound;
        }
        // Still listed: sysfs has not caught up with an unplug yet, or the node fails its reads.
        if (++failedReads == kMaxFailedReads) {
            context.Err() += "norvane-ctl: cannot read events from " + std::string(args[0]) + "\n";
            return kExitFailed;
        }
        std::this_thread::sleep_for(kFailedReadPause);
    }
    return kExitOk;
}

}  // namespace norvane::ctl
