#include "sim/sim_device.h"

#include "device/command_packet.h"
#include "sim/bounded_log.h"

#include <algorithm>

namespace norvane::sim {

using Clock = InputQueue::Clock;

SimDevice::SimDevice(SimProductSpec productSpec, std::string name)
    : spec_(std::move(productSpec)), name_(std::move(name)), firmware_(MakeFirmware(spec_)) {
    for (const SimInterfaceSpec& interface : spec_.interfaces) {
        auto parsed = device::ParseReportDescriptor(interface.descriptor);
        if (parsed.descriptor) {
            descriptors_.emplace_back(interface.number, std::move(*parsed.descriptor));
        }
    }
}

device::HidAttributes SimDevice::Attributes() const {
    return {spec_.vendorId, spec_.productId, spec_.version};
}

const device::ReportDescriptor* SimDevice::Descriptor(std::uint16_t interfaceNumber) const {
    for (const auto& [number, descriptor] : descriptors_) {
        if (number == interfaceNumber) {
            return &descriptor;
        }
    }
    return nullptr;
}

void SimDevice::Plug() {
    const std::lock_guard lock(mutex_);
    plugged_ = true;
}

void SimDevice::Unplug() {
    const std::lock_guard lock(mutex_);
    plugged_ = false;
    held_.clear();
    for (const auto& queue : queues_) {
        const std::lock_guard queueLock(queue->mutex);
        queue->unplugged = true;
        queue->ready.notify_all();
    }
    queues_.clear();
}

bool SimDevice::Plugged() const {
    const std::lock_guard lock(mutex_);
    return plugged_;
}

void SimDevice::SetLinked(bool linked) {
    const std::lock_guard lock(mutex_);
    firmware_.SetLinked(linked);
}

void SimDevice::InjectFault(const Fault& fault) {
    const std::lock_guard lock(mutex_);
    faults_.push_back(fault);
}

void SimDevice::ClearFaults() {
    const std::lock_guard lock(mutex_);
    faults_.clear();
}

bool SimDevice::WaitForHeldRequest(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return heldChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return !held_.empty(); });
}

void SimDevice::ReleaseHeldAnswers() {
    const std::lock_guard lock(mutex_);
    for (auto& [interfaceNumber, report] : held_) {
        DeliverLocked(interfaceNumber, report, Clock::now());
    }
    held_.clear();
}

void SimDevice::SendEvent(std::uint16_t code) {
    SendInputReport(
        1, {kEventReportId, static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8)});
}

void SimDevice::SendInputReport(std::uint16_t interfaceNumber, std::vector<std::uint8_t> report) {
    const std::lock_guard lock(mutex_);
    if (plugged_) {
        DeliverLocked(interfaceNumber, report, Clock::now());
    }
}

std::vector<WireRecord> SimDevice::WireLog() const {
    const std::lock_guard lock(mutex_);
    return wire_;
}

void SimDevice::ClearWireLog() {
    const std::lock_guard lock(mutex_);
    wire_.clear();
}

std::shared_ptr<InputQueue> SimDevice::Attach(std::uint16_t interfaceNumber) {
    const std::lock_guard lock(mutex_);
    if (!plugged_) {
        return nullptr;
    }
    auto queue = std::make_shared<InputQueue>();
    queue->interfaceNumber = interfaceNumber;
    queues_.push_back(queue);
    return queue;
}

void SimDevice::Detach(const std::shared_ptr<InputQueue>& queue) {
    const std::lock_guard lock(mutex_);
    std::erase(queues_, queue);
}

void SimDevice::DeliverLocked(std::uint16_t interfaceNumber, const std::vector<std::uint8_t>& report,
                              Clock::time_point due) {
    AppendBounded(wire_, WireRecord{WireDirection::DeviceToHost, interfaceNumber, report});
    for (const auto& queue : queues_) {
        if (queue->interfaceNumber != interfaceNumber) {
            continue;
        }
        const std::lock_guard queueLock(queue->mutex);
        queue->reports.push_back({report, due});
        queue->ready.notify_all();
    }
}

