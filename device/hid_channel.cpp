#include "device/hid_channel.h"

#include "platform/diag.h"

#include <algorithm>

namespace norvane::device {
namespace {

// Reports the kernel keeps queued per open file; the drain never reads more.
constexpr int kMaxStaleReports = 64;

class InFlight {
public:
    explicit InFlight(std::atomic<int>& count) : count_(count) { count_.fetch_add(1); }
    ~InFlight() { count_.fetch_sub(1); }
    InFlight(const InFlight&) = delete;
    InFlight& operator=(const InFlight&) = delete;

private:
    std::atomic<int>& count_;
};

void TraceReport(std::string_view heading, const Report& report) {
    namespace diag = platform::diag;
    diag::Trace(heading);
    diag::Trace(FormatTraceLine(std::span<const std::uint8_t, 32>(report.data(), 32)));
    diag::Trace(FormatTraceLine(std::span<const std::uint8_t, 32>(report.data() + 32, 32)));
}

// Answers carry the request's length and offset back (bytes 4-6). A late answer to an
// earlier request of the same command at another offset or length is not this one's; a
// device that leaves those bytes 0 is matched on the command byte alone.
bool EchoFits(const Report& answer, const Report& request) {
    const bool echoed = answer[4] != 0 || answer[5] != 0 || answer[6] != 0;
    return !echoed || std::equal(answer.begin() + 4, answer.begin() + 7, request.begin() + 4);
}

}  // namespace

std::string FormatTraceLine(std::span<const std::uint8_t, 32> bytes) {
    std::string line;
    line.reserve(110);
    constexpr std::string_view kDigits = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            line += i % 4 != 0 ? " " : (i <= 12 ? "   " : "  ");
        }
        line += kDigits[bytes[i] >> 4];
        line += kDigits[bytes[i] & 0xF];
    }
    return line;
}

bool HidChannel::SetDataSize(int size) {
    if (size < 0 || size > kMaxDataSize) {
        return false;
    }
    dataSize_.store(static_cast<std::uint16_t>(size));
    return true;
}

void HidChannel::SetLinkMode(LinkMode mode) {
    chunkSize_.store(ChunkSizeOf(mode));
    wireless_.store(mode == LinkMode::Receiver);
}

bool HidChannel::SwitchLink(LinkMode mode, std::string_view path) {
    const std::lock_guard lock(ioLock_);
    SetOpen(false);
    Active().Close();
    HidInterface& next = mode == LinkMode::Receiver ? receiver_ : cable_;
    const bool opened = next.Open(path, true, true, true, false);
    SetLinkMode(mode);
    SetOpen(opened);
    return opened;
}

int HidChannel::Run(std::span<const std::uint8_t> request, Report& response, bool trace,
                    std::optional<LinkMode> link) {
    const InFlight busy(inFlight_);
    response.fill(0);
    if (!IsOpen()) {
        return result::kNoAnswer;
    }
    Report out{};
    std::copy_n(request.begin(), std::min(request.size(), out.size()), out.begin());
    const bool traced = trace && platform::diag::Enabled();
    if (traced) {
        TraceReport("命令", out);
    }

    const std::lock_guard lock(ioLock_);
    // The link may have switched while this exchange waited for the lock.
    if (!IsOpen() || (link && *link != Link())) {
        return result::kNoAnswer;
    }
    const bool wireless = IsWireless();
    HidInterface& slot = wireless ? receiver_ : cable_;
    const int timeout = wireless ? receiverTimeoutMs_.load() : cableTimeoutMs_.load();

    bool& mayHoldStale = wireless ? receiverMayHoldStale_ : cableMayHoldStale_;
    // One look-up of the connection for the drain, the write and the reads.
    HidInterface::Pinned port = slot.Pin();

    Report in{};
    std::size_t count = 0;
    // After an exchange that ended with its own answer nothing more is owed, so the drain
    // is needed only when an answer may still come late, or when the collection has other
    // input reports (the headset's keys) that would use up the two reads.
    if (mayHoldStale || slot.HasInputReportOtherThan(out[0])) {
        for (int i = 0; i < kMaxStaleReports && port.ReadReport(in, count, 0); ++i) {
        }
    }
    // Cleared only when this exchange ends with its own answer.
    mayHoldStale = true;
    if (!port.WriteReport(out, count, timeout) || count != out.size()) {
        return result::kWriteFailed;
    }
    // Answers are read straight into the response, which is cleared again unless one matched.
    int code = result::kNoAnswer;
    Report last{};  // the last report received, for the trace
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!port.ReadReport(response, count, timeout)) {
            continue;
        }
        std::fill(response.begin() + static_cast<std::ptrdiff_t>(count), response.end(), 0);
        if (traced) {
            last = response;
        }
        if (count > 3 && response[3] == out[3] && EchoFits(response, out)) {
            code = result::kSuccess;
            mayHoldStale = false;
            break;
        }
        if (wireless && count > 3 && response[3] == 0xAA) {
            code = result::kReceiverAsleep;
            break;
        }
    }
    if (code != result::kSuccess) {
        response.fill(0);
    }
    if (traced) {
        TraceReport("返回", last);
    }
    return code;
}

}  // namespace norvane::device
