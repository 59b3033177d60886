#include "update/update_service.h"

#include "platform/diag.h"

#include <json/json.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <vector>

namespace norvane::update {
namespace {

int DigitValue(char c, bool hexadecimal) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hexadecimal && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hexadecimal && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Format(const char* pattern, std::uint32_t value) {
    std::array<char, 16> text{};
    const int n = std::snprintf(text.data(), text.size(), pattern, value);
    return n > 0 ? std::string(text.data(), static_cast<std::size_t>(n)) : std::string{};
}

std::string TextMember(const Json::Value& root, const char* name) {
    const Json::Value& value = root[name];
    return value.isString() ? value.asString() : std::string{};
}

}  // namespace

std::string ComposeUpdateQueryBody(std::string_view appKey, std::uint32_t currentVersion, bool hexadecimal) {
    std::string body = "app_key=";
    body.append(appKey);
    body.append("&version=");
    body.append(hexadecimal ? Format("%x", currentVersion)
                            : std::to_string(static_cast<std::int32_t>(currentVersion)));
    body.push_back('\0');
    return body;
}

std::uint32_t ParseVersionDigits(std::string_view text, bool hexadecimal) {
    const std::uint64_t base = hexadecimal ? 16 : 10;
    std::uint64_t value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, hexadecimal);
        if (digit < 0) {
            break;
        }
        value = std::min<std::uint64_t>(value * base + static_cast<std::uint64_t>(digit), UINT32_MAX);
    }
    return static_cast<std::uint32_t>(value);
}

UpdateInfo ParseUpdateAnswer(std::string_view answer, std::uint32_t currentVersion, bool hexadecimal) {
    UpdateInfo info;
    info.check = UpdateCheckResult::Failed;
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["stackLimit"] = 256;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (answer.empty() || !reader->parse(answer.data(), answer.data() + answer.size(), &root, &errors) ||
        !root.isObject()) {
        return info;
    }
    info.downloadPath = TextMember(root, "path");
    info.name = TextMember(root, "name");
    info.versionName = TextMember(root, "version_name");
    const std::string version = TextMember(root, "version");
    info.newVersionText = "V" + version;
    const Json::Value& deviceId = root["device_id"];
    info.deviceId = deviceId.isInt() ? deviceId.asInt() : 0;

    const std::uint32_t serverVersion = ParseVersionDigits(version, hexadecimal);
    if (hexadecimal) {
        info.currentVersionText = HexVersionText(currentVersion);
    } else {
        info.currentVersionText = "V" + std::to_string(static_cast<std::int32_t>(currentVersion));
        info.newVersionText = info.versionName;
    }
    // Both compared as signed 32-bit numbers.
    info.status = static_cast<std::int32_t>(serverVersion) > static_cast<std::int32_t>(currentVersion)
                      ? kStatusUpdateAvailable
                      : kStatusUpToDate;
    info.check = UpdateCheckResult::Answered;
    return info;
}

UpdateService::UpdateService(std::string serviceUrl, HttpSettings settings)
    : serviceUrl_(std::move(serviceUrl)), settings_(std::move(settings)) {
}

UpdateInfo UpdateService::UpdateQuery(std::string_view appKey, std::uint32_t currentVersion, bool hexadecimal,
                                      const std::stop_token& stop) {
    client_.Reset(settings_);
    const std::string body = ComposeUpdateQueryBody(appKey, currentVersion, hexadecimal);
    std::vector<char> buffer(kResponseBufferSize, '\0');
    const int received = client_.Request("POST", serviceUrl_ + std::string(kUpdatesPath),
                                         std::as_bytes(std::span(body)), buffer, stop);
    UpdateInfo info;
    if (received == 0) {
        // Nothing received: the buffer holds "NO_LINK_SERVER" when the server was not reached.
        info.name.assign(buffer.data(), std::ranges::find(buffer, '\0') - buffer.begin());
        info.check = info.name == kNoLinkServer && client_.LastError() != kHttpErrorNone
                         ? UpdateCheckResult::NoServer
                         : UpdateCheckResult::Failed;
        return info;
    }
    if (received < 0 || client_.LastError() != kHttpErrorNone) {
        // Refused before sending, cut at the buffer's end, or broken off part way.
        if (platform::diag::Enabled()) {
            platform::diag::Trace("update query for " + std::string(appKey) +
                                  " failed: " + DescribeHttpError(client_.LastError()));
        }
        info.check = UpdateCheckResult::Failed;
        return info;
    }
    if (const long status = client_.LastStatus(); status < 200 || status > 299) {
        // An error page may be JSON too; it never says whether the item is up to date.
        if (platform::diag::Enabled()) {
            platform::diag::Trace("update query for " + std::string(appKey) + ": HTTP status " +
                                  std::to_string(status));
        }
        info.check = UpdateCheckResult::Failed;
        return info;
    }
    info = ParseUpdateAnswer(std::string_view(buffer.data(), static_cast<std::size_t>(received)),
                             currentVersion, hexadecimal);
    if (info.check != UpdateCheckResult::Answered && platform::diag::Enabled()) {
        platform::diag::Trace("update query for " + std::string(appKey) +
                              ": the answer is not a JSON object");
    }
    return info;
}

std::string AppKeyOfColumns(const device::FirmwareIdentityEntry& row) {
    std::string key(row.brand);
    key.append("_").append(std::to_string(row.typeCode));
    key.append("_").append(row.chipCode);
    key.append("_").append(row.productCode);
    key.append("_").append(std::to_string(row.flag));
    return key;
}

std::string MakeAppKey(const device::FirmwareIdentityEntry& row) {
    return row.currentVersion == 0 ? std::string("NULL") : AppKeyOfColumns(row);
}

std::string HexVersionText(std::uint32_t version) {
    return Format("V%04x", version);
}

std::string DefaultCurrentVersionText(const device::FirmwareIdentityEntry& row) {
    return row.typeCode != 0 ? HexVersionText(row.currentVersion) : std::string(row.versionText);
}

std::uint32_t VersionNumberOfText(std::string_view versionText) {
    std::string digits;
    std::ranges::copy_if(versionText, std::back_inserter(digits), [](char c) { return c != '.'; });
    std::string_view rest = digits;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (const char c : rest) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > INT32_MAX) {
            return 0;  // not a version this program could compare
        }
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t InstalledVersion(const platform::Registry& registry) {
    return VersionNumberOfText(platform::InstalledVersionText(registry));
}

}  // namespace norvane::update
