#pragma once

#include "device/catalogue.h"
#include "update/http_client.h"
#include "update/update_service.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The update check of the settings window: one query per firmware row on a worker thread, one
// row after another. Results wait in a mailbox for the UI thread; the worker only calls the
// wake function (a posted message), never a control.
namespace norvane::update {

// What a row shows before (and, without an answer, after) its check: "AP" for the
// application row ("ALL" chip code, any case), else the second product code; the row's
// current version text; no new version; status 7.
UpdateInfo DefaultRowInfo(const device::FirmwareIdentityEntry& row);

// The record a row takes from an answer: a query that got no usable answer, or one answered
// with an empty name, takes the defaults; the name is always the second product code.
UpdateInfo RowInfoOfAnswer(const device::FirmwareIdentityEntry& row, UpdateInfo answer);

struct UpdateCheckEvent {
    enum class Kind { kRow, kDone };
    Kind kind = Kind::kRow;
    int row = 0;       // kRow: the row's index
    UpdateInfo info;   // kRow: what the row shows now
    int failures = 0;  // kDone: rows without a usable answer
};

class UpdateCheckWorker {
public:
    UpdateCheckWorker() = default;
    ~UpdateCheckWorker() { Stop(); }
    UpdateCheckWorker(const UpdateCheckWorker&) = delete;
    UpdateCheckWorker& operator=(const UpdateCheckWorker&) = delete;

    // Starts the check; wake is called from the worker whenever events wait.
    void Start(std::vector<device::FirmwareIdentityEntry> rows, std::string serviceUrl, HttpSettings settings,
               std::function<void()> wake);
    // Asks the worker to stop (cancelling the query in flight) and joins it. A stopped check
    // reports nothing more.
    void Stop();
    bool Started() const { return thread_.joinable(); }
    // UI thread: the events that arrived since the last call, in order.
    std::vector<UpdateCheckEvent> TakeEvents();

private:
    void Run(const std::stop_token& stop, const std::vector<device::FirmwareIdentityEntry>& rows,
             const std::string& serviceUrl, const HttpSettings& settings, const std::function<void()>& wake);
    void Deliver(UpdateCheckEvent event, const std::function<void()>& wake);

    std::mutex mutex_;
    std::vector<UpdateCheckEvent> events_;
    std::jthread thread_;  // last: joined before the mailbox goes
};

}  // namespace norvane::update
