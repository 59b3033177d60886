#pragma once

#include "device/hid_interface.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>

namespace norvane::device {

// Result codes of exchanges and command operations.
namespace result {
inline constexpr int kSuccess = 1;
inline constexpr int kNoAnswer = 0;  // channel not open, or no answer in time
inline constexpr int kWriteFailed = -1;
inline constexpr int kBadRequest = -2;        // refused before sending: a caller's bad argument
inline constexpr int kReceiverAsleep = -101;  // the receiver answered 0xAA
inline constexpr int kStatusFF = -102;
inline constexpr int kStatusFE = -103;
inline constexpr int kBadBank = -201;
}  // namespace result

inline constexpr std::size_t kReportLength = 64;
using Report = std::array<std::uint8_t, kReportLength>;

enum class LinkMode { Cable = 1, Receiver = 2 };

// A device object's link: a cable and a receiver interface slot, the locks that order
// exchanges, and the request/answer primitive of the command protocol.
class HidChannel {
public:
    static constexpr std::uint16_t kMaxDataSize = 512;
    static constexpr int kCableTimeoutMs = 1000;
    static constexpr int kReceiverTimeoutMs = 5000;
    static constexpr std::uint8_t kCableChunk = 56;
    static constexpr std::uint8_t kReceiverChunk = 24;

    explicit HidChannel(HidBackend* backend = nullptr) : cable_(backend), receiver_(backend) {}
    HidChannel(const HidChannel&) = delete;
    HidChannel& operator=(const HidChannel&) = delete;

    HidInterface& Cable() { return cable_; }
    HidInterface& Receiver() { return receiver_; }
    // The receiver slot when the wireless flag is set, else the cable slot.
    HidInterface& Active() { return IsWireless() ? receiver_ : cable_; }

    // Refuses sizes above 512 (and below 0), keeping the old size.
    bool SetDataSize(int size);
    std::uint16_t DataSize() const { return dataSize_.load(); }

    // Receiver: wireless flag and 24-byte chunks; anything else: cable and 56-byte chunks.
    void SetLinkMode(LinkMode mode);
    bool IsWireless() const { return wireless_.load(); }
    LinkMode Link() const { return IsWireless() ? LinkMode::Receiver : LinkMode::Cable; }
    static constexpr std::uint8_t ChunkSizeOf(LinkMode mode) {
        return mode == LinkMode::Receiver ? kReceiverChunk : kCableChunk;
    }
    std::uint8_t ChunkSize() const { return chunkSize_.load(); }
    int TimeoutMs() const { return IsWireless() ? receiverTimeoutMs_.load() : cableTimeoutMs_.load(); }
    // Time limits of one write or read (1000 ms by cable, 5000 ms through the receiver). A
    // kernel that sends inside write() (hidraw over usbhid) is not held to them: an exchange
    // takes at most kKernelWriteLimitMs + 2 x TimeoutMs(), and so long can the I/O lock be
    // held against every other exchange and SwitchLink (7 s by cable, 15 s through the
    // receiver).
    void SetTimeouts(int cableMs, int receiverMs) {
        cableTimeoutMs_.store(cableMs);
        receiverTimeoutMs_.store(receiverMs);
    }

    // Moves the link to the other slot, all under the I/O lock: the channel is marked closed,
    // the current slot closed, the slot of the new mode opened on path, the link mode set
    // and, when the open succeeded, the channel marked open again.
    bool SwitchLink(LinkMode mode, std::string_view path);

    void SetOpen(bool open) { open_.store(open); }
    bool IsOpen() const { return open_.load(); }
    void SetSync(bool sync) { sync_.store(sync); }
    bool IsSync() const { return sync_.load(); }
    // True while an exchange is in progress on this channel.
    bool IsBusy() const { return inFlight_.load() > 0; }

    std::mutex& IoLock() { return ioLock_; }
    std::mutex& SecondSlotLock() { return secondSlotLock_; }
    std::mutex& CommandLock() { return commandLock_; }
    std::mutex& StreamLock() { return streamLock_; }

    // One request report and its answer. The I/O lock is held from the write through the
    // reads, and a slot whose last exchange did not end with its own answer (or that has
    // not exchanged yet, or whose collection has other input reports) is drained of stale
    // reports before the write, so the answer belongs to this request. 1 only when an
    // answer carries the request's command byte (and its length and offset, when the
    // answer echoes them); 0 when none did within two reads, or when the
    // channel closed or the link is no longer `link` while the exchange waited for the lock
    // (a request cut for one link never goes out on the other); -1 when the request was not
    // written; -101 when the receiver answered 0xAA. The response holds the matching answer
    // (zeros otherwise).
    int Exchange(std::span<const std::uint8_t> request, Report& response,
                 std::optional<LinkMode> link = std::nullopt) {
        return Run(request, response, true, link);
    }
    int ExchangeSilent(std::span<const std::uint8_t> request, Report& response,
                       std::optional<LinkMode> link = std::nullopt) {
        return Run(request, response, false, link);
    }

private:
    int Run(std::span<const std::uint8_t> request, Report& response, bool trace,
            std::optional<LinkMode> link);

    HidInterface cable_;
    HidInterface receiver_;
    std::atomic<std::uint16_t> dataSize_{kMaxDataSize};
    std::atomic<int> inFlight_{0};
    std::atomic<bool> open_{false};
    std::atomic<bool> sync_{false};
    std::atomic<bool> wireless_{false};
    std::atomic<std::uint8_t> chunkSize_{kReceiverChunk};
    std::atomic<int> cableTimeoutMs_{kCableTimeoutMs};
    std::atomic<int> receiverTimeoutMs_{kReceiverTimeoutMs};
    // Under the I/O lock: whether a late answer may be queued on the slot.
    bool cableMayHoldStale_ = true;
    bool receiverMayHoldStale_ = true;
    std::mutex ioLock_;
    std::mutex secondSlotLock_;
    std::mutex commandLock_;
    std::mutex streamLock_;
};

// One 32-byte half of a report as the trace shows it.
std::string FormatTraceLine(std::span<const std::uint8_t, 32> bytes);

}  // namespace norvane::device
