#include "app/ctl.h"
#include "app/ctl_device.h"

#include "device/catalogue.h"
#include "device/commands.h"
#include "device/hid_channel.h"
#include "device/hid_descriptor_json.h"
#include "device/link_side.h"
#include "device/path_keys.h"
#include "platform/atomic_file.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

namespace norvane::ctl {
namespace {

using device::DeviceKind;
using device::DeviceRole;

constexpr std::string_view kUdevRule = "70-norvane.rules";

struct Product {
    std::string_view name;
    std::uint16_t vendorId;
    std::uint16_t productId;
};

constexpr std::array<Product, 7> kProducts = {{
    {"keyboard", 0x320F, 0x50B7},
    {"keyboard2", 0x320F, 0x511D},
    {"keyboard-alt", 0x05AC, 0x024F},
    {"mouse", 0x320F, 0x221C},
    {"receiver", 0x320F, 0x221D},
    {"mousepad", 0x320F, 0x1004},
    {"headset", 0x0C76, 0x1630},
}};

std::string_view ProductName(std::uint16_t vendorId, std::uint16_t productId) {
    for (const Product& product : kProducts) {
        if (product.vendorId == vendorId && product.productId == productId) {
            return product.name;
        }
    }
    return "?";
}

std::string_view KindName(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return "keyboard";
        case DeviceKind::MouseCable:
            return "mouse-cable";
        case DeviceKind::MousePad:
            return "mousepad";
        case DeviceKind::MouseReceiver:
            return "mouse-receiver";
        case DeviceKind::Headset:
            return "headset";
        case DeviceKind::KeyboardAlternate:
            return "keyboard-alt";
    }
    return "?";
}

std::string Format(const char* format, auto... values) {
    char text[256];
    const int n = std::snprintf(text, sizeof text, format, values...);
    return n < 0 ? std::string()
                 : std::string(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
}

}  // namespace

std::string HexDump(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 16) {
        text += Format("  %04zx:", i);
        for (std::size_t j = i; j < std::min(bytes.size(), i + 16); ++j) {
            text += Format(" %02x", bytes[j]);
        }
        text += "\n";
    }
    return text;
}

std::vector<Found> MatchedInterfaces(device::HidBackend& backend) {
    std::vector<Found> found;
    std::vector<std::string> paths;
    if (!backend.Enumerate(paths)) {
        return found;
    }
    for (const std::string& path : paths) {
        const auto mi = device::InterfaceNumberFromPath(path);
        const auto col = device::CollectionNumberFromPath(path);
        if (!device::IsCatalogCandidate(device::VendorIdFromPath(path), device::ProductIdFromPath(path), mi,
                                        col)) {
            continue;
        }
        auto description = backend.Describe(path);
        if (!description) {
            continue;
        }
        const auto& attributes = description->attributes;
        const auto match =
            device::IdentifyInterface({attributes.vendorId, attributes.productId, mi, col,
                                       description->capabilities.usagePage, description->capabilities.usage});
        if (!match) {
            continue;
        }
        Found item;
        item.path = path;
        item.row = match->row;
        item.entry = device::DeviceCatalog()[static_cast<std::size_t>(match->row)];
        item.description = std::move(*description);
        found.push_back(std::move(item));
    }
    return found;
}

namespace {

std::optional<std::pair<std::uint16_t, std::uint16_t>> ParseVidPid(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    const auto a = text.substr(0, colon);
    const auto b = text.substr(colon + 1);
    if (std::from_chars(a.data(), a.data() + a.size(), vid, 16).ptr != a.data() + a.size() || a.empty() ||
        std::from_chars(b.data(), b.data() + b.size(), pid, 16).ptr != b.data() + b.size() || b.empty()) {
        return std::nullopt;
    }
    return std::pair{vid, pid};
}

}  // namespace

