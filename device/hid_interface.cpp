#include "device/hid_interface.h"

#include "device/path_keys.h"

#include <algorithm>

namespace norvane::device {
namespace {

// Sets a flag for the duration of one transfer.
class FlagScope {
public:
    // A flag for others to look at, not to order memory by: no locked instruction needed.
    explicit FlagScope(std::atomic<bool>& flag) : flag_(flag) {
        flag_.store(true, std::memory_order_release);
    }
    ~FlagScope() { flag_.store(false, std::memory_order_release); }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    std::atomic<bool>& flag_;
};

}  // namespace

void HidInterface::SetBackend(HidBackend* backend) {
    Close();
    const std::lock_guard lock(mutex_);
    backend_ = backend;
}

bool HidInterface::Open(std::string_view path, bool readAccess, bool writeAccess, bool overlapped,
                        bool exclusive) {
    Close();
    const HidOpenMode mode{readAccess, writeAccess, overlapped, exclusive};
    HidBackend* backend = nullptr;
    {
        const std::lock_guard lock(mutex_);
        mode_ = mode;
        path_ = std::string(path);
        backend = backend_;
    }
    if (backend == nullptr) {
        return false;
    }
    std::shared_ptr<HidConnection> connection = backend->Open(path, mode);
    if (!connection) {
        return false;
    }
    const std::lock_guard lock(mutex_);
    attributes_ = connection->Attributes();
    capabilities_ = CapabilitiesOf(connection->Descriptor(), connection->Collection());
    interfaceNumber_ = InterfaceNumberFromPath(path);
    collectionNumber_ = CollectionNumberFromPath(path);
    int sole = -1;
    int inputs = 0;
    for (const HidReportInfo& report : connection->Descriptor().reports) {
        if (report.type == HidReportType::Input && report.collection == connection->Collection()) {
            sole = inputs++ == 0 ? report.reportId : -1;
        }
    }
    soleInputReport_.store(sole);
    connection_ = std::move(connection);
    return true;
}

void HidInterface::Close() {
    std::shared_ptr<HidConnection> connection;
    {
        const std::lock_guard lock(mutex_);
        connection = std::move(connection_);
        connection_.reset();
        attributes_ = {};
        soleInputReport_.store(-1);
        capabilities_ = {};
    }
    if (connection) {
        // A reader or writer holding its own reference returns at once and releases it.
        connection->Abort();
    }
}

bool HidInterface::IsOpen() const {
    const std::lock_guard lock(mutex_);
    return connection_ != nullptr;
}

bool HidInterface::HasInputReportOtherThan(std::uint8_t reportId) const {
    return soleInputReport_.load() != reportId;
}

std::shared_ptr<HidConnection> HidInterface::Connection() const {
    const std::lock_guard lock(mutex_);
    return connection_;
}

bool HidInterface::Pinned::ReadReport(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs) {
    count = 0;
    if (!connection_ || buffer.empty()) {
        return false;
    }
    const FlagScope flag(owner_->reading_);
    return connection_->Read(buffer, count, timeoutMs) == HidIoStatus::Ok;
}

bool HidInterface::Pinned::WriteReport(std::span<const std::uint8_t> report, std::size_t& count,
                                       int timeoutMs) {
    count = 0;
    if (!connection_ || report.empty()) {
        return false;
    }
    const FlagScope flag(owner_->writing_);
    return connection_->Write(report, count, timeoutMs) == HidIoStatus::Ok;
}

bool HidInterface::SetOutputReport(std::span<const std::uint8_t> report) {
    const auto connection = Connection();
    return connection && !report.empty() && connection->SetOutputReport(report);
}

std::vector<HidUsageData> HidInterface::UnpackInputReport(std::span<const std::uint8_t> report) const {
    const auto connection = Connection();
    if (!connection) {
        return {};
    }
    return device::UnpackInputReport(connection->Descriptor(), connection->Collection(), report);
}

EventRead HidInterface::ReadEventCode(int timeoutMs) {
    const auto connection = Connection();
    if (!connection) {
        return {EventRead::Kind::Closed};
    }
    std::vector<std::uint8_t> report(std::max<std::size_t>(Capabilities().inputReportByteLength, 1));
    std::size_t count = 0;
    HidIoStatus status = HidIoStatus::Failed;
    {
        const FlagScope flag(reading_);
        status = connection->Read(report, count, timeoutMs);
    }
    if (status == HidIoStatus::Timeout) {
        return {EventRead::Kind::Idle};
    }
    if (status != HidIoStatus::Ok) {
        return {EventRead::Kind::Closed};
    }
    const auto usages = device::UnpackInputReport(connection->Descriptor(), connection->Collection(),
                                                  std::span(report).first(count));
    if (usages.empty()) {
        return {EventRead::Kind::NoUsage};
    }
    return {EventRead::Kind::Code, usages.front().usage};
}

std::string HidInterface::Path() const {
    const std::lock_guard lock(mutex_);
    return path_;
}

HidAttributes HidInterface::Attributes() const {
    const std::lock_guard lock(mutex_);
    return attributes_;
}

HidCapabilities HidInterface::Capabilities() const {
    const std::lock_guard lock(mutex_);
    return capabilities_;
}

HidOpenMode HidInterface::Mode() const {
    const std::lock_guard lock(mutex_);
    return mode_;
}

std::uint16_t HidInterface::InterfaceNumber() const {
    const std::lock_guard lock(mutex_);
    return interfaceNumber_;
}

std::uint16_t HidInterface::CollectionNumber() const {
    const std::lock_guard lock(mutex_);
    return collectionNumber_;
}

}  // namespace norvane::device