std::optional<Fault> SimDevice::TakeFaultLocked(std::uint8_t command) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->command && *it->command != command) {
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            return std::nullopt;
        }
        Fault fault = *it;
        if (--it->times <= 0) {
            faults_.erase(it);
        }
        return fault;
    }
    return std::nullopt;
}

bool SimDevice::Receive(std::uint16_t interfaceNumber, std::span<const std::uint8_t> report,
                        bool outputReport) {
    const std::lock_guard lock(mutex_);
    if (!plugged_ || report.empty()) {
        return false;
    }
    AppendBounded(wire_,
                  WireRecord{WireDirection::HostToDevice, interfaceNumber, {report.begin(), report.end()}});
    // Commands go to the collection that owns output report 4; anything else (an unnumbered
    // LED report whose bits happen to read 0x04, a headset LED report) is only recorded.
    const device::ReportDescriptor* descriptor = Descriptor(interfaceNumber);
    const bool commandCollection =
        descriptor != nullptr && descriptor->usesReportIds &&
        descriptor->CollectionOfReport(device::HidReportType::Output, kCommandReportId) != 0;
    if (report[0] != kCommandReportId || outputReport || !commandCollection) {
        firmware_.RecordOutputReport(report);
        return true;
    }
    device::Report request{};
    std::copy_n(report.begin(), std::min(report.size(), request.size()), request.begin());
    device::Report answer = firmware_.Answer(request);
    const auto fault = TakeFaultLocked(request[3]);
    auto due = Clock::now();
    if (fault) {
        switch (fault->kind) {
            case FaultKind::NoAnswer:
                return true;
            case FaultKind::LateAnswer:
                due += std::chrono::milliseconds(fault->delayMs);
                break;
            case FaultKind::StatusFF:
                answer[7] = device::CommandPacket::kStatusFF;
                break;
            case FaultKind::StatusFE:
                answer[7] = device::CommandPacket::kStatusFE;
                break;
            case FaultKind::WrongCommand:
                answer[3] = fault->answerCommand.value_or(static_cast<std::uint8_t>(request[3] ^ 0x40));
                break;
            case FaultKind::NoiseBeforeAnswer: {
                std::vector<std::uint8_t> noise(answer.begin(), answer.end());
                noise[3] = static_cast<std::uint8_t>(request[3] ^ 0x40);
                DeliverLocked(interfaceNumber, noise, due);
                break;
            }
            case FaultKind::EventsBeforeAnswer:
                for (int i = 0; i < 2; ++i) {
                    DeliverLocked(interfaceNumber, {kEventReportId, 0x01, 0x04}, due);
                }
                break;
            case FaultKind::Garbage:
                for (std::size_t i = 1; i < answer.size(); ++i) {
                    noise_ ^= noise_ << 13;
                    noise_ ^= noise_ >> 17;
                    noise_ ^= noise_ << 5;
                    answer[i] = static_cast<std::uint8_t>(noise_);
                }
                if (answer[3] == request[3] || answer[3] == 0xAA) {
                    answer[3] = static_cast<std::uint8_t>(request[3] ^ 0x40);
                }
                break;
            case FaultKind::Unplug:
                plugged_ = false;
                for (const auto& queue : queues_) {
                    const std::lock_guard queueLock(queue->mutex);
                    queue->unplugged = true;
                    queue->ready.notify_all();
                }
                queues_.clear();
                return true;
            case FaultKind::HoldAnswer:
                held_.emplace_back(interfaceNumber, std::vector<std::uint8_t>(answer.begin(), answer.end()));
                heldChanged_.notify_all();
                return true;
        }
    }
    DeliverLocked(interfaceNumber, std::vector<std::uint8_t>(answer.begin(), answer.end()), due);
    return true;
}

}  // namespace norvane::sim
