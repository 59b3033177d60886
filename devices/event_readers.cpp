#include "devices/event_readers.h"

#include "devices/device_workers.h"
#include "platform/diag.h"

#include <mutex>
#include <utility>

namespace norvane::devices {

EventReaders::EventReaders(device::HidChannel& events, std::chrono::milliseconds bound, std::string_view endText)
    : events_(events), endText_(endText), readers_{DeviceThread{bound}, DeviceThread{bound}} {
}

EventReaders::~EventReaders() {
    StopAll();
}

device::HidInterface& EventReaders::Interface(int slot) {
    return slot == 0 ? events_.Cable() : events_.Receiver();
}

std::mutex& EventReaders::Lock(int slot) {
    return slot == 0 ? events_.IoLock() : events_.SecondSlotLock();
}

void EventReaders::StopReader(int slot) {
    if (readers_[static_cast<std::size_t>(slot)].Stop() == StopResult::Ended) {
        platform::diag::Trace(endText_);
    }
}

bool EventReaders::Open(int slot, std::string_view path, bool reopen, OnCode onCode) {
    if (slot < 0 || slot > 1) {
        return false;
    }
    const auto index = static_cast<std::size_t>(slot);
    if (reopen || readers_[index].Running()) {
        Close(slot);
    }
    device::HidInterface& events = Interface(slot);
    {
        const std::lock_guard guard(Lock(slot));
        if (!events.Open(path, true, true, true, false)) {
            return false;
        }
    }
    open_[index].store(true);
    return StartEventReader(readers_[index], events, std::move(onCode));
}

void EventReaders::Close(int slot) {
    if (slot < 0 || slot > 1) {
        return;
    }
    StopReader(slot);
    const std::lock_guard guard(Lock(slot));
    Interface(slot).Close();
    open_[static_cast<std::size_t>(slot)].store(false);
}

bool EventReaders::IsOpen(int slot) const {
    return slot >= 0 && slot <= 1 && open_[static_cast<std::size_t>(slot)].load();
}

void EventReaders::StopAll() {
    StopReader(0);
    StopReader(1);
}

}  // namespace norvane::devices
