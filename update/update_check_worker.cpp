#include "update/update_check_worker.h"

#include "platform/diag.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace norvane::update {

namespace {

bool IsApplicationRow(const device::FirmwareIdentityEntry& row) {
    constexpr std::string_view kAll = "ALL";
    return std::ranges::equal(row.chipCode, kAll, [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    });
}

}  // namespace

UpdateInfo DefaultRowInfo(const device::FirmwareIdentityEntry& row) {
    UpdateInfo info;
    info.name = IsApplicationRow(row) ? std::string("AP") : std::string(row.secondProductCode);
    info.currentVersionText = DefaultCurrentVersionText(row);
    info.status = kStatusUpToDate;
    return info;
}

UpdateInfo RowInfoOfAnswer(const device::FirmwareIdentityEntry& row, UpdateInfo answer) {
    if (answer.check != UpdateCheckResult::Answered || answer.name.empty()) {
        answer.currentVersionText = DefaultCurrentVersionText(row);
        answer.newVersionText.clear();
        answer.status = kStatusUpToDate;
    }
    answer.name = std::string(row.secondProductCode);
    return answer;
}

void UpdateCheckWorker::Start(std::vector<device::FirmwareIdentityEntry> rows, std::string serviceUrl,
                              HttpSettings settings, std::function<void()> wake) {
    Stop();
    thread_ = std::jthread(
        [this, rows = std::move(rows), url = std::move(serviceUrl), settings = std::move(settings),
         wake = std::move(wake)](const std::stop_token& stop) { Run(stop, rows, url, settings, wake); });
}

void UpdateCheckWorker::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
        platform::diag::Trace("update check stopped");
    }
}

std::vector<UpdateCheckEvent> UpdateCheckWorker::TakeEvents() {
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
}

void UpdateCheckWorker::Deliver(UpdateCheckEvent event, const std::function<void()>& wake) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    if (wake) {
        wake();
    }
}

void UpdateCheckWorker::Run(const std::stop_token& stop,
                            const std::vector<device::FirmwareIdentityEntry>& rows,
                            const std::string& serviceUrl, const HttpSettings& settings,
                            const std::function<void()>& wake) {
    UpdateService service(serviceUrl, settings);
    int failures = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (stop.stop_requested()) {
            return;
        }
        const device::FirmwareIdentityEntry& row = rows[k];
        UpdateInfo answer = service.UpdateQuery(MakeAppKey(row), row.currentVersion, row.typeCode != 0, stop);
        // A cancelled query is neither a failure nor a row to show.
        if (stop.stop_requested()) {
            return;
        }
        if (answer.check != UpdateCheckResult::Answered) {
            ++failures;
            platform::diag::Trace("update check failed for " + AppKeyOfColumns(row) + ": " +
                                  DescribeHttpError(service.LastHttpError()));
        }
        Deliver(
            {UpdateCheckEvent::Kind::kRow, static_cast<int>(k), RowInfoOfAnswer(row, std::move(answer)), 0},
            wake);
    }
    Deliver({UpdateCheckEvent::Kind::kDone, 0, {}, failures}, wake);
}

}  // namespace norvane::update
