#include "devices/device_events.h"

#include "devices/usb_device.h"
#include "ui/window.h"

#include <map>
#include <mutex>

namespace norvane::devices {
namespace {

struct Entry {
    CTarnexUSBDevice* owner = nullptr;
    DeviceEventPost* post = nullptr;
};

// The device objects alive, by event id.
struct Registry {
    std::mutex mutex;
    std::map<int, Entry> objects;
    int next = 1;
};

Registry& Objects() {
    static Registry registry;
    return registry;
}

}  // namespace

DeviceEventPost::DeviceEventPost(CTarnexUSBDevice& owner)
    : id_([&] {
          Registry& r = Objects();
          const std::lock_guard lock(r.mutex);
          return r.next++;
      }()) {
    Registry& r = Objects();
    const std::lock_guard lock(r.mutex);
    r.objects[id_] = {&owner, this};
}

DeviceEventPost::~DeviceEventPost() {
    Registry& r = Objects();
    const std::lock_guard lock(r.mutex);
    r.objects.erase(id_);
}

void DeviceEventPost::Post(ui::WindowImplBase* window) {
    if (window == nullptr || posted_.exchange(true)) {
        return;
    }
    if (!window->PostMessage(kDeviceEventMessage, id_, 0)) {
        posted_.store(false);
    }
}

bool DeviceEventPost::Dispatch(unsigned msg, std::intptr_t wparam) {
    if (msg != kDeviceEventMessage) {
        return false;
    }
    Entry entry;
    {
        Registry& r = Objects();
        const std::lock_guard lock(r.mutex);
        const auto it = r.objects.find(static_cast<int>(wparam));
        if (it == r.objects.end()) {
            return false;
        }
        entry = it->second;
    }
    // Objects are created and destroyed on the UI thread, where this runs.
    entry.post->posted_.store(false);  // events from here on post again
    entry.owner->OnDeviceEvent();
    return true;
}

}  // namespace norvane::devices
