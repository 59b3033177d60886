#pragma once

#include "device/catalogue.h"
#include "platform/registry.h"
#include "update/http_client.h"

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

// Asks the update service whether a newer package exists for one updatable item.
namespace norvane::update {

// How a query ended.
enum class UpdateCheckResult {
    NotChecked,
    Answered,  // a JSON object came back; status is 1 or 7
    NoServer,  // no attempt reached the server; name is "NO_LINK_SERVER"
    Failed,    // the request failed after reaching the server, or the answer was empty,
               // cut at the buffer's end, not JSON, not a JSON object or came with a
               // status other than 2xx
};

// The update state of one list row.
struct UpdateInfo {
    std::int32_t status = 0;  // 1 a newer version exists, 7 up to date (after an answer)
    std::int32_t deviceId = 0;
    std::string name;
    std::string currentVersionText;
    std::string versionName;
    std::string newVersionText;
    std::string downloadPath;
    std::string localFile;  // filled by the settings window
    UpdateCheckResult check = UpdateCheckResult::NotChecked;
};

inline constexpr std::int32_t kStatusUpdateAvailable = 1;
inline constexpr std::int32_t kStatusUpToDate = 7;
inline constexpr std::size_t kResponseBufferSize = 102400;
inline constexpr std::string_view kUpdatesPath = "updates";

// The query's body: "app_key=<key>&version=<version>" (lower-case hexadecimal when
// hexadecimal is set, else decimal), UTF-8, followed by one zero byte.
std::string ComposeUpdateQueryBody(std::string_view appKey, std::uint32_t currentVersion, bool hexadecimal);

// The leading hexadecimal (or decimal) digits of a version text, 0 when there are
// none, saturated at 0xFFFFFFFF.
std::uint32_t ParseVersionDigits(std::string_view text, bool hexadecimal);

// Turns an answer into the record, as UpdateQuery does after the request.
UpdateInfo ParseUpdateAnswer(std::string_view answer, std::uint32_t currentVersion, bool hexadecimal);

class UpdateService {
public:
    // serviceUrl: the service's "/api/" URL; queries go to serviceUrl + "updates".
    // Every query starts from the given client settings.
    explicit UpdateService(std::string serviceUrl, HttpSettings settings = {});

    const std::string& ServiceUrl() const { return serviceUrl_; }
    // The last error of the latest query's request (for diagnostics).
    std::uint32_t LastHttpError() const { return client_.LastError(); }
    // The HTTP status of the latest query's answer, 0 when none came.
    long LastHttpStatus() const { return client_.LastStatus(); }

    // hexadecimal: the row's type code is not 0 (device firmware).
    UpdateInfo UpdateQuery(std::string_view appKey, std::uint32_t currentVersion, bool hexadecimal,
                           const std::stop_token& stop = {});

private:
    std::string serviceUrl_;
    HttpSettings settings_;
    HttpClient client_;
};

// The application key of a firmware row: brand, type code, chip code, product code and
// flag joined by underscores, for example "VELTO_1_TX20M1A_MS_1"; "NULL" when the
// row's current version is 0.
std::string MakeAppKey(const device::FirmwareIdentityEntry& row);

// The key built from the row's columns whatever its current version.
std::string AppKeyOfColumns(const device::FirmwareIdentityEntry& row);

// "V" and a firmware version in lower-case hexadecimal, at least four digits ("V0105").
std::string HexVersionText(std::uint32_t version);

// What a row shows before its answer: HexVersionText of the current version for
// firmware, the row's version text for the application.
std::string DefaultCurrentVersionText(const device::FirmwareIdentityEntry& row);

// The installed application version: the version text with every "." removed, read as
// a decimal number ("1.0.0.1" gives 1001, "2.3.10" gives 2310); 0 when it has no
// leading digits or is above 2147483647.
std::uint32_t InstalledVersion(const platform::Registry& registry = platform::Registry::ForUser());
std::uint32_t VersionNumberOfText(std::string_view versionText);

}  // namespace norvane::update