int ResolveDevice(Context& context, std::string_view deviceName, Found& result) {
    device::HidBackend* backend = context.Backend();
    if (backend == nullptr) {
        return kExitUsage;
    }
    std::optional<std::pair<std::uint16_t, std::uint16_t>> wanted;
    const bool byPath = deviceName.find('#') != std::string_view::npos;
    if (!byPath) {
        for (const Product& product : kProducts) {
            if (product.name == deviceName) {
                wanted = std::pair{product.vendorId, product.productId};
            }
        }
        if (!wanted) {
            wanted = ParseVidPid(deviceName);
        }
        if (!wanted) {
            context.Err() +=
                "norvane-ctl: '" + std::string(deviceName) + "' names no product, VID:PID or path\n";
            return kExitUsage;
        }
    }
    for (Found& found : MatchedInterfaces(*backend)) {
        const bool same =
            byPath ? found.path == deviceName
                   : found.entry.vendorId == wanted->first && found.entry.productId == wanted->second;
        if (same && found.entry.role == DeviceRole::Command) {
            result = std::move(found);
            return kExitOk;
        }
    }
    context.Err() += "norvane-ctl: no " + std::string(deviceName) + " is connected";
    context.Err() += context.Simulated() ? " (not in the --simulate list)\n" : "\n";
    return kExitNotFound;
}

namespace {

int OpenFailure(Context& context, const std::string& path) {
    const int error = context.Backend()->LastOpenError();
    const std::string node(device::PathNode(path));
    if (error == EACCES || error == EPERM) {
        context.Err() +=
            "norvane-ctl: no access to " + node +
            ".\nInstall the udev rule that gives the logged-in user access:\n"
            "  sudo install -m 644 resources/packaging/" +
            std::string(kUdevRule) +
            " /usr/lib/udev/rules.d/\n"
            "  sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=hidraw\n"
            "(the norvane package and cmake --install put it into <prefix>/lib/udev/rules.d/), then replug\n"
            "the device.\n";
        return kExitNoAccess;
    }
    if (error == EBUSY) {
        context.Err() += "norvane-ctl: " + node + " is busy (another program holds it)\n";
        return kExitBusy;
    }
    context.Err() += "norvane-ctl: cannot open " + path +
                     (error != 0 ? ": " + std::generic_category().message(error) : "") + "\n";
    return kExitNotFound;
}

}  // namespace

int OpenChannel(Context& context, const Found& found, device::HidChannel& channel) {
    const device::LinkMode mode = device::LinkModeOf(found.entry.kind);
    device::HidInterface& slot = mode == device::LinkMode::Receiver ? channel.Receiver() : channel.Cable();
    slot.SetBackend(context.Backend());
    if (!slot.Open(found.path, true, true, true, false)) {
        return OpenFailure(context, found.path);
    }
    channel.SetLinkMode(mode);
    channel.SetOpen(true);
    if (device::QueriesLink(found.entry.kind) && !device::QueryLink(channel)) {
        context.Err() +=
            "norvane-ctl: the receiver answers, but the mouse behind it does not (asleep or out of range)\n";
        return kExitFailed;
    }
    return kExitOk;
}

int CommandFailure(Context& context, std::string_view what, int code) {
    std::string reason;
    switch (code) {
        case device::result::kNoAnswer:
            reason = "no answer from the device";
            break;
        case device::result::kWriteFailed:
            reason = "the request could not be sent (device unplugged?)";
            break;
        case device::result::kBadRequest:
            reason = "the request was refused before sending (bad length or offset)";
            break;
        case device::result::kReceiverAsleep:
            reason = "the mouse behind the receiver does not answer";
            break;
        case device::result::kStatusFF:
            reason = "the device reported error status 0xff";
            break;
        case device::result::kStatusFE:
            reason = "the device reported error status 0xfe";
            break;
        default:
            reason = "result " + std::to_string(code);
            break;
    }
    context.Err() += "norvane-ctl: " + std::string(what) + " failed: " + reason + "\n";
    return kExitFailed;
}

std::string DeviceLine(const Found& found) {
    const auto& a = found.description.attributes;
    return Format("device:        %s (%04x:%04x, %s, version %04x)\npath:          %s\n",
                  std::string(ProductName(a.vendorId, a.productId)).c_str(), a.vendorId, a.productId,
                  std::string(KindName(found.entry.kind)).c_str(), a.versionNumber, found.path.c_str());
}

