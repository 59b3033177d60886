#pragma once

#include "device/hid_backend.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::device {

// What one read of an event interface gave.
struct EventRead {
    enum class Kind {
        Code,     // a report with at least one usage; code is its first
        NoUsage,  // a report that unpacked to no usage (a key release, a short report)
        Idle,     // no report within the time limit
        Closed,   // not open, closed from another thread, or the device went away
    };
    Kind kind = Kind::Closed;
    std::uint16_t code = 0;

    bool HasCode() const { return kind == Kind::Code; }
};

// One HID interface (one top-level collection): open, described, read and written with a
// time limit that Close from another thread cuts short.
class HidInterface {
public:
    explicit HidInterface(HidBackend* backend = nullptr) : backend_(backend) {}
    ~HidInterface() { Close(); }
    HidInterface(const HidInterface&) = delete;
    HidInterface& operator=(const HidInterface&) = delete;

    void SetBackend(HidBackend* backend);

    // Closes what was open, opens the path and reads its description. The interface and
    // collection numbers are taken from the path.
    bool Open(std::string_view path, bool readAccess, bool writeAccess, bool overlapped, bool exclusive);
    // Ends a read or write in progress and closes; closing a closed interface does nothing.
    void Close();
    bool IsOpen() const;

    // The open connection held for a run of transfers (a request and its answers) with one
    // look-up; empty when the interface is closed. Close from another thread still ends a
    // transfer in progress.
    class Pinned {
    public:
        explicit operator bool() const { return connection_ != nullptr; }
        bool ReadReport(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs);
        bool WriteReport(std::span<const std::uint8_t> report, std::size_t& count, int timeoutMs);

    private:
        friend class HidInterface;
        Pinned(HidInterface& owner, std::shared_ptr<HidConnection> connection)
            : owner_(&owner), connection_(std::move(connection)) {}

        HidInterface* owner_;
        std::shared_ptr<HidConnection> connection_;
    };
    Pinned Pin() { return Pinned(*this, Connection()); }

    // True with the byte count when a report arrived in time; -1 waits without limit.
    bool ReadReport(std::span<std::uint8_t> buffer, std::size_t& count, int timeoutMs) {
        return Pin().ReadReport(buffer, count, timeoutMs);
    }
    bool WriteReport(std::span<const std::uint8_t> report, std::size_t& count, int timeoutMs) {
        return Pin().WriteReport(report, count, timeoutMs);
    }
    bool SetOutputReport(std::span<const std::uint8_t> report);
    // The usages of an input report of this collection (buttons first, then values).
    std::vector<HidUsageData> UnpackInputReport(std::span<const std::uint8_t> report) const;
    // Reads one input report and yields its first usage (the device event code), or why
    // there is none.
    EventRead ReadEventCode(int timeoutMs);

    // False only when this is the open collection's one input report: any other is one the
    // device may send unasked. True when closed.
    bool HasInputReportOtherThan(std::uint8_t reportId) const;

    std::string Path() const;
    HidAttributes Attributes() const;
    HidCapabilities Capabilities() const;
    HidOpenMode Mode() const;
    std::uint16_t InterfaceNumber() const;
    std::uint16_t CollectionNumber() const;
    bool IsReading() const { return reading_.load(); }
    bool IsWriting() const { return writing_.load(); }

private:
    std::shared_ptr<HidConnection> Connection() const;

    HidBackend* backend_;
    mutable std::mutex mutex_;  // guards the fields below, not the I/O itself
    std::shared_ptr<HidConnection> connection_;
    std::string path_;
    HidOpenMode mode_;
    HidAttributes attributes_;
    HidCapabilities capabilities_;
    std::uint16_t interfaceNumber_ = 0;
    std::uint16_t collectionNumber_ = 0;
    std::atomic<int> soleInputReport_{-1};  // the collection's only input report ID, else -1
    std::atomic<bool> reading_{false};
    std::atomic<bool> writing_{false};
};

}  // namespace norvane::device
