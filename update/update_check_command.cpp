#include "update/update_check_command.h"

#include "update/service_url.h"
#include "update/update_service.h"
#include "update/url_credentials.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace norvane::update {
namespace {

constexpr std::string_view kUsage =
    "usage: update-check [--url URL] [--firmware CHIP=HEX]... [--timeout-ms N] [--ca-file FILE]\n"
    "  --url URL           update service URL ending in /api/ (default: NORVANE_UPDATE_URL,\n"
    "                      then UpdateServiceUrl in the settings file, then the built-in one)\n"
    "  --firmware CHIP=HEX current firmware version of the item with this chip code\n"
    "  --timeout-ms N      connect, send and receive timeouts in milliseconds\n"
    "  --ca-file FILE      trusted certificates (PEM) in place of the CA bundle file\n";

struct FirmwareVersion {
    std::string chipCode;
    std::uint32_t version = 0;
};

struct Options {
    std::optional<std::string> url;
    std::vector<FirmwareVersion> firmware;
    std::optional<std::chrono::milliseconds> timeout;
    std::string caFile;
};

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Parses the options; false (with a message on err) on a usage error.
bool ParseOptions(std::span<const std::string_view> args, Options& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--url" && hasValue) {
            options.url = NormaliseServiceUrl(args[++i]);
            if (!options.url) {
                err << "update-check: --url needs an http or https URL, not '" << WithoutCredentials(args[i])
                    << "'\n";
                return false;
            }
        } else if (arg == "--firmware" && hasValue) {
            const std::string_view value = args[++i];
            const std::size_t eq = value.find('=');
            const std::optional<std::uint32_t> version =
                eq == std::string_view::npos ? std::nullopt
                                             : ParseNumber<std::uint32_t>(value.substr(eq + 1), 16);
            if (!version || eq == 0) {
                err << "update-check: --firmware needs CHIP=HEX, not '" << value << "'\n";
                return false;
            }
            options.firmware.push_back({std::string(value.substr(0, eq)), *version});
        } else if (arg == "--timeout-ms" && hasValue) {
            const std::optional<std::uint32_t> ms = ParseNumber<std::uint32_t>(args[++i], 10);
            if (!ms || *ms == 0) {
                err << "update-check: --timeout-ms needs a positive number of milliseconds\n";
                return false;
            }
            options.timeout = std::chrono::milliseconds(*ms);
        } else if (arg == "--ca-file" && hasValue) {
            options.caFile = std::string(args[++i]);
        } else {
            err << "update-check: unknown or incomplete option '" << arg << "'\n" << kUsage;
            return false;
        }
    }
    return true;
}

// Server texts may hold anything; keep control characters off the terminal.
std::string Printable(std::string_view text) {
    std::string out(text);
    std::ranges::replace_if(
        out, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
    return out.empty() ? std::string("-") : out;
}

std::string ResultText(const UpdateInfo& info, bool versionKnown) {
    switch (info.check) {
        case UpdateCheckResult::Answered:
            if (!versionKnown) {
                return "not connected";
            }
            return info.status == kStatusUpdateAvailable ? "update available" : "up to date";
        case UpdateCheckResult::NoServer:
            return "no server";
        case UpdateCheckResult::Failed:
        case UpdateCheckResult::NotChecked:
            break;
    }
    return "failed";
}

std::string CurrentText(const device::FirmwareIdentityEntry& row, const UpdateInfo& info) {
    if (row.currentVersion == 0) {
        return "-";
    }
    if (info.check == UpdateCheckResult::Answered) {
        return info.currentVersionText;
    }
    return DefaultCurrentVersionText(row);
}

// Why a row was not answered.
std::string FailureReason(const UpdateService& updates) {
    if (updates.LastHttpError() != kHttpErrorNone) {
        return DescribeHttpError(updates.LastHttpError());
    }
    if (const long status = updates.LastHttpStatus(); status != 0 && (status < 200 || status > 299)) {
        return "HTTP status " + std::to_string(status);
    }
    return "the answer is not a JSON object";
}

}  // namespace

int RunUpdateCheckCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    return RunUpdateCheckCommand(args, out, err, {});
}

int RunUpdateCheckCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                          std::span<const device::OpenDeviceVersion> openDevices) {
    for (const std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
    }
    Options options;
    if (!ParseOptions(args, options, err)) {
        return 2;
    }
    ServiceUrlChoice service = ResolveUpdateServiceUrl();
    if (options.url) {
        service = {*options.url, "--url"};
    }
    HttpSettings settings;
    if (options.timeout) {
        settings.connectTimeout = settings.sendTimeout = settings.receiveTimeout = *options.timeout;
    }
    settings.caFile = options.caFile;
    UpdateService updates(service.url, settings);

    // Rows of open devices carry their versions; the others are asked with 0.
    const std::vector<device::FirmwareIdentityEntry> known =
        device::BuildFirmwareList(openDevices, InstalledVersion());
    std::vector<std::array<std::string, 6>> lines;
    lines.push_back({"ITEM", "KEY", "CURRENT", "AVAILABLE", "RESULT", "PACKAGE"});
    bool allAnswered = true;
    for (device::FirmwareIdentityEntry row : device::FirmwareIdentities()) {
        for (const device::FirmwareIdentityEntry& entry : known) {
            if (entry.chipCode == row.chipCode && entry.typeCode == row.typeCode) {
                row.currentVersion = entry.currentVersion;
            }
        }
        for (const FirmwareVersion& given : options.firmware) {
            if (row.typeCode != 0 && given.chipCode == row.chipCode) {
                row.currentVersion = given.version;
            }
        }
        const std::string key = row.currentVersion != 0 ? MakeAppKey(row) : AppKeyOfColumns(row);
        const UpdateInfo info = updates.UpdateQuery(key, row.currentVersion, row.typeCode != 0);
        if (info.check != UpdateCheckResult::Answered) {
            allAnswered = false;
            err << "update-check: " << key << ": " << FailureReason(updates) << "\n";
        }
        const bool application = row.chipCode == "ALL";
        const std::string available =
            info.check == UpdateCheckResult::Answered ? info.newVersionText : std::string("-");
        lines.push_back({application ? std::string("AP") : std::string(row.secondProductCode), key,
                         CurrentText(row, info), Printable(available),
                         ResultText(info, row.currentVersion != 0), Printable(info.downloadPath)});
    }

    out << "service: " << Printable(WithoutCredentials(service.url)) << " (" << service.source << ")\n";
    std::array<std::size_t, 6> widths{};
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < line.size(); ++c) {
            widths[c] = std::max(widths[c], line[c].size());
        }
    }
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t c = 0; c < line.size(); ++c) {
            text += line[c];
            if (c + 1 < line.size()) {
                text.append(widths[c] - line[c].size() + 2, ' ');
            }
        }
        out << text << "\n";
    }
    return allAnswered ? 0 : 1;
}

}  // namespace norvane::update