namespace {

bool IsMouse(DeviceKind kind) {
    return kind == DeviceKind::MouseCable || kind == DeviceKind::MouseReceiver;
}

}  // namespace

int Bracketed(Context& context, device::HidChannel& channel, const std::function<int()>& body) {
    const int begin = device::BeginConfig(channel);
    if (begin != device::result::kSuccess) {
        return CommandFailure(context, "BeginConfig", begin);
    }
    const int code = body();
    const int end = device::EndConfig(channel);
    if (code != kExitOk) {
        return code;
    }
    return end == device::result::kSuccess ? kExitOk : CommandFailure(context, "EndConfig", end);
}

int NeedDevice(Context& context, std::span<const std::string_view> args, std::string_view command,
               Found& found) {
    if (args.size() != 1) {
        context.Err() += "usage: norvane-ctl " + std::string(command) + " DEVICE\n";
        return kExitUsage;
    }
    return ResolveDevice(context, args[0], found);
}

int RunList(Context& context, std::span<const std::string_view> args) {
    if (!args.empty()) {
        context.Err() += "usage: norvane-ctl list\n";
        return kExitUsage;
    }
    device::HidBackend* backend = context.Backend();
    if (backend == nullptr) {
        return kExitUsage;
    }
    const auto found = MatchedInterfaces(*backend);
    if (found.empty()) {
        context.Err() += "norvane-ctl: no supported device is connected\n";
        return kExitNotFound;
    }
    context.Out() += "ROW  PRODUCT       KIND            ROLE     VERSION  ACCESS  PATH\n";
    for (const Found& item : found) {
        device::HidInterface probe(backend);
        std::string access = "ok";
        if (!probe.Open(item.path, true, true, true, false)) {
            const int error = backend->LastOpenError();
            access = error == EACCES || error == EPERM ? "denied" : (error == EBUSY ? "busy" : "error");
        }
        const auto& a = item.description.attributes;
        context.Out() += Format("%-4d %-13s %-15s %-8s %04x     %-7s %s\n", item.row,
                                std::string(ProductName(a.vendorId, a.productId)).c_str(),
                                std::string(KindName(item.entry.kind)).c_str(),
                                item.entry.role == DeviceRole::Command ? "command" : "event", a.versionNumber,
                                access.c_str(), item.path.c_str());
    }
    return kExitOk;
}

int RunInfo(Context& context, std::span<const std::string_view> args) {
    Found found;
    if (const int code = NeedDevice(context, args, "info", found); code != kExitOk) {
        return code;
    }
    device::HidChannel channel;
    if (const int code = OpenChannel(context, found, channel); code != kExitOk) {
        return code;
    }
    device::DeviceInfoBlock info;
    const int code = Bracketed(context, channel, [&] {
        const int read = device::ReadDeviceInfo(channel, info);
        return read == device::result::kSuccess ? kExitOk : CommandFailure(context, "ReadDeviceInfo", read);
    });
    if (code != kExitOk) {
        return code;
    }
    std::string& out = context.Out();
    out += DeviceLine(found);
    out += Format("link:          %s\n", channel.IsWireless() ? "receiver" : "cable");
    out += Format("key count:     %u (key table %u bytes)\n", info.KeyCount(), info.KeyCount() * 3U);
    out += Format("macro memory:  %zu bytes (%u x 128)\n", info.MacroMemoryBytes(), info.MacroMemoryUnits());
    if (IsMouse(found.entry.kind)) {
        const unsigned top = info.DpiBase() + static_cast<unsigned>(info.SliderMaximum()) * info.DpiStep();
        out += Format("sensor:        0x%04x\n", info.SensorModel());
        out += Format("dpi:           %u to %u in steps of %u (slider 0 to %u)\n", info.DpiBase(), top,
                      info.DpiStep(), info.SliderMaximum());
    }
    if (info.KeyCount() > device::HidChannel::kMaxDataSize / 3) {
        out += "warning:       the key count is above 170; key tables cannot be read\n";
    }
    out += "raw:\n" + HexDump(info.bytes);
    return kExitOk;
}

