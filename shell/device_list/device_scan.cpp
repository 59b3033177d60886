#include "shell/device_list/device_scan.h"

#include "device/path_keys.h"
#include "platform/diag.h"
#include "ui/messages.h"
#include "ui/window.h"

#include <algorithm>

namespace norvane::shell {

SlotEventSink::SlotEventSink(ui::WindowImplBase& window, const SlotList& scanSlots)
    : window_(window),
      scanSlots_(scanSlots),
      instanceMessage_(ui::RegisterWindowMessage(kInstanceMessageName)) {
}

void SlotEventSink::DeviceArrived(int slot) {
    const auto seen = scanSlots_.At(slot);
    Queue(SlotEvent{slot, true, seen ? seen->path : std::string()}, kDeviceArrivedMessage);
}

void SlotEventSink::DeviceRemoved(int slot) {
    Queue(SlotEvent{slot, false, {}}, kDeviceRemovedMessage);
}

void SlotEventSink::Queue(SlotEvent event, unsigned message) {
    const int slot = event.slot;
    {
        const std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    if (!window_.PostMessage(message, slot, 0)) {
        // The window takes no more messages: nobody will come for the change.
        const std::lock_guard lock(mutex_);
        events_.pop_back();
    }
}

void SlotEventSink::FirstScanDone() {
    window_.PostMessage(instanceMessage_, 0, 0);
}

std::optional<SlotEvent> SlotEventSink::Take(int slot, bool present) {
    const std::lock_guard lock(mutex_);
    const auto it = std::ranges::find_if(
        events_, [&](const SlotEvent& e) { return e.slot == slot && e.present == present; });
    if (it == events_.end()) {
        return std::nullopt;
    }
    SlotEvent event = std::move(*it);
    events_.erase(it);
    return event;
}

DeviceScanner::PassResult DeviceScanner::RunPass(ScanSink& sink) {
    if (slots_.AnyFree()) {
        if (!paths_.Enumerate(backend_)) {
            platform::diag::Trace("device scan: HID enumeration failed");
            return PassResult::EnumerationFailed;
        }
        Discover(sink);
        paths_.Clear();
    }
    CheckPresence(sink);
    return PassResult::Done;
}

void DeviceScanner::Discover(ScanSink& sink) {
    while (auto path = paths_.Next()) {
        const std::uint16_t vendor = device::VendorIdFromPath(*path);
        const std::uint16_t product = device::ProductIdFromPath(*path);
        const std::uint16_t interfaceNumber = device::InterfaceNumberFromPath(*path);
        const std::uint16_t collection = device::CollectionNumberFromPath(*path);
        if (!slots_.IsCandidate(vendor, product, interfaceNumber, collection)) {
            continue;
        }
        const auto description = backend_.Describe(*path);
        if (!description) {
            continue;
        }
        const device::InterfaceIdentity identity{description->attributes.vendorId,
                                                 description->attributes.productId,
                                                 interfaceNumber,
                                                 collection,
                                                 description->capabilities.usagePage,
                                                 description->capabilities.usage};
        const int slot = slots_.Claim(identity, *path);
        if (slot >= 0) {
            sink.DeviceArrived(slot);
        }
    }
}

void DeviceScanner::CheckPresence(ScanSink& sink) {
    for (const auto& [index, path] : slots_.PresentSlots()) {
        if (!backend_.Probe(path) && slots_.Release(index, path)) {
            sink.DeviceRemoved(index);
        }
    }
}

bool ScanThread::Start() {
    return thread_.Start([this](const devices::StopSignal& signal) {
        DeviceScanner scanner(backend_, slots_);
        bool first = true;
        while (!signal.StopRequested()) {
            if (scanner.RunPass(sink_) == DeviceScanner::PassResult::EnumerationFailed) {
                return;
            }
            if (first) {
                first = false;
                sink_.FirstScanDone();
            }
            if (signal.WaitFor(period_) == devices::StopSignal::WaitResult::Stopped) {
                break;
            }
        }
        platform::diag::Trace(kScanStopText);
    });
}

}  // namespace norvane::shell
