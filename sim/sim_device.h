#pragma once

#include "device/hid_backend.h"
#include "sim/firmware.h"
#include "sim/products.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norvane::sim {

enum class WireDirection { HostToDevice, DeviceToHost };

struct WireRecord {
    WireDirection direction;
    std::uint16_t interfaceNumber;
    std::vector<std::uint8_t> bytes;
};

enum class FaultKind {
    NoAnswer,            // the request is taken, nothing comes back
    LateAnswer,          // the answer arrives after delayMs
    StatusFF,            // answer status 0xFF
    StatusFE,            // answer status 0xFE
    WrongCommand,        // the answer carries another command byte (answerCommand, else command ^ 0x40)
    NoiseBeforeAnswer,   // a report with another command byte, then the answer
    EventsBeforeAnswer,  // two event reports of the consumer collection, then the answer
    Garbage,             // a report of noise instead of the answer
    Unplug,              // the device goes away on this request, unanswered
    HoldAnswer,          // the answer waits until ReleaseHeldAnswers
};

struct Fault {
    Fault() = default;
    Fault(FaultKind k, std::optional<std::uint8_t> onCommand = std::nullopt, int skipFirst = 0, int count = 1,
          int delay = 0)
        : kind(k), command(onCommand), skip(skipFirst), times(count), delayMs(delay) {}

    FaultKind kind = FaultKind::NoAnswer;
    std::optional<std::uint8_t> command;        // only requests with this command byte; any when empty
    int skip = 0;                               // matching requests let through first
    int times = 1;                              // matching requests hit
    int delayMs = 0;                            // LateAnswer
    std::optional<std::uint8_t> answerCommand;  // WrongCommand
};

// Input reports waiting for one open collection.
struct InputQueue {
    using Clock = std::chrono::steady_clock;
    struct Pending {
        std::vector<std::uint8_t> bytes;
        Clock::time_point due;
    };
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Pending> reports;
    std::uint16_t interfaceNumber = 0;
    bool aborted = false;
    bool unplugged = false;
};

// One virtual device: its interfaces, firmware, wire log and faults. Thread-safe.
class SimDevice {
public:
    SimDevice(SimProductSpec productSpec, std::string name);
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    const std::string& Name() const { return name_; }
    const SimProductSpec& Spec() const { return spec_; }
    device::HidAttributes Attributes() const;
    // Parsed descriptor of an interface; null when the device has no such interface.
    const device::ReportDescriptor* Descriptor(std::uint16_t interfaceNumber) const;

    void Plug();
    void Unplug();
    bool Plugged() const;
    // Whether the mouse behind a receiver answers.
    void SetLinked(bool linked);

    void InjectFault(const Fault& fault);
    void ClearFaults();
    // Waits until a request is held by HoldAnswer; false on timeout.
    bool WaitForHeldRequest(int timeoutMs);
    void ReleaseHeldAnswers();

    // A device event on the consumer collection (report 3 with the 16-bit code).
    void SendEvent(std::uint16_t code);
    // Any input report ([report ID][payload]) on an interface.
    void SendInputReport(std::uint16_t interfaceNumber, std::vector<std::uint8_t> report);

    std::vector<WireRecord> WireLog() const;
    void ClearWireLog();

    // Runs f on the firmware under the device lock (inspect or change its memory).
    template <typename F>
    auto WithFirmware(F&& f) {
        const std::lock_guard lock(mutex_);
        return f(firmware_);
    }

    // Connection side.
    std::shared_ptr<InputQueue> Attach(std::uint16_t interfaceNumber);
    void Detach(const std::shared_ptr<InputQueue>& queue);
    bool Receive(std::uint16_t interfaceNumber, std::span<const std::uint8_t> report, bool outputReport);

private:
    void DeliverLocked(std::uint16_t interfaceNumber, const std::vector<std::uint8_t>& report,
                       InputQueue::Clock::time_point due);
    std::optional<Fault> TakeFaultLocked(std::uint8_t command);

    SimProductSpec spec_;
    std::string name_;
    std::vector<std::pair<std::uint16_t, device::ReportDescriptor>> descriptors_;
    mutable std::mutex mutex_;
    std::condition_variable heldChanged_;
    FirmwareModel firmware_;
    bool plugged_ = true;
    std::vector<Fault> faults_;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> held_;
    std::vector<WireRecord> wire_;
    std::vector<std::shared_ptr<InputQueue>> queues_;
    std::uint32_t noise_ = 0x2545F491;
};

}  // namespace norvane::sim