int RunSettings(Context& context, std::span<const std::string_view> args) {
    Found found;
    if (const int code = NeedDevice(context, args, "settings", found); code != kExitOk) {
        return code;
    }
    device::HidChannel channel;
    if (const int code = OpenChannel(context, found, channel); code != kExitOk) {
        return code;
    }
    // A mouse keeps 128-byte blocks read 71 bytes long; the others 25-byte slots read 28.
    const bool mouse = IsMouse(found.entry.kind);
    const std::size_t stride = mouse ? 128 : 25;
    std::vector<std::uint8_t> block(mouse ? 71 : 28);
    std::uint8_t active = 0;
    const int code = Bracketed(context, channel, [&] {
        int read = device::ReadSettings(channel, std::span(&active, 1), 0);
        if (read != device::result::kSuccess) {
            return CommandFailure(context, "ReadSettings", read);
        }
        read = device::ReadSettings(channel, block, static_cast<std::uint16_t>(active * stride));
        return read == device::result::kSuccess ? kExitOk : CommandFailure(context, "ReadSettings", read);
    });
    if (code != kExitOk) {
        return code;
    }
    context.Out() += DeviceLine(found);
    context.Out() += Format("active profile: %u\nsettings block (%zu bytes at offset %zu):\n", active,
                            block.size(), active * stride);
    context.Out() += HexDump(block);
    return kExitOk;
}

int RunStatus(Context& context, std::span<const std::string_view> args) {
    Found found;
    if (const int code = NeedDevice(context, args, "status", found); code != kExitOk) {
        return code;
    }
    device::HidChannel channel;
    if (const int code = OpenChannel(context, found, channel); code != kExitOk) {
        return code;
    }
    std::array<std::uint8_t, 6> status{};
    const int read = device::ReadStatus(channel, status, 0);
    if (read != device::result::kSuccess) {
        return CommandFailure(context, "ReadStatus", read);
    }
    static constexpr std::array<std::string_view, 3> kPower = {"external power", "charging", "battery"};
    static constexpr std::array<std::string_view, 4> kPhone = {"none", "iPhone", "Samsung", "other phone"};
    context.Out() += DeviceLine(found);
    context.Out() += Format("link:          %s\n", channel.IsWireless() ? "receiver" : "cable");
    context.Out() += Format("level:         %u%%\n", status[0]);
    context.Out() += Format("power:         %s\n",
                            status[1] < kPower.size() ? std::string(kPower[status[1]]).c_str() : "unknown");
    if (found.entry.kind == DeviceKind::MousePad) {
        context.Out() +=
            Format("phone:         %s\n",
                   std::string(kPhone[status[5] >= 1 && status[5] <= 3 ? status[5] : 0]).c_str());
    }
    context.Out() += "raw:\n" + HexDump(status);
    return kExitOk;
}

int RunDescriptor(Context& context, std::span<const std::string_view> args) {
    if (args.size() != 1) {
        context.Err() += "usage: norvane-ctl descriptor FILE|DEVICE\n";
        return kExitUsage;
    }
    const std::string argument(args[0]);
    std::error_code ec;
    if (std::filesystem::is_regular_file(argument, ec)) {
        const auto text = platform::ReadFileLimited(argument, std::size_t{64} * 1024);
        if (!text) {
            context.Err() += "norvane-ctl: cannot read " + argument + "\n";
            return kExitFailed;
        }
        const auto bytes = device::ParseHexBytes(*text);
        if (!bytes) {
            context.Err() += "norvane-ctl: " + argument + " does not hold hexadecimal bytes\n";
            return kExitFailed;
        }
        const auto parsed = device::ParseReportDescriptor(*bytes);
        if (!parsed.descriptor) {
            context.Err() += "norvane-ctl: " + argument + ": " + parsed.error + "\n";
            return kExitFailed;
        }
        context.Out() += device::DescriptorToJson(*parsed.descriptor);
        return kExitOk;
    }
    Found found;
    if (const int code = ResolveDevice(context, argument, found); code != kExitOk) {
        return code;
    }
    context.Out() += device::DescriptorToJson(found.description.descriptor);
    return kExitOk;
}

}  // namespace norvane::ctl
